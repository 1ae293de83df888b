#include "v8host/XmlPretty.h"

#include <vector>

namespace v8host {

namespace {

// Start tags longer than this put each attribute on a line of its own.
constexpr std::size_t kLongTag = 100;

bool IsSpace(char AChar) noexcept { return AChar == ' ' || AChar == '\t' || AChar == '\r' || AChar == '\n'; }

std::string_view Trim(std::string_view AText) noexcept {
  while (!AText.empty() && IsSpace(AText.front())) AText.remove_prefix(1);
  while (!AText.empty() && IsSpace(AText.back())) AText.remove_suffix(1);
  return AText;
}

struct TToken {
  enum TKind { tkStart, tkEnd, tkEmpty, tkOther, tkText };
  TKind Kind;
  std::string_view Text;  // the whole markup, or the text
  std::string_view Name;  // element name of start, end and empty tags
};

// Characters, not bytes, of UTF-8 text: what the eye measures.
std::size_t Width(std::string_view AText) noexcept {
  std::size_t width = 0;
  for (const char c : AText)
    if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) ++width;
  return width;
}

std::string_view NameOf(std::string_view ATag, std::size_t AFrom) noexcept {
  std::size_t end = AFrom;
  while (end < ATag.size() && !IsSpace(ATag[end]) && ATag[end] != '>' && ATag[end] != '/') ++end;
  return ATag.substr(AFrom, end - AFrom);
}

// Splits the text into markup and text tokens; false when a construct does
// not end.
bool Tokenize(std::string_view AText, std::vector<TToken>& ATokens) {
  std::size_t pos = 0;
  auto until = [&](std::string_view AEnd) -> bool {
    const std::size_t end = AText.find(AEnd, pos);
    if (end == std::string_view::npos) return false;
    pos = end + AEnd.size();
    return true;
  };
  while (pos < AText.size()) {
    const std::size_t start = pos;
    if (AText[pos] != '<') {
      pos = AText.find('<', pos);
      if (pos == std::string_view::npos) pos = AText.size();
      ATokens.push_back({TToken::tkText, AText.substr(start, pos - start), {}});
      continue;
    }
    const std::string_view rest = AText.substr(pos);
    if (rest.starts_with("<?")) {
      if (!until("?>")) return false;
    } else if (rest.starts_with("<!--")) {
      if (!until("-->")) return false;
    } else if (rest.starts_with("<![CDATA[")) {
      if (!until("]]>")) return false;
      ATokens.push_back({TToken::tkText, AText.substr(start, pos - start), {}});
      continue;
    } else if (rest.starts_with("<!")) {
      if (!until(">")) return false;
    } else {
      // A tag: '>' inside quoted attribute values does not end it.
      char quote = 0;
      ++pos;
      while (pos < AText.size() && (quote || AText[pos] != '>')) {
        if (quote && AText[pos] == quote) quote = 0;
        else if (!quote && (AText[pos] == '"' || AText[pos] == '\'')) quote = AText[pos];
        ++pos;
      }
      if (pos >= AText.size()) return false;
      ++pos;
      const std::string_view tag = AText.substr(start, pos - start);
      if (tag[1] == '/') ATokens.push_back({TToken::tkEnd, tag, NameOf(tag, 2)});
      else if (tag[tag.size() - 2] == '/') ATokens.push_back({TToken::tkEmpty, tag, NameOf(tag, 1)});
      else ATokens.push_back({TToken::tkStart, tag, NameOf(tag, 1)});
      if (ATokens.back().Name.empty()) return false;
      continue;
    }
    ATokens.push_back({TToken::tkOther, AText.substr(start, pos - start), {}});
  }
  return true;
}

// The attributes of a start or empty tag, each `name="value"` as written.
std::vector<std::string_view> Attributes(const TToken& ATag) {
  std::vector<std::string_view> result;
  const std::string_view tag = ATag.Text;
  std::size_t pos = 1 + ATag.Name.size();
  for (;;) {
    while (pos < tag.size() && IsSpace(tag[pos])) ++pos;
    if (pos >= tag.size() || tag[pos] == '>' || tag[pos] == '/') break;
    const std::size_t start = pos;
    char quote = 0;
    while (pos < tag.size() && (quote || (!IsSpace(tag[pos]) && tag[pos] != '>' && tag[pos] != '/'))) {
      if (quote && tag[pos] == quote) quote = 0;
      else if (!quote && (tag[pos] == '"' || tag[pos] == '\'')) quote = tag[pos];
      ++pos;
    }
    result.push_back(tag.substr(start, pos - start));
  }
  return result;
}

void Line(std::string& AOut, std::size_t ADepth, std::string_view AText) {
  AOut.append(2 * ADepth, ' ');
  AOut.append(AText);
  AOut += '\n';
}

void StartTag(std::string& AOut, std::size_t ADepth, const TToken& ATag, std::string_view AAfter) {
  const std::vector<std::string_view> attributes = Attributes(ATag);
  if (Width(ATag.Text) <= kLongTag || attributes.size() < 2) {
    Line(AOut, ADepth, std::string(ATag.Text) + std::string(AAfter));
    return;
  }
  Line(AOut, ADepth, std::string("<") + std::string(ATag.Name));
  for (std::size_t i = 0; i < attributes.size(); ++i) {
    std::string text(attributes[i]);
    if (i + 1 == attributes.size()) text += ATag.Kind == TToken::tkEmpty ? "/>" : ">";
    Line(AOut, ADepth + 2, text);
  }
  if (!AAfter.empty()) Line(AOut, ADepth, AAfter);
}

}  // namespace

bool LooksLikeXml(std::string_view AText) noexcept {
  const std::string_view text = Trim(AText);
  return text.size() >= 3 && text.front() == '<' && text.back() == '>';
}

std::optional<std::string> PrettyXml(std::string_view AText) {
  std::vector<TToken> tokens;
  if (!LooksLikeXml(AText) || !Tokenize(Trim(AText), tokens)) return std::nullopt;
  // White space between markup is layout, not content.
  std::erase_if(tokens, [](const TToken& AToken) { return AToken.Kind == TToken::tkText && Trim(AToken.Text).empty(); });

  std::string out;
  std::vector<std::string_view> open;
  for (std::size_t i = 0; i < tokens.size(); ++i) {
    const TToken& token = tokens[i];
    switch (token.Kind) {
      case TToken::tkStart: {
        // <a>text</a> and <a></a> stay on one line.
        const bool textOnly = i + 2 < tokens.size() && tokens[i + 1].Kind == TToken::tkText &&
                              tokens[i + 2].Kind == TToken::tkEnd && tokens[i + 2].Name == token.Name;
        const bool empty = i + 1 < tokens.size() && tokens[i + 1].Kind == TToken::tkEnd && tokens[i + 1].Name == token.Name;
        if (textOnly) {
          StartTag(out, open.size(), token, std::string(tokens[i + 1].Text) + std::string(tokens[i + 2].Text));
          i += 2;
        } else if (empty) {
          StartTag(out, open.size(), token, tokens[i + 1].Text);
          i += 1;
        } else {
          StartTag(out, open.size(), token, {});
          open.push_back(token.Name);
        }
        break;
      }
      case TToken::tkEnd:
        if (open.empty() || open.back() != token.Name) return std::nullopt;
        open.pop_back();
        Line(out, open.size(), token.Text);
        break;
      case TToken::tkEmpty: StartTag(out, open.size(), token, {}); break;
      case TToken::tkOther: Line(out, open.size(), token.Text); break;
      case TToken::tkText: Line(out, open.size(), Trim(token.Text)); break;
    }
  }
  if (!open.empty()) return std::nullopt;
  return out;
}

}  // namespace v8host
