#include <cstdlib>

#include "common/Text.h"
#include "unit/help/HelpTestSupport.h"

namespace help_test {

std::u16string SetProcessTempFolder(const std::u16string& AFolder) {
  const char* previous = std::getenv("TMPDIR");
  std::u16string result = previous ? ToUtf16(previous) : std::u16string();
  if (AFolder.empty())
    unsetenv("TMPDIR");
  else
    setenv("TMPDIR", ToUtf8(AFolder).c_str(), 1);
  return result;
}

}  // namespace help_test
