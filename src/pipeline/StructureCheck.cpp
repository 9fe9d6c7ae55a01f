#include "pipeline/StructureCheck.h"

#include "pipeline/WorkDirs.h"
#include "platform/Utf8Paths.h"

namespace fc::pipeline {

FileOutcome RecordStructureCheck(StructureContext& ctx, const std::filesystem::path& dbf, int fileId) {
  uint32_t deleted = 0;
  std::vector<FileFinding> found = CheckStructure(ctx.layouts, dbf, ctx.dataDate, ctx.threads, &deleted);
  if (deleted > 0) ctx.deletedRecords[fileId] = deleted;
  if (found.empty()) return kFilePassed;
  WriteFindings(ctx.store, fileId, found);
  return kStructureProblems;
}

FileOutcome CheckDbfFile(StructureContext& ctx, const std::string& sourceDir, const std::string& fileName,
                         int fileId) {
  std::filesystem::path dbf =
      FindFileNoCase(platform::PathFromUtf8(sourceDir), fileName).value_or(platform::PathFromUtf8(sourceDir) / platform::PathFromUtf8(fileName));
  return RecordStructureCheck(ctx, dbf, fileId);
}

}  // namespace fc::pipeline
