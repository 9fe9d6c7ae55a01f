#include "gui/windows/RuleSetChoice.h"

#include "gui/shell/QtText.h"
#include "ruleset/RuleSets.h"

namespace fc::gui {

RuleSetChoice::RuleSetChoice(settings::AppHome home, QWidget* parent) : QComboBox(parent), home_(std::move(home)) {
  addItem(QStringLiteral("按数据日期选用"), QString());
  try {
    const ruleset::RuleSets sets = ruleset::RuleSets::find(home_);
    for (const ruleset::Manifest& m : sets.all())
      addItem(QStringLiteral("%1（自%2起用%3）")
                  .arg(FromStd(m.id()), FromStd(ruleset::FromText(m)), m.own ? QStringLiteral("，本公司") : QString()),
              FromStd(m.id()));
  } catch (const ruleset::RuleSetError& e) {
    setToolTip(FromStd(e.what()));
  }
}

std::string RuleSetChoice::chosen() const { return currentData().toString().toStdString(); }

void RuleSetChoice::followDate(const QDate& date) {
  QString text = QStringLiteral("按数据日期选用");
  try {
    const std::string day = date.toString(QStringLiteral("yyyyMMdd")).toStdString();
    text += QStringLiteral("（%1）").arg(FromStd(ruleset::RuleSets::find(home_).choose(day, "").id()));
    setToolTip(QString());
  } catch (const ruleset::RuleSetError& e) {
    text += QStringLiteral("（没有可用的规则集）");
    setToolTip(FromStd(e.what()));
  }
  setItemText(0, text);
}

}  // namespace fc::gui
