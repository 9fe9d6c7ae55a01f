// platform/FilesWindows.cpp - Files.h on Windows: files are opened with
// CreateFileW (a link, opened itself with FILE_FLAG_OPEN_REPARSE_POINT, is
// refused with ELOOP) and handed out as C runtime descriptors; a file's facts
// come from GetFileInformationByHandle: the volume's serial number, the file
// index and the last write time (100 ns steps since 1601).
#include "platform/Files.h"

#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <algorithm>
#include <cerrno>
#include <string>

#include "platform/WindowsHandles.h"

namespace fc::platform {

namespace {

constexpr int64_t kTicksPerSecond = 10000000;              // 100 ns steps
constexpr int64_t kTicksFrom1601To1970 = 116444736000000000;

FileTime TimeOf(const FILETIME& t) {
  const uint64_t ticks = uint64_t{t.dwHighDateTime} << 32 | t.dwLowDateTime;
  const int64_t since1970 = static_cast<int64_t>(ticks) - kTicksFrom1601To1970;
  int64_t seconds = since1970 / kTicksPerSecond, rest = since1970 % kTicksPerSecond;
  if (rest < 0) rest += kTicksPerSecond, --seconds;
  return {seconds, rest * 100};
}

std::optional<FileFacts> FactsOfHandle(HANDLE handle) {
  // A pipe or device has facts of its own on no volume.
  if (GetFileType(handle) != FILE_TYPE_DISK) return FileFacts{};
  BY_HANDLE_FILE_INFORMATION info{};
  if (!GetFileInformationByHandle(handle, &info)) return std::nullopt;
  return FileFacts{info.dwVolumeSerialNumber, uint64_t{info.nFileIndexHigh} << 32 | info.nFileIndexLow,
                   static_cast<int64_t>(uint64_t{info.nFileSizeHigh} << 32 | info.nFileSizeLow),
                   TimeOf(info.ftLastWriteTime), (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0};
}

}  // namespace

int OpenForReading(const std::filesystem::path& file, Links links) {
  const DWORD flags = links == Links::Refuse ? FILE_FLAG_OPEN_REPARSE_POINT : FILE_ATTRIBUTE_NORMAL;
  HANDLE handle = OpenHandle(file, GENERIC_READ, flags);
  if (handle == INVALID_HANDLE_VALUE) return errno = RefusedOpen(file, links == Links::Refuse), -1;
  const std::optional<FileFacts> facts = FactsOfHandle(handle);
  const int refusal = links == Links::Refuse && IsLink(handle) ? ELOOP : facts && facts->regular ? 0 : EISDIR;
  if (refusal == 0) return DescriptorOf(handle, _O_RDONLY);
  CloseHandle(handle);
  errno = refusal;
  return -1;
}

int OpenToWait(const std::filesystem::path& file) {
  return _wopen(file.c_str(), _O_RDONLY | _O_BINARY | _O_NOINHERIT);
}

int64_t ReadSome(int fd, void* buffer, size_t size) {
  return _read(fd, buffer, static_cast<unsigned>(std::min<size_t>(size, INT32_MAX)));
}

int64_t ReadAt(int fd, void* buffer, size_t size, uint64_t offset) {
  OVERLAPPED at{};
  at.Offset = static_cast<DWORD>(offset);
  at.OffsetHigh = static_cast<DWORD>(offset >> 32);
  DWORD got = 0;
  const auto handle = reinterpret_cast<HANDLE>(_get_osfhandle(fd));
  if (ReadFile(handle, buffer, static_cast<DWORD>(std::min<size_t>(size, INT32_MAX)), &got, &at)) return got;
  if (GetLastError() == ERROR_HANDLE_EOF) return 0;
  SetErrnoFromLastError();
  return -1;
}

void AdviseSequential(int) {}  // Windows reads ahead by itself as a file is read in order

int CloseFile(int fd) { return _close(fd); }

FILE* DuplicateAsStream(int fd) {
  const int copy = _dup(fd);
  FILE* stream = copy < 0 ? nullptr : _fdopen(copy, "rb");
  if (stream || copy < 0) return stream;
  const int saved = errno;
  _close(copy);
  errno = saved;
  return nullptr;
}

std::optional<FileFacts> FactsOf(int fd) {
  const auto handle = reinterpret_cast<HANDLE>(_get_osfhandle(fd));
  if (handle == INVALID_HANDLE_VALUE) return std::nullopt;
  return FactsOfHandle(handle);
}

std::optional<FileFacts> FactsAt(const std::filesystem::path& path) {
  HANDLE handle = OpenHandle(path, FILE_READ_ATTRIBUTES, FILE_FLAG_BACKUP_SEMANTICS);
  if (handle == INVALID_HANDLE_VALUE) return std::nullopt;
  std::optional<FileFacts> facts = FactsOfHandle(handle);
  CloseHandle(handle);
  return facts;
}

EntryKind KindAt(const std::filesystem::path& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) {
    const DWORD error = GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? EntryKind::Missing : EntryKind::Other;
  }
  if (attributes & FILE_ATTRIBUTE_REPARSE_POINT) {  // a link, or a file a driver keeps (cloud, deduplicated)
    HANDLE handle = OpenHandle(path, FILE_READ_ATTRIBUTES, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT);
    const bool link = handle == INVALID_HANDLE_VALUE || IsLink(handle);
    if (handle != INVALID_HANDLE_VALUE) CloseHandle(handle);
    if (link) return EntryKind::Link;
  }
  return attributes & FILE_ATTRIBUTE_DIRECTORY ? EntryKind::Directory : EntryKind::File;
}

std::error_code MayCreateIn(const std::filesystem::path& dir) {
  // Opening the directory for adding files asks its access list, as creating one would.
  HANDLE handle = OpenHandle(dir, FILE_ADD_FILE, FILE_FLAG_BACKUP_SEMANTICS);
  if (handle == INVALID_HANDLE_VALUE) return {ErrnoOf(GetLastError()), std::generic_category()};
  CloseHandle(handle);
  return {};
}

bool IsTerminal(FILE* stream) { return _isatty(_fileno(stream)) != 0; }

FILE* OpenStream(const std::filesystem::path& file, const char* mode) {
  // "N": the descriptor is not inherited.
  const std::string narrow = std::string(mode) + "N";
  return _wfopen(file.c_str(), std::wstring(narrow.begin(), narrow.end()).c_str());
}

namespace {

// `wide` in the ANSI code page, exactly; empty when it cannot be spelt there.
std::string InAnsiCodePage(const std::wstring& wide) {
  if (wide.empty()) return "";
  BOOL lossy = FALSE;
  const int n = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), static_cast<int>(wide.size()), nullptr,
                                    0, nullptr, &lossy);
  if (n <= 0 || lossy) return "";
  std::string narrow(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), static_cast<int>(wide.size()), narrow.data(), n,
                      nullptr, &lossy);
  return lossy ? "" : narrow;
}

}  // namespace

std::string NarrowPathOf(const std::filesystem::path& path) {
  if (std::string narrow = InAnsiCodePage(path.native()); !narrow.empty()) return narrow;
  const DWORD n = GetShortPathNameW(path.c_str(), nullptr, 0);
  if (n == 0) return "";
  std::wstring shortName(n, L'\0');
  const DWORD written = GetShortPathNameW(path.c_str(), shortName.data(), n);
  if (written == 0 || written >= n) return "";
  shortName.resize(written);
  return InAnsiCodePage(shortName);
}

std::string StoredFileName(std::string_view name) {
  const size_t kept = name.find_last_not_of(" .");
  return std::string(name.substr(0, kept == std::string_view::npos ? 0 : kept + 1));
}

}  // namespace fc::platform
