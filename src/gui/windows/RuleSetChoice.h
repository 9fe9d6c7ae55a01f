// gui/windows/RuleSetChoice.h - the check windows' choice of the rule set
// that judges a run: "按数据日期选用" (the set applying on the data date,
// named in the item as the date changes) or one set by name, from the sets
// shipped with the program and the company's own in the home.
//
//   auto* choice = new RuleSetChoice(home, this);
//   connect(dataDate, &QDateEdit::dateChanged, choice, &RuleSetChoice::followDate);
//   inputs.ruleSet = choice->chosen();   // empty: the set of the data date
//
// When the sets cannot be read the first item says so and the run, which
// reads them again, is refused with the reason.
#pragma once

#include <QComboBox>
#include <QDate>
#include <string>

#include "settings/AppHome.h"

namespace fc::gui {

class RuleSetChoice : public QComboBox {
  Q_OBJECT

 public:
  RuleSetChoice(settings::AppHome home, QWidget* parent);

  // NAME@VERSION of the set chosen; empty for the set of the data date.
  std::string chosen() const;

 public slots:
  // Names, in the first item, the set a check of `date` would use.
  void followDate(const QDate& date);

 private:
  settings::AppHome home_;
};

}  // namespace fc::gui
