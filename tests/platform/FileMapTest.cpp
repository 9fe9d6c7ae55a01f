// fc::platform::FileMap over real files: a window at any offset reads the
// file's bytes, and a file cut short under a window reads as zeros and says
// so, through the map and through read() alike.
#include "platform/FileMap.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/TempDir.h"

namespace fc::platform {
namespace {

namespace fs = std::filesystem;

// Bytes that differ from their neighbours and from zero, so that a wrong
// offset or a zero page shows.
std::string Pattern(size_t size) {
  std::string bytes(size, '\0');
  for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>(1 + (i * 7) % 251);
  return bytes;
}

std::string Bytes(const FileMap& map, size_t from, size_t size) {
  return std::string(reinterpret_cast<const char*>(map.data()) + from, size);
}

TEST(FileMap, AWindowAtAnyOffsetReadsTheFileAndStopsAtItsEnd) {
  test::TempDir dir;
  const std::string bytes = Pattern((size_t{3} << 20) + 123);
  const fs::path path = dir.write("T.DBF", bytes);
  MapFailure failure = MapFailure::None;

  std::unique_ptr<FileMap> window = FileMap::open(path, failure, 100005, size_t{2} << 20);
  ASSERT_TRUE(window);
  EXPECT_EQ(window->size(), size_t{2} << 20);
  EXPECT_EQ(Bytes(*window, 0, window->size()), bytes.substr(100005, window->size()));
  std::vector<uint8_t> copy(64);
  window->read(1000, copy.size(), copy.data());
  EXPECT_EQ(std::string(copy.begin(), copy.end()), bytes.substr(101005, copy.size()));

  std::unique_ptr<FileMap> tail = FileMap::open(path, failure, bytes.size() - 10, 100);
  ASSERT_TRUE(tail);
  EXPECT_EQ(Bytes(*tail, 0, tail->size()), bytes.substr(bytes.size() - 10));
  std::unique_ptr<FileMap> past = FileMap::open(path, failure, bytes.size() + 1);
  ASSERT_TRUE(past);
  EXPECT_EQ(past->size(), 0u);
  EXPECT_EQ(past->data(), nullptr);
  EXPECT_FALSE(window->changed() || tail->changed());

  EXPECT_FALSE(FileMap::open(dir / "missing", failure));
  EXPECT_EQ(failure, MapFailure::Open);
  EXPECT_FALSE(FileMap::open(dir.path(), failure));
  EXPECT_EQ(failure, MapFailure::NotRegular);
}

TEST(FileMap, AFileCutShortUnderAWindowReadsAsZerosAndSaysSo) {
  test::TempDir dir;
  const std::string bytes = Pattern(size_t{1} << 20);
  const fs::path mapped = dir.write("MAPPED.DBF", bytes), copied = dir.write("COPIED.DBF", bytes);
  MapFailure failure = MapFailure::None;
  std::unique_ptr<FileMap> window = FileMap::open(mapped, failure, 70001);
  std::unique_ptr<FileMap> reader = FileMap::open(copied, failure, 70001);
  ASSERT_TRUE(window && reader);

  fs::resize_file(mapped, 70001 + 5000);
  fs::resize_file(copied, 70001 + 5000);
  const std::string after = Bytes(*window, 0, window->size());  // faults past the cut
  EXPECT_TRUE(window->changed());
  EXPECT_EQ(after.substr(0, 5000), bytes.substr(70001, 5000));
  EXPECT_EQ(after.substr(after.size() - 5000), std::string(5000, '\0'));

  std::vector<uint8_t> out(8000, 0xFF);
  reader->read(1000, out.size(), out.data());
  EXPECT_TRUE(reader->changed());
  EXPECT_EQ(std::string(out.begin(), out.begin() + 4000), bytes.substr(71001, 4000));
  EXPECT_EQ(std::string(out.begin() + 4000, out.end()), std::string(4000, '\0'));
}

}  // namespace
}  // namespace fc::platform
