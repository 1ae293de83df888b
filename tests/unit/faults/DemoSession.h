#pragma once
// The demonstration session of tools/demo-session.sh (the life of one driver
// object as the platform lives it), run in-process against the emulated
// reader through the host harness, with ":present N" double-clicking tag N
// in the tag window as tools/demo does.
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "unit/faults/DemoSessionLines.h"
#include "v8host/Component.h"

namespace FaultTest {

// The demonstration followed by the platform's other text-returning calls:
// the actions, a device test, a failed action and its error, a property
// written with a value it refuses (a report to the host), a text property
// read, and name lookups (":names").
std::vector<std::string> ExtendedSessionLines();

// What one line of the session gave the host.
struct TStepOutcome {
  std::string Line;
  bool Called = false;            // a method call (not a directive)
  v8host::TCallResult Result;     // a property read's value is in Result
  // ":names": English and Russian names of one method and one property, as
  // the platform got them (nullopt: the add-in answered null).
  std::vector<std::optional<std::u16string>> Names;
  std::size_t FirstRequest = 0;   // the memory manager's AllocMemory calls before the line
  std::size_t Requests = 0;       // ... made during the line
};

// Runs ALines on AComponent (an object of the emulated reader) in order;
// AAfterStep (when given) looks at each step as soon as it is done. A line
// that does not parse or names nothing fails the current test.
using TStepObserver = std::function<void(const TStepOutcome&)>;
std::vector<TStepOutcome> RunSession(v8host::TComponent& AComponent, const std::vector<std::string>& ALines,
                                     const TStepObserver& AAfterStep = {});

}  // namespace FaultTest
