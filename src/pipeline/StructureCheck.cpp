#include "pipeline/StructureCheck.h"


namespace fc::pipeline {

FileOutcome RecordStructureCheck(StructureContext& ctx, const std::filesystem::path& dbf, int fileId) {
  uint32_t deleted = 0;
  std::vector<FileFinding> found = CheckStructure(ctx.layouts, dbf, ctx.dataDate, ctx.threads, &deleted);
  if (deleted > 0) ctx.deletedRecords[fileId] = deleted;
  if (found.empty()) return kFilePassed;
  WriteFindings(ctx.store, fileId, found);
  return kStructureProblems;
}

}  // namespace fc::pipeline
