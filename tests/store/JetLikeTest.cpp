// Jet's `like` on its own and as SQLite's LIKE on a store connection.
#include <gtest/gtest.h>

#include <string>

#include "store/Store.h"
#include "support/TempDir.h"

namespace fc::store {
namespace {

TEST(JetLike, StarAndQuestionMark) {
  EXPECT_TRUE(JetLike("", "*"));
  EXPECT_TRUE(JetLike("abc", "a*"));
  EXPECT_TRUE(JetLike("abc", "*c"));
  EXPECT_TRUE(JetLike("abc", "a*b*c"));
  EXPECT_FALSE(JetLike("abc", "a*d"));
  EXPECT_TRUE(JetLike("abc", "a?c"));
  EXPECT_FALSE(JetLike("ac", "a?c"));
  EXPECT_FALSE(JetLike("abbc", "a?c"));
  // One Chinese character is one character, not three bytes.
  EXPECT_TRUE(JetLike("表1", "?1"));
  EXPECT_FALSE(JetLike("表1", "???1"));
}

TEST(JetLike, DigitMatchesOnlyAsciiDigits) {
  EXPECT_TRUE(JetLike("A7", "A#"));
  EXPECT_FALSE(JetLike("AB", "A#"));
  EXPECT_FALSE(JetLike("A７", "A#"));  // full-width seven
  EXPECT_TRUE(JetLike("100001_X", "######_*"));
}

TEST(JetLike, PercentAndUnderscoreStandForThemselves) {
  EXPECT_TRUE(JetLike("a_c", "a_c"));
  EXPECT_FALSE(JetLike("abc", "a_c"));
  EXPECT_TRUE(JetLike("a%c", "a%c"));
  EXPECT_FALSE(JetLike("abbc", "a%c"));
  EXPECT_FALSE(JetLike("ac", "a%c"));
}

TEST(JetLike, LettersIgnoreCase) {
  EXPECT_TRUE(JetLike("100001_khjbxx_20080808_3.zip", "*_KHJBXX_*.ZIP"));
  EXPECT_TRUE(JetLike("ÉTÉ", "été"));
  EXPECT_TRUE(JetLike("ＡＢ", "ａｂ"));
  EXPECT_FALSE(JetLike("表", "衣"));
}

TEST(JetLike, CharacterClasses) {
  EXPECT_TRUE(JetLike("b", "[a-c]"));
  EXPECT_FALSE(JetLike("d", "[a-c]"));
  EXPECT_TRUE(JetLike("B", "[a-c]"));
  EXPECT_TRUE(JetLike("b", "[A-C]"));
  EXPECT_TRUE(JetLike("x", "[xyz]"));
  EXPECT_FALSE(JetLike("w", "[xyz]"));
  EXPECT_TRUE(JetLike("d", "[!a-c]"));
  EXPECT_FALSE(JetLike("b", "[!a-c]"));
  EXPECT_FALSE(JetLike("", "[!a-c]"));  // a class always takes one character
  // Wildcards inside a class are plain characters; "-" at either end too.
  EXPECT_TRUE(JetLike("*", "[*]"));
  EXPECT_FALSE(JetLike("a", "[*]"));
  EXPECT_TRUE(JetLike("#", "[#]"));
  EXPECT_TRUE(JetLike("-", "[a-]"));
  EXPECT_TRUE(JetLike("-", "[-a]"));
  EXPECT_TRUE(JetLike("!", "[a!]"));
  EXPECT_TRUE(JetLike("x_3.ZIP", "*[_]3.*"));
}

TEST(JetLike, UnclosedBracketIsLiteral) {
  EXPECT_TRUE(JetLike("a[b", "a[b"));
  EXPECT_TRUE(JetLike("[", "["));
  EXPECT_FALSE(JetLike("ab", "a[b"));
}

TEST(JetLike, EscapeMakesWildcardLiteral) {
  EXPECT_TRUE(JetLike("a*c", "a\\*c", U'\\'));
  EXPECT_FALSE(JetLike("abc", "a\\*c", U'\\'));
  EXPECT_TRUE(JetLike("a?", "a\\?", U'\\'));
}

TEST(JetLike, StrayBytesAreCharactersOfTheirOwn) {
  EXPECT_TRUE(JetLike("\xff", "?"));
  EXPECT_FALSE(JetLike("\xff", "\xc3\xbf"));  // U+00FF is a different character
  EXPECT_TRUE(JetLike("a\xe8\xa1", "a??"));  // a cut-off sequence: two stray bytes
}

TEST(JetLike, ManyStarsStayLinear) {
  // Backtracking over every star would take astronomically long here.
  const std::string text(20000, 'a');
  EXPECT_FALSE(JetLike(text, "*a*a*a*a*a*a*a*a*a*a*b"));
  EXPECT_TRUE(JetLike(text + "b", "*a*a*a*a*a*a*a*a*a*a*b"));
}

class JetLikeSql : public ::testing::Test {
 protected:
  void SetUp() override {
    data_.write("zqgs.csv", "code,name\n");
    store_ = Store::open(home_.path(), data_.path());
  }
  std::optional<std::string> eval(const std::string& expr) { return store_->execute("select " + expr)[0][0]; }

  test::TempDir home_, data_;
  std::unique_ptr<Store> store_;
};

TEST_F(JetLikeSql, LikeHasJetMeaning) {
  EXPECT_EQ(eval("'ABC' like 'a*'"), "1");
  EXPECT_EQ(eval("'abc' like 'a%'"), "0");
  EXPECT_EQ(eval("'a%' like 'a%'"), "1");
  EXPECT_EQ(eval("'abc' not like 'a?c'"), "0");
  EXPECT_EQ(eval("null like 'a*'"), std::nullopt);
  EXPECT_EQ(eval("'a*c' like 'a!*c' escape '!'"), "1");
  EXPECT_EQ(eval("'abc' like 'a!*c' escape '!'"), "0");
  EXPECT_THROW(eval("'a' like 'a' escape 'xy'"), StoreError);
}

TEST_F(JetLikeSql, ConstantPatternOverManyRows) {
  store_->execute("create temp table t (v text)");
  for (int i = 0; i < 30; ++i) store_->execute("insert into t values ('f_" + std::to_string(i) + ".ZIP')");
  EXPECT_EQ(store_->execute("select count(*) from t where v like '*_3.*'")[0][0], "1");
  EXPECT_EQ(store_->execute("select count(*) from t where v like '*_2#.*'")[0][0], "10");
}

}  // namespace
}  // namespace fc::store
