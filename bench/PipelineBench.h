// bench/PipelineBench.h - times whole check runs on generated submissions: a
// full-transfer settlement-fund submission of one group (KHJBXX 1,000,000,
// ZJZQDY 2,000,000, ZJBDXX 1,000,000, YYBXX 1,000, ZHBYZ 100,000 records) as
// DBF tables and as ZIP archives, and an identity submission (SFZFCJG and
// SFZHCQK 1,000,000 each), at half and at full scale so that growth shows;
// and, on the same tables, the heaviest single queries of the session; then,
// at full scale with 0.1% faults per rule, the DBF-type account check without
// and with the records behind its findings kept, and without and with the
// run's facts, checksums and history, in pairs run back to back.
//
//   bool ok = fc::bench::RunPipelineBench(dataDir, stdout, 1.0);
//
// Prints one line per figure, "name seconds ratio-to-floor", the floor being
// one read of the measured tables' bytes from the page cache (the fastest of
// three, as a check's figures are the best of three runs); processor time
// follows as a figure of its own ("….cpu", against the floor's):
//   full.account.floor                   0.052     1.0
//   full.account.dbf                     2.100    40.4    the whole run
//   full.account.dbf.cpu                 1.950    39.0
//   full.account.dbf.rules-ZJZQDY        0.900    17.3    one of its phases
//   full.account.dbf.threads             2.000       -    the threads it may use
//   full.account.dbf.cpu/wall            1.650       -    processor time / elapsed time
//   full.account.dbf.peak-rss-mib      540.000       -    with the pages of the mapped tables
//   full.account.dbf.peak-anon-mib      80.000       -    without them (bench/MemoryPeaks.h)
//   growth.account.dbf                   2.050       -    full time / half time
//   # full.account.dbf: all 27 generated faults found with the right counts
//   full.capture.account.dbf.without     1.500    28.0
//   full.capture.account.dbf.with        1.550    28.9
//   full.capture.account.dbf.with/without-median-pair   1.030   -
//   full.facts.account.dbf.with/without-median-pair     1.010   -
//   # full.capture.account.dbf: the records behind all 27 findings are the ... generated faults, record for record
// False when a run failed, a query counted wrong or the findings of a run
// (or the records kept behind them) are not exactly the faults the generator
// put in. `scale` multiplies every
// table's records (1 for the figures above).
//
// RunTenfoldBench compares ten times the records with the full scale
// instead: the same checks at a tenth of `scale` ("full.…") and at `scale`
// ("tenfold.…"), their growth the tenfold time over the full time, without
// the half scale and the costs (at `scale` 10: 10 million KHJBXX records,
// about 5 GB of tables).
//
// GenerateSubmissions writes the submissions of one scale into a directory
// that is kept, and prints their files and the filingcheck-cli command lines
// that check them, to profile one check on its own.
#pragma once

#include <cstdio>
#include <filesystem>

namespace fc::bench {

bool RunPipelineBench(const std::filesystem::path& dataDir, std::FILE* out, double scale);
bool RunTenfoldBench(const std::filesystem::path& dataDir, std::FILE* out, double scale);
// Only the figures without and with record capture and the run's facts.
bool RunCostBench(const std::filesystem::path& dataDir, std::FILE* out, double scale);
// Into dir/account-dbf, dir/account-zip and dir/identity-dbf; `cli` is the
// filingcheck-cli program the printed commands run. Throws std::runtime_error
// when the directory's file system has too little room or a file cannot be written.
void GenerateSubmissions(const std::filesystem::path& dataDir, const std::filesystem::path& dir, double scale,
                         const std::filesystem::path& cli, std::FILE* out);

}  // namespace fc::bench
