#include "rules/RuleBook.h"

#include <optional>
#include <span>
#include <sstream>
#include <string_view>

#include "naming/Kinds.h"
#include "query/Parser.h"
#include "query/Session.h"
#include "rules/RuleInputs.h"
#include "rules/RuleText.h"
#include "text/DataFile.h"
#include "text/Text.h"

namespace fc::rules {

namespace fs = std::filesystem;

namespace {

// What a query is parsed with at load: its placeholders must splice into
// something the parser accepts.
constexpr std::string_view kSampleDate = "20080808";
constexpr std::string_view kSampleCode = "100001";
constexpr std::string_view kRuleFile = "规则文件";

struct RuleText {
  int line = 0;       // of its "rule" item
  std::string code;   // errid
  std::string when;   // run condition word
  std::string form;   // message form word
  std::string query;  // query pattern
  int queryLine = 0;
  std::string tail;   // message tail, empty when none
  std::string label;  // own label, empty when none
  std::string explain;  // why it matters, empty when none
  std::string remedy;   // what to do about a finding, empty when none
};

struct TableText {
  int line = 0;       // of its "table" item
  std::string kind;   // table kind
  std::string label;  // first piece of every message
  std::string total;  // query of the total
  int totalLine = 0;
  std::vector<RuleText> rules;
};

struct FileText {
  fs::path file;
  std::vector<TableText> tables;
  int lines = 0;                    // lines read
  std::vector<std::string> faults;  // of the tables' items, in file order; the file reads on past them
};

[[noreturn]] void Fail(const fs::path& file, int line, const std::string& what) {
  throw RuleFileError(text::DataFile::Fault(kRuleFile, file, line, what));
}

std::string Quoted(std::string_view word) { return "“" + std::string(word) + "”"; }

// The value of an item: the rest of its line, without the double quotes
// that keep blanks at its ends.
std::string ItemValue(const fs::path& file, int line, std::string_view keyword, std::string_view rest) {
  if (rest.size() >= 2 && rest.front() == '"' && rest.back() == '"') rest = rest.substr(1, rest.size() - 2);
  else if (rest != text::Trim(rest)) Fail(file, line, Quoted(keyword) + "的内容两端有空格，应写在双引号内");
  if (rest.empty()) Fail(file, line, Quoted(keyword) + "后缺少内容");
  return std::string(rest);
}

void AddRule(const fs::path& file, int line, const std::string& value, TableText& table) {
  std::istringstream words(value);
  RuleText rule;
  rule.line = line;
  std::string extra;
  if (!(words >> rule.code >> rule.when >> rule.form) || words >> extra)
    Fail(file, line, "rule 应写作“rule 编号 运行条件 形式”");
  table.rules.push_back(std::move(rule));
}

// Where an item of `table` goes: the table's own until its first rule, then
// the latest rule's; null when the keyword has no place there.
std::string* Slot(TableText& table, std::string_view keyword, int line) {
  if (table.rules.empty()) {
    if (keyword == "label") return &table.label;
    if (keyword != "total") return nullptr;
    table.totalLine = line;
    return &table.total;
  }
  RuleText& rule = table.rules.back();
  if (keyword == "query") {
    rule.queryLine = line;
    return &rule.query;
  }
  if (keyword == "tail") return &rule.tail;
  if (keyword == "label") return &rule.label;
  if (keyword == "explain") return &rule.explain;
  if (keyword == "remedy") return &rule.remedy;
  return nullptr;
}

text::DataFile Open(const fs::path& file, std::optional<std::string_view> content) {
  try {
    return text::DataFile(file, std::string(kRuleFile), content);
  } catch (const text::DataFileError& e) {
    throw RuleFileError(e.what());
  }
}

void CheckQuery(FileText& text, int line, const std::string& pattern) {
  if (const std::string slot = UnknownSlot(pattern); !slot.empty()) {
    text.faults.push_back(text::DataFile::Fault(kRuleFile, text.file, line,
                                                "查询中的" + Quoted(slot) + "不是占位符；占位符只有 {date} 和 {code}"));
    return;
  }
  try {
    query::Parse(SpliceQuery(pattern, kSampleDate, kSampleCode));
  } catch (const query::QueryError& e) {
    text.faults.push_back(text::DataFile::Fault(kRuleFile, text.file, line, std::string("查询无法解析：") + e.what()));
  }
}

void Missing(FileText& text, int line, const std::string& what) {
  text.faults.push_back(text::DataFile::Fault(kRuleFile, text.file, line, what));
}

// The tables of `file` with every item in its place and every query parsed.
FileText ReadFile(const fs::path& file, std::optional<std::string_view> content) {
  const text::DataFile data = Open(file, content);
  FileText text;
  text.file = file;
  text.lines = data.lastLine();
  for (const text::DataLine& item : data.lines()) {
    const int n = item.number;
    const std::string& line = item.text;
    const size_t blank = line.find(' ');
    const std::string keyword = line.substr(0, blank);
    const std::string value =
        ItemValue(file, n, keyword, blank == std::string::npos ? "" : std::string_view(line).substr(blank + 1));
    if (keyword == "table") {
      text.tables.emplace_back().line = n;
      text.tables.back().kind = value;
      continue;
    }
    if (text.tables.empty()) Fail(file, n, Quoted(keyword) + "之前缺少 table");
    TableText& table = text.tables.back();
    if (keyword == "rule") {
      AddRule(file, n, value, table);
      continue;
    }
    std::string* slot = Slot(table, keyword, n);
    if (!slot) Fail(file, n, Quoted(keyword) + "不能用在这里");
    if (!slot->empty()) Fail(file, n, "重复的" + Quoted(keyword));
    *slot = value;
  }
  for (const TableText& table : text.tables) {
    if (table.label.empty()) Missing(text, table.line, "表 " + table.kind + " 缺少 label");
    if (table.total.empty()) Missing(text, table.line, "表 " + table.kind + " 缺少 total");
    else CheckQuery(text, table.totalLine, table.total);
    for (const RuleText& rule : table.rules) {
      if (rule.query.empty()) Missing(text, rule.line, "规则 " + rule.code + " 缺少 query");
      else CheckQuery(text, rule.queryLine, rule.query);
    }
  }
  return text;
}

std::string_view WordOf(std::string_view word) { return word; }
std::string_view WordOf(const RunCondition& condition) { return condition.word; }

// Index of `word` among `words` (words, or what has one), or a failure naming them.
template <typename Words>
size_t WordIndex(const fs::path& file, int line, const std::string& word, const char* what, const Words& words) {
  std::string allowed;
  for (size_t i = 0; i < std::size(words); ++i) {
    if (WordOf(words[i]) == word) return i;
    allowed += (i ? "、" : "") + std::string(WordOf(words[i]));
  }
  Fail(file, line, std::string(what) + Quoted(word) + "应为 " + allowed);
}

// The run condition `word` names among the submission's, or a failure naming them.
RunsWhen ConditionNamed(const fs::path& file, int line, const std::string& word, naming::Submission submission) {
  const std::span<const RunCondition> conditions = ConditionsOf(submission);
  return conditions[WordIndex(file, line, word, "运行条件", conditions)].when;
}

// The tables of `text` must be `kinds`, in that order.
void CheckKinds(const FileText& text, std::span<const naming::Kind> kinds) {
  for (size_t i = 0; i < text.tables.size(); ++i) {
    const TableText& table = text.tables[i];
    if (i >= kinds.size()) Fail(text.file, table.line, "多余的表 " + table.kind);
    if (table.kind != kinds[i].name)
      Fail(text.file, table.line, "此处应为表 " + std::string(kinds[i].name) + "，而不是 " + table.kind);
  }
  if (text.tables.size() < kinds.size())
    Fail(text.file, text.lines, "缺少表 " + std::string(kinds[text.tables.size()].name));
}

}  // namespace

// Every query of `text` as RuleFileQuery, in file order.
std::vector<RuleFileQuery> QueriesOf(const FileText& text) {
  std::vector<RuleFileQuery> queries;
  for (const TableText& table : text.tables) {
    if (!table.total.empty()) queries.push_back({table.totalLine, "total " + table.kind, table.total, false, true});
    for (const RuleText& r : table.rules)
      if (!r.query.empty()) queries.push_back({r.queryLine, r.code, r.query, r.form == "key", false});
  }
  return queries;
}

// The file when it has no fault; its first fault otherwise.
FileText Sound(FileText text) {
  if (!text.faults.empty()) throw RuleFileError(text.faults.front());
  return text;
}

// Builds a RuleBook's tables; the only writer of its members.
class RuleBookReader {
 public:
  static RuleBook read(const fs::path& dir, std::optional<std::string_view> account,
                       std::optional<std::string_view> identity) {
    RuleBook book;
    RuleBookReader reader(book);
    const FileText accountText = Sound(ReadFile(dir / kAccountRulesFile, account));
    reader.account(accountText);
    book.accountQueries_ = QueriesOf(accountText);
    const FileText identityText = Sound(ReadFile(dir / kIdentityRulesFile, identity));
    reader.identity(identityText);
    book.identityQueries_ = QueriesOf(identityText);
    return book;
  }

  // Every fault of the rule file `path`, and its queries: an account or an
  // identity rule file by its first table.
  static RuleFileCheck check(const fs::path& path) {
    RuleFileCheck result;
    try {
      FileText text = ReadFile(path, text::ReadBytes(path));
      result.faults = text.faults;
      result.queries = QueriesOf(text);
      RuleBook scratch;
      RuleBookReader reader(scratch);
      const bool identity = !text.tables.empty() && text.tables.front().kind == naming::kIdentityKinds[0].name;
      identity ? reader.identity(text) : reader.account(text);
    } catch (const RuleFileError& e) {
      result.faults.push_back(e.what());
    }
    return result;
  }

 private:
  explicit RuleBookReader(RuleBook& book) : book_(book) {}

  const char* keep(const std::string& s) { return book_.texts_.emplace_back(s).c_str(); }
  const char* keepOrNull(const std::string& s) { return s.empty() ? nullptr : keep(s); }

  void account(const FileText& text) {
    static constexpr std::string_view kForm[] = {"count", "key", "date", "company"};
    constexpr Form kForms[] = {Form::Count, Form::Key, Form::Date, Form::Company};
    CheckKinds(text, naming::kAccountKinds);
    for (const TableText& table : text.tables) {
      std::vector<AccountRule>& rules = book_.accountRules_.emplace_back();
      for (const RuleText& r : table.rules) {
        const RunsWhen runs = ConditionNamed(text.file, r.line, r.when, naming::Submission::Account);
        const Form form = kForms[WordIndex(text.file, r.line, r.form, "形式", kForm)];
        rules.push_back({keep(r.code), runs, form, keep(r.query), keep(r.tail), keepOrNull(r.label),
                         keepOrNull(r.explain), keepOrNull(r.remedy)});
      }
      book_.account_.push_back({keep(table.label), keep(table.total), rules});
    }
  }

  void identity(const FileText& text) {
    static constexpr std::string_view kForm[] = {"count", "company"};
    CheckKinds(text, std::span(naming::kIdentityKinds).first(1));
    const TableText& table = text.tables.front();
    for (const RuleText& r : table.rules) {
      if (!r.label.empty()) Fail(text.file, r.line, "身份信息复查的规则没有自己的 label");
      const RunsWhen runs = ConditionNamed(text.file, r.line, r.when, naming::Submission::Identity);
      const bool company = WordIndex(text.file, r.line, r.form, "形式", kForm) == 1;
      book_.identityRules_.push_back({keep(r.code), runs, company, keep(r.query), keep(r.tail),
                                      keepOrNull(r.explain), keepOrNull(r.remedy)});
    }
    book_.identity_ = {keep(table.label), keep(table.total), book_.identityRules_};
  }

  RuleBook& book_;
};

RuleBook RuleBook::load(const fs::path& dir) {
  return parse(dir, text::ReadBytes(dir / kAccountRulesFile), text::ReadBytes(dir / kIdentityRulesFile));
}

RuleBook RuleBook::parse(const fs::path& dir, std::optional<std::string_view> accountRules,
                         std::optional<std::string_view> identityRules) {
  return RuleBookReader::read(dir, accountRules, identityRules);
}

RuleFileCheck CheckRuleFile(const fs::path& path) { return RuleBookReader::check(path); }

namespace {

RuleAdvice AdviceOf(const char* explain, const char* remedy) {
  return {explain ? explain : "", remedy ? remedy : ""};
}

bool EndsWith(std::string_view text, std::string_view end) {
  return !end.empty() && text.size() >= end.size() && text.substr(text.size() - end.size()) == end;
}

// The advice of the rule `code` among `rules`: the only one of that code, or
// of several the one whose tail ends the message, else the first.
template <typename Rule>
std::optional<RuleAdvice> AdviceAmong(std::span<const Rule> rules, std::string_view code, std::string_view message) {
  const Rule* first = nullptr;
  for (const Rule& r : rules) {
    if (r.code != code) continue;
    if (EndsWith(message, r.tail)) return AdviceOf(r.explain, r.remedy);
    if (!first) first = &r;
  }
  if (!first) return std::nullopt;
  return AdviceOf(first->explain, first->remedy);
}

}  // namespace

RuleAdvice RuleBook::adviceFor(naming::Submission submission, std::string_view code, std::string_view message) const {
  if (submission == naming::Submission::Identity)
    return AdviceAmong(identity_.rules, code, message).value_or(RuleAdvice{});
  for (const AccountTable& table : account_)
    if (std::optional<RuleAdvice> advice = AdviceAmong(table.rules, code, message)) return *advice;
  return {};
}

const std::vector<RuleFileQuery>& RuleBook::queriesOf(naming::Submission submission) const {
  return submission == naming::Submission::Identity ? identityQueries_ : accountQueries_;
}

const AccountTable* RuleBook::accountRulesOf(naming::AccountKind kind) const {
  if (naming::IndexOf(kind) >= account_.size()) return nullptr;
  return &account_[naming::IndexOf(kind)];
}

}  // namespace fc::rules
