// dbf/Writer.h - writes DBF tables: dBase III (0x03) and Visual FoxPro (0x30)
// with C and N fields, nullable fields, deleted records and a code-page byte.
//
// Used by the tests, the sample submission and the benchmark generator:
//
//   fc::dbf::Writer w(path, fc::dbf::Format::DBase3,
//                     {{"ZQGSDM", 'C', 6}, {"JRYE", 'N', 18, 2}});
//   w.add({"100001", "12.50"});
//   w.add({"100001", std::nullopt}, /*deleted=*/true);
//   w.finish();   // writes the record count; the destructor does it too
//
// Values are UTF-8 texts; C values are encoded to the table's code page and
// blank-padded (cut at the field length), N values are right-aligned. A
// std::nullopt value is NULL for nullable VFP fields and blank otherwise.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace fc::dbf {

enum class Format { DBase3, VisualFoxPro };

// Code-page bytes of header offset 29.
inline constexpr uint8_t kCodePageGBK = 0x7A;  // Windows 936, simplified Chinese

struct FieldSpec {
  std::string name;       // at most 10 bytes in the table's code page
  char type = 'C';        // 'C' or 'N'
  uint8_t length = 1;     // bytes
  uint8_t decimals = 0;   // N only
  bool nullable = false;  // Visual FoxPro only
};

using Value = std::optional<std::string>;

class Writer {
 public:
  // Throws std::runtime_error when the file cannot be created.
  Writer(const std::filesystem::path& path, Format format, std::vector<FieldSpec> fields,
         uint8_t codePage = kCodePageGBK);
  ~Writer();
  Writer(const Writer&) = delete;
  Writer& operator=(const Writer&) = delete;

  void add(const std::vector<Value>& values, bool deleted = false);
  void finish();

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace fc::dbf
