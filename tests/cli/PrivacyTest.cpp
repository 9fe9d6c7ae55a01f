// Personal values through every output of the command-line program, on a
// real check of the sample submission. The program runs from a directory of
// its own whose interface agreement also marks the account number ZJZH as an
// identity number and the account type ZJZHLB as a name, so that the sample's
// findings carry personal values in their records and value counts.
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "support/Program.h"
#include "support/TempDir.h"
#include "support/Zip.h"

namespace {

namespace fs = std::filesystem;

// The shipped agreement with ZJZH marked "id" and ZJZHLB marked "name".
void WriteMarkedAgreement(const fs::path& data) {
  fs::copy(FC_SOURCE_DATA_DIR, data, fs::copy_options::recursive);
  const fs::path csv = data / "rulesets" / "interface-1" / "layouts.csv";
  std::ifstream in(csv);
  std::ostringstream marked;
  for (std::string line; std::getline(in, line);) {
    if (line.find(",ZJZH,") != std::string::npos) line += ",id";
    if (line.find(",ZJZHLB,") != std::string::npos) line += ",name";
    marked << line << "\n";
  }
  in.close();
  std::ofstream(csv) << marked.str();
}

class Privacy : public testing::Test {
 protected:
  fc::test::TempDir dir;
  fs::path program = dir / "bin" / fs::path(FC_CLI_PATH).filename();
  std::string home = (dir / "home").string();
  std::string out;  // stdout of the last command

  void SetUp() override {
    fs::create_directories(dir / "bin");
    fs::copy_file(FC_CLI_PATH, program);
    WriteMarkedAgreement(dir / "bin" / "data");
    ASSERT_EQ(cli({"sample", "--home", home, "--dir", (dir / "sample").string()}), 0);
    ASSERT_EQ(cli({"account", "--home", home, "--source", (dir / "sample" / "account-zip").string(), "--code",
                   "100001", "--date", "2008-08-08", "--from", "1", "--to", "2"}),
              1);
  }

  int cli(std::vector<std::string> args) {
    args.insert(args.begin(), program.string());
    fc::test::ProgramRun run = fc::test::RunProgram(args);
    out = std::move(run.out);
    return run.status;
  }

  // `records` in `format`; a workbook's sheets as their XML in `out`.
  int records(const std::string& format, bool noMask) {
    std::vector<std::string> args = {"records", "--home", home, "--format", format};
    if (noMask) args.push_back("--no-mask");
    if (format != "xlsx") return cli(args);
    const fs::path book = dir / "records.xlsx";
    args.insert(args.end(), {"--output", book.string()});
    const int status = cli(args);
    out.clear();
    for (const auto& [name, xml] : fc::test::ReadZip(book))
      if (name.starts_with("xl/worksheets/") && name.ends_with(".xml")) out += xml;
    return status;
  }

  // The real account numbers behind the findings, as the operator may see them.
  std::set<std::string> realNumbers() {
    EXPECT_EQ(cli({"records", "--home", home, "--format", "json", "--no-mask"}), 0);
    std::set<std::string> numbers;
    for (const auto& record : nlohmann::json::parse(out))
      if (record["values"].contains("ZJZH")) numbers.insert(record["values"]["ZJZH"].get<std::string>());
    return numbers;
  }

  // Every byte of a database file of the home with its journal.
  std::string databaseBytes(const std::string& name) const {
    std::string bytes;
    for (const char* suffix : {"", "-wal"}) {
      std::error_code ec;
      if (fs::exists(dir / "home" / (name + suffix), ec)) bytes += fc::test::ReadFileBytes(dir / "home" / (name + suffix));
    }
    return bytes;
  }
};

TEST_F(Privacy, IdentityNumbersAreMaskedInEveryOutputAndTheHistoryUnlessTheOperatorAsks) {
  const std::set<std::string> real = realNumbers();
  ASSERT_FALSE(real.empty());
  const std::string one = *real.begin();
  const std::string masked = one.substr(0, 6) + std::string(one.size() - 10, '*') + one.substr(one.size() - 4);
  for (const char* format : {"table", "tsv", "csv", "json", "xlsx"}) {
    SCOPED_TRACE(format);
    ASSERT_EQ(records(format, false), 0);
    EXPECT_NE(out.find(masked), std::string::npos);
    for (const std::string& number : real) EXPECT_EQ(out.find(number), std::string::npos) << number;
  }
  cli({"results", "--home", home, "--format", "json"});
  EXPECT_NE(out.find("\"records\""), std::string::npos);
  for (const std::string& number : real) EXPECT_EQ(out.find(number), std::string::npos) << number;
  for (const char* name : {"report.html", "report.json"}) {
    SCOPED_TRACE(name);
    ASSERT_EQ(cli({"report", "--home", home, "--output", (dir / name).string()}), 0);
    const std::string report = fc::test::ReadFileBytes(dir / name);
    EXPECT_NE(report.find(masked), std::string::npos);
    for (const std::string& number : real) EXPECT_EQ(report.find(number), std::string::npos) << number;
  }
  // Names are masked in the report, their counts those of the real values.
  int names = 0;
  const nlohmann::json report = nlohmann::json::parse(fc::test::ReadFileBytes(dir / "report.json"));
  for (const auto& finding : report["findings"])
    for (const auto& count : finding["valueCounts"])
      if (count["field"] == "ZJZHLB") {
        ++names;
        EXPECT_EQ(count["value"].get<std::string>().back(), '*') << count;
      }
  EXPECT_GT(names, 0);
  for (const std::string& number : real) EXPECT_EQ(databaseBytes("history.db").find(number), std::string::npos);

  ASSERT_EQ(cli({"report", "--home", home, "--no-mask", "--output", (dir / "whole.json").string()}), 0);
  EXPECT_NE(fc::test::ReadFileBytes(dir / "whole.json").find(one), std::string::npos);
  for (const char* format : {"csv", "xlsx"}) {
    ASSERT_EQ(records(format, true), 0);
    for (const std::string& number : real) EXPECT_NE(out.find(number), std::string::npos) << format << number;
  }
}

TEST_F(Privacy, ForgetEmptiesTheHistoryAndTheRecordsLeavingNoTrace) {
  const std::set<std::string> real = realNumbers();
  ASSERT_FALSE(real.empty());
  ASSERT_EQ(cli({"forget", "--home", home}), 0);
  ASSERT_EQ(cli({"history", "--home", home, "--format", "json"}), 0);
  EXPECT_TRUE(nlohmann::json::parse(out).empty()) << out;
  EXPECT_TRUE(realNumbers().empty());
  cli({"results", "--home", home, "--format", "tsv"});  // the latest results themselves stay
  EXPECT_NE(out.find("R02"), std::string::npos);
  for (const char* db : {"dravmel.mdb", "history.db"})
    for (const std::string& number : real) EXPECT_EQ(databaseBytes(db).find(number), std::string::npos) << db;
  EXPECT_EQ(cli({"forget", "--home", (dir / "nowhere").string()}), 0);
  EXPECT_FALSE(fs::exists(dir / "nowhere" / "dravmel.mdb"));
}

}  // namespace
