// Batch mode: switching it, the batch list, the change of directory, the batch
// summary services and whole batches run with the test-only analysis.
#include <gtest/gtest.h>

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QApplication>
#include <QGroupBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <sys/stat.h>

#include "platform/Platform.h"
#include "platform/Prompts.h"
#include "shell/ChangeDirectoryDialog.h"
#include "shell/DataFiles.h"
#include "shell/PelmorMain.h"
#include "shell/ProgressSims.h"
#include "app/Startup.h"
#include "tests/analyses/common/TestAnalysis.h"
#include "tests/shell/GuiFixture.h"
#include "tests/shell/OrdinaryUser.h"

namespace {
class BatchTest : public TGuiFixture {
 protected:
  void SetUp() override {
    TGuiFixture::SetUp();
    CreateTestAnalysis();
    if (Pelmor->BatchMode) Pelmor->BatchOff();
    TestAnalysis->AbortAtIteration = TestAnalysis->StopFlagAtIteration = TestAnalysis->FailAtIteration = 0;
    TestAnalysis->AbortOnlyForFile.clear();
    TestAnalysis->MinRows = 2;
    TestAnalysis->RunFiles.clear();
    TestAnalysisOpts->ResetDefaults();
    Script.OnModal = [this](QWidget* w) {
      if (w == TestAnalysisOpts) {
        TestAnalysisOpts->IterationsEdit->setText(QStringLiteral("30"));
        TestAnalysisOpts->RandomSeedEdit->setText(QStringLiteral("11"));
        (Accept ? TestAnalysisOpts->RunButton : TestAnalysisOpts->CancelButton)->click();
      } else if (w == TestAnalysis) {
        ++Results;
      } else if (OtherModal) {
        OtherModal(w);
      }
    };
  }
  void TearDown() override {
    if (Pelmor->BatchMode) Pelmor->BatchOff();
    TGuiFixture::TearDown();
  }
  void WriteData(const QString& Name, int Seed) {
    QByteArray text = "species a b c\r\n";
    for (int r = 1; r <= 3; ++r)
      text += QStringLiteral("s%1 %2 %3 %4\r\n").arg(r).arg((r + Seed) % 5).arg((r * Seed) % 7).arg(Seed).toUtf8();
    Write(Name, text);
  }
  void StartBatch(const QString& List) {
    Pelmor->BatchOn();
    Pelmor->Memo1->setPlainText(List);
    ASSERT_TRUE(Pelmor->LaunchAnalysis(QStringLiteral("TestAnalysis")));
  }
  bool Accept = true;
  int Results = 0;
  std::function<void(QWidget*)> OtherModal;
};
}  // namespace

// A dangling link used to be listed and stopped the batch with "Error opening file.";
// a FIFO would hang the reader. Only regular files and links reaching one are listed.
TEST_F(BatchTest, ListHoldsRegularFilesAndLinksToThemOnly) {
  WriteData("data.txt", 1);
  const QString dir = Dir.path();
  ASSERT_TRUE(QFile::link(dir + "/data.txt", dir + "/linked.txt"));
  ASSERT_TRUE(QFile::link(dir + "/gone", dir + "/dangling.txt"));
  ASSERT_TRUE(QDir(dir).mkdir("folder.txt"));
  ASSERT_TRUE(QFile::link(dir + "/folder.txt", dir + "/folderlink.txt"));
  ASSERT_EQ(::mkfifo(QFile::encodeName(dir + "/pipe.txt").constData(), 0600), 0);
  Pelmor->BatchOn();
  EXPECT_EQ(Pelmor->Memo1->toPlainText(), "data.txt\nlinked.txt");
}

TEST_F(BatchTest, SwitchingBatchModeOnAndOff) {
  WriteData("b.txt", 1);
  WriteData("a.txt", 2);
  Write("notes.TXT", "x\r\n");
  Write("data.dat", "x\r\n");
  ASSERT_TRUE(QDir(Dir.path()).mkdir("folder.txt"));
  Pelmor->BatchGrid->SetRowCount(3);

  Pelmor->Batch1->trigger();
  EXPECT_TRUE(Pelmor->BatchMode);
  EXPECT_TRUE(Pelmor->Batch1->isChecked());
  EXPECT_EQ(Pelmor->windowTitle(), QStringLiteral("Pelmor: Batch file processing...") + CurrentDir());
  EXPECT_EQ(Pelmor->WorkDir, CurrentDir());
  EXPECT_FALSE(Pelmor->MainGrid->isVisibleTo(Pelmor));
  EXPECT_TRUE(Pelmor->BatchGroupBox->isVisibleTo(Pelmor));
  EXPECT_TRUE(Pelmor->BatchSummaryBox->isVisibleTo(Pelmor));
  EXPECT_TRUE(Pelmor->ChangeDirectory1->isVisible());
  for (QAction* a : {Pelmor->New1, Pelmor->Open1, Pelmor->Close1, Pelmor->Save1, Pelmor->Save2, Pelmor->AboutFile1})
    EXPECT_FALSE(a->isEnabled()) << a->text().toStdString();
  EXPECT_FALSE(Pelmor->Edit1->isEnabled());
  EXPECT_EQ(Pelmor->BatchGrid->RowCount(), 1);
  EXPECT_EQ(Pelmor->BatchGrid->Cells(1, 0), "Standard-Effect");
  // Regular "*.txt" files only, in name order; no folder, no other extension.
  EXPECT_EQ(Pelmor->Memo1->toPlainText(), "a.txt\nb.txt\nnotes.TXT");

  Pelmor->MainGrid->SetCells(1, 1, QStringLiteral("7"));
  Pelmor->Batch1->trigger();
  EXPECT_FALSE(Pelmor->BatchMode);
  EXPECT_FALSE(Pelmor->Batch1->isChecked());
  EXPECT_TRUE(Pelmor->MainGrid->isVisibleTo(Pelmor));
  EXPECT_FALSE(Pelmor->BatchGroupBox->isVisibleTo(Pelmor));
  EXPECT_FALSE(Pelmor->BatchSummaryBox->isVisibleTo(Pelmor));
  EXPECT_FALSE(Pelmor->ChangeDirectory1->isVisible());
  EXPECT_TRUE(Pelmor->Open1->isEnabled());
  EXPECT_TRUE(Pelmor->Edit1->isEnabled());
  EXPECT_EQ(Pelmor->MainGrid->Cells(1, 1), "0");  // a new default matrix
  EXPECT_EQ(Pelmor->windowTitle(), QStringLiteral("Pelmor...") + Dir.filePath("Untitled.txt"));
  EXPECT_EQ(Pelmor->BatchIndex, 0);
}

TEST_F(BatchTest, SummaryGridServicesAndTheirFiles) {
  Pelmor->ClearBatchGrid();
  Pelmor->BuildBatchSummaryFile(QStringLiteral("/x/y/data1.txt"), "1.50000", "0.20000", "0.80000");
  ASSERT_EQ(Pelmor->BatchGrid->RowCount(), 2);
  EXPECT_EQ(Pelmor->BatchGrid->Cells(0, 1), "data1.txt");
  // The header row and the file names are the grid's titles, kept in view when it
  // scrolls.
  const TStringGridModel& m = *Pelmor->BatchGrid->Model();
  EXPECT_EQ(m.headerData(0, Qt::Horizontal, Qt::DisplayRole).toString(), "Standard-Effect");
  EXPECT_EQ(m.headerData(0, Qt::Vertical, Qt::DisplayRole).toString(), "data1.txt");
  EXPECT_EQ(m.data(m.index(0, 2), Qt::DisplayRole).toString(), "0.80000");
  Pelmor->FileName = Dir.filePath("data1.txt");
  EXPECT_TRUE(Pelmor->SaveBatchSummary({"line one", "", "line three"}));
  EXPECT_EQ(Read("Summarydata1.txt"), QByteArray("line one\r\n\r\nline three\r\n"));
  EXPECT_EQ(Read("BatchSummary.txt"), QByteArray("FileName Standard-Effect LowerTailP UpperTailP\r\n"
                                                 "data1.txt 1.50000 0.20000 0.80000\r\n"));
  Pelmor->ClearBatchGrid();
  EXPECT_EQ(Pelmor->BatchGrid->RowCount(), 1);
  EXPECT_EQ(Pelmor->BatchGrid->Cells(0, 0), "FileName");

  // A file that cannot be written is reported, never passed off as saved.
  ASSERT_TRUE(QFile::remove(Dir.filePath("BatchSummary.txt")));
  ASSERT_TRUE(QDir(Dir.path()).mkdir("BatchSummary.txt"));
  EXPECT_FALSE(Pelmor->SaveBatchSummary({"x"}));
  EXPECT_EQ(Script.Messages, QStringList{"Error saving batch summary...Aborting."});
  Script.Messages.clear();
  Pelmor->FileName = Dir.filePath("data2.txt");
  ASSERT_TRUE(QDir(Dir.path()).mkdir("Summarydata2.txt"));
  EXPECT_FALSE(Pelmor->SaveBatchSummary({"x"}));
  EXPECT_EQ(Script.Messages, QStringList{"Error saving batch summary...Aborting."});
}

TEST_F(BatchTest, ABatchWritesEachSummaryAndTheGridSoFar) {
  WriteData("d1.txt", 1);
  WriteData("d2.txt", 2);
  StartBatch("d1.txt\nd2.txt");
  EXPECT_EQ(Results, 0);  // no results window in batch mode
  EXPECT_EQ(TestAnalysis->RunFiles, (QStringList{"d1.txt", "d2.txt"}));
  EXPECT_EQ(Pelmor->BatchIndex, 2);
  EXPECT_TRUE(Pelmor->isVisible());
  const QList<QByteArray> rows = Read("BatchSummary.txt").split('\n');
  ASSERT_EQ(rows.size(), 4);  // header, two rows, nothing after the last line end
  EXPECT_EQ(rows[0], "FileName Standard-Effect LowerTailP UpperTailP\r");
  EXPECT_TRUE(rows[1].startsWith("d1.txt "));
  EXPECT_TRUE(rows[2].startsWith("d2.txt "));
  // The summary file of the last data file holds its summary pane, line for line.
  EXPECT_EQ(Read("Summaryd2.txt"), (TestAnalysis->SummaryLines().join("\r\n") + "\r\n").toUtf8());
  const QByteArray first = Read("Summaryd1.txt");
  EXPECT_TRUE(first.startsWith(("Input file = " + Dir.filePath("d1.txt") + "\r\n").toUtf8()));
  EXPECT_TRUE(first.contains("Iterations = 30\r\nRandom seed = 11\r\n"));
  EXPECT_TRUE(first.contains("s1 2 1 1 \r\n"));
  // The batch grid row carries the summary's own texts.
  const QString ses = QString::fromUtf8(first).section("Standardized Effect Size = ", 1).section("\r\n", 0, 0);
  EXPECT_EQ(Pelmor->BatchGrid->Cells(1, 1), ses);
}

TEST_F(BatchTest, ASecondBatchOverTheFolderLeavesOutTheProgramsOwnFiles) {
  WriteData("d1.txt", 1);
  WriteData("d2.txt", 2);
  StartBatch("d1.txt\nd2.txt");  // writes Summaryd1.txt, Summaryd2.txt and BatchSummary.txt
  ASSERT_FALSE(Read("Summaryd1.txt").isEmpty());
  ASSERT_FALSE(Read("BatchSummary.txt").isEmpty());
  // Simulated data sets as the save service writes them, and the curve files.
  TStringGrid grid;
  grid.SetTable({{"t", "c1"}, {"r1", "1"}}, 2);
  Pelmor->AbortRequested = false;
  ASSERT_TRUE(Pelmor->SaveSimulation(1, 0, grid));
  ASSERT_TRUE(Pelmor->SaveSimulation(12, 3, grid));
  ASSERT_TRUE(Pelmor->SaveSimulation(250, 0, grid));
  for (const char* name : {"DiversityCurve d1.txt", "diversitycurve.txt", "abundancecurve.txt", "SummarySummaryd1.txt"})
    Write(name, "x y\r\n1 2\r\n");
  // A user's data files that only look like them.
  const QStringList users{"BatchSummary2.txt", "DiversityCurve x.txt", "SIM3.TXT", "Sim.txt", "Sim1_.txt",
                          "Sim1a.txt", "Simpson.txt", "Summary.txt", "Summary2019.txt", "Summarydata.txt",
                          "Summer.txt", "batchsummary.txt", "sim2.txt"};
  int seed = 3;
  for (const QString& name : users) WriteData(name, seed++);

  Pelmor->BatchOff();
  Pelmor->BatchOn();
  QStringList expected = users;
  expected << "d1.txt" << "d2.txt";
  expected.sort();
  EXPECT_EQ(Pelmor->Memo1->toPlainText().split('\n'), expected);

  // The second batch runs the data files and nothing the first one wrote.
  ASSERT_TRUE(Pelmor->LaunchAnalysis(QStringLiteral("TestAnalysis")));
  EXPECT_EQ(TestAnalysis->RunFiles, (QStringList{"d1.txt", "d2.txt"} + expected));
}

TEST_F(BatchTest, AFileOverTheSizeLimitIsNamedAndStopsTheBatch) {
  WriteData("d1.txt", 1);
  WriteData("d2.txt", 2);
  {
    // A sparse file one byte over the limit: no disk space used.
    QFile huge(Dir.filePath("huge.txt"));
    ASSERT_TRUE(huge.open(QIODevice::WriteOnly));
    ASSERT_TRUE(huge.resize(MaxDataFileBytes + 1));
  }
  const QString path = Dir.filePath("huge.txt");
  const TReadResult refused = ReadMatrixFile(path);
  ASSERT_EQ(refused.State, TReadResult::TooLarge);
  StartBatch("d1.txt\nhuge.txt\nd2.txt");
  EXPECT_EQ(TestAnalysis->RunFiles, QStringList{"d1.txt"});
  EXPECT_EQ(Script.Messages, QStringList{path + ": " + refused.Message});
  EXPECT_FALSE(Pelmor->RunEnabled);
  EXPECT_EQ(Pelmor->BatchGrid->RowCount(), 2);  // the first file's row only
}

TEST_F(BatchTest, EmptyLinesMissingFilesCancelsAndAbortsEndTheBatch) {
  WriteData("a.txt", 1);
  WriteData("b.txt", 2);
  WriteData("c.txt", 3);

  // An empty line ends the list.
  StartBatch("a.txt\n\nc.txt");
  EXPECT_EQ(TestAnalysis->RunFiles, QStringList{"a.txt"});
  EXPECT_FALSE(QFile::exists(Dir.filePath("Summaryc.txt")));
  QFile::remove(Dir.filePath("Summarya.txt"));

  // A missing file stops the batch with its message after the files before it.
  TestAnalysis->RunFiles.clear();
  Pelmor->BatchOff();
  StartBatch("a.txt\nmissing.txt\nc.txt");
  EXPECT_EQ(TestAnalysis->RunFiles, QStringList{"a.txt"});
  EXPECT_EQ(Script.Messages, QStringList{Dir.filePath("missing.txt") + ": Error opening file."});
  EXPECT_TRUE(QFile::exists(Dir.filePath("Summarya.txt")));
  EXPECT_FALSE(QFile::exists(Dir.filePath("Summaryc.txt")));

  // A cancelled dialog runs nothing.
  TestAnalysis->RunFiles.clear();
  Script.Messages.clear();
  Pelmor->BatchOff();
  Accept = false;
  StartBatch("a.txt\nb.txt");
  EXPECT_TRUE(TestAnalysis->RunFiles.isEmpty());
  EXPECT_EQ(Pelmor->BatchIndex, 0);
  EXPECT_TRUE(Script.Messages.isEmpty());
  EXPECT_TRUE(Pelmor->isVisible());
  Accept = true;

  // "&Abort simulation" during the second file keeps the first file's outputs and
  // runs no third file.
  Pelmor->BatchOff();
  for (const char* f : {"Summarya.txt", "Summaryb.txt", "BatchSummary.txt"}) QFile::remove(Dir.filePath(f));
  TestAnalysis->AbortAtIteration = 10;
  TestAnalysis->AbortOnlyForFile = QStringLiteral("b.txt");
  StartBatch("a.txt\nb.txt\nc.txt");
  EXPECT_EQ(TestAnalysis->RunFiles, (QStringList{"a.txt", "b.txt"}));
  EXPECT_TRUE(QFile::exists(Dir.filePath("Summarya.txt")));
  EXPECT_FALSE(QFile::exists(Dir.filePath("Summaryb.txt")));
  EXPECT_EQ(Read("BatchSummary.txt").count('\n'), 2);
  EXPECT_EQ(Pelmor->BatchGrid->RowCount(), 2);
  EXPECT_FALSE(Progress->isVisible());
}

TEST_F(BatchTest, AFailedSaveStopsTheBatch) {
  WriteData("a.txt", 1);
  WriteData("b.txt", 2);
  WriteData("c.txt", 3);
  ASSERT_TRUE(QDir(Dir.path()).mkdir("Summaryb.txt"));
  StartBatch("a.txt\nb.txt\nc.txt");
  EXPECT_EQ(TestAnalysis->RunFiles, (QStringList{"a.txt", "b.txt"}));
  EXPECT_EQ(Script.Messages, (QStringList{"Error saving batch summary...Aborting.", "Batch processing error."}));
  EXPECT_TRUE(Pelmor->AbortRequested);
  EXPECT_FALSE(Progress->isVisible());
  EXPECT_EQ(Results, 0);
}

// As an ordinary user in a data folder of his own: a summary or a batch summary that
// is marked read-only stops the batch where it is met and keeps every byte.
TEST_F(BatchTest, AReadOnlySummaryStopsTheBatchAndIsKept) {
  WriteData("a.txt", 1);
  WriteData("b.txt", 2);
  WriteData("c.txt", 3);
  for (const QString& p : {Dir.path(), Dir.filePath("a.txt"), Dir.filePath("b.txt"), Dir.filePath("c.txt")})
    TOrdinaryUser::Own(p);
  struct TCase {
    QString Locked;
    QStringList Run;
  };
  for (const TCase& t : {TCase{"Summaryb.txt", {"a.txt", "b.txt"}}, TCase{"BatchSummary.txt", {"a.txt"}}}) {
    for (const char* name : {"Summarya.txt", "Summaryb.txt", "BatchSummary.txt"})
      QFile::remove(Dir.filePath(QString::fromLatin1(name)));
    Write(t.Locked, "kept\r\n");
    TOrdinaryUser::Own(Dir.filePath(t.Locked));
    TOrdinaryUser::MarkReadOnly(Dir.filePath(t.Locked));
    Script.Messages.clear();
    TestAnalysis->RunFiles.clear();
    {
      TOrdinaryUser user;
      StartBatch("a.txt\nb.txt\nc.txt");
      Pelmor->BatchOff();
    }
    EXPECT_EQ(TestAnalysis->RunFiles, t.Run) << t.Locked.toStdString();
    EXPECT_EQ(Script.Messages, (QStringList{"Error saving batch summary...Aborting.", "Batch processing error."}));
    EXPECT_EQ(Read(t.Locked), QByteArray("kept\r\n"));
    EXPECT_FALSE(QFile::exists(Dir.filePath("Summaryc.txt")));
    // Nothing half written is left beside the data.
    for (const QString& name : QDir(Dir.path()).entryList(QDir::Files | QDir::Hidden))
      EXPECT_FALSE(name.startsWith('.')) << name.toStdString();
    QFile::remove(Dir.filePath(t.Locked));
  }
}

TEST_F(BatchTest, ChangeDirectoryDialogMovesTheBatch) {
  TChangeDirectory& d = *ChangeDirectory;
  EXPECT_EQ(d.windowTitle(), "Pelmor -- Change Directory");
  EXPECT_EQ(d.OKButton->text(), "&OK");
  ASSERT_GE(d.DriveComboBox1->count(), 1);
  EXPECT_EQ(d.DriveComboBox1->itemText(0), QDir::rootPath());

  ASSERT_TRUE(QDir(Dir.path()).mkpath("sub/deeper"));
  Write("sub/one.txt", "a b\r\n1 2\r\n");
  Write("sub/two.txt", "a b\r\n1 2\r\n");
  Write("sub/other.csv", "x\r\n");
  Write("top.txt", "x\r\n");
  Pelmor->BatchOn();
  EXPECT_EQ(Pelmor->Memo1->toPlainText(), "top.txt");

  OtherModal = [&](QWidget* w) {
    ASSERT_EQ(w, &d);
    // The lists start at the current directory.
    EXPECT_EQ(d.Directory(), Dir.path());
    QStringList dirs;
    for (int i = 0; i < d.DirectoryListBox1->count(); ++i) dirs << d.DirectoryListBox1->item(i)->text();
    EXPECT_EQ(dirs, (QStringList{"..", "sub"}));
    // Choosing "sub" in the directory list moves there.
    emit d.DirectoryListBox1->itemActivated(d.DirectoryListBox1->item(1));
    EXPECT_EQ(CurrentDir(), Dir.filePath("sub"));
    ASSERT_EQ(d.FileListBox1->count(), 2);
    EXPECT_EQ(d.FileListBox1->item(0)->text(), "one.txt");
    EXPECT_FALSE(d.SetDirectory(Dir.filePath("nowhere")));
    EXPECT_EQ(CurrentDir(), Dir.filePath("sub"));
    d.OKButton->click();
    EXPECT_EQ(Pelmor->Memo1->toPlainText(), "one.txt\ntwo.txt");
  };
  Pelmor->ChangeDirectory1->trigger();
  EXPECT_EQ(Pelmor->WorkDir, Dir.filePath("sub"));
  EXPECT_EQ(Pelmor->windowTitle(), QStringLiteral("Pelmor: Batch processing...") + Dir.filePath("sub"));
  EXPECT_EQ(Pelmor->Memo1->toPlainText(), "one.txt\ntwo.txt");
}

TEST_F(BatchTest, EscapeLeavesChangeDirectoryWithTheFolderAsItWas) {
  TChangeDirectory& d = *ChangeDirectory;
  ASSERT_TRUE(QDir(Dir.path()).mkpath("sub"));
  Write("sub/one.txt", "a b\r\n1 2\r\n");
  Write("top.txt", "x\r\n");
  Pelmor->BatchOn();
  ASSERT_EQ(Pelmor->Memo1->toPlainText(), "top.txt");

  bool shown = false;
  OtherModal = [&](QWidget* w) {
    ASSERT_EQ(w, &d);
    shown = true;
    // The user walks into "sub" with the keyboard (Enter opens the directory and
    // leaves the dialog open), then thinks better of it and presses Escape.
    d.DirectoryListBox1->setCurrentRow(1);
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QApplication::sendEvent(d.DirectoryListBox1, &enter);
    ASSERT_EQ(CurrentDir(), Dir.filePath("sub"));
    EXPECT_TRUE(d.isVisible());
    EXPECT_EQ(d.FileListBox1->count(), 1);
    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(d.DirectoryListBox1, &escape);
    EXPECT_FALSE(d.isVisible());
    EXPECT_EQ(d.result(), QDialog::Rejected);
    EXPECT_EQ(CurrentDir(), Dir.path());
  };
  Pelmor->ChangeDirectory1->trigger();
  ASSERT_TRUE(shown);
  EXPECT_EQ(CurrentDir(), Dir.path());
  EXPECT_EQ(Pelmor->WorkDir, Dir.path());
  EXPECT_EQ(Pelmor->Memo1->toPlainText(), "top.txt");

  // Shown again, the dialog starts where the program is, and "&OK" still moves.
  OtherModal = [&](QWidget*) {
    EXPECT_EQ(d.Directory(), Dir.path());
    emit d.DirectoryListBox1->itemActivated(d.DirectoryListBox1->item(1));
    d.OKButton->click();
  };
  Pelmor->ChangeDirectory1->trigger();
  EXPECT_EQ(Pelmor->WorkDir, Dir.filePath("sub"));
  EXPECT_EQ(Pelmor->Memo1->toPlainText(), "one.txt");
}

TEST_F(BatchTest, BatchBoxesKeepTheirCaptionsOffTheWindowEdge) {
  Pelmor->show();
  Pelmor->BatchOn();
  QApplication::processEvents();
  EXPECT_GT(Pelmor->BatchGroupBox->x(), 0);
  EXPECT_GT(Pelmor->BatchSummaryBox->x(), 0);
  EXPECT_LT(Pelmor->BatchSummaryBox->geometry().right(), Pelmor->centralWidget()->width() - 1);
  Pelmor->BatchOff();
  QApplication::processEvents();
  // The data grid fills the window again.
  EXPECT_EQ(Pelmor->MainGrid->x(), 0);
  EXPECT_EQ(Pelmor->MainGrid->width(), Pelmor->centralWidget()->width());
}
