#include "gui/dialogs/Browsing.h"

#include <QDir>
#include <QKeyEvent>
#include <QFileInfo>
#include <QStyle>
#include <utility>

#include "gui/dialogs/Mounts.h"
#include "naming/ListPatterns.h"

namespace fc::gui {

namespace {

constexpr int kPathRole = Qt::UserRole;
constexpr QDir::SortFlags kByName = QDir::Name | QDir::IgnoreCase;

bool IsReadableDirectory(const QString& path) {
  if (path.isEmpty()) return false;
  const QFileInfo info(path);
  return info.isDir() && info.isReadable() && info.isExecutable();
}

// The program's current directory, or the root when it has gone away.
QString DefaultDirectory() {
  const QString current = QDir::currentPath();
  return IsReadableDirectory(current) ? current : QDir::rootPath();
}

// The directories from the root down to `path`, the root first.
QStringList Ancestors(const QString& path) {
  QStringList chain;
  for (QDir dir(path);;) {
    chain.prepend(dir.absolutePath());
    if (dir.isRoot() || !dir.cdUp()) break;
  }
  return chain;
}

}  // namespace

QString DirectoryPath(const QString& text) {
  if (text.isEmpty()) return {};
  return QDir::cleanPath(QFileInfo(text).absoluteFilePath());
}

DriveList::DriveList(QWidget* parent, std::vector<std::string> mounts)
    : QComboBox(parent), mounts_(mounts.empty() ? ReadBrowsableMounts() : std::move(mounts)) {
  for (const std::string& point : mounts_) addItem(QFile::decodeName(point.c_str()));
}

void DriveList::showDriveOf(const QString& path) {
  const std::string mount = MountOf(QFile::encodeName(DirectoryPath(path)).toStdString(), mounts_);
  if (mount.empty()) return;
  const QSignalBlocker quiet(this);
  setCurrentText(QFile::decodeName(mount.c_str()));
}

DirectoryList::DirectoryList(QWidget* parent) : QListWidget(parent) {
  setPath(DefaultDirectory());
  connect(this, &QListWidget::itemActivated, this, &DirectoryList::enter);
}

bool DirectoryList::setPath(const QString& dir) {
  const QString path = DirectoryPath(dir);
  if (!IsReadableDirectory(path)) return false;
  clear();
  const QStringList chain = Ancestors(path);
  for (int depth = 0; depth < chain.size(); ++depth) {
    const QString name = depth == 0 ? chain[0] : QFileInfo(chain[depth]).fileName();
    addEntry(name, chain[depth], depth, true);
  }
  setCurrentRow(count() - 1);
  const QFileInfoList children = QDir(path).entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot, kByName);
  for (const QFileInfo& child : children)
    addEntry(child.fileName(), child.absoluteFilePath(), static_cast<int>(chain.size()), false);
  if (path == path_) return true;
  path_ = path;
  emit pathChanged(path_);
  return true;
}

void DirectoryList::enter(QListWidgetItem* item) { setPath(item->data(kPathRole).toString()); }

void DirectoryList::addEntry(const QString& text, const QString& path, int depth, bool open) {
  auto* item = new QListWidgetItem(
      style()->standardIcon(open ? QStyle::SP_DirOpenIcon : QStyle::SP_DirClosedIcon),
      QString(depth * 2, QLatin1Char(' ')) + text, this);
  item->setData(kPathRole, path);
}

FileList::FileList(QWidget* parent) : QListWidget(parent) {
  setPath(DefaultDirectory());
  connect(this, &QListWidget::itemClicked, this, &FileList::fileChosen);
}

void FileList::keyPressEvent(QKeyEvent* event) {
  QListWidgetItem* before = currentItem();
  QListWidget::keyPressEvent(event);
  if (currentItem() && currentItem() != before) emit fileChosen(currentItem());
}

bool FileList::setPath(const QString& dir) {
  const QString path = DirectoryPath(dir);
  if (!IsReadableDirectory(path)) return false;
  path_ = path;
  refresh();
  return true;
}

void FileList::setPattern(std::string pattern) {
  pattern_ = std::move(pattern);
  refresh();
}

void FileList::refresh() {
  clear();
  const QStringList names = QDir(path_).entryList(QDir::Files, kByName);
  for (const QString& name : names)
    if (naming::MatchesListPattern(name.toStdString(), pattern_)) addItem(name);
}

}  // namespace fc::gui
