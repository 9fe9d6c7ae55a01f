#include "dbf/Table.h"

#include <cstdio>
#include <mutex>

#include "dbf/CodePage.h"
#include "dbf/MappedFile.h"
#include "platform/CodePageText.h"
#include "platform/Utf8Paths.h"
#include "text/Text.h"

namespace fc::dbf {

namespace {

constexpr size_t kHeaderSize = 32;       // fixed part of the header
constexpr size_t kDescriptorSize = 32;   // one field descriptor
constexpr size_t kBacklinkSize = 263;    // Visual FoxPro's database backlink
constexpr uint8_t kTerminator = 0x0D;    // ends the field descriptors
constexpr uint8_t kEndOfFile = 0x1A;     // may follow the last record
constexpr char kReplacementChar[] = "\xEF\xBF\xBD";

// Version bytes of the dBase III layout (32-byte descriptors) that we read.
bool IsKnownVersion(uint8_t v) {
  switch (v) {
    case 0x03: case 0x30: case 0x31: case 0x32: case 0x43: case 0x63:
    case 0x83: case 0x8B: case 0xCB: case 0xF5: case 0xFB:
      return true;
    default:
      return false;
  }
}

bool IsVisualFoxPro(uint8_t v) { return v == 0x30 || v == 0x31 || v == 0x32; }

uint16_t Le16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }

uint32_t Le32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
         static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}

std::string Hex(unsigned value) {
  char buf[8];
  std::snprintf(buf, sizeof buf, "0x%02X", value);
  return buf;
}

std::string Invalid(const std::string& reason) { return "文件不是有效的DBF表：" + reason; }

std::string FieldLabel(size_t index, const std::string& name) {
  return "第" + std::to_string(index + 1) + "个字段" + (name.empty() ? "" : "（" + name + "）");
}

// Where the table's MappedFile lies, kept beside it for record access.
struct Mapping {
  const uint8_t* data = nullptr;
  size_t size = 0;
};

}  // namespace

struct Table::Impl {
  std::filesystem::path path;     // as given to open()
  std::unique_ptr<MappedFile> file;
  Mapping map;                    // the whole file, as `file` maps it
  uint8_t version = 0;            // header byte 0
  uint8_t codePage = 0;           // header byte 29
  uint32_t count = 0;             // records announced by the header
  uint16_t headerLength = 0;      // bytes before the first record
  uint16_t recordLength = 0;      // bytes per record, deleted flag included
  std::vector<Field> fields;      // every descriptor, in file order
  int nullFlags = -1;             // index of _NullFlags in `fields`, -1 when absent
  unsigned encoding = 0;          // the code page, TextCodePage(codePage)
  mutable std::mutex decoderLock;              // queries on several threads decode at once
  mutable std::unique_ptr<platform::CodePageText> decoder;  // opened on the first non-ASCII text

  std::string decode(std::string_view bytes) const;
  std::string readHeader();
  std::string readFields(size_t& terminatorAt);
  std::string assignNullBits();
  std::string checkSlack(size_t terminatorAt) const;
  uint64_t declaredSize() const { return headerLength + static_cast<uint64_t>(count) * recordLength; }
};

std::string Table::Impl::decode(std::string_view bytes) const {
  if (IsAscii(bytes)) return std::string(bytes);
  std::lock_guard lock(decoderLock);
  if (!decoder) decoder = std::make_unique<platform::CodePageText>(encoding, platform::CodePageText::Decode, kReplacementChar);
  std::string out;
  decoder->convert(bytes, out);
  return out;
}

// Reads the descriptors that follow the fixed header, up to the terminator.
std::string Table::Impl::readFields(size_t& terminatorAt) {
  const uint8_t* base = map.data;
  const bool vfp = IsVisualFoxPro(version);
  uint32_t offset = 1;  // byte 0 of a record is the deleted flag
  for (size_t at = kHeaderSize;; at += kDescriptorSize) {
    if (at >= headerLength) return Invalid("字段描述区缺少结束标志0x0D");
    if (base[at] == kTerminator) {
      terminatorAt = at;
      break;
    }
    if (at + kDescriptorSize > headerLength) return Invalid("字段描述区缺少结束标志0x0D");
    const uint8_t* d = base + at;
    Field f;
    size_t nameLength = 0;
    while (nameLength < 11 && d[nameLength] != 0) ++nameLength;
    f.name = decode(std::string_view(reinterpret_cast<const char*>(d), nameLength));
    f.type = static_cast<char>(d[11]);
    f.length = d[16];
    f.decimals = d[17];
    f.flags = vfp ? d[18] : 0;  // other versions leave byte 18 undefined
    f.offset = offset;
    if (f.name.empty()) return Invalid(FieldLabel(fields.size(), "") + "没有名称");
    if (f.length == 0) return Invalid(FieldLabel(fields.size(), f.name) + "的长度为0");
    // Decimals the value's bytes cannot hold would make every reading of
    // the field wrong (and scales no number has).
    if ((f.type == 'N' || f.type == 'F') && f.decimals >= f.length)
      return Invalid(FieldLabel(fields.size(), f.name) + "的小数位数" + std::to_string(f.decimals) + "不小于字段长度" +
                     std::to_string(f.length));
    offset += f.length;
    fields.push_back(std::move(f));
  }
  if (fields.empty()) return Invalid("表中没有字段");
  if (recordLength == 0) return Invalid("记录长度为0");
  if (offset != recordLength)
    return Invalid("字段长度之和加删除标志为" + std::to_string(offset) + "字节，与记录长度" +
                   std::to_string(recordLength) + "不符");
  return {};
}

// Visual FoxPro keeps one bit per nullable field in the hidden _NullFlags
// field, given out in field order. A varchar/varbinary field (V, Q) takes a
// bit as well, for its "shorter than the field" mark, before its null bit;
// that mark is not interpreted here, we only keep the null bits right.
std::string Table::Impl::assignNullBits() {
  int bits = 0;
  for (size_t i = 0; i < fields.size(); ++i) {
    Field& f = fields[i];
    if (f.isSystem()) {
      // Hidden fields escape every reader but this one's null bits: any
      // other would be data no check sees.
      if (nullFlags >= 0 || !text::EqualsNoCase(f.name, "_NullFlags"))
        return Invalid(FieldLabel(i, f.name) + "标为隐藏的系统字段，只有一个_NullFlags字段可以如此");
      nullFlags = static_cast<int>(i);
      continue;
    }
    if (f.type == 'V' || f.type == 'Q') ++bits;
    if (f.flags & kFlagNullable) f.nullBit = bits++;
  }
  if (bits == 0) return {};
  if (nullFlags < 0) return Invalid("表中有可为空的字段，但缺少_NullFlags字段");
  if (bits > 8 * fields[nullFlags].length) return Invalid("_NullFlags字段太短");
  return {};
}

// What the header holds past the descriptors (and Visual FoxPro's backlink,
// which may name a database) is no field of any record, and no reader
// looks at it: a record hidden there, with the count cut, would go unseen.
std::string Table::Impl::checkSlack(size_t terminatorAt) const {
  for (size_t at = terminatorAt + 1 + (IsVisualFoxPro(version) ? kBacklinkSize : 0); at < headerLength; ++at)
    if (map.data[at] != 0) return Invalid("文件头在字段描述区之后还有内容，不属于任何记录");
  return {};
}

std::string Table::Impl::readHeader() {
  const uint8_t* base = map.data;
  if (map.size < kHeaderSize)
    return Invalid("文件只有" + std::to_string(map.size) + "字节，不足32字节的文件头");
  version = base[0];
  if (!IsKnownVersion(version)) return Invalid("不支持的版本标志" + Hex(version));
  count = Le32(base + 4);
  headerLength = Le16(base + 8);
  recordLength = Le16(base + 10);
  codePage = base[29];
  encoding = TextCodePage(codePage);
  if (headerLength > map.size)
    return Invalid("文件头长度" + std::to_string(headerLength) + "超出文件大小" +
                   std::to_string(map.size));
  if (headerLength < kHeaderSize + 1) return Invalid("文件头长度" + std::to_string(headerLength) + "太小");
  size_t terminatorAt = 0;
  if (std::string error = readFields(terminatorAt); !error.empty()) return error;
  if (IsVisualFoxPro(version) && terminatorAt + 1 + kBacklinkSize > headerLength)
    return Invalid("Visual FoxPro表的文件头缺少263字节的数据库链接区");
  if (std::string error = checkSlack(terminatorAt); !error.empty()) return error;
  if (std::string error = assignNullBits(); !error.empty()) return error;
  const uint64_t needed = declaredSize();
  if (needed > map.size)
    return Invalid("文件头声明" + std::to_string(count) + "条记录，需要" + std::to_string(needed) +
                   "字节，文件只有" + std::to_string(map.size) + "字节");
  return {};
}

Table::Table() : impl_(std::make_unique<Impl>()) {}
Table::~Table() = default;

std::unique_ptr<Table> Table::open(const std::filesystem::path& path, std::string& error) {
  std::unique_ptr<MappedFile> file = MappedFile::open(path, error);
  if (!file) return nullptr;
  std::unique_ptr<Table> table(new Table());
  Impl& impl = *table->impl_;
  impl.path = path;
  impl.map = {file->data(), file->size()};
  impl.file = std::move(file);
  error = impl.readHeader();
  if (impl.file->changed()) error = TableChanged(path.filename()).what();
  return error.empty() ? std::move(table) : nullptr;
}

const std::filesystem::path& Table::path() const { return impl_->path; }
bool Table::changed() const { return impl_->file->changed(); }
uint8_t Table::version() const { return impl_->version; }
uint8_t Table::codePageByte() const { return impl_->codePage; }
unsigned Table::encoding() const { return impl_->encoding; }
uint32_t Table::recordCount() const { return impl_->count; }
uint16_t Table::headerLength() const { return impl_->headerLength; }
uint16_t Table::recordLength() const { return impl_->recordLength; }
const std::vector<Field>& Table::fields() const { return impl_->fields; }

std::string Table::sizeProblem() const {
  const uint64_t declared = impl_->declaredSize(), size = impl_->map.size;
  if (size == declared || (size == declared + 1 && impl_->map.data[declared] == kEndOfFile)) return {};
  return Invalid("文件头声明" + std::to_string(impl_->count) + "条记录，连同文件头应为" + std::to_string(declared) +
                 "字节（可另加1字节结束标志0x1A），文件却有" + std::to_string(size) + "字节");
}

const Field* Table::findField(std::string_view name) const {
  for (const Field& f : impl_->fields)
    if (!f.isSystem() && text::EqualsNoCase(f.name, name)) return &f;
  return nullptr;
}

const uint8_t* Table::record(uint32_t index) const {
  return impl_->map.data + impl_->headerLength + static_cast<size_t>(index) * impl_->recordLength;
}

bool Table::isDeleted(uint32_t index) const { return record(index)[0] == '*'; }

const Field* Table::nullFlags() const {
  return impl_->nullFlags < 0 ? nullptr : &impl_->fields[impl_->nullFlags];
}

bool Table::isNull(uint32_t index, const Field& field) const {
  return field.nullBit >= 0 && isNullIn(record(index), field);
}

bool Table::isNullIn(const uint8_t* record, const Field& field) const {
  if (field.nullBit < 0) return false;
  const Field& flags = impl_->fields[impl_->nullFlags];
  uint8_t byte = record[flags.offset + field.nullBit / 8];
  return (byte >> (field.nullBit % 8)) & 1;
}

void Table::readRecords(uint32_t first, uint32_t n, uint8_t* out) const {
  const size_t length = impl_->recordLength;
  impl_->file->read(impl_->headerLength + size_t{first} * length, size_t{n} * length, out);
}

std::string_view Table::raw(uint32_t index, const Field& field) const {
  return {reinterpret_cast<const char*>(record(index)) + field.offset, field.length};
}

std::string Table::text(uint32_t index, const Field& field) const { return decode(raw(index, field)); }

std::string Table::decode(std::string_view bytes) const { return impl_->decode(bytes); }

TableChanged::TableChanged(std::filesystem::path file)
    : std::runtime_error("文件" + platform::Utf8Of(file) + "在读取过程中被改动，读到的内容不完整"), file_(std::move(file)) {}

int VersionByte(const std::filesystem::path& path) {
  std::string error;
  std::unique_ptr<Table> table = Table::open(path, error);
  return table ? table->version() : -1;
}

}  // namespace fc::dbf
