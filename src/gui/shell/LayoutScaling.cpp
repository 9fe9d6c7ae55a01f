#include "gui/shell/LayoutScaling.h"

#include <QGroupBox>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QWidget>
#include <functional>

#include "gui/shell/PointerWatch.h"
#include "gui/shell/Twips.h"

namespace fc::gui {

namespace {

const QString kSeparator = QStringLiteral("   ");

QSizeF g_reference;  // one reference size for the whole program

void ForEachControl(QWidget* container, const std::function<void(QWidget*)>& visit) {
  const auto children = container->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
  for (QWidget* child : children) {
    if (!IsControl(child) || child->isWindow()) continue;
    visit(child);
    if (qobject_cast<QGroupBox*>(child)) ForEachControl(child, visit);
  }
}

QString TagText(const QWidget* control) {
  QString tag;
  for (int pixels : {control->x(), control->y(), control->width(), control->height()})
    tag += QString::number(Twips(pixels), 'g', 17) + kSeparator;
  return tag;
}

void PlaceScaled(QWidget* control, double rx, double ry) {
  const QStringList parts =
      control->property(kTagProperty).toString().split(kSeparator, Qt::SkipEmptyParts);
  double rect[4] = {0, 0, 0, 0};  // a missing number counts as 0
  for (int i = 0; i < 4 && i < parts.size(); ++i) {
    bool ok = false;
    double value = parts[i].trimmed().toDouble(&ok);
    if (!ok) return;  // a tag that does not parse leaves the control alone
    rect[i] = value;
  }
  control->setGeometry(Px(rx * rect[0]), Px(ry * rect[1]), Px(rx * rect[2]), Px(ry * rect[3]));
}

}  // namespace

void RememberLayout(QWidget* window) {
  g_reference = QSizeF(Twips(window->width()), Twips(window->height()));
  ForEachControl(window, [](QWidget* control) {
    control->setProperty(kTagProperty, TagText(control));
  });
}

void ScaleLayout(QWidget* window) {
  // A reference taken while minimised has no size to scale from.
  if (g_reference.width() <= 0 || g_reference.height() <= 0) return;
  const double rx = Twips(window->width()) / g_reference.width();
  const double ry = Twips(window->height()) / g_reference.height();
  ForEachControl(window, [rx, ry](QWidget* control) {
    if (control->property(kTagProperty).isValid()) PlaceScaled(control, rx, ry);
  });
}

QSizeF ReferenceSize() { return g_reference; }

}  // namespace fc::gui
