#ifndef IRWAV_SYNTH_IRP_ENGINE_H_
#define IRWAV_SYNTH_IRP_ENGINE_H_

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "synth/ir_protocol.h"
#include "synth/irp.h"

/// The longest code the engine renders, a held key included: 60 s.
constexpr double kMaxIrpCodeUs = 60e6;

/// A value given for a parameter, with the text it was written as (for
/// messages: "99999999999 is out of range 0..255").
struct IrpGivenValue {
  std::string name;
  int64_t value = 0;
  std::string text;
};

/// Every parameter's value once the defaults are filled in.
using IrpValues = std::vector<std::pair<std::string, int64_t>>;

/// How messages name the protocol and its parameters: "RC5 device 32 ..."
/// (`fieldWords`: D, S, F, T, M, N and E by what they are) or "IRP
/// parameter D 300 ...".
struct IrpNaming {
  std::string protocol;
  bool fieldWords = false;
};

/// What a parameter is called in messages under `naming`.
std::string irpFieldName(const std::string& parameter, const IrpNaming& naming);

/// Checks the values given against `protocol`'s parameters and fills in
/// the defaults, in the order the parameter list lists them. Returns false
/// with a message naming the value for a name that is no parameter, a
/// parameter given twice, a parameter without a default left out (all such
/// are named at once), or a value outside its range.
bool resolveIrpParameters(const IrpProtocol& protocol, const std::vector<IrpGivenValue>& given,
                          const IrpNaming& naming, IrpValues* values, std::string* error);

/// How much of the part a held key repeats goes out: at least `repeatFrames`
/// of its frames (a frame ends at each extent and at the end of each pass),
/// and more until `holdUs` have passed since the code began.
struct IrpPress {
  uint32_t repeatFrames = 1;
  uint64_t holdUs = 0;
};

/// Sends `protocol` with `values`: what comes before the repeated part,
/// that part as `press` says, then what follows it. Durations of the same
/// kind that meet merge; each is rounded to the nearest kTimingUnitUs
/// (halves up) and the final space becomes the terminating 0. Returns
/// false with a message for what cannot be sent: an expression that cannot
/// be evaluated (a name without a value, a division by 0), a bit field
/// without a bit coding or wider than 64 bits, a duration that
/// rounds to 0, a code without a mark, or one longer than kMaxIrpCodeUs.
bool renderIrp(const IrpProtocol& protocol, const IrpValues& values, const IrpPress& press,
               OwnedIrCode* code, std::string* error);

/// Evaluates `expression` with `values` and the protocol's definitions.
bool evaluateIrp(const IrpProtocol& protocol, const IrpValues& values,
                 const IrpExpression& expression, int64_t* result, std::string* error);

#endif  // IRWAV_SYNTH_IRP_ENGINE_H_
