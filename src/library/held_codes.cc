#include "library/held_codes.h"

#include "synth/code_limits.h"
#include "synth/pronto.h"

bool buildProtocolItem(const std::string& protocol, const IrFields& fields, PlayItem* item,
                       std::string* error) {
  if (!encodeIrCode(protocol, fields, &item->built, error)) return false;
  item->encodeHeld = [protocol, fields](uint32_t holdMs, OwnedIrCode* code, std::string* why) {
    return encodeHeldIrCode(protocol, fields, holdMs, code, why);
  };
  return true;
}

bool buildProntoItem(const std::string& text, PlayItem* item, std::string* error) {
  if (!parsePronto(text, &item->built, error)) return false;
  item->encodeHeld = [text](uint32_t holdMs, OwnedIrCode* code, std::string* why) {
    return parseHeldPronto(text, holdMs, code, why);
  };
  return true;
}

bool buildIrpItem(const std::string& irp, const std::vector<std::string>& assignments,
                  PlayItem* item, std::string* error) {
  return encodeIrpCode(irp, assignments, &item->built, error) &&
         checkCodeLimits(item->built, error);
}

bool holdCodes(uint32_t holdMs, std::vector<PlayItem>* items, std::string* error) {
  for (PlayItem& item : *items) {
    if (!item.encodeHeld) continue;
    std::string reason;
    if (!item.encodeHeld(holdMs, &item.built, &reason)) {
      *error = item.name + " cannot be held " + std::to_string(holdMs) + " ms: " + reason;
      return false;
    }
  }
  return true;
}
