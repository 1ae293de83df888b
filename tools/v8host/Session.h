#pragma once
// Runs call lines (Script.h) against one component object and prints, in
// readable UTF-8, what the platform would receive: answers, results,
// changed parameters, and every AddError and ExternalEvent as it arrives.
#include <chrono>
#include <functional>
#include <ostream>
#include <string>
#include <string_view>

#include "v8host/Component.h"
#include "v8host/Script.h"

namespace v8host {

class TSession {
 public:
  // Reports of the host services print to AOut while the session lives.
  TSession(TComponent& AComponent, std::ostream& AOut);
  ~TSession();
  TSession(const TSession&) = delete;
  TSession& operator=(const TSession&) = delete;

  // Windows get this long to process input after every call.
  void SetPumpAfterCall(std::chrono::milliseconds ADuration) noexcept { FPumpAfterCall = ADuration; }

  // Texts that look like XML (results and out-parameters) are shown
  // indented, one element per line, instead of as one quoted literal.
  void SetPrettyXml(bool APretty) noexcept { FPrettyXml = APretty; }

  // Runs the directives the session does not know itself (":NAME TEXT"):
  // called with NAME and TEXT, answers whether the directive succeeded.
  // Without a handler such a line fails.
  using TDirectiveHandler = std::function<bool(const std::u16string& AName, const std::string& AText)>;
  void SetDirectiveHandler(TDirectiveHandler AHandler) { FDirectiveHandler = std::move(AHandler); }

  // False when the line does not parse, names nothing, the operation
  // answers false, or a method's result is the Boolean false.
  bool Execute(std::string_view ALine);
  bool Execute(const TCallLine& ALine);

  int Failures() const noexcept { return FFailures; }

 private:
  bool Get(TV8Long AProp);
  bool Set(TV8Long AProp, const TValue& AValue);
  bool Call(TV8Long AMethod, const std::vector<TValue>& AArgs);
  bool Fail(const std::string& AWhy);
  // "[TYPE] value", or for XML under SetPrettyXml the type and the indented
  // document on the following lines.
  std::string Shown(const TValue& AValue) const;

  TComponent& FComponent;
  std::ostream& FOut;
  std::chrono::milliseconds FPumpAfterCall{0};
  bool FPrettyXml = false;
  TDirectiveHandler FDirectiveHandler;
  int FFailures = 0;
};

// Prints every AddError ("! AddError ...") and ExternalEvent ("* ExternalEvent
// ...") to AOut as it arrives, until the callbacks are replaced.
void PrintReports(THostServices& AServices, std::ostream& AOut);

// Classes, methods (both names, parameter count, function or procedure) and
// properties (both names, readable/writable) of one component object.
void PrintListing(TComponent& AComponent, std::u16string_view AClassName, std::ostream& AOut);

}  // namespace v8host
