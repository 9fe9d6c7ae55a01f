// gui/dialogs/Browsing.h - the drive, directory and file lists of the file
// selection dialogs.
//
//   auto* drives = new DriveList(dialog);            // "/" and the mounted file systems, or C:/, D:/...
//   auto* dirs = new DirectoryList(dialog);          // double click (or Enter) goes in
//   auto* files = new FileList(dialog);
//   connect(dirs, &DirectoryList::pathChanged, ...); // only when the path really changes
//   files->setPattern(naming::PlainChooserPattern(type));
//   files->setPath(dirs->path());                    // false: unreadable, nothing changed
//   connect(files, &FileList::fileChosen, ...);      // a click, or an arrow key onto it
//
// Each list starts in the program's current directory. A path that cannot be
// read leaves a list as it was, so callers may ignore the result: browsing
// errors are never the operator's business. Hidden entries (a leading dot)
// are not listed. Names are sorted without regard to letter case, numbers in
// them by value ("_2" before "_10"), and the file list takes a name when it
// matches its pattern, letter case ignored. An arrow key chooses the file it
// rests on even when it cannot move (a single file).
#pragma once

#include <QComboBox>
#include <QListWidget>
#include <QString>
#include <string>
#include <vector>

#include "gui/shell/QtText.h"

namespace fc::gui {

// The absolute, cleaned form of a directory path; empty for an empty text.
QString DirectoryPath(const QString& text);

class DriveList : public QComboBox {
  Q_OBJECT

 public:
  // Lists `mounts`; when none are given, the system's drives, or on a
  // system with "/" alone, ReadBrowsableMounts().
  explicit DriveList(QWidget* parent, std::vector<std::string> mounts = {});

  // Shows the drive holding `path` without signalling a change.
  void showDriveOf(const QString& path);
  QString drive() const { return TypedPath(currentText()); }

 private:
  std::vector<std::string> mounts_;  // mount points, as listed
};

class DirectoryList : public QListWidget {
  Q_OBJECT

 public:
  explicit DirectoryList(QWidget* parent);

  const QString& path() const { return path_; }
  // Moves to `dir`; false when it is not a readable directory (the list is
  // then unchanged). Emits pathChanged when the path differs from before.
  bool setPath(const QString& dir);

 signals:
  void pathChanged(const QString& path);

 private:
  void enter(QListWidgetItem* item);
  void addEntry(const QString& text, const QString& path, int depth, bool open);

  QString path_;  // the directory shown, absolute
};

class FileList : public QListWidget {
  Q_OBJECT

 public:
  explicit FileList(QWidget* parent);

  const QString& path() const { return path_; }
  // Lists `dir`; false when it is not a readable directory (list unchanged).
  bool setPath(const QString& dir);
  const std::string& pattern() const { return pattern_; }
  // Lists the names matching `pattern` (masks joined by ";").
  void setPattern(std::string pattern);

 signals:
  // A file was clicked, or the arrow keys moved the selection onto it.
  void fileChosen(QListWidgetItem* item);

 protected:
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void refresh();

  QString path_;             // the directory listed, absolute
  std::string pattern_ = "*";  // wildcard masks
};

}  // namespace fc::gui
