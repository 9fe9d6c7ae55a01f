#include "naming/SoundValues.h"

namespace fc::naming {

namespace {

struct Sound {
  std::string_view kind;   // table kind
  std::string_view field;  // field of its layout
  std::string_view value;  // breaks no rule
};

constexpr Sound kSound[] = {
    {"KHJBXX", "YYBDM", "000001"}, {"KHJBXX", "XHRQ", "20080101"}, {"KHJBXX", "KHQC", "张三"},
    {"KHJBXX", "ZJLB", "10"}, {"KHJBXX", "ZJHM", "110101197001010011"}, {"KHJBXX", "ZJZHLB", "0"},
    {"KHJBXX", "KHRQ", "20010101"},
    {"ZJZQDY", "YYBDM", "000001"}, {"ZJZQDY", "GDDMSC", "01"}, {"ZJZQDY", "GDDM", "A123456789"},
    {"ZJZQDY", "QXBZ", "1"},
    {"ZJBDXX", "YYBDM", "000001"}, {"ZJBDXX", "BZDM", "CN"}, {"ZJBDXX", "ZRYE", "100.10"},
    {"ZJBDXX", "XJCQJE", "0.20"}, {"ZJBDXX", "ZQJYMCJE", "0.00"}, {"ZJBDXX", "ZQJYMRJE", "0.00"},
    {"ZJBDXX", "FJZJYJE", "0.00"}, {"ZJBDXX", "JRYE", "100.30"},
    {"YYBXX", "YYBMC", "营业部"}, {"YYBXX", "YYBDZ", "北京"},
    {"ZHBYZ", "YYBDM", "000001"}, {"ZHBYZ", "GDDMSC", "01"}, {"ZHBYZ", "GDDM", "A123456789"},
    {"ZHBYZ", "BYZLX", "3"}, {"ZHBYZ", "ZJHMYY", "01"}, {"ZHBYZ", "KHQCYY", "01"},
    {"SFZFCJG", "SFZLX", "1"}, {"SFZFCJG", "DKQJY", "4"}, {"SFZFCJG", "SFCG", "1"},
    {"SFZFCJG", "ZHBD", "1"}, {"SFZFCJG", "QTZJ", "01"}, {"SFZFCJG", "FCYCYY", "02"},
    {"SFZFCJG", "CLCS", "01"},
    {"SFZHCQK", "KHXM", "张三"}, {"SFZHCQK", "ZJHM", "110101197001010011"}, {"SFZHCQK", "YCLX", "01"},
    {"SFZHCQK", "XFRQ", "20080801"},
};

}  // namespace

std::string_view SoundValue(std::string_view kind, std::string_view field) {
  for (const Sound& s : kSound)
    if (s.kind == kind && s.field == field) return s.value;
  return {};
}

}  // namespace fc::naming
