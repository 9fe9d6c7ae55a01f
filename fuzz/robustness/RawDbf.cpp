#include "RawDbf.h"

#include "dbf/CodePage.h"
#include "platform/CodePageText.h"

namespace fc::robustness {

namespace {

void Put16(std::string& out, size_t at, uint16_t v) {
  out[at] = static_cast<char>(v & 0xFF);
  out[at + 1] = static_cast<char>(v >> 8);
}

void Put32(std::string& out, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) out[at + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
}

bool IsVisualFoxPro(uint8_t version) { return version >= 0x30 && version <= 0x32; }

}  // namespace

std::string RawDbf::bytes() const {
  std::string out(32, '\0');
  out[0] = static_cast<char>(version);
  out[1] = 108;  // last update 2008-08-08
  out[2] = 8;
  out[3] = 8;
  uint16_t sum = 1;
  for (const RawField& f : fields) {
    std::string d(32, '\0');
    d.replace(0, std::min<size_t>(f.name.size(), 11), f.name.substr(0, 11));
    d[11] = f.type;
    d[16] = static_cast<char>(f.length);
    d[17] = static_cast<char>(f.decimals);
    d[18] = static_cast<char>(f.flags);
    out += d;
    sum = static_cast<uint16_t>(sum + f.length);
  }
  out += '\x0D';
  if (IsVisualFoxPro(version)) out += std::string(263, '\0');
  Put32(out, 4, recordCount.value_or(static_cast<uint32_t>(records.size())));
  Put16(out, 8, headerLength.value_or(static_cast<uint16_t>(out.size())));
  Put16(out, 10, recordLength.value_or(sum));
  out[29] = static_cast<char>(codePage);
  for (const std::string& r : records) out += r;
  return out + '\x1A';
}

std::string RawDbf::record(const std::vector<std::string>& values) const {
  std::string r = " ";
  for (size_t i = 0; i < fields.size(); ++i) {
    std::string v = i < values.size() ? values[i] : "";
    v.resize(fields[i].length, ' ');
    r += v;
  }
  return r;
}

RawDbf KhjbxxTable(const std::string& date, int count) {
  RawDbf t;
  t.fields = {{"ZQGSDM", 'C', 6}, {"YYBDM", 'C', 6}, {"ZJZH", 'C', 20}, {"XHRQ", 'C', 8},
              {"KHQC", 'C', 120}, {"ZJLB", 'C', 2},  {"ZJHM", 'C', 40}, {"ZJZHLB", 'C', 1},
              {"KHRQ", 'C', 8},   {"SJRQ", 'C', 8}};
  for (int i = 1; i <= count; ++i)
    t.records.push_back(t.record({"100001", "000001", "1000000" + std::to_string(i), date, Gbk("张三"), "10",
                                  "11010119800101001" + std::to_string(i % 10), "0", "20050101", date}));
  return t;
}

std::string Gbk(const std::string& utf8) {
  fc::platform::CodePageText toGbk(fc::dbf::TextCodePage(0x7A), fc::platform::CodePageText::Encode, "?");
  std::string out;
  toGbk.convert(utf8, out);
  return out;
}

}  // namespace fc::robustness
