#include "pipeline/ArchiveIntake.h"

#include <optional>

#include "pipeline/SourceFiles.h"
#include "pipeline/WorkDirs.h"
#include "pipeline/ZipEntries.h"
#include "store/Store.h"
#include "text/Text.h"

namespace fc::pipeline {

namespace fs = std::filesystem;

namespace {

// Lands one entry in workdir under `name`, replacing an earlier spelling;
// the staged file when it was decompressed ahead. False when the entry could
// not be decompressed whole (nothing of it is left then).
bool LandEntry(zip_t* za, zip_uint64_t index, const std::string& name,
               const fs::path& workdir, const StagedEntry* staged) {
  std::error_code ec;
  if (staged) {
    std::optional<fs::path> earlier = FindFileNoCase(workdir, name);
    if (earlier && earlier->filename() != name) fs::remove(*earlier, ec);
    fs::rename(staged->file, workdir / name, ec);
    if (!ec) return true;
  }
  std::optional<fs::path> temp = MakeTempFile(workdir, "unzip");
  if (!temp) return false;
  if (!ExtractTo(za, index, *temp)) {
    fs::remove(*temp, ec);
    return false;
  }
  std::optional<fs::path> earlier = FindFileNoCase(workdir, name);
  if (earlier && earlier->filename() != name) fs::remove(*earlier, ec);
  fs::rename(*temp, workdir / name, ec);
  if (!ec) return true;
  fs::remove(*temp, ec);
  return false;
}

std::vector<fs::path> OrdinaryFiles(const fs::path& dir) {
  std::vector<fs::path> files;
  std::error_code ec;
  for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
    std::error_code statEc;
    if (it->symlink_status(statEc).type() == fs::file_type::regular) files.push_back(it->path());
  }
  return files;
}

// Writes an archive problem, its outcome the errid.
FileOutcome AddArchiveProblem(StructureContext& ctx, int fileId, FileOutcome problem, const char* text) {
  ctx.store.addErrRow(fileId, std::to_string(problem), text);
  return problem;
}

}  // namespace

std::vector<std::string> UnpackArchive(const fs::path& archive, const fs::path& workdir,
                                       const StagedArchive* staged) {
  EmptyWorkDir(workdir);
  std::vector<std::string> withheld;
  struct stat now {};
  ZipArchive za = OpenArchive(archive, &now);
  if (!za) return withheld;
  if (staged && IdentityOf(now) != IdentityOf(staged->archive)) staged = nullptr;
  VisitArchiveFiles(za.get(), workdir, [&](zip_uint64_t index, const ArchiveFile& file) {
    const StagedEntry* ahead = staged ? staged->find(index, file.name, file.size) : nullptr;
    if (!file.writable || !LandEntry(za.get(), index, file.name, workdir, ahead))
      withheld.push_back(file.name);
    return true;
  });
  return withheld;
}

FileOutcome CheckZipFile(StructureContext& ctx, const fs::path& workdir, const std::string& sourceDir,
                         const std::string& fileName, int fileId, ArchivePrefetch* prefetch) {
  std::optional<fs::path> archive = FindFileNoCase(sourceDir, fileName);
  std::vector<std::string> withheld;
  if (archive) {
    std::shared_ptr<const StagedArchive> staged = prefetch ? prefetch->take(*archive) : nullptr;
    withheld = UnpackArchive(*archive, workdir, staged.get());
  } else {
    EmptyWorkDir(workdir);
  }
  std::vector<fs::path> files = OrdinaryFiles(workdir);
  // The files that landed and those withheld for safety count alike: the
  // archive holds what it holds, whatever this program dared to write.
  std::vector<std::string> names;
  for (const fs::path& file : files) AddDistinctName(names, file.filename().string());
  for (const std::string& name : withheld) AddDistinctName(names, name);
  if (names.size() > 1) return AddArchiveProblem(ctx, fileId, kArchiveManyFiles, kZipManyFiles);
  if (files.empty()) return AddArchiveProblem(ctx, fileId, kArchiveUnreadable, kZipUnreadable);
  if (!text::EqualsNoCase(files[0].filename().string(), SwapLastThree(fileName, "DBF")))
    return AddArchiveProblem(ctx, fileId, kArchiveWrongName, kZipWrongName);
  return CheckDbfStructure(ctx, files[0], fileId);
}

}  // namespace fc::pipeline
