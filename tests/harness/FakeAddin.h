#pragma once
// A small add-in written into the test program, with hand-built tables in
// the platform's layout, so the harness's own bookkeeping (start sequence,
// names, parameters, freeing) can be checked against known behaviour.
//
// Class "Fake" (the only class; GetClassNames gives "Fake|Spare", and
// "Spare" cannot be created):
//   method 0 Echo / Эхо (1 parameter, function): the result is a copy of
//     the parameter; a text parameter is replaced by the text "out".
//   method 1 Fail / Сбой (0 parameters, function): reports AddError 1006 and
//     answers false.
//   method 2 Count / Количество (2 parameters, procedure): raises the event
//     ("Fake", "Count", <the count it was given>).
//   property 0 Value / Значение: a readable and writable number.
//   GetParamDefValue(0, 0): I4 7.
#include <string>
#include <vector>

#include "v8host/Library.h"

namespace fake {

struct TTrace {
  std::vector<std::string> Calls;  // table operations in the order received
  int Objects = 0;                 // live objects
};

TTrace& Trace();
v8host::TEntryPoints EntryPoints();

}  // namespace fake
