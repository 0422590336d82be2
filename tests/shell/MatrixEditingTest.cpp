// The Edit menu's grid commands and File > "Abou&t file": resizing through the dialog,
// the size checks, transposing, locking titles.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>

#include "core/PelmorRandom.h"
#include "memo/PelMemoWidget.h"
#include "shell/DataFiles.h"
#include "shell/PelmorAdvancedEditor.h"
#include "shell/PelmorRestructureMatrix.h"
#include "tests/shell/GuiFixture.h"

namespace {

class MatrixEditingTest : public TGuiFixture {
 protected:
  void SetUp() override {
    TGuiFixture::SetUp();
    Pelmor->New1Click();  // 5 data rows x 5 data columns
  }
  // Plays the user's part in the resize dialog: types the counts and presses a button.
  void Answer(const QString& Rows, const QString& Cols, bool Ok = true) {
    Script.OnModal = [=](QWidget* w) {
      auto* d = qobject_cast<TPelmorRedoMatrix*>(w);
      ASSERT_NE(d, nullptr);
      d->RowsEdit->setText(Rows);
      d->ColsEdit->setText(Cols);
      (Ok ? d->OKButton : d->CancelButton)->click();
    };
  }
  TStringGrid& Grid() { return *Pelmor->MainGrid; }
};

TEST_F(MatrixEditingTest, AddedRowsTakeRandomTitlesAndZeroCells) {
  RandSeed = 1;
  Answer(QStringLiteral("7"), QStringLiteral("5"));
  Pelmor->ResizeMatrix1->trigger();
  EXPECT_TRUE(Script.Messages.isEmpty());
  ASSERT_EQ(Grid().RowCount(), 8);
  ASSERT_EQ(Grid().ColCount(), 6);
  // From seed 1 the generator gives 134775814 / 2^32 = 0.0313799395...,
  // then 3698175007 / 2^32 = 0.8610484672... (worked out with exact integers).
  EXPECT_EQ(Grid().Cells(0, 6), QStringLiteral("species0.0313799"));
  EXPECT_EQ(Grid().Cells(0, 7), QStringLiteral("species0.8610485"));
  for (int c = 1; c <= 5; ++c) {
    EXPECT_EQ(Grid().Cells(c, 6), QStringLiteral("0"));
    EXPECT_EQ(Grid().Cells(c, 7), QStringLiteral("0"));
  }
  EXPECT_EQ(Grid().Cells(5, 0), QStringLiteral("site5"));  // no column added
  EXPECT_EQ(Grid().Cells(0, 5), QStringLiteral("species5"));
}

TEST_F(MatrixEditingTest, RowsAreTitledBeforeColumns) {
  RandSeed = 1;
  Answer(QStringLiteral("6"), QStringLiteral("6"));
  Pelmor->ResizeMatrix1->trigger();
  EXPECT_EQ(Grid().Cells(0, 6), QStringLiteral("species0.0313799"));
  EXPECT_EQ(Grid().Cells(6, 0), QStringLiteral("site0.8610485"));
  EXPECT_EQ(Grid().Cells(6, 6), QStringLiteral("0"));
}

TEST_F(MatrixEditingTest, ShrinkingDropsRowsAndColumnsAndKeepsTheRest) {
  Grid().SetCells(2, 2, QStringLiteral("7"));
  Grid().SetCells(5, 5, QStringLiteral("9"));
  Answer(QStringLiteral("3"), QStringLiteral("2"));
  Pelmor->ResizeMatrix1->trigger();
  ASSERT_EQ(Grid().RowCount(), 4);
  ASSERT_EQ(Grid().ColCount(), 3);
  EXPECT_EQ(Grid().Cells(2, 2), QStringLiteral("7"));
  EXPECT_EQ(Grid().FixedRows(), 1);
  EXPECT_EQ(Grid().FixedCols(), 1);
}

TEST_F(MatrixEditingTest, CellLimitIsInclusiveAndChecked) {
  EXPECT_FALSE(RestructureGrid(Grid(), 5, 5, 302, 800));
  EXPECT_EQ(Script.Messages, QStringList{QStringLiteral("1 < Cell limits < 241101, e.g. 301x801.")});
  EXPECT_EQ(Grid().RowCount(), 6);
  EXPECT_EQ(Grid().ColCount(), 6);
  EXPECT_TRUE(RestructureGrid(Grid(), 5, 5, 301, 801));
  EXPECT_EQ(Grid().RowCount(), 302);
  EXPECT_EQ(Grid().ColCount(), 802);
  EXPECT_EQ(Grid().Cells(801, 301), QStringLiteral("0"));
}

TEST_F(MatrixEditingTest, ProductIsComputedWithoutOverflow) {
  // 65536 x 65537 wraps to 65536 in 32 bits, which would pass the limit.
  EXPECT_FALSE(RestructureGrid(Grid(), 5, 5, 65536, 65537));
  EXPECT_EQ(Script.Messages.size(), 1);
  EXPECT_EQ(Grid().RowCount(), 6);
  EXPECT_FALSE(RestructureGrid(Grid(), 5, 5, -3, -4));
  EXPECT_EQ(Script.Messages.last(), QStringLiteral("Rows must be >= 1"));
  EXPECT_EQ(Grid().RowCount(), 6);
}

TEST_F(MatrixEditingTest, ZeroColumnsResizesOnlyTheRows) {
  Answer(QStringLiteral("7"), QStringLiteral("0"));
  Pelmor->ResizeMatrix1->trigger();
  EXPECT_EQ(Script.Messages, QStringList{QStringLiteral("Cols must be >= 1")});
  EXPECT_EQ(Grid().RowCount(), 8);
  EXPECT_EQ(Grid().ColCount(), 6);
}

TEST_F(MatrixEditingTest, ZeroRowsStoresNothing) {
  Answer(QStringLiteral("0"), QStringLiteral("9"));
  Pelmor->ResizeMatrix1->trigger();
  EXPECT_EQ(Script.Messages, QStringList{QStringLiteral("Rows must be >= 1")});
  EXPECT_EQ(Grid().RowCount(), 6);
  EXPECT_EQ(Grid().ColCount(), 6);
}

TEST_F(MatrixEditingTest, CancelChangesNothing) {
  Answer(QStringLiteral("9"), QStringLiteral("9"), false);
  Pelmor->ResizeMatrix1->trigger();
  EXPECT_EQ(Grid().RowCount(), 6);
  EXPECT_EQ(Grid().ColCount(), 6);
}

TEST_F(MatrixEditingTest, TheDialogShowsTheCurrentCountsAndFile) {
  Grid().SetSize(4, 9);
  Script.OnModal = [](QWidget* w) {
    auto* d = qobject_cast<TPelmorRedoMatrix*>(w);
    EXPECT_EQ(d->windowTitle(), QStringLiteral("Resize Matrix"));
    EXPECT_EQ(d->RowsEdit->text(), QStringLiteral("8"));
    EXPECT_EQ(d->ColsEdit->text(), QStringLiteral("3"));
    EXPECT_EQ(d->FileEdit->text(), Pelmor->FileName);
    EXPECT_FALSE(d->RowsEdit->isReadOnly());
    EXPECT_FALSE(d->CancelButton->isHidden());
    d->CancelButton->click();
  };
  Pelmor->ResizeMatrix1->trigger();
  EXPECT_EQ(Script.Log.size(), 1u);
}

// What the user types at each opening goes into the row box, whatever control had the
// focus when the dialog last closed.
TEST_F(MatrixEditingTest, EveryOpeningPutsTheFocusInTheRowBox) {
  auto type = [](const QString& Text) {
    for (const QChar ch : Text) {
      QWidget* target = PelmorRedoMatrix->focusWidget();
      ASSERT_NE(target, nullptr);
      QKeyEvent press(QEvent::KeyPress, Qt::Key_0 + (ch.unicode() - '0'), Qt::NoModifier, QString(ch));
      QApplication::sendEvent(target, &press);
    }
  };
  int opening = 0;
  Script.OnModal = [&](QWidget* w) {
    auto* d = qobject_cast<TPelmorRedoMatrix*>(w);
    ASSERT_NE(d, nullptr);
    ++opening;
    EXPECT_EQ(d->focusWidget(), d->RowsEdit) << "opening " << opening;
    type(QString::number(5 + opening));  // replaces the count shown
    // The user leaves by another control each time: the focus moves with them.
    QWidget* last = opening == 2 ? static_cast<QWidget*>(d->ColsEdit) : d->OKButton;
    last->setFocus();
    d->OKButton->click();
  };
  for (int i = 1; i <= 3; ++i) {
    Pelmor->ResizeMatrix1->trigger();
    EXPECT_EQ(Grid().RowCount(), 5 + i + 1) << "opening " << i;
  }
  EXPECT_EQ(opening, 3);
}

TEST_F(MatrixEditingTest, AboutFileIsReadOnlyAndResizesNothing) {
  Script.OnModal = [](QWidget* w) {
    auto* d = qobject_cast<TPelmorRedoMatrix*>(w);
    EXPECT_EQ(d->windowTitle(), QStringLiteral("About ") + Pelmor->FileName);
    EXPECT_TRUE(d->RowsEdit->isReadOnly());
    EXPECT_TRUE(d->ColsEdit->isReadOnly());
    EXPECT_TRUE(d->CancelButton->isHidden());
    EXPECT_EQ(d->RowsEdit->text(), QStringLiteral("5"));
    d->RowsEdit->setText(QStringLiteral("9"));  // programmatic text: still nothing is stored
    d->OKButton->click();
  };
  Pelmor->AboutFile1->trigger();
  EXPECT_EQ(Grid().RowCount(), 6);
  // The resize dialog afterwards is editable again, with its own caption.
  Script.OnModal = [](QWidget* w) {
    auto* d = qobject_cast<TPelmorRedoMatrix*>(w);
    EXPECT_EQ(d->windowTitle(), QStringLiteral("Resize Matrix"));
    EXPECT_FALSE(d->RowsEdit->isReadOnly());
    EXPECT_FALSE(d->CancelButton->isHidden());
    d->CancelButton->click();
  };
  Pelmor->ResizeMatrix1->trigger();
}

TEST_F(MatrixEditingTest, TransposeSwapsCellsAndTwiceRestores) {
  Grid().SetSize(3, 4);  // 3 columns, 4 rows
  for (int r = 0; r < 4; ++r)
    for (int c = 0; c < 3; ++c) Grid().SetCells(c, r, QStringLiteral("%1,%2").arg(c).arg(r));
  const auto before = Grid().Table();
  Pelmor->TransposeMatrix1->trigger();
  ASSERT_EQ(Grid().ColCount(), 4);
  ASSERT_EQ(Grid().RowCount(), 3);
  for (int r = 0; r < 3; ++r)
    for (int c = 0; c < 4; ++c) EXPECT_EQ(Grid().Cells(c, r), QStringLiteral("%1,%2").arg(r).arg(c));
  EXPECT_EQ(Grid().FixedRows(), 1);
  EXPECT_EQ(Grid().FixedCols(), 1);
  Pelmor->TransposeMatrix1->trigger();
  EXPECT_EQ(Grid().Table(), before);
}

// A transpose moves each cell's index into the grid's texts: no text is interned again
// (one held twice stays twice, one an edit left behind stays), every cell reads its
// mirror cell's text, a cell edited just before goes along, and two transposes save
// the same bytes. It counts as a change unless every cell reads as before.
TEST_F(MatrixEditingTest, TransposeMovesTheCellsWithTheirTextsAsInterned) {
  // 4 columns x 3 rows: "0" and "1" in several cells, unique titles, and one long text
  // held under two indices (as read from a file).
  const QString longText = QStringLiteral("a long text");
  Grid().SetCells(TGridCells{{QString(), "sp", "s1", "s2", "s3", "A", "B", "0", "1", longText, longText},
                             {1, 2, 3, 4, 5, 7, 8, 9, 6, 8, 7, 10},
                             4,
                             3});
  Grid().SetCells(3, 2, QStringLiteral("two words"));  // the second long text is used no more
  Pelmor->MarkGridSaved();
  const TGridCells before = Grid().Model()->CompactCells();
  const QByteArray saved = MatrixFileBytes(*Grid().Model());
  const auto was = [&before](int C, int R) { return before.Ids[static_cast<size_t>(R * before.Cols + C)]; };

  Pelmor->TransposeMatrix1->trigger();
  const TGridCells after = Grid().Model()->CompactCells();
  ASSERT_EQ(after.Cols, 3);
  ASSERT_EQ(after.Rows, 4);
  EXPECT_EQ(after.Texts, before.Texts);
  for (int r = 0; r < 4; ++r)
    for (int c = 0; c < 3; ++c) {
      EXPECT_EQ(after.Ids[static_cast<size_t>(r * 3 + c)], was(r, c)) << c << "," << r;
      EXPECT_EQ(Grid().Cells(c, r), before.Texts[was(r, c)]) << c << "," << r;
    }
  EXPECT_EQ(Grid().Cells(2, 3), QStringLiteral("two words"));
  EXPECT_EQ(Grid().Cells(1, 0), QStringLiteral("A"));
  EXPECT_EQ(Grid().Cells(0, 3), QStringLiteral("s3"));
  EXPECT_EQ(Grid().FixedCols(), 1);
  EXPECT_EQ(Grid().FixedRows(), 1);
  EXPECT_TRUE(Pelmor->GridModified());
  Pelmor->TransposeMatrix1->trigger();
  EXPECT_EQ(Grid().Model()->CompactCells().Ids, before.Ids);
  EXPECT_EQ(MatrixFileBytes(*Grid().Model()), saved);

  // A square grid that is its own mirror image, its titles too, the long text under
  // another index on each side: every cell reads as before, so nothing changed. Once
  // one cell differs from its mirror cell, the transpose is a change.
  Grid().SetCells(TGridCells{{QString(), "sp", "A", "B", "0", longText, longText}, {1, 2, 3, 2, 4, 5, 3, 6, 4}, 3, 3});
  Pelmor->MarkGridSaved();
  Pelmor->TransposeMatrix1->trigger();
  EXPECT_EQ(Grid().Cells(2, 1), longText);
  EXPECT_FALSE(Pelmor->GridModified());
  Grid().SetCells(1, 2, QStringLiteral("1"));
  Pelmor->MarkGridSaved();
  Pelmor->TransposeMatrix1->trigger();
  EXPECT_EQ(Grid().Cells(2, 1), QStringLiteral("1"));
  EXPECT_TRUE(Pelmor->GridModified());
}

TEST_F(MatrixEditingTest, LockItemsToggleTheFixedTitles) {
  ASSERT_TRUE(Pelmor->LockRowTitles1->isChecked());
  Pelmor->LockRowTitles1->trigger();
  EXPECT_FALSE(Pelmor->LockRowTitles1->isChecked());
  EXPECT_EQ(Grid().FixedCols(), 0);
  EXPECT_EQ(Grid().FixedRows(), 1);
  Pelmor->LockRowTitles1->trigger();
  EXPECT_TRUE(Pelmor->LockRowTitles1->isChecked());
  EXPECT_EQ(Grid().FixedCols(), 1);
  Pelmor->LockColumnTitles1->trigger();
  EXPECT_FALSE(Pelmor->LockColumnTitles1->isChecked());
  EXPECT_EQ(Grid().FixedRows(), 0);
  // A new matrix fixes both again.
  Pelmor->New1Click();
  EXPECT_TRUE(Pelmor->LockColumnTitles1->isChecked());
  EXPECT_EQ(Grid().FixedRows(), 1);
}

TEST_F(MatrixEditingTest, ACellBeingTypedIsKeptByMenuCommandsGivenByShortcut) {
  // The user types into a cell and, without Enter, gives a menu command by its key:
  // the focus stays in the cell, and the typed value must still reach the grid first.
  Pelmor->show();
  QApplication::processEvents();
  auto typeInto = [this](int C, int R, const QString& Text) {
    const QModelIndex at = Grid().Model()->index(R - Grid().FixedRows(), C - Grid().FixedCols());
    Grid().setCurrentIndex(at);
    Grid().edit(at);
    auto* editor = qobject_cast<QLineEdit*>(Grid().indexWidget(at));
    ASSERT_NE(editor, nullptr);
    editor->setText(Text);
  };
  typeInto(1, 2, QStringLiteral("5"));
  Pelmor->TransposeMatrix1->trigger();
  EXPECT_EQ(Grid().Cells(2, 1), QStringLiteral("5"));  // species2 / site1, turned
  EXPECT_EQ(Grid().Cells(1, 2), QStringLiteral("0"));
  typeInto(3, 3, QStringLiteral("7"));
  std::string text;
  Script.OnModal = [&text](QWidget* w) {
    if (auto* e = qobject_cast<TPelmorEditor*>(w)) {
      text = e->Memo1->GetText();
      e->close();
    }
  };
  Pelmor->EditMatrixAsText1->trigger();
  EXPECT_NE(text.find("site3 0 0 7 0 0\r\n"), std::string::npos) << text;
  Pelmor->hide();
}

TEST_F(MatrixEditingTest, ACellEditorLeavesCtrlCommandsToTheWindowButKeepsCopyAndPaste) {
  Pelmor->show();
  QApplication::processEvents();
  const QModelIndex at = Grid().Model()->index(0, 0);
  Grid().setCurrentIndex(at);
  Grid().edit(at);
  QWidget* editor = Grid().indexWidget(at);
  ASSERT_NE(editor, nullptr);
  // A line editor under X11 claims Ctrl+A, B, D, E, F, H and K for itself (its own
  // line-end and such); this stand-in claims every Ctrl key as that one does.
  struct TClaimAll : QObject {
    bool eventFilter(QObject*, QEvent* E) override {
      if (E->type() == QEvent::ShortcutOverride) E->accept();
      return false;
    }
  } claim;
  editor->installEventFilter(&claim);
  // The shortcut map asks the focused widget first whether it wants the key itself.
  auto wants = [editor](int Key) {
    QKeyEvent e(QEvent::ShortcutOverride, Key, Qt::ControlModifier);
    e.ignore();
    QApplication::sendEvent(editor, &e);
    return e.isAccepted();
  };
  EXPECT_FALSE(wants(Qt::Key_E));  // "&Edit matrix as text"
  EXPECT_FALSE(wants(Qt::Key_T));  // "&Transpose matrix"
  EXPECT_FALSE(wants(Qt::Key_B));  // "&Batch ... on/off"
  EXPECT_TRUE(wants(Qt::Key_C));   // copy stays with the text being typed
  EXPECT_TRUE(wants(Qt::Key_V));
  EXPECT_TRUE(wants(Qt::Key_Z));
  editor->removeEventFilter(&claim);
  Grid().CommitEdit();
  Pelmor->hide();
}

}  // namespace
