#ifndef IRWAV_SYNTH_IRP_H_
#define IRWAV_SYNTH_IRP_H_

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

/// A protocol written in IRP notation, parsed: "{38.4k,564}<1,-1|1,-3>
/// (16,-8,D:8,S:8,F:8,~F:8,1,^108m,(16,-4,1,^108m)*) [D:0..255,S:0..255=255-D,
/// F:0..255]" holds general settings (carrier, unit, bit order), a bit
/// coding (what a 0 and a 1 send), the body (durations, bit fields,
/// groups, one of them the part a held key repeats), definitions and the
/// parameters with their ranges and defaults.

/// An integer expression: a number, a name, an operator with its operands,
/// or a bit field of a value.
// NOLINTNEXTLINE(misc-no-recursion): an expression holds its operands.
struct IrpExpression {
  enum class Kind { kNumber, kName, kUnary, kBinary, kBitField };
  Kind kind = Kind::kNumber;
  int64_t number = 0;
  std::string name;  ///< kName: the name; kUnary, kBinary: the operator ("-", "<<", ...)
  /// kUnary: the operand; kBinary: left, right;
  /// kBitField: value, width, offset (an absent width, as in "X::4", is empty).
  std::vector<IrpExpression> operands;
  bool complement = false;     ///< kBitField: "~X:8" sends the bits of ~X
  bool infiniteWidth = false;  ///< kBitField: "X::4" is every bit of X from bit 4
};

struct IrpItem;

/// What each symbol sends: symbols[0] for a 0, symbols[1] for a 1 (four
/// symbols take two bits each). A symbol is durations and bit fields; its
/// bit fields are sent with the bit coding around this one.
struct IrpBitCoding {
  std::vector<std::vector<IrpItem>> symbols;
};

/// How often a group goes out: once, a fixed number of times, or as the
/// part a held key repeats ("*": zero or more times, "+": at least once,
/// "3+": at least three times).
struct IrpRepeat {
  int32_t minimum = 1;
  bool repeats = false;  ///< the part a held key repeats
  int32_t count = 1;     ///< passes of a group that does not repeat
};

/// One item of a body or group.
struct IrpItem {
  enum class Kind { kDuration, kExtent, kBitField, kGroup, kAssignment, kVariation };
  Kind kind = Kind::kDuration;
  /// kDuration: a mark (positive) or a space (negative); kExtent: the
  /// frame's length. In `unit` ('\0' the protocol's unit, 'u' µs, 'm' ms,
  /// 'p' carrier periods).
  double amount = 0;
  char unit = '\0';
  IrpExpression value;  ///< kBitField: the field; kAssignment: the value
  std::string name;     ///< kAssignment: the name assigned
  /// kGroup: the items, the group's own bit coding if any, its repeat.
  std::vector<IrpItem> items;
  std::shared_ptr<IrpBitCoding> bitCoding;
  IrpRepeat repeat;
  /// kVariation: "[40][8]": the first pass's items, then later passes'.
  std::vector<std::vector<IrpItem>> alternatives;
};

/// A parameter: "S:0..255=255-D" (a default), "T@:0..1=0" (kept between presses).
struct IrpParameter {
  std::string name;
  IrpExpression minimum;
  IrpExpression maximum;
  bool hasDefault = false;
  IrpExpression defaultValue;
};

/// A name defined in terms of others: "C=chksum::4 ^ chksum".
struct IrpDefinition {
  std::string name;
  IrpExpression value;
};

struct IrpProtocol {
  double carrierHz = 38000;  ///< 0: no carrier (the light on for each whole mark)
  double unitUs = 1;
  bool msbFirst = false;
  std::shared_ptr<IrpBitCoding> bitCoding;  ///< null when the body has no bit fields
  IrpItem body;                             ///< a kGroup
  std::vector<IrpDefinition> definitions;
  std::vector<IrpParameter> parameters;

  /// The parameter named `name`, or null.
  [[nodiscard]] const IrpParameter* parameter(const std::string& name) const;
  /// Whether the body sends something before the part a held key repeats.
  [[nodiscard]] bool hasIntro() const;
};

/// What readIrpNumber found.
enum class IrpNumberRead { kRead, kNone, kTooLarge };

/// Reads the integer at text[*pos] as IRP notation writes its numbers:
/// decimal, or hexadecimal after "0x" or "0X", at most 2^63 - 1 (the
/// engine's numbers are 64-bit, signed). Returns kRead with *value, or
/// kTooLarge for a larger number, and moves *pos past the digits; returns
/// kNone when no digit is there.
IrpNumberRead readIrpNumber(const std::string& text, size_t* pos, int64_t* value);

/// Parses `text` as IRP notation. Returns false with a message in *error
/// that says what is wrong and at which character (counted from 1) for
/// text that is not IRP notation or uses what this engine does not know.
bool parseIrp(const std::string& text, IrpProtocol* protocol, std::string* error);

/// Parses `text` as the parameters and definitions an IRP may end with
/// ("{E=F::8}[F:0..65535]"), into `parameters` and `definitions`.
bool parseIrpExtras(const std::string& text, std::vector<IrpParameter>* parameters,
                    std::vector<IrpDefinition>* definitions, std::string* error);

#endif  // IRWAV_SYNTH_IRP_H_
