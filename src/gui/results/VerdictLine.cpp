#include "gui/results/VerdictLine.h"

#include <QLabel>
#include <exception>

namespace fc::gui {

namespace {

void Paint(QLabel* line, store::Verdict verdict, const QString& text) {
  const char* colour = verdict == store::Verdict::Pass   ? "#17692a"
                       : verdict == store::Verdict::Fail ? "#b00020"
                                                         : "#6b5500";
  // A long reason wraps onto the line's second row rather than being cut at
  // the window's edge; the tooltip holds it whole whatever the room.
  line->setWordWrap(true);
  line->setText(text);
  line->setToolTip(text);
  line->setStyleSheet(QStringLiteral("QLabel{color:%1;border:2px solid %1;padding:1px 6px;font-weight:bold;}")
                          .arg(QLatin1String(colour)));
}

}  // namespace

void ShowVerdict(QLabel* line, const std::optional<store::RunFacts>& facts) {
  if (!facts || facts->verdict == store::Verdict::Unknown)
    return Paint(line, store::Verdict::Unknown, QStringLiteral("检查结论：—（没有结论：这次检查由旧版本程序记录）"));
  Paint(line, facts->verdict, QStringLiteral("检查结论：") + QString::fromStdString(facts->verdictText));
}

void ShowRunning(QLabel* line) {
  Paint(line, store::Verdict::Incomplete,
        QStringLiteral("检查进行中，结果尚未完成：以下是已检查部分的结果，检查结束后自动刷新"));
}

std::optional<store::RunFacts> LatestRunFacts(const std::filesystem::path& storeFile) {
  std::error_code ec;
  if (!std::filesystem::exists(storeFile, ec)) return std::nullopt;
  try {
    return store::ReadLatestRunFacts(storeFile);
  } catch (const std::exception&) {
    return std::nullopt;
  }
}

}  // namespace fc::gui
