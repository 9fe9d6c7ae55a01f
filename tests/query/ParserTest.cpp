#include "query/Parser.h"

#include <gtest/gtest.h>

#include "query/Lexer.h"
#include "query/Session.h"

namespace fc::query {
namespace {

std::string Spelled(const Expr& e) {
  return Print(e, [](const Expr& c) { return c.qualifier.empty() ? c.name : c.qualifier + "." + c.name; });
}

std::string Where(const std::string& sql) { return Spelled(*Parse(sql)->where); }

std::string ErrorOf(const std::string& sql) {
  try {
    Parse(sql);
  } catch (const QueryError& e) {
    return e.what();
  }
  return "(no error)";
}

TEST(Parser, BlanksAroundOperatorsAreOptional) {
  EXPECT_EQ(Where("select count(*) from khjbxx where zqgsdm<> '100001' and sjrq='20080808'"),
            "((zqgsdm <> '100001') and (sjrq = '20080808'))");
  EXPECT_EQ(Where("select count(*) from khjbxx where zjzhlb not in('0','1')"), "(zjzhlb not in ('0', '1'))");
  EXPECT_EQ(Where("select count(*) from t where  yybdm  not in (select yybdm from yybxx where sjrq='1')"),
            "(yybdm not in (select yybdm from yybxx where (sjrq = '1')))");
  EXPECT_EQ(Where("select count(*) from t where a>=1 and b<=2 and c!=3 and d#4 and e<5 and f>6"),
            "((a >= 1) and (b <= 2) and (c <> 3) and (d <> 4) and (e < 5) and (f > 6))");
}

TEST(Parser, KeywordsIgnoreCaseAndNamesKeepTheirSpelling) {
  auto s = Parse("SeLeCt COUNT(*) FrOm KhJbXx WHERE Sjrq=\"x\" GROUP BY ZqGsDm, yybdm");
  EXPECT_EQ(s->table, "KhJbXx");
  EXPECT_EQ(Spelled(*s->where), "(Sjrq = 'x')");
  ASSERT_EQ(s->groupBy.size(), 2u);
  EXPECT_EQ(Spelled(*s->groupBy[0]), "ZqGsDm");
}

TEST(Parser, PrecedenceOfLogicAndArithmetic) {
  EXPECT_EQ(Where("select * from t where a='1' or b='2' and c='3'"),
            "((a = '1') or ((b = '2') and (c = '3')))");
  EXPECT_EQ(Where("select * from t where not a='1' and b='2'"), "((not (a = '1')) and (b = '2'))");
  EXPECT_EQ(Where("select * from t where  jrye<>zrye+xjcqje-fjzjyje"),
            "(jrye <> ((zrye + xjcqje) - fjzjyje))");
  EXPECT_EQ(Where("select * from t where -a - -1.50 > .5"), "(((-a) - (-1.50)) > .5)");
}

TEST(Parser, SubqueriesAliasesAndFunctions) {
  auto s = Parse(
      "SELECT count(*) from zjzqdy a where not exists(select * from khjbxx b where a.zqgsdm=b.zqgsdm and "
      "a.yybdm=b.yybdm and a.zjzh=b.zjzh and b.sjrq='20080808')  and a.sjrq='20080808'");
  EXPECT_EQ(s->alias, "a");
  EXPECT_EQ(Spelled(*s->where),
            "((not (exists (select * from khjbxx b where ((a.zqgsdm = b.zqgsdm) and (a.yybdm = b.yybdm) "
            "and (a.zjzh = b.zjzh) and (b.sjrq = '20080808'))))) and (a.sjrq = '20080808'))");
  EXPECT_EQ(Where("select * from t where  len(trim(fctzxh))<>20 or substr(trim(fctzxh),15,6) = '000000'"),
            "((len(trim(fctzxh)) <> 20) or (substr(trim(fctzxh), 15, 6) = '000000'))");
  EXPECT_EQ(Where("select * from t where a is not null and b is null"), "((a is not null) and (b is null))");
}

TEST(Parser, FoxProFormsPrintAsOneSpelling) {
  EXPECT_EQ(Where("select * from t where a not like 'x%' and b between 1 and 2 and between(c, 'a', 'b')"),
            "((a not like 'x%') and (b between 1 and 2) and (c between 'a' and 'b'))");
  EXPECT_EQ(Where("select * from t where LEFT(a, 2) + Right(b, 1) = 'x' and not empty(c) or inlist(d, 1, 2)"),
            "((((left(a, 2) + right(b, 1)) = 'x') and (not empty(c))) or inlist(d, 1, 2))");
  auto s = Parse("select distinct count(distinct a) from t group by b having count(*) > 1");
  EXPECT_TRUE(s->distinct);
  EXPECT_EQ(s->items[0]->kind, ExprKind::CountDistinct);
  EXPECT_EQ(Print(*s, [](const Expr& c) { return c.name; }), "select distinct count(distinct a) from t group by b having (count(*) > 1)");
}

TEST(Parser, SelectListForms) {
  auto s = Parse("select zjzh, count(*), trim(khqc) from khjbxx group by zjzh");
  ASSERT_EQ(s->items.size(), 3u);
  EXPECT_EQ(s->items[1]->kind, ExprKind::CountStar);
  EXPECT_TRUE(Parse("select * from khjbxx")->star);
}

TEST(Parser, ConstructsOutsideTheGrammarAreNamed) {
  EXPECT_EQ(ErrorOf("select count(*) from t order by a"), "不支持的语法: order by a");
  EXPECT_EQ(ErrorOf("select count(*) from t inner join u on t.a = u.a"), "不支持的语法: inner join u on t.a = u.a");
  EXPECT_EQ(ErrorOf("select count(*) from t, u"), "不支持的语法: , u");
  EXPECT_EQ(ErrorOf("delete from t"), "不支持的语法: delete from t");
  EXPECT_EQ(ErrorOf("select count(*) from t where a = 1 ; drop"), "不支持的语法: ; drop");
  EXPECT_EQ(ErrorOf("select count(*) from t having count(*) > 1"), "不支持的语法: having count(*) > 1");
  EXPECT_EQ(ErrorOf("select count(*) from t where a between 1"), "不支持的语法: 查询在 \"select count(*) from t where a between 1\" 末尾意外结束");
}

TEST(Parser, IncompleteQueriesAndBadLiterals) {
  EXPECT_NE(ErrorOf("select count(*) from t where (a=1").find("意外结束"), std::string::npos);
  EXPECT_NE(ErrorOf("").find("意外结束"), std::string::npos);
  EXPECT_NE(ErrorOf("select count(*) from").find("意外结束"), std::string::npos);
  EXPECT_EQ(ErrorOf("select count(*) from t where a='abc"), "字符串未结束: 'abc");
  // An excerpt never cuts a Chinese character in two.
  std::string message = ErrorOf("select * from t where a ~ '" + std::string(22, 'x') + "中文'");
  EXPECT_EQ(message, "不支持的语法: ~ '" + std::string(22, 'x') + "中文");
}

}  // namespace
}  // namespace fc::query
