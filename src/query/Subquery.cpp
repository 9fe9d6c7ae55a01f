#include "query/Subquery.h"

#include <optional>
#include <string>

#include "dbf/Table.h"

namespace fc::query {
namespace {

constexpr int kIndexedCost = 8;
constexpr int kNestedCost = 1000;

Tri Truth(bool b) { return b ? Tri::True : Tri::False; }

// Calls visit(row) with `row` positioned at each record of `table` at level
// `depth` for which `filter` holds, until visit returns true.
template <typename Visit>
bool ScanInner(const dbf::Table& table, int depth, Pred* filter, const Row& outer, Visit&& visit) {
  Row row = outer;
  const uint32_t count = table.recordCount();
  const uint8_t* rec = table.record(0);
  for (uint32_t i = 0; i < count; ++i, rec += table.recordLength()) {
    if (rec[0] == '*') continue;
    row.rec[depth] = rec;
    if (filter && filter->test(row) != Tri::True) continue;
    if (visit(row)) return true;
  }
  return false;
}

class IndexedInPred : public Pred {
 public:
  IndexedInPred(std::shared_ptr<RowIndex> index, KeyEncoder probe)
      : index_(std::move(index)), probe_(std::move(probe)) {}
  Tri test(const Row& row) override {
    if (!probe_.encode(row, key_)) return index_->empty() ? Tri::False : Tri::Unknown;
    if (index_->forEachMatch(key_, [](const uint8_t*) { return true; })) return Tri::True;
    return index_->hasNullKey() ? Tri::Unknown : Tri::False;
  }
  int cost() const override { return kIndexedCost; }

 private:
  std::shared_ptr<RowIndex> index_;
  KeyEncoder probe_;
  std::string key_;
};

class IndexedExistsPred : public Pred {
 public:
  IndexedExistsPred(std::shared_ptr<RowIndex> index, KeyEncoder probe, PredPtr outerOnly,
                    PredPtr residual, int depth)
      : index_(std::move(index)),
        probe_(std::move(probe)),
        outerOnly_(std::move(outerOnly)),
        residual_(std::move(residual)),
        depth_(depth) {}
  Tri test(const Row& row) override {
    if (outerOnly_ && outerOnly_->test(row) != Tri::True) return Tri::False;
    if (!probe_.encode(row, key_)) return Tri::False;  // NULL = anything is never true
    return Truth(index_->forEachMatch(key_, [&](const uint8_t* rec) {
      if (!residual_) return true;
      Row inner = row;
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
  std::string key_;
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
    bool any = false, sawNull = false;
    bool found = ScanInner(table_, depth_, filter_.get(), row, [&](const Row& inner) {
      any = true;
      if (subjectNull) return true;  // one record is enough to know the answer is Unknown
      if (!item_.encode(inner, y_)) {
        sawNull = true;
        return false;
      }
      return x_ == y_;
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
    Tri t = Truth(ScanInner(table_, depth_, filter_.get(), row, [](const Row&) { return true; }));
    if (!correlated_) known_ = t;
    return t;
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

PredPtr IndexedExists(std::shared_ptr<RowIndex> index, KeyEncoder probe, PredPtr outerOnly,
                      PredPtr residual, int depth) {
  return std::make_unique<IndexedExistsPred>(std::move(index), std::move(probe), std::move(outerOnly),
                                             std::move(residual), depth);
}

PredPtr NestedIn(const dbf::Table& table, int depth, PredPtr filter, KeyEncoder subject,
                 KeyEncoder item) {
  return std::make_unique<NestedInPred>(table, depth, std::move(filter), std::move(subject),
                                        std::move(item));
}

PredPtr NestedExists(const dbf::Table& table, int depth, PredPtr filter, bool correlated) {
  return std::make_unique<NestedExistsPred>(table, depth, std::move(filter), correlated);
}

}  // namespace fc::query
