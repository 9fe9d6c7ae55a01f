// Hostile archives through the whole check (ZIP type): entry names that
// lead out of workdir, links, special files, sizes that lie, encryption, a
// damaged directory, ten thousand entries and a deflate bomb. Each case is
// one sequence number of one account check; the bomb runs alone so that its
// memory can be measured.
#include <sys/stat.h>

#include <algorithm>
#include <fstream>
#include <functional>

#include "CheckFixture.h"
#include "RawDbf.h"
#include "RawZip.h"
#include "support/Zip.h"

namespace fc::robustness {
namespace {

namespace fs = std::filesystem;

struct ZipCase {
  const char* what;
  // Writes the case at `archive`; the table inside should be named `dbf`;
  // `root` is the directory an escaping entry would aim at.
  std::function<void(const fs::path& archive, const std::string& dbf, const fs::path& root)> write;
  const char* errid;  // the archive problem, "" when the table passes, "missing" when not found
};

std::string GoodTable() { return KhjbxxTable(kDate, 3).bytes(); }

void WriteBytes(const fs::path& p, const std::string& bytes) { std::ofstream(p, std::ios::binary) << bytes; }

test::ZipWriter& ManyEntries(test::ZipWriter& zip, int n, const std::string& prefix) {
  for (int i = 0; i < n; ++i) zip.add(prefix + "f" + std::to_string(i) + ".txt", "x").stored();
  return zip;
}

std::string Lower(std::string s) {
  std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return std::tolower(c); });
  return s;
}

const std::vector<ZipCase>& Cases() {
  static const std::vector<ZipCase> cases = {
      {"entries that climb out with ../",
       [](const fs::path& a, const std::string& dbf, const fs::path&) {
         test::ZipWriter(a).add("../" + dbf, GoodTable()).add("../../escaped.txt", "x").write();
       }, "1"},
      {"an absolute entry name",
       [](const fs::path& a, const std::string&, const fs::path& root) {
         test::ZipWriter(a).add((root / "escaped.DBF").string(), GoodTable()).write();
       }, "3"},
      {"a backslash path", [](const fs::path& a, const std::string& dbf, const fs::path&) {
         test::ZipWriter(a).add("..\\" + dbf, GoodTable()).write();
       }, "3"},
      {"a symbolic link named like the table",
       [](const fs::path& a, const std::string& dbf, const fs::path&) {
         test::ZipWriter(a).addSymlink(dbf, "/etc/passwd").write();
       }, "3"},
      {"a link to a directory, then an entry through it",
       [](const fs::path& a, const std::string& dbf, const fs::path& root) {
         test::ZipWriter(a).addSymlink("d", root.string()).add("d/" + dbf, GoodTable()).write();
       }, "1"},
      {"a device file named like the table", [](const fs::path& a, const std::string& dbf, const fs::path&) {
         RawEntry e = Stored(dbf, GoodTable());
         e.mode = S_IFCHR | 0644;
         WriteBytes(a, RawZipBytes({e}));
       }, "3"},
      {"10,000 entries", [](const fs::path& a, const std::string& dbf, const fs::path&) {
         test::ZipWriter zip(a);
         ManyEntries(zip.add(dbf, GoodTable()), 9999, "").write();
       }, "1"},
      {"10,000 entries in a folder beside the table",
       [](const fs::path& a, const std::string& dbf, const fs::path&) {
         test::ZipWriter zip(a);
         ManyEntries(zip, 9999, "sub/").add(dbf, GoodTable()).write();
       }, "1"},
      {"an entry claiming 4 GiB without Zip64", [](const fs::path& a, const std::string& dbf, const fs::path&) {
         RawEntry e = Stored(dbf, GoodTable());
         e.size = 0xFFFFFFFE;
         WriteBytes(a, RawZipBytes({e}));
       }, "3"},
      {"an entry claiming 5 GiB with Zip64", [](const fs::path& a, const std::string& dbf, const fs::path&) {
         RawEntry e = Stored(dbf, GoodTable());
         e.size = uint64_t{5} << 30;
         WriteBytes(a, RawZipBytes({e}));
       }, "3"},
      {"a deflate stream far longer than its entry claims",
       [](const fs::path& a, const std::string& dbf, const fs::path&) {
         RawEntry e = DeflateBomb(dbf, uint64_t{256} << 20);
         e.size = 1000;
         WriteBytes(a, RawZipBytes({e}));
       }, "3"},
      {"an AES-encrypted table", [](const fs::path& a, const std::string& dbf, const fs::path&) {
         test::ZipWriter(a).addEncrypted(dbf, GoodTable()).write();
       }, "3"},
      {"a traditionally encrypted table", [](const fs::path& a, const std::string& dbf, const fs::path&) {
         RawEntry e = Stored(dbf, GoodTable());
         e.flags = 0x0001;
         WriteBytes(a, RawZipBytes({e}));
       }, "3"},
      {"a truncated central directory", [](const fs::path& a, const std::string& dbf, const fs::path&) {
         std::string zip = RawZipBytes({Stored(dbf, GoodTable()), Stored("readme.txt", "x")});
         WriteBytes(a, zip.substr(0, zip.size() - 40));
       }, "3"},
      {"the table twice, in two spellings", [](const fs::path& a, const std::string& dbf, const fs::path&) {
         test::ZipWriter(a).add(dbf, "not a table").add(Lower(dbf), GoodTable()).write();
       }, "1"},
      {"the table named 64 times, a gigabyte to inflate", [](const fs::path& a, const std::string& dbf, const fs::path&) {
         WriteBytes(a, RawZipBytes(std::vector<RawEntry>(64, DeflateBomb(dbf, uint64_t{16} << 20))));
       }, "1"},
      {"a table instead of an archive",
       [](const fs::path& a, const std::string&, const fs::path&) { WriteBytes(a, GoodTable()); }, "3"},
      {"an empty file", [](const fs::path& a, const std::string&, const fs::path&) { WriteBytes(a, ""); }, "3"},
      {"a named pipe",
       [](const fs::path& a, const std::string&, const fs::path&) { ASSERT_EQ(mkfifo(a.c_str(), 0644), 0); },
       "missing"},
  };
  return cases;
}

class HostileZip : public CheckFixture {
 protected:
  std::string dbfName(int group) { return AccountName("KHJBXX", group, "dbf"); }
  fs::path archive(int group) { return src / AccountName("KHJBXX", group, "zip"); }
};

TEST_F(HostileZip, EveryArchiveEndsAsItsProblemAndNothingLandsOutsideWorkdir) {
  const std::vector<ZipCase>& cases = Cases();
  for (size_t i = 0; i < cases.size(); ++i) cases[i].write(archive(static_cast<int>(i + 1)), dbfName(static_cast<int>(i + 1)), root());
  CliRun run = runCheck(accountArgs("zip", static_cast<int>(cases.size())));
  EXPECT_EQ(run.exitCode, 1) << run.err;
  std::map<std::string, FileResult> files = results();
  for (size_t i = 0; i < cases.size(); ++i) {
    SCOPED_TRACE(cases[i].what);
    const FileResult& f = files[archive(static_cast<int>(i + 1)).filename().string()];
    std::string errid = cases[i].errid;
    EXPECT_EQ(f.isexist, errid == "missing" ? 0 : 1);
    if (errid == "missing") continue;
    EXPECT_EQ(f.isok, errid.empty() ? 1 : 0);
    if (errid.empty()) continue;
    ASSERT_EQ(f.problems.size(), 1u);
    EXPECT_EQ(f.problems[0].first, errid) << f.problems[0].second;
  }
}

TEST_F(HostileZip, ADeflateBombInflatesToDiskInBoundedMemoryAndIsRemoved) {
  constexpr uint64_t kBombSize = uint64_t{1} << 30;
  RawEntry bomb = DeflateBomb(dbfName(1), kBombSize);
  WriteBytes(archive(1), RawZipBytes({bomb}));
  CliRun run = runCheck(accountArgs("zip", 1));
  EXPECT_EQ(run.exitCode, 1) << run.err;
  FileResult f = results()[archive(1).filename().string()];
  ASSERT_EQ(f.problems.size(), 1u);
  // A gigabyte of zeros is no table: the intake let it through, the
  // structure check refused it.
  EXPECT_EQ(f.problems[0].first, "8") << f.problems[0].second;
  long archiveKb = static_cast<long>(fs::file_size(archive(1)) / 1024);
  std::printf("deflate bomb: %ld KiB archive, %llu MiB entry, peak RSS of the check %ld KiB\n", archiveKb,
              static_cast<unsigned long long>(kBombSize >> 20), run.peakRssKb);
  RecordProperty("bomb_peak_rss_kb", std::to_string(run.peakRssKb));
  EXPECT_LT(run.peakRssKb, 200 * 1024) << "the bomb was inflated into memory";
}

}  // namespace
}  // namespace fc::robustness
