// The DBF reader on any bytes: open, then every field of every record, the
// way the structure library and the query session read a table.
//
// Table maps the file, and reads past the end of a mapping land in the
// page's slack where AddressSanitizer cannot see them, so the bounds the
// reader promises are checked here instead.
#include <cstdint>
#include <memory>
#include <string>

#include "FuzzSupport.h"
#include "dbf/Table.h"

namespace {

using fc::fuzz::Require;

void CheckLayout(const fc::dbf::Table& table, size_t fileSize) {
  Require(table.headerLength() + uint64_t{table.recordCount()} * table.recordLength() <= fileSize,
          "records reach past the end of the file");
  const fc::dbf::Field* nullFlags = nullptr;
  for (const fc::dbf::Field& f : table.fields()) {
    Require(f.length > 0 && f.offset >= 1, "field without bytes or over the deleted flag");
    Require(f.offset + f.length <= table.recordLength(), "field reaches past its record");
    if (f.isSystem() && !nullFlags) nullFlags = &f;
  }
  for (const fc::dbf::Field& f : table.fields()) {
    if (f.nullBit < 0) continue;
    Require(nullFlags != nullptr, "null bit without a flags field");
    Require(static_cast<unsigned>(f.nullBit) < 8u * nullFlags->length, "null bit past _NullFlags");
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::filesystem::path file = fc::fuzz::ScratchDir() / "in.dbf";
  fc::fuzz::WriteInput(file, data, size);
  std::string error;
  std::unique_ptr<fc::dbf::Table> table = fc::dbf::Table::open(file, error);
  Require((table != nullptr) == error.empty(), "a table with an error, or an error without text");
  Require(fc::dbf::VersionByte(file) == (table ? table->version() : -1), "VersionByte disagrees with open");
  if (!table) return 0;
  CheckLayout(*table, size);
  for (const fc::dbf::Field& f : table->fields())
    Require(f.isSystem() || table->findField(f.name) != nullptr, "a field that findField cannot find");
  for (uint32_t i = 0; i < table->recordCount(); ++i) {
    table->isDeleted(i);
    for (const fc::dbf::Field& f : table->fields()) {
      Require(table->raw(i, f).size() == f.length, "raw value of the wrong length");
      table->isNull(i, f);
      table->text(i, f);
    }
  }
  return 0;
}
