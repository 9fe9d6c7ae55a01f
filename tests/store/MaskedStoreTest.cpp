// Personal values as the store keeps them: identity numbers masked, the real
// values set aside for the operator, and nothing left behind once forgotten.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

#include "store/MaskedRecords.h"
#include "store/Store.h"
#include "support/StoreRows.h"
#include "support/TempDir.h"

namespace fc::store {
namespace {

using privacy::Masking;
using privacy::Personal;
using privacy::PersonalFields;

namespace fs = std::filesystem;

std::string FileBytes(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class MaskedStore : public testing::Test {
 protected:
  void SetUp() override {
    data_.write("zqgs.csv", "code,name\n100001,东岳证券\n");
    store_ = Store::open(home_.path(), data_.path());
    PersonalFields marks;
    marks.mark("khjbxx", "zjhm", Personal::IdentityNumber);
    marks.mark("KHJBXX", "KHQC", Personal::Name);
    store_->setPersonalFields(marks);
    store_->insertFinding(1, "R99", "finding");
    // Two real numbers that mask alike are counted apart.
    store_->addFindingRecords({1, 1, "R99", "KHJBXX", {"ZJZH", "KHQC", "ZJHM"},
                               {{3, {"101000000015", "张三丰", "110101199001011234"}},
                                {4, {"101000000016", "", "E1234"}},
                                {9, {"101000000017", "李四", "110101200001011234"}}},
                               3, {{"ZJHM", "110101199001011234", 2}, {"ZJHM", "110101200001011234", 1}}});
  }

  // Every byte the store's files hold.
  std::string storeBytes() const {
    std::string bytes;
    for (const char* suffix : {"", "-wal", "-shm"}) bytes += FileBytes(home_.path() / (std::string("dravmel.mdb") + suffix));
    return bytes;
  }

  test::TempDir home_, data_;
  std::unique_ptr<Store> store_;
};

TEST_F(MaskedStore, KeepsIdentityNumbersMaskedAndShowsThemWholeOnlyWhenAsked) {
  const auto masked = store_->readFindingRecords(1, 1);
  ASSERT_TRUE(masked);
  EXPECT_EQ(masked->records[0].values, (std::vector<std::string>{"101000000015", "张三丰", "110101********1234"}));
  EXPECT_EQ(masked->records[1].values, (std::vector<std::string>{"101000000016", "", "*****"}));
  ASSERT_EQ(masked->valueCounts.size(), 2u);
  for (const auto& v : masked->valueCounts) EXPECT_EQ(v.value, "110101********1234");
  EXPECT_EQ(masked->valueCounts[0].count, 2);
  EXPECT_EQ(masked->valueCounts[1].count, 1);

  const auto handedOver = store_->readFindingRecords(1, 1, Masking::NumbersAndNames);
  EXPECT_EQ(handedOver->records[0].values[1], "张*");
  EXPECT_EQ(handedOver->records[2].values[1], "李*");
  EXPECT_EQ(handedOver->records[0].values[2], "110101********1234");

  const auto whole = store_->readFindingRecords(1, 1, Masking::Off);
  EXPECT_EQ(whole->records[2].values, (std::vector<std::string>{"101000000017", "李四", "110101200001011234"}));
  EXPECT_EQ(whole->records[1].values[2], "E1234");
  EXPECT_EQ(whole->valueCounts[1].value, "110101200001011234");

  // The record tables themselves hold the masked numbers only.
  for (const char* sql : {"select vals from errrecord", "select valuecounts from errfinding"})
    for (const auto& row : test::StoreRows(*store_, sql)) EXPECT_EQ(row[0]->find("199001011234"), std::string::npos) << *row[0];
}

TEST_F(MaskedStore, ANewRunAndForgettingLeaveNoRealValueBehind) {
  ASSERT_NE(storeBytes().find("110101199001011234"), std::string::npos);  // set aside for the operator
  store_->forgetRecords();
  EXPECT_EQ(store_->readFindingRecords(1, 1, Masking::Off), std::nullopt);
  EXPECT_EQ(store_->readFindings().size(), 1u);  // the finding itself stays
  for (const char* value : {"110101199001011234", "110101********1234", "张三丰", "101000000015"})
    EXPECT_EQ(storeBytes().find(value), std::string::npos) << value;

  store_->insertFinding(1, "R99", "again");
  store_->addFindingRecords({1, 2, "R99", "KHJBXX", {"ZJHM"}, {{1, {"110101199001011234"}}}, 1, {}});
  store_->clearRun();
  EXPECT_EQ(test::StoreRows(*store_, "select (select count(*) from errunmasked) + (select count(*) from errpersonal)")[0][0],
            "0");
}

}  // namespace
}  // namespace fc::store
