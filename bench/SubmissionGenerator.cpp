#include "bench/SubmissionGenerator.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <iterator>
#include <map>
#include <optional>
#include <set>
#include <stdexcept>
#include <tuple>

#include "dbf/Writer.h"
#include "naming/FileNames.h"
#include "naming/InterfaceLayouts.h"
#include "pipeline/Packaging.h"
#include "store/Store.h"

namespace fc::bench {

namespace fs = std::filesystem;

namespace {

using naming::FileType;
using naming::Submission;

constexpr const char* kAbsentBranch = "999999";  // in no YYBXX table the generator writes
constexpr const char* kCurrencies[] = {"CN", "US", "HK"};

// The records that break the rule at `position` of a table's rule list.
uint32_t Faults(uint32_t records, double rate, int position) {
  if (rate <= 0) return 0;
  auto base = static_cast<uint32_t>(std::max<long long>(1, std::llround(records * rate)));
  return base + static_cast<uint32_t>(position);
}

std::string Format(const char* pattern, unsigned long long n) {
  char text[32];
  std::snprintf(text, sizeof text, pattern, n);
  return text;
}

std::string Branch(uint32_t b) { return Format("%06llu", b); }
std::string AccountNo(uint32_t i) { return "31" + Format("%010llu", i); }
// An account no KHJBXX the generator writes holds.
std::string MissingAccountNo(uint32_t t) { return "39" + Format("%010llu", t); }

// Cents as an N(18,2) text: "-12.05".
std::string Money(long long cents) {
  unsigned long long a = static_cast<unsigned long long>(cents < 0 ? -cents : cents);
  return (cents < 0 ? "-" : "") + std::to_string(a / 100) + Format(".%02llu", a % 100);
}

std::string OtherCompany(const std::string& code) { return code == "100002" ? "100003" : "100002"; }

constexpr const char* kSurnames[] = {"王", "李", "张", "刘", "陈", "杨", "黄", "赵", "吴", "周",
                                     "徐", "孙", "马", "朱", "胡", "郭", "何", "高", "林", "罗"};
constexpr const char* kGiven[] = {"伟", "芳", "娜", "敏", "静", "丽", "强", "磊", "军", "洋", "勇", "艳",
                                  "杰", "娟", "涛", "明", "超", "秀", "霞", "平", "刚", "桂", "英", "华"};
constexpr const char* kCities[] = {"北京", "上海", "深圳", "广州", "杭州", "南京", "成都", "武汉", "西安", "天津"};

std::string PersonName(uint32_t i) {
  std::string name = std::string(kSurnames[i % 20]) + kGiven[(i / 20) % 24];
  if (i % 3) name += kGiven[(i / 480) % 24];
  return name;
}

// An 18-digit certificate number, unique per i.
std::string IdNumber(uint32_t i) { return "1101" + Format("%014llu", 19600101000000ULL + i); }

// One table being written: every field's value by position, resolved from
// the layout's field names once.
class TableOut {
 public:
  TableOut(const naming::TableLayout& layout, const fs::path& file)
      : writer_(file, dbf::Format::DBase3, Specs(layout)), values_(layout.fields.size(), std::string()) {
    for (size_t i = 0; i < layout.fields.size(); ++i) index_[layout.fields[i].name] = i;
  }
  size_t field(const std::string& name) const {
    auto it = index_.find(name);
    if (it == index_.end()) throw std::invalid_argument("the interface layout has no field " + name);
    return it->second;
  }
  std::string& operator[](size_t field) { return *values_[field]; }
  void add() { writer_.add(values_); }
  void finish() { writer_.finish(); }

 private:
  static std::vector<dbf::FieldSpec> Specs(const naming::TableLayout& layout) {
    std::vector<dbf::FieldSpec> specs;
    for (const naming::LayoutField& f : layout.fields)
      specs.push_back({f.name, f.type, static_cast<uint8_t>(f.length), static_cast<uint8_t>(f.decimals)});
    return specs;
  }

  dbf::Writer writer_;
  std::vector<dbf::Value> values_;
  std::map<std::string, size_t> index_;
};

// `count` record numbers from `first` on.
std::vector<uint32_t> Numbers(uint32_t first, uint32_t count) {
  std::vector<uint32_t> numbers(count);
  for (uint32_t k = 0; k < count; ++k) numbers[k] = first + k;
  return numbers;
}

// The records of the repeated keys of a table of `n` records whose last
// `dup` repeat its first `dup` (AccountWriter::writeRows).
std::vector<uint32_t> Repeated(uint32_t n, uint32_t dup) {
  std::vector<uint32_t> numbers = Numbers(1, dup), copies = Numbers(n - dup + 1, dup);
  numbers.insert(numbers.end(), copies.begin(), copies.end());
  return numbers;
}

// Consecutive record ranges, one per injected fault, at the end of a table's
// sound records, so the records before them stay sound for the duplicates.
class FaultRanges {
 public:
  explicit FaultRanges(uint32_t soundEnd) : end_(soundEnd) {}
  // Reserves `count` records for fault `id`.
  void add(int id, uint32_t count) { ranges_.push_back({id, count}); total_ += count; }
  uint32_t firstFaulty() const { return end_ - total_; }
  // The fault of record `i` and its ordinal t within that fault, if any.
  std::optional<std::pair<int, uint32_t>> at(uint32_t i) const {
    if (i < firstFaulty() || i >= end_) return std::nullopt;
    uint32_t t = i - firstFaulty();
    for (const auto& [id, count] : ranges_) {
      if (t < count) return std::pair(id, t);
      t -= count;
    }
    return std::nullopt;
  }
  // The record numbers (from 1) of fault `id`.
  std::vector<uint32_t> records(int id) const {
    uint32_t first = firstFaulty();
    for (const auto& [fault, count] : ranges_) {
      if (fault == id) return Numbers(first + 1, count);
      first += count;
    }
    return {};
  }
  void require(uint32_t soundNeeded, const char* table) const {
    if (total_ + soundNeeded > end_)
      throw std::invalid_argument(std::string(table) + ": too few records for the faults");
  }

 private:
  uint32_t end_;
  uint32_t total_ = 0;
  std::vector<std::pair<int, uint32_t>> ranges_;  // fault id, records
};

const naming::TableLayout& LayoutOf(const naming::InterfaceLayouts& layouts, const char* kind) {
  const naming::TableLayout* layout = layouts.find(kind);
  if (!layout) throw std::invalid_argument(std::string("the interface layouts have no table ") + kind);
  return *layout;
}

// Files are listed in kind order whatever order they are written in.
void Place(std::vector<fs::path>& files, int k, const fs::path& file) {
  if (files.size() <= static_cast<size_t>(k)) files.resize(k + 1);
  files[k] = file;
}

// Where one table goes, in the forms the options ask for.
class Output {
 public:
  Output(const GeneratorOptions& opts, Submission submission, Generated& generated)
      : opts_(opts), submission_(submission), generated_(generated) {
    if (!opts.dbfDir.empty()) fs::create_directories(opts.dbfDir);
    if (!opts.zipDir.empty()) fs::create_directories(opts.zipDir);
  }

  // The DBF path to write kind `k` to; commit(k, path) once it is complete.
  fs::path dbfPath(int k) const {
    std::string name = fileName(k, FileType::Dbf);
    return opts_.dbfDir.empty() ? opts_.zipDir / ("." + name + ".part") : opts_.dbfDir / name;
  }

  void commit(int k, const fs::path& dbf) {
    if (!opts_.zipDir.empty()) {
      fs::path zip = opts_.zipDir / fileName(k, FileType::Zip);
      std::string failure = pipeline::PackOneFile(dbf, fileName(k, FileType::Dbf), zip);
      if (!failure.empty()) throw std::runtime_error(zip.string() + ": " + failure);
      Place(generated_.zipFiles, k, zip);
    }
    if (opts_.dbfDir.empty())
      fs::remove(dbf);
    else
      Place(generated_.dbfFiles, k, dbf);
  }

 private:
  std::string fileName(int k, FileType type) const {
    const std::string& date =
        naming::Kinds(submission_)[k].comparisonDate ? opts_.comparisonDate : opts_.dataDate;
    return naming::ExpectedFileName(submission_, k, opts_.fullTransfer, opts_.companyCode, date,
                                    opts_.sequence, type);
  }

  const GeneratorOptions& opts_;
  Submission submission_;
  Generated& generated_;
};

// ---- settlement-fund account data ----

// The account kinds' indexes, as files and findings name them.
constexpr int AccountIndex(naming::AccountKind kind) { return static_cast<int>(naming::IndexOf(kind)); }
constexpr int kKhjbxx = AccountIndex(naming::AccountKind::Khjbxx), kZjzqdy = AccountIndex(naming::AccountKind::Zjzqdy),
              kZjbdxx = AccountIndex(naming::AccountKind::Zjbdxx), kYybxx = AccountIndex(naming::AccountKind::Yybxx),
              kZhbyz = AccountIndex(naming::AccountKind::Zhbyz);
constexpr int kSfzfcjg = static_cast<int>(naming::IndexOf(naming::IdentityKind::Sfzfcjg)),
              kSfzhcqk = static_cast<int>(naming::IndexOf(naming::IdentityKind::Sfzhcqk));

// The accounts and branches the five tables share.
struct AccountWorld {
  std::string code, other, date;
  uint32_t branches = 0;                // sound branch codes 0 .. branches-1
  uint32_t sound = 0;                   // sound KHJBXX accounts 0 .. sound-1
  std::vector<uint32_t> otherCompany;   // KHJBXX accounts of another company
  std::vector<uint32_t> unknownBranch;  // KHJBXX accounts of a branch YYBXX lacks

  std::string branchOf(uint32_t account) const { return Branch(account % branches); }
};

class AccountWriter {
 public:
  AccountWriter(const naming::InterfaceLayouts& layouts, const AccountScale& scale,
                const GeneratorOptions& opts)
      : layouts_(layouts), scale_(scale), opts_(opts), out_(opts, Submission::Account, generated_) {
    world_.code = opts.companyCode;
    world_.other = OtherCompany(opts.companyCode);
    world_.date = opts.dataDate;
  }

  Generated run() {
    if (scale_.yybxx >= 999999) throw std::invalid_argument("YYBXX: too many branches");
    writeYybxx();
    writeKhjbxx();
    writeZjzqdy();
    writeZjbdxx();
    writeZhbyz();
    // Findings in the order the run writes them: kind by kind.
    std::stable_sort(generated_.findings.begin(), generated_.findings.end(),
                     [](const ExpectedFinding& a, const ExpectedFinding& b) { return a.kindIndex < b.kindIndex; });
    return std::move(generated_);
  }

 private:
  uint32_t faults(uint32_t records, int position) const { return Faults(records, opts_.faultRate, position); }

  void expect(int k, const char* errid, uint32_t count, std::vector<uint32_t> records) {
    if (count) generated_.findings.push_back({k, errid, static_cast<int>(count), std::move(records)});
  }
  // A fault of consecutive records, its count theirs.
  void expect(int k, const char* errid, const FaultRanges& ranges, int fault) {
    std::vector<uint32_t> records = ranges.records(fault);
    const auto count = static_cast<uint32_t>(records.size());
    expect(k, errid, count, std::move(records));
  }
  // A key rule: `dup` repeats, each key's records behind the finding.
  void expectRepeats(int k, const char* errid, uint32_t n, uint32_t dup) {
    expect(k, errid, dup, Repeated(n, dup));
  }
  // The customer rules run only on a full transfer.
  void expectCustomer(int k, const char* errid, const FaultRanges& ranges, int fault) {
    if (opts_.fullTransfer) expect(k, errid, ranges, fault);
  }

  // An account's record in a dependent table: sound, of another company, of
  // an unknown branch, or missing from KHJBXX (ordinal t within its fault).
  enum class Ref { Sound, OtherCompany, UnknownBranch, Missing };
  void putAccount(TableOut& t, Ref ref, uint32_t n, size_t zqgsdm, size_t yybdm, size_t zjzh) const {
    const AccountWorld& w = world_;
    switch (ref) {
      case Ref::Sound:
        t[zqgsdm] = w.code, t[yybdm] = w.branchOf(n), t[zjzh] = AccountNo(n);
        return;
      case Ref::OtherCompany: {
        uint32_t a = w.otherCompany[n % w.otherCompany.size()];
        t[zqgsdm] = w.other, t[yybdm] = w.branchOf(a), t[zjzh] = AccountNo(a);
        return;
      }
      case Ref::UnknownBranch:
        t[zqgsdm] = w.code, t[yybdm] = kAbsentBranch,
        t[zjzh] = AccountNo(w.unknownBranch[n % w.unknownBranch.size()]);
        return;
      case Ref::Missing:
        t[zqgsdm] = w.code, t[yybdm] = w.branchOf(n), t[zjzh] = MissingAccountNo(n);
        return;
    }
  }

  // The table's n records: the distinct ones first, then `dup` records that
  // repeat the first keys (the key rules' findings); then the file is done.
  template <typename Put>
  void writeRows(TableOut& t, uint32_t n, uint32_t dup, Put& put, int kind, const fs::path& file) {
    for (uint32_t j = 0; j < n - dup; ++j) put(j);
    for (uint32_t j = 0; j < dup; ++j) put(j);
    t.finish();
    out_.commit(kind, file);
  }

  void writeYybxx() {
    const uint32_t n = scale_.yybxx;
    uint32_t dup = faults(n, 0), company = faults(n, 2);
    if (dup + company + 1 > n) throw std::invalid_argument("YYBXX: too few records for the faults");
    uint32_t distinct = n - dup;
    world_.branches = distinct - company;
    fs::path file = out_.dbfPath(kYybxx);
    TableOut t(LayoutOf(layouts_, "YYBXX"), file);
    size_t zqgsdm = t.field("ZQGSDM"), yybdm = t.field("YYBDM"), name = t.field("YYBMC"),
           address = t.field("YYBDZ"), sjrq = t.field("SJRQ");
    auto put = [&](uint32_t b) {
      std::string city = kCities[b % 10];
      t[zqgsdm] = b >= world_.branches ? world_.other : world_.code;
      t[yybdm] = Branch(b);
      t[name] = "东岳证券" + city + "第" + std::to_string(b + 1) + "营业部";
      t[address] = city + "市" + kCities[(b / 10) % 10] + "路" + std::to_string(b % 997 + 1) + "号";
      t[sjrq] = world_.date;
      t.add();
    };
    writeRows(t, n, dup, put, kYybxx, file);
    expectRepeats(kYybxx, "R01", n, dup);
    expect(kYybxx, "R25", company, Numbers(world_.branches + 1, company));
  }

  void writeKhjbxx() {
    const uint32_t n = scale_.khjbxx;
    enum { kBadCategory, kBadCertificate, kOtherCompany, kUnknownBranch };
    uint32_t dup = faults(n, 2);
    if (dup >= n) throw std::invalid_argument("KHJBXX: too few records for the faults");
    FaultRanges ranges(n - dup);
    ranges.add(kBadCategory, faults(n, 0));
    ranges.add(kBadCertificate, faults(n, 1));
    ranges.add(kOtherCompany, faults(n, 4));
    ranges.add(kUnknownBranch, faults(n, 5));
    ranges.require(std::max(dup, 1u), "KHJBXX");
    world_.sound = ranges.firstFaulty();

    fs::path file = out_.dbfPath(kKhjbxx);
    TableOut t(LayoutOf(layouts_, "KHJBXX"), file);
    size_t zqgsdm = t.field("ZQGSDM"), yybdm = t.field("YYBDM"), zjzh = t.field("ZJZH"),
           xhrq = t.field("XHRQ"), khqc = t.field("KHQC"), zjlb = t.field("ZJLB"), zjhm = t.field("ZJHM"),
           zjzhlb = t.field("ZJZHLB"), khrq = t.field("KHRQ"), sjrq = t.field("SJRQ");
    constexpr const char* kCategories[] = {"0", "1", "2", "3", "9"};
    constexpr const char* kCertificates[] = {"10", "11", "12", "13", "14", "15", "16", "99"};
    auto put = [&](uint32_t i) {
      t[zqgsdm] = world_.code;
      t[yybdm] = world_.branchOf(i);
      t[zjzh] = AccountNo(i);
      t[xhrq] = "20080101";
      t[khqc] = PersonName(i);
      t[zjlb] = kCertificates[i % 8];
      t[zjhm] = IdNumber(i);
      t[zjzhlb] = kCategories[i % 5];
      t[khrq] = Format("2%03llu0101", 1 + i % 8);
      t[sjrq] = world_.date;
      if (auto fault = ranges.at(i)) {
        switch (fault->first) {
          case kBadCategory: t[zjzhlb] = "5"; break;
          case kBadCertificate: t[zjlb] = "20"; break;
          case kOtherCompany: t[zqgsdm] = world_.other, world_.otherCompany.push_back(i); break;
          case kUnknownBranch: t[yybdm] = kAbsentBranch, world_.unknownBranch.push_back(i); break;
        }
      }
      t.add();
    };
    writeRows(t, n, dup, put, kKhjbxx, file);
    expect(kKhjbxx, "R02", ranges, kBadCategory);
    expect(kKhjbxx, "R03", ranges, kBadCertificate);
    expectRepeats(kKhjbxx, "R05", n, dup);
    expect(kKhjbxx, "R19", ranges, kOtherCompany);
    expect(kKhjbxx, "R04", ranges, kUnknownBranch);
  }

  void writeZjzqdy() {
    const uint32_t n = scale_.zjzqdy;
    enum { kBadMarket, kOtherCompany, kUnknownBranch, kMissing };
    uint32_t dup = faults(n, 1);
    if (dup >= n) throw std::invalid_argument("ZJZQDY: too few records for the faults");
    FaultRanges ranges(n - dup);
    ranges.add(kBadMarket, faults(n, 0));
    ranges.add(kOtherCompany, faults(n, 3));
    ranges.add(kUnknownBranch, faults(n, 4));
    ranges.add(kMissing, faults(n, 5));
    ranges.require(dup, "ZJZQDY");

    fs::path file = out_.dbfPath(kZjzqdy);
    TableOut t(LayoutOf(layouts_, "ZJZQDY"), file);
    size_t zqgsdm = t.field("ZQGSDM"), yybdm = t.field("YYBDM"), zjzh = t.field("ZJZH"),
           gddmsc = t.field("GDDMSC"), gddm = t.field("GDDM"), qxbz = t.field("QXBZ"), sjrq = t.field("SJRQ");
    auto put = [&](uint32_t j) {
      auto fault = ranges.at(j);
      Ref ref = !fault || fault->first == kBadMarket ? Ref::Sound
                : fault->first == kOtherCompany      ? Ref::OtherCompany
                : fault->first == kUnknownBranch     ? Ref::UnknownBranch
                                                     : Ref::Missing;
      putAccount(t, ref, ref == Ref::Sound ? j % world_.sound : fault->second, zqgsdm, yybdm, zjzh);
      // Shanghai and Shenzhen accounts, some without a market.
      t[gddmsc] = j % 10 == 9 ? "" : j % 2 ? "02" : "01";
      t[gddm] = (j % 2 ? "0" : "A") + Format("%09llu", j);
      t[qxbz] = j % 4 ? "1" : "0";
      t[sjrq] = world_.date;
      if (fault && fault->first == kBadMarket) t[gddmsc] = "09";
      t.add();
    };
    writeRows(t, n, dup, put, kZjzqdy, file);
    expect(kZjzqdy, "R06", ranges, kBadMarket);
    expectRepeats(kZjzqdy, "R11", n, dup);
    expect(kZjzqdy, "R21", ranges, kOtherCompany);
    expect(kZjzqdy, "R07", ranges, kUnknownBranch);
    expectCustomer(kZjzqdy, "R08", ranges, kMissing);
  }

  void writeZjbdxx() {
    const uint32_t n = scale_.zjbdxx;
    enum { kBadCurrency, kBuying, kUnbalanced, kOtherCompany, kUnknownBranch, kMissing };
    uint32_t dup = faults(n, 3);
    if (dup >= n) throw std::invalid_argument("ZJBDXX: too few records for the faults");
    FaultRanges ranges(n - dup);
    ranges.add(kBadCurrency, faults(n, 0));
    ranges.add(kBuying, faults(n, 1));
    ranges.add(kUnbalanced, faults(n, 2));
    ranges.add(kOtherCompany, faults(n, 5));
    ranges.add(kUnknownBranch, faults(n, 6));
    ranges.add(kMissing, faults(n, 7));
    ranges.require(dup, "ZJBDXX");
    // One record per account and currency: the keys stay unique.
    if (n - dup > 3ULL * world_.sound || faults(n, 5) > 3 * world_.otherCompany.size() ||
        faults(n, 6) > 3 * world_.unknownBranch.size())
      throw std::invalid_argument("ZJBDXX: more records than accounts in three currencies");

    fs::path file = out_.dbfPath(kZjbdxx);
    TableOut t(LayoutOf(layouts_, "ZJBDXX"), file);
    size_t zqgsdm = t.field("ZQGSDM"), yybdm = t.field("YYBDM"), zjzh = t.field("ZJZH"), bzdm = t.field("BZDM"),
           zrye = t.field("ZRYE"), xjcqje = t.field("XJCQJE"), zqjymcje = t.field("ZQJYMCJE"),
           zqjymrje = t.field("ZQJYMRJE"), fjzjyje = t.field("FJZJYJE"), jrye = t.field("JRYE"),
           sjrq = t.field("SJRQ");
    auto put = [&](uint32_t j) {
      auto fault = ranges.at(j);
      int id = fault ? fault->first : -1;
      Ref ref = id == kOtherCompany ? Ref::OtherCompany
                : id == kUnknownBranch ? Ref::UnknownBranch
                : id == kMissing ? Ref::Missing
                                 : Ref::Sound;
      // Record m of its kind of account: account m % accounts, currency m / accounts.
      uint32_t m = ref == Ref::Sound ? j : fault->second;
      size_t accounts = ref == Ref::OtherCompany    ? world_.otherCompany.size()
                        : ref == Ref::UnknownBranch ? world_.unknownBranch.size()
                        : ref == Ref::Missing       ? m + 1
                                                    : world_.sound;
      putAccount(t, ref, ref == Ref::Sound ? j % world_.sound : m, zqgsdm, yybdm, zjzh);
      t[bzdm] = kCurrencies[(m / accounts) % 3];
      // Buying at the exchange is booked as a negative amount.
      long long opening = static_cast<long long>(j) * 7919 % 100000000, cash = j * 31LL % 200000 - 100000,
                sold = j * 131LL % 5000000, bought = -(j * 17LL % 5000000), other = j % 7 ? 0 : 1234;
      if (id == kBuying) bought = 500;
      long long closing = opening + cash + sold + bought + other + (id == kUnbalanced ? 1 : 0);
      t[zrye] = Money(opening), t[xjcqje] = Money(cash), t[zqjymcje] = Money(sold);
      t[zqjymrje] = Money(bought), t[fjzjyje] = Money(other), t[jrye] = Money(closing);
      t[sjrq] = world_.date;
      if (id == kBadCurrency) t[bzdm] = "JP";
      t.add();
    };
    writeRows(t, n, dup, put, kZjbdxx, file);
    expect(kZjbdxx, "R12", ranges, kBadCurrency);
    expect(kZjbdxx, "R12", ranges, kBuying);
    expect(kZjbdxx, "R16", ranges, kUnbalanced);
    expectRepeats(kZjbdxx, "R17", n, dup);
    expect(kZjbdxx, "R23", ranges, kOtherCompany);
    expect(kZjbdxx, "R13", ranges, kUnknownBranch);
    expectCustomer(kZjbdxx, "R14", ranges, kMissing);
  }

  void writeZhbyz() {
    const uint32_t n = scale_.zhbyz;
    enum { kBadMarket, kBadType, kBadNumberReason, kBadNameReason, kOtherCompany, kUnknownBranch, kMissing };
    uint32_t dup = faults(n, 4);
    if (dup >= n) throw std::invalid_argument("ZHBYZ: too few records for the faults");
    FaultRanges ranges(n - dup);
    ranges.add(kBadMarket, faults(n, 0));
    ranges.add(kBadType, faults(n, 1));
    ranges.add(kBadNumberReason, faults(n, 2));
    ranges.add(kBadNameReason, faults(n, 3));
    ranges.add(kOtherCompany, faults(n, 6));
    ranges.add(kUnknownBranch, faults(n, 7));
    ranges.add(kMissing, faults(n, 8));
    ranges.require(dup, "ZHBYZ");

    fs::path file = out_.dbfPath(kZhbyz);
    TableOut t(LayoutOf(layouts_, "ZHBYZ"), file);
    size_t zqgsdm = t.field("ZQGSDM"), yybdm = t.field("YYBDM"), zjzh = t.field("ZJZH"),
           gddmsc = t.field("GDDMSC"), gddm = t.field("GDDM"), byzlx = t.field("BYZLX"),
           zjhmyy = t.field("ZJHMYY"), khqcyy = t.field("KHQCYY"), sjrq = t.field("SJRQ");
    constexpr const char* kTypes[] = {"0", "1", "2", "3", "4"};
    auto put = [&](uint32_t j) {
      auto fault = ranges.at(j);
      int id = fault ? fault->first : -1;
      Ref ref = id == kOtherCompany    ? Ref::OtherCompany
                : id == kUnknownBranch ? Ref::UnknownBranch
                : id == kMissing       ? Ref::Missing
                                       : Ref::Sound;
      putAccount(t, ref, ref == Ref::Sound ? j % world_.sound : fault->second, zqgsdm, yybdm, zjzh);
      // A securities account without a fund account has none to compare.
      if (ref == Ref::Sound && j % 10 == 9) t[zjzh] = "";
      std::string type = kTypes[j % 5];
      t[gddmsc] = j % 2 ? "02" : "01";
      t[gddm] = "B" + Format("%09llu", j);
      t[byzlx] = type;
      t[zjhmyy] = type == "0" || type == "2" ? Format("%02llu", 1 + j % 7) : "";
      t[khqcyy] = type == "1" || type == "2" ? (j % 3 ? "99" : "01") : "";
      t[sjrq] = world_.date;
      switch (id) {
        case kBadMarket: t[gddmsc] = "09"; break;
        case kBadType: t[byzlx] = "7"; break;
        case kBadNumberReason: t[byzlx] = "0", t[zjhmyy] = "55"; break;
        case kBadNameReason: t[byzlx] = "1", t[khqcyy] = "55"; break;
        default: break;
      }
      t.add();
    };
    writeRows(t, n, dup, put, kZhbyz, file);
    expect(kZhbyz, "R26", ranges, kBadMarket);
    expect(kZhbyz, "R27", ranges, kBadType);
    expect(kZhbyz, "R28", ranges, kBadNumberReason);
    expect(kZhbyz, "R28", ranges, kBadNameReason);
    expectRepeats(kZhbyz, "R30", n, dup);
    expect(kZhbyz, "R32", ranges, kOtherCompany);
    expect(kZhbyz, "R33", ranges, kUnknownBranch);
    expectCustomer(kZhbyz, "R34", ranges, kMissing);
  }

  const naming::InterfaceLayouts& layouts_;
  const AccountScale& scale_;
  const GeneratorOptions& opts_;
  Generated generated_;
  Output out_;
  AccountWorld world_;
};

// ---- identity re-check data ----

constexpr int kIdentityRules = 14;  // R01 .. R14, each a fault of its own

// A re-check notice number: issue date, company code, serial (1..999999).
std::string Notice(uint32_t i, const std::string& code) {
  return "200801" + Format("%02llu", 1 + i / 999999) + code + Format("%06llu", 1 + i % 999999);
}

Generated WriteIdentity(const naming::InterfaceLayouts& layouts, const IdentityScale& scale,
                        const GeneratorOptions& opts) {
  Generated generated;
  Output out(opts, Submission::Identity, generated);
  const std::string& code = opts.companyCode;
  const uint32_t n = scale.sfzfcjg;
  if (uint64_t{n} + scale.sfzhcqk >= 98 * 999999ULL) throw std::invalid_argument("SFZFCJG: too many records");
  FaultRanges ranges(n);
  for (int r = 0; r < kIdentityRules; ++r) ranges.add(r, Faults(n, opts.faultRate, r));
  ranges.require(0, "SFZFCJG");
  const uint32_t unknownNotices = Faults(n, opts.faultRate, 1);  // R02
  if (scale.sfzhcqk < n - unknownNotices)
    throw std::invalid_argument("SFZHCQK: fewer notices than the results name");

  // The notice of result i; R02's faults name notices beyond the comparison
  // table's, R14's are malformed (and listed in the comparison table).
  std::vector<std::string> malformed;
  auto notice = [&](uint32_t i) {
    auto fault = ranges.at(i);
    if (!fault) return Notice(i, code);
    if (fault->first == 1) return Notice(n + scale.sfzhcqk + fault->second, code);
    if (fault->first != 13) return Notice(i, code);
    std::string text = Notice(i, code);
    switch (fault->second % 3) {
      case 0: return text.substr(0, 14) + "000000";
      case 1: return text.substr(0, 8) + OtherCompany(code) + text.substr(14);
      default: return text.substr(0, 19);
    }
  };

  fs::path file = out.dbfPath(kSfzfcjg);
  TableOut t(LayoutOf(layouts, "SFZFCJG"), file);
  size_t fctzxh = t.field("FCTZXH"), zqgsdm = t.field("ZQGSDM"), sfzlx = t.field("SFZLX"),
         dkqjy = t.field("DKQJY"), sfcg = t.field("SFCG"), zhbd = t.field("ZHBD"), qtzj = t.field("QTZJ"),
         fcycyy = t.field("FCYCYY"), ycyysm = t.field("YCYYSM"), clcs = t.field("CLCS"),
         clcssm = t.field("CLCSSM");
  for (uint32_t i = 0; i < n; ++i) {
    auto fault = ranges.at(i);
    t[fctzxh] = notice(i);
    t[zqgsdm] = code;
    // A sound result: a first- or second-generation card with a matching
    // reader check and documents, an exception reason with its measure.
    bool second = i % 2;
    t[sfzlx] = second ? "2" : "1";
    t[dkqjy] = second ? Format("%llu", 1 + i % 3) : "4";
    t[qtzj] = second ? "08" : Format("%02llu", 1 + i % 6);
    t[sfcg] = Format("%llu", 1 + i % 3);
    t[zhbd] = Format("%llu", 1 + i % 2);
    std::string reason = Format("%02llu", 1 + i % 10);
    t[fcycyy] = reason;
    t[ycyysm] = reason == "09" ? "客户证件已过期" : "";
    std::string measure = reason == "01" ? (i % 4 ? "02" : "03") : Format("%02llu", 1 + (i / 10) % 8);
    t[clcs] = measure;
    t[clcssm] = measure >= "05" && measure <= "07" ? "已电话联系客户" : "";
    if (fault) {
      // Faults start from one plain sound result, so each breaks one rule.
      t[sfzlx] = "1", t[dkqjy] = "4", t[qtzj] = "01", t[sfcg] = "1", t[zhbd] = "1";
      t[fcycyy] = "02", t[ycyysm] = "", t[clcs] = "02", t[clcssm] = "";
      switch (fault->first) {
        case 0: t[zqgsdm] = OtherCompany(code); break;
        case 2: t[sfzlx] = "3"; break;
        case 3: t[dkqjy] = "1"; break;
        case 4: t[sfcg] = "4"; break;
        case 5: t[zhbd] = "3"; break;
        case 6: t[qtzj] = "08"; break;
        case 7: t[sfzlx] = "2", t[dkqjy] = "1"; break;
        case 8: t[fcycyy] = "11"; break;
        case 9: t[fcycyy] = "09"; break;
        case 10:
          if (fault->second % 2) t[clcs] = "09";
          else t[clcs] = "08", t[qtzj] = "07";
          break;
        case 11: t[fcycyy] = "01", t[clcs] = "04"; break;
        case 12: t[clcs] = "05"; break;
        default: break;  // R02 and R14: the notice number
      }
    }
    t.add();
  }
  t.finish();
  out.commit(kSfzfcjg, file);

  file = out.dbfPath(kSfzhcqk);
  TableOut c(LayoutOf(layouts, "SFZHCQK"), file);
  size_t cFctzxh = c.field("FCTZXH"), cZqgsdm = c.field("ZQGSDM"), khxm = c.field("KHXM"),
         zjhm = c.field("ZJHM"), yclx = c.field("YCLX"), xfrq = c.field("XFRQ");
  uint32_t written = 0;
  auto put = [&](const std::string& number, uint32_t i) {
    c[cFctzxh] = number, c[cZqgsdm] = code, c[khxm] = PersonName(i), c[zjhm] = IdNumber(i);
    c[yclx] = Format("%02llu", 1 + i % 5), c[xfrq] = opts.comparisonDate;
    c.add();
    ++written;
  };
  for (uint32_t i = 0; i < n; ++i) {
    auto fault = ranges.at(i);
    if (!fault || fault->first != 1) put(notice(i), i);
  }
  for (uint32_t k = 0; written < scale.sfzhcqk; ++k) put(Notice(n + k, code), n + k);
  c.finish();
  out.commit(kSfzhcqk, file);

  constexpr const char* kCodes[] = {"R01", "R02", "R03", "R04", "R05", "R06", "R07",
                                    "R08", "R09", "R10", "R11", "R12", "R13", "R14"};
  for (int r = 0; r < kIdentityRules; ++r)
    if (uint32_t count = Faults(n, opts.faultRate, r))
      generated.findings.push_back({kSfzfcjg, kCodes[r], static_cast<int>(count), ranges.records(r)});
  return generated;
}

// The count a finding's message quotes: the number after "条,其中" (the
// total's form) or after "表中有" (the identity rules' tail form).
std::optional<int> QuotedCount(const std::string& message) {
  size_t at = std::string::npos;
  for (std::string_view marker : {"条,其中", "表中有"}) {
    if ((at = message.find(marker)) == std::string::npos) continue;
    at += marker.size();
    break;
  }
  if (at == std::string::npos) return std::nullopt;
  while (at < message.size() && message[at] == ' ') ++at;
  size_t end = at;
  while (end < message.size() && message[end] >= '0' && message[end] <= '9') ++end;
  if (end == at) return std::nullopt;
  return std::stoi(message.substr(at, end - at));
}

using FindingKey = std::tuple<int, std::string, int>;  // kind, errid, count

}  // namespace

Generated WriteAccountSubmission(const naming::InterfaceLayouts& layouts, const AccountScale& scale,
                                 const GeneratorOptions& opts) {
  return AccountWriter(layouts, scale, opts).run();
}

Generated WriteIdentitySubmission(const naming::InterfaceLayouts& layouts, const IdentityScale& scale,
                                  const GeneratorOptions& opts) {
  return WriteIdentity(layouts, scale, opts);
}

std::string FindingsDiffer(store::Store& store, Submission submission,
                            const std::vector<ExpectedFinding>& expected) {
  std::vector<FindingKey> want, got;
  for (const ExpectedFinding& f : expected) want.emplace_back(f.kindIndex, f.errid, f.count);
  std::string problems;
  std::set<std::string> failed;
  for (const store::ResultRow& row : store.readResults()) {
    if (row.isok != "1" && failed.insert(row.filename.value_or("?")).second)
      problems += " " + row.filename.value_or("?") + " did not pass;";
    if (!row.errid) continue;
    std::optional<int> kind = naming::FindKindByFilecat(submission, row.filecat.value_or(""));
    std::optional<int> count = QuotedCount(row.errdesc.value_or(""));
    if (!kind || !count || row.errid->rfind("R", 0) != 0) {
      problems += " unexpected " + row.errid.value_or("") + " " + row.errdesc.value_or("") + ";";
      continue;
    }
    got.emplace_back(*kind, *row.errid, *count);
  }
  std::sort(want.begin(), want.end());
  std::sort(got.begin(), got.end());
  auto text = [](const FindingKey& k) {
    return " kind " + std::to_string(std::get<0>(k)) + " " + std::get<1>(k) + " " + std::to_string(std::get<2>(k));
  };
  std::vector<FindingKey> missing, extra;
  std::set_difference(want.begin(), want.end(), got.begin(), got.end(), std::back_inserter(missing));
  std::set_difference(got.begin(), got.end(), want.begin(), want.end(), std::back_inserter(extra));
  for (const FindingKey& k : missing) problems += " missing" + text(k) + ";";
  for (const FindingKey& k : extra) problems += " unexpected" + text(k) + ";";
  return problems;
}

std::string RecordsDiffer(store::Store& store, Submission submission, const std::vector<ExpectedFinding>& expected,
                          size_t limit) {
  std::map<int, int> kindOf;  // fileid -> kind
  for (const store::FileRow& file : store.listedFiles())
    if (auto kind = naming::FindKindByFilecat(submission, file.filecat)) kindOf[file.fileid] = *kind;
  // Findings of one kind and code in the order written, as the expectations are.
  std::map<std::pair<int, std::string>, std::vector<store::FindingRow>> found;
  for (store::FindingRow& f : store.readFindings())
    if (kindOf.count(f.fileid)) found[{kindOf[f.fileid], f.errid}].push_back(std::move(f));
  std::map<std::pair<int, std::string>, size_t> taken;
  std::string problems;
  for (const ExpectedFinding& e : expected) {
    const std::string name = " kind " + std::to_string(e.kindIndex) + " " + e.errid;
    const auto key = std::make_pair(e.kindIndex, e.errid);
    const std::vector<store::FindingRow>& rows = found[key];
    if (taken[key] >= rows.size()) {
      problems += name + ": no finding;";
      continue;
    }
    const store::FindingRow& row = rows[taken[key]++];
    const std::optional<store::FindingRecords> kept = store.readFindingRecords(row.fileid, row.finding);
    if (!kept) {
      problems += name + ": no records kept;";
      continue;
    }
    const auto total = static_cast<int64_t>(e.records.size());
    const size_t wanted = limit == 0 ? e.records.size() : std::min(limit, e.records.size());
    std::vector<uint32_t> recnos;
    for (const auto& r : kept->records) recnos.push_back(static_cast<uint32_t>(r.recno));
    std::sort(recnos.begin(), recnos.end());
    std::vector<uint32_t> strays;
    std::set_difference(recnos.begin(), recnos.end(), e.records.begin(), e.records.end(), std::back_inserter(strays));
    if (kept->total != total) problems += name + ": total " + std::to_string(kept->total) + ", generated " + std::to_string(total) + ";";
    if (recnos.size() != wanted) problems += name + ": " + std::to_string(recnos.size()) + " records kept, " + std::to_string(wanted) + " expected;";
    if (!strays.empty()) problems += name + ": record " + std::to_string(strays.front()) + " is no generated fault;";
  }
  return problems;
}

}  // namespace fc::bench
