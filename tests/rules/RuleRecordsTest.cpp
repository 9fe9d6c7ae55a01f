// The records behind every finding of every rule, against an oracle that
// knows nothing of how they are gathered: a record is behind a finding
// exactly when deleting it lowers the rule's count by one (a count rule's
// count; total minus groups for a key rule). Over random tables with NULL
// and blank values, deleted records, repeated keys and keys of mixed width.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <random>
#include <set>

#include "query/Session.h"
#include "rules/RuleFixture.h"
#include "rules/RuleTables.h"
#include "rules/RuleText.h"
#include "rules/Rules.h"

namespace fc::rules::test {
namespace {

using Value = std::optional<std::string>;
using Pool = std::vector<Value>;

// Values each field draws from: sound ones, broken ones, blanks and NULL;
// account numbers of different widths (" A1" is not "A1"). A table other
// rules look branches or notices up in holds only some of them.
Pool PoolOf(const dbf::FieldSpec& f, bool lookup) {
  if (f.name == "YYBDM" && lookup) return {"000001", "000002", ""};
  if (f.name == "FCTZXH" && lookup) return {"20080808100001000001", "20080808100001000002", ""};
  if (f.name == "SJRQ") return {kDate, kDate, kDate, kDate, kDate, kOtherDate, std::nullopt};
  if (f.name == "ZQGSDM") return {kCode, kCode, kCode, kCode, kOtherCode, "", std::nullopt};
  if (f.name == "YYBDM") return {"000001", "000001", "000002", "000009", "1", "", std::nullopt};
  if (f.name == "ZJZH") return {"A1", "A10", " A1", "B", "", std::nullopt};
  if (f.name == "FCTZXH")
    return {"20080808100001000001", "20080808100001000002", "20080808100001000003", "2008080810000100001",
            "20080808100001000000", "20080808100002000001", "", std::nullopt};
  if (f.type == 'N') return {"100.10", "0.00", "0.20", "5", "-1.5", "", std::nullopt};
  return {"0", "1", "2", "01", "02", "05", "08", "09", "99", "CN", "X", "", "", std::nullopt};
}

struct Table {
  std::string kind;
  Rows rows;
  TableOptions options;
};

// 80 random records; every seventh a copy of an earlier one (a repeated
// key), every ninth deleted. Nullable tables are Visual FoxPro tables.
Table RandomTable(const std::string& kind, bool nullable, bool lookup, std::mt19937& random) {
  Table t{kind, {}, {}};
  const auto fields = fc::test::FieldsOf(kind);
  for (int i = 0; i < 80; ++i) {
    if (i % 7 == 3) {
      t.rows.push_back(t.rows[static_cast<size_t>(i - 2 - i % 3)]);
      continue;
    }
    Row row;
    for (const auto& f : fields) {
      const Pool pool = PoolOf(f, lookup);
      row[f.name] = pool[std::uniform_int_distribution<size_t>(0, pool.size() - 1)(random)];
    }
    t.rows.push_back(row);
  }
  for (size_t i = 4; i < t.rows.size(); i += 9) t.options.deleted.push_back(i);
  if (nullable)
    for (const auto& f : fields) t.options.nullable.push_back(f.name);
  return t;
}

// What the operator sees for a written value.
std::string Shown(const Table& t, const dbf::FieldSpec& f, const Value& v) {
  if (!v) return t.options.nullable.empty() ? "" : "NULL";
  std::string s = v->substr(0, f.length);
  s.erase(s.find_last_not_of(' ') + 1);
  if (f.type == 'N') s.erase(0, s.find_first_not_of(' ') == std::string::npos ? s.size() : s.find_first_not_of(' '));
  return s;
}

struct RuleSpec {
  std::string code;  // errid
  std::string sql;   // the rule's query with date and code spliced in
  bool key;          // counted as groups
};

struct Case {
  std::string kind;                                  // the table the rules look at
  std::vector<std::string> others;                   // the other tables of the submission
  std::vector<RuleSpec> rules;                       // in the order they run
  std::string totalSql;                              // the key rules' total
  std::function<void(RuleContext&, int fileId)> run; // the rule operation
};

std::vector<Case> Cases() {
  std::vector<Case> cases;
  const char* const account[] = {"KHJBXX", "ZJZQDY", "ZJBDXX", "YYBXX", "ZHBYZ"};
  for (int kind = 1; kind <= 5; ++kind) {
    Case c;
    c.kind = account[kind - 1];
    for (const char* other : account)
      if (other != c.kind) c.others.push_back(other);
    const AccountTable* table = ShippedRules().accountRulesOf(AccountKindNumbered(kind));
    for (const AccountRule& r : table->rules)
      c.rules.push_back({r.code, SpliceQuery(r.query, kDate, kCode), r.form == Form::Key});
    c.totalSql = SpliceQuery(table->totalQuery, kDate, kCode);
    c.run = [kind](RuleContext& ctx, int fileId) { CheckAccountDataLogic(ctx, AccountKindNumbered(kind), 1, 1, fileId); };
    cases.push_back(std::move(c));
  }
  Case identity{"SFZFCJG", {"SFZHCQK"}, {}, ShippedRules().identity().totalQuery, [](RuleContext& ctx, int fileId) {
                  CheckIdentityDataLogic(ctx, IdentityKind::Sfzfcjg, 1, fileId);
                }};
  for (const IdentityRule& r : ShippedRules().identity().rules) identity.rules.push_back({r.code, SpliceQuery(r.query, "", kCode), false});
  cases.push_back(std::move(identity));
  return cases;
}

class RuleRecords : public RuleFixture {
 protected:
  void Write(const Table& t) { RuleFixture::Write(t.kind, t.rows, t.options); }

  // Per rule the count its finding stands for: a count rule's count, or a
  // key rule's records minus its groups.
  std::vector<int64_t> Measures(const Case& c) {
    query::Session session;
    std::string error;
    EXPECT_TRUE(session.open(lchkdir_.path(), error)) << error;
    std::vector<int64_t> measures;
    for (const RuleSpec& r : c.rules)
      measures.push_back(r.key ? session.count(c.totalSql) - session.rows(r.sql) : session.count(r.sql));
    return measures;
  }

  // Per rule the record numbers (from 1) whose deletion lowers its measure by one.
  std::vector<std::set<int64_t>> Oracle(const Case& c, Table t) {
    const std::vector<int64_t> all = Measures(c);
    std::vector<std::set<int64_t>> behind(c.rules.size());
    const auto deleted = t.options.deleted;
    for (size_t i = 0; i < t.rows.size(); ++i) {
      t.options.deleted = deleted;
      t.options.deleted.push_back(i);
      Write(t);
      const std::vector<int64_t> without = Measures(c);
      for (size_t r = 0; r < c.rules.size(); ++r) {
        EXPECT_TRUE(all[r] - without[r] == 0 || all[r] - without[r] == 1) << c.rules[r].code << " record " << i;
        if (all[r] - without[r] == 1) behind[r].insert(static_cast<int64_t>(i) + 1);
      }
    }
    t.options.deleted = deleted;
    Write(t);
    return behind;
  }

  std::vector<store::FindingRow> RunRules(const Case& c, size_t limit, int fileId) {
    store_->clearRun();
    Run([&](RuleContext& ctx) {
      ctx.recordsLimit = limit;
      c.run(ctx, fileId);
    });
    return store_->readFindings();
  }
};

// The values a record shows, checked against the row as written.
void ExpectValues(const Table& t, const store::FindingRecords& f, const store::FindingRecords::Record& r) {
  const auto fields = fc::test::FieldsOf(t.kind);
  const Row& row = t.rows[static_cast<size_t>(r.recno - 1)];
  ASSERT_EQ(r.values.size(), f.fields.size());
  for (size_t k = 0; k < f.fields.size(); ++k) {
    auto spec = std::find_if(fields.begin(), fields.end(), [&](const auto& s) { return s.name == f.fields[k]; });
    ASSERT_NE(spec, fields.end()) << f.fields[k];
    EXPECT_EQ(r.values[k], Shown(t, *spec, row.at(spec->name))) << f.errid << " " << f.fields[k] << " record " << r.recno;
  }
}

// Per tested field, the counts of its values among the records behind.
void ExpectValueCounts(const Table& t, const store::FindingRecords& f, const std::set<int64_t>& behind) {
  const auto fields = fc::test::FieldsOf(t.kind);
  std::set<std::string> tested;
  for (const auto& v : f.valueCounts) tested.insert(v.field);
  EXPECT_FALSE(tested.empty()) << f.errid;
  for (const std::string& name : tested) {
    auto spec = std::find_if(fields.begin(), fields.end(), [&](const auto& s) { return s.name == name; });
    ASSERT_NE(spec, fields.end());
    std::map<std::string, int64_t> histogram;
    for (int64_t recno : behind) ++histogram[Shown(t, *spec, t.rows[static_cast<size_t>(recno - 1)].at(name))];
    std::vector<std::pair<int64_t, std::string>> expected, reported;
    for (const auto& [value, count] : histogram) expected.push_back({-count, value});
    std::sort(expected.begin(), expected.end());
    expected.resize(std::min<size_t>(expected.size(), 20));
    for (const auto& v : f.valueCounts)
      if (v.field == name) reported.push_back({-v.count, v.value});
    EXPECT_EQ(reported, expected) << f.errid << " " << name;
  }
}

// A key rule's records come key by key (the group by fields, NULL first),
// each key's records in record order.
void ExpectKeyOrder(const store::FindingRecords& f) {
  std::vector<size_t> keyColumns;
  std::vector<std::string> seen;
  for (const auto& v : f.valueCounts)
    if (std::find(seen.begin(), seen.end(), v.field) == seen.end()) seen.push_back(v.field);
  for (const std::string& name : seen)
    keyColumns.push_back(static_cast<size_t>(std::find(f.fields.begin(), f.fields.end(), name) - f.fields.begin()));
  auto key = [&](const store::FindingRecords::Record& r) {
    std::vector<std::pair<bool, std::string>> k;
    for (size_t c : keyColumns) k.push_back({r.values.at(c) != "NULL", r.values.at(c)});
    return k;
  };
  for (size_t i = 1; i < f.records.size(); ++i) {
    const auto a = key(f.records[i - 1]), b = key(f.records[i]);
    EXPECT_TRUE(a < b || (a == b && f.records[i - 1].recno < f.records[i].recno))
        << f.errid << " records " << f.records[i - 1].recno << ", " << f.records[i].recno;
  }
}

TEST_F(RuleRecords, EveryRuleKeepsExactlyTheRecordsItCounted) {
  std::mt19937 random(20080808);
  int fileId = 0;
  for (const Case& c : Cases()) {
    SCOPED_TRACE(c.kind);
    ++fileId;
    const Table table = RandomTable(c.kind, fileId % 2 == 1, false, random);
    Write(table);
    for (const std::string& other : c.others) Write(RandomTable(other, other == "ZJZQDY", true, random));
    const std::vector<int64_t> measures = Measures(c);
    const std::vector<std::set<int64_t>> oracle = Oracle(c, table);

    const auto findings = RunRules(c, 0, fileId);
    std::vector<std::optional<store::FindingRecords>> kept;
    for (const auto& row : findings) kept.push_back(store_->readFindingRecords(row.fileid, row.finding));
    const auto capped = RunRules(c, 3, fileId);
    ASSERT_EQ(capped.size(), findings.size());
    size_t next = 0;
    for (size_t r = 0; r < c.rules.size(); ++r) {
      const RuleSpec& rule = c.rules[r];
      ASSERT_NE(measures[r], 0) << rule.code << " finds nothing in the random table: no test of it";
      ASSERT_LT(next, findings.size()) << rule.code;
      const store::FindingRow& row = findings[next];
      const auto& f = kept[next++];
      EXPECT_EQ(row.errid, rule.code);
      ASSERT_TRUE(f) << rule.code;
      std::vector<int64_t> recnos;
      for (const auto& rec : f->records) recnos.push_back(rec.recno);
      EXPECT_EQ(f->total, static_cast<int64_t>(oracle[r].size())) << rule.code;
      if (rule.key) {
        EXPECT_EQ(std::set<int64_t>(recnos.begin(), recnos.end()), oracle[r]) << rule.code;
        ExpectKeyOrder(*f);
      } else {
        EXPECT_EQ(f->total, measures[r]) << rule.code;
        EXPECT_EQ(recnos, std::vector<int64_t>(oracle[r].begin(), oracle[r].end())) << rule.code;
      }
      for (const auto& rec : f->records) ExpectValues(table, *f, rec);
      ExpectValueCounts(table, *f, oracle[r]);

      const store::FindingRow& cappedRow = capped[next - 1];
      EXPECT_EQ(cappedRow.errdesc, row.errdesc);
      EXPECT_EQ(cappedRow.total, row.total);
      EXPECT_EQ(cappedRow.recordsKept, std::min<int64_t>(3, row.total));
      const auto first = store_->readFindingRecords(cappedRow.fileid, cappedRow.finding);
      ASSERT_TRUE(first);
      for (size_t i = 0; i < first->records.size(); ++i) EXPECT_EQ(first->records[i].recno, recnos.at(i)) << rule.code;
    }
    EXPECT_EQ(next, findings.size());
  }
}

}  // namespace
}  // namespace fc::rules::test
