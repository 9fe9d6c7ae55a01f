#include "accept/RuleTerms.h"

#include "checksum/Sha256.h"
#include "rules/RuleBook.h"
#include "ruleset/SetFile.h"
#include "text/DataFile.h"

namespace fc::accept {

namespace {

bool StartsWith(std::string_view text, std::string_view word) { return text.substr(0, word.size()) == word; }

// The rule code of a "rule CODE WHEN FORM" line.
std::string CodeOf(std::string_view line) {
  line.remove_prefix(5);
  return std::string(line.substr(0, line.find(' ')));
}

// Each rule's lines of one rule file, by code (two rules under one code are one text).
std::map<std::string, std::string, std::less<>> RuleTexts(const std::filesystem::path& file) {
  std::map<std::string, std::string, std::less<>> texts;
  const text::DataFile rules(file, "规则文件", ruleset::ReadSetFile(file));
  std::string* current = nullptr;
  for (const text::DataLine& line : rules.lines()) {
    if (StartsWith(line.text, "rule ")) current = &texts[CodeOf(line.text)];
    else if (StartsWith(line.text, "table ")) current = nullptr;
    if (current) *current += line.text + "\n";
  }
  return texts;
}

}  // namespace

std::optional<std::string> RuleTerms::digestOf(std::string_view code) const {
  const auto found = digests.find(code);
  if (found == digests.end()) return std::nullopt;
  return found->second;
}

RuleTerms TermsOf(const ruleset::RuleSet& set, naming::Submission submission) {
  const char* file = submission == naming::Submission::Identity ? rules::kIdentityRulesFile : rules::kAccountRulesFile;
  RuleTerms terms;
  for (const auto& [code, text] : RuleTexts(set.manifest.folder / file)) terms.digests[code] = checksum::Sha256Hex(text);
  terms.keys = ruleset::RecordKeys::load(set.manifest.folder, set.layouts);
  return terms;
}

}  // namespace fc::accept
