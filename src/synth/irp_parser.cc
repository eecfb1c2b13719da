// A recursive-descent reader of IRP notation. Blanks may stand between any
// two tokens. Every failure names what was expected and the character
// (counted from 1) where the text went wrong.

#include <algorithm>
#include <cctype>
#include <cmath>

#include "synth/irp.h"

namespace {

/// Groups, bit codings and parentheses nest at most this deep.
constexpr int kMaxDepth = 32;

/// The binary operators by precedence, loosest first.
const std::vector<std::vector<std::string>> kBinaryLevels = {
    {"||"},       {"&&"},     {"|"},           {"^"}, {"&"}, {"==", "!="}, {"<=", ">=", "<", ">"},
    {"<<", ">>"}, {"+", "-"}, {"*", "/", "%"},
};

// The notation nests (groups in groups, expressions in expressions), and
// so does its reader; kMaxDepth bounds how deep.
// NOLINTBEGIN(misc-no-recursion)
class Parser {
 public:
  explicit Parser(const std::string& text) : text_(text) {}

  bool parseProtocol(IrpProtocol* p) {
    if (!parseGeneralSettings(p)) return false;
    skipBlanks();
    if (peek() == '<') {
      p->bitCoding = std::make_shared<IrpBitCoding>();
      if (!parseBitCoding(p->bitCoding.get())) return false;
    }
    skipBlanks();
    if (peek() != '(') return fail("expected the body, a group in ( )");
    if (!parseGroup(&p->body)) return false;
    if (!parseExtras(&p->parameters, &p->definitions)) return false;
    return atEnd();
  }

  /// Definitions "{...}" and parameter lists "[...]", in any order, to the end.
  bool parseExtras(std::vector<IrpParameter>* parameters, std::vector<IrpDefinition>* definitions) {
    for (skipBlanks(); pos_ < text_.size(); skipBlanks()) {
      if (peek() == '{') {
        if (!parseDefinitions(definitions)) return false;
      } else if (peek() == '[') {
        if (!parseParameters(parameters)) return false;
      } else {
        return fail("expected definitions { } or parameters [ ]");
      }
    }
    return true;
  }

  bool atEnd() {
    skipBlanks();
    return pos_ == text_.size() || fail("unexpected text after the IRP");
  }

  [[nodiscard]] const std::string& error() const { return error_; }

 private:
  const std::string& text_;
  size_t pos_ = 0;
  int depth_ = 0;
  std::string error_;
  double unitPeriods_ = 0;  ///< a unit given in carrier periods ("{38k,22p}")

  bool fail(const std::string& what) {
    if (!error_.empty()) return false;
    error_ = what + " at character " + std::to_string(pos_ + 1);
    if (pos_ < text_.size()) {
      error_ += " (\"" + text_.substr(pos_, 12) + (pos_ + 12 < text_.size() ? "...\")" : "\")");
    } else {
      error_ += " (the end)";
    }
    return false;
  }

  [[nodiscard]] char peek() const { return pos_ < text_.size() ? text_[pos_] : '\0'; }
  void skipBlanks() {
    while (pos_ < text_.size() && std::isspace(static_cast<unsigned char>(text_[pos_]))) ++pos_;
  }
  bool take(char c) {
    skipBlanks();
    if (peek() != c) return false;
    ++pos_;
    return true;
  }
  bool expect(char c) { return take(c) || fail(std::string("expected '") + c + "'"); }
  bool takeWord(const std::string& word) {
    skipBlanks();
    if (text_.compare(pos_, word.size(), word) != 0) return false;
    pos_ += word.size();
    return true;
  }

  /// Counts one more level of nesting; false (with the message) past kMaxDepth.
  bool enter() { return ++depth_ <= kMaxDepth || fail("nesting deeper than 32 levels"); }

  static bool isNameStart(char c) {
    return std::isalpha(static_cast<unsigned char>(c)) != 0 || c == '_';
  }
  static bool isNameChar(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) != 0 || c == '_';
  }

  bool parseName(std::string* name) {
    skipBlanks();
    if (!isNameStart(peek())) return fail("expected a name");
    const size_t start = pos_;
    while (isNameChar(peek())) ++pos_;
    *name = text_.substr(start, pos_ - start);
    return true;
  }

  /// A decimal number with an optional fraction: "38.4", "2.6", "564".
  bool parseDecimal(double* value) {
    skipBlanks();
    const size_t start = pos_;
    while (std::isdigit(static_cast<unsigned char>(peek())) != 0) ++pos_;
    if (peek() == '.' && pos_ + 1 < text_.size() &&
        std::isdigit(static_cast<unsigned char>(text_[pos_ + 1])) != 0) {
      ++pos_;
      while (std::isdigit(static_cast<unsigned char>(peek())) != 0) ++pos_;
    }
    if (pos_ == start) return fail("expected a number");
    if (pos_ - start > 15) {
      pos_ = start;
      return fail("a number of more than 15 digits");
    }
    *value = std::stod(text_.substr(start, pos_ - start));
    return true;
  }

  /// An integer: decimal, or hexadecimal after "0x"; at most 2^63 - 1.
  bool parseInteger(int64_t* value) {
    skipBlanks();
    const size_t start = pos_;
    switch (readIrpNumber(text_, &pos_, value)) {
      case IrpNumberRead::kRead:
        return true;
      case IrpNumberRead::kTooLarge:
        pos_ = start;
        return fail("a number too large");
      case IrpNumberRead::kNone:
        break;
    }
    pos_ = start;
    return fail("expected a number");
  }

  // {38.4k,564,msb,33%}: carrier, unit, bit order and duty cycle, in any order.
  bool parseGeneralSettings(IrpProtocol* p) {
    if (!expect('{')) return false;
    if (take('}')) return true;
    do {
      skipBlanks();
      if (takeWord("msb")) {
        p->msbFirst = true;
      } else if (takeWord("lsb")) {
        p->msbFirst = false;
      } else {
        double value = 0;
        if (!parseDecimal(&value)) return false;
        if (peek() == 'k') {
          ++pos_;
          p->carrierHz = std::round(value * 1000);
        } else if (peek() == '%') {
          ++pos_;  // the duty cycle: the renderer's bursts have their own
        } else if (peek() == 'p') {
          ++pos_;
          if (value <= 0) return fail("a unit of 0");
          unitPeriods_ = value;
        } else {
          if (peek() == 'u') ++pos_;
          if (value <= 0) return fail("a unit of 0");
          p->unitUs = value;
        }
      }
    } while (take(','));
    if (!expect('}')) return false;
    if (unitPeriods_ > 0) {
      if (p->carrierHz <= 0) return fail("a unit in carrier periods without a carrier");
      p->unitUs = unitPeriods_ * 1e6 / p->carrierHz;
    }
    return true;
  }

  // <1,-1|1,-3>: the symbols, each a list of durations and bit fields.
  bool parseBitCoding(IrpBitCoding* coding) {
    if (!expect('<') || !enter()) return false;
    do {
      coding->symbols.emplace_back();
      if (!parseItems(&coding->symbols.back(), '|', '>')) return false;
    } while (take('|'));
    if (!expect('>')) return false;
    const size_t n = coding->symbols.size();
    if (n != 2 && n != 4 && n != 8 && n != 16) {
      return fail("a bit coding of " + std::to_string(n) + " symbols (2, 4, 8 or 16 are allowed)");
    }
    --depth_;
    return true;
  }

  /// Items separated by commas up to (not taking) one of the closing characters.
  bool parseItems(std::vector<IrpItem>* items, char close1, char close2) {
    skipBlanks();
    if (peek() == close1 || peek() == close2) return true;
    do {
      items->emplace_back();
      if (!parseItem(&items->back())) return false;
      skipBlanks();
    } while (take(','));
    skipBlanks();
    if (peek() != close1 && peek() != close2) {
      return fail(std::string("expected ',' or '") + close2 + "'");
    }
    return true;
  }

  /// "(...)" and what may follow it: "*", "+", "3", "3+".
  bool parseGroup(IrpItem* item) {
    if (!expect('(') || !enter()) return false;
    item->kind = IrpItem::Kind::kGroup;
    if (!parseItems(&item->items, ')', ')') || !expect(')')) return false;
    --depth_;
    skipBlanks();
    if (peek() == '*' || peek() == '+') {
      item->repeat.repeats = true;
      item->repeat.minimum = peek() == '+' ? 1 : 0;
      ++pos_;
    } else if (std::isdigit(static_cast<unsigned char>(peek())) != 0) {
      int64_t count = 0;
      if (!parseInteger(&count)) return false;
      if (count > 1000) return fail("a group repeated more than 1000 times");
      if (take('+')) {
        item->repeat.repeats = true;
        item->repeat.minimum = static_cast<int32_t>(count);
      } else {
        item->repeat.count = static_cast<int32_t>(count);
      }
    }
    return true;
  }

  /// A duration in units, "u" µs, "m" ms or "p" carrier periods.
  bool parseDuration(IrpItem* item, double sign) {
    double value = 0;
    if (!parseDecimal(&value)) return false;
    item->amount = sign * value;
    if (peek() == 'u' || peek() == 'm' || peek() == 'p') item->unit = text_[pos_++];
    if (isNameChar(peek())) return fail("expected a unit: u, m or p");
    return true;
  }

  bool parseItem(IrpItem* item) {
    skipBlanks();
    const char c = peek();
    if (c == '^') {
      ++pos_;
      item->kind = IrpItem::Kind::kExtent;
      return parseDuration(item, 1);
    }
    if (c == '-' && pos_ + 1 < text_.size() &&
        std::isdigit(static_cast<unsigned char>(text_[pos_ + 1])) != 0) {
      ++pos_;
      item->kind = IrpItem::Kind::kDuration;
      return parseDuration(item, -1);
    }
    if (c == '<') {
      auto coding = std::make_shared<IrpBitCoding>();
      if (!parseBitCoding(coding.get())) return false;
      skipBlanks();
      if (peek() != '(') return fail("expected a group after the bit coding");
      if (!parseGroup(item)) return false;
      item->bitCoding = coding;
      return true;
    }
    if (c == '[') return parseVariation(item);
    if (c == '(' && !parenthesisIsValue()) return parseGroup(item);
    if (isNameStart(c)) {
      // "T=1-T": an assignment; otherwise a bit field of a name.
      const size_t start = pos_;
      std::string name;
      parseName(&name);
      skipBlanks();
      if (peek() == '=' && text_.compare(pos_, 2, "==") != 0) {
        ++pos_;
        item->kind = IrpItem::Kind::kAssignment;
        item->name = name;
        return parseExpression(&item->value);
      }
      pos_ = start;
    }
    if (std::isdigit(static_cast<unsigned char>(c)) != 0 && !numberIsBitField()) {
      item->kind = IrpItem::Kind::kDuration;
      return parseDuration(item, 1);
    }
    item->kind = IrpItem::Kind::kBitField;
    if (!parseUnary(&item->value)) return false;
    if (item->value.kind != IrpExpression::Kind::kBitField) {
      return fail("expected a bit field (such as D:8) here");
    }
    return true;
  }

  /// Whether the number at pos_ is the value of a bit field ("1023:10").
  [[nodiscard]] bool numberIsBitField() const {
    size_t i = pos_;
    while (i < text_.size() &&
           (std::isalnum(static_cast<unsigned char>(text_[i])) != 0 || text_[i] == '.'))
      ++i;
    while (i < text_.size() && std::isspace(static_cast<unsigned char>(text_[i])) != 0) ++i;
    return i < text_.size() && text_[i] == ':';
  }

  /// Whether the "(" at pos_ opens an expression whose bit field follows
  /// ("(D^S^F):8") rather than a group.
  [[nodiscard]] bool parenthesisIsValue() const {
    int open = 0;
    size_t i = pos_;
    for (; i < text_.size(); ++i) {
      if (text_[i] == '(') ++open;
      if (text_[i] == ')' && --open == 0) break;
    }
    for (++i; i < text_.size() && std::isspace(static_cast<unsigned char>(text_[i])) != 0;) ++i;
    return i < text_.size() && text_[i] == ':';
  }

  // [40][8]: the first pass sends the first alternative, later passes the second.
  bool parseVariation(IrpItem* item) {
    item->kind = IrpItem::Kind::kVariation;
    while (take('[')) {
      if (item->alternatives.size() == 3) return fail("a variation of more than 3 alternatives");
      item->alternatives.emplace_back();
      if (!parseItems(&item->alternatives.back(), ']', ']') || !expect(']')) return false;
      skipBlanks();
    }
    return true;
  }

  /// Whether a parameter or definition of `list` has the name `name`.
  template <typename Named>
  static bool listed(const std::vector<Named>& list, const std::string& name) {
    return std::any_of(list.begin(), list.end(),
                       [&name](const Named& n) { return n.name == name; });
  }

  // {X=..., C=...}
  bool parseDefinitions(std::vector<IrpDefinition>* definitions) {
    if (!expect('{')) return false;
    if (take('}')) return true;
    do {
      IrpDefinition d;
      skipBlanks();
      const size_t start = pos_;
      if (!parseName(&d.name)) return false;
      if (listed(*definitions, d.name)) {
        pos_ = start;
        return fail(d.name + " defined twice");
      }
      if (!expect('=') || !parseExpression(&d.value)) return false;
      definitions->push_back(std::move(d));
    } while (take(','));
    return expect('}');
  }

  // [D:0..255,S:0..255=255-D,T@:0..1=0]
  bool parseParameters(std::vector<IrpParameter>* parameters) {
    if (!expect('[')) return false;
    if (take(']')) return true;
    do {
      IrpParameter p;
      skipBlanks();
      const size_t start = pos_;
      if (!parseName(&p.name)) return false;
      if (listed(*parameters, p.name)) {
        pos_ = start;
        return fail("parameter " + p.name + " listed twice");
      }
      take('@');  // kept between presses: each press here is a new one
      if (!expect(':') || !parseUnary(&p.minimum)) return false;
      if (!takeWord("..")) return fail("expected '..' between a parameter's limits");
      if (!parseBinary(&p.maximum, 0)) return false;
      if (take('=')) {
        p.hasDefault = true;
        if (!parseExpression(&p.defaultValue)) return false;
      }
      parameters->push_back(std::move(p));
    } while (take(','));
    return expect(']');
  }

  bool parseExpression(IrpExpression* e) {
    if (!enter() || !parseBinary(e, 0)) return false;
    --depth_;
    return true;
  }

  /// Whether `op` is next, and not the start of a longer operator.
  bool takeOperator(const std::string& op) {
    skipBlanks();
    if (text_.compare(pos_, op.size(), op) != 0) return false;
    const char after = pos_ + op.size() < text_.size() ? text_[pos_ + op.size()] : '\0';
    if ((op == "|" && after == '|') || (op == "&" && after == '&') ||
        (op == "<" && (after == '<' || after == '=')) ||
        (op == ">" && (after == '>' || after == '=')) || (op == "*" && after == '*'))
      return false;
    pos_ += op.size();
    return true;
  }

  bool parseBinary(IrpExpression* e, size_t level) {
    if (level == kBinaryLevels.size()) return parsePower(e);
    if (!parseBinary(e, level + 1)) return false;
    for (;;) {
      const std::vector<std::string>& ops = kBinaryLevels[level];
      const auto found = std::find_if(ops.begin(), ops.end(),
                                      [this](const std::string& op) { return takeOperator(op); });
      if (found == ops.end()) return true;
      IrpExpression left = std::move(*e);
      *e = IrpExpression();
      e->kind = IrpExpression::Kind::kBinary;
      e->name = *found;
      e->operands.resize(2);
      e->operands[0] = std::move(left);
      if (!parseBinary(&e->operands[1], level + 1)) return false;
    }
  }

  // a ** b, right to left.
  bool parsePower(IrpExpression* e) {
    if (!parseUnary(e)) return false;
    skipBlanks();
    if (text_.compare(pos_, 2, "**") != 0) return true;
    pos_ += 2;
    if (!enter()) return false;
    IrpExpression base = std::move(*e);
    *e = IrpExpression();
    e->kind = IrpExpression::Kind::kBinary;
    e->name = "**";
    e->operands.resize(2);
    e->operands[0] = std::move(base);
    if (!parsePower(&e->operands[1])) return false;
    --depth_;
    return true;
  }

  /// Unary operators, and the bit field "[~]VALUE:WIDTH[:OFFSET]" or "VALUE::OFFSET".
  bool parseUnary(IrpExpression* e) {
    skipBlanks();
    const char c = peek();
    if (c == '-' || c == '!' || c == '#' || c == '~') {
      ++pos_;
      if (!enter()) return false;
      IrpExpression operand;
      if (!parseUnary(&operand)) return false;
      --depth_;
      // "~F:8" complements F within the bit field: the low 8 bits of ~F.
      if (c == '~' && operand.kind == IrpExpression::Kind::kBitField && !operand.complement) {
        *e = std::move(operand);
        e->complement = true;
        return true;
      }
      e->kind = IrpExpression::Kind::kUnary;
      e->name = std::string(1, c);
      e->operands.push_back(std::move(operand));
      return true;
    }
    IrpExpression value;
    if (!parsePrimary(&value)) return false;
    skipBlanks();
    if (peek() != ':') {
      *e = std::move(value);
      return true;
    }
    ++pos_;
    e->kind = IrpExpression::Kind::kBitField;
    e->operands.resize(3);
    e->operands[0] = std::move(value);
    if (take(':')) {
      e->infiniteWidth = true;
      return parsePrimary(&e->operands[2]);
    }
    // The width may be negative: the bits go out in the other order.
    skipBlanks();
    if (peek() == '-') {
      ++pos_;
      IrpExpression width;
      if (!parsePrimary(&width)) return false;
      e->operands[1].kind = IrpExpression::Kind::kUnary;
      e->operands[1].name = "-";
      e->operands[1].operands.push_back(std::move(width));
    } else if (!parsePrimary(&e->operands[1])) {
      return false;
    }
    if (take(':')) return parsePrimary(&e->operands[2]);
    e->operands[2].number = 0;
    return true;
  }

  bool parsePrimary(IrpExpression* e) {
    skipBlanks();
    const char c = peek();
    if (c == '(') {
      ++pos_;
      if (!parseExpression(e)) return false;
      return expect(')');
    }
    if (isNameStart(c)) {
      e->kind = IrpExpression::Kind::kName;
      return parseName(&e->name);
    }
    e->kind = IrpExpression::Kind::kNumber;
    return parseInteger(&e->number);
  }
};
// NOLINTEND(misc-no-recursion)

}  // namespace

IrpNumberRead readIrpNumber(const std::string& text, size_t* pos, int64_t* value) {
  size_t i = *pos;
  const bool hex = text.compare(i, 2, "0x") == 0 || text.compare(i, 2, "0X") == 0;
  if (hex) i += 2;
  const size_t digits = i;
  const uint64_t base = hex ? 16 : 10;
  uint64_t v = 0;
  bool tooLarge = false;
  for (; i < text.size(); ++i) {
    const auto c = static_cast<unsigned char>(text[i]);
    int digit = 0;
    if (std::isdigit(c) != 0) {
      digit = c - '0';
    } else if (hex && std::isxdigit(c) != 0) {
      digit = std::tolower(c) - 'a' + 10;
    } else {
      break;
    }
    const auto d = static_cast<uint64_t>(digit);
    // Every digit is read, so that what follows the number is what follows it.
    if (v > (uint64_t{INT64_MAX} - d) / base) tooLarge = true;
    if (!tooLarge) v = v * base + d;
  }
  if (i == digits) return IrpNumberRead::kNone;
  *pos = i;
  if (tooLarge) return IrpNumberRead::kTooLarge;
  *value = static_cast<int64_t>(v);
  return IrpNumberRead::kRead;
}

const IrpParameter* IrpProtocol::parameter(const std::string& name) const {
  const auto found = std::find_if(parameters.begin(), parameters.end(),
                                  [&name](const IrpParameter& p) { return p.name == name; });
  return found == parameters.end() ? nullptr : &*found;
}

namespace {

/// Whether `items` holds the repeated part; *before says whether anything
/// that sends comes before it.
// Groups nest at most kMaxDepth deep.
// NOLINTBEGIN(misc-no-recursion)
bool findRepeat(const std::vector<IrpItem>& items, bool* before) {
  return std::any_of(items.begin(), items.end(), [before](const IrpItem& item) {
    if (item.kind == IrpItem::Kind::kGroup &&
        (item.repeat.repeats || findRepeat(item.items, before)))
      return true;
    if (item.kind != IrpItem::Kind::kAssignment) *before = true;
    return false;
  });
}
// NOLINTEND(misc-no-recursion)

}  // namespace

bool IrpProtocol::hasIntro() const {
  bool before = false;
  if (body.repeat.repeats) return false;
  findRepeat(body.items, &before);
  return before;
}

bool parseIrp(const std::string& text, IrpProtocol* protocol, std::string* error) {
  *protocol = IrpProtocol();
  Parser parser(text);
  if (parser.parseProtocol(protocol)) return true;
  *error = "bad IRP: " + parser.error();
  return false;
}

bool parseIrpExtras(const std::string& text, std::vector<IrpParameter>* parameters,
                    std::vector<IrpDefinition>* definitions, std::string* error) {
  Parser parser(text);
  if (parser.parseExtras(parameters, definitions)) return true;
  *error = "bad IRP: " + parser.error();
  return false;
}
