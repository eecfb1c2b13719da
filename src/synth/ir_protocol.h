#ifndef IRWAV_SYNTH_IR_PROTOCOL_H_
#define IRWAV_SYNTH_IR_PROTOCOL_H_

#include <cstdint>
#include <string>
#include <vector>

#include "synth/ir_code.h"

/// A code built at run time, owning its timing list: the same carrier and
/// list layout that renderCode takes (mark, space, ..., a final mark and a
/// terminating 0 space), in units of kTimingUnitUs.
struct OwnedIrCode {
  uint32_t carrierHz = 0;
  std::vector<int32_t> timings;

  /// A view for renderCode; valid while this object lives unchanged.
  [[nodiscard]] IrCode view() const { return IrCode{carrierHz, timings.data(), timings.size()}; }
};

/// The fields of one code of a protocol, named as the protocol's definition
/// names them. A field a protocol does not use is ignored.
struct IrFields {
  int32_t device = 0;
  int32_t subdevice = -1;  ///< -1: the protocol's default (NEC: 255 - device)
  int32_t function = 0;
  int32_t toggle = 0;  ///< RC5, RC6, Thomson, RECS80: the toggle bit
  int32_t oem1 = -1;   ///< Kaseikyo's maker bytes M and N; -1: none given
  int32_t oem2 = -1;
  /// E: Kaseikyo's and Fujitsu's nibble, or a field of another name that
  /// data/irp-protocols.txt calls E; -1: none given
  int32_t extra = 0;
};

/// Encodes what a remote sends for one short key press of the code that
/// `protocol` (matched in any case, e.g. "NEC1", "necx2", "RC5") and
/// `fields` name, as the protocol's IRP definition says: its carrier (0
/// for a protocol sent without one) and its frames (NEC styles: the frame
/// and one repeat; RC5, RC6, Sony and whole-frame repeaters: as many frames
/// as a short press sends). The fields are the IRP's parameters D, S, F, T,
/// M, N and E. Durations round to the nearest kTimingUnitUs; the final
/// frame's trailing space becomes the terminating 0. Returns false, with a
/// message naming the bad value in *error, for an unknown protocol (the
/// message lists the known ones), a field out of its protocol's range, or
/// a field without a default left at -1 (the subdevice of Panasonic,
/// Kaseikyo, Zenith and Dish_Network; Kaseikyo's maker bytes).
bool encodeIrCode(const std::string& protocol, const IrFields& fields, OwnedIrCode* code,
                  std::string* error);

/// As encodeIrCode, for a key held `holdMs`: the first frame, then the
/// protocol's repeated part (NEC's ditto, or the whole frame again) until
/// holdMs have passed since the code began, but never less than a short
/// press sends. A hold that would make the code last over a minute is
/// refused with a message.
bool encodeHeldIrCode(const std::string& protocol, const IrFields& fields, uint32_t holdMs,
                      OwnedIrCode* code, std::string* error);

/// Encodes a short press of a protocol written in IRP notation, e.g.
/// "{38.4k,564}<1,-1|1,-3>(16,-8,D:8,S:8,F:8,~F:8,1,^108m)* [D:0..255,
/// S:0..255=255-D,F:0..255]", with its parameters given as `assignments`
/// such as "D=4" or "F=0x08" (decimal, or hexadecimal after 0x; the name as
/// the IRP writes it, or in another case). A protocol that repeats its
/// whole frame sends it twice, one with a first frame sends that and one
/// pass of its repeated part. Returns false with a message naming what is
/// wrong: the notation (and where), an assignment, or a value out of range.
bool encodeIrpCode(const std::string& irp, const std::vector<std::string>& assignments,
                   OwnedIrCode* code, std::string* error);

/// The protocol names encodeIrCode knows, in their usual spelling.
const std::vector<std::string>& irProtocolNames();

/// Parses a user's code, "PROTOCOL:DEVICE[.SUBDEVICE]:FUNCTION" (e.g.
/// "nec1:4:8", "necx2:7.7:2", "rc5:0:12"), and encodes it as encodeIrCode
/// does. The protocol matches in any case; fields are unsigned decimal.
/// Extra fields follow as ":NAME=VALUE" pieces, NAME in any case: T (toggle),
/// M and N (Kaseikyo's maker bytes), E (the nibble E), as in
/// "rc6:0:12:t=1" or "kaseikyo:8.18:22:m=170:n=90:e=1". Returns false, with
/// a message naming the bad piece in *error, also for a subdevice or an
/// extra field that the protocol does not have.
bool encodeUserCode(const std::string& text, OwnedIrCode* code, std::string* error);

#endif  // IRWAV_SYNTH_IR_PROTOCOL_H_
