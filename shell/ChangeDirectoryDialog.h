#pragma once
// The change-directory dialog of batch mode: a drive box (on this platform the one
// file-system root), a list of directories to move through, the "*.txt" files of the
// chosen directory, and "&OK", which copies those file names into the batch list.
// Moving to a directory makes it the program's current directory; leaving the dialog
// with Escape or its close box goes back to the directory it was opened in.
#include <QDialog>
#include <QString>

class QComboBox;
class QLabel;
class QListWidget;
class QPushButton;

class TChangeDirectory : public QDialog {
  Q_OBJECT
 public:
  explicit TChangeDirectory(QWidget* Parent = nullptr);
  ~TChangeDirectory() override;

  QComboBox* DriveComboBox1 = nullptr;
  QLabel* DirectoryLabel = nullptr;
  QListWidget* DirectoryListBox1 = nullptr;
  QListWidget* FileListBox1 = nullptr;
  QPushButton* OKButton = nullptr;

  // The directory whose subdirectories and "*.txt" files the lists show.
  QString Directory() const { return Dir; }
  // Moves the lists to Path and makes it the current directory; false (nothing
  // changed) when it cannot be entered.
  bool SetDirectory(const QString& Path);
  // A change of drive or of directory: the file list follows the directory list.
  void DriveOrDirectoryChange();
  // "&OK": the file list's names replace the batch list; the dialog closes.
  void OKButtonClick();

 protected:
  void showEvent(QShowEvent* Event) override;
  // Escape and the close box: the current directory and the batch list stay as they
  // were when the dialog was opened.
  void reject() override;
  // Enter in the directory list opens the chosen directory (it does not also press
  // "&OK").
  bool eventFilter(QObject* Watched, QEvent* Event) override;

 private:
  void FillLists();
  QString Dir;
  QString StartDir;  // the current directory when the dialog was shown
};

extern TChangeDirectory* ChangeDirectory;
