#pragma once
// Runs call lines (Script.h) against one component object and prints, in
// readable UTF-8, what the platform would receive: answers, results,
// changed parameters, and every AddError and ExternalEvent as it arrives.
#include <chrono>
#include <ostream>
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

  TComponent& FComponent;
  std::ostream& FOut;
  std::chrono::milliseconds FPumpAfterCall{0};
  int FFailures = 0;
};

// Prints every AddError ("! AddError ...") and ExternalEvent ("* ExternalEvent
// ...") to AOut as it arrives, until the callbacks are replaced.
void PrintReports(THostServices& AServices, std::ostream& AOut);

// Classes, methods (both names, parameter count, function or procedure) and
// properties (both names, readable/writable) of one component object.
void PrintListing(TComponent& AComponent, std::u16string_view AClassName, std::ostream& AOut);

}  // namespace v8host
