// The built-in structure library on any DBF bytes, under the file name of
// one of the seven kinds (the input's first byte chooses), and the rows its
// findings become. Whatever the file holds, the library may only report
// field problems (4, 5, 6, 9, 10) with the field they name, the other dates
// (7) once and last, or the one sentence (8) alone; each finding must become
// exactly its own row in a real store, names and dates as the file has them.
#include <memory>
#include <string>
#include <vector>

#include "FuzzSupport.h"
#include "naming/InterfaceLayouts.h"
#include "pipeline/StructureCheck.h"
#include "store/Store.h"
#include "support/StoreRows.h"

namespace {

namespace fs = std::filesystem;
using fc::pipeline::FileFinding;
using fc::pipeline::FileProblem;

constexpr const char* kKinds[] = {"KHJBXX", "ZJZQDY", "ZJBDXX", "YYBXX", "ZHBYZ", "SFZFCJG", "SFZHCQK"};
constexpr const char* kDate = "20080808";

struct Fixture {
  fc::naming::InterfaceLayouts layouts =
      fc::naming::InterfaceLayouts::load(fc::fuzz::DataDir() / "rulesets" / "interface-1" / "layouts.csv");
  std::unique_ptr<fc::store::Store> store;
  fs::path dir = fc::fuzz::ScratchDir() / "submission";

  Fixture() {
    fs::create_directories(dir);
    fs::create_directories(fc::fuzz::ScratchDir() / "home");
    store = fc::store::Store::open(fc::fuzz::ScratchDir() / "home", fc::fuzz::DataDir());
  }
};

bool IsStructureProblem(FileProblem p) {
  return p >= FileProblem::FieldLength && p <= FileProblem::IdeographicBlank;
}

// The findings of values (11 and on) name their records and come last.
bool IsValueProblem(FileProblem p) { return p >= FileProblem::FieldNull; }

void RequireWellFormed(const std::vector<FileFinding>& found) {
  for (size_t i = 0; i < found.size(); ++i) {
    const FileFinding& f = found[i];
    fc::fuzz::Require(IsStructureProblem(f.problem), "a problem the library never reports");
    fc::fuzz::Require(!f.subject.empty(), "a finding that names nothing");
    fc::fuzz::Require(f.subject.find('\0') == std::string::npos, "a NUL in a finding's subject");
    if (f.problem == FileProblem::CannotCheck) fc::fuzz::Require(found.size() == 1, "a sentence beside other findings");
    if (f.problem == FileProblem::OtherDates)
      fc::fuzz::Require(i + 1 == found.size() || IsValueProblem(found[i + 1].problem), "dates before a field problem");
    if (i > 0 && IsValueProblem(found[i - 1].problem))
      fc::fuzz::Require(IsValueProblem(f.problem), "a field problem after the values' findings");
    if (IsValueProblem(f.problem))
      fc::fuzz::Require(f.record > 0 ? f.records > 0 : f.problem == FileProblem::FieldNull && f.records == 0,
                        "a value's finding without its record");
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static Fixture f;
  if (size == 0) return 0;
  std::string name = std::string("100001_") + kKinds[data[0] % std::size(kKinds)] + "_" + kDate + "_1.DBF";
  fs::path dbf = f.dir / name;
  fc::fuzz::WriteInput(dbf, data + 1, size - 1);
  std::vector<FileFinding> found = fc::pipeline::CheckStructure(f.layouts, dbf, kDate);
  fs::remove(dbf);
  RequireWellFormed(found);
  f.store->clearRun();
  fc::pipeline::WriteFindings(*f.store, 1, found);
  auto rows = fc::test::StoreRows(*f.store, "select errid, errdesc from fileerr order by rowid");
  fc::fuzz::Require(rows.size() == found.size(), "not one row per finding");
  for (size_t i = 0; i < rows.size(); ++i) {
    fc::fuzz::Require(rows[i][0] == std::to_string(static_cast<int>(found[i].problem)), "a row of another problem");
    fc::fuzz::Require(rows[i][1] && rows[i][1]->find(found[i].subject) != std::string::npos,
                      "a row that does not name its subject as it is");
  }
  return 0;
}
