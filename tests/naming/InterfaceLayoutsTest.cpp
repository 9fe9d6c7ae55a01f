// The interface agreement file: the shipped layouts and faulty files.
#include <gtest/gtest.h>

#include "naming/InterfaceLayouts.h"
#include "support/TempDir.h"

namespace fc::naming {
namespace {

const std::filesystem::path kShipped = std::filesystem::path(FC_SOURCE_DATA_DIR) / "rulesets/interface-1/layouts.csv";

TEST(InterfaceLayouts, ShippedAgreement) {
  InterfaceLayouts layouts = InterfaceLayouts::load(kShipped);
  ASSERT_EQ(layouts.all().size(), 7u);
  const char* kinds[] = {"KHJBXX", "ZJZQDY", "ZJBDXX", "YYBXX", "ZHBYZ", "SFZFCJG", "SFZHCQK"};
  size_t counts[] = {10, 7, 11, 5, 9, 11, 6};
  for (size_t i = 0; i < 7; ++i) {
    const TableLayout* l = layouts.find(kinds[i]);
    ASSERT_TRUE(l) << kinds[i];
    EXPECT_EQ(l->fields.size(), counts[i]) << kinds[i];
    EXPECT_EQ(l->dateField.has_value(), i < 5) << kinds[i];
  }
  const TableLayout* money = layouts.find("zjbdxx");
  ASSERT_TRUE(money);
  EXPECT_EQ(money->dateField, "SJRQ");
  const LayoutField& jrye = money->fields[9];
  EXPECT_EQ(jrye.name, "JRYE");
  EXPECT_EQ(jrye.type, 'N');
  EXPECT_EQ(jrye.length, 18);
  EXPECT_EQ(jrye.decimals, 2);
  EXPECT_EQ(layouts.find("YYBXX")->fields[3].length, 200);
  for (const TableLayout& l : layouts.all())
    for (const LayoutField& f : l.fields) EXPECT_FALSE(f.meaning.empty()) << l.kind << " " << f.name;
  EXPECT_EQ(layouts.meaningOf("zjzqdy", "yybdm"), "营业部代码");
  EXPECT_EQ(layouts.meaningOf("SFZFCJG", "ZHBD"), "证券、资金账户比对结果");
}

TEST(InterfaceLayouts, KindFromFileName) {
  InterfaceLayouts layouts = InterfaceLayouts::load(kShipped);
  auto kindOf = [&](std::string_view name) {
    const TableLayout* l = layouts.forFileName(name);
    return l ? l->kind : std::string("-");
  };
  EXPECT_EQ(kindOf("100001_KHJBXX_20080808_1.DBF"), "KHJBXX");
  EXPECT_EQ(kindOf("QL_100001_zjbdxx_20080808_1.dbf"), "ZJBDXX");
  EXPECT_EQ(kindOf("100001_YYBXX_20080808_1.DBF"), "YYBXX");
  EXPECT_EQ(kindOf("100001_SFZHCQK_20080804.DBF"), "SFZHCQK");
  EXPECT_EQ(kindOf("ZHBYZ.DBF"), "ZHBYZ");
  EXPECT_EQ(kindOf("100001_KHJBXXX_20080808_1.DBF"), "-");  // a token, not a part of one
  EXPECT_EQ(kindOf("100001KHJBXX20080808.DBF"), "-");
  EXPECT_EQ(kindOf("KHJBXX_"), "KHJBXX");
  EXPECT_EQ(kindOf(""), "-");
}

class FaultyLayouts : public ::testing::Test {
 protected:
  // Loads a file of the header line plus `body`; returns the error text.
  std::string loadError(const std::string& body) {
    auto file = dir_.write("layouts.csv", "# comment\nkind,position,name,type,length,decimals,date\n" + body);
    try {
      InterfaceLayouts::load(file);
    } catch (const LayoutsError& e) {
      return e.what();
    }
    return "loaded";
  }
  test::TempDir dir_;
};

TEST_F(FaultyLayouts, NamesTheLineAndTheFault) {
  EXPECT_NE(loadError("A,1,X,C,1,0\n").find("第3行：应有7列"), std::string::npos);
  EXPECT_NE(loadError("A,1,X,D,8,0,0\n").find("类型"), std::string::npos);
  EXPECT_NE(loadError("A,1,X,C,0,0,0\n").find("长度"), std::string::npos);
  EXPECT_NE(loadError("A,1,X,C,x,0,0\n").find("长度"), std::string::npos);
  EXPECT_NE(loadError("A,1,X,C,4,2,0\n").find("小数位数"), std::string::npos);
  EXPECT_NE(loadError("A,1,X,N,4,5,0\n").find("小数位数"), std::string::npos);
  EXPECT_NE(loadError("A,2,X,C,1,0,0\n").find("不连续"), std::string::npos);
  EXPECT_NE(loadError("A,1,X,C,1,0,0\nA,1,Y,C,1,0,0\n").find("第4行"), std::string::npos);
  EXPECT_NE(loadError("A,1,X,C,1,0,0\nA,2,x,C,1,0,0\n").find("重复"), std::string::npos);
  EXPECT_NE(loadError("A,1,X,C,8,0,1\nA,2,Y,C,8,0,1\n").find("第二个日期字段"), std::string::npos);
  EXPECT_NE(loadError("").find("没有表结构"), std::string::npos);
  EXPECT_NE(loadError(",1,X,C,1,0,0\n").find("不能为空"), std::string::npos);
  EXPECT_THROW(InterfaceLayouts::load(dir_ / "missing.csv"), LayoutsError);
}

TEST_F(FaultyLayouts, MeaningColumnIsOptionalLineByLine) {
  // A file of the seven-column form loads as before, with no meanings; an
  // eighth column gives one; a ninth marks a personal field; a tenth is
  // refused like any other count.
  EXPECT_EQ(loadError("A,1,X,C,1,0,0\nA,2,Y,C,1,0,0,金额\nB,1,Y,C,1,0,0, 余额 \nB,2,Z,C,1,0,0,\n"), "loaded");
  InterfaceLayouts l = InterfaceLayouts::load(dir_ / "layouts.csv");
  EXPECT_EQ(l.find("A")->fields[0].meaning, "");
  EXPECT_EQ(l.meaningOf("A", "y"), "金额");
  EXPECT_EQ(l.meaningOf("B", "Y"), "余额");
  EXPECT_EQ(l.meaningOf("A", "X"), "");          // no meaning anywhere
  EXPECT_EQ(l.meaningOf("B", "X"), "");          // not a field of B, none elsewhere
  EXPECT_EQ(l.meaningOf("C", "Y"), "金额");       // unknown kind: the first layout that knows it
  EXPECT_EQ(l.meaningOf("B", "Z"), "");          // empty column, no meaning
  EXPECT_EQ(l.find("A")->fields[1].personal, privacy::Personal::None);
  EXPECT_EQ(loadError("A,1,X,C,1,0,0,证件号码,id\nA,2,Y,C,1,0,0,,name\nB,1,X,C,1,0,0,,\n"), "loaded");
  l = InterfaceLayouts::load(dir_ / "layouts.csv");
  EXPECT_EQ(l.personalFields().of("a", "x"), privacy::Personal::IdentityNumber);
  EXPECT_EQ(l.personalFields().of("A", "Y"), privacy::Personal::Name);
  EXPECT_EQ(l.personalFields().of("B", "X"), privacy::Personal::None);
  EXPECT_NE(loadError("A,1,X,C,1,0,0,a,b\n").find("第3行：个人信息标记应为id、name或空，不能是“b”"),
            std::string::npos);
  EXPECT_NE(loadError("A,1,X,C,1,0,0,a,id,c\n")
                .find("第3行：应有7列（含字段含义为8列，再含个人信息标记为9列），实有10列"),
            std::string::npos);
}

TEST_F(FaultyLayouts, QuotedFieldsReadAsSpreadsheetsWriteThem) {
  EXPECT_EQ(loadError("A,1,X,C,1,0,0,\"资金账号,即客户号\",id\n\"A\",\"2\",Y,C,1,0,0,\"say \"\"x\"\"\"\n"), "loaded");
  InterfaceLayouts l = InterfaceLayouts::load(dir_ / "layouts.csv");
  EXPECT_EQ(l.meaningOf("A", "X"), "资金账号,即客户号");
  EXPECT_EQ(l.meaningOf("A", "Y"), "say \"x\"");
  EXPECT_EQ(l.personalFields().of("A", "X"), privacy::Personal::IdentityNumber);
  EXPECT_NE(loadError("A,1,X,C,1,0,0,\"open\n").find("第3行：引号没有结束"), std::string::npos);
}

TEST_F(FaultyLayouts, ToleratesBlankLinesCarriageReturnsAndSpaces) {
  const auto file = dir_.write("bom.csv", "\xEF\xBB\xBFkind,position,name,type,length,decimals,date\r\nA,1,X,C,1,0,0\r\n");
  EXPECT_EQ(InterfaceLayouts::load(file).find("A")->fields.size(), 1u);
  EXPECT_EQ(loadError("\r\nab , 1 , x , N , 5 , 2 , 1\r\n\r\nAB,2,Y,C,1,0,0\r\n"), "loaded");
  InterfaceLayouts l = InterfaceLayouts::load(dir_ / "layouts.csv");
  ASSERT_TRUE(l.find("AB"));
  EXPECT_EQ(l.find("ab")->fields[0].name, "X");
  EXPECT_EQ(l.find("AB")->dateField, "X");
  EXPECT_EQ(l.find("AB")->fields.size(), 2u);
}

}  // namespace
}  // namespace fc::naming
