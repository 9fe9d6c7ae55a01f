// The fileerr rows of the file problems: their texts, word for word as
// operators have always read them.
#include "pipeline/FileProblems.h"

#include "store/Store.h"

namespace fc::pipeline {

namespace {

// An archive problem's text, then the entries refused for their names, if any.
std::string ArchiveText(const char* problem, const std::string& unsafeNames) {
  return unsafeNames.empty() ? problem : problem + std::string("；路径不安全、未解压的文件：") + unsafeNames;
}

// "：第3条记录等5条", where records of a field hold what is wrong.
std::string RecordsText(const FileFinding& f) {
  std::string text = "：第" + std::to_string(f.record) + "条记录";
  return f.records > 1 ? text + "等" + std::to_string(f.records) + "条" : text;
}

std::string RowText(const FileFinding& f) {
  switch (f.problem) {
    case FileProblem::ArchiveManyFiles: return ArchiveText("ZIP文件里有多个文件", f.subject);
    case FileProblem::ArchiveWrongName: return "ZIP文件中文件命名不正确";
    case FileProblem::ArchiveUnreadable: return ArchiveText("ZIP文件无法打开或为空文件", f.subject);
    case FileProblem::FieldLength: return "字段" + f.subject + "长度不符合接口规范";
    case FileProblem::AgreedFieldMissing: return "接口约定字段" + f.subject + "不存在";
    case FileProblem::FieldNotAgreed: return "字段" + f.subject + "不是接口约定字段";
    case FileProblem::OtherDates: return "存在非指定日期" + f.subject + "的数据";
    case FileProblem::CannotCheck: return f.subject;
    case FileProblem::FieldOrder: return "从字段" + f.subject + "开始字段顺序与接口约定不一致";
    case FileProblem::FieldType: return "字段" + f.subject + "类型不符合接口规范";
    case FileProblem::FieldNull:
      return f.record ? "字段" + f.subject + "有空值(NULL)" + RecordsText(f)
                      : "字段" + f.subject + "允许空值(NULL)，不符合接口规范";
    case FileProblem::NotANumber: return "字段" + f.subject + "的内容不是数值" + RecordsText(f);
    case FileProblem::ControlCharacter: return "字段" + f.subject + "含有控制字符（如NUL、制表符、换行）" + RecordsText(f);
    case FileProblem::IdeographicBlank: return "字段" + f.subject + "只有全角空格" + RecordsText(f);
  }
  return f.subject;
}

}  // namespace

void WriteFindings(store::Store& store, int fileId, const std::vector<FileFinding>& findings) {
  for (const FileFinding& f : findings)
    store.insertFinding(fileId, std::to_string(static_cast<int>(f.problem)), RowText(f));
}

}  // namespace fc::pipeline
