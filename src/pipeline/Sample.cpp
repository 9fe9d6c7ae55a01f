#include "pipeline/Sample.h"

#include <map>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "naming/InterfaceLayouts.h"
#include "pipeline/Packaging.h"
#include "platform/Utf8Paths.h"
#include "ruleset/LayoutTables.h"

namespace fc::pipeline {

using naming::InterfaceLayouts;
using naming::TableLayout;

namespace fs = std::filesystem;

namespace {

using Record = SampleRecord;

struct SampleTable {
  std::string kind;              // layout kind
  std::string fileStem;          // file name without ".DBF" / ".ZIP"
  std::vector<Record> records;
  std::string shortenedField{};  // a field written 20 bytes shorter than agreed
  bool misnamedInZip = false;    // the archive holds the table as KIND.DBF
};

std::string AccountStem(const char* kind, int group) {
  return std::string(kSampleCompany) + "_" + kind + "_" + kSampleDate + "_" + std::to_string(group);
}

std::string IdentityStem(const char* kind, const char* date) {
  return std::string(kSampleCompany) + "_" + kind + "_" + date;
}

// A re-check notice number: issue date, company code, serial.
std::string Notice(const char* serial) {
  return std::string(kSampleComparisonDate) + kSampleCompany + serial;
}

std::vector<SampleTable> AccountTables() {
  Record customer{{"YYBDM", "000001"}, {"ZJZH", "100000000001"}, {"XHRQ", "20080808"},
                  {"KHQC", "张三"}, {"ZJLB", "10"}, {"ZJHM", "110101198001010011"},
                  {"ZJZHLB", "0"}, {"KHRQ", "20050101"}};
  Record customer2 = customer, customer3 = customer;
  customer2["ZJZH"] = "100000000002";
  customer2["KHQC"] = "李四";
  customer2["ZJZHLB"] = "5";  // R02
  customer3["ZJZH"] = "100000000003";
  customer3["YYBDM"] = "000009";  // R04: no such branch
  Record mapping{{"YYBDM", "000001"}, {"ZJZH", "100000000001"}, {"GDDMSC", "01"},
                 {"GDDM", "A123456789"}, {"QXBZ", "1"}};
  Record mapping2 = mapping;
  mapping2["ZJZH"] = "100000000002";
  mapping2["GDDMSC"] = "09";  // R06
  Record movement{{"YYBDM", "000001"}, {"ZJZH", "100000000001"}, {"BZDM", "CN"},
                  {"ZRYE", "1000.00"}, {"XJCQJE", "200.00"}, {"ZQJYMCJE", "0.00"},
                  {"ZQJYMRJE", "0.00"}, {"FJZJYJE", "0.00"}, {"JRYE", "1200.00"}};
  Record movement2 = movement;
  movement2["ZJZH"] = "100000000002";
  movement2["JRYE"] = "1180.00";  // R16: does not add up
  Record branch{{"YYBDM", "000001"}, {"YYBMC", "东岳证券北京营业部"}, {"YYBDZ", "北京市西城区金融街1号"}};
  Record branch2{{"YYBDM", "000002"}, {"YYBMC", "东岳证券上海营业部"}, {"YYBDZ", "上海市浦东新区世纪大道8号"}};
  Record mismatch{{"YYBDM", "000001"}, {"ZJZH", "100000000001"}, {"GDDMSC", "01"},
                  {"GDDM", "A123456789"}, {"BYZLX", "7"}};  // R27
  Record mismatch2{{"YYBDM", "000002"}, {"GDDMSC", "02"}, {"GDDM", "B987654321"},
                   {"BYZLX", "0"}, {"ZJHMYY", "01"}};
  Record lateMapping = mapping;
  lateMapping["SJRQ"] = "20080807";  // another data date
  return {
      {"KHJBXX", AccountStem("KHJBXX", 1), {customer, customer2, customer3}},
      {"ZJZQDY", AccountStem("ZJZQDY", 1), {mapping, mapping2}},
      {"ZJBDXX", AccountStem("ZJBDXX", 1), {movement, movement2}},
      {"YYBXX", AccountStem("YYBXX", 1), {branch, branch2}},
      {"ZHBYZ", AccountStem("ZHBYZ", 1), {mismatch}},
      {"KHJBXX", AccountStem("KHJBXX", 2), {customer}, "KHQC"},
      {"ZJZQDY", AccountStem("ZJZQDY", 2), {mapping, lateMapping}},
      {"YYBXX", AccountStem("YYBXX", 2), {branch}, "", true},
      {"ZHBYZ", AccountStem("ZHBYZ", 2), {mismatch2}},
  };
}

std::vector<SampleTable> IdentityTables() {
  Record sound{{"FCTZXH", Notice("000101")}, {"SFZLX", "1"}, {"DKQJY", "4"}, {"SFCG", "1"},
               {"ZHBD", "1"}, {"QTZJ", "01"}, {"FCYCYY", "02"}, {"CLCS", "02"}};
  Record noDepository{{"FCTZXH", Notice("000102")}, {"SFZLX", "2"}, {"DKQJY", "1"}, {"SFCG", "4"},
                      {"ZHBD", "2"}, {"QTZJ", "08"}, {"FCYCYY", "01"}, {"CLCS", "03"}};  // R05
  Record unknownNotice = sound;
  unknownNotice["FCTZXH"] = Notice("000103");  // R02
  Record badNotice = sound;
  badNotice["FCTZXH"] = Notice("000000");  // R14 (and R02)
  Record exception1{{"FCTZXH", Notice("000101")}, {"KHXM", "张三"},
                    {"ZJHM", "110101198001010011"}, {"YCLX", "01"}, {"XFRQ", kSampleComparisonDate}};
  Record exception2{{"FCTZXH", Notice("000102")}, {"KHXM", "王五"},
                    {"ZJHM", "310101197502020022"}, {"YCLX", "02"}, {"XFRQ", kSampleComparisonDate}};
  return {
      {"SFZFCJG", IdentityStem("SFZFCJG", kSampleDate), {sound, noDepository, unknownNotice, badNotice}},
      {"SFZHCQK", IdentityStem("SFZHCQK", kSampleComparisonDate), {exception1, exception2}},
  };
}

void WriteForms(const InterfaceLayouts& layouts, const std::vector<SampleTable>& tables,
                const fs::path& dbfDir, const fs::path& zipDir) {
  fs::create_directories(dbfDir);
  fs::create_directories(zipDir);
  for (const SampleTable& table : tables) {
    const TableLayout* layout = layouts.find(table.kind);
    if (!layout) throw std::runtime_error("接口规范中没有表" + table.kind);
    fs::path dbf = dbfDir / (table.fileStem + ".DBF");
    ruleset::WriteLayoutTable(*layout, dbf, table.records, kSampleCompany, kSampleDate, table.shortenedField);
    std::string entry = table.misnamedInZip ? table.kind + ".DBF" : platform::Utf8Of(dbf.filename());
    std::string failure = PackOneFile(dbf, entry, zipDir / (table.fileStem + ".ZIP"));
    if (!failure.empty()) throw std::runtime_error(platform::Utf8Of(dbf) + ": " + failure);
  }
}

}  // namespace

void WriteSample(const InterfaceLayouts& layouts, const fs::path& dir) {
  WriteForms(layouts, AccountTables(), dir / "account-dbf", dir / "account-zip");
  WriteForms(layouts, IdentityTables(), dir / "identity-dbf", dir / "identity-zip");
}

}  // namespace fc::pipeline
