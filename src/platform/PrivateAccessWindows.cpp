// platform/PrivateAccessWindows.cpp - PrivateAccess.h on Windows: private is
// a protected access list (nothing inherited from the parent) holding one
// entry, full control for the current user, passed on to what a directory
// holds. New files and directories get it as they are made; existing ones
// through a handle opened on the entry itself, so a link is never followed.
#include "platform/PrivateAccess.h"

#include <windows.h>
#include <aclapi.h>

#include <cerrno>
#include <random>
#include <string>
#include <vector>

#include "platform/WindowsHandles.h"

namespace fc::platform {

namespace fs = std::filesystem;

namespace {

enum class Kind { File, Directory };

// The current user's account, as the process token names it.
std::vector<unsigned char> CurrentUser() {
  HANDLE token = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return {};
  DWORD size = 0;
  GetTokenInformation(token, TokenUser, nullptr, 0, &size);
  std::vector<unsigned char> user(size);
  if (size == 0 || !GetTokenInformation(token, TokenUser, user.data(), size, &size)) user.clear();
  CloseHandle(token);
  return user;
}

PSID SidOf(std::vector<unsigned char>& user) { return reinterpret_cast<TOKEN_USER*>(user.data())->User.Sid; }

// The private access list and a security descriptor holding it, for making
// an entry or putting it on one.
class PrivateSecurity {
 public:
  PrivateSecurity(const PrivateSecurity&) = delete;
  PrivateSecurity& operator=(const PrivateSecurity&) = delete;
  explicit PrivateSecurity(Kind kind) : user_(CurrentUser()) {
    if (user_.empty()) return;
    PSID sid = SidOf(user_);
    acl_.resize(sizeof(ACL) + sizeof(ACCESS_ALLOWED_ACE) + GetLengthSid(sid));
    auto* acl = reinterpret_cast<PACL>(acl_.data());
    const DWORD inherit = kind == Kind::Directory ? OBJECT_INHERIT_ACE | CONTAINER_INHERIT_ACE : 0;
    ok_ = InitializeAcl(acl, static_cast<DWORD>(acl_.size()), ACL_REVISION) &&
          AddAccessAllowedAceEx(acl, ACL_REVISION, inherit, FILE_ALL_ACCESS, sid) &&
          InitializeSecurityDescriptor(&descriptor_, SECURITY_DESCRIPTOR_REVISION) &&
          SetSecurityDescriptorDacl(&descriptor_, TRUE, acl, FALSE) &&
          SetSecurityDescriptorControl(&descriptor_, SE_DACL_PROTECTED, SE_DACL_PROTECTED);
    attributes_ = {sizeof attributes_, &descriptor_, FALSE};
  }

  // For CreateFileW and CreateDirectoryW; null (the parent's rights) when
  // the user could not be told, which the caller then finds in protect().
  SECURITY_ATTRIBUTES* attributes() { return ok_ ? &attributes_ : nullptr; }

  // Puts the private list on the entry open as `handle` (with WRITE_DAC).
  DWORD protect(HANDLE handle) {
    if (!ok_) return ERROR_ACCESS_DENIED;
    return SetSecurityInfo(handle, SE_FILE_OBJECT, DACL_SECURITY_INFORMATION | PROTECTED_DACL_SECURITY_INFORMATION,
                           nullptr, nullptr, reinterpret_cast<PACL>(acl_.data()), nullptr);
  }

 private:
  std::vector<unsigned char> user_;
  std::vector<unsigned char> acl_;
  SECURITY_DESCRIPTOR descriptor_{};
  SECURITY_ATTRIBUTES attributes_{};
  bool ok_ = false;
};

std::error_code ErrorOf(DWORD code) { return {ErrnoOf(code), std::generic_category()}; }

std::error_code ProtectDirectory(const fs::path& dir) {
  HANDLE handle = OpenHandle(dir, WRITE_DAC | READ_CONTROL, FILE_FLAG_BACKUP_SEMANTICS);
  if (handle == INVALID_HANDLE_VALUE) return ErrorOf(GetLastError());
  const DWORD result = PrivateSecurity(Kind::Directory).protect(handle);
  CloseHandle(handle);
  return ErrorOf(result);
}

// Whether the access list `acl` lets in anyone but `user` and the system
// itself (which Windows lets in everywhere, no other person).
bool AdmitsOthers(PACL acl, PSID user) {
  if (!acl) return true;  // no list at all: everyone may
  for (DWORD i = 0; i < acl->AceCount; ++i) {
    ACE_HEADER* ace = nullptr;
    if (!GetAce(acl, i, reinterpret_cast<void**>(&ace))) return true;
    if (ace->AceType == ACCESS_DENIED_ACE_TYPE) continue;
    if (ace->AceType != ACCESS_ALLOWED_ACE_TYPE) return true;
    PSID admitted = &reinterpret_cast<ACCESS_ALLOWED_ACE*>(ace)->SidStart;
    if (!EqualSid(admitted, user) && !IsWellKnownSid(admitted, WinLocalSystemSid)) return true;
  }
  return false;
}

// Six characters for a temporary's name.
std::string RandomPart() {
  static constexpr char kChars[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
  std::random_device random;
  std::string part(6, 'X');
  for (char& c : part) c = kChars[random() % (sizeof kChars - 1)];
  return part;
}

}  // namespace

std::error_code MakePrivateDirectory(const fs::path& dir) {
  PrivateSecurity security(Kind::Directory);
  if (CreateDirectoryW(dir.c_str(), security.attributes())) return {};
  const DWORD error = GetLastError();
  return error == ERROR_ALREADY_EXISTS ? std::error_code() : ErrorOf(error);
}

std::error_code RemoveOthersRights(const fs::path& dir) { return ProtectDirectory(dir); }

bool OthersMayAccess(const fs::path& dir) {
  const DWORD attributes = GetFileAttributesW(dir.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY)) return false;
  std::vector<unsigned char> user = CurrentUser();
  PACL acl = nullptr;
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  if (user.empty() || GetNamedSecurityInfoW(dir.c_str(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr, nullptr,
                                            &acl, nullptr, &descriptor) != ERROR_SUCCESS)
    return false;
  const bool others = AdmitsOthers(acl, SidOf(user));
  LocalFree(descriptor);
  return others;
}

bool NarrowToOwner(const fs::path& dir) { return !ProtectDirectory(dir); }

int OpenPrivateFile(const fs::path& file, Opening opening) {
  const DWORD access = (opening == Opening::Keep ? GENERIC_READ | GENERIC_WRITE : GENERIC_WRITE) | WRITE_DAC;
  PrivateSecurity security(Kind::File);
  HANDLE handle = CreateFileW(file.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              security.attributes(), OPEN_ALWAYS, FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return errno = RefusedOpen(file, true), -1;
  const bool existed = GetLastError() == ERROR_ALREADY_EXISTS;
  BY_HANDLE_FILE_INFORMATION info{};
  int refusal = 0;
  if (IsLink(handle)) refusal = ELOOP;
  else if (GetFileType(handle) != FILE_TYPE_DISK || !GetFileInformationByHandle(handle, &info) ||
           (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
    refusal = EISDIR;
  else if (DWORD error = existed || !security.attributes() ? security.protect(handle) : ERROR_SUCCESS)
    refusal = ErrnoOf(error);
  else if (opening == Opening::Truncate && !SetEndOfFile(handle))
    refusal = ErrnoOf(GetLastError());
  if (refusal == 0) return DescriptorOf(handle, 0);
  CloseHandle(handle);
  errno = refusal;
  return -1;
}

void MakeFilePrivate(const fs::path& file) {
  HANDLE handle = OpenHandle(file, WRITE_DAC | READ_CONTROL, FILE_FLAG_OPEN_REPARSE_POINT);
  if (handle == INVALID_HANDLE_VALUE) return;
  if (!IsLink(handle)) PrivateSecurity(Kind::File).protect(handle);
  CloseHandle(handle);
}

std::optional<fs::path> MakePrivateTempFile(const fs::path& dir, std::string_view prefix) {
  PrivateSecurity security(Kind::File);
  for (int attempt = 0; attempt < 100; ++attempt) {
    fs::path temp = dir / (std::string(prefix) + RandomPart());
    HANDLE handle = CreateFileW(temp.c_str(), GENERIC_WRITE | WRITE_DAC, 0, security.attributes(), CREATE_NEW,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
      if (GetLastError() == ERROR_FILE_EXISTS) continue;
      return std::nullopt;
    }
    const bool made = security.attributes() || security.protect(handle) == ERROR_SUCCESS;
    CloseHandle(handle);
    if (made) return temp;
    DeleteFileW(temp.c_str());
    return std::nullopt;
  }
  return std::nullopt;
}

}  // namespace fc::platform
