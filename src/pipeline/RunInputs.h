// pipeline/RunInputs.h - the inputs of one check run, read from a check window
// (or the command line) once, after validation, and never re-read.
#pragma once

#include <string>
#include <vector>

namespace fc::pipeline {

enum class Submission { Account, Identity };  // mainfrm1, mainfrm2
enum class CheckType { Zip, Dbf };            // CHKZIP, CHKDBF

struct RunInputs {
  Submission submission = Submission::Account;
  int beginNo = 0;                  // first sequence number (account only)
  int endNo = 0;                    // last sequence number (account only)
  std::string companyCode;          // trimmed ZQGSDM
  std::string dataDate;             // DataDate as YYYYMMDD
  std::string comparisonDate;       // SendDate as YYYYMMDD (identity only)
  std::string sourceDir;            // trimmed, ends in '/'
  std::string targetDir;            // trimmed, ends in '/' (may be just "/" when empty)
  CheckType checkType = CheckType::Zip;
  bool fullTransfer = false;        // ALLData selected (account only)
  std::vector<bool> selectedKinds;  // KHXX boxes, by kind index
};

}  // namespace fc::pipeline
