// A host that plays the platform for one method, nothing else: loads the
// built add-in library, creates its object the way the platform does, and
// calls one method through the object's tables a given number of times with
// the log off. tools/callcount.sh runs it under callgrind to count the
// instructions the add-in spends per call.
//
//   quorvel_callcount LIBRARY COUNT [METHOD [CLASS]]
//
// CLASS (default quorvel) lets the same host drive another add-in library,
// for a comparison made the same way.
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <string>

#include "CallMany.h"
#include "v8host/Component.h"
#include "v8host/Text.h"

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: %s LIBRARY COUNT [METHOD [CLASS]]\n", argv[0]);
    return 2;
  }
  try {
    const long Count = std::strtol(argv[2], nullptr, 10);
    const std::u16string Method = argc > 3 ? v8host::ToUtf16(argv[3]) : u"GetInterfaceRevision";
    const v8host::TAddinLibrary Library = v8host::TAddinLibrary::Load(argv[1]);
    v8host::THost Host;
    v8host::TComponent Component(Library, Host, argc > 4 ? v8host::ToUtf16(argv[4]) : u"quorvel");
    const v8host::TV8Long Index = Component.MethodIndex(Method);
    v8host::TV8Variant Result{};
    CallMany(Component.Raw(), Index, Count, Result);
    std::printf("%ld calls, last result type %d\n", Count, static_cast<int>(Result.vt));
    return 0;
  } catch (const std::exception& E) {
    std::fprintf(stderr, "quorvel_callcount: %s\n", E.what());
    return 1;
  }
}
