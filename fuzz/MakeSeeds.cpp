// Writes the seed inputs of the fuzz targets from the project's own files:
// the sample submission, tables from our DBF writer, archives from the test
// ZIP writer and the rules' query texts.
//
//   fuzz_make_seeds fuzz/corpus     (files named seed-*; others are kept)
//
// Run it again when a format changes; commit what it writes.
#include <algorithm>
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "dbf/Writer.h"
#include "naming/InterfaceLayouts.h"
#include "pipeline/Sample.h"
#include "query/Dialect.h"
#include "rules/RuleBook.h"
#include "rules/RuleText.h"
#include "support/TempDir.h"
#include "support/Zip.h"

namespace {

namespace fs = std::filesystem;
using fc::test::ReadFileBytes;

class Seeds {
 public:
  explicit Seeds(fs::path corpus) : corpus_(std::move(corpus)) {}

  void add(const std::string& target, const std::string& name, const std::string& bytes) {
    fs::create_directories(corpus_ / target);
    std::ofstream(corpus_ / target / ("seed-" + name), std::ios::binary) << bytes;
    ++count_;
  }
  int count() const { return count_; }

 private:
  fs::path corpus_;
  int count_ = 0;
};

std::vector<fs::path> FilesOf(const fs::path& dir) {
  std::vector<fs::path> files;
  for (const fs::directory_entry& e : fs::directory_iterator(dir)) files.push_back(e.path());
  std::sort(files.begin(), files.end());
  return files;
}

// The kind index the structure library target reads from an input's first byte.
char KindByte(const std::string& fileName) {
  const char* kinds[] = {"KHJBXX", "ZJZQDY", "ZJBDXX", "YYBXX", "ZHBYZ", "SFZFCJG", "SFZHCQK"};
  for (char i = 0; i < 7; ++i)
    if (fileName.find(std::string("_") + kinds[static_cast<int>(i)] + "_") != std::string::npos) return i;
  return 0;
}

void SampleSeeds(Seeds& seeds, const fc::naming::InterfaceLayouts& layouts, const fs::path& dir) {
  fc::pipeline::WriteSample(layouts, dir);
  for (const char* sub : {"account-dbf", "identity-dbf"}) {
    for (const fs::path& dbf : FilesOf(dir / sub)) {
      std::string name = dbf.filename().string();
      std::string bytes = ReadFileBytes(dbf);
      seeds.add("dbf_table", name, bytes);
      seeds.add("structure_library", name, KindByte(name) + bytes);
    }
  }
  for (const char* sub : {"account-zip", "identity-zip"})
    for (const fs::path& zip : FilesOf(dir / sub)) seeds.add("zip_intake", zip.filename().string(), ReadFileBytes(zip));
}

void WriterSeeds(Seeds& seeds, const fs::path& dir) {
  using fc::dbf::Format;
  fs::path plain = dir / "plain.dbf", vfp = dir / "vfp.dbf", empty = dir / "empty.dbf";
  {
    fc::dbf::Writer w(plain, Format::DBase3, {{"ZQGSDM", 'C', 6}, {"JRYE", 'N', 18, 2}, {"SJRQ", 'C', 8}});
    w.add({"100001", "12.50", "20080808"});
    w.add({"100002", "-3", "20080807"}, /*deleted=*/true);
  }
  {
    fc::dbf::Writer w(vfp, Format::VisualFoxPro,
                      {{"KHQC", 'C', 10, 0, true}, {"ZRYE", 'N', 8, 2, true}, {"SJRQ", 'C', 8}});
    w.add({"张三", std::nullopt, "20080808"});
    w.add({std::nullopt, "1.5", ""});
  }
  { fc::dbf::Writer w(empty, Format::DBase3, {{"A", 'C', 1}}); }
  for (const fs::path& f : {plain, vfp, empty}) {
    std::string bytes = ReadFileBytes(f);
    seeds.add("dbf_table", f.filename().string(), bytes);
    seeds.add("structure_library", f.filename().string(), std::string(1, '\0') + bytes);
  }
}

void ArchiveSeeds(Seeds& seeds, const fs::path& dir) {
  fs::path a = dir / "odd.zip";
  fc::test::ZipWriter(a)
      .add("X.DBF", "abc")
      .stored()
      .addDirectory("sub/")
      .add("sub/inner.dbf", "x")
      .add("../up.dbf", "x")
      .addSymlink("link", "/etc/passwd")
      .addEncrypted("secret.dbf", "hidden")
      .write();
  seeds.add("zip_intake", "odd.zip", ReadFileBytes(a));
  fs::path b = dir / "two.zip";
  fc::test::ZipWriter(b).add("a.dbf", std::string(300, 'a')).add("A.DBF", "b").add("c.dbf", "c").write();
  seeds.add("zip_intake", "two.zip", ReadFileBytes(b));
}

void QuerySeeds(Seeds& seeds) {
  int n = 0;
  auto add = [&](const char* pattern) {
    seeds.add("query", "rule" + std::to_string(++n), fc::rules::SpliceQuery(pattern, "20080808", "100001"));
  };
  const auto book = fc::rules::RuleBook::load(std::filesystem::path(FC_SOURCE_DATA_DIR) / "rulesets" / "interface-1");
  for (std::size_t k = 0; const fc::rules::AccountTable* table = book.accountRulesOf(fc::naming::AccountKindAt(k)); ++k) {
    add(table->totalQuery);
    for (const fc::rules::AccountRule& rule : table->rules) add(rule.query);
  }
  add(book.identity().totalQuery);
  for (const fc::rules::IdentityRule& rule : book.identity().rules) add(rule.query);
  seeds.add("query", "functions",
            "select zjzh, len(trim(khqc)), substr(khqc,1,2), jrye+1-2 from khjbxx a "
            "where a.jrye is null or -a.jrye<>0 and khqc<>\"\" and yybdm in (select yybdm from yybxx)");
  // Every form of the language, as its reference shows it, and the forms
  // together on the columns of the fuzzed tables.
  for (const fc::query::DialectEntry& e : fc::query::DialectEntries()) {
    std::string name = e.name;
    for (char& c : name)
      if (!std::isalnum(static_cast<unsigned char>(c))) c = '-';
    seeds.add("query", "dialect-" + std::to_string(e.part == fc::query::DialectPart::Function) + "-" + name, e.example);
  }
  seeds.add("query", "forms",
            "select zjzh, count(*), count(distinct khqc) from khjbxx where khqc like '张%' and jrye between -5 and "
            "20 and between(jrye, -1, 1) and not empty(zjzh) and inlist(left(zqgsdm, 2), '10', '20') and "
            "at('1', right(zjzh + yybdm, 4)) >= val(' 0.5x') group by zjzh having count(*) > 1 or count(distinct khqc) = 0");
  seeds.add("query", "distinct", "select distinct a.yybdm from khjbxx a where not exists(select * from khjbxx "
                                 "where khjbxx.zjzh = a.zjzh and khjbxx.sjrq <> a.sjrq) and a.khqc > '李四'");
}

void TextSeeds(Seeds& seeds) {
  seeds.add("settings", "chkcfg.ini", "100001\r\n1\r\n3\r\n1\r\n/data/in\r\n/data/out\r\n");
  seeds.add("settings", "short", "100001\n 2.5\n");
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: fuzz_make_seeds CORPUS_DIR\n");
    return 2;
  }
  try {
    Seeds seeds(argv[1]);
    fc::test::TempDir temp;
    auto layouts = fc::naming::InterfaceLayouts::load(fs::path(FC_SOURCE_DATA_DIR) / "rulesets/interface-1/layouts.csv");
    SampleSeeds(seeds, layouts, temp / "sample");
    WriterSeeds(seeds, temp.path());
    ArchiveSeeds(seeds, temp.path());
    QuerySeeds(seeds);
    TextSeeds(seeds);
    std::printf("%d seeds written\n", seeds.count());
  } catch (const std::exception& e) {
    std::fprintf(stderr, "fuzz_make_seeds: %s\n", e.what());
    return 1;
  }
  return 0;
}
