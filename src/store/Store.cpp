#include "store/Store.h"

#include <algorithm>

#include <nlohmann/json.hpp>

#include "platform/FileReplace.h"
#include "platform/Utf8Paths.h"
#include "platform/WriteLimits.h"
#include "settings/AppHome.h"
#include "store/Sqlite.h"
#include "text/DataFile.h"
#include "text/Json.h"
#include "text/Text.h"

namespace fc::store {

namespace fs = std::filesystem;

namespace {

// The store's name in error texts.
constexpr const char* kWhat = "检查结果库";
// Before the file's name when it cannot be opened.
constexpr const char* kFileWord = "文件 ";
constexpr const char* kCompanyFile = "zqgs.csv";
constexpr const char* kResultsQuery =
    "select a.groupno,a.filecat,a.filename,a.isexist,a.isok,b.errid,b.errdesc from filelist a "
    "left join fileerr b on a.fileid=b.fileid order by a.groupno,a.fileid,b.errid";
constexpr const char* kSchema =
    "create table filelist (fileid integer, groupno integer, filecat text, filename text,"
    " isexist integer, isok integer, dbftype integer);"
    "create table fileerr (fileid integer, errid text, errdesc text);"
    "create table zqgs (zqgsdm text, zqgsmc text);"
    "create unique index primarykey on zqgs (zqgsdm);";
// The records behind the findings, tied to a fileerr row by its fileid and its
// position among that file's rows (rowid order is the order written): one
// errfinding row per finding (its value counts a JSON array of
// {"field","value","count"}), one errrecord row per record (its values a JSON
// array of texts, in the order of the finding's `fields`). No indexes: a
// finding's records are read one finding at a time, and a store that holds no
// records stays as small as it was. Identity numbers are masked in both; a
// finding that has any keeps its real value counts (seq 0) and record values
// (seq n, as errrecord's) in errunmasked, read only when the operator asks,
// and errpersonal names its personal fields ("id" or "name").
constexpr const char* kFindingSchema =
    "create table if not exists errfinding (fileid integer, finding integer, errid text, tablekind text,"
    " fields text, total integer, kept integer, valuecounts text);"
    "create table if not exists errrecord (fileid integer, finding integer, seq integer, recno integer,"
    " vals text);"
    "create table if not exists errpersonal (fileid integer, finding integer, field text, personal text);"
    "create table if not exists errunmasked (fileid integer, finding integer, seq integer, vals text);";
constexpr const char* kFindingTables[] = {"errfinding", "errrecord", "errpersonal", "errunmasked"};
constexpr const char* kInsertFile =
    "insert into filelist (fileid, groupno, filecat, filename, isexist, isok, dbftype) values (?, ?, ?, ?, ?, ?, ?)";
constexpr const char* kInsertFinding = "insert into fileerr (fileid, errid, errdesc) values (?, ?, ?)";
// The columns of FileRow, in its order.
constexpr const char* kSelectFiles = "select fileid, groupno, filecat, filename, isexist, isok, dbftype from filelist";
constexpr const char* kFindingsQuery =
    "select e.fileid, e.finding, f.filename, e.errid, e.errdesc, coalesce(r.kept, 0), coalesce(r.total, 0) from"
    " (select rowid as pos, fileid, errid, errdesc,"
    "  row_number() over (partition by fileid order by rowid) as finding from fileerr) e"
    " left join filelist f on f.fileid = e.fileid"
    " left join errfinding r on r.fileid = e.fileid and r.finding = e.finding"
    " order by e.fileid, e.finding";
// Room a run's rows need at least before it clears the last results.
constexpr uintmax_t kRoomNeeded = 64 << 10;
// Records of a finding read, masked and written at a time.
constexpr size_t kRecordBatch = 4096;

std::string QuotedName(std::string_view name) {
  std::string q = "\"";
  for (char c : name) q += c == '"' ? std::string("\"\"") : std::string(1, c);
  return q + "\"";
}

std::string JsonArray(const std::vector<std::string>& texts) { return text::JsonText(texts); }

std::string JsonValueCounts(const std::vector<FindingRecords::ValueCount>& counts) {
  text::Json json = text::Json::array();
  for (const FindingRecords::ValueCount& v : counts)
    json.push_back({{"field", v.field}, {"value", v.value}, {"count", v.count}});
  return text::JsonText(json);
}

struct Company {
  std::string code;  // first column of zqgs
  std::string name;  // second column of zqgs
};

// The company list shipped with the program: UTF-8, a header line, then
// "code,name" lines (no quoting; the name is everything after the first comma).
std::vector<Company> ReadCompanies(const fs::path& path) {
  std::vector<text::CsvRecord> records;
  try {
    records = text::DataFile(path, "公司清单文件").csvRecords();
  } catch (const text::DataFileError& e) {
    throw StoreError(e.what());
  }
  std::vector<Company> companies;
  for (size_t i = 1; i < records.size(); ++i) {  // the first is the heading
    const text::CsvRecord& r = records[i];
    if (r.fields.size() < 2 || r.fields[0].empty())
      throw StoreError(text::DataFile::Fault("公司清单文件", path, r.number, "应为“代码,名称”"));
    std::string name = r.fields[1];  // a name may hold commas of its own, quoted or not
    for (size_t f = 2; f < r.fields.size(); ++f) name += "," + r.fields[f];
    companies.push_back({r.fields[0], std::move(name)});
  }
  return companies;
}

void BuildStore(const fs::path& file, const std::vector<Company>& companies) {
  Connection db(file, Access::Create, kWhat, kFileWord);
  Transaction t(db, "创建");
  db.exec(kSchema, "创建");
  Query insert = db.prepare("insert into zqgs (zqgsdm, zqgsmc) values (?, ?)", "创建");
  for (const Company& c : companies) insert.bind(1, c.code).bind(2, c.name).run("写入公司清单（代码 " + c.code + "）");
  t.commit();
}

// Builds the store under a temporary name in the home and moves it into
// place unless another opener got there first (a store someone already uses
// must not be replaced by an empty one), so that a crash never leaves a
// half-made store behind.
void CreateStore(const fs::path& file, const fs::path& dataDir) {
  const std::vector<Company> companies = ReadCompanies(dataDir / kCompanyFile);
  fs::path journal;
  try {
    const platform::WriteResult made = platform::WriteFileByName(
        file,
        [&](const fs::path& temp, std::string&) {
          journal = fs::path(temp) += "-journal";
          BuildStore(temp, companies);
          return true;
        },
        {.access = platform::Access::OwnerOnly, .existing = platform::Existing::Keep,
         .tempName = platform::TempName::Beside});
    if (!made) throw StoreError("无法创建检查结果库 " + platform::Utf8Of(file) + "：" + made.why());
  } catch (...) {
    std::error_code ec;
    if (!journal.empty()) fs::remove(journal, ec);
    throw;
  }
}

FileRow ReadFileRow(const Query& q) {
  const std::optional<int64_t> dbftype = q.optionalInteger(6);
  return {static_cast<int>(q.integer(0)), static_cast<int>(q.integer(1)), q.text(2), q.text(3),
          static_cast<int>(q.integer(4)), static_cast<int>(q.integer(5)),
          dbftype ? std::optional<int>(static_cast<int>(*dbftype)) : std::nullopt};
}

// Steps a statement bound to one finding, handing each row to `take`.
template <typename Take>
void EachRow(Connection& db, const std::string& sql, int fileid, int finding, Take&& take) {
  Query q = db.prepare(sql, "查询");
  q.bind(1, fileid).bind(2, finding);
  while (q.next()) take(q);
}

// Puts the real values set aside for a finding in place of the masked ones,
// those of its value counts and of its first `most` records.
void Unmask(Connection& db, FindingRecords& f, int64_t most) {
  EachRow(db,
          "select u.seq, j.key, case u.seq when 0 then json_extract(j.value, '$.value') else j.value end"
          " from errunmasked u, json_each(u.vals) j where u.fileid = ? and u.finding = ? and u.seq <= " +
              std::to_string(most) + " order by u.seq, j.key",
          f.fileid, f.finding, [&](const Query& s) {
            const int64_t seq = s.integer(0);
            const auto key = static_cast<size_t>(s.integer(1));
            std::string value = s.text(2);
            if (seq == 0 && key < f.valueCounts.size()) f.valueCounts[key].value = std::move(value);
            if (seq > 0 && static_cast<size_t>(seq) <= f.records.size() && key < f.records[seq - 1].values.size())
              f.records[seq - 1].values[key] = std::move(value);
          });
}

}  // namespace

struct Store::Impl {
  fs::path file;
  std::optional<Connection> db;            // set once the file is open
  std::unique_ptr<Transaction> fileOpen;   // between beginFile() and insertFile()/abandonFile()
  privacy::PersonalFields personalFields;  // the agreement's, as setPersonalFields gave them
  std::string companyQuery;                // findCompany's, with the zqgs columns this store has
  // The inserts a run makes row by row, prepared once.
  struct Inserts {
    Query filelist, fileerr, errfinding, errrecord, errpersonal, errunmasked;  // each into the table of its name
  };
  std::optional<Inserts> insert;  // set once the file is verified

  // One finding as readFindingRecords gives it; without its records when `most` is 0.
  std::optional<FindingRecords> readFinding(int fileid, int finding, privacy::Masking masking, int64_t most);

  [[noreturn]] void refuse(std::string_view why) const {
    throw StoreError("文件 " + platform::Utf8Of(file) + " 不是本程序的检查结果库（" + std::string(why) +
                     "），程序没有改动它。");
  }

  // Only a file SQLite cannot take for a database, or whose schema is not
  // ours, is refused as foreign; a failure to read (I/O, a full disk, a
  // lock) is named as such, for the file may well be a sound store.
  [[noreturn]] void refuseUnreadable() const {
    if (db->failedAsForeign()) refuse(db->failureReason());
    throw StoreError(std::string(kWhat) + kFileWord + platform::Utf8Of(file) + " 读取失败：" + db->failureReason());
  }

  // Prepares a statement on a file not yet known to be a store; one that
  // does not compile there refuses the file.
  Query prepareOrRefuse(const std::string& sql, std::string_view doing = {}) {
    try {
      return db->prepare(sql, doing);
    } catch (const StoreError&) {
      refuseUnreadable();
    }
  }

  // Reads only: a file that fails here is left exactly as it was.
  std::vector<std::string> companyColumns() {
    std::vector<std::string> columns;
    for (Query info = db->prepare("pragma table_info(zqgs)", "读取"); info.next();) columns.push_back(info.text(1));
    if (columns.size() < 2) refuse("公司清单表 zqgs 少于两列");
    return columns;
  }

  void verifyTables() {
    std::vector<std::string> names;
    try {
      for (Query tables = db->prepare("select name from sqlite_master where type='table'"); tables.next();)
        names.push_back(tables.text(0));
    } catch (const StoreError&) {
      refuseUnreadable();
    }
    for (const char* wanted : {"filelist", "fileerr", "zqgs"}) {
      const bool found = std::any_of(names.begin(), names.end(),
                                     [&](const std::string& n) { return text::EqualsNoCase(n, wanted); });
      if (!found) refuse(std::string("缺少数据表 ") + wanted);
    }
  }

  void open() {
    db.emplace(file, Access::Write, kWhat, kFileWord);
    verifyTables();
    MakeDatabasePrivate(file);  // a store of an earlier version may still be world-readable
    const std::vector<std::string> zqgs = companyColumns();
    Query filelist = prepareOrRefuse(kInsertFile, "写入文件记录");
    Query fileerr = prepareOrRefuse(kInsertFinding, "写入问题记录");
    companyQuery = "select " + QuotedName(zqgs[1]) + " from zqgs where " + QuotedName(zqgs[0]) + " = ?";
    prepareOrRefuse(companyQuery);
    // The journal mode is the first write; only a verified store gets it.
    // synchronous=normal keeps every committed row through a program crash.
    db->exec("pragma journal_mode=wal; pragma synchronous=normal", "打开");
    db->exec(kFindingSchema, "升级");
    const char* records = "写入问题记录明细";
    insert.emplace(Inserts{
        std::move(filelist), std::move(fileerr),
        db->prepare("insert into errfinding (fileid, finding, errid, tablekind, fields, total, kept, valuecounts)"
                    " values (?, ?, ?, ?, ?, ?, ?, ?)",
                    records),
        db->prepare("insert into errrecord (fileid, finding, seq, recno, vals) values (?, ?, ?, ?, ?)", records),
        db->prepare("insert into errpersonal (fileid, finding, field, personal) values (?, ?, ?, ?)", records),
        db->prepare("insert into errunmasked (fileid, finding, seq, vals) values (?, ?, ?, ?)", records)});
  }

  void clearFindingTables(std::string_view doing) {
    for (const char* table : kFindingTables) db->exec(std::string("delete from ") + table, doing);
  }

  // The personal fields among a finding's fields and tested fields.
  std::map<std::string, privacy::Personal> personalOf(const FindingRecords& f) const {
    std::map<std::string, privacy::Personal> personal;
    auto note = [&](const std::string& field) {
      if (privacy::Personal p = personalFields.of(f.table, field); p != privacy::Personal::None) personal[field] = p;
    };
    for (const std::string& field : f.fields) note(field);
    for (const FindingRecords::ValueCount& v : f.valueCounts) note(v.field);
    return personal;
  }

  // Keeps a finding's records with their identity numbers masked, and the
  // real values beside them when masking changed any; the records come a
  // batch at a time, each masked and written before the next is read.
  void insertFindingRows(const FindingRecords& f, size_t kept, const RecordBatches& batches) {
    FindingRecords head{f.fileid, f.finding, f.errid, f.table, f.fields, {}, f.total, f.valueCounts, personalOf(f)};
    for (const auto& [field, p] : head.personal) insertPersonal(f, field, p);
    const bool numbers = std::any_of(head.personal.begin(), head.personal.end(),
                                     [](const auto& p) { return p.second == privacy::Personal::IdentityNumber; });
    if (numbers) {
      insertUnmasked(f, 0, JsonValueCounts(f.valueCounts));
      MaskFindingRecords(head, privacy::Masking::Numbers);
    }
    insertFindingHead(head, kept);
    FindingRecords batch = head;
    for (size_t first = 0; first < kept; first += kRecordBatch) {
      batch.records.clear();
      batches(first, std::min(kRecordBatch, kept - first), batch.records);
      int seq = static_cast<int>(first);
      if (numbers) {
        for (const FindingRecords::Record& r : batch.records) insertUnmasked(f, ++seq, JsonArray(r.values));
        MaskFindingRecords(batch, privacy::Masking::Numbers);
        seq = static_cast<int>(first);
      }
      for (const FindingRecords::Record& r : batch.records) insertRecord(f, ++seq, r);
    }
  }

  void insertPersonal(const FindingRecords& f, const std::string& field, privacy::Personal p) {
    insert->errpersonal.bind(1, f.fileid).bind(2, f.finding).bind(3, field).bind(4, PersonalName(p)).run();
  }

  void insertUnmasked(const FindingRecords& f, int seq, const std::string& vals) {
    insert->errunmasked.bind(1, f.fileid).bind(2, f.finding).bind(3, seq).bind(4, vals).run();
  }

  void insertFindingHead(const FindingRecords& f, size_t kept) {
    insert->errfinding.bind(1, f.fileid).bind(2, f.finding).bind(3, f.errid).bind(4, f.table)
        .bind(5, JsonArray(f.fields)).bind(6, f.total).bind(7, static_cast<int64_t>(kept))
        .bind(8, JsonValueCounts(f.valueCounts)).run();
  }

  void insertRecord(const FindingRecords& f, int seq, const FindingRecords::Record& r) {
    insert->errrecord.bind(1, f.fileid).bind(2, f.finding).bind(3, seq).bind(4, r.recno).bind(5, JsonArray(r.values))
        .run();
  }

  // The filelist rows `where` selects (an SQL condition), those whose name
  // holds `namePart` when one is given, in fileid order.
  std::vector<FileRow> selectFiles(std::string_view where, std::optional<std::string> namePart = {}) {
    std::string sql = std::string(kSelectFiles) + " where " + std::string(where);
    if (namePart) sql += " and instr(filename, ?) > 0";
    Query q = db->prepare(sql + " order by fileid, rowid", "查询");
    if (namePart) q.bind(1, *namePart);
    std::vector<FileRow> rows;
    while (q.next()) rows.push_back(ReadFileRow(q));
    return rows;
  }

  // A run begins by clearing the last results; a store with no room to grow
  // (a full disk, or a file size limit the process may not pass) would lose
  // them and fail on the next row, so the run is refused before the clearing.
  void requireRoom() const {
    std::error_code ec;
    const uintmax_t size = fs::file_size(file, ec);
    const fs::space_info space = fs::space(file.parent_path(), ec);
    const std::optional<uintmax_t> limit = platform::FileSizeLimit();
    const bool noSpace = !ec && space.available < kRoomNeeded;
    const bool noGrowth = limit && *limit < size + kRoomNeeded;
    if (noSpace || noGrowth)
      throw StoreError("检查结果库 " + platform::Utf8Of(file) + " 没有写入空间（不足64KB），上次的检查结果保留未动");
  }

  void requireNoOpenFile() const {
    if (fileOpen) throw StoreError("检查结果库：上一个文件的记录尚未写完");
  }
};

Store::Store() : impl_(std::make_unique<Impl>()) {}
Store::~Store() = default;

std::unique_ptr<Store> Store::open(const fs::path& home, const fs::path& dataDir) {
  const fs::path file = home / settings::kStoreFileName;
  RequireOrdinaryFile(file, kWhat);
  std::error_code ec;
  if (!fs::exists(file, ec)) CreateStore(file, dataDir);
  std::unique_ptr<Store> store(new Store);
  store->impl_->file = file;
  store->impl_->open();
  return store;
}

const fs::path& Store::file() const { return impl_->file; }

std::optional<std::string> Store::findCompany(std::string_view code) {
  Query q = impl_->db->prepare(impl_->companyQuery, "查找公司");
  if (!q.bind(1, code).next()) return std::nullopt;
  return q.text(0);
}

void Store::clearRun() {
  impl_->requireNoOpenFile();
  impl_->requireRoom();
  Transaction t(*impl_->db, "清空");
  impl_->db->exec("delete from filelist; delete from fileerr", "清空");
  impl_->clearFindingTables("清空");
  t.commit();
}

void Store::beginFile() {
  impl_->requireNoOpenFile();
  impl_->fileOpen = std::make_unique<Transaction>(*impl_->db, "写入");
}

void Store::insertFile(const FileRow& row) {
  const std::optional<int64_t> dbftype = row.dbftype ? std::optional<int64_t>(*row.dbftype) : std::nullopt;
  impl_->insert->filelist.bind(1, row.fileid).bind(2, row.groupno).bind(3, row.filecat).bind(4, row.filename)
      .bind(5, row.isexist).bind(6, row.isok).bind(7, dbftype).run();
  if (!impl_->fileOpen) return;
  impl_->fileOpen->commit("写入文件记录");
  impl_->fileOpen.reset();
}

void Store::abandonFile() {
  if (!impl_->fileOpen) return;
  const std::unique_ptr<Transaction> abandoned = std::move(impl_->fileOpen);
  abandoned->rollback("撤销文件记录");
}

void Store::insertFinding(int fileId, std::string_view errid, std::string_view errdesc) {
  impl_->insert->fileerr.bind(1, fileId).bind(2, errid).bind(3, errdesc).run();
}

void Store::setPersonalFields(privacy::PersonalFields fields) { impl_->personalFields = std::move(fields); }

void Store::addFindingRecords(const FindingRecords& records) {
  addFindingRecords(records, records.records.size(), [&](size_t first, size_t count, std::vector<FindingRecords::Record>& batch) {
    batch.assign(records.records.begin() + static_cast<std::ptrdiff_t>(first),
                 records.records.begin() + static_cast<std::ptrdiff_t>(first + count));
  });
}

void Store::addFindingRecords(const FindingRecords& records, size_t kept, const RecordBatches& batches) {
  if (impl_->fileOpen) return impl_->insertFindingRows(records, kept, batches);
  Transaction t(*impl_->db, "写入问题记录明细");
  impl_->insertFindingRows(records, kept, batches);
  t.commit();
}

int Store::findingCount(int fileid) {
  Query q = impl_->db->prepare("select count(*) from fileerr where fileid = ?", "查询");
  q.bind(1, fileid).next();
  return static_cast<int>(q.integer(0));
}

std::vector<FindingRow> Store::readFindings() {
  std::vector<FindingRow> rows;
  for (Query q = impl_->db->prepare(kFindingsQuery, "查询"); q.next();)
    rows.push_back({static_cast<int>(q.integer(0)), static_cast<int>(q.integer(1)), q.text(2), q.text(3), q.text(4),
                    q.integer(5), q.integer(6)});
  return rows;
}

std::optional<FindingRecords> Store::readFindingRecords(int fileid, int finding, privacy::Masking masking,
                                                        int64_t most) {
  return impl_->readFinding(fileid, finding, masking, most);
}

std::optional<FindingRecords> Store::readFindingSummary(int fileid, int finding, privacy::Masking masking) {
  return impl_->readFinding(fileid, finding, masking, 0);
}

std::optional<FindingRecords> Store::Impl::readFinding(int fileid, int finding, privacy::Masking masking,
                                                       int64_t most) {
  std::optional<FindingRecords> found;
  EachRow(*db, "select errid, tablekind, total from errfinding where fileid = ? and finding = ?", fileid, finding,
          [&](const Query& s) {
            found.emplace();
            found->fileid = fileid;
            found->finding = finding;
            found->errid = s.text(0);
            found->table = s.text(1);
            found->total = s.integer(2);
          });
  if (!found) return found;
  EachRow(*db,
          "select j.value from errfinding f, json_each(f.fields) j where f.fileid = ? and f.finding = ? "
          "order by j.key",
          fileid, finding, [&](const Query& s) { found->fields.push_back(s.text(0)); });
  if (most > 0)
    EachRow(*db,
            "select r.seq, r.recno, j.key, j.value from errrecord r left join json_each(r.vals) j "
            "where r.fileid = ? and r.finding = ? and r.seq <= " + std::to_string(most) + " order by r.seq, j.key",
            fileid, finding, [&, seq = int64_t{-1}](const Query& s) mutable {
              if (s.integer(0) != seq) found->records.push_back({s.integer(1), {}});
              seq = s.integer(0);
              if (s.optionalInteger(2))  // a record without fields has no values
                found->records.back().values.push_back(s.text(3));
            });
  EachRow(*db,
          "select json_extract(j.value, '$.field'), json_extract(j.value, '$.value'), "
          "json_extract(j.value, '$.count') from errfinding f, json_each(f.valuecounts) j "
          "where f.fileid = ? and f.finding = ? order by j.key",
          fileid, finding, [&](const Query& s) {
            found->valueCounts.push_back(
                {s.text(0), s.text(1), s.integer(2)});
          });
  EachRow(*db, "select field, personal from errpersonal where fileid = ? and finding = ?", fileid, finding,
          [&](const Query& s) {
            // A mark this version does not know is taken for an identity number: masked rather than shown.
            found->personal[s.text(0)] =
                privacy::PersonalNamed(s.text(1)).value_or(privacy::Personal::IdentityNumber);
          });
  if (masking == privacy::Masking::Off) Unmask(*db, *found, most);
  MaskFindingRecords(*found, masking);
  return found;
}

void Store::forgetRecords() {
  impl_->requireNoOpenFile();
  impl_->db->eraseForGood("清除记录明细", [&] { impl_->clearFindingTables("清除记录明细"); });
}

std::vector<FileRow> Store::listedFiles() { return impl_->selectFiles("1"); }

std::vector<FileRow> Store::passedFiles() { return impl_->selectFiles("isok=1"); }

// The name holds the group between "_" and the extension's dot; it has no
// letters, so the match is the same whatever the letter case of the name.
std::vector<FileRow> Store::passedFiles(int group) {
  return impl_->selectFiles("isok=1", "_" + std::to_string(group) + ".");
}

// The identity submission's names carry no sequence number: any name with an
// extension is the group's.
std::vector<FileRow> Store::passedIdentityFiles() { return impl_->selectFiles("isok=1", "."); }

std::vector<ResultRow> Store::readResults() {
  std::vector<ResultRow> rows;
  for (Query q = impl_->db->prepare(kResultsQuery, "执行语句"); q.next();)
    rows.push_back({q.optionalText(0), q.optionalText(1), q.optionalText(2), q.optionalText(3), q.optionalText(4),
                    q.optionalText(5), q.optionalText(6)});
  return rows;
}

}  // namespace fc::store
