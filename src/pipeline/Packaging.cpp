#include "pipeline/Packaging.h"

#include <zip.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <memory>
#include <optional>
#include <vector>

#include "pipeline/SourceFiles.h"
#include "pipeline/WorkDirs.h"
#include "platform/Files.h"
#include "platform/FileReplace.h"
#include "platform/Utf8Paths.h"
#include "store/Store.h"
#include "platform/SystemReason.h"

namespace fc::pipeline {

namespace fs = std::filesystem;

namespace {

// Why libzip failed: the system's reason when it has one.
std::string ZipReason(zip_error_t* error) {
  if (zip_error_system_type(error) == ZIP_ET_SYS) return platform::SystemReason(zip_error_code_system(error));
  return "压缩失败（" + std::string(zip_error_strerror(error)) + "）";
}

struct SourceFree {
  void operator()(zip_source_t* source) const { zip_source_free(source); }
};
using Source = std::unique_ptr<zip_source_t, SourceFree>;

// The one-entry archive of the open DBF `dbfFile` (taken over), built in
// memory: nothing may reach the output directory before the archive is
// complete (see Publish).
Source BuildArchive(FILE* dbfFile, const std::string& entryName, const platform::FileFacts& dbfFacts,
                    std::string& failure) {
  zip_error_t error;
  zip_error_init(&error);
  Source buffer(zip_source_buffer_create(nullptr, 0, 0, &error));
  zip_t* za = buffer ? zip_open_from_source(buffer.get(), ZIP_TRUNCATE, &error) : nullptr;
  if (!za) {
    failure = ZipReason(&error);
    zip_error_fini(&error);
    fclose(dbfFile);
    return nullptr;
  }
  zip_source_keep(buffer.get());  // outlives the archive handle
  zip_source_t* source = zip_source_filep_create(dbfFile, 0, -1, nullptr);
  if (!source) fclose(dbfFile);
  zip_int64_t index = source ? zip_file_add(za, entryName.c_str(), source, ZIP_FL_ENC_UTF_8) : -1;
  if (index < 0) {
    failure = ZipReason(zip_get_error(za));
    if (source) zip_source_free(source);
    zip_discard(za);
    return nullptr;
  }
  zip_set_file_compression(za, static_cast<zip_uint64_t>(index), ZIP_CM_DEFLATE, 0);
  zip_file_set_mtime(za, static_cast<zip_uint64_t>(index), static_cast<time_t>(dbfFacts.modified.seconds), 0);
  if (zip_close(za) != 0) {
    failure = ZipReason(zip_get_error(za));
    zip_discard(za);
    return nullptr;
  }
  return buffer;
}

// Copies the built archive into `out`; false with `reason` set when the
// archive cannot be read back, without it when the write failed.
bool CopyOut(zip_source_t* archive, platform::Output& out, std::string& reason) {
  if (zip_source_open(archive) != 0) return (reason = "写入失败"), false;
  std::vector<char> chunk(1 << 16);
  bool ok = true;
  for (zip_int64_t n; ok && (n = zip_source_read(archive, chunk.data(), chunk.size())) != 0;) {
    if (n < 0) reason = "写入失败";
    ok = n > 0 && out.write(chunk.data(), static_cast<size_t>(n));
  }
  zip_source_close(archive);
  return ok;
}

// True when `file` holds exactly the bytes of `built`.
bool HoldsSameBytes(zip_source_t* built, const fs::path& file) {
  zip_stat_t info;
  zip_stat_init(&info);
  std::error_code ec;
  if (zip_source_stat(built, &info) != 0 || !(info.valid & ZIP_STAT_SIZE) || fs::file_size(file, ec) != info.size ||
      ec)
    return false;
  std::ifstream in(file, std::ios::binary);
  if (!in || zip_source_open(built) != 0) return false;
  std::vector<char> ours(1 << 16), theirs(1 << 16);
  bool same = true;
  for (zip_int64_t n; same && (n = zip_source_read(built, ours.data(), ours.size())) != 0;)
    same = n > 0 && in.read(theirs.data(), n) && std::memcmp(ours.data(), theirs.data(), static_cast<size_t>(n)) == 0;
  zip_source_close(built);
  return same;
}

// Why a write through the platform failed, for the operator.
std::string WriteReason(const platform::WriteResult& result) {
  return result.error ? platform::SystemReason(result.error.value()) : result.reason;
}

// Keeps the archive `existing` as "<its name>.bak", an older one of that
// name replaced, while `existing` itself stays until the new archive takes
// its name; empty on success, else why not. A hard link keeps it without a
// copy; where there are none, it is copied.
std::string KeepAsBackup(const fs::path& existing, fs::path& backup) {
  backup = existing;
  backup += ".bak";
  const platform::WriteResult kept = platform::WriteFileByName(backup, [&](const fs::path& temp, std::string& reason) {
    std::error_code ec;
    if (fs::remove(temp, ec) && (fs::create_hard_link(existing, temp, ec), !ec)) return true;
    if (ec == std::errc::file_exists) {
      ec = std::make_error_code(std::errc::file_exists);  // not ours to write over; as errno, on every system
    } else {
      ec.clear();
      fs::copy_file(existing, temp, fs::copy_options::overwrite_existing, ec);
    }
    if (ec) reason = platform::SystemReason(ec.value());
    return !ec;
  }, {});
  if (kept) return "";
  return "无法保留原有的" + platform::Utf8Of(existing.filename()) + "：" + WriteReason(kept);
}

// Writes the built archive as `archive`, or over the archive of that name in
// another letter case, dated like its entry (as a packer asked to date the
// archive like its newest entry would do); empty on success, else why not.
std::string Publish(zip_source_t* built, const platform::FileFacts& dbfFacts, const fs::path& archive,
                    std::string& keptAs) {
  const std::optional<fs::path> existing = FindFileNoCase(archive.parent_path(), platform::Utf8Of(archive.filename()));
  if (existing && !HoldsSameBytes(built, *existing)) {
    fs::path backup;
    if (std::string failure = KeepAsBackup(*existing, backup); !failure.empty()) return failure;
    keptAs = platform::Utf8Of(backup);
  }
  const platform::WriteOptions options{.modified = dbfFacts.modified};
  const platform::WriteResult written = platform::WriteFileThrough(
      existing.value_or(archive),
      [&](platform::Output& out, std::string& reason) { return CopyOut(built, out, reason); }, options);
  return written ? "" : WriteReason(written);
}

// PackOneFile on the DBF open as `fd`.
std::string PackOpenFile(int fd, const std::string& entryName, const fs::path& archive, std::string& keptAs) {
  const std::optional<platform::FileFacts> before = platform::FactsOf(fd);
  if (!before) return "文件不存在";
  std::error_code ec;
  if (!fs::is_directory(archive.parent_path(), ec)) return "输出目录不存在";
  FILE* dbfFile = platform::DuplicateAsStream(fd);  // the archive closes its file when done
  if (!dbfFile) return platform::SystemReason(errno);
  std::string failure;
  Source built = BuildArchive(dbfFile, entryName, *before, failure);
  if (!built) return failure;
  // Read while another program rewrote it, the archive may hold neither version.
  const std::optional<platform::FileFacts> after = platform::FactsOf(fd);
  if (!after || IdentityOf(*after) != IdentityOf(*before)) return "文件在压缩过程中被改动";
  failure = Publish(built.get(), *before, archive, keptAs);
  return failure.empty() ? failure : "无法写入" + platform::Utf8Of(archive) + "：" + failure;
}

// PackOneFile on the file its check read, refused when it is no longer that.
std::string PackCheckedFile(const CheckedFile* dbf, const std::string& entryName, const fs::path& archive,
                            std::string& keptAs) {
  const int fd = dbf ? OpenRegularFile(dbf->path) : -1;
  if (fd < 0) return "文件不存在";
  std::string failure = dbf->sameAs(fd) ? PackOpenFile(fd, entryName, archive, keptAs) : "文件在检查之后被改动";
  platform::CloseFile(fd);
  return failure;
}

}  // namespace

std::string PackOneFile(const fs::path& dbf, const std::string& entryName, const fs::path& archive,
                        std::string* keptAs) {
  int fd = OpenRegularFile(dbf);
  if (fd < 0) return "文件不存在";
  std::string kept;
  std::string failure = PackOpenFile(fd, entryName, archive, kept);
  platform::CloseFile(fd);
  if (keptAs) *keptAs = kept;
  return failure;
}

PackReport PackPassedFiles(store::Store& store, const std::map<int, CheckedFile>& checked, const std::string& sourceDir,
                           const std::string& targetDir, RunObserver& observer) {
  PackReport report;
  const std::vector<store::FileRow> rows = store.passedFiles();
  const int total = static_cast<int>(rows.size());
  for (int n = 0; n < total; ++n) {
    const store::FileRow& row = rows[static_cast<size_t>(n)];
    std::string source = sourceDir + row.filename;
    observer.status("正在压缩文件" + source);
    observer.progress(n + 1, total);
    const auto dbf = checked.find(row.fileid);
    const std::string archiveName = SwapLastThree(row.filename, "ZIP");
    const fs::path archive = platform::PathFromUtf8(targetDir) / platform::PathFromUtf8(archiveName);
    std::string keptAs;
    std::string failure =
        PackCheckedFile(dbf == checked.end() ? nullptr : &dbf->second, row.filename, archive, keptAs);
    if (!failure.empty()) {
      report.failures.push_back({source, failure});
      continue;
    }
    // Named like the archive it replaced, whose letter case may differ.
    const fs::path written = FindFileNoCase(platform::PathFromUtf8(targetDir), archiveName).value_or(archive);
    std::error_code ec;
    const std::uintmax_t size = fs::file_size(written, ec);
    report.written.push_back({platform::Utf8Of(written), ec ? 0 : size, keptAs});
  }
  // Nothing passed: the run's own message that no data file was found says it.
  if (total > 0) observer.packed(report);
  return report;
}

}  // namespace fc::pipeline
