#pragma once
// Folders the log needs: the application-data folder (the machine's common
// one on Windows, the user's own elsewhere) and the creation of a folder
// tree for the log.
#include <string>
#include <string_view>

#include "common/Exception.h"

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
// (Windows: an inheritable full-access entry for Everyone, as the folder is
// the machine's). Elsewhere the folder is the user's own and stays private:
// nothing is changed.
void GrantEveryoneFullAccess(const std::u16string& AFolder);

// A folder of another user, refused as the place of this user's files.
class TForeignFolder : public Exception {
public:
  using Exception::Exception;
};

// Makes sure the existing AFolder may hold this user's log. Elsewhere than
// on Windows: the folder itself (not a link to one) must belong to the user,
// or TForeignFolder is thrown; one that other users could write into is
// narrowed to the user's alone. On Windows the log folder is the machine's,
// shared by every user on purpose: nothing is checked.
void CheckOwnFolder(const std::u16string& AFolder);

}  // namespace platform
