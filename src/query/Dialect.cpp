#include "query/Dialect.h"

namespace fc::query {
namespace {

using P = DialectPart;

constexpr DialectEntry kEntries[] = {
    {P::Clause, "select", "select count(*) from T [alias] [where C]", 0, 0, false,
     "Counts the records of table T (a DBF file of the directory, named without its extension, letter "
     "case ignored) that pass condition C. Records marked deleted are never seen.",
     "select count(*) from khjbxx where sjrq='20080808'"},
    {P::Clause, "group by", "select count(*) from T [where C] group by E1, E2, ...", 0, 0, false,
     "One row per distinct value of the expressions; the rule counts the rows. Texts group with trailing "
     "blanks ignored, NULL keys form one group.",
     "select count(*) from khjbxx where sjrq='20080808' group by zqgsdm, yybdm, zjzh"},
    {P::Clause, "having", "... group by E1, ... having C", 0, 0, false,
     "Keeps the groups for which C holds; C may compare count(*) and count(distinct x) of the group, and "
     "the group's own expressions.",
     "select count(*) from zjzqdy group by zjzh having count(*) > 1"},
    {P::Clause, "distinct", "select distinct E1, E2, ... from T", 0, 0, false,
     "One row per distinct combination of the selected values, as group by gives.",
     "select distinct zjzh from zjzqdy where sjrq='20080808'"},
    {P::Clause, "count(*)", "count(*)", 0, 0, false,
     "The number of records (of the group, under group by); 0 for none, never NULL.",
     "select count(*) from yybxx"},
    {P::Clause, "count(distinct)", "count(distinct x)", 0, 0, false,
     "The number of distinct values of x among the records (of the group); NULL is not counted.",
     "select count(distinct yybdm) from khjbxx where sjrq='20080808'"},
    {P::Clause, "alias", "from T a ... a.x", 0, 0, false,
     "A table given an alias is known by the alias only inside its select, so the table's own name "
     "qualifies an enclosing use of the same table.",
     "select count(*) from khjbxx where not exists(select * from khjbxx b where b.zjzh = khjbxx.zjzh and "
     "b.xhrq <> khjbxx.xhrq)"},

    {P::Condition, "comparison", "x = y, x <> y (also != and #), x < y, x <= y, x > y, x >= y", 0, 0, false,
     "Texts compare with trailing blanks ignored (' 1' differs from '1', '1 ' equals '1') and order by "
     "their bytes in the table's code page, blank-padded: Chinese under GBK in pinyin order for the "
     "common characters, the same whether a column meets a column or a literal. Numbers compare exactly "
     "as decimals (0.1 + 0.2 = 0.3). A text never compares with a number.",
     "select count(*) from zjbdxx where jrye <> zrye + xjcqje and bzdm = 'CN'"},
    {P::Condition, "and, or, not", "C1 and C2, C1 or C2, not C, not(C)", 0, 0, false,
     "Three-valued: a comparison with NULL is unknown, and where counts only the records for which the "
     "condition is true (not unknown is unknown).",
     "select count(*) from khjbxx where not(zjlb = '10' or zjlb = '11')"},
    {P::Condition, "is null", "x is null, x is not null", 0, 0, false,
     "Whether x is NULL. Only a Visual FoxPro field marked null is NULL; a blank text is the empty text "
     "and a blank number 0.",
     "select count(*) from zjzqdy where gddmsc is not null"},
    {P::Condition, "in", "x [not] in (a, b, ...)", 0, 0, false,
     "Whether x equals one of the values, with the equality of =.",
     "select count(*) from khjbxx where zjzhlb not in ('0','1','2','3','9')"},
    {P::Condition, "in (select)", "x [not] in (select y from T2 [where C])", 0, 0, false,
     "Whether x equals a value of the subquery. A subquery without rows makes in false and not in true, "
     "even for a NULL x; a NULL among its values makes a not in that finds no match unknown.",
     "select count(*) from khjbxx where yybdm not in (select yybdm from yybxx)"},
    {P::Condition, "exists", "[not] exists(select * from T2 b where ...)", 0, 0, false,
     "Whether the subquery has a record; its where may name the enclosing table's columns.",
     "select count(*) from zjzqdy a where not exists(select * from khjbxx b where a.zjzh = b.zjzh)"},
    {P::Condition, "like", "s [not] like p", 0, 0, false,
     "Whether text s matches pattern p, where % stands for any characters (none included) and _ for "
     "exactly one; letter case counts, trailing blanks of s and p do not.",
     "select count(*) from khjbxx where zjzh like '10%'"},
    {P::Condition, "between", "x [not] between a and b", 0, 0, false,
     "a <= x and x <= b, both ends included; texts and numbers alike.",
     "select count(*) from khjbxx where khrq between '20080101' and '20081231'"},

    {P::Function, "trim", "trim(s)", 1, 1, false, "s without its trailing blanks.",
     "select count(*) from zjzqdy where trim(gddmsc) not in ('01','02','03','')"},
    {P::Function, "rtrim", "rtrim(s)", 1, 1, false, "The same as trim(s).",
     "select count(*) from khjbxx where rtrim(zjhm) = ''"},
    {P::Function, "ltrim", "ltrim(s)", 1, 1, false, "s without its leading blanks.",
     "select count(*) from khjbxx where ltrim(zjzh) <> zjzh"},
    {P::Function, "alltrim", "alltrim(s)", 1, 1, false, "s without leading and trailing blanks.",
     "select count(*) from khjbxx where alltrim(khqc) = ''"},
    {P::Function, "len", "len(s)", 1, 1, false,
     "The number of characters of s, its field's padding included (len(trim(s)) counts without it).",
     "select count(*) from khjbxx where len(trim(zjhm)) not in (15, 18)"},
    {P::Function, "substr", "substr(s, start [, n])", 2, 3, false,
     "n characters of s (to its end without n) from character start, the first being 1; the empty text "
     "past the end.",
     "select count(*) from khjbxx where substr(zjhm, 7, 4) < '1900'"},
    {P::Function, "left", "left(s, n)", 2, 2, false, "The first n characters of s, padding counted as len counts it.",
     "select count(*) from khjbxx where left(zjzh, 2) = '10'"},
    {P::Function, "right", "right(s, n)", 2, 2, false,
     "The last n characters of s, padding counted as len counts it: right of a padded field ends in "
     "blanks.",
     "select count(*) from khjbxx where right(trim(zjhm), 1) = 'X'"},
    {P::Function, "at", "at(needle, s)", 2, 2, false,
     "The position (in characters, from 1) where needle first occurs in s; 0 when it does not occur.",
     "select count(*) from khjbxx where at(' ', trim(zjhm)) > 0"},
    {P::Function, "upper", "upper(s)", 1, 1, false, "s with the letters a-z in upper case.",
     "select count(*) from khjbxx where upper(zjhm) <> zjhm"},
    {P::Function, "lower", "lower(s)", 1, 1, false, "s with the letters A-Z in lower case.",
     "select count(*) from zjbdxx where lower(bzdm) = 'cn'"},
    {P::Function, "val", "val(s)", 1, 1, false,
     "The number at the start of s after leading blanks: an optional sign, digits and one decimal point, "
     "read exactly; 0 when s does not start with one.",
     "select count(*) from khjbxx where val(zjlb) > 16"},
    {P::Function, "empty", "empty(x)", 1, 1, true,
     "True for a text of blanks only (or none) and for the number 0; false for NULL.",
     "select count(*) from khjbxx where empty(zjhm)"},
    {P::Function, "inlist", "inlist(x, a, b, ...)", 2, -1, true, "The same as x in (a, b, ...).",
     "select count(*) from khjbxx where inlist(zjlb, '10', '11')"},
    {P::Function, "between", "between(x, a, b)", 3, 3, true, "The same as x between a and b.",
     "select count(*) from zjbdxx where between(jrye, 0, 1000000)"},
};

}  // namespace

std::span<const DialectEntry> DialectEntries() { return kEntries; }

const DialectEntry* FindFunction(std::string_view name) {
  for (const DialectEntry& e : kEntries)
    if (e.part == DialectPart::Function && name == e.name) return &e;
  return nullptr;
}

namespace {

constexpr const char* kHead =
    "# The rule language\n"
    "\n"
    "<!-- Generated by `filingcheck-cli rules reference` from the engine's own table\n"
    "     (src/query/Dialect.cpp); a test fails when this file is not current. -->\n"
    "\n"
    "The queries of a rule set's `account.rules` and `identity.rules` are SQL in the FoxPro\n"
    "dialect, run over the DBF tables of one check. Keywords and names are written in any\n"
    "letter case. Every query is a count: `select count(*) ...` gives the rule its number,\n"
    "a `group by` query the number of its groups.\n"
    "\n"
    "## Values\n"
    "\n"
    "- Texts (C fields, and D and L fields as their stored characters): trailing blanks\n"
    "  never matter (`'1 '` equals `'1'`), leading ones do. A blank field is the empty text.\n"
    "  Literals stand in single or double quotes, without escapes. `s + t` joins two texts\n"
    "  as they are, padding included: `zjzh + zjlb` keeps the blanks that fill `zjzh`.\n"
    "- Numbers (N, F, I, Y, B fields and literals such as `12`, `0.5`): exact decimals, so\n"
    "  money sums compare exactly; a blank field is 0. `+`, `-` and a leading `-` work on them.\n"
    "- NULL: only a nullable Visual FoxPro field marked null. A comparison with NULL is\n"
    "  unknown, and a record whose condition is unknown is not counted.\n"
    "- Records marked deleted are not there at all, in counts, groups and subqueries.\n";

constexpr const char* kTail =
    "\n"
    "## A worked example\n"
    "\n"
    "The rule\n"
    "\n"
    "    rule R09 always count\n"
    "    query select count(*) from khjbxx where left(zjzh, 2) <> '10' and sjrq='{date}'\n"
    "    tail 条记录资金账号不以10开头\n"
    "\n"
    "on a KHJBXX of three records of 20080808 whose ZJZH are `1000001`, `2000002` and\n"
    "`  10003` counts 2 (the third starts with blanks), and the check reports\n"
    "\"客户基本信息表数据日期为20080808的记录有 3条,其中 2条记录资金账号不以10开头\".\n"
    "`filingcheck-cli rules check FILE.rules` parses every query of a rule file and names\n"
    "the line of each fault; with `--against DIR --code C --date D` it also runs them on\n"
    "the tables of DIR and prints each rule's count.\n";

const char* PartTitle(DialectPart part) {
  switch (part) {
    case DialectPart::Clause: return "## Queries";
    case DialectPart::Condition: return "## Conditions";
    case DialectPart::Function: return "## Functions";
  }
  return "##";
}

}  // namespace

std::string RuleLanguageReference() {
  std::string out = kHead;
  const DialectEntry* previous = nullptr;
  for (const DialectEntry& e : kEntries) {
    if (!previous || previous->part != e.part) out += std::string("\n") + PartTitle(e.part) + "\n";
    previous = &e;
    out += std::string("\n### `") + e.form + "`\n\n" + e.meaning + "\n\n    " + e.example + "\n";
  }
  return out + kTail;
}

}  // namespace fc::query
