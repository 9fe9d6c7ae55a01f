// The decoding of a structure library answer on any text: every item must
// become at most one fileerr row and the rows must go into a real store.
#include <algorithm>
#include <memory>
#include <string>
#include <string_view>

#include "FuzzSupport.h"
#include "pipeline/StructureCheck.h"
#include "store/Store.h"
#include "support/StoreRows.h"

namespace {

fc::store::Store& ScratchStore() {
  static std::unique_ptr<fc::store::Store> store = [] {
    std::filesystem::path home = fc::fuzz::ScratchDir() / "home";
    std::filesystem::create_directories(home);
    return fc::store::Store::open(home, fc::fuzz::DataDir());
  }();
  return *store;
}

size_t CountOf(std::string_view text, char c) {
  size_t n = 0;
  for (char x : text) n += x == c;
  return n;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fc::store::Store& store = ScratchStore();
  std::string_view text(reinterpret_cast<const char*>(data), size);
  store.clearRun();
  fc::pipeline::DecodeDbfResult(store, text, 1);
  auto rows = fc::test::StoreRows(store, "select errid, errdesc from fileerr");
  // One row per item (items are split at blanks and need an "@"), one for
  // the date section, or the one free-text row.
  size_t items = std::min(CountOf(text, ' ') + 1, CountOf(text, '@'));
  fc::fuzz::Require(rows.size() <= items + 1, "more rows than the answer has items");
  for (const auto& row : rows) fc::fuzz::Require(row[0].has_value(), "a row without errid");
  return 0;
}
