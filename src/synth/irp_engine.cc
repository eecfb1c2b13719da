// Evaluates and sends a parsed IRP: expressions over 64-bit integers,
// parameters with their ranges and defaults, and the body walked item by
// item into a list of marks and spaces.

#include "synth/irp_engine.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <unordered_map>

#include "synth/ir_code.h"

namespace {

/// Definitions refer to definitions at most this deep ("{A=B,B=A}" stops here).
constexpr int kMaxDefinitionDepth = 32;
/// The most steps one code may take to send: each item sent and each part
/// of an expression evaluated is one.
constexpr uint64_t kMaxSteps = 1000000;

// Expressions, definitions, groups and bit codings nest, and so do
// their evaluation and sending: the parser bounds the nesting, and
// kMaxDefinitionDepth the definitions that refer to each other.
// NOLINTBEGIN(misc-no-recursion)
class Evaluator {
 public:
  Evaluator(const IrpProtocol& protocol, const IrpValues& values)
      : protocol_(protocol), known_(protocol.definitions.size()) {
    for (const auto& [name, value] : values) values_.emplace(name, value);
    for (size_t i = protocol.definitions.size(); i-- > 0;)
      definitions_[protocol.definitions[i].name] = i;
  }

  /// Counts one step; false with the message past kMaxSteps.
  bool step(std::string* error) {
    if (++steps_ <= kMaxSteps) return true;
    *error = "the code takes more than " + std::to_string(kMaxSteps) + " steps to send";
    return false;
  }

  bool evaluate(const IrpExpression& e, int64_t* result, std::string* error) {
    if (!step(error)) return false;
    switch (e.kind) {
      case IrpExpression::Kind::kNumber:
        *result = e.number;
        return true;
      case IrpExpression::Kind::kName:
        return lookUp(e.name, result, error);
      case IrpExpression::Kind::kUnary:
        return unary(e, result, error);
      case IrpExpression::Kind::kBinary:
        return binary(e, result, error);
      case IrpExpression::Kind::kBitField: {
        int64_t width = 0;
        if (!bitField(e, result, &width, error)) return false;
        if (width < 0) {
          *error = "a bit field of negative width in an expression";
          return false;
        }
        return true;
      }
    }
    return false;
  }

  /// A bit field's value (its bits from the offset, below the width) and its
  /// width as written (negative: the other bit order); an infinite width is 64.
  // NOLINTNEXTLINE(bugprone-easily-swappable-parameters): the value, then its width.
  bool bitField(const IrpExpression& e, int64_t* result, int64_t* width, std::string* error) {
    int64_t value = 0;
    int64_t offset = 0;
    if (!evaluate(e.operands[0], &value, error) || !evaluate(e.operands[2], &offset, error))
      return false;
    *width = 64;
    if (!e.infiniteWidth && !evaluate(e.operands[1], width, error)) return false;
    if (*width > 64 || *width < -64) {
      *error = "a bit field of width " + std::to_string(*width) + " (at most 64)";
      return false;
    }
    if (offset < 0) {
      *error = "a bit field at offset " + std::to_string(offset);
      return false;
    }
    uint64_t bits = static_cast<uint64_t>(e.complement ? ~value : value);
    bits = offset >= 64 ? 0 : bits >> offset;
    const int64_t w = *width < 0 ? -*width : *width;
    if (w < 64) bits &= (uint64_t{1} << w) - 1;
    *result = static_cast<int64_t>(bits);
    return true;
  }

  /// Gives `name` a value; what the definitions came to is worked out anew.
  void assign(const std::string& name, int64_t value) {
    values_[name] = value;
    std::fill(known_.begin(), known_.end(), std::nullopt);
  }

 private:
  const IrpProtocol& protocol_;
  std::unordered_map<std::string, int64_t> values_;
  /// The first definition of each name, and what each came to since the
  /// last assignment: a definition is worked out once however often it is
  /// used, so that definitions using each other many times take no longer
  /// than their text.
  std::unordered_map<std::string, size_t> definitions_;
  std::vector<std::optional<int64_t>> known_;
  int depth_ = 0;
  uint64_t steps_ = 0;

  bool lookUp(const std::string& name, int64_t* result, std::string* error) {
    const auto value = values_.find(name);
    if (value != values_.end()) {
      *result = value->second;
      return true;
    }
    const auto definition = definitions_.find(name);
    if (definition == definitions_.end()) {
      *error = name + " has no value";
      return false;
    }
    std::optional<int64_t>& known = known_[definition->second];
    if (known) {
      *result = *known;
      return true;
    }
    if (depth_ == kMaxDefinitionDepth) {
      *error = "the definition of " + name + " refers to itself";
      return false;
    }
    ++depth_;
    const bool ok = evaluate(protocol_.definitions[definition->second].value, result, error);
    --depth_;
    if (ok) known = *result;
    return ok;
  }

  bool unary(const IrpExpression& e, int64_t* result, std::string* error) {
    int64_t a = 0;
    if (!evaluate(e.operands[0], &a, error)) return false;
    const uint64_t u = static_cast<uint64_t>(a);
    switch (e.name[0]) {
      case '-':
        *result = static_cast<int64_t>(0 - u);
        break;
      case '~':
        *result = static_cast<int64_t>(~u);
        break;
      case '!':
        *result = a == 0 ? 1 : 0;
        break;
      default: {  // '#': the number of 1 bits
        int64_t count = 0;
        for (uint64_t v = u; v != 0; v &= v - 1) ++count;
        *result = count;
      }
    }
    return true;
  }

  bool binary(const IrpExpression& e, int64_t* result, std::string* error) {
    int64_t a = 0;
    int64_t b = 0;
    if (!evaluate(e.operands[0], &a, error) || !evaluate(e.operands[1], &b, error)) return false;
    const uint64_t ua = static_cast<uint64_t>(a);
    const uint64_t ub = static_cast<uint64_t>(b);
    const std::string& op = e.name;
    if (op == "+") {
      *result = static_cast<int64_t>(ua + ub);
    } else if (op == "-") {
      *result = static_cast<int64_t>(ua - ub);
    } else if (op == "*") {
      *result = static_cast<int64_t>(ua * ub);
    } else if (op == "/" || op == "%") {
      if (b == 0 || (a == INT64_MIN && b == -1)) {
        *error = "a division of " + std::to_string(a) + " by " + std::to_string(b);
        return false;
      }
      *result = op == "/" ? a / b : a % b;
    } else if (op == "<<" || op == ">>") {
      if (b < 0) {
        *error = "a shift by " + std::to_string(b);
        return false;
      }
      if (op == "<<") {
        *result = b >= 64 ? 0 : static_cast<int64_t>(ua << b);
      } else {
        // An arithmetic shift, sign bits coming in from the left.
        const uint64_t shifted =
            a < 0 ? ~(~ua >> std::min<int64_t>(b, 63)) : ua >> std::min<int64_t>(b, 63);
        *result = static_cast<int64_t>(shifted);
      }
    } else if (op == "**") {
      if (b < 0) {
        *error = "a negative power " + std::to_string(b);
        return false;
      }
      uint64_t power = 1;
      uint64_t base = ua;
      for (uint64_t n = ub; n != 0; n >>= 1) {
        if ((n & 1) != 0) power *= base;
        base *= base;
      }
      *result = static_cast<int64_t>(power);
    } else if (op == "&") {
      *result = a & b;
    } else if (op == "|") {
      *result = a | b;
    } else if (op == "^") {
      *result = a ^ b;
    } else if (op == "&&") {
      *result = (a != 0 && b != 0) ? 1 : 0;
    } else if (op == "||") {
      *result = (a != 0 || b != 0) ? 1 : 0;
    } else if (op == "==") {
      *result = a == b ? 1 : 0;
    } else if (op == "!=") {
      *result = a != b ? 1 : 0;
    } else if (op == "<") {
      *result = a < b ? 1 : 0;
    } else if (op == "<=") {
      *result = a <= b ? 1 : 0;
    } else if (op == ">") {
      *result = a > b ? 1 : 0;
    } else {
      *result = a >= b ? 1 : 0;
    }
    return true;
  }
};

/// Walks a body into marks and spaces in µs; see renderIrp.
class Sender {
 public:
  Sender(const IrpProtocol& protocol, const IrpValues& values, const IrpPress& press)
      : protocol_(protocol), evaluator_(protocol, values), press_(press) {}

  bool send(std::string* error) {
    error_ = error;
    std::vector<const IrpBitCoding*> codings;
    if (protocol_.bitCoding) codings.push_back(protocol_.bitCoding.get());
    return sendItem(protocol_.body, codings) && (pendingCount_ == 0 || unfilledSymbol());
  }

  bool finish(OwnedIrCode* code) {
    if (protocol_.carrierHz > UINT32_MAX) return fail("a carrier above 4294967295 Hz");
    if (durations_.empty()) return fail("the code sends no mark");
    code->carrierHz = static_cast<uint32_t>(protocol_.carrierHz);
    code->timings.clear();
    for (double us : durations_) {
      const double units = std::floor(std::fabs(us) / kTimingUnitUs + 0.5);
      if (units < 1) {
        return fail("a " + std::string(us > 0 ? "mark" : "space") + " of " +
                    std::to_string(std::fabs(us)) + " us, which rounds to 0 (durations count in " +
                    std::to_string(kTimingUnitUs) + " us)");
      }
      code->timings.push_back(static_cast<int32_t>(units));
    }
    if (code->timings.size() % 2 == 0 && !code->timings.empty()) {
      code->timings.back() = 0;
    } else {
      code->timings.push_back(0);
    }
    return true;
  }

 private:
  const IrpProtocol& protocol_;
  Evaluator evaluator_;
  IrpPress press_;
  std::string* error_ = nullptr;
  std::vector<double> durations_;  ///< marks > 0, spaces < 0, in µs
  double elapsedUs_ = 0;
  double frameStartUs_ = 0;
  bool inRepeat_ = false;
  uint32_t frames_ = 0;      ///< frames of the repeated part sent so far
  double frameEndUs_ = -1;   ///< where the last frame of the repeated part ended
  int32_t pass_ = 0;         ///< the pass of the innermost group
  int32_t repeatPass_ = 0;   ///< the pass of the repeated part
  int32_t passMinimum_ = 0;  ///< the passes the repeated part must have
  bool stopped_ = false;     ///< the press has sent all of the repeated part it takes
  /// Bits of bit fields that do not yet make a whole symbol of pendingCoding_.
  uint64_t pendingBits_ = 0;
  int pendingCount_ = 0;
  const IrpBitCoding* pendingCoding_ = nullptr;

  bool fail(const std::string& message) {
    *error_ = message;
    return false;
  }

  bool sendDuration(double us) {
    if (us == 0 || (durations_.empty() && us < 0)) return true;  // nothing to separate
    elapsedUs_ += std::fabs(us);
    if (elapsedUs_ > kMaxIrpCodeUs) return fail("the code lasts longer than 60 s");
    if (!durations_.empty() && (durations_.back() > 0) == (us > 0)) {
      durations_.back() += us;
    } else {
      durations_.push_back(us);
    }
    return true;
  }

  bool toMicroseconds(const IrpItem& item, double* us) {
    switch (item.unit) {
      case 'u':
        *us = item.amount;
        return true;
      case 'm':
        *us = item.amount * 1000;
        return true;
      case 'p':
        if (protocol_.carrierHz <= 0)
          return fail("a duration in carrier periods without a carrier");
        *us = item.amount * 1e6 / protocol_.carrierHz;
        return true;
      default:
        *us = item.amount * protocol_.unitUs;
        return true;
    }
  }

  /// Whether the press has had all of the repeated part it takes.
  [[nodiscard]] bool pressDone() const {
    return repeatPass_ + 1 >= passMinimum_ && frames_ >= press_.repeatFrames &&
           elapsedUs_ >= static_cast<double>(press_.holdUs);
  }

  void endFrame() {
    if (!inRepeat_ || elapsedUs_ == frameEndUs_) return;
    ++frames_;
    frameEndUs_ = elapsedUs_;
    if (pressDone()) stopped_ = true;
  }

  bool sendItems(const std::vector<IrpItem>& items, std::vector<const IrpBitCoding*>& codings) {
    for (const IrpItem& item : items) {
      if (stopped_) return true;
      if (!sendItem(item, codings)) return false;
    }
    return true;
  }

  bool sendItem(const IrpItem& item, std::vector<const IrpBitCoding*>& codings) {
    if (!evaluator_.step(error_)) return false;
    double us = 0;
    switch (item.kind) {
      case IrpItem::Kind::kDuration:
        if (pendingCount_ > 0) return unfilledSymbol();
        return toMicroseconds(item, &us) && sendDuration(us);
      case IrpItem::Kind::kExtent: {
        if (pendingCount_ > 0) return unfilledSymbol();
        if (!toMicroseconds(item, &us)) return false;
        const double frameSoFar = elapsedUs_ - frameStartUs_;
        if (frameSoFar < us && !sendDuration(-(us - frameSoFar))) return false;
        frameStartUs_ = elapsedUs_;
        endFrame();
        return true;
      }
      case IrpItem::Kind::kBitField:
        return sendBitField(item.value, codings);
      case IrpItem::Kind::kAssignment: {
        int64_t value = 0;
        if (!evaluator_.evaluate(item.value, &value, error_)) return false;
        evaluator_.assign(item.name, value);
        return true;
      }
      case IrpItem::Kind::kVariation: {
        const size_t which = pass_ == 0 ? 0 : 1;
        if (which >= item.alternatives.size()) return true;
        return sendItems(item.alternatives[which], codings);
      }
      case IrpItem::Kind::kGroup:
        return sendGroup(item, codings);
    }
    return true;
  }

  bool sendGroup(const IrpItem& group, std::vector<const IrpBitCoding*>& codings) {
    if (group.bitCoding) codings.push_back(group.bitCoding.get());
    const int32_t outerPass = pass_;
    bool ok = true;
    if (group.repeat.repeats && !inRepeat_) {
      inRepeat_ = true;
      passMinimum_ = group.repeat.minimum;
      for (pass_ = 0; ok && !stopped_; ++pass_) {
        repeatPass_ = pass_;
        if (pass_ >= passMinimum_ && frames_ >= press_.repeatFrames &&
            elapsedUs_ >= static_cast<double>(press_.holdUs))
          break;
        frameStartUs_ = elapsedUs_;
        const double before = elapsedUs_;
        ok = sendItems(group.items, codings);
        if (ok && !stopped_) endFrame();
        // A pass that sends nothing would never let a held key's time pass.
        if (elapsedUs_ == before) break;
      }
      inRepeat_ = false;
      stopped_ = false;
    } else {
      // A fixed count, or a repeated part inside the repeated part: sent
      // as often as it must be.
      const int32_t count =
          group.repeat.repeats ? std::max(group.repeat.minimum, 1) : group.repeat.count;
      for (pass_ = 0; ok && pass_ < count && !stopped_; ++pass_)
        ok = sendItems(group.items, codings);
    }
    pass_ = outerPass;
    if (group.bitCoding) codings.pop_back();
    return ok;
  }

  bool sendBitField(const IrpExpression& field, std::vector<const IrpBitCoding*>& codings) {
    int64_t value = 0;
    int64_t width = 0;
    if (!evaluator_.bitField(field, &value, &width, error_)) return false;
    if (codings.empty()) return fail("a bit field with no bit coding to send it");
    const IrpBitCoding* coding = codings.back();
    if (pendingCount_ > 0 && coding != pendingCoding_) return unfilledSymbol();
    pendingCoding_ = coding;
    const bool msbFirst = protocol_.msbFirst != (width < 0);
    const int64_t bits = width < 0 ? -width : width;
    int chunk = 0;
    for (size_t n = coding->symbols.size(); n > 1; n >>= 1) ++chunk;
    const uint64_t u = static_cast<uint64_t>(value);
    // The bits go out one after another, and each `chunk` of them picks a
    // symbol: the first of them its highest bit when the most significant
    // bit goes first, else its lowest. A field may end inside a symbol
    // ("T:1,X:7" with symbols of 2 bits); the next field completes it.
    for (int64_t i = 0; i < bits; ++i) {
      const uint64_t bit = (u >> (msbFirst ? bits - 1 - i : i)) & 1;
      pendingBits_ = msbFirst ? (pendingBits_ << 1) | bit : pendingBits_ | (bit << pendingCount_);
      if (++pendingCount_ < chunk) continue;
      const uint64_t symbol = pendingBits_;
      pendingBits_ = 0;
      pendingCount_ = 0;
      // The symbols' own bit fields go out with the bit coding around this one.
      codings.pop_back();
      const bool ok = sendItems(coding->symbols[symbol], codings);
      codings.push_back(coding);
      if (!ok) return false;
    }
    return true;
  }

  /// Fails for bits of a bit field left over that fill no whole symbol.
  bool unfilledSymbol() {
    int chunk = 0;
    for (size_t n = pendingCoding_->symbols.size(); n > 1; n >>= 1) ++chunk;
    return fail("bit fields that end " + std::to_string(pendingCount_) + " bits into a symbol of " +
                std::to_string(chunk) + " bits");
  }
};
// NOLINTEND(misc-no-recursion)

}  // namespace

std::string irpFieldName(const std::string& parameter, const IrpNaming& naming) {
  if (naming.fieldWords) {
    static const std::pair<const char*, const char*> kWords[] = {
        {"D", "device"},       {"S", "subdevice"},    {"F", "function"},      {"T", "toggle"},
        {"M", "maker byte M"}, {"N", "maker byte N"}, {"E", "extra field E"},
    };
    for (const auto& [name, words] : kWords) {
      if (parameter == name) return words;
    }
  }
  return "parameter " + parameter;
}

bool evaluateIrp(const IrpProtocol& protocol, const IrpValues& values,
                 const IrpExpression& expression, int64_t* result, std::string* error) {
  Evaluator evaluator(protocol, values);
  return evaluator.evaluate(expression, result, error);
}

bool resolveIrpParameters(const IrpProtocol& protocol, const std::vector<IrpGivenValue>& given,
                          const IrpNaming& naming, IrpValues* values, std::string* error) {
  values->clear();
  for (const IrpGivenValue& g : given) {
    if (protocol.parameter(g.name) == nullptr) {
      *error = naming.protocol + " has no parameter " + g.name;
      return false;
    }
    for (const auto& [name, value] : *values) {
      if (name == g.name) {
        *error = naming.protocol + " " + irpFieldName(g.name, naming) + " is given twice";
        return false;
      }
    }
    values->emplace_back(g.name, g.value);
  }
  auto givenValue = [&given](const std::string& name) -> const IrpGivenValue* {
    const auto found = std::find_if(given.begin(), given.end(),
                                    [&name](const IrpGivenValue& g) { return g.name == name; });
    return found == given.end() ? nullptr : &*found;
  };
  auto range = [&](const IrpParameter& p, int64_t* min, int64_t* max) {
    return evaluateIrp(protocol, *values, p.minimum, min, error) &&
           evaluateIrp(protocol, *values, p.maximum, max, error);
  };
  std::string missing;
  for (const IrpParameter& p : protocol.parameters) {
    if (givenValue(p.name) != nullptr || p.hasDefault) continue;
    int64_t min = 0;
    int64_t max = 0;
    std::string text = irpFieldName(p.name, naming);
    if (evaluateIrp(protocol, {}, p.minimum, &min, error) &&
        evaluateIrp(protocol, {}, p.maximum, &max, error)) {
      text += " (" + std::to_string(min) + ".." + std::to_string(max) + ")";
    }
    const bool vowel = std::string("aeiou").find(text[0]) != std::string::npos;
    missing += std::string(missing.empty() ? " needs " : " and ") + (vowel ? "an " : "a ") + text;
  }
  if (!missing.empty()) {
    *error = naming.protocol + missing;
    return false;
  }
  for (const IrpParameter& p : protocol.parameters) {
    if (givenValue(p.name) != nullptr) continue;
    int64_t value = 0;
    if (!evaluateIrp(protocol, *values, p.defaultValue, &value, error)) return false;
    values->emplace_back(p.name, value);
  }
  for (const IrpParameter& p : protocol.parameters) {
    int64_t min = 0;
    int64_t max = 0;
    if (!range(p, &min, &max)) return false;
    int64_t value = 0;
    for (const auto& [name, v] : *values) {
      if (name == p.name) value = v;
    }
    if (value >= min && value <= max) continue;
    const IrpGivenValue* g = givenValue(p.name);
    *error = naming.protocol + " " + irpFieldName(p.name, naming) + " " +
             (g != nullptr && !g->text.empty() ? g->text : std::to_string(value)) +
             " is out of range " + std::to_string(min) + ".." + std::to_string(max);
    return false;
  }
  return true;
}

bool renderIrp(const IrpProtocol& protocol, const IrpValues& values, const IrpPress& press,
               OwnedIrCode* code, std::string* error) {
  Sender sender(protocol, values, press);
  return sender.send(error) && sender.finish(code);
}
