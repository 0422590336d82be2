#include "shell/ChangeDirectoryDialog.h"

#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QKeyEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QShowEvent>

#include "platform/Platform.h"
#include "shell/PelmorMain.h"

TChangeDirectory* ChangeDirectory = nullptr;

namespace {
const QString ParentEntry = QStringLiteral("..");
}

TChangeDirectory::TChangeDirectory(QWidget* Parent) : QDialog(Parent) {
  ChangeDirectory = this;
  setObjectName(QStringLiteral("ChangeDirectory"));
  setWindowTitle(QStringLiteral("Pelmor -- Change Directory"));
  setModal(true);

  auto* layout = new QGridLayout(this);
  DriveComboBox1 = new QComboBox(this);
  DriveComboBox1->setObjectName(QStringLiteral("DriveComboBox1"));
  DriveComboBox1->setAccessibleName(QStringLiteral("Drive"));
  // This platform has one file-system root and no drive letters.
  for (const QFileInfo& drive : QDir::drives()) DriveComboBox1->addItem(drive.absoluteFilePath());
  if (DriveComboBox1->count() == 0) DriveComboBox1->addItem(QDir::rootPath());

  DirectoryLabel = new QLabel(this);
  DirectoryLabel->setObjectName(QStringLiteral("DirectoryLabel"));
  DirectoryListBox1 = new QListWidget(this);
  DirectoryListBox1->setObjectName(QStringLiteral("DirectoryListBox1"));
  DirectoryListBox1->setAccessibleName(QStringLiteral("Directories"));
  FileListBox1 = new QListWidget(this);
  FileListBox1->setObjectName(QStringLiteral("FileListBox1"));
  FileListBox1->setAccessibleName(QStringLiteral("Text files"));
  FileListBox1->setSelectionMode(QAbstractItemView::NoSelection);
  OKButton = new QPushButton(QStringLiteral("&OK"), this);
  OKButton->setObjectName(QStringLiteral("OKButton"));
  OKButton->setDefault(true);

  layout->addWidget(DirectoryLabel, 0, 0, 1, 2);
  layout->addWidget(DirectoryListBox1, 1, 0);
  layout->addWidget(FileListBox1, 1, 1);
  layout->addWidget(DriveComboBox1, 2, 0);
  layout->addWidget(OKButton, 2, 1, Qt::AlignRight);
  resize(460, 320);

  connect(DirectoryListBox1, &QListWidget::itemActivated, this, [this](QListWidgetItem* item) {
    if (!item) return;
    const QString name = item->text();
    SetDirectory(name == ParentEntry ? QFileInfo(Dir).absolutePath() : QDir(Dir).filePath(name));
  });
  DirectoryListBox1->installEventFilter(this);
  connect(DriveComboBox1, &QComboBox::activated, this, [this](int) { DriveOrDirectoryChange(); });
  connect(OKButton, &QPushButton::clicked, this, [this] { OKButtonClick(); });
  Dir = CurrentDir();
  FillLists();
}

TChangeDirectory::~TChangeDirectory() {
  if (ChangeDirectory == this) ChangeDirectory = nullptr;
}

void TChangeDirectory::showEvent(QShowEvent* Event) {
  QDialog::showEvent(Event);
  if (QScreen* screen = this->screen()) move(screen->availableGeometry().center() - rect().center());
  StartDir = CurrentDir();
  SetDirectory(StartDir);
  DirectoryListBox1->setFocus();
}

bool TChangeDirectory::eventFilter(QObject* Watched, QEvent* Event) {
  if (Watched == DirectoryListBox1 && Event->type() == QEvent::KeyPress) {
    const int key = static_cast<QKeyEvent*>(Event)->key();
    if ((key == Qt::Key_Return || key == Qt::Key_Enter) && DirectoryListBox1->currentItem()) {
      emit DirectoryListBox1->itemActivated(DirectoryListBox1->currentItem());
      return true;
    }
  }
  return QDialog::eventFilter(Watched, Event);
}

void TChangeDirectory::reject() {
  if (!StartDir.isEmpty()) SetDirectory(StartDir);
  QDialog::reject();
}

bool TChangeDirectory::SetDirectory(const QString& Path) {
  const QString target = QDir(Path).absolutePath();
  if (!QFileInfo(target).isDir() || !SetCurrentDir(target)) return false;
  Dir = CurrentDir();
  DriveOrDirectoryChange();
  return true;
}

void TChangeDirectory::DriveOrDirectoryChange() {
  // The drive box's root bounds the directory list.
  const QString drive = DriveComboBox1->currentText();
  if (!drive.isEmpty() && !QDir::cleanPath(Dir).startsWith(QDir::cleanPath(drive))) {
    if (SetCurrentDir(drive)) Dir = CurrentDir();
  }
  FillLists();
}

void TChangeDirectory::FillLists() {
  DirectoryLabel->setText(QDir::toNativeSeparators(Dir));
  DirectoryListBox1->clear();
  QDir dir(Dir);
  if (!dir.isRoot()) DirectoryListBox1->addItem(ParentEntry);
  DirectoryListBox1->addItems(dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name));
  // The keyboard goes on from the first entry.
  if (DirectoryListBox1->count() > 0) DirectoryListBox1->setCurrentRow(0);
  FileListBox1->clear();
  // Read-only and normal files, as the file list shows them.
  FileListBox1->addItems(dir.entryList({QStringLiteral("*.txt")}, QDir::Files, QDir::Name));
}

void TChangeDirectory::OKButtonClick() {
  QStringList names;
  for (int i = 0; i < FileListBox1->count(); ++i) names << FileListBox1->item(i)->text();
  if (Pelmor) Pelmor->Memo1->setPlainText(names.join(QLatin1Char('\n')));
  accept();
  hide();
}
