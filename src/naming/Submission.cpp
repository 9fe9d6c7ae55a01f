#include "naming/Submission.h"

namespace fc::naming {

std::string_view SubmissionCode(Submission submission) {
  return submission == Submission::Identity ? "identity" : "account";
}

Submission SubmissionFromCode(std::string_view code) {
  return code == "identity" ? Submission::Identity : Submission::Account;
}

std::string SubmissionTitle(Submission submission) {
  return submission == Submission::Identity ? "证券公司投资者身份信息复查数据检查" : "证券公司客户交易结算资金账户数据文件检查";
}

std::string SubmissionShortName(Submission submission) {
  return submission == Submission::Identity ? "身份信息复查" : "结算资金账户";
}

}  // namespace fc::naming
