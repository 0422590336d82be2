// Edit > "&Edit matrix as text": the grid through a temporary copy into the editor,
// the editor's commands and shortcuts, the closing question, and the grid rebuilt
// from the text.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QElapsedTimer>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <functional>

#include "memo/PelMemoWidget.h"
#include "platform/Clipboard.h"
#include "shell/PelmorAdvancedEditor.h"
#include "shell/PelmorRestructureMatrix.h"
#include "tests/shell/FileSizeLimit.h"
#include "tests/shell/GuiFixture.h"

namespace {

const QString SaveQuestion = QStringLiteral("Save changes to the main grid?");

std::vector<QString> Paths;
bool RecordOpen(const QString& Path) {
  Paths.push_back(Path);
  return true;
}

class MatrixTextEditorTest : public TGuiFixture {
 protected:
  void SetUp() override {
    TGuiFixture::SetUp();
    ASSERT_NE(PelmorEditor, nullptr);
    Pelmor->New1Click();
    PelmorEditor->ChangesAccepted = false;
    PelmorEditor->Memo1->ScrollTime = 0;
    // The temporary copies go to a folder of this test's own.
    OldTmp = qgetenv("TMPDIR");
    HadTmp = qEnvironmentVariableIsSet("TMPDIR");
    ASSERT_TRUE(Tmp.isValid());
    qputenv("TMPDIR", QFile::encodeName(Tmp.path()));
  }
  void TearDown() override {
    if (HadTmp)
      qputenv("TMPDIR", OldTmp);
    else
      qunsetenv("TMPDIR");
    Pelmor->hide();
    TGuiFixture::TearDown();
  }
  // The temporary copies present now, with their texts.
  QList<QByteArray> TempCopies() const {
    QList<QByteArray> out;
    const QDir tmp(Tmp.path());
    for (const QString& name : tmp.entryList(QDir::Files | QDir::Hidden)) {
      QFile f(tmp.filePath(name));
      out << (name.startsWith("PELMOR_TEMP-") && name.endsWith(".$$$") && f.open(QIODevice::ReadOnly)
                  ? f.readAll()
                  : "unexpected file " + name.toUtf8());
    }
    return out;
  }
  TStringGrid& Grid() { return *Pelmor->MainGrid; }
  TPelMemo& Memo() { return *PelmorEditor->Memo1; }

  // Opens the editor on the grid; Play acts as the user while it is up.
  void Edit(const std::function<void(TPelmorEditor&)>& Play) {
    Shown = false;
    Script.OnModal = [this, Play](QWidget* w) {
      auto* e = qobject_cast<TPelmorEditor*>(w);
      ASSERT_NE(e, nullptr);
      Shown = true;
      e->activateWindow();
      e->Memo1->setFocus();
      QApplication::processEvents();
      Play(*e);
    };
    Pelmor->EditMatrixAsText1->trigger();
  }
  // A key pressed in a widget, as the keyboard delivers it (window shortcuts first).
  static void Key(QWidget* W, int K, Qt::KeyboardModifiers Mods = Qt::NoModifier) {
    QKeyEvent e(QEvent::KeyPress, K, Mods);
    QApplication::sendEvent(W, &e);
  }
  void SetGrid(const TCellTable& Cells) {
    Grid().SetTable(Cells, static_cast<int>(Cells[0].size()));
  }

  bool Shown = false;
  QTemporaryDir Tmp;
  QByteArray OldTmp;
  bool HadTmp = false;
};

// The main window's 5 x 5 default as the writer lays it out (worked by hand).
const std::string DefaultText =
    "species site1 site2 site3 site4 site5\r\n"
    "species1 0 0 0 0 0\r\n"
    "species2 0 0 0 0 0\r\n"
    "species3 0 0 0 0 0\r\n"
    "species4 0 0 0 0 0\r\n"
    "species5 0 0 0 0 0\r\n";

TEST_F(MatrixTextEditorTest, EditorWindowMemoAndMenus) {
  TPelmorEditor& e = *PelmorEditor;
  EXPECT_EQ(e.windowTitle(), QStringLiteral("Pelmor -- Edit matrix as text"));
  EXPECT_FALSE(Memo().WordWrap);
  EXPECT_EQ(Memo().GetScrollBars(), TScrollStyle::ssBoth);
  EXPECT_EQ(Memo().GetOptions(),
            uint32_t(pmoWrapCaret | pmoInsertKeyActive | pmoWideOverwriteCaret | pmoAutoScrollBars | pmoBlockSelection));
  EXPECT_EQ(Memo().GetUndoMaxSpace(), 65536);
  const QList<QAction*> bar = e.MainMenu1->actions();
  ASSERT_EQ(bar.size(), 3);
  EXPECT_EQ(bar[0]->text(), QStringLiteral("&Edit"));
  EXPECT_EQ(bar[1]->text(), QStringLiteral("&Close"));
  EXPECT_EQ(bar[2]->text(), QStringLiteral("&Help"));
  EXPECT_EQ(bar[2]->shortcut(), QKeySequence(Qt::Key_F1));
  QStringList items, keys;
  for (QAction* a : e.Edit1->actions()) {
    items << a->text();
    keys << a->shortcut().toString(QKeySequence::PortableText);
  }
  EXPECT_EQ(items, (QStringList{"&Undo", "Cu&t", "&Copy", "&Paste", "Se&lect all", "&Tabs to spaces"}));
  EXPECT_EQ(keys, (QStringList{"Ctrl+Z", "Ctrl+X", "Ctrl+C", "Ctrl+V", "", "Ctrl+T"}));
}

TEST_F(MatrixTextEditorTest, OpensWithTheMatrixUnmodifiedThroughATemporaryCopyItRemoves) {
  std::string text;
  bool modified = true;
  QList<QByteArray> copies;
  Edit([&](TPelmorEditor& e) {
    text = e.Memo1->GetText();
    modified = e.Memo1->Modified;
    copies = TempCopies();
    e.close();
  });
  EXPECT_TRUE(Shown);
  EXPECT_EQ(text, DefaultText);
  EXPECT_FALSE(modified);
  EXPECT_TRUE(Script.Messages.isEmpty());  // nothing changed: no question
  // The copy is the data file as Save writes it, kept in the temporary folder while
  // the editor is open and gone when it closes; nothing lands among the data files.
  EXPECT_EQ(copies, QList<QByteArray>{QByteArray::fromStdString(DefaultText)});
  EXPECT_TRUE(TempCopies().isEmpty());
  EXPECT_TRUE(QDir(Dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot).isEmpty());
}

TEST_F(MatrixTextEditorTest, PastingTabsAppendsAtTheEndAsBlanksAndNoKeepsTheGrid) {
  QGuiApplication::clipboard()->setText(QStringLiteral("extra\t1\t2\nmore\t3\t4\n"));
  std::string text;
  bool modified = false, visibleAfter = true;
  Script.Answers = {TMsgResult::No};
  Edit([&](TPelmorEditor& e) {
    e.Memo1->SetSelStart(3);  // the caret in the first line: the paste still goes to the end
    Key(e.Memo1, Qt::Key_V, Qt::ControlModifier);
    text = e.Memo1->GetText();
    modified = e.Memo1->Modified;
    Key(e.Memo1, Qt::Key_Escape);
    visibleAfter = e.isVisible();
  });
  EXPECT_EQ(text, DefaultText + "extra 1 2\r\nmore 3 4\r\n");
  EXPECT_TRUE(modified);
  EXPECT_FALSE(visibleAfter);
  EXPECT_EQ(Script.Messages, QStringList{SaveQuestion});
  EXPECT_FALSE(PelmorEditor->ChangesAccepted);
  EXPECT_EQ(Grid().RowCount(), 6);
  EXPECT_EQ(Grid().Cells(0, 5), QStringLiteral("species5"));
}

TEST_F(MatrixTextEditorTest, YesRebuildsTheGridWithThePastedRows) {
  QGuiApplication::clipboard()->setText(QStringLiteral("extra\t1\t2\r\nmore\t3\t4\t5\t6\t7\t8"));
  Script.Answers = {TMsgResult::Yes};
  Edit([&](TPelmorEditor& e) { e.Close1->trigger(); });
  // Unchanged: closing asked nothing.
  EXPECT_TRUE(Script.Messages.isEmpty());
  Edit([&](TPelmorEditor& e) {
    e.Paste1->trigger();
    e.Close1->trigger();
  });
  EXPECT_EQ(Script.Messages, QStringList{SaveQuestion});
  EXPECT_TRUE(PelmorEditor->ChangesAccepted);
  ASSERT_EQ(Grid().RowCount(), 8);
  ASSERT_EQ(Grid().ColCount(), 6);
  EXPECT_EQ(Grid().Cells(0, 6), QStringLiteral("extra"));
  EXPECT_EQ(Grid().Cells(2, 6), QStringLiteral("2"));
  EXPECT_EQ(Grid().Cells(3, 6), QString());  // the short line's missing cells are empty
  EXPECT_EQ(Grid().Cells(5, 7), QStringLiteral("7"));  // 8 lies beyond the columns
  EXPECT_EQ(Grid().Cells(5, 5), QStringLiteral("0"));
  EXPECT_EQ(Grid().FixedRows(), 1);
  EXPECT_EQ(Grid().FixedCols(), 1);
}

TEST_F(MatrixTextEditorTest, GridToTextToGridIsTheIdentityAlsoWithAccentedNames) {
  const TCellTable cells = {
      {"species", QString::fromUtf8("Ærø"), QString::fromUtf8("Côte-d'Or"), "site3"},
      {QString::fromUtf8("Lycæna"), "1", "0", "12"},
      {QString::fromUtf8("naïve_ß"), "0", "", "3"},
      {QString::fromUtf8("µ-moth"), "x\ty", "0", QString::fromUtf8("ÿ")},
  };
  SetGrid(cells);
  Script.Answers = {TMsgResult::Yes};
  std::string text;
  QList<QByteArray> copies;
  Edit([&](TPelmorEditor& e) {
    text = e.Memo1->GetText();
    copies = TempCopies();
    Key(e.Memo1, Qt::Key_T, Qt::ControlModifier);  // marks the text changed (the inner TAB becomes a blank)
    e.close();
  });
  // The memo holds Latin-1 bytes: AE = C6, o slash = F8, o circumflex = F4, ...
  EXPECT_EQ(text,
            "species \xC6r\xF8 C\xF4te-d'Or site3\r\n"
            "Lyc\xE6na 1 0 12\r\n"
            "na\xEFve_\xDF 0  3\r\n"
            "\xB5-moth x\ty 0 \xFF\r\n");
  // The temporary file is the data file as Save writes it: UTF-8.
  ASSERT_EQ(copies.size(), 1);
  EXPECT_EQ(copies[0].left(15), QByteArray("species \xC3\x86r\xC3\xB8 C"));
  TCellTable expected = cells;
  expected[3][1] = "x";  // the TAB became a blank, which separates cells
  expected[3][2] = "y";
  expected[3][3] = "0";  // the row's fifth cell lies beyond the columns
  EXPECT_EQ(Grid().Table(), expected);

  // Without the TAB the way there and back changes nothing.
  Script.Answers = {TMsgResult::Yes};
  Edit([&](TPelmorEditor& e) {
    e.TabsToSpaces1->trigger();
    e.close();
  });
  EXPECT_EQ(Grid().Table(), expected);
}

TEST_F(MatrixTextEditorTest, ShortenedAndEmptyLinesClearTheirCells) {
  Script.Answers = {TMsgResult::Yes};
  Edit([&](TPelmorEditor& e) {
    e.Memo1->Lines.SetTextStr(
        "species site1 site2 site3\r\n"
        "sp1 1\r\n"
        "\r\n"
        "sp3 1 2 3 4 5\r\n"
        "  a b\r\n"
        "\t\tlead in\tner\r\n");
    e.close();
  });
  EXPECT_EQ(Script.Messages, QStringList{SaveQuestion});
  const TCellTable expected = {
      {"species", "site1", "site2", "site3"},
      {"sp1", "1", "", ""},
      {"", "", "", ""},
      {"sp3", "1", "2", "3"},
      {"", "", "a", "b"},
      {"lead", "in\tner", "", ""},
  };
  EXPECT_EQ(Grid().Table(), expected);
}

TEST_F(MatrixTextEditorTest, EmptyTextLeavesOneEmptyCell) {
  Script.Answers = {TMsgResult::Yes};
  Edit([&](TPelmorEditor& e) {
    e.Memo1->SelectAll();
    e.Memo1->ClearSelection();
    e.ConvertTabsToSpaces();  // no line: nothing to convert
    e.close();
  });
  EXPECT_EQ(Grid().RowCount(), 1);
  EXPECT_EQ(Grid().ColCount(), 1);
  EXPECT_EQ(Grid().Cells(0, 0), QString());
}

TEST_F(MatrixTextEditorTest, TextAboveTheCellLimitIsRefusedAndTheGridKept) {
  // 10001 blanks make 10002 columns; with 1000 lines that is 10,002,000 cells.
  std::string text = "t" + std::string(10001, ' ') + "\r\n";
  for (int i = 1; i < 1000; ++i) text += "r\r\n";
  Script.Answers = {TMsgResult::Yes};
  Edit([&](TPelmorEditor& e) {
    e.Memo1->Lines.SetTextStr(text);
    e.close();
  });
  ASSERT_EQ(Script.Messages.size(), 2);
  EXPECT_EQ(Script.Messages[1], QStringLiteral("The text has more than 10,000,000 cells and cannot be turned into a grid."));
  EXPECT_EQ(Grid().RowCount(), 6);
  EXPECT_EQ(Grid().ColCount(), 6);
  EXPECT_EQ(Grid().Cells(5, 5), QStringLiteral("0"));
}

// A copy that cannot be written whole (a full disk) or at all (a folder nobody can
// write, not even the super-user) opens no editor, so no "Yes" can blank the grid.
TEST_F(MatrixTextEditorTest, CopyThatCannotBeWrittenOpensNoEditor) {
  PelmorEditor->LoadText("stale text\r\n");
  {
    TFileSizeLimit limit(64);
    Edit([](TPelmorEditor& e) { e.close(); });
  }
  EXPECT_FALSE(Shown);
  EXPECT_EQ(Script.Messages, QStringList{QStringLiteral("Error writing file.")});
  EXPECT_EQ(Memo().GetText(), "stale text\r\n");
  EXPECT_TRUE(TempCopies().isEmpty());

  qputenv("TMPDIR", "/proc");
  Edit([](TPelmorEditor& e) { e.close(); });
  EXPECT_FALSE(Shown);
  EXPECT_EQ(Script.Messages, (QStringList{"Error writing file.", "Error writing file."}));
  EXPECT_EQ(Grid().RowCount(), 6);
  EXPECT_EQ(Grid().Cells(5, 5), QStringLiteral("0"));
}

TEST_F(MatrixTextEditorTest, CharactersOutsideLatin1AreNotOpened) {
  Grid().SetCells(1, 1, QString::fromUtf8("Ω"));
  Edit([](TPelmorEditor& e) { e.close(); });
  EXPECT_FALSE(Shown);
  EXPECT_EQ(Script.Messages, QStringList{QStringLiteral("The matrix holds characters the text editor cannot show.")});
  EXPECT_EQ(Grid().Cells(1, 1), QString::fromUtf8("Ω"));
}

TEST_F(MatrixTextEditorTest, NulInACellShowsAsUnderscoreAndKeepsTheRest) {
  Grid().SetCells(2, 1, QStringLiteral("a") + QChar(0) + QStringLiteral("b"));
  std::string text;
  Edit([&](TPelmorEditor& e) {
    text = e.Memo1->GetText();
    e.close();
  });
  std::string expected = DefaultText;
  expected.replace(expected.find("species1 0 0"), 12, "species1 0 a_b");
  EXPECT_EQ(text, expected);
}

TEST_F(MatrixTextEditorTest, ShiftInsertAndTheContextMenuPasteAtTheCaret) {
  QGuiApplication::clipboard()->setText(QStringLiteral("Q"));
  std::string afterShiftInsert, afterMenu;
  Script.Answers = {TMsgResult::No};
  Edit([&](TPelmorEditor& e) {
    e.Memo1->SetSelStart(0);
    Key(e.Memo1, Qt::Key_Insert, Qt::ShiftModifier);
    afterShiftInsert = e.Memo1->GetText();
    e.Memo1->SetSelStart(0);
    QMenu* popup = e.Memo1->DefaultPopup();
    for (QAction* a : popup->actions())
      if (a->text() == QStringLiteral("&Paste")) a->trigger();
    afterMenu = e.Memo1->GetText();
    e.close();
  });
  EXPECT_EQ(afterShiftInsert, "Q" + DefaultText);
  EXPECT_EQ(afterMenu, "QQ" + DefaultText);
}

TEST_F(MatrixTextEditorTest, EditorKeysWinOverTheMemoAndTheMainWindow) {
  // Outside the editor, Ctrl+C in the grid is the main window's "lock &Column titles".
  Pelmor->show();
  Pelmor->activateWindow();
  QApplication::processEvents();
  ASSERT_TRUE(Pelmor->LockColumnTitles1->isChecked());
  Key(Pelmor->MainGrid, Qt::Key_C, Qt::ControlModifier);
  ASSERT_FALSE(Pelmor->LockColumnTitles1->isChecked());
  Key(Pelmor->MainGrid, Qt::Key_C, Qt::ControlModifier);
  ASSERT_TRUE(Pelmor->LockColumnTitles1->isChecked());

  QGuiApplication::clipboard()->clear();
  std::string copied, afterCut, afterUndo, afterTabs;
  Script.Answers = {TMsgResult::No};
  Edit([&](TPelmorEditor& e) {
    e.Memo1->SetSelStart(0);
    e.Memo1->SetSelLength(7);  // "species"
    Key(e.Memo1, Qt::Key_C, Qt::ControlModifier);
    ReadClipboardText(copied);
    Key(e.Memo1, Qt::Key_X, Qt::ControlModifier);  // the main window's Exit would ask "Close Pelmor?"
    afterCut = e.Memo1->GetText();
    Key(e.Memo1, Qt::Key_Z, Qt::ControlModifier);
    afterUndo = e.Memo1->GetText();
    e.Memo1->SetSelStart(0);
    QKeyEvent tab(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier, QStringLiteral("\t"));
    QApplication::sendEvent(e.Memo1, &tab);
    Key(e.Memo1, Qt::Key_T, Qt::ControlModifier);  // the main window's Transpose would turn the grid
    afterTabs = e.Memo1->GetText();
    e.close();
  });
  EXPECT_EQ(copied, "species");
  EXPECT_EQ(afterCut, DefaultText.substr(7));
  EXPECT_EQ(afterUndo, DefaultText);
  EXPECT_EQ(afterTabs, " " + DefaultText);
  EXPECT_EQ(Script.Messages, QStringList{SaveQuestion});
  EXPECT_TRUE(Pelmor->LockColumnTitles1->isChecked());
  EXPECT_EQ(Grid().Cells(0, 1), QStringLiteral("species1"));  // not transposed
}

TEST_F(MatrixTextEditorTest, F1OpensTheHelpPage) {
  const QString home = Pelmor->HomeDir;
  Pelmor->HomeDir = Dir.path();
  Write(QStringLiteral("MainFrame.htm"), "<html></html>");
  Paths.clear();
  SetOpenDocumentHandler(&RecordOpen);
  Edit([&](TPelmorEditor& e) {
    Key(e.Memo1, Qt::Key_F1);
    e.close();
  });
  SetOpenDocumentHandler(nullptr);
  Pelmor->HomeDir = home;
  ASSERT_EQ(Paths.size(), 1u);
  EXPECT_TRUE(Paths[0].endsWith(QStringLiteral("MainFrame.htm")));
  EXPECT_TRUE(Script.Messages.isEmpty());
}

TEST_F(MatrixTextEditorTest, UnchangedEditorKeepsTheEarlierAnswer) {
  // A cell with a blank comes back from the text as two words joined by "_": that
  // shows whether the grid was rebuilt.
  auto useUnchanged = [&] {
    Grid().SetCells(1, 1, QStringLiteral("two words"));
    Script.Messages.clear();
    Edit([](TPelmorEditor& e) { e.close(); });
    EXPECT_TRUE(Script.Messages.isEmpty());
  };
  Script.Answers = {TMsgResult::Yes};
  Edit([](TPelmorEditor& e) {
    e.TabsToSpaces1->trigger();
    e.close();
  });
  ASSERT_TRUE(PelmorEditor->ChangesAccepted);
  useUnchanged();
  EXPECT_EQ(Grid().Cells(1, 1), QStringLiteral("two_words"));  // rebuilt again

  Script.Answers = {TMsgResult::No};
  Edit([](TPelmorEditor& e) {
    e.TabsToSpaces1->trigger();
    e.close();
  });
  ASSERT_FALSE(PelmorEditor->ChangesAccepted);
  useUnchanged();
  EXPECT_EQ(Grid().Cells(1, 1), QStringLiteral("two words"));  // left alone
}

// After an earlier Yes, closing the editor on unchanged text rebuilds the grid: that
// alone leaves nothing to save, while a rebuild that alters a cell still does.
TEST_F(MatrixTextEditorTest, ARebuildIsOfferedForSavingOnlyWhenItAltersACell) {
  Write("mine.txt", "sp s1 s2\r\nA 1 0\r\nB 0 1\r\n");
  Script.FileAnswers = {Dir.filePath("mine.txt")};
  Pelmor->Open1Click();
  QGuiApplication::clipboard()->setText(QStringLiteral("C 1 1"));
  Script.Answers = {TMsgResult::Yes};
  Edit([](TPelmorEditor& e) {
    e.Paste1->trigger();
    e.Close1->trigger();
  });
  ASSERT_TRUE(PelmorEditor->ChangesAccepted);
  ASSERT_EQ(Grid().RowCount(), 4);
  ASSERT_TRUE(Pelmor->Save1Click());
  const QByteArray saved = Read("mine.txt");
  EXPECT_EQ(saved, QByteArray("sp s1 s2\r\nA 1 0\r\nB 0 1\r\nC 1 1\r\n"));

  Script.Messages.clear();
  Edit([](TPelmorEditor& e) { e.close(); });
  Pelmor->New1Click();
  EXPECT_TRUE(Script.Messages.isEmpty()) << Script.Messages.join("|").toStdString();
  EXPECT_EQ(Grid().RowCount(), 6);  // the default matrix

  // A saved cell with a blank comes back from the text as "_": that is a change.
  Script.FileAnswers = {Dir.filePath("mine.txt")};
  Pelmor->Open1Click();
  Grid().SetCells(1, 1, QStringLiteral("two words"));
  ASSERT_TRUE(Pelmor->Save1Click());
  Edit([](TPelmorEditor& e) { e.close(); });
  EXPECT_EQ(Grid().Cells(1, 1), QStringLiteral("two_words"));
  Script.Messages.clear();
  Script.Answers = {TMsgResult::Cancel};
  Pelmor->New1Click();
  EXPECT_EQ(Script.Messages, QStringList{"Save changes to " + Dir.filePath("mine.txt") + "?"});
  EXPECT_EQ(Grid().Cells(1, 1), QStringLiteral("two_words"));
  DefaultMatrix();
}

TEST(SplitEditorLine, EveryBlankEndsACellAndLeadingControlsAreDropped) {
  using V = std::vector<std::string_view>;
  EXPECT_EQ(SplitEditorLine(""), V{""});
  EXPECT_EQ(SplitEditorLine("a"), V{"a"});
  EXPECT_EQ(SplitEditorLine("  a b"), (V{"", "", "a", "b"}));
  EXPECT_EQ(SplitEditorLine("a "), (V{"a", ""}));
  EXPECT_EQ(SplitEditorLine("\t\x01x\ty,z"), V{"x\ty,z"});  // commas do not separate here
}

TEST_F(MatrixTextEditorTest, LargestMatrixOpensAndComesBackQuickly) {
  // 301 data rows x 801 data columns: the largest matrix a resize allows.
  TCellTable cells(302, std::vector<QString>(802, QStringLiteral("1")));
  for (int r = 0; r < 302; ++r) cells[r][0] = QStringLiteral("species") + QString::number(r);
  for (int c = 0; c < 802; ++c) cells[0][c] = QStringLiteral("site") + QString::number(c);
  for (int r = 1; r < 302; r += 2)
    for (int c = 1; c < 802; c += 3) cells[r][c] = QStringLiteral("0");
  SetGrid(cells);
  QElapsedTimer clock;
  qint64 openMs = 0;
  Script.Answers = {TMsgResult::Yes};
  clock.start();
  Edit([&](TPelmorEditor& e) {
    openMs = clock.elapsed();
    e.Memo1->Modified = true;
    e.close();
    clock.restart();
  });
  const qint64 rebuildMs = clock.elapsed();
  EXPECT_EQ(Grid().Table(), cells);

  // The same matrix pasted from a spreadsheet (TABs between cells) after the text.
  QString sheet;
  for (int r = 0; r < 302; ++r) {
    for (int c = 0; c < 802; ++c) {
      if (c > 0) sheet += QLatin1Char('\t');
      sheet += cells[r][c];
    }
    sheet += QLatin1Char('\n');
  }
  QGuiApplication::clipboard()->setText(sheet);
  qint64 pasteMs = 0;
  int32_t linesAfterPaste = 0;
  Script.Answers = {TMsgResult::No};
  Edit([&](TPelmorEditor& e) {
    clock.restart();
    e.Paste1Click();
    pasteMs = clock.elapsed();
    linesAfterPaste = e.Memo1->ParaStrings.Count();
    e.close();
  });
  EXPECT_EQ(linesAfterPaste, 2 * 302);
  clock.restart();
  TransformMatrix(Grid());
  const qint64 transposeMs = clock.elapsed();
  EXPECT_EQ(Grid().RowCount(), 802);
  clock.restart();
  RestructureGrid(Grid(), 301, 801, 600, 400);
  const qint64 resizeMs = clock.elapsed();
  RecordProperty("open_ms", static_cast<int>(openMs));
  RecordProperty("rebuild_ms", static_cast<int>(rebuildMs));
  RecordProperty("paste_ms", static_cast<int>(pasteMs));
  RecordProperty("transpose_ms", static_cast<int>(transposeMs));
  RecordProperty("resize_ms", static_cast<int>(resizeMs));
#ifdef NDEBUG
  EXPECT_LT(openMs, 1000);
  EXPECT_LT(rebuildMs, 1000);
  EXPECT_LT(pasteMs, 1000);
#endif
}

TEST_F(MatrixTextEditorTest, PasteAfterALastLineWithoutBreakStartsANewRow) {
  // The user removed the text's last line break; the pasted rows must not run on
  // into the last row ("species5 0 0 0 0 0extra 1 2").
  QGuiApplication::clipboard()->setText(QStringLiteral("extra\t1\t2\t3\t4\t5\n"));
  std::string text;
  Script.Answers = {TMsgResult::Yes};
  Edit([&](TPelmorEditor& e) {
    e.Memo1->SetSelStart(e.Memo1->GetTextLength());
    Key(e.Memo1, Qt::Key_Backspace);
    e.Paste1->trigger();
    text = e.Memo1->GetText();
    e.Close1->trigger();
  });
  EXPECT_EQ(text, DefaultText + "extra 1 2 3 4 5\r\n");
  ASSERT_EQ(Grid().RowCount(), 7);
  EXPECT_EQ(Grid().Cells(5, 5), QStringLiteral("0"));
  EXPECT_EQ(Grid().Cells(0, 6), QStringLiteral("extra"));
  EXPECT_EQ(Grid().Cells(5, 6), QStringLiteral("5"));
}

TEST_F(MatrixTextEditorTest, ColumnBlockByShiftAltArrowsCopiesTheColumnsItCovers) {
  // Narrow and wide letters on two lines: the block is counted in characters, so the
  // text must be shown with every character one column wide for the shown block to
  // be the copied one.
  SetGrid({{"iiiiii", "1"}, {"WWWWWW", "2"}, {"......", "3"}});
  std::string copied;
  int32_t stop = -1;
  bool sameWidth = true;
  Script.Answers = {TMsgResult::No};
  Edit([&](TPelmorEditor& e) {
    const QFontMetrics fm(e.Memo1->font());
    for (const QChar ch : QStringLiteral("iW.1 0s"))
      if (fm.horizontalAdvance(ch) != e.Memo1->AvgCharWidth) sameWidth = false;
    e.Memo1->SetSelStart(1);
    const Qt::KeyboardModifiers block = Qt::ShiftModifier | Qt::AltModifier;
    Key(e.Memo1, Qt::Key_Down, block);
    Key(e.Memo1, Qt::Key_Down, block);
    for (int i = 0; i < 3; ++i) Key(e.Memo1, Qt::Key_Right, block);
    stop = e.Memo1->BlockStopColumn;
    Key(e.Memo1, Qt::Key_C, Qt::ControlModifier);
    ReadClipboardText(copied);
    e.close();
  });
  EXPECT_TRUE(sameWidth);
  EXPECT_EQ(stop, 4);
  EXPECT_EQ(copied, "iii\r\nWWW\r\n...\r\n");
}

TEST_F(MatrixTextEditorTest, EscapeWithItsControlCharacterClosesTheEditor) {
  // The keyboard delivers Escape with the character 27 as its text; the memo ignores
  // that character and the window must still see the key.
  bool visibleAfter = true;
  std::string text;
  Edit([&](TPelmorEditor& e) {
    QKeyEvent esc(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier, QString(QChar(27)));
    QApplication::sendEvent(e.Memo1, &esc);
    text = e.Memo1->GetText();
    visibleAfter = e.isVisible();
    if (visibleAfter) e.close();
  });
  EXPECT_FALSE(visibleAfter);
  EXPECT_EQ(text, DefaultText);
  EXPECT_TRUE(Script.Messages.isEmpty());  // nothing changed: no question
}

}  // namespace
