#include <gtest/gtest.h>

#include <QAction>
#include <QCoreApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QMenuBar>
#include <QTemporaryDir>

#include "platform/Platform.h"
#include "platform/Prompts.h"
#include "shell/PelmorMain.h"
#include "app/Startup.h"
#include "tests/shell/FileSizeLimit.h"
#include "tests/shell/GuiFixture.h"
#include "tests/shell/OrdinaryUser.h"

#include <functional>

namespace {
class MainWindowTest : public TGuiFixture {
 protected:
  void SetUp() override {
    TGuiFixture::SetUp();
    Pelmor->New1Click();
  }
};

QAction* FindAction(const QString& Caption) {
  for (QAction* a : Pelmor->findChildren<QAction*>())
    if (a->text() == Caption) return a;
  return nullptr;
}
}  // namespace

TEST_F(MainWindowTest, StartsWithDefaultMatrixAndRunState) {
  EXPECT_EQ(Pelmor->MainGrid->ColCount(), 6);
  EXPECT_EQ(Pelmor->MainGrid->RowCount(), 6);
  EXPECT_EQ(Pelmor->MainGrid->Cells(0, 0), "species");
  EXPECT_EQ(Pelmor->MainGrid->Cells(0, 3), "species3");
  EXPECT_EQ(Pelmor->MainGrid->Cells(5, 0), "site5");
  EXPECT_EQ(Pelmor->MainGrid->Cells(4, 4), "0");
  EXPECT_EQ(Pelmor->MainGrid->FixedCols(), 1);
  EXPECT_EQ(Pelmor->MainGrid->FixedRows(), 1);
  EXPECT_EQ(Pelmor->Iterations, 1000);
  EXPECT_TRUE(Pelmor->FileName.endsWith("/Untitled.txt"));
  EXPECT_TRUE(QDir::isAbsolutePath(Pelmor->FileName));
  EXPECT_EQ(Pelmor->windowTitle(), "Pelmor..." + Pelmor->FileName);
  EXPECT_EQ(Pelmor->BatchGrid->Cells(1, 0), "Standard-Effect");
  EXPECT_EQ(&PelmorState(), static_cast<TRunState*>(Pelmor));
}

TEST_F(MainWindowTest, MenusHaveTheirCaptionsShortcutsAndStates) {
  const QStringList tops = {"&File", "&Edit", "&Analyze", "&Help"};
  QStringList seen;
  for (QAction* a : Pelmor->menuBar()->actions()) seen << a->text();
  EXPECT_EQ(seen, tops);
  struct Item {
    const char* Caption;
    const char* Key;
  } items[] = {{"&New", "Ctrl+N"},         {"&Open", "Ctrl+O"},         {"&Close", ""},
               {"&Save", "Ctrl+S"},        {"Save &As", ""},            {"Abou&t file", ""},
               {"&Batch ... on/off", "Ctrl+B"}, {"Change &Directory", "Ctrl+D"}, {"E&xit", "Ctrl+X"},
               {"lock &Row titles", "Ctrl+R"}, {"lock &Column titles", "Ctrl+C"}, {"Resize &matrix", "Ctrl+M"},
               {"&Transpose matrix", "Ctrl+T"}, {"&Edit matrix as text", "Ctrl+E"}, {"&1 Co-occurrence", ""},
               {"&2 Macroecology", ""},    {"&3 Niche Overlap", ""},    {"&4 Size Overlap", ""},
               {"&5 Species Diversity", ""}, {"&Anova", ""},            {"&Chi Square", ""},
               {"&Regression", ""},        {"Runs &Test", ""},          {"&7 Guild Structure", ""},
               {"&8 Biogeography", ""},    {"&Help Topics", "F1"},      {"&About", ""}};
  for (const Item& item : items) {
    QAction* a = FindAction(item.Caption);
    ASSERT_NE(a, nullptr) << item.Caption;
    EXPECT_EQ(a->shortcut().toString(), QString(item.Key)) << item.Caption;
  }
  EXPECT_FALSE(FindAction("&8 Biogeography")->isVisible());
  EXPECT_FALSE(FindAction("Change &Directory")->isVisible());
  EXPECT_TRUE(FindAction("lock &Column titles")->isChecked());
  EXPECT_EQ(FindAction("lock &Row titles")->statusTip(), "Fixed titles do not scroll when the grid scrolls.");
  EXPECT_EQ(FindAction("&Edit matrix as text")->statusTip(), "Notepad-style editor for current data set.");
}

TEST_F(MainWindowTest, OpenReadsAFileAndRefusalsKeepTheMatrix) {
  Write("good.txt", "sp s1 s2\nA 1 0\nB 0 1");  // LF line ends, last line unended
  Script.FileAnswers.push_back(Dir.filePath("good.txt"));
  Pelmor->Open1Click();
  EXPECT_TRUE(Script.Messages.isEmpty());
  EXPECT_EQ(Pelmor->MainGrid->RowCount(), 3);
  EXPECT_EQ(Pelmor->MainGrid->ColCount(), 3);
  EXPECT_EQ(Pelmor->MainGrid->Cells(2, 2), "1");
  EXPECT_EQ(Pelmor->windowTitle(), "Pelmor : " + Dir.filePath("good.txt"));
  const QString caption = Pelmor->windowTitle();

  // A refused file leaves matrix, file name and caption as they were.
  Write("bad.txt", "only one line\r\n");
  Script.FileAnswers.push_back(Dir.filePath("bad.txt"));
  Pelmor->Open1Click();
  EXPECT_EQ(Script.Messages.value(0), "Row and Column counts incorrect.");
  EXPECT_EQ(Pelmor->MainGrid->RowCount(), 3);
  EXPECT_EQ(Pelmor->MainGrid->Cells(1, 1), "1");
  EXPECT_EQ(Pelmor->FileName, Dir.filePath("good.txt"));
  EXPECT_EQ(Pelmor->windowTitle(), caption);

  // A missing file: "Error opening file." and the old file name kept.
  Script.FileAnswers.push_back(Dir.filePath("missing.txt"));
  Pelmor->Open1Click();
  EXPECT_EQ(Script.Messages.value(1), "Error opening file.");
  EXPECT_EQ(Pelmor->FileName, Dir.filePath("good.txt"));

  // Cancel changes nothing. The dialog offered no file name and text files first.
  Pelmor->Open1Click();
  EXPECT_EQ(Script.Messages.size(), 2);
  ASSERT_FALSE(Script.Log.empty());
  EXPECT_EQ(Script.Log.back().Kind, "open");
  EXPECT_EQ(Script.Log.back().Text, "Select an ASCII file to open.");
  EXPECT_EQ(Script.Log.back().InitialName, "");
  EXPECT_EQ(Script.Log.back().Filter, "Text files(*.txt)|*.txt|All files(*.*)|*.*");
  EXPECT_EQ(Pelmor->MainGrid->RowCount(), 3);
}

TEST_F(MainWindowTest, SaveGoesToSaveAsForUntitledAndWritesOtherwise) {
  // "Untitled.txt" in any folder goes to Save As; cancelling it writes nothing.
  Pelmor->Save1Click();
  ASSERT_FALSE(Script.Log.empty());
  EXPECT_EQ(Script.Log.back().Kind, "save");
  EXPECT_EQ(Script.Log.back().Text, "Select a file name.");
  EXPECT_EQ(Script.Log.back().InitialName, "data.txt");
  EXPECT_EQ(Script.Log.back().Filter, "Text files(*.txt)|*.txt|All files(*.*)|*.*");
  EXPECT_FALSE(QFile::exists(Dir.filePath("Untitled.txt")));

  Pelmor->MainGrid->SetCells(1, 1, "Anolis carolinensis");
  Script.FileAnswers.push_back(Dir.filePath("mine.txt"));
  Pelmor->Save1Click();
  EXPECT_EQ(Pelmor->FileName, Dir.filePath("mine.txt"));
  EXPECT_EQ(Pelmor->windowTitle(), "Pelmor : " + Dir.filePath("mine.txt"));
  const QByteArray bytes = Read("mine.txt");
  EXPECT_TRUE(bytes.startsWith("species site1 site2 site3 site4 site5\r\nspecies1 Anolis_carolinensis 0 0 0 0\r\n"));
  EXPECT_TRUE(bytes.endsWith("species5 0 0 0 0 0\r\n"));

  // With a real name, Save writes at once without a dialog.
  const size_t prompts = Script.Log.size();
  Pelmor->MainGrid->SetCells(2, 2, "7");
  Pelmor->Save1Click();
  EXPECT_EQ(Script.Log.size(), prompts);
  EXPECT_TRUE(Read("mine.txt").contains("species2 0 7 0 0 0\r\n"));

  // Save As onto an unwritable target reports and keeps the old name.
  ASSERT_TRUE(QDir(Dir.path()).mkdir("locked.txt"));
  Script.FileAnswers.push_back(Dir.filePath("locked.txt"));
  Pelmor->Save2Click();
  EXPECT_EQ(Script.Messages.value(0), "Error writing file.");
  EXPECT_EQ(Pelmor->FileName, Dir.filePath("mine.txt"));
}

TEST_F(MainWindowTest, NewAndCloseGiveTheDefaultMatrixWithTheirCaptions) {
  Pelmor->MainGrid->SetSize(3, 9);
  Script.Answers = {TMsgResult::No};
  Pelmor->Close1Click();
  EXPECT_EQ(Pelmor->MainGrid->RowCount(), 6);
  EXPECT_EQ(Pelmor->FileName, "Untitled.txt");
  EXPECT_EQ(Pelmor->windowTitle(), "Pelmor : Untitled.txt");
  Pelmor->New1Click();  // nothing changed since Close: no question
  EXPECT_EQ(Script.Messages.size(), 1);
  EXPECT_EQ(Pelmor->FileName, QDir(Dir.path()).absoluteFilePath("Untitled.txt"));
  EXPECT_EQ(Pelmor->windowTitle(), "Pelmor..." + Pelmor->FileName);
}

// A changed matrix is never dropped without a word: New, Open, Close, Exit and batch
// mode ask first, and only Yes (with a save that worked) or No goes on.
TEST_F(MainWindowTest, ChangedMatrixIsOfferedForSavingBeforeItIsReplaced) {
  Write("mine.txt", "sp s1 s2\r\nA 1 0\r\nB 0 1\r\n");
  Write("other.txt", "sp t1\r\nC 1\r\n");
  const QString mine = Dir.filePath("mine.txt"), other = Dir.filePath("other.txt");
  const QString question = "Save changes to " + mine + "?";
  auto open = [&](const QString& Path) {
    Script.FileAnswers.push_back(Path);
    Pelmor->Open1Click();
  };
  open(mine);
  ASSERT_EQ(Pelmor->FileName, mine);
  // Typing, a resize, a transpose and a moved row all count as changes; locking the
  // titles does not.
  Pelmor->LockRowTitlesClick();
  Pelmor->LockRowTitlesClick();
  EXPECT_FALSE(Pelmor->GridModified());
  const std::vector<std::function<void()>> changes = {
      [] { Pelmor->MainGrid->SetCells(1, 1, "7"); },
      [] { Pelmor->MainGrid->SetSize(4, 3); },
      [] { Pelmor->TransposeMatrix1->trigger(); },
      [] { Pelmor->MainGrid->Model()->MoveRow(1, 2); },
  };
  for (const auto& change : changes) {
    change();
    EXPECT_TRUE(Pelmor->GridModified());
    Pelmor->MarkGridSaved();
  }
  open(mine);

  // Cancel, for each command, leaves matrix, name and caption as they were.
  Pelmor->MainGrid->SetCells(1, 1, "7");
  const QString caption = Pelmor->windowTitle();
  for (QAction* command : {Pelmor->New1, Pelmor->Open1, Pelmor->Close1, Pelmor->Batch1}) {
    Script.Messages.clear();
    Script.Answers = {TMsgResult::Cancel};
    Script.FileAnswers = {other};
    command->trigger();
    EXPECT_EQ(Script.Messages, QStringList{question}) << command->text().toStdString();
    EXPECT_EQ(Pelmor->MainGrid->Cells(1, 1), "7");
    EXPECT_EQ(Pelmor->FileName, mine);
    EXPECT_EQ(Pelmor->windowTitle(), caption);
    EXPECT_FALSE(Pelmor->BatchMode);
    EXPECT_FALSE(Pelmor->Batch1->isChecked());
  }
  Script.FileAnswers.clear();
  // Exit asks the save question in place of "Close Pelmor?"; Cancel keeps the window.
  Pelmor->show();
  Script.Messages.clear();
  Script.Answers = {TMsgResult::Cancel};
  QCloseEvent exit;
  QCoreApplication::sendEvent(Pelmor, &exit);
  EXPECT_FALSE(exit.isAccepted());
  EXPECT_EQ(Script.Messages, QStringList{question});
  EXPECT_TRUE(Pelmor->isVisible());
  Pelmor->hide();

  // Yes saves before the matrix goes; the new one comes in unchanged.
  Script.Messages.clear();
  Script.Answers = {TMsgResult::Yes};
  open(other);
  EXPECT_EQ(Script.Messages, QStringList{question});
  EXPECT_EQ(Read("mine.txt"), "sp s1 s2\r\nA 7 0\r\nB 0 1\r\n");
  EXPECT_EQ(Pelmor->FileName, other);
  EXPECT_FALSE(Pelmor->GridModified());

  // No drops the changes: the file keeps its text.
  Pelmor->MainGrid->SetCells(1, 1, "9");
  Script.Messages.clear();
  Script.Answers = {TMsgResult::No};
  Pelmor->New1Click();
  EXPECT_EQ(Script.Messages, QStringList{"Save changes to " + other + "?"});
  EXPECT_EQ(Read("other.txt"), "sp t1\r\nC 1\r\n");
  EXPECT_EQ(Pelmor->MainGrid->RowCount(), 6);

  // An untitled matrix goes through Save As; a cancelled Save As keeps everything.
  Pelmor->MainGrid->SetCells(1, 1, "3");
  Script.Messages.clear();
  Script.Answers = {TMsgResult::Yes};
  Pelmor->Close1Click();
  EXPECT_EQ(Script.Log.back().Kind, "save");
  EXPECT_EQ(Pelmor->MainGrid->Cells(1, 1), "3");
  EXPECT_TRUE(Pelmor->FileName.endsWith("/Untitled.txt"));
  // Answered, it saves there and goes on.
  Script.Answers = {TMsgResult::Yes};
  Script.FileAnswers = {Dir.filePath("saved.txt")};
  Pelmor->Close1Click();
  EXPECT_TRUE(Read("saved.txt").startsWith("species site1"));
  EXPECT_EQ(Pelmor->FileName, "Untitled.txt");
  EXPECT_EQ(Pelmor->MainGrid->Cells(1, 1), "0");

  // An unchanged matrix goes without a question, and so does batch mode.
  Script.Messages.clear();
  Pelmor->Batch1->trigger();
  EXPECT_TRUE(Pelmor->BatchMode);
  Pelmor->Batch1->trigger();
  EXPECT_FALSE(Pelmor->BatchMode);
  EXPECT_TRUE(Script.Messages.isEmpty());
}

// Saving onto a file that cannot take the whole text (a real write failure, small and
// large): the old file keeps every byte, and name, caption and unsaved state stay.
TEST_F(MainWindowTest, FailedSaveKeepsTheFileTheNameAndTheQuestion) {
  Write("mine.txt", "sp s1 s2\r\nA 1 0\r\nB 0 1\r\n");
  Script.FileAnswers = {Dir.filePath("mine.txt")};
  Pelmor->Open1Click();
  const QByteArray old = Read("mine.txt");
  const QString caption = Pelmor->windowTitle();
  for (const int cols : {20, 2000}) {  // about 2.6 KB and 200 KB of text
    Pelmor->MainGrid->SetSize(cols, 101);
    for (int r = 1; r <= 100; ++r) Pelmor->MainGrid->SetCells(1, r, "12345");
    Script.Messages.clear();
    {
      TFileSizeLimit limit(1000);
      EXPECT_FALSE(Pelmor->Save1Click());
    }
    EXPECT_EQ(Script.Messages, QStringList{"Error writing file."}) << cols;
    EXPECT_EQ(Read("mine.txt"), old) << cols;
    EXPECT_EQ(Pelmor->windowTitle(), caption);
    EXPECT_TRUE(Pelmor->GridModified());
    // Save As onto a new name: the name is not taken, no file of it is left.
    Script.Messages.clear();
    Script.FileAnswers = {Dir.filePath("new.txt")};
    {
      TFileSizeLimit limit(1000);
      EXPECT_FALSE(Pelmor->Save2Click());
    }
    EXPECT_EQ(Script.Messages, QStringList{"Error writing file."});
    EXPECT_FALSE(QFile::exists(Dir.filePath("new.txt")));
    EXPECT_EQ(Pelmor->FileName, Dir.filePath("mine.txt"));
    EXPECT_EQ(Pelmor->windowTitle(), caption);
  }
  // The failed save answered Yes to the question: nothing is replaced.
  Script.Messages.clear();
  Script.Answers = {TMsgResult::Yes};
  {
    TFileSizeLimit limit(1000);
    Pelmor->New1Click();
  }
  EXPECT_EQ(Script.Messages, (QStringList{"Save changes to " + Dir.filePath("mine.txt") + "?", "Error writing file."}));
  EXPECT_EQ(Pelmor->MainGrid->RowCount(), 101);
  EXPECT_EQ(Read("mine.txt"), old);
  Script.Answers = {TMsgResult::No};
  Pelmor->New1Click();
}

// As an ordinary user in a folder of his own: a file marked read-only is neither
// saved over (by Save As or by Save) nor taken as the matrix's name.
TEST_F(MainWindowTest, AFileMarkedReadOnlyIsNeverSavedOver) {
  Write("mine.txt", "sp s1 s2\r\nA 1 0\r\nB 0 1\r\n");
  Write("theirs.txt", "sp x\r\nC 5\r\n");
  for (const char* name : {"mine.txt", "theirs.txt"}) TOrdinaryUser::Own(Dir.filePath(name));
  TOrdinaryUser::Own(Dir.path());
  TOrdinaryUser::MarkReadOnly(Dir.filePath("theirs.txt"));
  Script.FileAnswers = {Dir.filePath("mine.txt")};
  Pelmor->Open1Click();
  const QByteArray mine = Read("mine.txt"), theirs = Read("theirs.txt");
  const QString caption = Pelmor->windowTitle();
  Pelmor->MainGrid->SetCells(1, 1, "9");
  {
    TOrdinaryUser user;
    Script.FileAnswers = {Dir.filePath("theirs.txt")};  // and Yes to the dialog's replace question
    EXPECT_FALSE(Pelmor->Save2Click());
    EXPECT_EQ(Script.Messages, QStringList{"Error writing file."});
    EXPECT_EQ(Pelmor->FileName, Dir.filePath("mine.txt"));
    EXPECT_EQ(Pelmor->windowTitle(), caption);
    EXPECT_TRUE(Pelmor->GridModified());
    // The matrix's own file, marked read-only since it was opened.
    TOrdinaryUser::MarkReadOnly(Dir.filePath("mine.txt"));
    Script.Messages.clear();
    EXPECT_FALSE(Pelmor->Save1Click());
    EXPECT_EQ(Script.Messages, QStringList{"Error writing file."});
    EXPECT_TRUE(Pelmor->GridModified());
    // Its owner lifts the mark: the same command saves.
    ASSERT_EQ(::chmod(QFile::encodeName(Dir.filePath("mine.txt")).constData(), 0644), 0);
    EXPECT_TRUE(Pelmor->Save1Click());
  }
  EXPECT_EQ(Read("theirs.txt"), theirs);
  EXPECT_EQ(QDir(Dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
            (QStringList{"mine.txt", "theirs.txt"}));
  EXPECT_NE(Read("mine.txt"), mine);
  EXPECT_TRUE(Read("mine.txt").startsWith("sp s1 s2\r\nA 9 0\r\n"));
  EXPECT_FALSE(Pelmor->GridModified());
}

TEST_F(MainWindowTest, BatchFileReaderSetsRunEnabledAndStopsOnBadFiles) {
  Write("b1.txt", "sp s1 s2\r\nA 1 0\r\nB 0 1\r\n");
  Pelmor->FileName = Dir.filePath("b1.txt");
  Pelmor->OpenBatchFile();
  EXPECT_TRUE(Pelmor->RunEnabled);
  EXPECT_EQ(Pelmor->MainGrid->RowCount(), 3);
  EXPECT_EQ(Pelmor->windowTitle(), "Pelmor : " + Dir.filePath("b1.txt"));

  Pelmor->FileName = Dir.filePath("gone.txt");
  Pelmor->OpenBatchFile();
  EXPECT_FALSE(Pelmor->RunEnabled);
  EXPECT_EQ(Script.Messages.value(0), Dir.filePath("gone.txt") + ": Error opening file.");

  Write("one.txt", "sp s1 s2\r\n");
  Pelmor->FileName = Dir.filePath("one.txt");
  Pelmor->OpenBatchFile();
  EXPECT_FALSE(Pelmor->RunEnabled);
  EXPECT_EQ(Script.Messages.value(1), "Row and Column counts incorrect.");
  EXPECT_EQ(Pelmor->MainGrid->RowCount(), 3);  // the last good matrix stays
}

TEST_F(MainWindowTest, ShowingTheWindowSelectsTheFailedRow) {
  Pelmor->ErrorRow = 3;
  Pelmor->show();
  EXPECT_EQ(Pelmor->MainGrid->Row(), 3);
  Pelmor->hide();
  Pelmor->ErrorRow = 0;
}
