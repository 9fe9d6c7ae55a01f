// dbf/MappedFile.h - a read-only mapping of a whole regular file that
// survives the file shrinking or failing under it.
//
// Reading a mapped page whose part of the file is gone (another program
// truncated the file, an export job rewriting its output in place; the
// storage failed, a network share dropped) raises SIGBUS, which would end
// the process. Every MappedFile registers its range with a SIGBUS handler,
// installed with the first mapping, that puts zero pages in place of the
// faulting page and the rest of the range and marks the mapping changed:
// the read goes on harmlessly with zeros, and the reader asks changed() once
// its pass is done and throws away what it read. A SIGBUS anywhere else goes
// on to the handler that was installed before (a sanitizer's, or the default
// that ends the process).
//
//   std::string error;
//   std::unique_ptr<fc::dbf::MappedFile> file = fc::dbf::MappedFile::open(path, error);
//   if (!file) { report(error); return; }
//   scan(file->data(), file->size());
//   if (file->changed()) discardTheScan();
//
// Reads cost nothing extra: the guard acts only when a page is gone. Any
// thread may open, read and close mappings while others do the same.
//
// A file that is not a regular file (a named pipe or device put in its
// place) is refused without blocking and without being read.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>

namespace fc::dbf {

class MappedFile {
 public:
  // Maps `path`; on failure returns null and sets `error` to a Chinese
  // message that names the file.
  static std::unique_ptr<MappedFile> open(const std::filesystem::path& path, std::string& error);
  ~MappedFile();
  MappedFile(const MappedFile&) = delete;
  MappedFile& operator=(const MappedFile&) = delete;

  const uint8_t* data() const { return data_; }  // null when the file was empty
  size_t size() const { return size_; }          // the file's size when it was opened
  // True once a read found part of the file gone: from there on the mapping
  // reads as zeros.
  bool changed() const;
  // Copies `size` bytes from `offset` of the file into `out` with read(2),
  // not through the mapping: what is past the file's end now reads as zeros
  // and makes changed() true.
  void read(size_t offset, size_t size, uint8_t* out) const;

 private:
  MappedFile() = default;
  const uint8_t* data_ = nullptr;
  size_t size_ = 0;
  int slot_ = -1;  // the mapping's entry in the handler's registry, -1 when nothing is mapped
  int fd_ = -1;    // the file, for reads that bypass the mapping
};

}  // namespace fc::dbf
