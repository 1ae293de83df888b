#pragma once
// Appending to a file that other writers share by the same rule: while one
// writer appends, the others are kept out (Windows: write sharing denied;
// elsewhere: an exclusive advisory lock on the file).
#include <string>
#include <string_view>

namespace platform {

enum class TAppendResult { arDone, arBusy };

// Opens AFileName (creating it when missing), appends ABytes at its end and
// closes it again. arBusy when another writer holds the file at the moment;
// every other failure throws Exception.
TAppendResult TryAppendToFile(const std::u16string& AFileName, std::string_view ABytes);

}  // namespace platform
