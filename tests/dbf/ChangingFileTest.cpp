// fc::dbf::Table over a file that another program changes while it is open:
// truncated under its readers, or a named pipe put in its place.
#include <gtest/gtest.h>
#include <sys/mman.h>
#include <sys/stat.h>

#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <thread>

#include "dbf/Table.h"
#include "dbf/Writer.h"
#include "support/NamedPipe.h"
#include "support/TempDir.h"

namespace fc::dbf {
namespace {

namespace fs = std::filesystem;

constexpr uint32_t kRecords = 3000;  // several hundred pages

// kRecords accounts in records as wide as a customer table's (220 bytes).
void WriteAccounts(const fs::path& path) {
  Writer writer(path, Format::DBase3, {{"ZJZH", 'C', 20}, {"KHQC", 'C', 199}});
  for (uint32_t i = 0; i < kRecords; ++i) writer.add({"Z" + std::to_string(i + 1), "客户"});
  writer.finish();
}

std::unique_ptr<Table> Open(const fs::path& path) {
  std::string error;
  std::unique_ptr<Table> table = Table::open(path, error);
  EXPECT_TRUE(table) << error;
  return table;
}

// Records whose deleted flag still reads as the writer left it.
uint32_t LiveRecords(const Table& table) {
  uint32_t live = 0;
  for (uint32_t i = 0; i < table.recordCount(); ++i) live += table.record(i)[0] == ' ';
  return live;
}

TEST(ChangingFile, ATableTruncatedUnderItsReadersReadsAsZerosAndSaysSo) {
  test::TempDir dir;
  const fs::path cut = dir / "CUT.DBF", kept = dir / "KEPT.DBF";
  WriteAccounts(cut);
  WriteAccounts(kept);
  std::unique_ptr<Table> table = Open(cut), other = Open(kept);
  ASSERT_TRUE(table && other);
  const Field& zjzh = *table->findField("ZJZH");
  const std::string first(table->raw(0, zjzh));
  EXPECT_EQ(LiveRecords(*table), kRecords);  // every page read once before the cut
  EXPECT_FALSE(table->changed());

  // Tables open and close on another thread meanwhile, as the archive
  // prefetch and a second reader do; the guard must keep them apart.
  std::atomic<bool> done = false;
  std::thread churn([&] {
    while (!done)
      if (!Open(kept)) return;
  });
  fs::resize_file(cut, table->headerLength() + 10 * table->recordLength());
  const uint32_t live = LiveRecords(*table);
  done = true;
  churn.join();

  EXPECT_TRUE(table->changed());
  EXPECT_GE(live, 10u);
  EXPECT_LT(live, kRecords);
  EXPECT_EQ(table->raw(0, zjzh), first);
  EXPECT_EQ(table->raw(kRecords - 1, zjzh), std::string(zjzh.length, '\0'));
  EXPECT_EQ(LiveRecords(*other), kRecords);
  EXPECT_FALSE(other->changed());

  // Cut again, to nothing: the pages read since still read as zeros.
  fs::resize_file(cut, 0);
  EXPECT_EQ(LiveRecords(*table), 0u);
  std::string error;
  EXPECT_FALSE(Table::open(cut, error));
  EXPECT_EQ(TableChanged(cut).file(), cut);
}

TEST(ChangingFile, ANamedPipeInATablesPlaceIsRefusedWithoutWaiting) {
  test::TempDir dir;
  const fs::path pipe = dir / "KHJBXX.DBF";
  ASSERT_TRUE(test::MakeNamedPipe(pipe));
  std::string error;
  EXPECT_FALSE(Table::open(pipe, error));  // would wait for a writer for ever
  EXPECT_EQ(error, "无法读取文件KHJBXX.DBF：不是普通文件");
  EXPECT_EQ(VersionByte(pipe), -1);
}

TEST(ChangingFileDeathTest, AFaultOutsideEveryTableStillEndsTheProcess) {
  test::TempDir dir;
  const fs::path path = dir / "PLAIN.DBF";
  WriteAccounts(path);
  ASSERT_TRUE(Open(path));  // the guard is in place
  EXPECT_DEATH(
      {
        int fd = open(path.c_str(), O_RDONLY);
        size_t size = fs::file_size(path);
        auto* bytes = static_cast<volatile const char*>(mmap(nullptr, size, PROT_READ, MAP_PRIVATE, fd, 0));
        fs::resize_file(path, 0);
        std::printf("%d\n", bytes[size - 1]);
      },
      "");
}

}  // namespace
}  // namespace fc::dbf
