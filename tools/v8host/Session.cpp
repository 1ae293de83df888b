#include "v8host/Session.h"

#include "v8host/Error.h"
#include "v8host/Pump.h"
#include "v8host/Text.h"
#include "v8host/XmlPretty.h"

namespace v8host {

namespace {

std::string Quote(std::u16string_view AText) { return TValue::Text16(AText).Display(); }

std::string PlainShown(const TValue& AValue) { return AValue.Display() + " [" + TypeName(AValue.Type) + "]"; }

// Every line of AText indented by AIndent spaces.
std::string Indented(const std::string& AText, std::size_t AIndent) {
  std::string out;
  std::size_t start = 0;
  while (start < AText.size()) {
    std::size_t end = AText.find('\n', start);
    if (end == std::string::npos) end = AText.size();
    out.append(AIndent, ' ').append(AText, start, end - start).append("\n");
    start = end + 1;
  }
  return out;
}

std::string ArgumentList(const std::vector<TValue>& AArgs) {
  std::string text;
  for (std::size_t i = 0; i < AArgs.size(); ++i) text += (i ? ", " : "") + AArgs[i].Display();
  return text;
}

bool SameValue(const TValue& A, const TValue& B) { return A == B; }

}  // namespace

void PrintReports(THostServices& AServices, std::ostream& AOut) {
  AServices.OnAddError = [&AOut](const TAddErrorRecord& AError) {
    AOut << "! AddError code=" << AError.Code << " source=" << Quote(AError.Source)
         << " description=" << Quote(AError.Description) << " scode=" << AError.SCode << "\n";
    AOut.flush();
  };
  AServices.OnExternalEvent = [&AOut](const TExternalEventRecord& AEvent) {
    AOut << "* ExternalEvent source=" << Quote(AEvent.Source) << " message=" << Quote(AEvent.Message)
         << " data=" << Quote(AEvent.Data) << "\n";
    AOut.flush();
  };
}

TSession::TSession(TComponent& AComponent, std::ostream& AOut) : FComponent(AComponent), FOut(AOut) {
  PrintReports(FComponent.Host().Services, FOut);
}

TSession::~TSession() {
  THostServices& services = FComponent.Host().Services;
  services.OnAddError = nullptr;
  services.OnExternalEvent = nullptr;
}

std::string TSession::Shown(const TValue& AValue) const {
  if (FPrettyXml && AValue.Type == VTYPE_PWSTR) {
    const std::string text = AValue.Utf8();
    if (LooksLikeXml(text)) {
      if (const auto pretty = PrettyXml(text)) {
        std::string shown = "[" + TypeName(AValue.Type) + ", " + std::to_string(AValue.Text.size()) +
                            " characters of XML]\n" + Indented(*pretty, 6);
        shown.pop_back();  // the caller ends the line
        return shown;
      }
    }
  }
  return PlainShown(AValue);
}

bool TSession::Fail(const std::string& AWhy) {
  FOut << "< FAILED: " << AWhy << "\n";
  FOut.flush();
  ++FFailures;
  return false;
}

bool TSession::Execute(std::string_view ALine) {
  TCallLine line;
  try {
    line = ParseCallLine(ALine);
  } catch (const THostError& e) {
    FOut << "> " << ALine << "\n";
    return Fail(std::string("syntax: ") + e.what());
  }
  return Execute(line);
}

bool TSession::Execute(const TCallLine& ALine) {
  try {
    switch (ALine.Kind) {
      case TCallLine::ckNothing: return true;
      case TCallLine::ckPump:
        FOut << "> :pump " << ALine.Milliseconds << "\n";
        FOut.flush();
        PumpMessages(std::chrono::milliseconds(ALine.Milliseconds));
        return true;
      case TCallLine::ckEcho:
        FOut << ALine.Text << "\n";
        FOut.flush();
        return true;
      case TCallLine::ckDirective: {
        FOut << "> :" << ToUtf8(ALine.Name) << (ALine.Text.empty() ? "" : " ") << ALine.Text << "\n";
        FOut.flush();
        if (!FDirectiveHandler) return Fail("unknown directive \":" + ToUtf8(ALine.Name) + "\"");
        if (!FDirectiveHandler(ALine.Name, ALine.Text)) return Fail(":" + ToUtf8(ALine.Name) + " failed");
        FOut.flush();
        return true;
      }
      case TCallLine::ckSet: {
        const TV8Long prop = FComponent.FindProp(ALine.Name);
        FOut << "> " << ToUtf8(ALine.Name) << " = " << ALine.Value.Display() << "\n";
        if (prop < 0) return Fail("no property " + Quote(ALine.Name));
        return Set(prop, ALine.Value);
      }
      case TCallLine::ckName: {
        const TV8Long prop = FComponent.FindProp(ALine.Name);
        if (prop >= 0) {
          FOut << "> " << ToUtf8(ALine.Name) << "\n";
          return Get(prop);
        }
        [[fallthrough]];
      }
      case TCallLine::ckCall: {
        const TV8Long method = FComponent.FindMethod(ALine.Name);
        FOut << "> " << ToUtf8(ALine.Name) << "(" << ArgumentList(ALine.Args) << ")\n";
        if (method < 0) return Fail("no method or property " + Quote(ALine.Name));
        return Call(method, ALine.Args);
      }
    }
  } catch (const std::exception& e) {
    return Fail(e.what());
  }
  return true;
}

bool TSession::Get(TV8Long AProp) {
  if (!FComponent.IsPropReadable(AProp)) FOut << "  (the property is not readable)\n";
  const TCallResult result = FComponent.GetPropVal(AProp);
  if (!result.Ok) return Fail("GetPropVal answered false");
  FOut << "< " << Shown(result.Result) << "\n";
  FOut.flush();
  return true;
}

bool TSession::Set(TV8Long AProp, const TValue& AValue) {
  if (!FComponent.IsPropWritable(AProp)) FOut << "  (the property is not writable)\n";
  if (!FComponent.SetPropVal(AProp, AValue)) return Fail("SetPropVal answered false");
  FOut << "< ok\n";
  FOut.flush();
  return true;
}

bool TSession::Call(TV8Long AMethod, const std::vector<TValue>& AArgs) {
  const TV8Long expected = FComponent.ParamCount(AMethod);
  if (static_cast<TV8Long>(AArgs.size()) > expected)
    return Fail("too many arguments: the method takes " + std::to_string(expected));
  // Missing arguments are passed as undefined variables, so out-parameters
  // can be left out and still show.
  std::vector<TValue> args = AArgs;
  args.resize(static_cast<std::size_t>(expected));
  const bool function = FComponent.HasRetVal(AMethod);
  const TCallResult result =
      function ? FComponent.CallAsFunc(AMethod, args) : FComponent.CallAsProc(AMethod, args);
  if (FPumpAfterCall.count() > 0) PumpMessages(FPumpAfterCall);
  if (!result.Ok) {
    for (std::size_t i = 0; i < args.size(); ++i)
      if (!SameValue(args[i], result.Params[i])) FOut << "  out " << i + 1 << ": " << Shown(result.Params[i]) << "\n";
    return Fail(std::string(function ? "CallAsFunc" : "CallAsProc") + " answered false");
  }
  FOut << "< " << (function ? Shown(result.Result) : "ok") << "\n";
  for (std::size_t i = 0; i < args.size(); ++i)
    if (!SameValue(args[i], result.Params[i])) FOut << "  out " << i + 1 << ": " << Shown(result.Params[i]) << "\n";
  FOut.flush();
  if (function && result.Result.Type == VTYPE_BOOL && !result.Result.Bool) {
    ++FFailures;
    FOut << "  (the method reports failure)\n";
    return false;
  }
  return true;
}

void PrintListing(TComponent& AComponent, std::u16string_view AClassName, std::ostream& AOut) {
  AOut << "Class " << ToUtf8(AClassName);
  if (AComponent.ExtensionName()) AOut << " (extension " << Quote(*AComponent.ExtensionName()) << ")";
  AOut << "\n";
  const auto methods = AComponent.Methods();
  AOut << "  Methods: " << methods.size() << "\n";
  for (const auto& m : methods) {
    AOut << "    [" << m.Index << "] " << ToUtf8(m.Name) << " / " << ToUtf8(m.LocalName) << "  params " << m.ParamCount
         << "  " << (m.HasRetVal ? "function" : "procedure") << "\n";
  }
  const auto props = AComponent.Props();
  AOut << "  Properties: " << props.size() << "\n";
  for (const auto& p : props) {
    AOut << "    [" << p.Index << "] " << ToUtf8(p.Name) << " / " << ToUtf8(p.LocalName) << "  "
         << (p.Readable ? (p.Writable ? "read/write" : "read-only") : (p.Writable ? "write-only" : "no access"))
         << "\n";
  }
}

}  // namespace v8host
