// dbf/Table.h - read-only access to one DBF table (dBase III / Visual FoxPro).
//
// A Table memory-maps the file, validates its header against the file size
// and then hands out records as raw bytes; nothing is decoded until a caller
// asks for a field. Typical use:
//
//   std::string error;
//   auto table = fc::dbf::Table::open("/x/KHJBXX.DBF", error);
//   if (!table) { report(error); return; }
//   const fc::dbf::Field* sjrq = table->findField("sjrq");
//   for (uint32_t i = 0; i < table->recordCount(); ++i)
//     if (!table->isDeleted(i)) use(table->raw(i, *sjrq));
//
// A Table never reads outside the mapped file: every size in the header is
// checked once in open(), so record access needs no further checks (record
// indexes must be below recordCount()). A file shorter than its header says
// is refused there; one longer is opened, and sizeProblem() says so, for a
// reader that must not trust a table whose records may go on past the count.
// open() also refuses what would hide data from every reader: a hidden
// system field other than _NullFlags, bytes other than zeros in the header
// past the field descriptors (and Visual FoxPro's database backlink), and a
// numeric field whose decimals are not below its length.
//
// A file that shrinks or fails under the table while it is read (another
// program truncates it) does not end the process: the part that is gone
// reads as zeros and changed() turns true (see MappedFile). A reader asks
// changed() when its pass over the table is done and then discards what it
// found, usually by throwing TableChanged.
//
// Decoding keeps one converter per Table: a Table is used by one thread at
// a time; threads that read the same file open a Table each.
//
// Nulls: in Visual FoxPro tables (0x30-0x32) every nullable field takes the
// next bit of the hidden _NullFlags field in field order; a varchar or
// varbinary field (V, Q) takes one bit for its length mark before its null
// bit. The length mark itself is not interpreted. Other versions have no
// flags byte: their fields are never null.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace fc::dbf {

// Field flags of Visual FoxPro field descriptors (byte 18).
inline constexpr uint8_t kFlagSystem = 0x01;    // hidden system field (_NullFlags)
inline constexpr uint8_t kFlagNullable = 0x02;  // field may hold NULL
inline constexpr uint8_t kFlagBinary = 0x04;    // no code-page translation

struct Field {
  std::string name;     // field name as the file spells it (ASCII, no NULs)
  char type = 'C';      // C N F D L I Y B T M ... as stored
  uint32_t offset = 0;  // byte offset inside the record (the deleted flag is byte 0)
  uint8_t length = 0;   // field length in bytes
  uint8_t decimals = 0; // number of decimals (N, F, B)
  uint8_t flags = 0;    // Visual FoxPro flags, see kFlag*
  int nullBit = -1;     // bit index in _NullFlags, -1 when the field cannot be null

  bool isSystem() const { return (flags & kFlagSystem) != 0; }
};

class Table {
 public:
  // Opens and validates `path`. On failure returns null and sets `error` to a
  // Chinese message that names the problem (shown to operators as it is).
  static std::unique_ptr<Table> open(const std::filesystem::path& path, std::string& error);
  ~Table();
  Table(const Table&) = delete;
  Table& operator=(const Table&) = delete;

  const std::filesystem::path& path() const;  // as given to open()
  // True once a read found part of the file gone since open(); what was
  // read from the table may be zeros in its place.
  bool changed() const;

  uint8_t version() const;         // byte 0 of the header (0x03 dBase III, 0x30 VFP, ...)
  uint8_t codePageByte() const;    // byte 29 of the header
  unsigned encoding() const;       // the code page (TextCodePage: GB18030 when 0 or unknown)
  uint32_t recordCount() const;
  uint16_t headerLength() const;
  uint16_t recordLength() const;
  // Empty when the file holds the header and the records it declares and
  // nothing more but the end-of-file mark 0x1A (which some writers omit);
  // otherwise a Chinese sentence naming the size the header declares and
  // the file's. Compares figures only: nothing of the records is read.
  std::string sizeProblem() const;

  // Every field descriptor, system fields included, in file order.
  const std::vector<Field>& fields() const;
  // The first non-system field whose name equals `name` regardless of letter case.
  const Field* findField(std::string_view name) const;
  // The hidden _NullFlags field that holds every nullable field's bit (the
  // first system field of that name), or null when the table has none.
  const Field* nullFlags() const;

  // Raw record bytes (recordLength() bytes, byte 0 the deleted flag).
  const uint8_t* record(uint32_t index) const;
  // Copies records [first, first + n) into `out` with read(2) instead of
  // through the mapping (dbf/RecordChunks.h says why); what the file no
  // longer holds reads as zeros and makes changed() true.
  void readRecords(uint32_t first, uint32_t n, uint8_t* out) const;
  bool isDeleted(uint32_t index) const;
  // True when `field` is nullable and its bit in _NullFlags is set.
  bool isNull(uint32_t index, const Field& field) const;
  // The same for record bytes at hand (a copy read with readRecords).
  bool isNullIn(const uint8_t* record, const Field& field) const;
  // The field's stored bytes, padding included.
  std::string_view raw(uint32_t index, const Field& field) const;
  // The field's bytes decoded from the table's code page to UTF-8, padding kept.
  std::string text(uint32_t index, const Field& field) const;
  // Decodes arbitrary bytes of this table's code page to UTF-8 (ASCII fast path).
  std::string decode(std::string_view bytes) const;

 private:
  Table();
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

// What a reader throws when a table changed under it (Table::changed()):
// what it read is not the table as any moment had it.
class TableChanged : public std::runtime_error {
 public:
  explicit TableChanged(std::filesystem::path file);
  const std::filesystem::path& file() const { return file_; }

 private:
  std::filesystem::path file_;
};

// The version byte of a readable DBF, which the run stores as its type
// (filelist.dbftype); -1 when the file cannot be read.
int VersionByte(const std::filesystem::path& path);

}  // namespace fc::dbf
