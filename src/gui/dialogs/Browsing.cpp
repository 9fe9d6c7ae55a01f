#include "gui/dialogs/Browsing.h"

#include <QDir>
#include <QKeyEvent>
#include <QFileInfo>
#include <QStyle>
#include <algorithm>
#include <utility>

#include "gui/dialogs/Mounts.h"
#include "gui/shell/QtText.h"
#include "naming/ListPatterns.h"

namespace fc::gui {

namespace {

constexpr int kPathRole = Qt::UserRole;
bool IsAsciiDigit(QChar c) { return c >= u'0' && c <= u'9'; }

// The run of digits of `text` from `at` on, without its leading zeros; `at`
// moves past the run.
QStringView DigitRun(QStringView text, qsizetype& at) {
  const qsizetype start = at;
  while (at < text.size() && IsAsciiDigit(text[at])) ++at;
  QStringView run = text.mid(start, at - start);
  while (run.size() > 1 && run.front() == u'0') run = run.mid(1);
  return run;
}

// True when `a` comes before `b` as an operator reads names: letter case
// ignored, and a run of digits compared as the number it is ("_2" before
// "_10").
bool BeforeNaturally(QStringView a, QStringView b) {
  qsizetype i = 0, j = 0;
  while (i < a.size() && j < b.size()) {
    if (IsAsciiDigit(a[i]) && IsAsciiDigit(b[j])) {
      const QStringView x = DigitRun(a, i), y = DigitRun(b, j);
      if (x.size() != y.size()) return x.size() < y.size();
      if (const int order = x.compare(y)) return order < 0;
      continue;
    }
    const QChar p = a[i++].toCaseFolded(), q = b[j++].toCaseFolded();
    if (p != q) return p < q;
  }
  if (a.size() - i != b.size() - j) return a.size() - i < b.size() - j;
  // Equal but for letter case (or leading zeros): the lower-case spelling first.
  return a.compare(b) > 0;
}

QStringList SortedNames(QStringList names) {
  std::sort(names.begin(), names.end(), BeforeNaturally);
  return names;
}

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

bool IsMoveKey(int key) {
  switch (key) {
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_Home:
    case Qt::Key_End:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
      return true;
    default:
      return false;
  }
}

// The drives as Qt finds them (C:/, D:/ on Windows); where "/" is the only
// one, the file systems mounted under it. Asking for the mounts first would
// not do: Wine reads /proc/mounts as Z:/proc/mounts, the host's.
std::vector<std::string> SystemDrives() {
  const QFileInfoList roots = QDir::drives();
  if (roots.size() == 1 && roots.front().absoluteFilePath() == QStringLiteral("/")) return ReadBrowsableMounts();
  std::vector<std::string> drives;
  for (const QFileInfo& root : roots) drives.push_back(root.absoluteFilePath().toStdString());
  return drives;
}

}  // namespace

QString DirectoryPath(const QString& text) {
  if (text.isEmpty()) return {};
  return QDir::cleanPath(QFileInfo(text).absoluteFilePath());
}

DriveList::DriveList(QWidget* parent, std::vector<std::string> mounts)
    : QComboBox(parent), mounts_(mounts.empty() ? SystemDrives() : std::move(mounts)) {
  for (const std::string& point : mounts_) addItem(ShownPath(FromStd(point)));
}

void DriveList::showDriveOf(const QString& path) {
  const std::string mount = MountOf(DirectoryPath(path).toStdString(), mounts_);
  if (mount.empty()) return;
  const QSignalBlocker quiet(this);
  setCurrentText(ShownPath(FromStd(mount)));
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
    const QString name = depth == 0 ? ShownPath(chain[0]) : QFileInfo(chain[depth]).fileName();
    addEntry(name, chain[depth], depth, true);
  }
  setCurrentRow(count() - 1);
  const QDir parent(path);
  for (const QString& child : SortedNames(parent.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Unsorted)))
    addEntry(child, parent.absoluteFilePath(child), static_cast<int>(chain.size()), false);
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
  if (!currentItem()) return;
  // An arrow key that cannot move on (the only file, the last one) still
  // chooses the file it rests on, as a click on it does.
  if (currentItem() != before || IsMoveKey(event->key())) emit fileChosen(currentItem());
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
  for (const QString& name : SortedNames(QDir(path_).entryList(QDir::Files, QDir::Unsorted)))
    if (naming::MatchesListPattern(name.toStdString(), pattern_)) addItem(name);
}

}  // namespace fc::gui
