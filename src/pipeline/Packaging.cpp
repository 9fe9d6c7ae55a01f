#include "pipeline/Packaging.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zip.h>

#include <optional>
#include <random>

#include "pipeline/WorkDirs.h"
#include "store/Store.h"

namespace fc::pipeline {

namespace fs = std::filesystem;

namespace {

// A name in the archive's directory that nothing else uses; libzip creates
// the file itself on close, with the ordinary permissions of a new file.
fs::path TempArchiveName(const fs::path& archive) {
  std::random_device random;
  std::string suffix = std::to_string(random() % 1000000000u);
  return archive.parent_path() / ("." + archive.filename().string() + "." + suffix + ".part");
}

std::string ZipErrorText(zip_t* za) { return zip_error_strerror(zip_get_error(za)); }

// Writes the one-entry archive to `temp`; empty on success, else why not.
std::string WriteArchive(const fs::path& dbf, const std::string& entryName, const fs::path& temp,
                         const struct stat& dbfStat) {
  int error = 0;
  zip_t* za = zip_open(temp.c_str(), ZIP_CREATE | ZIP_EXCL, &error);
  if (!za) {
    zip_error_t ze;
    zip_error_init_with_code(&ze, error);
    std::string text = zip_error_strerror(&ze);
    zip_error_fini(&ze);
    return text;
  }
  zip_source_t* source = zip_source_file_create(dbf.c_str(), 0, -1, nullptr);
  zip_int64_t index = source ? zip_file_add(za, entryName.c_str(), source, ZIP_FL_ENC_UTF_8) : -1;
  if (index < 0) {
    std::string text = ZipErrorText(za);
    if (source) zip_source_free(source);
    zip_discard(za);
    return text;
  }
  zip_set_file_compression(za, static_cast<zip_uint64_t>(index), ZIP_CM_DEFLATE, 0);
  zip_file_set_mtime(za, static_cast<zip_uint64_t>(index), dbfStat.st_mtime, 0);
  if (zip_close(za) != 0) {
    std::string text = ZipErrorText(za);
    zip_discard(za);
    return text;
  }
  return {};
}

}  // namespace

std::string PackOneFile(const fs::path& dbf, const std::string& entryName, const fs::path& archive) {
  struct stat dbfStat;
  if (stat(dbf.c_str(), &dbfStat) != 0 || !S_ISREG(dbfStat.st_mode)) return "文件不存在";
  std::error_code ec;
  if (!fs::is_directory(archive.parent_path(), ec)) return "输出目录不存在";
  fs::path temp = TempArchiveName(archive);
  std::string failure = WriteArchive(dbf, entryName, temp, dbfStat);
  if (!failure.empty()) {
    fs::remove(temp, ec);
    return failure;
  }
  // The archive carries the time of its entry, as a packer asked to date the
  // archive like its newest entry would do.
  struct timespec times[2] = {{0, UTIME_NOW}, dbfStat.st_mtim};
  utimensat(AT_FDCWD, temp.c_str(), times, 0);
  std::optional<fs::path> existing = FindFileNoCase(archive.parent_path(), archive.filename().string());
  fs::rename(temp, existing ? *existing : archive, ec);
  if (!ec) return {};
  fs::remove(temp, ec);
  return "无法写入" + archive.string();
}

std::vector<PackFailure> PackPassedFiles(store::Store& store, const std::string& sourceDir,
                                         const std::string& targetDir, RunObserver& observer) {
  std::vector<PackFailure> failures;
  for (const store::FileRow& row : store.selectPassedFiles(kPassedFilesQuery)) {
    std::string source = sourceDir + row.filename;
    observer.status("正在压缩文件" + source);
    std::optional<fs::path> dbf = FindFileNoCase(sourceDir, row.filename);
    std::string archive = targetDir + SwapLastThree(row.filename, "ZIP");
    std::string failure = dbf ? PackOneFile(*dbf, row.filename, archive) : "文件不存在";
    if (!failure.empty()) failures.push_back({source, failure});
  }
  if (failures.empty()) return failures;
  std::string text = "下列文件未能生成zip压缩文件:";
  for (const PackFailure& f : failures) text += "\n" + f.source + " (" + f.reason + ")";
  observer.message(MessageKind::Information, text);
  return failures;
}

}  // namespace fc::pipeline
