#include "pipeline/ArchiveIntake.h"

#include <optional>

#include "pipeline/SourceFiles.h"
#include "pipeline/WorkDirs.h"
#include "pipeline/ZipEntries.h"
#include "platform/Utf8Paths.h"
#include "text/Text.h"
#include "text/Utf8.h"

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
    fs::rename(staged->file, workdir / platform::PathFromUtf8(name), ec);
    if (!ec) return;
  }
  std::optional<fs::path> temp = MakeTempFile(workdir, "unzip");
  if (!temp) return;
  if (ExtractTo(za, index, *temp)) {
    fs::rename(*temp, workdir / platform::PathFromUtf8(name), ec);
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

// The unsafe names as a finding names them ("../x、/etc/x", "a、b、c等5个"),
// each cut short: a name may be 64 KiB long.
std::string UnsafeNamesText(const ArchiveTally& tally) {
  constexpr size_t kNameShown = 80;  // characters of a name
  std::string names;
  for (const std::string& name : tally.unsafeNames) {
    if (!names.empty()) names += "、";
    const size_t cut = text::SkipCharacters(name, kNameShown);
    names += cut < name.size() ? name.substr(0, cut) + "…" : name;
  }
  if (tally.unsafeCount > tally.unsafeNames.size()) names += "等" + std::to_string(tally.unsafeCount) + "个";
  return names;
}

// Writes an archive problem, naming the entries refused for their names;
// it is also the check's outcome.
FileOutcome AddArchiveProblem(StructureContext& ctx, int fileId, FileProblem problem, const ArchiveTally& tally = {}) {
  WriteFindings(ctx.store, fileId, {{problem, UnsafeNamesText(tally)}});
  return static_cast<FileOutcome>(problem);
}

}  // namespace

ArchiveTally UnpackArchive(const fs::path& archive, const fs::path& workdir, const StagedArchive* staged) {
  EmptyWorkDir(workdir);
  FileIdentity now;
  ZipArchive za = OpenArchive(archive, &now);
  if (!za) return {};
  if (staged && now != staged->archive) staged = nullptr;
  std::string landed;
  ArchiveTally tally = VisitArchiveFiles(za.get(), workdir, [&](zip_uint64_t index, const ArchiveFile& file) {
    if (!file.writable) return;
    const StagedEntry* ahead = staged ? staged->find(index, file.name, file.size) : nullptr;
    LandEntry(za.get(), index, file.name, workdir, ahead);
    landed = file.name;
  });
  tally.landedName = std::move(landed);
  return tally;
}

FileOutcome CheckZipFile(StructureContext& ctx, const fs::path& workdir, const fs::path& archive,
                         const std::string& fileName, int fileId, ArchivePrefetch* prefetch) {
  std::shared_ptr<const StagedArchive> staged = prefetch ? prefetch->take(archive) : nullptr;
  const ArchiveTally held = UnpackArchive(archive, workdir, staged.get());
  // The archive holds what it holds, whatever this program dared to write.
  if (held.files > 1) return AddArchiveProblem(ctx, fileId, FileProblem::ArchiveManyFiles, held);
  std::vector<fs::path> files = OrdinaryFiles(workdir);
  if (files.empty()) return AddArchiveProblem(ctx, fileId, FileProblem::ArchiveUnreadable, held);
  // Judged by the entry's own name, not the one the file system kept.
  if (!text::EqualsNoCase(held.landedName, SwapLastThree(fileName, "DBF")))
    return AddArchiveProblem(ctx, fileId, FileProblem::ArchiveWrongName);
  return RecordStructureCheck(ctx, files[0], fileId);
}

}  // namespace fc::pipeline
