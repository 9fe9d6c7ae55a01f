// dbf/MappedFile.h - a read-only mapping of a whole regular file that
// survives the file shrinking or failing under it (platform/FileMap.h says
// how), with the operator's message when it cannot be mapped.
//
// A read of a part of the file that is gone reads zeros instead of ending
// the process and marks the mapping changed; the reader asks changed() once
// its pass is done and throws away what it read.
//
//   std::string error;
//   std::unique_ptr<fc::dbf::MappedFile> file = fc::dbf::MappedFile::open(path, error);
//   if (!file) { report(error); return; }
//   scan(file->data(), file->size());
//   if (file->changed()) discardTheScan();
//
// Reads cost nothing extra. Any thread may open, read and close mappings
// while others do the same. A file that is not a regular file (a named pipe
// or device put in its place) is refused without blocking and without being
// read.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <utility>

#include "platform/FileMap.h"

namespace fc::dbf {

class MappedFile {
 public:
  // Maps `path`; on failure returns null and sets `error` to a Chinese
  // message that names the file.
  static std::unique_ptr<MappedFile> open(const std::filesystem::path& path, std::string& error);

  const uint8_t* data() const { return map_->data(); }  // null when the file was empty
  size_t size() const { return map_->size(); }          // the file's size when it was opened
  // True once a read found part of the file gone: from there on the mapping
  // reads as zeros.
  bool changed() const { return map_->changed(); }
  // Copies `size` bytes from `offset` of the file into `out` with the
  // system's read, not through the mapping: what is past the file's end now
  // reads as zeros and makes changed() true.
  void read(size_t offset, size_t size, uint8_t* out) const { map_->read(offset, size, out); }

 private:
  explicit MappedFile(std::unique_ptr<platform::FileMap> map) : map_(std::move(map)) {}
  std::unique_ptr<platform::FileMap> map_;
};

}  // namespace fc::dbf
