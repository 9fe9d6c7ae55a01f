// The query texts of the data rules, as the rules send them for the data
// date 20080808 and the company code 100001.
#pragma once

#include <string>
#include <vector>

namespace fc::query::test {

struct RuleQuery {
  const char* table;  // the table the rule checks
  const char* rule;   // rule code, "total" for the record count
  std::string text;   // the query text, blanks exact
};

inline const std::vector<RuleQuery>& RuleQueries() {
  static const std::vector<RuleQuery> kQueries = {
      {"khjbxx", "total", R"(select count(*) from KHJBXX where sjrq='20080808')"},
      {"khjbxx", "R02", R"(SELECT count(*) from khjbxx where zjzhlb not in('0','1','2','3','9') and sjrq='20080808')"},
      {"khjbxx", "R03", R"(SELECT count(*) from khjbxx where zjlb not in('10','11','12','13','14','15','16','99') and sjrq='20080808')"},
      {"khjbxx", "R05", R"(select count(*) from khjbxx where sjrq='20080808' group by zqgsdm,yybdm,zjzh,xhrq)"},
      {"khjbxx", "R18", R"(select count(*) from khjbxx where sjrq<> '20080808')"},
      {"khjbxx", "R19", R"(select count(*) from khjbxx where zqgsdm<> '100001' and sjrq='20080808')"},
      {"khjbxx", "R04", R"(select count(*) from khjbxx where  yybdm  not in (select yybdm from yybxx where sjrq='20080808') and sjrq='20080808')"},
      {"zjzqdy", "total", R"(select count(*) from zjzqdy where sjrq='20080808')"},
      {"zjzqdy", "R06", R"(SELECT count(*) from zjzqdy where gddmsc is not null and trim(gddmsc) not in('01','02','03','') and sjrq='20080808')"},
      {"zjzqdy", "R11", R"(select count(*) from zjzqdy where sjrq='20080808' group by zqgsdm,yybdm,zjzh,gddmsc,gddm,qxbz)"},
      {"zjzqdy", "R20", R"(select count(*) from zjzqdy where sjrq<> '20080808')"},
      {"zjzqdy", "R21", R"(select count(*) from zjzqdy where zqgsdm<> '100001' and sjrq='20080808')"},
      {"zjzqdy", "R07", R"(select count(*) from zjzqdy where  yybdm  not in (select yybdm from yybxx where sjrq='20080808') and sjrq='20080808')"},
      {"zjzqdy", "R08", R"(SELECT count(*) from zjzqdy a where not exists(select * from khjbxx b where a.zqgsdm=b.zqgsdm and a.yybdm=b.yybdm and a.zjzh=b.zjzh and b.sjrq='20080808')  and a.sjrq='20080808')"},
      {"zjbdxx", "total", R"(select count(*) from zjbdxx where sjrq='20080808')"},
      {"zjbdxx", "R12", R"(SELECT count(*) from zjbdxx where bzdm not in('CN','US','HK') and sjrq='20080808')"},
      {"zjbdxx", "R12", R"(SELECT count(*) from zjbdxx where ZQJYMRJE>0 and sjrq='20080808')"},
      {"zjbdxx", "R16", R"(SELECT count(*) from zjbdxx where  jrye<>zrye+xjcqje+zqjymcje+zqjymrje+fjzjyje and sjrq='20080808')"},
      {"zjbdxx", "R17", R"(select count(*) from zjbdxx where sjrq='20080808' group by zqgsdm,yybdm,zjzh,bzdm)"},
      {"zjbdxx", "R22", R"(select count(*) from zjbdxx where sjrq<> '20080808')"},
      {"zjbdxx", "R23", R"(select count(*) from zjbdxx where zqgsdm<> '100001' and sjrq='20080808')"},
      {"zjbdxx", "R13", R"(select count(*) from zjbdxx where  yybdm  not in (select yybdm from yybxx where sjrq='20080808') and sjrq='20080808')"},
      {"zjbdxx", "R14", R"(SELECT count(*) from zjbdxx a where not exists(select * from khjbxx b where a.zqgsdm=b.zqgsdm and a.yybdm=b.yybdm and a.zjzh=b.zjzh and b.sjrq='20080808')  and a.sjrq='20080808')"},
      {"yybxx", "total", R"(select count(*) from yybxx where sjrq='20080808')"},
      {"yybxx", "R01", R"(select count(*) from yybxx where sjrq='20080808' group by zqgsdm,yybdm)"},
      {"yybxx", "R24", R"(select count(*) from yybxx where sjrq<> '20080808')"},
      {"yybxx", "R25", R"(select count(*) from yybxx where zqgsdm<> '100001' and sjrq='20080808')"},
      {"zhbyz", "total", R"(select count(*) from zhbyz where sjrq='20080808')"},
      {"zhbyz", "R26", R"(SELECT count(*) from zhbyz where gddmsc is not null and trim(gddmsc) not in('01','02','03','') and sjrq='20080808')"},
      {"zhbyz", "R27", R"(SELECT count(*) from zhbyz where byzlx not in('0','1','2','3','4') and sjrq='20080808')"},
      {"zhbyz", "R28", R"(SELECT count(*) from zhbyz where zjhmyy not in('01','02','03','04','05','06','07','99') and (byzlx='0' or byzlx='2') and sjrq='20080808')"},
      {"zhbyz", "R28", R"(SELECT count(*) from zhbyz where khqcyy not in('01','02','03','04','05','06','07','99') and (byzlx='1' or byzlx='2') and sjrq='20080808')"},
      {"zhbyz", "R30", R"(select count(*) from zhbyz where sjrq='20080808' group by zqgsdm,yybdm,zjzh,gddmsc,gddm)"},
      {"zhbyz", "R31", R"(select count(*) from zhbyz where sjrq<> '20080808')"},
      {"zhbyz", "R32", R"(select count(*) from zhbyz where zqgsdm<> '100001' and sjrq='20080808')"},
      {"zhbyz", "R33", R"(select count(*) from zhbyz where  yybdm  not in (select yybdm from yybxx where sjrq='20080808') and sjrq='20080808')"},
      {"zhbyz", "R34", R"(SELECT count(*) from zhbyz a where a.sjrq='20080808' and  not(a.zjzh is null or trim(a.zjzh)='') and not exists(select * from khjbxx b where a.zqgsdm=b.zqgsdm and a.yybdm=b.yybdm and a.zjzh=b.zjzh and b.sjrq='20080808'))"},
      {"sfzfcjg", "R01", R"(select count(*) from sfzfcjg where zqgsdm<> '100001')"},
      {"sfzfcjg", "R02", R"(select count(*) from sfzfcjg where  fctzxh  not in (select fctzxh from sfzhcqk ))"},
      {"sfzfcjg", "R03", R"(SELECT count(*) from sfzfcjg where sfzlx not in('1','2') )"},
      {"sfzfcjg", "R04", R"(select count(*) from sfzfcjg where (sfzlx='1' and dkqjy<>'4') or (sfzlx='2' and dkqjy not in ('1','2','3')))"},
      {"sfzfcjg", "R05", R"(select count(*) from sfzfcjg where sfcg not in ('1','2','3'))"},
      {"sfzfcjg", "R06", R"(SELECT count(*) from sfzfcjg where zhbd not in('1','2'))"},
      {"sfzfcjg", "R07", R"(SELECT count(*) from sfzfcjg where sfzlx ='1' and qtzj not in ('01','02','03','04','05','06','07'))"},
      {"sfzfcjg", "R08", R"(SELECT count(*) from sfzfcjg where sfzlx ='2' and qtzj <>'08')"},
      {"sfzfcjg", "R09", R"(SELECT count(*) from sfzfcjg where fcycyy  not in ('01','02','03','04','05','06','07','08','09','10'))"},
      {"sfzfcjg", "R10", R"(SELECT count(*) from sfzfcjg where fcycyy ='09' and len(trim(ycyysm)) = 0)"},
      {"sfzfcjg", "R11", R"(SELECT count(*) from sfzfcjg where clcs not in ('01','02','03','04','05','06','07','08') or (clcs = '08' and sfzlx = '1' and qtzj not in ('01','02','03','04','05','06')))"},
      {"sfzfcjg", "R12", R"(SELECT count(*) from sfzfcjg where clcs not in ('02','03') and fcycyy ='01')"},
      {"sfzfcjg", "R13", R"(SELECT count(*) from sfzfcjg where clcs in ('05','06','07') and len(trim(clcssm)) = 0)"},
      {"sfzfcjg", "R14", R"(select count(*) from sfzfcjg where  len(trim(fctzxh))<>20 or substr(trim(fctzxh),15,6) = '000000' or substr(trim(fctzxh),9,6)<> '100001')"},
      {"sfzfcjg", "total", R"(select count(*) from sfzfcjg )"},
  };
  return kQueries;
}

}  // namespace fc::query::test
