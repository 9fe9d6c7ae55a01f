// The FoxPro query dialect on any text: parse it, print the tree and parse
// the print again (two spellings of one query must mean the same), then run
// it on a small fixed set of tables, as the `sql` command would.
#include <memory>
#include <string>
#include <string_view>

#include "FuzzSupport.h"
#include "dbf/Writer.h"
#include "query/Parser.h"
#include "query/Session.h"

namespace {

namespace fs = std::filesystem;
using fc::dbf::FieldSpec;
using fc::dbf::Format;
using fc::dbf::Writer;

// Two related tables with the kinds of values the rules meet: blanks, a
// deleted record, NULLs, numbers with decimals and Chinese text.
fs::path WriteTables() {
  fs::path dir = fc::fuzz::ScratchDir() / "tables";
  fs::create_directories(dir);
  Writer khjbxx(dir / "KHJBXX.DBF", Format::VisualFoxPro,
                {{"ZQGSDM", 'C', 6}, {"YYBDM", 'C', 6}, {"ZJZH", 'C', 20}, {"KHQC", 'C', 20, 0, true},
                 {"JRYE", 'N', 18, 2, true}, {"SJRQ", 'C', 8}});
  khjbxx.add({"100001", "0001", "A1", "张三", "12.50", "20080808"});
  khjbxx.add({"100001", "0001", "A1", std::nullopt, std::nullopt, "20080808"});
  khjbxx.add({"100002", "0002", "", "李四", "-3", "20080807"}, /*deleted=*/true);
  khjbxx.add({"100001", "0003", "A3", "", "0", ""});
  khjbxx.finish();
  Writer yybxx(dir / "yybxx.dbf", Format::DBase3, {{"YYBDM", 'C', 6}, {"YYBMC", 'C', 12}, {"SJRQ", 'C', 8}});
  yybxx.add({"0001", "营业部", "20080808"});
  yybxx.add({"0002", "", "20080808"});
  yybxx.finish();
  return dir;
}

std::string Column(const fc::query::Expr& e) {
  return e.qualifier.empty() ? e.name : e.qualifier + "." + e.name;
}

// The print spells every operation in parentheses, so it nests deeper than
// a query that leans on precedence and may pass the parser's nesting limit.
bool IsTooDeep(const fc::query::QueryError& e) {
  return std::string_view(e.what()).find("查询嵌套过深") != std::string_view::npos;
}

void CheckPrintParsesAlike(const fc::query::Select& select) {
  std::string printed = Print(select, Column);
  std::unique_ptr<fc::query::Select> again;
  try {
    again = fc::query::Parse(printed);
  } catch (const fc::query::QueryError& e) {
    fc::fuzz::Require(IsTooDeep(e), "the printed query does not parse: " + printed);
    return;
  }
  fc::fuzz::Require(Print(*again, Column) == printed, "the printed query prints otherwise: " + printed);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const fs::path tables = WriteTables();
  std::string_view sql(reinterpret_cast<const char*>(data), size);
  std::unique_ptr<fc::query::Select> select;
  try {
    select = fc::query::Parse(sql);
  } catch (const fc::query::QueryError&) {
    return 0;
  }
  CheckPrintParsesAlike(*select);
  fc::query::Session session;
  std::string error;
  fc::fuzz::Require(session.open(tables, error), "the fixed tables do not open: " + error);
  try {
    session.run(sql);
  } catch (const fc::query::QueryError&) {
  }
  return 0;
}
