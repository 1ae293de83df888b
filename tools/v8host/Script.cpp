#include "v8host/Script.h"

#include <cctype>
#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <limits>

#include "v8host/Error.h"
#include "v8host/Text.h"

namespace v8host {

namespace {

class TParser {
 public:
  explicit TParser(std::string_view AText) : FText(AText) {}

  [[noreturn]] void Fail(const std::string& AWhat) const {
    throw THostError("column " + std::to_string(FPos + 1) + ": " + AWhat);
  }
  bool AtEnd() const { return FPos >= FText.size(); }
  std::string Rest() {
    std::string rest(FText.substr(std::min(FPos, FText.size())));
    FPos = FText.size();
    return rest;
  }
  char Peek() const { return AtEnd() ? '\0' : FText[FPos]; }
  void SkipSpaces() {
    while (!AtEnd() && (FText[FPos] == ' ' || FText[FPos] == '\t' || FText[FPos] == '\r')) ++FPos;
  }
  bool Take(char AChar) {
    SkipSpaces();
    if (Peek() != AChar) return false;
    ++FPos;
    return true;
  }
  void Expect(char AChar) {
    if (!Take(AChar)) Fail(std::string("'") + AChar + "' expected");
  }
  void ExpectEnd() {
    SkipSpaces();
    if (!AtEnd()) Fail("unexpected text \"" + std::string(FText.substr(FPos)) + "\"");
  }

  static bool IsNameChar(char AChar) {
    const auto c = static_cast<unsigned char>(AChar);
    return c >= 0x80 || std::isalnum(c) || c == '_';
  }

  std::string Word() {
    SkipSpaces();
    const std::size_t start = FPos;
    while (!AtEnd() && IsNameChar(FText[FPos])) ++FPos;
    return std::string(FText.substr(start, FPos - start));
  }

  TValue Literal() {
    SkipSpaces();
    if (AtEnd()) Fail("value expected");
    const char c = Peek();
    if (c == '"') return QuotedText();
    if (std::isdigit(static_cast<unsigned char>(c)) && LooksLikeDate()) return Date();
    if (c == '-' || c == '+' || c == '.' || std::isdigit(static_cast<unsigned char>(c))) return Number();
    const std::size_t start = FPos;
    const std::string word = Word();
    const std::u16string lower = Lower(ToUtf16(word));
    if (lower == u"true" || lower == u"истина") return TValue::Boolean(true);
    if (lower == u"false" || lower == u"ложь") return TValue::Boolean(false);
    if (lower == u"undefined" || lower == u"неопределено") return TValue::Empty();
    if (lower == u"null") return TValue::Null();
    FPos = start;
    Fail(word.empty() ? "value expected" : "unknown value \"" + word + "\"");
  }

 private:
  static std::u16string Lower(std::u16string AText) {
    for (char16_t& c : AText) {
      if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c + 32);
      else if (c >= u'А' && c <= u'Я') c = static_cast<char16_t>(c + 32);
      else if (c == u'Ё') c = u'ё';
    }
    return AText;
  }

  bool LooksLikeDate() const {
    const std::string_view rest = FText.substr(FPos);
    if (rest.size() < 10) return false;
    for (int i : {0, 1, 2, 3, 5, 6, 8, 9})
      if (!std::isdigit(static_cast<unsigned char>(rest[i]))) return false;
    return rest[4] == '-' && rest[7] == '-';
  }

  int Digits(int ACount) {
    int value = 0;
    for (int i = 0; i < ACount; ++i) {
      if (!std::isdigit(static_cast<unsigned char>(Peek()))) Fail("digit expected");
      value = value * 10 + (FText[FPos++] - '0');
    }
    return value;
  }

  void ExpectHere(char AChar) {
    if (Peek() != AChar) Fail(std::string("'") + AChar + "' expected");
    ++FPos;
  }

  TValue Date() {
    TDateTime value;
    value.Year = Digits(4);
    ExpectHere('-');
    value.Month = Digits(2);
    ExpectHere('-');
    value.Day = Digits(2);
    if (Peek() == 'T') {
      ++FPos;
      value.Hour = Digits(2);
      ExpectHere(':');
      value.Minute = Digits(2);
      if (Peek() == ':') {
        ++FPos;
        value.Second = Digits(2);
      }
    }
    static constexpr int kDays[] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (value.Month < 1 || value.Month > 12 || value.Day < 1 || value.Day > kDays[value.Month - 1] ||
        value.Hour > 23 || value.Minute > 59 || value.Second > 59)
      Fail("impossible date");
    return TValue::Tm(value);
  }

  TValue Number() {
    const std::size_t start = FPos;
    if (Peek() == '-' || Peek() == '+') ++FPos;
    bool integral = true;
    while (!AtEnd() && (std::isalnum(static_cast<unsigned char>(Peek())) || Peek() == '.' ||
                        ((Peek() == '-' || Peek() == '+') && (FText[FPos - 1] == 'e' || FText[FPos - 1] == 'E')))) {
      if (!std::isdigit(static_cast<unsigned char>(Peek()))) integral = false;
      ++FPos;
    }
    const std::string text(FText.substr(start, FPos - start));
    char* end = nullptr;
    if (integral) {
      errno = 0;
      const long long value = std::strtoll(text.c_str(), &end, 10);
      if (end && *end == '\0' && errno == 0 && value >= std::numeric_limits<std::int32_t>::min() &&
          value <= std::numeric_limits<std::int32_t>::max())
        return TValue::I4(static_cast<std::int32_t>(value));
    }
    // Numbers that are not 32-bit integers travel as doubles, as the
    // platform passes them.
    const double value = std::strtod(text.c_str(), &end);
    if (text.empty() || !end || *end != '\0' || !std::isfinite(value)) {
      FPos = start;
      Fail("bad number \"" + text + "\"");
    }
    return TValue::R8(value);
  }

  TValue QuotedText() {
    ++FPos;  // opening quote
    std::string text;
    for (;;) {
      if (AtEnd()) Fail("unterminated text");
      const char c = FText[FPos++];
      if (c == '"') break;
      if (c != '\\') {
        text += c;
        continue;
      }
      if (AtEnd()) Fail("unterminated text");
      const char e = FText[FPos++];
      switch (e) {
        case '"': text += '"'; break;
        case '\\': text += '\\'; break;
        case 'n': text += '\n'; break;
        case 'r': text += '\r'; break;
        case 't': text += '\t'; break;
        case 'u': {
          if (FPos + 4 > FText.size()) Fail("\\u needs four hex digits");
          const std::string hex(FText.substr(FPos, 4));
          char* end = nullptr;
          const long code = std::strtol(hex.c_str(), &end, 16);
          if (!end || *end != '\0') Fail("\\u needs four hex digits");
          FPos += 4;
          text += ToUtf8(std::u16string(1, static_cast<char16_t>(code)));
          break;
        }
        default: --FPos; Fail(std::string("unknown escape \\") + e);
      }
    }
    return TValue::Text8(text);
  }

  std::string_view FText;
  std::size_t FPos = 0;
};

}  // namespace

TCallLine ParseCallLine(std::string_view ALine) {
  TParser parser(ALine);
  TCallLine line;
  parser.SkipSpaces();
  if (parser.AtEnd() || parser.Peek() == '#' || parser.Peek() == '\n') return line;
  if (parser.Take(':')) {
    const std::string directive = parser.Word();
    if (directive.empty()) parser.Fail("directive name expected");
    if (directive != "pump") {
      line.Kind = directive == "echo" ? TCallLine::ckEcho : TCallLine::ckDirective;
      line.Name = ToUtf16(directive);
      parser.SkipSpaces();
      line.Text = parser.Rest();
      while (!line.Text.empty() && (line.Text.back() == ' ' || line.Text.back() == '\t' || line.Text.back() == '\r'))
        line.Text.pop_back();
      return line;
    }
    const TValue ms = parser.Literal();
    if (ms.Type != VTYPE_I4 || ms.Int < 0) parser.Fail("milliseconds expected");
    parser.ExpectEnd();
    line.Kind = TCallLine::ckPump;
    line.Milliseconds = static_cast<int>(ms.Int);
    return line;
  }
  const std::string name = parser.Word();
  if (name.empty()) parser.Fail("method or property name expected");
  line.Name = ToUtf16(name);
  if (parser.Take('=')) {
    line.Kind = TCallLine::ckSet;
    line.Value = parser.Literal();
  } else if (parser.Take('(')) {
    line.Kind = TCallLine::ckCall;
    if (!parser.Take(')')) {
      do {
        line.Args.push_back(parser.Literal());
      } while (parser.Take(','));
      parser.Expect(')');
    }
  } else {
    line.Kind = TCallLine::ckName;
  }
  parser.ExpectEnd();
  return line;
}

TValue ParseLiteral(std::string_view AText) {
  TParser parser(AText);
  TValue value = parser.Literal();
  parser.ExpectEnd();
  return value;
}

std::string LiteralText(const TValue& AValue) { return AValue.Display(); }

}  // namespace v8host
