#include "support/Zip.h"

#include <zip.h>

#include <stdexcept>

#include "platform/Utf8Paths.h"

namespace fc::test {

namespace {

// A symbolic link's type bits in a Unix entry's mode, whatever the system writing it.
constexpr zip_uint32_t kUnixSymlink = 0120000;

std::runtime_error ZipFailure(const std::string& what, zip_t* za) {
  return std::runtime_error(what + ": " + zip_error_strerror(zip_get_error(za)));
}

zip_int64_t AddBytes(zip_t* za, const std::string& name, const std::string& bytes) {
  zip_source_t* source = zip_source_buffer(za, bytes.data(), bytes.size(), 0);
  zip_int64_t index = zip_file_add(za, name.c_str(), source, ZIP_FL_ENC_RAW);
  if (index < 0) zip_source_free(source);
  return index;
}

}  // namespace

ZipWriter::ZipWriter(std::filesystem::path archive) : archive_(std::move(archive)) {}

ZipWriter& ZipWriter::add(const std::string& name, const std::string& bytes) {
  entries_.push_back({name, bytes});
  return *this;
}

ZipWriter& ZipWriter::addFile(const std::string& name, const std::filesystem::path& file) {
  return add(name, ReadFileBytes(file));
}

ZipWriter& ZipWriter::addDirectory(const std::string& name) {
  entries_.push_back({name, "", Entry::Directory});
  return *this;
}

ZipWriter& ZipWriter::addSymlink(const std::string& name, const std::string& target) {
  entries_.push_back({name, target, Entry::Symlink});
  return *this;
}

ZipWriter& ZipWriter::addEncrypted(const std::string& name, const std::string& bytes) {
  entries_.push_back({name, bytes, Entry::File, true});
  return *this;
}

ZipWriter& ZipWriter::stored() {
  entries_.back().deflate = false;
  return *this;
}

void ZipWriter::write() {
  int error = 0;
  zip_t* za = zip_open(platform::Utf8Of(archive_).c_str(), ZIP_CREATE | ZIP_TRUNCATE, &error);
  if (!za) throw std::runtime_error("cannot create " + platform::Utf8Of(archive_));
  for (const Entry& e : entries_) {
    zip_int64_t index = e.kind == Entry::Directory
                            ? zip_dir_add(za, e.name.c_str(), ZIP_FL_ENC_RAW)
                            : AddBytes(za, e.name, e.bytes);
    if (index < 0) throw ZipFailure("cannot add " + e.name, za);
    zip_uint64_t i = static_cast<zip_uint64_t>(index);
    zip_set_file_compression(za, i, e.deflate ? ZIP_CM_DEFLATE : ZIP_CM_STORE, 0);
    if (e.kind == Entry::Symlink)
      zip_file_set_external_attributes(za, i, 0, ZIP_OPSYS_UNIX, (kUnixSymlink | 0777u) << 16);
    if (e.encrypted && zip_file_set_encryption(za, i, ZIP_EM_AES_256, "secret") != 0)
      throw ZipFailure("cannot encrypt " + e.name, za);
  }
  if (zip_close(za) != 0) throw ZipFailure("cannot write " + platform::Utf8Of(archive_), za);
}

std::map<std::string, std::string> ReadZip(const std::filesystem::path& archive) {
  int error = 0;
  zip_t* za = zip_open(platform::Utf8Of(archive).c_str(), ZIP_RDONLY | ZIP_CHECKCONS, &error);
  if (!za) throw std::runtime_error("cannot open " + platform::Utf8Of(archive));
  std::map<std::string, std::string> entries;
  for (zip_int64_t i = 0; i < zip_get_num_entries(za, 0); ++i) {
    zip_stat_t st;
    zip_stat_index(za, static_cast<zip_uint64_t>(i), 0, &st);
    std::string bytes(st.size, '\0');
    zip_file_t* zf = zip_fopen_index(za, static_cast<zip_uint64_t>(i), 0);
    zip_int64_t n = zf ? zip_fread(zf, bytes.data(), bytes.size()) : -1;
    if (zf) zip_fclose(zf);
    if (n != static_cast<zip_int64_t>(bytes.size())) {
      zip_discard(za);
      throw std::runtime_error(std::string("cannot read entry ") + st.name);
    }
    entries[st.name] = bytes;
  }
  zip_discard(za);
  return entries;
}

ZipEntryInfo InspectZipEntry(const std::filesystem::path& archive, const std::string& name) {
  int error = 0;
  zip_t* za = zip_open(platform::Utf8Of(archive).c_str(), ZIP_RDONLY, &error);
  if (!za) throw std::runtime_error("cannot open " + platform::Utf8Of(archive));
  zip_stat_t st;
  ZipEntryInfo info;
  if (zip_stat(za, name.c_str(), 0, &st) == 0) info = {st.comp_method, st.mtime};
  zip_discard(za);
  return info;
}

}  // namespace fc::test
