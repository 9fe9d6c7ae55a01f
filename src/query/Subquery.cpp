#include "query/Subquery.h"

#include <algorithm>
#include <optional>
#include <string>

#include "dbf/Table.h"
#include "query/Scan.h"

namespace fc::query {
namespace {

constexpr int kIndexedCost = 8;
constexpr int kNestedCost = 1000;

Tri Truth(bool b) { return b ? Tri::True : Tri::False; }

// The probe keys of one batch, hashed, with the index's slots and then
// records prefetched, so that the lookups wait on memory once per batch
// rather than once per record.
class Probes {
 public:
  // Encodes the key of rows[which[k]] for each k with live[k]; a key with a
  // NULL part clears live[k].
  void prepare(KeyEncoder& probe, const RowIndex& index, const Row* rows, const uint16_t* which, int n,
               bool* live) {
    for (int k = 0; k < n; ++k) {
      if (!live[k]) continue;
      live[k] = probe.encode(rows[which[k]], key_[k]);
      hash_[k] = HashKey(key_[k]);
      index.prefetchSlot(hash_[k]);
    }
    for (int k = 0; k < n; ++k)
      if (live[k]) index.prefetchRecord(hash_[k]);
  }
  const std::string& key(int k) const { return key_[k]; }
  uint32_t hash(int k) const { return hash_[k]; }

 private:
  std::string key_[kBatch];
  uint32_t hash_[kBatch];
};

class IndexedInPred : public Pred {
 public:
  IndexedInPred(std::shared_ptr<RowIndex> index, KeyEncoder probe)
      : index_(std::move(index)), probe_(std::move(probe)) {}
  Tri test(const Row& row) override {
    Tri out;
    testMany(&row, kAllRows.data(), 1, &out);
    return out;
  }
  void testMany(const Row* rows, const uint16_t* which, int n, Tri* out) override {
    bool live[kBatch];
    std::fill_n(live, n, true);
    probes_.prepare(probe_, *index_, rows, which, n, live);
    for (int k = 0; k < n; ++k) {
      if (!live[k])  // x is NULL: unknown, unless the subquery is empty
        out[k] = index_->empty() ? Tri::False : Tri::Unknown;
      else if (index_->forEachMatch(probes_.key(k), probes_.hash(k), [](const uint8_t*) { return true; }))
        out[k] = Tri::True;
      else
        out[k] = index_->hasNullKey() ? Tri::Unknown : Tri::False;
    }
  }
  int cost() const override { return kIndexedCost; }

 private:
  std::shared_ptr<RowIndex> index_;
  KeyEncoder probe_;
  Probes probes_;
};

class IndexedExistsPred : public Pred {
 public:
  IndexedExistsPred(std::shared_ptr<RowIndex> index, KeyEncoder probe, PredPtr outerOnly, PredPtr residual,
                    int depth)
      : index_(std::move(index)),
        probe_(std::move(probe)),
        outerOnly_(std::move(outerOnly)),
        residual_(std::move(residual)),
        depth_(depth) {}
  Tri test(const Row& row) override {
    Tri out;
    testMany(&row, kAllRows.data(), 1, &out);
    return out;
  }
  void testMany(const Row* rows, const uint16_t* which, int n, Tri* out) override {
    bool live[kBatch];
    std::fill_n(live, n, true);
    if (outerOnly_) {
      outerOnly_->testMany(rows, which, n, out);
      for (int k = 0; k < n; ++k) live[k] = out[k] == Tri::True;
    }
    // A NULL key part equals nothing, so such a record finds no match.
    probes_.prepare(probe_, *index_, rows, which, n, live);
    for (int k = 0; k < n; ++k)
      out[k] =
          Truth(live[k] && index_->forEachMatch(probes_.key(k), probes_.hash(k), [&](const uint8_t* rec) {
            if (!residual_) return true;
            Row inner = rows[which[k]];
            inner.rec[depth_] = rec;
            return residual_->test(inner) == Tri::True;
          }));
  }
  int cost() const override { return kIndexedCost; }

 private:
  std::shared_ptr<RowIndex> index_;
  KeyEncoder probe_;
  PredPtr outerOnly_, residual_;
  int depth_;
  Probes probes_;
};

class NestedInPred : public Pred {
 public:
  NestedInPred(const dbf::Table& table, int depth, PredPtr filter, KeyEncoder subject, KeyEncoder item)
      : table_(table),
        depth_(depth),
        filter_(std::move(filter)),
        subject_(std::move(subject)),
        item_(std::move(item)) {}
  Tri test(const Row& row) override {
    bool subjectNull = !subject_.encode(row, x_);
    bool any = false, sawNull = false, found = false;
    ScanBatches(table_, depth_, row, filter_.get(), [&](const Row* inner, const uint32_t*, int n) {
      any = true;
      if (subjectNull) return false;  // one record is enough to know the answer is Unknown
      for (int k = 0; k < n && !found; ++k) {
        if (!item_.encode(inner[k], y_))
          sawNull = true;
        else
          found = x_ == y_;
      }
      return !found;
    });
    if (!any) return Tri::False;
    if (subjectNull) return Tri::Unknown;
    return found ? Tri::True : sawNull ? Tri::Unknown : Tri::False;
  }
  int cost() const override { return kNestedCost; }

 private:
  const dbf::Table& table_;
  int depth_;
  PredPtr filter_;
  KeyEncoder subject_, item_;
  std::string x_, y_;
};

class NestedExistsPred : public Pred {
 public:
  NestedExistsPred(const dbf::Table& table, int depth, PredPtr filter, bool correlated)
      : table_(table), depth_(depth), filter_(std::move(filter)), correlated_(correlated) {}
  Tri test(const Row& row) override {
    if (known_) return *known_;
    bool any = false;
    ScanBatches(table_, depth_, row, filter_.get(), [&](const Row*, const uint32_t*, int) {
      any = true;
      return false;
    });
    if (!correlated_) known_ = Truth(any);
    return Truth(any);
  }
  int cost() const override { return correlated_ ? kNestedCost : 1; }

 private:
  const dbf::Table& table_;
  int depth_;
  PredPtr filter_;
  bool correlated_;
  std::optional<Tri> known_;
};

}  // namespace

PredPtr IndexedIn(std::shared_ptr<RowIndex> index, KeyEncoder probe) {
  return std::make_unique<IndexedInPred>(std::move(index), std::move(probe));
}

PredPtr IndexedExists(std::shared_ptr<RowIndex> index, KeyEncoder probe, PredPtr outerOnly, PredPtr residual,
                      int depth) {
  return std::make_unique<IndexedExistsPred>(std::move(index), std::move(probe), std::move(outerOnly),
                                             std::move(residual), depth);
}

PredPtr NestedIn(const dbf::Table& table, int depth, PredPtr filter, KeyEncoder subject, KeyEncoder item) {
  return std::make_unique<NestedInPred>(table, depth, std::move(filter), std::move(subject), std::move(item));
}

PredPtr NestedExists(const dbf::Table& table, int depth, PredPtr filter, bool correlated) {
  return std::make_unique<NestedExistsPred>(table, depth, std::move(filter), correlated);
}

}  // namespace fc::query
