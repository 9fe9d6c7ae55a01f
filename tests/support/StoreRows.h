// support/StoreRows.h - any SQL on a check-run store, for tests that look at
// its tables directly (their rows, its schema) or change them behind the
// store's back. A connection of its own is opened for each call, beside any
// the store itself holds.
//
//   auto rows = test::StoreRows(*store, "select errid, errdesc from fileerr order by rowid");
//   EXPECT_EQ(rows[0][0], "R05");
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace fc::store { class Store; }

namespace fc::test {

// Each row's values as texts, empty for SQL NULL, in the statement's column order.
using SqlRows = std::vector<std::vector<std::optional<std::string>>>;

// Runs one statement on the store file; a failure throws store::StoreError.
SqlRows StoreRows(const std::filesystem::path& storeFile, std::string_view sql);
SqlRows StoreRows(const store::Store& store, std::string_view sql);

}  // namespace fc::test
