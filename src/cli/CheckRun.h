// cli/CheckRun.h - what the account and identity commands share: reading the
// common options, validating like the check windows do, running the check
// with the status texts on stderr, and printing the results.
//
//   fc::cli::CheckRequest request;
//   if (!fc::cli::ReadCommonOptions(opts, Submission::Account, request, error)) return Fail(error);
//   ... the command's own options into request.raw / request.inputs ...
//   return fc::cli::RunCheck(request);
//
// Exit status follows the run's verdict: 0 pass (every expected file exists,
// passed and has no finding, every applicable rule ran); 1 fail (some file is
// missing, failed or has findings); 2 when the inputs are refused, the run
// fails or is stopped (Ctrl+C, SIGTERM), or a rule could not run; 3 accepted
// (it would pass but for rule findings every one of which an acceptance in
// force covers).
#pragma once

#include <string>

#include "cli/Options.h"
#include "pipeline/RunInputs.h"
#include "pipeline/Validation.h"
#include "settings/AppHome.h"

namespace fc::cli {

struct CheckRequest {
  settings::AppHome home;
  pipeline::RawRunInputs raw;  // the fields as the window would hold them
  pipeline::RunInputs inputs;  // dates, kinds and mode; the rest follows from raw
  bool pack = false;           // the answer to the packaging question
};

// --home, --source, --code, --date, --type, --output, --pack, --records-limit, --threads and --rule-set.
bool ReadCommonOptions(const Options& opts, pipeline::Submission submission, CheckRequest& request,
                       std::string& error);

// A --records-limit value: records kept per finding, 0 for every one.
bool ReadRecordsLimit(const std::string& text, size_t& limit, std::string& error);
// A --threads value: threads the check may use, 0 for one per core.
bool ReadThreads(const std::string& text, int& threads, std::string& error);

// A "YYYY-MM-DD" option as eight digits; sets `error` when it is not a date.
bool ReadDate(const std::string& text, std::string& date, std::string& error);

int RunCheck(CheckRequest& request);

}  // namespace fc::cli
