#pragma once
// Folders the log needs: the machine's common application-data folder and
// the creation of a folder tree that every local user may write to.
#include <string>
#include <string_view>

namespace platform {

#ifdef _WIN32
inline constexpr char16_t PathDelimiter = u'\\';
#else
inline constexpr char16_t PathDelimiter = u'/';
#endif

// True for a character that ends a folder part of a path on this system.
bool IsPathDelimiter(char16_t AChar) noexcept;

// The common application-data folder with a trailing delimiter (created
// when missing). Throws Exception when the system cannot name it.
std::u16string CommonAppDataFolder();

bool FolderExists(const std::u16string& AFolder);

// Creates AFolder together with every missing parent. True when this call
// created AFolder itself; false when it already existed (also when another
// thread or process created it meanwhile). Throws Exception on failure.
bool CreateFolderTree(const std::u16string& AFolder);

// Lets every local user create, change and delete files in AFolder
// (Windows: an inheritable full-access entry for Everyone).
void GrantEveryoneFullAccess(const std::u16string& AFolder);

}  // namespace platform
