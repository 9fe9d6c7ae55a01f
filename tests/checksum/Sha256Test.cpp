#include "checksum/Sha256.h"

#include <gtest/gtest.h>

#include "support/NamedPipe.h"
#include "support/Sha256Sum.h"
#include "support/TempDir.h"

namespace fc::checksum {
namespace {

TEST(Sha256Test, FilesAndBytesDigestAsSha256sumDoes) {
  test::TempDir dir;
  std::string big(3 * 1024 * 1024 + 17, '\0');  // spans several read blocks
  for (size_t i = 0; i < big.size(); ++i) big[i] = static_cast<char>(i * 131 + (i >> 11));
  for (const auto& [name, bytes] : std::vector<std::pair<std::string, std::string>>{
           {"empty.dbf", ""}, {"abc.zip", "abc"}, {"big.DBF", big}, {"名 'quoted'.zip", "x"}}) {
    const auto file = dir.write(name, bytes);
    std::string error;
    EXPECT_EQ(Sha256File(file, error).value_or("?"), test::Sha256Sum(file)) << name;
    EXPECT_EQ(Sha256Hex(bytes), test::Sha256Sum(file)) << name;
  }
  EXPECT_EQ(Sha256Hex("abc"), "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
}

TEST(Sha256Test, UnreadableFileIsAnErrorNotADigest) {
  test::TempDir dir;
  std::string error;
  EXPECT_FALSE(Sha256File(dir / "missing.zip", error));
  EXPECT_NE(error.find("missing.zip"), std::string::npos);
  error.clear();
  EXPECT_FALSE(Sha256File(dir.path(), error));
  EXPECT_FALSE(error.empty());
}

TEST(Sha256Test, ANamedPipeIsRefusedWithoutWaiting) {
  test::TempDir dir;
  const auto pipe = dir / "pipe.dbf";  // no writer: a blocking open would never return
  ASSERT_TRUE(test::MakeNamedPipe(pipe));
  std::string error;
  EXPECT_FALSE(Sha256File(pipe, error));
}

}  // namespace
}  // namespace fc::checksum
