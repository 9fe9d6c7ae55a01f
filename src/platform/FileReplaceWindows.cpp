// platform/FileReplaceWindows.cpp - FileReplace.h on Windows, which has no
// unnamed files: the temporary is a new file beside the file (CREATE_NEW,
// its own reparse point opened, never one's target), its bytes flushed
// (FlushFileBuffers) before MoveFileExW gives it the name with
// MOVEFILE_WRITE_THROUGH, so the name is on the disk when the call returns.
// Without MOVEFILE_REPLACE_EXISTING the move never replaces a file: that is
// Existing::Keep. Access::OwnerOnly is a protected DACL that admits the
// current user alone (OwnerOnlyAcl.h); Access::Umask takes what the folder
// passes on.
#include "platform/FileReplace.h"

#include <windows.h>

#include <cerrno>
#include <utility>

#include "platform/OwnerOnlyAcl.h"
#include "platform/TempPath.h"
#include "platform/WindowsError.h"

namespace fc::platform {

namespace fs = std::filesystem;

namespace {

std::error_code Errno(int value) { return {value, std::generic_category()}; }

bool IsLink(const fs::path& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

class Handle {
 public:
  explicit Handle(HANDLE handle) : handle_(handle) {}
  Handle(Handle&& other) noexcept : handle_(std::exchange(other.handle_, INVALID_HANDLE_VALUE)) {}
  Handle& operator=(Handle&&) = delete;
  ~Handle() {
    if (open()) CloseHandle(handle_);
  }
  HANDLE get() const { return handle_; }
  bool open() const { return handle_ != INVALID_HANDLE_VALUE; }
  bool close() {
    const HANDLE handle = handle_;
    handle_ = INVALID_HANDLE_VALUE;
    return CloseHandle(handle);
  }

 private:
  HANDLE handle_;
};

// A named temporary removed unless it took the file's name.
class TempFile {
 public:
  explicit TempFile(fs::path path) : path_(std::move(path)) {}
  TempFile(const TempFile&) = delete;
  TempFile& operator=(const TempFile&) = delete;
  ~TempFile() {
    if (owned_) DeleteFileW(path_.c_str());
  }
  const fs::path& path() const { return path_; }
  void release() { owned_ = false; }

 private:
  fs::path path_;
  bool owned_ = true;
};

class HandleOutput final : public Output {
 public:
  explicit HandleOutput(HANDLE handle) : handle_(handle) {}
  bool write(const void* bytes, size_t size) override {
    const char* at = static_cast<const char*>(bytes);
    while (size > 0) {
      const DWORD chunk = size > (1u << 30) ? (1u << 30) : static_cast<DWORD>(size);
      DWORD written = 0;
      if (!::WriteFile(handle_, at, chunk, &written, nullptr)) {
        error_ = LastWindowsError();
        return false;
      }
      at += written;
      size -= written;
    }
    return true;
  }
  const std::error_code& error() const { return error_; }

 private:
  HANDLE handle_;
  std::error_code error_;
};

// The open temporary made an ordinary file with the rights asked for; the failure, if any.
std::error_code Settle(HANDLE handle, Access access) {
  BY_HANDLE_FILE_INFORMATION info{};
  if (GetFileType(handle) != FILE_TYPE_DISK || !GetFileInformationByHandle(handle, &info)) return Errno(EISDIR);
  if (info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) return Errno(ELOOP);
  if (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return Errno(EISDIR);
  if (access == Access::OwnerOnly && !MakeOwnerOnly(handle)) return LastWindowsError();
  return {};
}

// Windows counts file times in 100 ns steps since 1601-01-01.
FILETIME ToFileTime(const FileTime& t) {
  constexpr int64_t kFrom1601 = 11644473600LL;
  const uint64_t ticks = static_cast<uint64_t>((t.seconds + kFrom1601) * 10000000LL + t.nanoseconds / 100);
  return {static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
}

// The modification time asked for, then the bytes on the disk.
std::error_code Finish(HANDLE handle, const WriteOptions& options) {
  if (options.modified) {
    const FILETIME written = ToFileTime(*options.modified);
    if (!SetFileTime(handle, nullptr, nullptr, &written)) return LastWindowsError();
  }
  return FlushFileBuffers(handle) ? std::error_code() : LastWindowsError();
}

WriteResult Failed(std::error_code error, const fs::path& at) { return {error, "", at, false}; }

// Gives the temporary the file's name; `kept` when a file that must stay was there.
WriteResult Named(TempFile& temp, const fs::path& file, const WriteOptions& options) {
  const DWORD flags = MOVEFILE_WRITE_THROUGH | (options.existing == Existing::Replace ? MOVEFILE_REPLACE_EXISTING : 0);
  if (MoveFileExW(temp.path().c_str(), file.c_str(), flags)) {
    temp.release();
    return {};
  }
  const std::error_code error = LastWindowsError();
  if (options.existing == Existing::Keep && error == std::errc::file_exists) return {{}, "", file, true};
  return Failed(error, file);
}

// Opens the named temporary for writing: a new file, or for a fixed name
// the one an interrupted write left. What is not this write's own (a link, a
// folder at the fixed name) is left where it is.
Handle OpenTemp(TempFile& temp, const WriteOptions& options, std::error_code& error) {
  const bool fixed = options.tempName == TempName::Fixed;
  Handle handle(CreateFileW(temp.path().c_str(), GENERIC_WRITE | WRITE_DAC, 0, nullptr,
                            fixed ? OPEN_ALWAYS : CREATE_NEW, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT,
                            nullptr));
  if (!handle.open()) {
    error = LastWindowsError();
    temp.release();
    return handle;
  }
  error = Settle(handle.get(), options.access);
  if (!error && fixed && !SetEndOfFile(handle.get())) error = LastWindowsError();
  if (!error) return handle;
  handle.close();
  if (fixed) temp.release();
  return handle;
}

// Writes `content` to the open temporary; the failure, if any.
std::optional<WriteResult> Fill(HANDLE handle, const Content& content, const WriteOptions& options,
                                const fs::path& file) {
  HandleOutput out(handle);
  std::string reason;
  if (!content(out, reason)) {
    if (!reason.empty()) return WriteResult{{}, reason, file, false};
    return Failed(out.error() ? out.error() : std::make_error_code(std::errc::io_error), file);
  }
  if (std::error_code error = Finish(handle, options)) return Failed(error, file);
  return std::nullopt;
}

}  // namespace

WriteResult WriteFileThrough(const fs::path& file, const Content& content, const WriteOptions& options) {
  if (IsLink(file)) return Failed(Errno(ELOOP), file);
  TempFile temp(TempPath(file, options.tempName));
  std::error_code error;
  Handle handle = OpenTemp(temp, options, error);
  if (!handle.open()) return Failed(error, temp.path());
  if (std::optional<WriteResult> failure = Fill(handle.get(), content, options, file)) return *failure;
  if (!handle.close()) return Failed(LastWindowsError(), file);
  return Named(temp, file, options);
}

WriteResult WriteFileByName(const fs::path& file, const ContentByName& content, const WriteOptions& options) {
  if (IsLink(file)) return Failed(Errno(ELOOP), file);
  TempFile temp(TempPath(file, options.tempName));
  std::error_code error;
  if (Handle made = OpenTemp(temp, options, error); !made.open()) return Failed(error, temp.path());
  std::string reason;
  if (!content(temp.path(), reason)) return {{}, reason.empty() ? "写入失败" : reason, file, false};
  // The library may have made the file anew: it is looked at again, never through a link.
  Handle written(CreateFileW(temp.path().c_str(), GENERIC_WRITE | WRITE_DAC, 0, nullptr, OPEN_EXISTING,
                             FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
  if (!written.open()) return Failed(LastWindowsError(), file);
  if ((error = Settle(written.get(), options.access)) || (error = Finish(written.get(), options)))
    return Failed(error, file);
  if (!written.close()) return Failed(LastWindowsError(), file);
  return Named(temp, file, options);
}

}  // namespace fc::platform
