// The built-in structure library on any DBF bytes, under the file name of
// one of the seven kinds (the input's first byte chooses), and the decoding
// of its answer. Whatever the file holds, the answer must decode into the
// problems the library reports: field problems 4, 5, 6, 9 and 10, the date
// problem 7, or the one free-text problem 8. Text taken from the file (field
// names, date values) must never pass for part of the answer's form.
#include <memory>
#include <string>

#include "FuzzSupport.h"
#include "naming/InterfaceLayouts.h"
#include "pipeline/StructureCheck.h"
#include "store/Store.h"
#include "support/StoreRows.h"

namespace {

namespace fs = std::filesystem;

constexpr const char* kKinds[] = {"KHJBXX", "ZJZQDY", "ZJBDXX", "YYBXX", "ZHBYZ", "SFZFCJG", "SFZHCQK"};
constexpr const char* kDate = "20080808";

struct Fixture {
  fc::naming::InterfaceLayouts layouts =
      fc::naming::InterfaceLayouts::load(fc::fuzz::DataDir() / "interface" / "layouts.csv");
  std::unique_ptr<fc::store::Store> store;
  fs::path dir = fc::fuzz::ScratchDir() / "submission";

  Fixture() {
    fs::create_directories(dir);
    fs::create_directories(fc::fuzz::ScratchDir() / "home");
    store = fc::store::Store::open(fc::fuzz::ScratchDir() / "home", fc::fuzz::DataDir());
  }
};

bool IsReportedProblem(const std::string& errid) {
  static const char* const kReported[] = {"4", "5", "6", "7", "8", "9", "10"};
  for (const char* e : kReported)
    if (errid == e) return true;
  return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static Fixture f;
  if (size == 0) return 0;
  std::string name = std::string("100001_") + kKinds[data[0] % std::size(kKinds)] + "_" + kDate + "_1.DBF";
  fs::path dbf = f.dir / name;
  fc::fuzz::WriteInput(dbf, data + 1, size - 1);
  f.store->clearRun();
  fc::pipeline::StructureContext ctx{f.layouts, *f.store, kDate};
  int result = fc::pipeline::CheckDbfStructure(ctx, dbf, 1);
  fs::remove(dbf);
  auto rows = fc::test::StoreRows(*f.store, "select errid, errdesc from fileerr");
  fc::fuzz::Require(result == 0 || result == 4, "a result other than passed or failed");
  fc::fuzz::Require(rows.empty() == (result == 0), "a failed file without problems, or the reverse");
  for (const auto& row : rows)
    fc::fuzz::Require(row[0] && IsReportedProblem(*row[0]),
                      "a problem the library never reports: " + row[0].value_or("NULL") + " " +
                          row[1].value_or("NULL"));
  return 0;
}
