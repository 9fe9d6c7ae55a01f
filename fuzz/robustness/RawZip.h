// robustness/RawZip.h - ZIP archives byte by byte, for archives that lie.
//
// libzip (support/Zip.h) writes sound archives; these write what a hostile
// sender can: sizes that claim more or less than the data holds, encryption
// flags, Unix modes and deflate streams built to expand a thousandfold.
//
//   std::string zip = RawZipBytes({Stored("X.DBF", dbf), DeflateBomb("Y.DBF", 1 << 30)});
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace fc::robustness {

struct RawEntry {
  std::string name;          // written as given
  std::string data;          // the stored bytes (a deflate stream for method 8)
  uint16_t method = 0;       // 0 stored, 8 deflated
  uint32_t crc = 0;          // CRC-32 of the uncompressed bytes
  uint64_t size = 0;         // uncompressed size as claimed (Zip64 from 4 GiB on)
  uint16_t flags = 0;        // general purpose bits; bit 0 marks encryption
  uint32_t mode = 0100644;   // Unix mode, in the high half of the external attributes
};

RawEntry Stored(const std::string& name, const std::string& bytes);
// A deflate stream that inflates to `size` zero bytes, a few hundred times
// smaller than that, built without compressing `size` bytes.
RawEntry DeflateBomb(const std::string& name, uint64_t size);

// The archive: local headers with data, central directory, end record.
std::string RawZipBytes(const std::vector<RawEntry>& entries);

}  // namespace fc::robustness
