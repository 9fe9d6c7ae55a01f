// WindowsCheck: what the Windows build leans on, checked where it will run.
// Each test uses one part the way the core does: the console showing Chinese
// in UTF-8, std::thread, SQLite, libzip, libxlsxwriter and nlohmann-json.
//
//   scripts/windows-check.sh BUILD_DIR   (builds it and runs it under Wine)
#include <windows.h>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <sqlite3.h>
#include <xlsxwriter.h>
#include <zip.h>

#include <atomic>
#include <cstdio>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

namespace {

const std::string kChinese = "检查通过：深圳证券交易所";

std::filesystem::path scratchFile(const char* name) {
  return std::filesystem::temp_directory_path() / name;
}

// Run from a console, the console is switched to UTF-8; with its output sent
// to a pipe or file there is no console, and the bytes go out as they are
// (scripts/windows-check.sh looks for them in what the program printed).
TEST(WindowsCheck, ConsoleShowsUtf8Chinese) {
  if (GetConsoleWindow() != nullptr || GetConsoleOutputCP() != 0) {
    ASSERT_TRUE(SetConsoleOutputCP(CP_UTF8));
    EXPECT_EQ(GetConsoleOutputCP(), static_cast<UINT>(CP_UTF8));
  }
  std::printf("%s\n", kChinese.c_str());
  std::fflush(stdout);
}

TEST(WindowsCheck, ThreadsShareWork) {
  std::atomic<int> done{0};
  std::vector<std::thread> workers;
  for (int i = 0; i < 4; ++i) workers.emplace_back([&] { for (int n = 0; n < 1000; ++n) ++done; });
  for (auto& worker : workers) worker.join();
  EXPECT_EQ(done.load(), 4000);
}

TEST(WindowsCheck, SqliteKeepsUtf8Text) {
  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open(":memory:", &db), SQLITE_OK);
  sqlite3_stmt* statement = nullptr;
  ASSERT_EQ(sqlite3_prepare_v2(db, "SELECT ?1 || length(?1)", -1, &statement, nullptr), SQLITE_OK);
  sqlite3_bind_text(statement, 1, "中文", -1, SQLITE_STATIC);
  ASSERT_EQ(sqlite3_step(statement), SQLITE_ROW);
  EXPECT_EQ(reinterpret_cast<const char*>(sqlite3_column_text(statement, 0)), std::string("中文2"));
  sqlite3_finalize(statement);
  sqlite3_close(db);
}

TEST(WindowsCheck, ZipArchiveRoundTrips) {
  const auto path = scratchFile("windows-check.zip").string();
  int error = 0;
  zip_t* archive = zip_open(path.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &error);
  ASSERT_NE(archive, nullptr);
  zip_source_t* source = zip_source_buffer(archive, kChinese.data(), kChinese.size(), 0);
  ASSERT_GE(zip_file_add(archive, "TABLE.DBF", source, ZIP_FL_OVERWRITE), 0);
  ASSERT_EQ(zip_close(archive), 0);

  archive = zip_open(path.c_str(), ZIP_RDONLY, &error);
  ASSERT_NE(archive, nullptr);
  zip_file_t* file = zip_fopen(archive, "TABLE.DBF", 0);
  ASSERT_NE(file, nullptr);
  std::string read(kChinese.size(), '\0');
  EXPECT_EQ(zip_fread(file, read.data(), read.size()), static_cast<zip_int64_t>(read.size()));
  zip_fclose(file);
  zip_close(archive);
  EXPECT_EQ(read, kChinese);
  std::filesystem::remove(path);
}

TEST(WindowsCheck, WorkbookIsWritten) {
  const auto path = scratchFile("windows-check.xlsx");
  lxw_workbook* workbook = workbook_new(path.string().c_str());
  ASSERT_NE(workbook, nullptr);
  lxw_worksheet* sheet = workbook_add_worksheet(workbook, nullptr);
  worksheet_write_string(sheet, 0, 0, kChinese.c_str(), nullptr);
  ASSERT_EQ(workbook_close(workbook), LXW_NO_ERROR);
  EXPECT_GT(std::filesystem::file_size(path), 0u);
  std::filesystem::remove(path);
}

TEST(WindowsCheck, JsonParses) {
  EXPECT_EQ(nlohmann::json::parse(R"({"名称":"中文"})").at("名称"), "中文");
}

}  // namespace
