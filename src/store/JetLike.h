// store/JetLike.h - Jet's `like` as SQLite's `like` on one connection.
//
// Once registered, "filename like '*_3.*'" in any statement of the connection
// has Jet's meaning (see JetLike in store/Store.h) instead of SQLite's, so the
// pipeline's query texts run unchanged. SQLite then no longer turns LIKE into
// an index range; the store's tables are small enough not to need it.
//
//   if (RegisterJetLike(db) != SQLITE_OK) ...;
#pragma once

struct sqlite3;

namespace fc::store {

// Registers like(pattern, text) and like(pattern, text, escape); returns an
// SQLite result code.
int RegisterJetLike(sqlite3* db);

}  // namespace fc::store
