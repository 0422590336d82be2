// Batch mode: switching it on and off, the batch list of data files, the change of
// directory, and the batch summary grid with the files saved after every run.
#include <QAction>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLayout>
#include <QMenu>
#include <QPlainTextEdit>
#include <sys/stat.h>

#include "platform/Platform.h"
#include "platform/Prompts.h"
#include "shell/BatchOutputs.h"
#include "shell/ChangeDirectoryDialog.h"
#include "shell/DataFiles.h"
#include "shell/PelmorLaunchers.h"
#include "shell/PelmorMain.h"

namespace {
void SetBatchCommandsEnabled(TPelmor& P, bool On) {
  for (QAction* a : {P.New1, P.Open1, P.Close1, P.Save1, P.Save2, P.AboutFile1}) a->setEnabled(On);
  P.Edit1->setEnabled(On);
  P.Edit1->menuAction()->setEnabled(On);
}

// Only what can be read as a data file goes into the batch list: a regular file or a
// link that reaches one. A dangling link, a folder, a FIFO or a device is left out.
QStringList RegularFilesOnly(const QDir& Dir, const QStringList& Names) {
  QStringList out;
  for (const QString& name : Names) {
    struct stat st {};
    if (::stat(QFile::encodeName(Dir.filePath(name)).constData(), &st) == 0 && S_ISREG(st.st_mode)) out << name;
  }
  return out;
}

// The data grid fills the window to its edges; the batch boxes keep their captions
// and frames off the window's edge.
void SetBatchMargins(TPelmor& P, bool Batch) {
  if (QLayout* layout = P.centralWidget() ? P.centralWidget()->layout() : nullptr) {
    const int m = Batch ? 8 : 0;
    layout->setContentsMargins(m, m, m, m);
  }
}
}  // namespace

void TPelmor::Batch1Click() {
  if (BatchMode)
    BatchOff();
  else if (QuerySaveChanges())  // the batch replaces the matrix file by file
    BatchOn();
  else
    Batch1->setChecked(false);
}

void TPelmor::BatchOn() {
  BatchMode = true;
  Batch1->setChecked(true);
  WorkDir = CurrentDir();
  setWindowTitle(QStringLiteral("Pelmor: Batch file processing...") + WorkDir);
  SetBatchMargins(*this, true);
  BatchGroupBox->show();
  Memo1->show();
  ChangeDirectory1->setVisible(true);
  MainGrid->hide();
  BatchSummaryBox->show();
  ClearBatchGrid();
  BatchGrid->show();
  SetBatchCommandsEnabled(*this, false);
  SetUpBatch();
}

void TPelmor::BatchOff() {
  Batch1->setChecked(false);
  BatchIndex = 0;
  BatchFileCount = 0;
  BatchMode = false;
  SetBatchMargins(*this, false);
  MainGrid->show();
  BatchSummaryBox->hide();
  BatchGrid->hide();
  ClearBatchGrid();
  BatchGroupBox->hide();
  Memo1->hide();
  ChangeDirectory1->setVisible(false);
  SetBatchCommandsEnabled(*this, true);
  NewMatrix();
  setWindowTitle(QStringLiteral("Pelmor...") + ExpandFileName(FileName));
}

void TPelmor::SetUpBatch() {
  Memo1->clear();
  WorkDir = CurrentDir();
  // Regular files only (a folder named "x.txt" is no data file), hidden ones
  // included, in name order so that a batch always runs in the same order.
  QDir dir(WorkDir);
  const QStringList names = RegularFilesOnly(
      dir, dir.entryList({QStringLiteral("*.txt")}, QDir::Files | QDir::Hidden | QDir::System, QDir::Name));
  // The summaries and data sets that earlier runs wrote here are not data.
  Memo1->setPlainText(WithoutProgramOutputs(names).join(QLatin1Char('\n')));
}

void TPelmor::ChangeDirectory1Click() {
  if (ChangeDirectory) ShowModal(ChangeDirectory);
  WorkDir = CurrentDir();
  setWindowTitle(QStringLiteral("Pelmor: Batch processing...") + WorkDir);
  SetUpBatch();
}

void TPelmor::ClearBatchGrid() {
  BatchGrid->SetSize(4, 1);
  BuildBatchSummaryFirstRow();
}

void TPelmor::BuildBatchSummaryFirstRow() {
  if (BatchGrid->ColCount() < 4) BatchGrid->SetColCount(4);
  if (BatchGrid->RowCount() < 1) BatchGrid->SetRowCount(1);
  BatchGrid->SetCells(0, 0, QStringLiteral("FileName"));
  BatchGrid->SetCells(1, 0, QStringLiteral("Standard-Effect"));
  BatchGrid->SetCells(2, 0, QStringLiteral("LowerTailP"));
  BatchGrid->SetCells(3, 0, QStringLiteral("UpperTailP"));
}

void TPelmor::BuildBatchSummaryFile(const QString& Name, const QString& SES, const QString& LowerTail,
                                    const QString& UpperTail) {
  const int row = BatchGrid->RowCount();
  BatchGrid->SetRowCount(row + 1);
  BatchGrid->SetCells(0, row, ExtractFileName(Name));
  BatchGrid->SetCells(1, row, SES);
  BatchGrid->SetCells(2, row, LowerTail);
  BatchGrid->SetCells(3, row, UpperTail);
}

bool TPelmor::SaveBatchSummary(const QStringList& SummaryLines) {
  const QString summaryName = QDir(CurrentDir()).filePath(QStringLiteral("Summary") + ExtractFileName(FileName));
  const QString gridName = QDir(CurrentDir()).filePath(QStringLiteral("BatchSummary.txt"));
  if (!WriteFileSafely(summaryName, TextLinesFileBytes(SummaryLines)) ||
      !WriteFileSafely(gridName, MatrixFileBytes(*BatchGrid->Model()))) {
    ShowMessage(QStringLiteral("Error saving batch summary...Aborting."));
    return false;
  }
  return true;
}
