// The history, compare and report commands over real check runs of the
// sample submission; the report opened in a headless browser when one is
// installed (FC_WITH_BROWSER=1 scripts/install-deps.sh).
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <filesystem>
#include <string>
#include <vector>

#include "support/Program.h"
#include "support/Sha256Sum.h"
#include "support/TempDir.h"
#include "support/Zip.h"

namespace {

namespace fs = std::filesystem;

class HistoryCommands : public testing::Test {
 protected:
  fc::test::TempDir dir;
  std::string home = (dir / "home").string();
  fs::path zips = dir / "sample" / "account-zip";
  std::string out;  // stdout of the last command

  int cli(std::vector<std::string> args) {
    args.insert(args.begin(), FC_CLI_PATH);
    fc::test::ProgramRun run = fc::test::RunProgram(args);
    out = std::move(run.out);
    return run.status;
  }
  int check() {
    return cli({"account", "--home", home, "--source", zips.string(), "--code", "100001", "--date", "2008-08-08",
                "--from", "1", "--to", "2"});
  }
  void SetUp() override {
    ASSERT_EQ(cli({"sample", "--home", home, "--dir", (dir / "sample").string()}), 0);
    ASSERT_EQ(check(), 1);
  }
};

TEST_F(HistoryCommands, RunsAreListedAndComparedWithTheirExitStatus) {
  EXPECT_EQ(cli({"compare", "--home", home}), 0);  // nothing to compare with yet
  fs::remove(zips / "100001_ZHBYZ_20080808_1.ZIP");
  ASSERT_EQ(check(), 1);
  ASSERT_EQ(cli({"history", "--home", home, "--format", "tsv"}), 0);
  EXPECT_EQ(out.substr(0, out.find('\n')),
            "id\tstarted\tsubmission\tcompanyCode\tdataDate\tpassed\texpected\tfindings\tcompleted\tverdict\tfileType\tsourceDir\truleSet");
  EXPECT_NE(out.find("\n2\t"), std::string::npos);
  EXPECT_LT(out.find("\n2\t"), out.find("\n1\t"));  // newest first
  ASSERT_EQ(cli({"history", "--home", home, "--limit", "1", "--format", "json"}), 0);
  const auto runs = nlohmann::json::parse(out);
  ASSERT_EQ(runs.size(), 1u);
  EXPECT_EQ(runs[0]["id"], 2);
  EXPECT_EQ(runs[0]["verdict"], "fail");
  EXPECT_EQ(runs[0]["fileType"], "ZIP");

  EXPECT_EQ(cli({"compare", "--home", home}), 1);  // a file gone missing is worse; its finding was not checked
  EXPECT_NE(out.find("未检查"), std::string::npos);
  EXPECT_NE(out.find("R27"), std::string::npos);
  EXPECT_EQ(out.find("消除"), std::string::npos);
  EXPECT_EQ(cli({"compare", "--home", home, "--format", "json", "2", "1"}), 1);  // backwards: R27 is new
  const auto c = nlohmann::json::parse(out);
  ASSERT_EQ(c["added"].size(), 1u);
  EXPECT_EQ(c["added"][0]["errid"], "R27");
  ASSERT_EQ(c["files"].size(), 1u);
  EXPECT_EQ(c["files"][0]["filename"], "100001_ZHBYZ_20080808_1.ZIP");
  EXPECT_EQ(cli({"compare", "--home", home, "9"}), 2);
  EXPECT_EQ(cli({"history", "--home", home, "--keep", "1"}), 0);
  ASSERT_EQ(check(), 1);
  ASSERT_EQ(cli({"history", "--home", home, "--format", "tsv"}), 0);
  EXPECT_EQ(out.find("\n2\t"), std::string::npos);
  EXPECT_NE(out.find("\n3\t"), std::string::npos);
}

TEST_F(HistoryCommands, ReportHoldsTheRunsFactsAndTheFilesChecksums) {
  const fs::path json = dir / "report.json", html = dir / "report.html";
  ASSERT_EQ(cli({"report", "--home", home, "--output", json.string()}), 0);
  ASSERT_EQ(cli({"report", "--home", home, "--run", "1", "--output", html.string()}), 0);
  const auto report = nlohmann::json::parse(fc::test::ReadFileBytes(json));
  const std::string page = fc::test::ReadFileBytes(html);
  EXPECT_EQ(report["run"]["companyCode"], "100001");
  EXPECT_EQ(report["run"]["dataDate"], "20080808");
  EXPECT_EQ(report["run"]["sourceDir"], zips.string() + "/");
  EXPECT_EQ(report["summary"]["expected"], 10);
  EXPECT_EQ(report["summary"]["present"], 9);
  EXPECT_EQ(report["run"]["verdict"], "fail");
  int passed = 0;
  for (const auto& file : report["run"]["files"]) passed += file["verdict"] == "pass";
  EXPECT_EQ(report["summary"]["passed"], passed);
  EXPECT_EQ(report["recordsKept"], true);
  ASSERT_EQ(report["run"]["files"].size(), 10u);
  for (const auto& file : report["run"]["files"]) {
    const fs::path found = zips / file["filename"].get<std::string>();
    if (file["isexist"] == 0) {
      EXPECT_EQ(file["sha256"], "");
      continue;
    }
    const std::string sum = fc::test::Sha256Sum(found);
    EXPECT_EQ(file["sha256"], sum) << found;
    EXPECT_EQ(file["size"], fs::file_size(found));
    EXPECT_NE(page.find(sum), std::string::npos) << found;
  }
  for (const auto& finding : report["findings"]) EXPECT_NE(page.find(finding["errid"].get<std::string>()), std::string::npos);
  // The PDF of a kept run, as the window writes it, says the same.
  const fs::path pdf = dir / "report.pdf";
  ASSERT_EQ(cli({"report", "--home", home, "--run", "1", "--output", pdf.string()}), 0);
  if (fc::test::HasProgram("pdftotext")) {
    const std::string text = fc::test::ProgramOutput({"pdftotext", "-enc", "UTF-8", pdf.string(), "-"});
    EXPECT_NE(text.find("检查结论：不通过"), std::string::npos);
    for (const auto& finding : report["findings"])
      EXPECT_NE(text.find("错误编号 " + finding["errid"].get<std::string>()), std::string::npos) << finding["errid"];
  }
  ASSERT_EQ(cli({"results", "--home", home, "--format", "json"}), 0);
  size_t problems = 0;
  const auto results = nlohmann::json::parse(out);
  for (const auto& row : results["results"]) problems += !row["errid"].is_null();
  EXPECT_EQ(report["findings"].size(), problems);
  EXPECT_EQ(cli({"report", "--home", home, "--run", "7", "--output", json.string()}), 2);
  EXPECT_EQ(cli({"report", "--home", home, "--output", (dir / "report.txt").string()}), 2);
}

// The page as a browser sees it: chromium renders it to PDF and to an image
// without fetching anything, and the PDF's pages convert to images.
TEST_F(HistoryCommands, ReportOpensInAHeadlessBrowserAndPrints) {
  if (!fc::test::HasProgram("chromium")) GTEST_SKIP() << "chromium is not installed";
  const fs::path html = dir / "report.html", pdf = dir / "report.pdf", png = dir / "report.png";
  ASSERT_EQ(cli({"report", "--home", home, "--output", html.string()}), 0);
  const auto browser = [&](const std::vector<std::string>& what) {
    std::vector<std::string> args = {"chromium", "--headless", "--no-sandbox", "--disable-gpu", "--no-first-run",
                                     "--disable-background-networking", "--disable-component-update",
                                     "--disable-sync", "--user-data-dir=" + (dir / "profile").string()};
    args.insert(args.end(), what.begin(), what.end());
    args.push_back("file://" + html.string());
    return fc::test::RunProgram(args).status;
  };
  ASSERT_EQ(browser({"--print-to-pdf=" + pdf.string(), "--no-pdf-header-footer"}), 0);
  ASSERT_EQ(fc::test::ReadFileBytes(pdf).substr(0, 5), "%PDF-");
  ASSERT_EQ(browser({"--window-size=1000,1400", "--screenshot=" + png.string()}), 0);
  EXPECT_GT(fs::file_size(png), 10000u);
  if (!fc::test::HasProgram("pdftoppm")) return;
  ASSERT_EQ(fc::test::RunProgram({"pdftoppm", "-r", "40", "-png", pdf.string(), (dir / "page").string()}).status, 0);
  EXPECT_TRUE(fs::exists(dir / "page-1.png"));
}

}  // namespace
