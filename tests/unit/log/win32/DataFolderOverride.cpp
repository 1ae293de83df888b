#include "unit/log/LogSandbox.h"

namespace LogTest {

// The common application-data folder of Windows cannot be redirected; tests
// keep apart through their unique log names and remove their folders.
struct TDataFolderOverride::TSaved {};

TDataFolderOverride::TDataFolderOverride(const std::string&) : FSaved(nullptr) {}

TDataFolderOverride::~TDataFolderOverride() = default;

}  // namespace LogTest
