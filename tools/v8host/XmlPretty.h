#pragma once
// Indents an XML text for the eye: one element per line, children indented
// by two spaces, an element holding only text kept on one line, and the
// attributes of a long start tag one per line. Nothing is validated beyond
// what indenting needs (tags nest and close); entities stay as written.
#include <optional>
#include <string>
#include <string_view>

namespace v8host {

// True when the text (after leading white space) begins like an XML
// document or element.
bool LooksLikeXml(std::string_view AText) noexcept;

// The indented text, lines ending with "\n"; nullopt when the text is not
// well-nested markup (then show it as it is).
std::optional<std::string> PrettyXml(std::string_view AText);

}  // namespace v8host
