// pipeline/RunInputs.h - the inputs of one check run, read from a check window
// (or the command line) once, after validation, and never re-read.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "naming/Kinds.h"

namespace fc::pipeline {

using Submission = naming::Submission;  // mainfrm1 Account, mainfrm2 Identity
using CheckType = naming::FileType;     // CHKZIP Zip, CHKDBF Dbf

struct RunInputs {
  Submission submission = Submission::Account;
  int beginNo = 0;                  // first sequence number (account only)
  int endNo = 0;                    // last sequence number (account only)
  std::string companyCode;          // trimmed ZQGSDM
  std::string dataDate;             // DataDate as YYYYMMDD
  std::string comparisonDate;       // SendDate as YYYYMMDD (identity only)
  std::string sourceDir;            // trimmed, ends in '/'
  std::string targetDir;            // trimmed, ends in '/'; empty when none was given
  CheckType checkType = CheckType::Zip;
  bool fullTransfer = false;        // ALLData selected (account only)
  std::vector<bool> selectedKinds;  // KHXX boxes, by kind index
  bool keepRecords = true;          // keep the records behind every rule finding
  size_t recordsLimit = 1000;       // records kept per finding; 0 keeps every one
  bool keepFacts = true;            // the run's facts, checksums and history; off only to weigh their cost
  int threads = 0;                  // threads the check may use; 0: one per core of the machine
  std::string ruleSet;              // NAME@VERSION the operator chose; empty: the set applying on the data date
};

}  // namespace fc::pipeline
