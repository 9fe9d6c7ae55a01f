// rules/RuleText.h - the texts the data rules build: query texts with the
// run's date and company code spliced in, and the finding messages.
//
// Every message of both submissions is made here, each count in it written
// by text::CountText: decimal digits after one blank, the place of a sign.
//
//   std::string sql = SpliceQuery("select count(*) from yybxx where sjrq='{date}'",
//                                 "20080808", "100001");
//   std::string text = CountMessage("营业部信息表数据日期为", "20080808", 12, 3,
//                                   "条记录键字不唯一");
//   // "营业部信息表数据日期为20080808的记录有 12条,其中 3条记录键字不唯一"
#pragma once

#include <string>
#include <string_view>

namespace fc::rules {

// Replaces each "{date}" and "{code}" of `pattern` by `date` and `code`.
// Throws query::QueryError when either value holds a quote, which would end
// the query's text literal early and change what the query counts.
std::string SpliceQuery(std::string_view pattern, std::string_view date, std::string_view code);
// The first "{word}" of `pattern` that is neither "{date}" nor "{code}": a
// misspelt placeholder, which would stay in the query as text and quietly
// match nothing. Empty when there is none.
std::string UnknownSlot(std::string_view pattern);

// label, date, "的记录有", total, "条,其中", n, tail.
std::string CountMessage(std::string_view label, std::string_view date, int total, int n,
                         std::string_view tail);
// label, date, "的记录有", total, "条,此外", n, "条记录数据日期不是", date.
std::string DateMessage(std::string_view label, std::string_view date, int total, int n);
// CountMessage with the tail "条记录证券公司代码不是" + code.
std::string CompanyMessage(std::string_view label, std::string_view date, int total, int n,
                           std::string_view code);

}  // namespace fc::rules
