#include "gui/shell/SupportText.h"

#include "text/DataFile.h"

namespace fc::gui {

namespace {

constexpr int kContactLines = 4;

}  // namespace

QStringList ReadContactLines(const std::filesystem::path& dataDir) {
  QStringList lines;
  try {
    const text::DataFile file(dataDir / "support.txt", "支持信息文件");
    for (const text::DataLine& line : file.lines()) {
      if (lines.size() == kContactLines) break;
      lines << QString::fromStdString(line.text).trimmed();
    }
  } catch (const text::DataFileError&) {
    // Without the file the closing window shows no contact lines.
  }
  while (lines.size() < kContactLines) lines << QString();
  return lines;
}

QString SupportText(const std::filesystem::path& dataDir) {
  const QStringList contact = ReadContactLines(dataDir);
  const QStringList text = {
      QStringLiteral("如在软件使用过程中遇到任何问题请咨询："), QString(), contact[0], QString(),
      QStringLiteral("如对逻辑校验规则有任何疑问请咨询："), QString(), contact[1], QString(),
      QStringLiteral("为能够保持及时顺畅的沟通,当联系人有变动时请及时通知我方更新联系方式"),
      QStringLiteral("（包括联系人、电话及电子邮件）联系方式如下："), QString(), contact[2],
      QString(), contact[3]};
  return text.join(QLatin1Char('\n'));
}

}  // namespace fc::gui
