// The headless check as an operator's script drives it: sample, account,
// identity and results, judged by exit status, stdout and stderr.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "Version.h"
#include "platform/FileLock.h"
#include "ruleset/RuleSet.h"
#include "support/Program.h"
#include "support/RuleSetCopy.h"
#include "support/TempDir.h"
#include "support/Zip.h"

namespace {

using Result = fc::test::ProgramRun;

class CheckCommands : public testing::Test {
 protected:
  fc::test::TempDir dir;
  std::string home = (dir / "home").string();
  std::string sample = (dir / "sample").string();

  Result cli(std::vector<std::string> args) {
    args.insert(args.begin(), FC_CLI_PATH);
    return fc::test::RunProgram(args);
  }
  Result account(const std::string& source, std::vector<std::string> more = {}) {
    std::vector<std::string> args = {"account", "--home", home, "--source", source, "--code", "100001",
                                     "--date", "2008-08-08", "--from", "1", "--to", "2"};
    args.insert(args.end(), more.begin(), more.end());
    return cli(args);
  }
  void SetUp() override { ASSERT_EQ(cli({"sample", "--home", home, "--dir", sample}).status, 0); }
};

// The digest every result of the shipped set carries.
std::string ShippedSetDigest() { return fc::ruleset::RuleSetDigest(fc::test::ShippedSet()); }

size_t Count(const std::string& text, const std::string& part) {
  size_t n = 0;
  for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
  return n;
}

TEST_F(CheckCommands, SampleShowsItsDeliberateProblemsAndFailsTheCheck) {
  Result r = account(sample + "/account-zip");
  EXPECT_EQ(r.status, 1);
  for (const char* expected : {"R02", "R04", "R06", "R16", "R27", "字段KHQC长度不符合接口规范",
                               "存在非指定日期20080807的数据", "ZIP文件中文件命名不正确", "100001_ZJBDXX_20080808_2.ZIP"})
    EXPECT_NE(r.out.find(expected), std::string::npos) << expected;
  EXPECT_NE(r.err.find("检查序号为 1的KHJBXX文件数据逻辑......\n"), std::string::npos);
  EXPECT_NE(r.err.find("文件检查完毕,请查看检查结果\n"), std::string::npos);

  r = cli({"identity", "--home", home, "--source", sample + "/identity-zip", "--code", "100001", "--date",
           "2008-08-08", "--comparison-date", "2008-08-04"});
  EXPECT_EQ(r.status, 1);
  for (const char* expected : {"R02", "R05", "R14", "100001_SFZHCQK_20080804.ZIP"})
    EXPECT_NE(r.out.find(expected), std::string::npos) << expected;
}

TEST_F(CheckCommands, CleanSubmissionExitsZeroAndJsonHasOneObjectPerRow) {
  Result r = account(sample + "/account-zip", {"--kinds", "yybxx", "--to", "1"});
  EXPECT_EQ(r.status, 2);  // --to given twice
  r = cli({"account", "--home", home, "--source", sample + "/account-zip", "--code", "100001", "--date",
           "2008-08-08", "--from", "1", "--to", "1", "--kinds", "yybxx"});
  EXPECT_EQ(r.status, 0) << r.err;

  r = cli({"results", "--home", home, "--format", "json"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out,
            "{\"verdict\": \"pass\",\n \"verdictText\": \"通过：应报文件1个，全部存在并通过检查，没有发现问题\",\n"
            " \"results\": [\n  {\"groupno\": \"1\", \"filecat\": \"证券营业部信息表\", \"filename\": "
            "\"100001_YYBXX_20080808_1.ZIP\", \"isexist\": \"1\", \"isok\": \"1\", \"errid\": null, "
            "\"errdesc\": null}\n ],\n \"skipped\": [],\n \"ruleSet\": {\"name\": \"interface\", \"version\": \"1\", "
            "\"sha256\": \"" + ShippedSetDigest() + "\"}}\n");

  account(sample + "/account-zip");
  r = cli({"results", "--home", home, "--format", "json"});
  Result tsv = cli({"results", "--home", home, "--format", "tsv"});
  EXPECT_EQ(Count(r.out, "{\"groupno\""), Count(tsv.out, "\n") - 1);  // one object per result row
  EXPECT_NE(r.out.find("\"errid\": \"R02\""), std::string::npos);
  EXPECT_EQ(cli({"results", "--home", home, "--format", "xml"}).status, 2);
}

// Submissions a hostile sender might shape so that part of them escapes the
// check; each must fail, with its reason. The branch table of group 1 alone
// passes as the sample has it.
class MalformedSubmission : public CheckCommands {
 protected:
  const std::string table = "100001_YYBXX_20080808_1.DBF";
  Result check(const std::string& type) {
    return cli({"account", "--home", home, "--source", sample + "/account-" + type, "--code", "100001", "--date",
                "2008-08-08", "--from", "1", "--to", "1", "--kinds", "yybxx", "--type", type});
  }
  void expectFails(const Result& r, const std::string& reason) {
    EXPECT_EQ(r.status, 1) << r.err;
    EXPECT_TRUE(r.out.starts_with("结论：不通过")) << r.out;
    EXPECT_NE(r.out.find(reason), std::string::npos) << r.out;
  }
};

TEST_F(MalformedSubmission, RecordsPastTheHeadersCountFailTheTable) {
  ASSERT_EQ(check("dbf").status, 0);
  const std::filesystem::path dbf = std::filesystem::path(sample) / "account-dbf" / table;
  std::string bytes = fc::test::ReadFileBytes(dbf);
  ASSERT_EQ(bytes[4], 2);
  bytes[4] = 1;  // the second record goes on past the count
  std::ofstream(dbf, std::ios::binary) << bytes;
  expectFails(check("dbf"), "8         文件不是有效的DBF表：文件头声明1条记录，连同文件头应为534字节（可另加1字节结束标志0x1A），文件却有876字节");
}

TEST_F(MalformedSubmission, EntriesInFoldersOrClimbingOutCountBesideTheTable) {
  const std::filesystem::path archive = std::filesystem::path(sample) / "account-zip" / "100001_YYBXX_20080808_1.ZIP";
  const std::string good = fc::test::ReadZip(archive).at(table);
  fc::test::ZipWriter(archive).add(table, good).add("sub/" + table, "another table").add("../x", "x")
      .add("/etc/x", "x").write();
  expectFails(check("zip"), "1         ZIP文件里有多个文件；路径不安全、未解压的文件：../x、/etc/x");
}

// A file system that tells them apart may hold beside the table a file that
// Windows takes for it (and shows one of the two alone).
TEST_F(MalformedSubmission, FilesWindowsNamesLikeTheTableFailIt) {
  const std::filesystem::path dir = std::filesystem::path(sample) / "account-dbf";
  const std::vector<std::pair<std::string, std::string>> twins = {
      {"100001_yybxx_20080808_1.dbf", "字母大小写"}, {table + ".", "字母大小写或末尾的点、空格"},
      {table + " ", "字母大小写或末尾的点、空格"}};
  for (const auto& [twin, differ] : twins) {
    std::filesystem::copy_file(dir / table, dir / twin);
    const std::string names = table < twin ? table + "、" + twin : twin + "、" + table;
    expectFails(check("dbf"), "有多个文件名只是" + differ + "不同的文件：" + names + "，无法确定应检查哪一个");
    std::filesystem::remove(dir / twin);
  }
}

TEST_F(CheckCommands, InvalidInputsAreRefusedWithTheWindowsMessages) {
  struct Case {
    std::vector<std::string> args;
    std::string message;
  };
  std::string zip = sample + "/account-zip";
  std::vector<Case> cases = {
      {{"--code", "10001"}, "证券公司编码必须6位"},
      {{"--code", "1000a1"}, "证券公司编码不正确，有非数字字符"},
      {{"--from", "3"}, "开始序号大于结束序号"},
      {{"--from", "a"}, "开始序号不正确"},
      {{"--date", "2008-02-30"}, "数据日期输入错误，要求格式为YYYY-MM-DD"},
      {{"--type", "dbf", "--pack"}, "ZIP生成目录不能为空"},
      {{"--type", "dbf", "--pack", "--output", (dir / "nowhere").string()}, "ZIP生成目录" + (dir / "nowhere").string() + "不存在"},
      {{"--source", " "}, "ZIP文件目录不能为空"},
      {{"--source", zip + " x"}, "对不起本软件不允许比对路径包含空格，请您重新填写。"},
      {{"--kinds", "KHJBXX,QTXX"}, "QTXX"},
      {{"--type", "rar"}, "--type 只能取 zip 或 dbf"},
      {{"--threads", "many"}, "--threads 应为不超过"},
      {{"--frobnicate", "1"}, "未知的选项 '--frobnicate'"},
      {{"--source", home + "/workdir"}, "ZIP文件目录" + home + "/workdir与该软件工作目录冲突，请选择其它目录！"},
      {{"--type", "dbf", "--pack", "--output", home + "/dbfdir"}, "ZIP生成目录" + home + "/dbfdir与该软件工作目录冲突"},
  };
  // The operator's archive kept there is never emptied away by a run.
  std::filesystem::create_directories(home + "/workdir");
  const std::string kept = home + "/workdir/100001_KHJBXX_20080808_1.ZIP";
  std::filesystem::copy_file(zip + "/100001_KHJBXX_20080808_1.ZIP", kept);
  for (const Case& c : cases) {
    std::vector<std::string> args = {"account", "--home", home};
    std::vector<std::string> base = {"--source", zip, "--code", "100001", "--date", "2008-08-08", "--from", "1", "--to", "2"};
    for (size_t i = 0; i < base.size(); i += 2) {
      bool overridden = false;
      for (size_t k = 0; k < c.args.size(); k += 2) overridden |= c.args[k] == base[i];
      if (!overridden) args.insert(args.end(), {base[i], base[i + 1]});
    }
    args.insert(args.end(), c.args.begin(), c.args.end());
    Result r = cli(args);
    EXPECT_EQ(r.status, 2) << c.message;
    EXPECT_NE(r.err.find(c.message), std::string::npos) << c.message << "\n" << r.err;
    EXPECT_TRUE(r.out.empty()) << c.message;
  }
  EXPECT_TRUE(std::filesystem::exists(kept));
}

TEST_F(CheckCommands, UnknownCompanyProceedsWithAWarning) {
  Result r = cli({"identity", "--home", home, "--source", sample + "/identity-zip", "--code", "999999", "--date",
                  "2008-08-08"});
  EXPECT_EQ(r.status, 1);  // nothing of company 999999 there
  EXPECT_NE(r.err.find("证券公司清单中没有找到"), std::string::npos);
  EXPECT_NE(r.err.find("没有2008/08/08的数据文件"), std::string::npos);
  EXPECT_NE(r.out.find("999999_SFZFCJG_20080808.ZIP"), std::string::npos);
}

TEST_F(CheckCommands, PackingOnlyWhenAsked) {
  std::string out = (dir / "out").string();
  std::filesystem::create_directories(out);
  account(sample + "/account-dbf", {"--type", "dbf", "--output", out});
  EXPECT_TRUE(std::filesystem::is_empty(out));
  const Result r = account(sample + "/account-dbf", {"--type", "dbf", "--output", out, "--pack"});
  EXPECT_NE((r.out + r.err).find("是否生成zip压缩文件? 是 (--pack)\n检查结论：不通过："), std::string::npos) << r.err;
  EXPECT_NE((r.out + r.err).find("但有规则检查问题，也会被压缩：100001_KHJBXX_20080808_1.DBF"), std::string::npos);
  EXPECT_EQ(fc::test::ReadZip(dir / "out" / "100001_KHJBXX_20080808_1.ZIP").size(), 1u);
  EXPECT_FALSE(std::filesystem::exists(dir / "out" / "100001_KHJBXX_20080808_2.ZIP"));  // failed its check
}

TEST_F(CheckCommands, OutputDirectoryOnlyForPacking) {
  Result r = account(sample + "/account-dbf", {"--type", "dbf"});
  EXPECT_EQ(r.status, 1) << r.err;
  EXPECT_NE(r.out.find("100001_KHJBXX_20080808_1.DBF"), std::string::npos);
  r = cli({"identity", "--home", home, "--source", sample + "/identity-dbf", "--code", "100001", "--date",
           "2008-08-08", "--type", "dbf"});
  EXPECT_NE(r.status, 2) << r.err;
}

TEST_F(CheckCommands, ResultsOfAHomeWithoutAStoreAreNoneAndNothingIsCreated) {
  for (const std::string& where : {(dir / "nowhere").string(), sample}) {
    Result r = cli({"results", "--home", where});
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err, "应用目录" + where + "中还没有检查结果\n");
    EXPECT_TRUE(r.out.empty());
  }
  EXPECT_FALSE(std::filesystem::exists(dir / "nowhere"));
  EXPECT_FALSE(std::filesystem::exists(std::filesystem::path(sample) / "dravmel.mdb"));
}

TEST_F(CheckCommands, AHomeThatCannotBeUsedIsToldWhy) {
  std::filesystem::create_directories(dir / "home" / ".filingcheck.lock");
  Result r = account(sample + "/account-zip");
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.err.find("无法打开锁文件" + (dir / "home" / ".filingcheck.lock").string() + "：是一个目录"), std::string::npos)
      << r.err;
  const std::string under = (dir / "file" / "home").string();
  dir.write("file", "x");
  r = cli({"account", "--home", under, "--source", sample + "/account-zip", "--code", "100001", "--date",
           "2008-08-08", "--from", "1", "--to", "1"});
  EXPECT_EQ(r.err, "应用目录无法使用：无法创建目录" + under + "：不是目录\n");
}

TEST_F(CheckCommands, RunIsRefusedWhileAnotherProcessHoldsTheHome) {
  ASSERT_EQ(account(sample + "/account-zip").status, 1);
  std::string before = cli({"results", "--home", home, "--format", "tsv"}).out;
  Result r;
  {
    fc::platform::FileLock other(dir / "home" / ".filingcheck.lock");
    ASSERT_TRUE(other.held());
    r = account(sample + "/account-zip", {"--kinds", "YYBXX"});
  }
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.err.find("另一个检查"), std::string::npos) << r.err;
  EXPECT_EQ(cli({"results", "--home", home, "--format", "tsv"}).out, before);
}

TEST_F(CheckCommands, VersionAndHelpAnswerWithoutACommand) {
  Result r = cli({"--version"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, std::string("filingcheck-cli ") + fc::kVersion + "\n");
  r = cli({"--help"});
  EXPECT_EQ(r.status, 0);
  EXPECT_NE(r.out.find("filingcheck-cli --version"), std::string::npos);
  r = cli({"--versions"});
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.err.find("未知的命令"), std::string::npos);
}

TEST_F(CheckCommands, RecordsBehindTheFindingsInEveryFormatUpToTheLimit) {
  auto identity = [&](const std::string& limit) {
    return cli({"identity", "--home", home, "--source", sample + "/identity-zip", "--code", "100001", "--date",
                "2008-08-08", "--comparison-date", "2008-08-04", "--records-limit", limit});
  };
  EXPECT_EQ(identity("-1").status, 2);
  ASSERT_EQ(identity("1").status, 1);
  Result r = cli({"records", "--home", home, "--rule", "r02", "--format", "json"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out,
            "[\n {\"fileid\": 1, \"filename\": \"100001_SFZFCJG_20080808.ZIP\", \"errid\": \"R02\", \"finding\": 1, "
            "\"recno\": 3, \"key\": \"20080804100001000103\", \"values\": {\"FCTZXH\": \"20080804100001000103\", "
            "\"ZQGSDM\": \"100001\"}}\n]\n");
  r = cli({"records", "--home", home});
  EXPECT_NE(r.out.find("共 2 条，显示前 1 条"), std::string::npos) << r.out;
  r = cli({"results", "--home", home, "--format", "json"});
  EXPECT_NE(r.out.find("\"records\": 1, \"values\": [{\"field\": \"FCTZXH\", \"value\": \"20080804100001000000\", "
                       "\"count\": 1}, {\"field\": \"FCTZXH\", \"value\": \"20080804100001000103\", \"count\": 1}]"),
            std::string::npos)
      << r.out;

  ASSERT_EQ(identity("0").status, 1);
  r = cli({"records", "--home", home, "--file", "100001_sfzfcjg_20080808.zip", "--format", "csv"});
  EXPECT_TRUE(r.out.starts_with("\xEF\xBB\xBF" "fileid,filename,errid,finding,recno,FCTZXH,ZQGSDM,SFCG\r\n")) << r.out;
  EXPECT_EQ(Count(r.out, "\r\n"), 5u);  // R02 twice, R05, R14
  EXPECT_NE(r.out.find("\r\n1,100001_SFZFCJG_20080808.ZIP,R05,2,2,20080804100001000102,100001,4\r\n"), std::string::npos);
  EXPECT_EQ(cli({"records", "--home", home, "--file", "other.zip", "--format", "tsv"}).out,
            "fileid\tfilename\terrid\tfinding\trecno\n");
  EXPECT_EQ(cli({"records", "--home", home, "--format", "xml"}).status, 2);
  const std::string nowhere = (dir / "nowhere" / "records.xlsx").string();
  r = cli({"records", "--home", home, "--format", "xlsx", "--output", nowhere});
  EXPECT_EQ(r.status, 2);
  // Its last line: under Wine, which keeps no access lists, a line saying the home was narrowed comes first.
  EXPECT_TRUE(r.err.ends_with("无法写入文件" + nowhere + "：文件或目录不存在\n")) << r.err;
}

}  // namespace
