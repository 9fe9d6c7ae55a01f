// A table holding records marked deleted, checked end to end as a DBF and
// as a ZIP archive: the count reaches the results and the history's report
// (page and JSON) as a fact of the file, and the verdict stays the one the
// records the check reads come to.
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <filesystem>
#include <string>
#include <vector>

#include "support/Program.h"
#include "support/SubmissionRows.h"
#include "support/TempDir.h"
#include "support/Zip.h"

namespace fc::test {
namespace {

namespace fs = std::filesystem;

const std::string kStem = "100001_YYBXX_20080808_1";
const std::string kTold = "表中有2条已删除的记录：检查和规则都不读取它们，但保留已删除记录的软件会读到";

// Runs filingcheck-cli with `args`; its exit status, stdout in `out`.
int Cli(std::vector<std::string> args, std::string& out) {
  args.insert(args.begin(), FC_CLI_PATH);
  ProgramRun run = RunProgram(args);
  out = std::move(run.out);
  return run.status;
}

TEST(DeletedRecords, AreToldWhereverTheFileIsShownAndJudgeNothing) {
  for (const std::string type : {"dbf", "zip"}) {
    SCOPED_TRACE(type);
    TempDir dir;
    const fs::path source = dir / "source", home = dir / "home";
    fs::create_directories(source);
    // The deleted two repeat the branches' keys: read, they would be a finding of R01.
    const Rows branches = Make("YYBXX", 2);
    const fs::path table = (type == "dbf" ? source : dir.path()) / (kStem + ".DBF");
    WriteRows(table, "YYBXX", Join({branches, branches}), {.deleted = {2, 3}});
    if (type == "zip") ZipWriter(source / (kStem + ".ZIP")).addFile(kStem + ".DBF", table).write();

    std::string out;
    ASSERT_EQ(Cli({"account", "--home", home.string(), "--source", source.string(), "--code", "100001", "--date",
                   "2008-08-08", "--from", "1", "--to", "1", "--kinds", "yybxx", "--type", type},
                  out),
              0)
        << out;
    EXPECT_NE(out.find(kStem + "." + (type == "dbf" ? "DBF" : "ZIP") + "  " + kTold), std::string::npos) << out;

    const fs::path json = dir / "report.json", html = dir / "report.html";
    ASSERT_EQ(Cli({"report", "--home", home.string(), "--output", json.string()}, out), 0);
    ASSERT_EQ(Cli({"report", "--home", home.string(), "--output", html.string()}, out), 0);
    const auto file = nlohmann::json::parse(ReadFileBytes(json))["run"]["files"].at(0);
    EXPECT_EQ(file["deletedRecords"], 2);
    EXPECT_EQ(file["records"], 4);  // the header counts them
    EXPECT_EQ(file["verdict"], "pass");
    EXPECT_NE(ReadFileBytes(html).find(kTold), std::string::npos);
  }
}

}  // namespace
}  // namespace fc::test
