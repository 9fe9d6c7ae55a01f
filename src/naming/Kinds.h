// naming/Kinds.h - the table kinds of both submissions, in check-box order.
//
// One table for everyone who needs a kind's names: the run driver builds file
// names and filelist rows from it, the rules and the query session name the
// tables in lchkdir after it, the windows label their check boxes with it.
// A kind's index is its check box's index (KHXX, DateCheck) and its
// AccountKind or IdentityKind, by which the rules name their tables.
//
//   for (const fc::naming::Kind& k : fc::naming::Kinds(fc::naming::Submission::Account))
//     ... k.name, k.infix, k.filecat ...
//   std::string_view branches = fc::naming::kAccountKinds[IndexOf(fc::naming::AccountKind::Yybxx)].name;
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <optional>
#include <span>
#include <string_view>

#include "naming/Submission.h"

namespace fc::naming {

enum class FileType { Zip, Dbf };             // one archive per table / the tables themselves

struct Kind {
  std::string_view name;     // "KHJBXX": the table's name in lchkdir and in the rules
  std::string_view infix;    // "_KHJBXX_": between company code and date in a file name
  std::string_view filecat;  // "客户基本信息表": filelist.filecat, the name shown to the operator
  bool fullPrefix;           // the name takes "QL_" in full transfer mode
  bool comparisonDate;       // the name carries the comparison date, not the data date
};

inline constexpr std::array<Kind, 5> kAccountKinds{{
    {"KHJBXX", "_KHJBXX_", "客户基本信息表", true, false},
    {"ZJZQDY", "_ZJZQDY_", "资金与证券账户对应关系表", true, false},
    {"ZJBDXX", "_ZJBDXX_", "资金变动信息表", true, false},
    {"YYBXX", "_YYBXX_", "证券营业部信息表", false, false},
    {"ZHBYZ", "_ZHBYZ_", "账户信息比对不一致情况表", false, false},
}};

inline constexpr std::array<Kind, 2> kIdentityKinds{{
    {"SFZFCJG", "_SFZFCJG_", "投资者身份信息复查处理结果表", false, false},
    {"SFZHCQK", "_SFZHCQK_", "投资者身份信息核查异常明细表", false, true},
}};

// The kinds by name, valued as their index in kAccountKinds / kIdentityKinds.
enum class AccountKind : std::size_t { Khjbxx, Zjzqdy, Zjbdxx, Yybxx, Zhbyz };
enum class IdentityKind : std::size_t { Sfzfcjg, Sfzhcqk };

// The most kinds one submission has: room for any submission's tables.
inline constexpr std::size_t kMostKinds = std::max(kAccountKinds.size(), kIdentityKinds.size());

constexpr std::size_t IndexOf(AccountKind kind) { return static_cast<std::size_t>(kind); }
constexpr std::size_t IndexOf(IdentityKind kind) { return static_cast<std::size_t>(kind); }

// The kind of index `index`; an index past the table names no kind.
constexpr AccountKind AccountKindAt(std::size_t index) { return static_cast<AccountKind>(index); }
constexpr IdentityKind IdentityKindAt(std::size_t index) { return static_cast<IdentityKind>(index); }

std::span<const Kind> Kinds(Submission submission);

// The index of the kind whose filecat text is `filecat`, if any.
std::optional<int> FindKindByFilecat(Submission submission, std::string_view filecat);

}  // namespace fc::naming
