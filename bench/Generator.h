// bench/Generator.h - synthetic settlement-fund tables for benchmarks, with
// the interface widths, GBK customer names and reproducible contents.
//
// One function per table. Accounts are numbered: account i belongs to
// branch i % branches and has the fund account AccountNumber(i), so tables
// generated with the same Submission refer to each other consistently.
//
//   bench::Submission s;                        // 100001, 20080808, 1000 branches
//   bench::WriteKhjbxx(dir / "KHJBXX.DBF", s, 1'000'000);
//   bench::WriteZjzqdy(dir / "ZJZQDY.DBF", s, 2'000'000, 1'000'000, 10);
//
// A further table (ZJBDXX, YYBXX, ZHBYZ) is one more function of the same
// shape: its interface fields and a loop of Writer::add over the accounts.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

namespace fc::bench {

struct Submission {
  std::string code = "100001";    // company code of every record
  std::string date = "20080808";  // data date of every record
  uint32_t branches = 1000;       // branch codes 000000 .. branches-1
};

// The fund account of account `i`: 12 digits, unique per account.
std::string AccountNumber(uint32_t i);

// `customers` customer records, account i for i in [0, customers).
void WriteKhjbxx(const std::filesystem::path& path, const Submission& s, uint32_t customers);

// `records` mapping records spread evenly over accounts [0, customers), two
// shareholder markets per account; `missing` of them name an account that
// has no customer record.
void WriteZjzqdy(const std::filesystem::path& path, const Submission& s, uint32_t records, uint32_t customers,
                 uint32_t missing);

}  // namespace fc::bench
