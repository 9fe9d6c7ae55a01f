#include "dbf/Writer.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <stdexcept>

#include "dbf/CodePage.h"
#include "dbf/Table.h"
#include "platform/CodePageText.h"
#include "platform/Files.h"
#include "platform/LocalTime.h"
#include "platform/Utf8Paths.h"

namespace fc::dbf {

namespace {

constexpr size_t kHeaderSize = 32;
constexpr size_t kDescriptorSize = 32;
constexpr size_t kBacklinkSize = 263;
constexpr size_t kBufferSize = 1 << 20;  // output buffer; records are small
constexpr uint8_t kNullFlagsFlags = 0x05;  // system field, no code-page translation

void PutLe16(uint8_t* p, uint32_t v) {
  p[0] = static_cast<uint8_t>(v);
  p[1] = static_cast<uint8_t>(v >> 8);
}

void PutLe32(uint8_t* p, uint32_t v) {
  PutLe16(p, v);
  PutLe16(p + 2, v >> 16);
}

// Length of the UTF-8 character starting at `text[at]` (1 for a stray byte).
size_t Utf8CharLength(std::string_view text, size_t at) {
  unsigned char c = static_cast<unsigned char>(text[at]);
  size_t n = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 1;
  return std::min(n, text.size() - at);
}

void Validate(const std::vector<FieldSpec>& fields, Format format) {
  if (fields.empty()) throw std::invalid_argument("a DBF table needs at least one field");
  for (const FieldSpec& f : fields) {
    if (f.name.empty()) throw std::invalid_argument("a field name is empty");
    if (f.type != 'C' && f.type != 'N')
      throw std::invalid_argument("field " + f.name + ": only C and N fields can be written");
    if (f.length == 0) throw std::invalid_argument("field " + f.name + " has length 0");
    if (f.nullable && format != Format::VisualFoxPro)
      throw std::invalid_argument("field " + f.name + ": nullable fields need Visual FoxPro");
  }
}

struct Layout {
  std::vector<uint32_t> offsets;   // per field, inside the record
  uint32_t nullFlagsOffset = 0;    // _NullFlags inside the record
  uint8_t nullFlagsLength = 0;     // 0 when no field is nullable
  uint32_t recordLength = 1;       // deleted flag included
  uint32_t headerLength = 0;
};

Layout MakeLayout(const std::vector<FieldSpec>& fields, Format format) {
  Layout l;
  size_t nullable = 0;
  for (const FieldSpec& f : fields) {
    l.offsets.push_back(l.recordLength);
    l.recordLength += f.length;
    nullable += f.nullable;
  }
  l.nullFlagsLength = static_cast<uint8_t>((nullable + 7) / 8);
  l.nullFlagsOffset = l.recordLength;
  l.recordLength += l.nullFlagsLength;
  size_t descriptors = fields.size() + (l.nullFlagsLength ? 1 : 0);
  l.headerLength = static_cast<uint32_t>(kHeaderSize + descriptors * kDescriptorSize + 1 +
                                         (format == Format::VisualFoxPro ? kBacklinkSize : 0));
  if (l.recordLength > 0xFFFF) throw std::invalid_argument("record longer than 65535 bytes");
  if (l.headerLength > 0xFFFF) throw std::invalid_argument("too many fields for a DBF header");
  return l;
}

void PutDescriptor(uint8_t* d, std::string_view name, char type, uint32_t offset, uint8_t length,
                   uint8_t decimals, uint8_t flags, Format format) {
  std::memcpy(d, name.data(), name.size());
  d[11] = static_cast<uint8_t>(type);
  if (format == Format::VisualFoxPro) PutLe32(d + 12, offset);
  d[16] = length;
  d[17] = decimals;
  d[18] = flags;
}

}  // namespace

struct Writer::Impl {
  std::FILE* file = nullptr;
  std::filesystem::path path;    // for messages
  Format format;
  uint8_t codePage;
  std::vector<FieldSpec> fields;
  std::vector<std::string> names;  // field names in the code page
  Layout layout;
  std::vector<char> buffer;      // stdio buffer
  std::string record;            // the record being built, reused
  std::string encoded;           // a C value in the code page, reused
  std::string piece;             // one character while cutting a long value
  platform::CodePageText encoder; // UTF-8 to the code page
  uint32_t count = 0;            // records written

  Impl(const std::filesystem::path& p, Format f, std::vector<FieldSpec> fs, uint8_t cp)
      : path(p), format(f), codePage(cp), fields(std::move(fs)),
        layout((Validate(fields, f), MakeLayout(fields, f))),
        encoder(TextCodePage(cp), platform::CodePageText::Encode, "?") {
    for (const FieldSpec& f : fields) {
      names.emplace_back();
      encoder.convert(f.name, names.back());
      if (names.back().size() > 10)
        throw std::invalid_argument("field name '" + f.name + "' is longer than 10 bytes");
    }
  }

  [[noreturn]] void fail(const char* what) const {
    throw std::runtime_error(std::string(what) + " " + platform::Utf8Of(path) + ": " + std::strerror(errno));
  }

  void writeHeader();
  void putCharacter(char* dst, size_t length, std::string_view value);
  void encodeCut(std::string_view value, size_t length);
};

void Writer::Impl::writeHeader() {
  std::vector<uint8_t> h(layout.headerLength, 0);
  h[0] = format == Format::VisualFoxPro ? 0x30 : 0x03;
  const std::tm tm = platform::LocalTime(std::time(nullptr));
  h[1] = static_cast<uint8_t>(tm.tm_year % 100);
  h[2] = static_cast<uint8_t>(tm.tm_mon + 1);
  h[3] = static_cast<uint8_t>(tm.tm_mday);
  PutLe32(&h[4], count);
  PutLe16(&h[8], layout.headerLength);
  PutLe16(&h[10], layout.recordLength);
  h[29] = codePage;
  uint8_t* d = &h[kHeaderSize];
  for (size_t i = 0; i < fields.size(); ++i, d += kDescriptorSize) {
    const FieldSpec& f = fields[i];
    uint8_t flags = f.nullable ? kFlagNullable : 0;
    PutDescriptor(d, names[i], f.type, layout.offsets[i], f.length, f.decimals, flags, format);
  }
  if (layout.nullFlagsLength) {
    PutDescriptor(d, "_NullFlags", '0', layout.nullFlagsOffset, layout.nullFlagsLength, 0,
                  kNullFlagsFlags, format);
    d += kDescriptorSize;
  }
  *d = 0x0D;
  if (std::fwrite(h.data(), 1, h.size(), file) != h.size()) fail("cannot write");
}

// Encodes a value too long for its field character by character, so that the
// cut never splits a multi-byte character.
void Writer::Impl::encodeCut(std::string_view value, size_t length) {
  encoded.clear();
  for (size_t at = 0; at < value.size();) {
    size_t n = Utf8CharLength(value, at);
    piece.clear();
    encoder.convert(value.substr(at, n), piece);
    if (encoded.size() + piece.size() > length) return;
    encoded += piece;
    at += n;
  }
}

void Writer::Impl::putCharacter(char* dst, size_t length, std::string_view value) {
  if (IsAscii(value)) {
    std::memcpy(dst, value.data(), std::min(length, value.size()));
    return;
  }
  encoded.clear();
  encoder.convert(value, encoded);
  if (encoded.size() > length) encodeCut(value, length);
  std::memcpy(dst, encoded.data(), encoded.size());
}

Writer::Writer(const std::filesystem::path& path, Format format, std::vector<FieldSpec> fields,
               uint8_t codePage)
    : impl_(std::make_unique<Impl>(path, format, std::move(fields), codePage)) {
  Impl& w = *impl_;
  w.file = platform::OpenStream(path, "wb");
  if (!w.file) w.fail("cannot create");
  w.buffer.resize(kBufferSize);
  std::setvbuf(w.file, w.buffer.data(), _IOFBF, w.buffer.size());
  w.record.resize(w.layout.recordLength);
  w.writeHeader();
}

Writer::~Writer() {
  try {
    finish();
  } catch (const std::exception&) {
    // A destructor cannot report; callers that care call finish() themselves.
  }
}

void Writer::add(const std::vector<Value>& values, bool deleted) {
  Impl& w = *impl_;
  if (!w.file) throw std::logic_error("DBF writer already finished");
  if (values.size() != w.fields.size())
    throw std::invalid_argument("expected " + std::to_string(w.fields.size()) + " values, got " +
                                std::to_string(values.size()));
  std::memset(w.record.data(), ' ', w.layout.nullFlagsOffset);
  std::memset(w.record.data() + w.layout.nullFlagsOffset, 0, w.layout.nullFlagsLength);
  w.record[0] = deleted ? '*' : ' ';
  int nullBit = 0;
  for (size_t i = 0; i < values.size(); ++i) {
    const FieldSpec& f = w.fields[i];
    char* dst = w.record.data() + w.layout.offsets[i];
    const Value& v = values[i];
    if (f.nullable) {
      if (!v) w.record[w.layout.nullFlagsOffset + nullBit / 8] |= static_cast<char>(1 << (nullBit % 8));
      ++nullBit;
    }
    if (!v) continue;
    if (f.type == 'C') {
      w.putCharacter(dst, f.length, *v);
      continue;
    }
    if (v->size() > f.length)
      throw std::invalid_argument("value '" + *v + "' does not fit field " + f.name);
    std::memcpy(dst + f.length - v->size(), v->data(), v->size());
  }
  if (std::fwrite(w.record.data(), 1, w.record.size(), w.file) != w.record.size()) w.fail("cannot write");
  ++w.count;
}

void Writer::finish() {
  Impl& w = *impl_;
  if (!w.file) return;
  std::FILE* f = w.file;
  w.file = nullptr;
  uint8_t count[4];
  PutLe32(count, w.count);
  bool ok = std::fputc(0x1A, f) != EOF && std::fseek(f, 4, SEEK_SET) == 0 &&
            std::fwrite(count, 1, 4, f) == 4;
  ok = std::fclose(f) == 0 && ok;
  if (!ok) w.fail("cannot finish");
}

}  // namespace fc::dbf
