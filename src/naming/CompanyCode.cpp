#include "naming/CompanyCode.h"

#include "store/Store.h"

namespace fc::naming {

std::string_view TrimBlanks(std::string_view text) {
  const auto first = text.find_first_not_of(' ');
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

std::optional<std::string_view> CheckCompanyCode(std::string_view code) {
  code = TrimBlanks(code);
  for (char c : code)
    if (c < '0' || c > '9') return kCodeNotDigitsText;
  if (code.size() != 6) return kCodeLengthText;
  return std::nullopt;
}

CompanyConfirmation PrepareCompanyConfirmation(store::Store& store, std::string_view code) {
  const std::string name = store.findCompany(code).value_or(std::string(kUnknownCompanyName));
  return {std::string(TrimBlanks(code)), std::string(TrimBlanks(name)),
          "确认将证券公司代码设置为:[" + std::string(code) + "] [" + name + "] 吗?"};
}

}  // namespace fc::naming
