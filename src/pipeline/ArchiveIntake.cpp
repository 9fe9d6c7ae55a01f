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

// Lands the archive's file in workdir under `name`; the staged file when it
// was decompressed ahead. Nothing of it is left when it could not be
// decompressed whole.
void LandEntry(zip_t* za, zip_uint64_t index, const std::string& name, const fs::path& workdir,
               const StagedEntry* staged) {
  std::error_code ec;
  if (staged) {
    fs::rename(staged->file, workdir / name, ec);
    if (!ec) return;
  }
  std::optional<fs::path> temp = MakeTempFile(workdir, "unzip");
  if (!temp) return;
  if (ExtractTo(za, index, *temp)) {
    fs::rename(*temp, workdir / name, ec);
    if (!ec) return;
  }
  fs::remove(*temp, ec);
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
  ctx.store.insertFinding(fileId, std::to_string(problem), text);
  return problem;
}

}  // namespace

int UnpackArchive(const fs::path& archive, const fs::path& workdir, const StagedArchive* staged) {
  EmptyWorkDir(workdir);
  struct stat now {};
  ZipArchive za = OpenArchive(archive, &now);
  if (!za) return 0;
  if (staged && IdentityOf(now) != IdentityOf(staged->archive)) staged = nullptr;
  return VisitArchiveFiles(za.get(), workdir, [&](zip_uint64_t index, const ArchiveFile& file) {
    const StagedEntry* ahead = staged ? staged->find(index, file.name, file.size) : nullptr;
    if (file.writable) LandEntry(za.get(), index, file.name, workdir, ahead);
  });
}

FileOutcome CheckZipFile(StructureContext& ctx, const fs::path& workdir, const std::string& sourceDir,
                         const std::string& fileName, int fileId, ArchivePrefetch* prefetch) {
  std::optional<fs::path> archive = FindFileNoCase(sourceDir, fileName);
  int held = 0;
  if (archive) {
    std::shared_ptr<const StagedArchive> staged = prefetch ? prefetch->take(*archive) : nullptr;
    held = UnpackArchive(*archive, workdir, staged.get());
  } else {
    EmptyWorkDir(workdir);
  }
  // The archive holds what it holds, whatever this program dared to write.
  if (held > 1) return AddArchiveProblem(ctx, fileId, kArchiveManyFiles, kZipManyFiles);
  std::vector<fs::path> files = OrdinaryFiles(workdir);
  if (files.empty()) return AddArchiveProblem(ctx, fileId, kArchiveUnreadable, kZipUnreadable);
  if (!text::EqualsNoCase(files[0].filename().string(), SwapLastThree(fileName, "DBF")))
    return AddArchiveProblem(ctx, fileId, kArchiveWrongName, kZipWrongName);
  return CheckDbfStructure(ctx, files[0], fileId);
}

}  // namespace fc::pipeline
