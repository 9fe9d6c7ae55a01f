// platform/FileMap.cpp - the parts of FileMap.h that are the same on every
// system; FileMapLinux.cpp and FileMapWindows.cpp map and read.
#include "platform/FileMap.h"

#include <algorithm>

#include "platform/MapGuard.h"

namespace fc::platform {

bool FileMap::changed() const { return slot_ >= 0 && Changed(slot_); }

void FileMap::place(uint64_t fileSize, uint64_t offset, uint64_t length, uint64_t granularity) {
  offset_ = std::min(offset, fileSize);
  size_ = static_cast<size_t>(std::min(length, fileSize - offset_));
  mapped_ = size_ + static_cast<size_t>(offset_ % granularity);
}

}  // namespace fc::platform
