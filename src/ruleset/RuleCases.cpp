#include "ruleset/RuleCases.h"

#include <algorithm>
#include <map>
#include <optional>
#include <set>
#include <sstream>

#include "naming/Kinds.h"
#include "platform/Utf8Paths.h"
#include "query/Session.h"
#include "rules/GroupCheck.h"
#include "ruleset/LayoutTables.h"
#include "ruleset/SetFile.h"
#include "ruleset/SoundValues.h"
#include "text/DataFile.h"
#include "text/Text.h"

namespace fc::ruleset {

namespace fs = std::filesystem;

namespace {

constexpr const char* kWhat = "用例文件";
constexpr const char* kKeywords[] = {"submission", "code", "date", "default", "case", "transfer", "table", "expect"};

struct CaseTable {
  const naming::TableLayout* layout = nullptr;
  int line = 0;
  std::vector<std::string> heading;         // field names, upper case
  std::vector<std::vector<std::string>> rows;
};

struct Case {
  int line = 0;
  std::string rule;
  std::string title;
  bool fullTransfer = true;
  std::vector<CaseTable> tables;
  std::vector<CaseFinding> expected;
  bool expectsNone = false;
};

struct CaseFile {
  std::string name;
  naming::Submission submission = naming::Submission::Account;
  std::string code;
  std::string date;  // YYYYMMDD
  std::map<std::string, LayoutRecord> defaults;  // by kind
  std::vector<Case> cases;
};

// The rule codes of one submission in a set, in the order they run.
std::vector<std::string> RuleCodes(const rules::RuleBook& book, naming::Submission submission) {
  std::vector<std::string> codes;
  auto add = [&](const char* code) {
    if (std::find(codes.begin(), codes.end(), code) == codes.end()) codes.emplace_back(code);
  };
  if (submission == naming::Submission::Identity) {
    for (const rules::IdentityRule& r : book.identity().rules) add(r.code);
    return codes;
  }
  for (size_t k = 0; k < naming::kAccountKinds.size(); ++k)
    for (const rules::AccountRule& r : book.accountRulesOf(naming::AccountKindAt(k))->rules) add(r.code);
  return codes;
}

const char* RulesFileOf(naming::Submission submission) {
  return submission == naming::Submission::Identity ? rules::kIdentityRulesFile : rules::kAccountRulesFile;
}

// Reads one case file into its cases, every item checked against the set.
class CaseReader {
 public:
  CaseReader(const fs::path& path, const RuleSet& set) : data_(Open(path)), set_(set) {
    file_.name = platform::Utf8Of(path.filename());
    for (const text::DataLine& line : data_.lines()) raw_[line.number] = line.text;
  }

  CaseFile read() {
    for (const text::CsvRecord& record : Records(data_)) {
      line_ = record.number;
      const std::string& raw = raw_[line_];
      const std::string keyword = raw.substr(0, raw.find(' '));
      if (std::find(std::begin(kKeywords), std::end(kKeywords), keyword) != std::end(kKeywords))
        item(keyword, std::string(text::Trim(raw.substr(keyword.size()), text::kWhite)));
      else
        row(record.fields);
    }
    line_ = data_.lastLine();
    endCase();
    if (file_.code.empty()) fail("缺少“code”");
    return std::move(file_);
  }

 private:
  static text::DataFile Open(const fs::path& path) {
    try {
      return text::DataFile(path, kWhat, ReadSetFile(path));
    } catch (const text::DataFileError& e) {
      throw RuleSetError(e.what());
    }
  }

  // The file's CSV records; a quote left open is a fault of its line.
  static std::vector<text::CsvRecord> Records(const text::DataFile& data) {
    try {
      return data.csvRecords();
    } catch (const text::DataFileError& e) {
      throw RuleSetError(e.what());
    }
  }

  [[noreturn]] void fail(const std::string& what) const { throw RuleSetError(data_.fault(line_, what)); }

  void item(const std::string& keyword, const std::string& value) {
    table_ = nullptr;
    if (value.empty()) fail("“" + keyword + "”后缺少内容");
    if (keyword == "submission" || keyword == "code" || keyword == "date") return head(keyword, value);
    if (file_.code.empty() || file_.date.empty()) fail("用例之前应先写 submission、code 和 date");
    if (keyword == "default") return openDefault(value);
    if (keyword == "case") return openCase(value);
    if (!case_) fail("“" + keyword + "”之前缺少 case");
    if (keyword == "transfer") return transfer(value);
    if (keyword == "table") return openTable(value);
    expect(value);
  }

  void head(const std::string& keyword, const std::string& value) {
    if (case_ || !file_.defaults.empty()) fail("“" + keyword + "”应写在文件开头");
    if (keyword == "submission") {
      if (value != "account" && value != "identity") fail("“submission”应为 account 或 identity");
      file_.submission = naming::SubmissionFromCode(value);
      submissionGiven_ = true;
    } else if (keyword == "code") {
      if (value.size() != 6 || !text::AllDigits(value)) fail("“code”应为6位数字的证券公司代码");
      file_.code = value;
    } else {
      const std::optional<std::string> day = DayDigits(value);
      if (!day) fail("“date”应为 YYYY-MM-DD 形式的日期");
      file_.date = *day;
    }
    if (keyword != "submission" && !submissionGiven_) fail("第一项应为“submission”");
  }

  const naming::TableLayout& layoutOf(const std::string& kind) const {
    bool ours = false;
    for (const naming::Kind& k : naming::Kinds(file_.submission)) ours = ours || kind == k.name;
    const naming::TableLayout* layout = set_.layouts.find(kind);
    if (!ours || !layout) fail("表 " + kind + " 不是" + naming::SubmissionTitle(file_.submission) + "的表");
    return *layout;
  }

  void openDefault(const std::string& kind) {
    if (case_) fail("“default”应写在第一个用例之前");
    closeDefault();
    if (file_.defaults.count(kind)) fail("表 " + kind + " 的“default”重复");
    defaultTable_ = CaseTable{&layoutOf(kind), line_, {}, {}};
    table_ = &*defaultTable_;
  }

  void openCase(const std::string& value) {
    const int line = line_;
    endCase();
    line_ = line;
    Case c;
    c.line = line;
    std::istringstream words(value);
    words >> c.rule;
    std::getline(words >> std::ws, c.title);
    if (!knows(c.rule)) fail("规则 " + c.rule + " 不在 " + RulesFileOf(file_.submission) + " 中");
    case_ = std::move(c);
  }

  void transfer(const std::string& value) {
    if (file_.submission != naming::Submission::Account) fail("只有结算资金账户数据的用例有“transfer”");
    if (value != "full" && value != "incremental") fail("“transfer”应为 full 或 incremental");
    case_->fullTransfer = value == "full";
  }

  void openTable(const std::string& kind) {
    for (const CaseTable& t : case_->tables)
      if (t.layout->kind == kind) fail("用例中表 " + kind + " 重复");
    case_->tables.push_back({&layoutOf(kind), line_, {}, {}});
    table_ = &case_->tables.back();
  }

  void expect(const std::string& value) {
    if (value == "none") {
      if (!case_->expected.empty() || case_->expectsNone) fail("“expect none”应是用例唯一的期望");
      case_->expectsNone = true;
      return;
    }
    std::istringstream words(value);
    CaseFinding f;
    std::string extra;
    if (!(words >> f.code >> f.count) || words >> extra || f.count <= 0)
      fail("“expect”应写作“expect 编号 记录数”或“expect none”");
    if (case_->expectsNone) fail("“expect none”应是用例唯一的期望");
    if (!knows(f.code)) fail("规则 " + f.code + " 不在 " + RulesFileOf(file_.submission) + " 中");
    case_->expected.push_back(f);
  }

  void row(const std::vector<std::string>& fields) {
    if (!table_) fail("这一行不是一项，也不在表中（项以 case、table、expect 等开头）");
    if (table_->heading.empty()) return heading(fields);
    if (fields.size() != table_->heading.size())
      fail("这一行有" + std::to_string(fields.size()) + "个值，表头有" + std::to_string(table_->heading.size()) + "个字段");
    if (defaultTable_ && table_ == &*defaultTable_ && !table_->rows.empty()) fail("“default”只有一行");
    table_->rows.push_back(fields);
  }

  void heading(const std::vector<std::string>& fields) {
    for (const std::string& field : fields) {
      const std::string name = text::ToUpper(field);
      const auto& layoutFields = table_->layout->fields;
      if (std::none_of(layoutFields.begin(), layoutFields.end(), [&](const naming::LayoutField& f) { return f.name == name; }))
        fail("表 " + table_->layout->kind + " 没有字段 " + field);
      table_->heading.push_back(name);
    }
  }

  // Keeps the default record being read.
  void closeDefault() {
    if (!defaultTable_) return;
    if (defaultTable_->rows.size() != 1) {
      line_ = defaultTable_->line;
      fail("“default”应有表头和一行记录");
    }
    LayoutRecord& record = file_.defaults[defaultTable_->layout->kind];
    for (size_t i = 0; i < defaultTable_->heading.size(); ++i) record[defaultTable_->heading[i]] = defaultTable_->rows[0][i];
    defaultTable_.reset();
  }

  // Closes the case or the default record being read.
  void endCase() {
    table_ = nullptr;
    closeDefault();
    if (!case_) return;
    line_ = case_->line;
    if (case_->tables.empty()) fail("用例缺少 table");
    if (case_->expected.empty() && !case_->expectsNone) fail("用例缺少 expect（不应有发现时写 expect none）");
    std::sort(case_->expected.begin(), case_->expected.end());
    file_.cases.push_back(std::move(*case_));
    case_.reset();
  }

  bool knows(const std::string& code) const {
    const std::vector<std::string> codes = RuleCodes(set_.rules, file_.submission);
    return std::find(codes.begin(), codes.end(), code) != codes.end();
  }

  text::DataFile data_;
  const RuleSet& set_;
  std::map<int, std::string> raw_;  // every item's line as written, by number
  CaseFile file_;
  bool submissionGiven_ = false;
  std::optional<Case> case_;               // being read
  std::optional<CaseTable> defaultTable_;  // being read
  CaseTable* table_ = nullptr;             // whose heading and rows come next
  int line_ = 0;
};

// A record of `table`: what its row gives, else the file's default, else
// the set's sound value (ZQGSDM and the date field are the case's, from the writer).
std::vector<LayoutRecord> RecordsOf(const SoundValues& sound, const CaseFile& file, const CaseTable& table) {
  const std::string& kind = table.layout->kind;
  LayoutRecord base;
  for (const naming::LayoutField& f : table.layout->fields)
    if (const std::string_view value = sound.of(kind, f.name); !value.empty()) base[f.name] = value;
  if (auto d = file.defaults.find(kind); d != file.defaults.end())
    for (const auto& [field, value] : d->second) base[field] = value;
  std::vector<LayoutRecord> records;
  for (const std::vector<std::string>& row : table.rows) {
    LayoutRecord& record = records.emplace_back(base);
    for (size_t i = 0; i < table.heading.size(); ++i) record[table.heading[i]] = row[i];
  }
  return records;
}

// Adds the case's tables to `check` in kind order, each with the inputs a
// check would give it with these tables passed and no others chosen.
void AddTables(const CaseFile& file, const Case& c, rules::GroupCheck& check) {
  const std::span<const naming::Kind> kinds = naming::Kinds(file.submission);
  std::vector<rules::CrossTable> group;
  for (const naming::Kind& kind : kinds) {
    const bool has = std::any_of(c.tables.begin(), c.tables.end(), [&](const CaseTable& t) { return t.layout->kind == kind.name; });
    group.push_back(has ? rules::CrossTable::Passed : rules::CrossTable::NotChosen);
  }
  for (size_t k = 0; k < kinds.size(); ++k)
    if (group[k] == rules::CrossTable::Passed)
      check.addTable(file.submission, k, rules::InputsOf(file.submission, k, group, c.fullTransfer),
                     static_cast<int>(k) + 1);
}

CaseResult Run(const RuleSet& set, const SoundValues& sound, const CaseFile& file, const Case& c) {
  CaseResult result{file.submission, file.name, c.line, c.rule, c.title, c.expected, {}, {}};
  try {
    ScratchTables tables;
    for (const CaseTable& t : c.tables) tables.add(*t.layout, RecordsOf(sound, file, t), file.code, file.date);
    query::Session session;
    if (!tables.open(session, result.error)) return result;
    rules::RuleContext ctx{session, nullptr, set.rules, file.code, file.date, /*keepRecords=*/false};
    rules::GroupCheck check(ctx);
    AddTables(file, c, check);
    check.evaluate(1);
    for (size_t i = 0; i < check.tableCount(); ++i)
      for (const rules::RuleFinding& f : check.findings(i)) result.found.push_back({f.code, f.count});
  } catch (const std::exception& e) {
    result.error = e.what();
  }
  std::sort(result.found.begin(), result.found.end());
  return result;
}

bool Expects(const CaseResult& c, const std::string& code) {
  return std::any_of(c.expected.begin(), c.expected.end(), [&](const CaseFinding& f) { return f.code == code; });
}

// Each rule code of the set with a case about it that fires it and one that does not.
std::vector<std::string> Uncovered(const RuleSet& set, const std::vector<CaseResult>& cases) {
  std::vector<std::string> uncovered;
  for (naming::Submission submission : {naming::Submission::Account, naming::Submission::Identity}) {
    const std::string file = RulesFileOf(submission);
    for (const std::string& code : RuleCodes(set.rules, submission)) {
      bool fires = false, silent = false;
      for (const CaseResult& c : cases) {
        if (c.rule != code || c.submission != submission) continue;
        (Expects(c, code) ? fires : silent) = true;
      }
      if (!fires) uncovered.push_back(file + " 的 " + code + " 没有触发它的用例");
      if (!silent) uncovered.push_back(file + " 的 " + code + " 没有不触发它的用例");
    }
  }
  return uncovered;
}

std::string Findings(const std::vector<CaseFinding>& findings) {
  if (findings.empty()) return "无";
  std::string text;
  for (const CaseFinding& f : findings) text += (text.empty() ? "" : "、") + f.code + " " + std::to_string(f.count);
  return text;
}

}  // namespace

bool CasesOutcome::passed() const {
  return uncovered.empty() && std::all_of(cases.begin(), cases.end(), [](const CaseResult& c) { return c.passed(); });
}

CasesOutcome RunRuleCases(const RuleSet& set) {
  const fs::path dir = set.manifest.folder / "cases";
  std::vector<fs::path> files;
  std::error_code ec;
  for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec))
    if (it->path().extension() == ".cases") files.push_back(it->path());
  std::sort(files.begin(), files.end());
  CasesOutcome outcome;
  const SoundValues sound = files.empty() ? SoundValues() : SoundValues::load(set.manifest.folder, set.layouts);
  for (const fs::path& path : files) {
    const CaseFile file = CaseReader(path, set).read();
    for (const Case& c : file.cases) outcome.cases.push_back(Run(set, sound, file, c));
  }
  outcome.uncovered = Uncovered(set, outcome.cases);
  return outcome;
}

std::string CaseLine(const CaseResult& c) {
  std::string line = std::string(c.passed() ? "通过" : "不符") + "　" + c.rule + " " + c.title + "（" + c.file + " 第" +
                     std::to_string(c.line) + "行）";
  if (!c.error.empty()) return line + "：规则无法运行：" + c.error;
  if (c.passed()) return line;
  return line + "：期望 " + Findings(c.expected) + "，实际 " + Findings(c.found);
}

}  // namespace fc::ruleset
