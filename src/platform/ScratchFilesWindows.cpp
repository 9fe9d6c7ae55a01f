// platform/ScratchFilesWindows.cpp - ScratchFiles.h on Windows: a folder of
// its own in the user's temporary folder, made with the first file and
// removed with everything in it at the end. The files are temporary ones,
// which the system keeps in its cache rather than writing them out.
#include "platform/ScratchFiles.h"

#include <windows.h>

#include <cerrno>
#include <string>

namespace fc::platform {

namespace {

std::error_code LastError() {
  switch (GetLastError()) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND: return {ENOENT, std::generic_category()};
    case ERROR_ACCESS_DENIED: return {EACCES, std::generic_category()};
    case ERROR_DISK_FULL: return {ENOSPC, std::generic_category()};
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS: return {EEXIST, std::generic_category()};
    default: return {EIO, std::generic_category()};
  }
}

// A new folder in the temporary folder, named after this process.
std::filesystem::path MakeFolder(std::error_code& ec) {
  const std::filesystem::path temp = std::filesystem::temp_directory_path(ec);
  if (ec) return {};
  const std::wstring stem = L"filingcheck-" + std::to_wstring(GetCurrentProcessId()) + L"-";
  for (unsigned attempt = 0; attempt < 100; ++attempt) {
    const std::filesystem::path folder = temp / (stem + std::to_wstring(GetTickCount64() + attempt));
    if (CreateDirectoryW(folder.c_str(), nullptr)) return folder;
    if (GetLastError() != ERROR_ALREADY_EXISTS) break;
  }
  ec = LastError();
  return {};
}

}  // namespace

struct ScratchFiles::Held {
  std::filesystem::path folder;  // empty until the first file
};

ScratchFiles::ScratchFiles() : held_(std::make_unique<Held>()) {}

ScratchFiles::~ScratchFiles() {
  std::error_code ignored;
  if (!held_->folder.empty()) std::filesystem::remove_all(held_->folder, ignored);
}

std::filesystem::path ScratchFiles::create(const std::string& name, std::error_code& ec) {
  ec.clear();
  if (held_->folder.empty()) held_->folder = MakeFolder(ec);
  if (ec) return {};
  const std::filesystem::path file = held_->folder / std::filesystem::path(name).filename();
  const HANDLE made = CreateFileW(file.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                  CREATE_NEW, FILE_ATTRIBUTE_TEMPORARY, nullptr);
  if (made == INVALID_HANDLE_VALUE) {
    ec = LastError();
    return {};
  }
  CloseHandle(made);
  return file;
}

}  // namespace fc::platform
