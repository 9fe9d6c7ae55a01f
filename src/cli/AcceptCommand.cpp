// accept add|list|withdraw --home DIR ...: the rule findings the company has
// explained, accepted for named records (or every record of a rule, up to a
// number) with a reason, a name and a last day, in the home's
// acceptances.db (accept/Acceptances.h). A check then judges a finding they
// cover as accepted, never as passed.
//
//   accept add --home DIR --submission account|identity --code CODE --rule RNN
//              (--keys K1,K2,... | --all --at-most N) --reason TEXT --by NAME --until YYYY-MM-DD
//   accept list --home DIR [--format table|json]
//   accept withdraw --home DIR ID --by NAME --reason TEXT
//
// add prints the new acceptance's number. What cannot be accepted is refused
// with one line and exit status 2: a code that is no rule of the
// submission's set (an archive, structure or date problem, a missing file),
// a missing reason, name or last day, or a last day already past.
#include <cstdio>
#include <ctime>
#include <limits>

#include <nlohmann/json.hpp>

#include "accept/Acceptances.h"
#include "accept/Coverage.h"
#include "accept/RuleTerms.h"
#include "cli/Commands.h"
#include "cli/Options.h"
#include "cli/TextOutput.h"
#include "platform/LocalTime.h"
#include "ruleset/Manifest.h"
#include "ruleset/RuleSets.h"
#include "settings/PrivateFiles.h"
#include "text/Json.h"
#include "text/Text.h"

namespace fc::cli {

namespace {

using accept::Acceptance;

// The program's clock, "YYYY-MM-DD HH:MM:SS" local time.
std::string Now() {
  const std::tm tm = platform::LocalTime(std::time(nullptr));
  char text[32];
  std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &tm);
  return text;
}

std::string Today() {
  std::string day;
  for (char c : Now().substr(0, 10))
    if (c != '-') day += c;
  return day;
}

std::string Trimmed(const std::string& s) { return std::string(text::Trim(s)); }

std::vector<std::string> SplitKeys(const std::string& list) {
  std::vector<std::string> keys;
  for (size_t start = 0; start <= list.size();) {
    const size_t end = std::min(list.find(',', start), list.size());
    if (std::string key = Trimmed(list.substr(start, end - start)); !key.empty()) keys.push_back(std::move(key));
    start = end + 1;
  }
  return keys;
}

// The records part of `opts`: --keys, or --all with --at-most.
bool ReadRecords(const Options& opts, Acceptance& a, std::string& error) {
  const std::optional<std::string> keys = opts.value("keys");
  if (keys.has_value() == opts.flag("all")) {
    error = "请用 --keys 列出接受的记录，或用 --all --at-most N 接受该规则的全部记录（二者选一）";
    return false;
  }
  if (keys) {
    a.keys = SplitKeys(*keys);
    if (a.keys.empty()) error = "--keys 应列出接受的记录的键，以逗号分隔";
    return !a.keys.empty();
  }
  const std::optional<int64_t> most = WholeNumber(opts.value("at-most").value_or(""), 1, 1'000'000'000);
  if (!most) error = "--all 须同时给出 --at-most N：最多接受的记录条数（正整数）";
  a.atMost = most.value_or(0);
  return most.has_value();
}

// The rule's text as the set that applies today has it; refuses a code that is no rule of the submission.
bool ReadRule(const settings::AppHome& home, const std::string& rule, Acceptance& a, std::string& error) {
  try {
    const ruleset::RuleSet set = ruleset::LoadRuleSetFor(home, Today(), "");
    const std::optional<std::string> digest = accept::TermsOf(set, a.submission).digestOf(rule);
    if (!digest) {
      error = rule + "不是规则集" + set.manifest.id() + "中" + naming::SubmissionShortName(a.submission) +
              "的规则：只有规则发现的问题可以接受，压缩包、结构、日期问题和缺少的文件不能接受";
      return false;
    }
    a.rule = rule;
    a.ruleSha256 = *digest;
    return true;
  } catch (const std::exception& e) {
    error = e.what();
    return false;
  }
}

int Add(const Args& args) {
  Options opts;
  std::string error;
  if (!opts.parse(args, {"home", "submission", "code", "rule", "keys", "at-most", "reason", "by", "until"}, {"all"}, error))
    return Fail(error);
  if (!opts.require({"home", "submission", "code", "rule"}, error)) return Fail(error);
  const std::string submission = *opts.value("submission");
  if (submission != "account" && submission != "identity") return Fail("--submission 只能取 account 或 identity");
  Acceptance a;
  a.submission = naming::SubmissionFromCode(submission);
  a.companyCode = Trimmed(*opts.value("code"));
  a.reason = Trimmed(opts.value("reason").value_or(""));
  a.by = Trimmed(opts.value("by").value_or(""));
  if (a.reason.empty()) return Fail("接受须说明原因（--reason）");
  if (a.by.empty()) return Fail("接受须写明接受人（--by）");
  if (!opts.value("until")) return Fail("接受须给出有效期至哪一天（--until YYYY-MM-DD）");
  const std::optional<std::string> until = ruleset::DayDigits(*opts.value("until"));
  if (!until) return Fail("--until 应为日期，格式为YYYY-MM-DD");
  if (*until < Today()) return Fail("有效期至" + *opts.value("until") + "已经过去，不能接受");
  a.until = *until;
  if (!ReadRecords(opts, a, error)) return Fail(error);
  const settings::AppHome home = HomeAt(*opts.value("home"));
  if (!ReadRule(home, *opts.value("rule"), a, error)) return Fail(error);
  a.at = Now();
  std::error_code ec;
  if (!settings::MakePrivateDir(home.home, ec))
    return Fail("应用目录无法使用：" + settings::PrivateDirFailureText(home.home, ec));
  try {
    std::printf("%lld\n", static_cast<long long>(accept::Acceptances::open(home.home)->add(a)));
  } catch (const std::exception& e) {
    return Fail(e.what());
  }
  return 0;
}

std::string RecordsText(const Acceptance& a) {
  if (a.allRecords()) return "全部，至多" + std::to_string(a.atMost) + "条";
  std::string text;
  for (const std::string& k : a.keys) text += (text.empty() ? "" : ",") + k;
  return text;
}

void PrintTable(const std::vector<Acceptance>& all, const std::vector<accept::LogEntry>& log) {
  std::vector<std::vector<std::string>> lines = {
      {"编号", "报送", "公司", "规则", "记录", "原因", "接受人", "接受时间", "有效期至", "状态"}};
  for (const Acceptance& a : all)
    lines.push_back({std::to_string(a.id), naming::SubmissionShortName(a.submission), a.companyCode, a.rule,
                     RecordsText(a), a.reason, a.by, a.at, accept::DayText(a.until),
                     accept::StateWord(a.state) + (a.stateReason.empty() ? "" : "：" + a.stateReason)});
  PrintAligned(lines, stdout);
  std::vector<std::vector<std::string>> entries = {{"编号", "事件", "人员", "原因", "时间"}};
  for (const accept::LogEntry& e : log)
    entries.push_back({std::to_string(e.acceptance), accept::EventWord(e.event), e.who, e.reason, e.at});
  std::printf("\n日志：\n");
  PrintAligned(entries, stdout);
}

void PrintJson(const std::vector<Acceptance>& all, const std::vector<accept::LogEntry>& log) {
  text::Json acceptances = text::Json::array();
  for (const Acceptance& a : all) {
    text::Json j = {{"id", a.id}, {"submission", naming::SubmissionCode(a.submission)}, {"code", a.companyCode},
                    {"rule", a.rule}};
    if (a.allRecords()) j["atMost"] = a.atMost;
    else j["keys"] = a.keys;
    j.update({{"reason", a.reason}, {"by", a.by}, {"at", a.at}, {"until", accept::DayText(a.until)},
              {"ruleSha256", a.ruleSha256}, {"state", accept::StateCode(a.state)}, {"stateReason", a.stateReason}});
    acceptances.push_back(std::move(j));
  }
  text::Json entries = text::Json::array();
  for (const accept::LogEntry& e : log)
    entries.push_back({{"id", e.acceptance}, {"event", accept::EventCode(e.event)}, {"who", e.who},
                       {"reason", e.reason}, {"at", e.at}});
  std::printf("%s\n", text::JsonText(text::Json{{"acceptances", acceptances}, {"log", entries}}, 1).c_str());
}

int List(const Args& args) {
  Options opts;
  std::string error;
  if (!opts.parse(args, {"home", "format"}, {}, error) || !opts.require({"home"}, error)) return Fail(error);
  const std::optional<OutputFormat> format = opts.format({OutputFormat::Table, OutputFormat::Json}, error);
  if (!format) return Fail(error);
  const settings::AppHome home = HomeAt(*opts.value("home"));
  std::vector<Acceptance> all;
  std::vector<accept::LogEntry> log;
  try {
    // Listing never makes the file: a home without it has accepted nothing.
    if (settings::EntryAt(accept::AcceptancesFile(home.home)) != settings::HomeEntry::Missing) {
      const auto book = accept::Acceptances::open(home.home);
      all = book->list();
      log = book->log();
    }
  } catch (const std::exception& e) {
    return Fail(e.what());
  }
  *format == OutputFormat::Json ? PrintJson(all, log) : PrintTable(all, log);
  return 0;
}

int Withdraw(const Args& args) {
  Args options;
  std::optional<int64_t> id;
  for (size_t i = 0; i < args.size(); ++i) {
    if (args[i].rfind("--", 0) == 0) {
      options.push_back(args[i]);
      if (args[i].find('=') == std::string::npos && i + 1 < args.size()) options.push_back(args[++i]);
    } else if (!id) {
      id = WholeNumber(args[i], 1, std::numeric_limits<int64_t>::max());
      if (!id) return Fail("accept withdraw 的参数应为接受编号，而不是 '" + args[i] + "'");
    } else {
      return Fail("accept withdraw 一次撤销一个接受编号");
    }
  }
  Options opts;
  std::string error;
  if (!opts.parse(options, {"home", "by", "reason"}, {}, error) || !opts.require({"home"}, error)) return Fail(error);
  if (!id) return Fail("请给出要撤销的接受编号");
  const std::string by = Trimmed(opts.value("by").value_or(""));
  const std::string reason = Trimmed(opts.value("reason").value_or(""));
  if (by.empty()) return Fail("撤销须写明撤销人（--by）");
  if (reason.empty()) return Fail("撤销须说明原因（--reason）");
  const settings::AppHome home = HomeAt(*opts.value("home"));
  const std::string none = "没有有效的接受编号" + std::to_string(*id);
  if (settings::EntryAt(accept::AcceptancesFile(home.home)) == settings::HomeEntry::Missing) return Fail(none);
  try {
    if (!accept::Acceptances::open(home.home)->withdraw(*id, by, reason, Now())) return Fail(none);
  } catch (const std::exception& e) {
    return Fail(e.what());
  }
  std::fprintf(stderr, "已撤销接受%lld\n", static_cast<long long>(*id));
  return 0;
}

}  // namespace

int AcceptCommand(const Args& args) {
  const std::string sub = args.empty() ? "" : args[0];
  const Args rest(args.begin() + (args.empty() ? 0 : 1), args.end());
  if (sub == "add") return Add(rest);
  if (sub == "list") return List(rest);
  if (sub == "withdraw") return Withdraw(rest);
  return Fail("accept 的用法：accept add|list|withdraw --home DIR ...");
}

}  // namespace fc::cli
