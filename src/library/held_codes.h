#ifndef IRWAV_APP_HELD_CODES_H_
#define IRWAV_APP_HELD_CODES_H_

#include <cstdint>
#include <string>
#include <vector>

#include "library/play_item.h"

/// The longest --hold: 9 seconds, so that a held code with its first frame
/// stays within the longest code the player renders.
constexpr uint32_t kMaxHoldMs = 9000;

/// Makes *item the code that `protocol` and `fields` name, a short press,
/// which --hold can send as a held key. Returns false with encodeIrCode's
/// message.
bool buildProtocolItem(const std::string& protocol, const IrFields& fields, PlayItem* item,
                       std::string* error);

/// Makes *item the Pronto code `text`, a short press, which --hold can send
/// as a held key. Returns false with parsePronto's message.
bool buildProntoItem(const std::string& text, PlayItem* item, std::string* error);

/// Makes *item the code of a protocol of one's own in IRP notation with its
/// parameters' `assignments` ("D=4"), as encodeIrpCode encodes it, held to
/// the bounds of a Pronto code (checkCodeLimits): any carrier and length
/// could be written. It is sent as it is, never held. Returns false with
/// the encoder's or the limit's message.
bool buildIrpItem(const std::string& irp, const std::vector<std::string>& assignments,
                  PlayItem* item, std::string* error);

/// Turns every item that buildProtocolItem or buildProntoItem made into
/// the code of a key held `holdMs`; the others (built-in codes, brand
/// codes, raw captures) stay as they are. Returns false, with a message
/// naming the code, when one cannot be held.
bool holdCodes(uint32_t holdMs, std::vector<PlayItem>* items, std::string* error);

#endif  // IRWAV_APP_HELD_CODES_H_
