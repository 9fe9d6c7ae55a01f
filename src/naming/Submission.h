// naming/Submission.h - the two submissions this program checks, by role
// inside the program and by the names the store, the history and the
// command line's output give them at the edge.
//
//   store.bind(2, std::string(fc::naming::SubmissionCode(facts.submission)));   // "account"
//   facts.submission = fc::naming::SubmissionFromCode(q.text(1));
//   title(fc::naming::SubmissionTitle(facts.submission));
#pragma once

#include <string>
#include <string_view>

namespace fc::naming {

enum class Submission { Account, Identity };  // settlement-fund account data / identity re-check data

// "account" or "identity": the stored and printed name, which never changes.
std::string_view SubmissionCode(Submission submission);
// The submission a stored name stands for; a name other than "identity"
// reads as the account submission, as the stores have always been read.
Submission SubmissionFromCode(std::string_view code);

// The check window's title, which the results and the reports repeat.
std::string SubmissionTitle(Submission submission);
// The short name a list of runs shows ("结算资金账户", "身份信息复查").
std::string SubmissionShortName(Submission submission);

}  // namespace fc::naming
