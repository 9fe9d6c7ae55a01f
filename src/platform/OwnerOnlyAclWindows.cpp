// platform/OwnerOnlyAclWindows.cpp - OwnerOnlyAcl.h: the user's SID from the
// process token, in a protected DACL set through the open handle.
#include "platform/OwnerOnlyAcl.h"

#include <windows.h>
#include <aclapi.h>

#include <vector>

namespace fc::platform {

namespace {

// Made once: the user a process runs as does not change. Empty when the
// token cannot be read.
const std::vector<unsigned char>& OwnerOnlyAcl() {
  static const std::vector<unsigned char> acl = [] {
    std::vector<unsigned char> made;
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return made;
    DWORD size = 0;
    GetTokenInformation(token, TokenUser, nullptr, 0, &size);
    std::vector<unsigned char> user(size);
    const bool known = size && GetTokenInformation(token, TokenUser, user.data(), size, &size);
    CloseHandle(token);
    if (!known) return made;
    PSID sid = reinterpret_cast<TOKEN_USER*>(user.data())->User.Sid;
    made.resize(sizeof(ACL) + sizeof(ACCESS_ALLOWED_ACE) + GetLengthSid(sid));
    ACL* list = reinterpret_cast<ACL*>(made.data());
    if (!InitializeAcl(list, static_cast<DWORD>(made.size()), ACL_REVISION) ||
        !AddAccessAllowedAce(list, ACL_REVISION, FILE_ALL_ACCESS, sid))
      made.clear();
    return made;
  }();
  return acl;
}

}  // namespace

bool MakeOwnerOnly(void* handle) {
  const std::vector<unsigned char>& acl = OwnerOnlyAcl();
  if (acl.empty()) return false;
  const DWORD rc = SetSecurityInfo(static_cast<HANDLE>(handle), SE_FILE_OBJECT,
                                   DACL_SECURITY_INFORMATION | PROTECTED_DACL_SECURITY_INFORMATION, nullptr, nullptr,
                                   reinterpret_cast<ACL*>(const_cast<unsigned char*>(acl.data())), nullptr);
  SetLastError(rc);
  return rc == ERROR_SUCCESS;
}

}  // namespace fc::platform
