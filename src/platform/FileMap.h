// platform/FileMap.h - a read-only map of a regular file, or of a window of
// it, that survives the file shrinking or failing under it.
//
// Reading a mapped page whose part of the file is gone (another program cut
// the file short, an export job rewriting its output in place; the storage
// failed, a network share dropped) faults, which would end the process:
// SIGBUS on Linux, EXCEPTION_IN_PAGE_ERROR on Windows. Every FileMap
// registers its range with a handler, installed with the first map, that
// puts zero pages in place of the range (on Linux from the faulting page on,
// on Windows the whole view) and marks the map changed: the read goes on
// harmlessly with zeros, and the reader asks changed() once its pass is done
// and throws away what it read. A fault anywhere else goes on as it would
// without the handler (to a sanitizer's, or to the end of the process).
//
//   fc::platform::MapFailure failure;
//   std::unique_ptr<fc::platform::FileMap> map = fc::platform::FileMap::open(path, failure);
//   if (!map) { report(failure); return; }
//   scan(map->data(), map->size());
//   if (map->changed()) discardTheScan();
//
// Reads cost nothing extra: the guard acts only when a page is gone. Any
// thread may open, read and close maps while others do the same. A path that
// is not a regular file (a named pipe or a device put in its place) is
// refused without blocking and without being read.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <limits>
#include <memory>

namespace fc::platform {

enum class MapFailure {
  None,
  Open,        // the file could not be opened
  NotRegular,  // a directory, pipe or device, or its kind could not be told
  Map,         // the system would not map it
  TooMany,     // too many maps are open at once
};

class FileMap {
 public:
  static constexpr uint64_t kToTheEnd = std::numeric_limits<uint64_t>::max();

  // Maps `length` bytes of `path` from `offset` (any offset: the system's
  // alignment is taken care of), cut off at the file's end; on failure
  // returns null and sets `failure`.
  static std::unique_ptr<FileMap> open(const std::filesystem::path& path, MapFailure& failure, uint64_t offset = 0,
                                       uint64_t length = kToTheEnd);
  ~FileMap();
  FileMap(const FileMap&) = delete;
  FileMap& operator=(const FileMap&) = delete;

  const uint8_t* data() const { return data_; }  // the window's first byte; null when it is empty
  size_t size() const { return size_; }          // the window's size when it was opened
  // True once a read found part of the file gone: from there on the map
  // reads as zeros.
  bool changed() const;
  // Copies `size` bytes from `offset` of the window into `out` with the
  // system's read, not through the map: what is past the file's end now
  // reads as zeros and makes changed() true.
  void read(size_t offset, size_t size, uint8_t* out) const;

 private:
  FileMap() = default;
  // Sets the window within a file of `fileSize` bytes, and the map's start
  // at the `granularity` boundary at or before it.
  void place(uint64_t fileSize, uint64_t offset, uint64_t length, uint64_t granularity);

  const uint8_t* data_ = nullptr;
  size_t size_ = 0;
  uint64_t offset_ = 0;  // where the window starts in the file
  void* base_ = nullptr;  // the map itself, from a boundary the system accepts
  size_t mapped_ = 0;     // its bytes
  int slot_ = -1;         // the map's entry in the handler's registry, -1 when nothing is mapped
  intptr_t file_ = -1;    // the descriptor (Linux) or handle (Windows) for reads that bypass the map
};

}  // namespace fc::platform
