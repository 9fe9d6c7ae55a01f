// robustness/RawDbf.h - DBF files byte by byte, for tables that lie.
//
// fc::dbf::Writer only writes sound tables; a hostile submission needs
// headers whose record count, header length or record length disagree with
// the file, descriptors that make no sense and bytes of no code page. A
// RawDbf computes every header value from its fields and records unless the
// test sets it:
//
//   RawDbf t = KhjbxxTable("20080808", 3);
//   t.recordCount = 1000;                   // more records than the file holds
//   std::string bytes = t.bytes();
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace fc::robustness {

struct RawField {
  std::string name;      // written as given (up to 11 bytes), NUL-padded
  char type = 'C';
  uint8_t length = 1;    // bytes
  uint8_t decimals = 0;
  uint8_t flags = 0;     // Visual FoxPro flags (0x01 system, 0x02 nullable)
};

struct RawDbf {
  uint8_t version = 0x03;                // 0x30 adds Visual FoxPro's 263-byte backlink
  uint8_t codePage = 0x7A;               // GBK
  std::vector<RawField> fields;
  std::vector<std::string> records;      // whole records, deleted flag first
  std::optional<uint32_t> recordCount;   // header value; records.size() when unset
  std::optional<uint16_t> headerLength;  // header value; the true length when unset
  std::optional<uint16_t> recordLength;  // header value; 1 + field lengths when unset

  // The file: header, descriptors, terminator, backlink, records, 0x1A.
  std::string bytes() const;
  // A live record of `values`, each blank-padded or cut to its field.
  std::string record(const std::vector<std::string>& values) const;
};

// A table of the KHJBXX layout with `count` sound records of `date`.
RawDbf KhjbxxTable(const std::string& date, int count);

// UTF-8 text in GBK, for values that must read back as Chinese.
std::string Gbk(const std::string& utf8);

}  // namespace fc::robustness
