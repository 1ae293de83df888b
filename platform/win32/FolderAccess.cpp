// Grants the well-known group Everyone full access to a folder that the log
// has just created, so that every user's copy of the platform can log there.
#include <windows.h>
#include <aclapi.h>

#include <memory>

#include "platform/Folders.h"
#include "platform/OsError.h"

namespace platform {

namespace {

struct TSidFree {
  void operator()(void* ASid) const noexcept { FreeSid(ASid); }
};
struct TLocalFree {
  void operator()(void* ABlock) const noexcept { LocalFree(ABlock); }
};
using TSidPtr = std::unique_ptr<void, TSidFree>;
using TLocalPtr = std::unique_ptr<void, TLocalFree>;

TSidPtr EveryoneSid() {
  SID_IDENTIFIER_AUTHORITY WorldAuthority = SECURITY_WORLD_SID_AUTHORITY;
  PSID Sid = nullptr;
  if (!AllocateAndInitializeSid(&WorldAuthority, 1, SECURITY_WORLD_RID, 0, 0, 0, 0, 0, 0, 0, &Sid))
    RaiseOSError(u"Cannot build the security identifier of Everyone", GetLastError());
  return TSidPtr(Sid);
}

// Any entry for Everyone with exactly GENERIC_ALL, allowing or denying: the
// mask sits at the same place in every entry type.
bool HasEveryoneGenericAll(PACL ADacl, PSID AEveryone) {
  for (DWORD Index = 0; Index < ADacl->AceCount; ++Index) {
    void* Entry = nullptr;
    if (!GetAce(ADacl, Index, &Entry)) continue;
    auto* Ace = static_cast<ACCESS_ALLOWED_ACE*>(Entry);
    if (EqualSid(&Ace->SidStart, AEveryone) && Ace->Mask == GENERIC_ALL) return true;
  }
  return false;
}

}  // namespace

void GrantEveryoneFullAccess(const std::u16string& AFolder) {
  std::wstring Folder(AFolder.begin(), AFolder.end());
  TSidPtr Everyone = EveryoneSid();

  PACL Dacl = nullptr;
  PSECURITY_DESCRIPTOR Descriptor = nullptr;
  const DWORD ReadResult = GetNamedSecurityInfoW(Folder.c_str(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr,
                                                 nullptr, &Dacl, nullptr, &Descriptor);
  if (ReadResult != ERROR_SUCCESS) RaiseOSError(u"Cannot read the permissions of the folder " + AFolder, ReadResult);
  TLocalPtr DescriptorOwner(Descriptor);
  if (Dacl == nullptr || HasEveryoneGenericAll(Dacl, Everyone.get())) return;

  EXPLICIT_ACCESS_W Access{};
  Access.grfAccessPermissions = GENERIC_ALL;
  Access.grfAccessMode = GRANT_ACCESS;
  Access.grfInheritance = SUB_CONTAINERS_AND_OBJECTS_INHERIT;
  Access.Trustee.TrusteeForm = TRUSTEE_IS_SID;
  Access.Trustee.TrusteeType = TRUSTEE_IS_WELL_KNOWN_GROUP;
  Access.Trustee.ptstrName = static_cast<LPWSTR>(Everyone.get());
  PACL NewDacl = nullptr;
  const DWORD BuildResult = SetEntriesInAclW(1, &Access, Dacl, &NewDacl);
  if (BuildResult != ERROR_SUCCESS)
    RaiseOSError(u"Cannot extend the permissions of the folder " + AFolder, BuildResult);
  TLocalPtr NewDaclOwner(NewDacl);
  // Without the right to change permissions the folder keeps the ones it was
  // created with; logging works for this user all the same.
  (void)SetNamedSecurityInfoW(Folder.data(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr, nullptr, NewDacl,
                              nullptr);
}

}  // namespace platform
