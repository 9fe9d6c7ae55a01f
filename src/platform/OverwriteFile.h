// platform/OverwriteFile.h - an existing file written over from its start,
// never reached through a link: where an unpacked entry lands, in a file the
// program made itself a moment before.
//
//   fc::platform::OverwriteFile out(target);
//   bool ok = out.isOpen() && out.write(data, size);
//   if (!out.close()) ok = false;
//
// A missing file, a link at its place or one the system refuses leaves the
// object closed: isOpen(), write() and close() are then false.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>

namespace fc::platform {

class OverwriteFile {
 public:
  explicit OverwriteFile(const std::filesystem::path& path);
  ~OverwriteFile();
  OverwriteFile(const OverwriteFile&) = delete;
  OverwriteFile& operator=(const OverwriteFile&) = delete;

  bool isOpen() const { return file_ != -1; }
  // Appends all of `size` bytes.
  bool write(const uint8_t* data, size_t size);
  // True when the file closes cleanly, everything written handed to the system.
  bool close();

 private:
  intptr_t file_ = -1;  // the descriptor (Linux) or handle (Windows)
};

}  // namespace fc::platform
