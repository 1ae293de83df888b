#pragma once
// The call syntax of the v8host tool, one call per line:
//   Name                 property get, or a method call without arguments
//   Name(arg, ...)       method call
//   Name = value         property set
//   :pump MS             let windows process input for MS milliseconds
//   :echo TEXT           print TEXT (a caption in the session's output)
//   :NAME TEXT           another directive, for whoever runs the session
//   # comment            (and blank lines) ignored
// Names are English or Russian. Literals: numbers (42, -1.5, 1e3), texts in
// double quotes with \" \\ \n \r \t \uXXXX escapes, true/false (Истина/Ложь),
// dates 2026-12-08 or 2026-12-08T10:00:00, undefined (Неопределено), null.
#include <string>
#include <string_view>
#include <vector>

#include "v8host/Value.h"

namespace v8host {

struct TCallLine {
  enum TKind {
    ckNothing,  // blank line or comment
    ckName,     // bare name: property get or a call without arguments
    ckCall,     // Name(...)
    ckSet,      // Name = value
    ckPump,     // :pump MS
    ckEcho,     // :echo TEXT
    ckDirective // :NAME TEXT, Name and Text
  };
  TKind Kind = ckNothing;
  std::u16string Name;
  std::vector<TValue> Args;  // ckCall
  TValue Value;              // ckSet
  int Milliseconds = 0;      // ckPump
  std::string Text;          // ckEcho, ckDirective: the rest of the line
};

// Throws THostError with the column of the first problem.
TCallLine ParseCallLine(std::string_view ALine);
// One literal; the whole text must be the literal.
TValue ParseLiteral(std::string_view AText);

// The literal form of a value (texts quoted, dates as above).
std::string LiteralText(const TValue& AValue);

}  // namespace v8host
