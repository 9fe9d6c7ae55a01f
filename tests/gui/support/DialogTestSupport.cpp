#include "gui/support/DialogTestSupport.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QDateEdit>
#include <QDir>
#include <QGroupBox>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>
#include <QTest>

#include "gui/shell/QtText.h"
#include "support/TempDir.h"

namespace fc::test {

namespace {

QListWidgetItem* Entry(QListWidget* list, const QString& text) {
  // The directory list indents its entries.
  for (int row = 0; row < list->count(); ++row) {
    QListWidgetItem* item = list->item(row);
    if (item->text().trimmed() != text) continue;
    list->scrollToItem(item);
    return item;
  }
  ADD_FAILURE() << "no entry " << text.toStdString();
  return nullptr;
}

}  // namespace

WindowFields::WindowFields() {
  sourceDir = new QLineEdit(&window);
  targetDir = new QLineEdit(&window);
  code = new QLineEdit(&window);
  name = new QLineEdit(&window);
  auto* type = new QGroupBox(&window);
  zip = new QRadioButton(type);
  dbf = new QRadioButton(type);
  zip->setChecked(true);
  dataDate = new QDateEdit(QDate(2010, 1, 7), &window);
  sendDate = new QDateEdit(QDate(2008, 8, 4), &window);
  comparison = new QCheckBox(&window);
  for (QCheckBox*& box : kinds) {
    box = new QCheckBox(&window);
    box->setChecked(true);
  }
  auto* mode = new QGroupBox(&window);
  allData = new QRadioButton(mode);
  incData = new QRadioButton(mode);
  incData->setChecked(true);
  beginNo = new QLineEdit(QStringLiteral("0"), &window);
  endNo = new QLineEdit(QStringLiteral("0"), &window);
  window.show();
}

QString ToQString(const std::filesystem::path& path) { return QDir::fromNativeSeparators(gui::FromPath(path)); }

QString Shown(const std::filesystem::path& path) { return QDir::toNativeSeparators(gui::FromPath(path)); }

Names EntriesOf(const QListWidget* list) {
  Names names;
  for (int row = 0; row < list->count(); ++row) names.push_back(list->item(row)->text().toStdString());
  return names;
}

void Touch(const TempDir& dir, std::initializer_list<const char*> names) {
  for (const char* name : names) dir.write(name, "");
}

void ClickEntry(QListWidget* list, const QString& text) {
  if (QListWidgetItem* item = Entry(list, text))
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(item).center());
}

void DoubleClickEntry(QListWidget* list, const QString& text) {
  QListWidgetItem* item = Entry(list, text);
  if (!item) return;
  // As the window system delivers it: the first click, then the second one.
  const QPoint centre = list->visualItemRect(item).center();
  QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, centre);
  QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, centre);
}

}  // namespace fc::test
