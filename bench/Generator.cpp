#include "bench/Generator.h"

#include <cstdio>
#include <vector>

#include "dbf/Writer.h"

namespace fc::bench {
namespace {

using dbf::FieldSpec;

const char* const kSurnames[] = {"王", "李", "张", "刘", "陈", "杨", "黄", "赵", "吴", "周",
                                 "徐", "孙", "马", "朱", "胡", "郭", "何", "高", "林", "罗"};
const char* const kGiven[] = {"伟", "芳", "娜", "秀", "英", "敏", "静", "丽", "强", "磊", "军",
                              "洋", "勇", "艳", "杰", "娟", "涛", "明", "超", "兰", "霞", "平"};

template <typename T, size_t N>
const char* Pick(const T (&pool)[N], uint32_t i) {
  return pool[i % N];
}

// A customer name of two or three characters, varied by account.
std::string Name(uint32_t i) {
  std::string name = std::string(Pick(kSurnames, i)) + Pick(kGiven, i / 20);
  if (i % 3) name += Pick(kGiven, i / 7);
  return name;
}

// `prefix` followed by `value` in `width` digits with leading zeros.
std::string Digits(const char* prefix, uint64_t value, int width) {
  char buf[48];
  std::snprintf(buf, sizeof buf, "%s%0*llu", prefix, width, static_cast<unsigned long long>(value));
  return buf;
}

std::string Branch(const Submission& s, uint32_t account) { return Digits("", account % s.branches, 6); }

}  // namespace

std::string AccountNumber(uint32_t i) { return Digits("88", i, 10); }

void WriteKhjbxx(const std::filesystem::path& path, const Submission& s, uint32_t customers) {
  dbf::Writer w(path, dbf::Format::DBase3,
                {{"ZQGSDM", 'C', 6},
                 {"YYBDM", 'C', 6},
                 {"ZJZH", 'C', 20},
                 {"XHRQ", 'C', 8},
                 {"KHQC", 'C', 120},
                 {"ZJLB", 'C', 2},
                 {"ZJHM", 'C', 40},
                 {"ZJZHLB", 'C', 1},
                 {"KHRQ", 'C', 8},
                 {"SJRQ", 'C', 8}});
  for (uint32_t i = 0; i < customers; ++i)
    w.add({s.code, Branch(s, i), AccountNumber(i), s.date, Name(i), "10", Digits("110101", i, 12),
           i % 10 ? "0" : "1", "20050101", s.date});
  w.finish();
}

void WriteZjzqdy(const std::filesystem::path& path, const Submission& s, uint32_t records, uint32_t customers,
                 uint32_t missing) {
  dbf::Writer w(path, dbf::Format::DBase3,
                {{"ZQGSDM", 'C', 6},
                 {"YYBDM", 'C', 6},
                 {"ZJZH", 'C', 20},
                 {"GDDMSC", 'C', 2},
                 {"GDDM", 'C', 20},
                 {"QXBZ", 'C', 1},
                 {"SJRQ", 'C', 8}});
  const uint64_t every = missing ? records / missing : 0;
  for (uint32_t j = 0; j < records; ++j) {
    uint32_t account = static_cast<uint32_t>(uint64_t{j} * customers / records);
    if (every && j % every == every - 1) account = customers + j;  // no such customer
    bool shanghai = j % 2 == 0;
    w.add({s.code, Branch(s, account), AccountNumber(account), shanghai ? "01" : "02",
           Digits(shanghai ? "A" : "0", account, 9), "1", s.date});
  }
  w.finish();
}

}  // namespace fc::bench
