#include "naming/ListPatterns.h"

#include <functional>

#include "text/Text.h"

namespace fc::naming {

namespace {

std::string Extension(FileType type) { return type == FileType::Zip ? "zip" : "dbf"; }

// The settlement-fund patterns list the kinds in this order, not by index.
constexpr std::size_t kMaskOrder[] = {0, 2, 1, 3, 4};

std::string AccountMasks(FileType type, const std::function<std::string(const Kind&)>& mask) {
  std::string pattern;
  for (std::size_t index : kMaskOrder) {
    if (!pattern.empty()) pattern += ";";
    pattern += mask(kAccountKinds[index]) + "." + Extension(type);
  }
  return pattern;
}

// Greedy "*" matching with one remembered star: linear in practice, never
// exponential. Byte-wise, which for "*"-only masks on UTF-8 equals matching
// by character.
bool MatchesMask(std::string_view name, std::string_view mask) {
  const std::size_t none = std::string_view::npos;
  std::size_t n = 0, m = 0, star = none, starName = 0;
  while (n < name.size()) {
    if (m < mask.size() && mask[m] == '*') {
      star = m++;
      starName = n;
    } else if (m < mask.size() && text::FoldLower(mask[m]) == text::FoldLower(name[n])) {
      ++m, ++n;
    } else if (star != none) {
      m = star + 1;
      n = ++starName;
    } else {
      return false;
    }
  }
  while (m < mask.size() && mask[m] == '*') ++m;
  return m == mask.size();
}

}  // namespace

std::string IdentityChooserPattern(FileType type) {
  return "*" + std::string(kIdentityKinds[1].name) + "*.zip;*" + std::string(kIdentityKinds[0].name) + "*." +
         Extension(type);
}

std::string AccountChooserPattern(FileType type) {
  return AccountMasks(type, [](const Kind& k) { return "*" + std::string(k.infix) + "*_*"; });
}

std::string PlainChooserPattern(FileType type) { return "*." + Extension(type); }

std::string SubmissionViewerPattern(std::string_view code, FileType type) {
  return std::string(code) + std::string(kIdentityKinds[0].infix) + "*." + Extension(type);
}

std::string ComparisonViewerPattern(std::string_view code, FileType type) {
  return std::string(code) + std::string(kIdentityKinds[1].infix) + "*." + Extension(type);
}

std::string AccountListPattern(std::string_view code, FileType type) {
  return AccountMasks(type, [&](const Kind& k) {
    return (k.fullPrefix ? "*" : "") + std::string(code) + std::string(k.infix) + "*_*";
  });
}

std::string FilterPattern(std::string_view code, std::string_view date, bool fullTransfer, FileType type) {
  return AccountMasks(type, [&](const Kind& k) {
    return (fullTransfer && k.fullPrefix ? "QL_" : "") + std::string(code) + std::string(k.infix) +
           std::string(date) + "_*";
  });
}

bool MatchesListPattern(std::string_view name, std::string_view pattern) {
  while (true) {
    const std::size_t semicolon = pattern.find(';');
    if (MatchesMask(name, pattern.substr(0, semicolon))) return true;
    if (semicolon == std::string_view::npos) return false;
    pattern.remove_prefix(semicolon + 1);
  }
}

}  // namespace fc::naming
