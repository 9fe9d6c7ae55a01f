// Hostile DBF tables through the whole check (DBF type): headers that lie,
// fields that make no sense, bytes of no code page, files that are no files.
// Each case is one sequence number of one account check, so one run shows
// that no case stops the others.
#include <cstdlib>
#include <sys/stat.h>

#include <fstream>
#include <functional>
#include <set>

#include "CheckFixture.h"
#include "RawDbf.h"

namespace fc::robustness {
namespace {

namespace fs = std::filesystem;

enum class Expect {
  Unreadable,  // one problem 8 naming what is wrong with the file
  Passes,      // passes its structure and date check
  Fails,       // fails with the problem `errid`
  Missing,     // not an ordinary file: listed as not found
  Any,         // only the general rules (clear texts, nothing written)
};

struct DbfCase {
  const char* what;
  Expect expect;
  std::function<void(const fs::path&)> write;  // writes the case at this path
  const char* errid = "";                      // Fails
  bool alone = false;                          // Fails: `errid` is the file's only problem
};

void Write(const fs::path& p, const std::string& bytes) {
  std::ofstream(p, std::ios::binary) << bytes;
}

std::function<void(const fs::path&)> Bytes(std::function<std::string()> make) {
  return [make](const fs::path& p) { Write(p, make()); };
}

// A sound table changed by `change`.
std::function<void(const fs::path&)> Table(std::function<void(RawDbf&)> change) {
  return Bytes([change] {
    RawDbf t = KhjbxxTable(kDate, 3);
    change(t);
    return t.bytes();
  });
}

constexpr size_t kKhqc = 4, kSjrq = 9;  // field indexes in the KHJBXX layout

const std::vector<DbfCase>& Cases() {
  static const std::vector<DbfCase> cases = {
      {"record count beyond the file", Expect::Unreadable, Table([](RawDbf& t) { t.recordCount = 1000; })},
      {"record count 2^32-1", Expect::Unreadable, Table([](RawDbf& t) { t.recordCount = 0xFFFFFFFF; })},
      {"record count below the file", Expect::Unreadable, Table([](RawDbf& t) { t.recordCount = 1; })},
      {"bytes after the end-of-file mark", Expect::Unreadable, Bytes([] { return KhjbxxTable(kDate, 3).bytes() + "x"; })},
      {"header length beyond the file", Expect::Unreadable, Table([](RawDbf& t) { t.headerLength = 0xFFFF; })},
      {"header length inside the descriptors", Expect::Unreadable, Table([](RawDbf& t) { t.headerLength = 100; })},
      {"header length one into the records", Expect::Any, Table([](RawDbf& t) {
         t.headerLength = static_cast<uint16_t>(32 + 32 * t.fields.size() + 2);
         t.recordCount = 2;
       })},
      {"record length 0", Expect::Unreadable, Table([](RawDbf& t) { t.recordLength = 0; })},
      {"record length below the fields", Expect::Unreadable, Table([](RawDbf& t) { t.recordLength = 219; })},
      {"record length beyond the fields", Expect::Unreadable, Table([](RawDbf& t) { t.recordLength = 221; })},
      {"record length 65535", Expect::Unreadable, Table([](RawDbf& t) { t.recordLength = 0xFFFF; })},
      {"no fields", Expect::Unreadable, Table([](RawDbf& t) {
         t.fields.clear();
         t.records.clear();
       })},
      {"field length 0", Expect::Unreadable, Table([](RawDbf& t) { t.fields[kKhqc].length = 0; })},
      {"field length 255", Expect::Fails, Bytes([] {
         RawDbf t = KhjbxxTable(kDate, 0);
         t.fields[kKhqc].length = 255;
         t.records = {t.record({kCode, "000001", "1", kDate, "x", "10", "1", "0", "20050101", kDate})};
         return t.bytes();
       }), "4"},
      {"truncated record", Expect::Unreadable, Bytes([] {
         std::string b = KhjbxxTable(kDate, 3).bytes();
         return b.substr(0, b.size() - 100);
       })},
      {"truncated header", Expect::Unreadable, Bytes([] { return KhjbxxTable(kDate, 3).bytes().substr(0, 20); })},
      {"empty file", Expect::Unreadable, Bytes([] { return std::string(); })},
      {"unknown version byte", Expect::Unreadable, Table([](RawDbf& t) { t.version = 0x00; })},
      {"Visual FoxPro header without its backlink", Expect::Unreadable, Table([](RawDbf& t) {
         t.version = 0x30;
         t.headerLength = static_cast<uint16_t>(32 + 32 * t.fields.size() + 1);
       })},
      {"values that are not GBK", Expect::Passes, Table([](RawDbf& t) {
         t.records[0] = t.record({kCode, "000001", "\x81\x30\x81", kDate, "\xFF\xFE\x80\x81\xFF\xA1", "10",
                                  "\x80", "0", "2005\xFF" "0101", kDate});
       })},
      {"a date that is not GBK", Expect::Fails, Table([](RawDbf& t) {
         t.records[1].replace(t.records[1].size() - 8, 8, "\xFF\xFF\xFF\xFF\xFF\xFF\xFF\xFF");
       }), "7"},
      {"a field name that is not GBK", Expect::Fails, Table([](RawDbf& t) { t.fields[kKhqc].name = "\xFF\xFE\xB0"; }),
       "6"},
      {"the answer's words as a date", Expect::Fails, Table([](RawDbf& t) {
         t.records[2].replace(t.records[2].size() - 8, 8, Gbk("日期字段"));
       }), "7", true},
      {"the answer's marks in a field name", Expect::Fails, Table([](RawDbf& t) {
         t.fields.push_back({"X@1 Y@2", 'C', 1});
         for (std::string& r : t.records) r += "x";
       }), "6", true},
      {"_NullFlags shorter than its nullable fields need", Expect::Unreadable, Table([](RawDbf& t) {
         t.version = 0x30;
         for (RawField& f : t.fields) f.flags = 0x02;
         t.fields.push_back({"_NullFlags", '0', 1, 0, 0x05});
         for (std::string& r : t.records) r += '\0';
       })},
      {"nullable fields without _NullFlags", Expect::Unreadable, Table([](RawDbf& t) {
         t.version = 0x30;
         t.fields[kKhqc].flags = 0x02;
       })},
      {"the date field twice", Expect::Any, Table([](RawDbf& t) {
         t.fields.push_back(t.fields[kSjrq]);
         for (std::string& r : t.records) r += "20080807";
       })},
      {"only deleted records of another date", Expect::Passes, Table([](RawDbf& t) {
         for (std::string& r : t.records) r = "*" + r.substr(1, r.size() - 9) + "20080807";
       })},
      {"a named pipe", Expect::Missing, [](const fs::path& p) { ASSERT_EQ(mkfifo(p.c_str(), 0644), 0); }},
      {"a directory", Expect::Missing, [](const fs::path& p) { fs::create_directory(p); }},
      {"a link to a device", Expect::Missing, [](const fs::path& p) { fs::create_symlink("/dev/zero", p); }},
  };
  return cases;
}

class HostileDbf : public CheckFixture {};

void ExpectClearTexts(const std::string& name, const FileResult& f) {
  for (const auto& [errid, errdesc] : f.problems) {
    EXPECT_TRUE(IsValidUtf8(errdesc)) << name << ": problem " << errid << " is not UTF-8";
    const int structure = std::atoi(errid.c_str());  // 0 for a rule's "R05"
    EXPECT_TRUE((structure >= 4 && structure <= 14) || errid[0] == 'R')
        << name << ": unexpected problem " << errid << " " << errdesc;
  }
}

void ExpectOutcome(const DbfCase& c, const FileResult& f) {
  SCOPED_TRACE(c.what);
  EXPECT_EQ(f.isexist, c.expect == Expect::Missing ? 0 : 1);
  switch (c.expect) {
    case Expect::Unreadable:
      ASSERT_EQ(f.problems.size(), 1u);
      EXPECT_EQ(f.problems[0].first, "8");
      EXPECT_EQ(f.problems[0].second.rfind("文件不是有效的DBF表", 0), 0u) << f.problems[0].second;
      break;
    case Expect::Passes:
      EXPECT_EQ(f.isok, 1);
      break;
    case Expect::Fails:
      EXPECT_EQ(f.isok, 0);
      EXPECT_TRUE(f.has(c.errid)) << "no problem " << c.errid;
      EXPECT_FALSE(f.has("8"));
      if (c.alone) {
        EXPECT_EQ(f.problems.size(), 1u);
      }
      break;
    case Expect::Missing:
      EXPECT_EQ(f.isok, 0);
      EXPECT_TRUE(f.problems.empty());
      break;
    case Expect::Any:
      break;
  }
}

TEST_F(HostileDbf, EveryCaseEndsAsARowOfItsOwnAndTheRunCompletes) {
  const std::vector<DbfCase>& cases = Cases();
  for (size_t i = 0; i < cases.size(); ++i)
    cases[i].write(src / AccountName("KHJBXX", static_cast<int>(i + 1), "dbf"));
  CliRun run = runCheck(accountArgs("dbf", static_cast<int>(cases.size())));
  EXPECT_EQ(run.exitCode, 1) << run.err;
  std::map<std::string, FileResult> files = results();
  ASSERT_EQ(files.size(), cases.size());
  for (size_t i = 0; i < cases.size(); ++i) {
    std::string name = AccountName("KHJBXX", static_cast<int>(i + 1), "dbf");
    ExpectOutcome(cases[i], files[name]);
    ExpectClearTexts(name, files[name]);
  }
}

// What no writer of numbers leaves is no number: a finding naming the field
// and its first record, never a 0 the rules would compute with.
TEST_F(HostileDbf, GarbageInNumericFieldsIsNamedWithItsFirstRecord) {
  RawDbf t;
  t.fields = {{"ZQGSDM", 'C', 6}, {"YYBDM", 'C', 6}, {"ZJZH", 'C', 20}, {"BZDM", 'C', 2},
              {"ZRYE", 'N', 18, 2}, {"XJCQJE", 'N', 18, 2}, {"ZQJYMCJE", 'N', 18, 2}, {"ZQJYMRJE", 'N', 18, 2},
              {"FJZJYJE", 'N', 18, 2}, {"JRYE", 'N', 18, 2}, {"SJRQ", 'C', 8}};
  t.records = {
      t.record({kCode, "000001", "1", "CN", "999999999999999.99", "-99999999999999.99", "abc", "1.2.3",
                "\xFF\xFF", "******************", kDate}),
      t.record({kCode, "000001", "2", "CN", "1e308", "--5", "+7", " 1 2", ".", "-", kDate}),
      t.record({kCode, "000001", "3", "CN", "", "", "", "", "", "0.00", kDate}),
  };
  Write(src / AccountName("ZJBDXX", 1, "dbf"), t.bytes());
  CliRun run = runCheck(accountArgs("dbf", 1, "ZJBDXX"));
  EXPECT_EQ(run.exitCode, 1) << run.err;
  FileResult f = results()[AccountName("ZJBDXX", 1, "dbf")];
  EXPECT_EQ(f.isok, 0);
  ExpectClearTexts("ZJBDXX", f);
  std::set<std::string> named;  // the results' order is the grid's, not the layout's
  for (const auto& [errid, errdesc] : f.problems)
    if (errid == "12") named.insert(errdesc);
  EXPECT_EQ(named, (std::set<std::string>{
                       "字段ZRYE的内容不是数值：第2条记录", "字段XJCQJE的内容不是数值：第2条记录",
                       "字段ZQJYMCJE的内容不是数值：第1条记录", "字段ZQJYMRJE的内容不是数值：第1条记录等2条",
                       "字段FJZJYJE的内容不是数值：第1条记录等2条", "字段JRYE的内容不是数值：第1条记录等2条"}));
}

}  // namespace
}  // namespace fc::robustness
