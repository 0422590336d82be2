// Files with huge cells: the window answers at once and shows the text cut.
#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QHeaderView>
#include <QPixmap>

#include "platform/StringGrid.h"
#include "shell/DataFiles.h"
#include "tests/shell/GuiFixture.h"

namespace {
class HugeCellsTest : public TGuiFixture {
 protected:
  // The next test meets the default matrix, not ten million cells.
  void TearDown() override {
    Pelmor->New1Click();
    TGuiFixture::TearDown();
  }
  // Opens the file through File > Open, shows the window and paints it; the time taken.
  qint64 OpenAndShow(const QString& Name) {
    QElapsedTimer t;
    t.start();
    Script.FileAnswers.push_back(Dir.filePath(Name));
    Pelmor->Open1Click();
    Pelmor->show();
    QApplication::processEvents();
    Pelmor->grab();
    QApplication::processEvents();
    return t.elapsed();
  }
};
}  // namespace

// A file whose one title (or cell) is a megabyte long froze the window for seconds
// while the grid measured and elided the text.
TEST_F(HugeCellsTest, OneMegabyteTitleOpensWithinASecondAndIsShownCut) {
  const QByteArray title(1 << 20, 'T');
  for (int where = 0; where < 4; ++where) {
    SCOPED_TRACE(where);
    // The long text as the corner title, a column title, a row title and a data cell.
    QByteArray text;
    text += (where == 0 ? title : "species") + " " + (where == 1 ? title : "a") + " b\r\n";
    text += (where == 2 ? title : "s1") + " " + (where == 3 ? title : "1") + " 0\r\n";
    text += "s2 0 1\r\n";
    Write("huge.txt", text);
    EXPECT_LT(OpenAndShow("huge.txt"), 1000);
    const int c = where == 1 || where == 3 ? 1 : 0, r = where >= 2 ? 1 : 0;
    // The grid holds the whole text ...
    ASSERT_EQ(Pelmor->MainGrid->Cells(c, r), QString::fromLatin1(title));
  }
  // ... shows it cut, and gives the whole of it to the cell editor.
  TStringGridModel* m = Pelmor->MainGrid->Model();
  const QModelIndex cell = m->index(0, 0);  // grid cell (1, 1) under the fixed titles
  const QString shown = m->data(cell, Qt::DisplayRole).toString();
  EXPECT_LT(shown.size(), 1000);
  EXPECT_TRUE(QString::fromLatin1(title).startsWith(shown.chopped(1)));
  EXPECT_EQ(m->data(cell, Qt::EditRole).toString().size(), title.size());
  const QString tip = m->data(cell, Qt::ToolTipRole).toString();
  EXPECT_TRUE(tip.startsWith(QStringLiteral("TTTT")));
  EXPECT_LT(tip.size(), 10000);
  // Short texts keep no tooltip and show whole.
  EXPECT_FALSE(m->data(m->index(0, 1), Qt::ToolTipRole).isValid());
  EXPECT_EQ(m->data(m->index(0, 1), Qt::DisplayRole).toString(), "0");
  // Titles in the headers are cut the same way.
  Write("title.txt", "species " + title + "\r\ns1 1\r\n");
  EXPECT_LT(OpenAndShow("title.txt"), 1000);
  EXPECT_LT(m->headerData(0, Qt::Horizontal, Qt::DisplayRole).toString().size(), 1000);
  EXPECT_TRUE(m->headerData(0, Qt::Horizontal, Qt::ToolTipRole).isValid());
  EXPECT_LT(Pelmor->MainGrid->horizontalHeader()->sectionSize(0), 10000);
}

// A file at the cell limit (10,000 rows of 1,000 cells, 19 MB) shows its grid within
// a second, every cell where the file put it, and saves back unchanged.
TEST_F(HugeCellsTest, TenMillionCellsOpenWithinASecond) {
  QByteArray text;
  text.reserve(21 << 20);
  for (int r = 0; r < 10000; ++r) {
    text += r == 0 ? QByteArray("species") : "s" + QByteArray::number(r);
    for (int c = 1; c < 1000; ++c) text += (r + c) % 2 ? " 1" : " 0";
    text += "\r\n";
  }
  Write("tenmillion.txt", text);
  [[maybe_unused]] const qint64 openMs = OpenAndShow("tenmillion.txt");
#ifdef NDEBUG
  EXPECT_LT(openMs, 1000);  // an unoptimised (sanitizer) build takes seconds
#endif
  const TStringGrid& g = *Pelmor->MainGrid;
  ASSERT_EQ(g.ColCount(), 1000);
  ASSERT_EQ(g.RowCount(), 10000);
  EXPECT_EQ(g.Cells(0, 9999), "s9999");
  EXPECT_EQ(g.Cells(999, 9999), "0");  // (9999 + 999) is even
  EXPECT_EQ(g.Cells(998, 9999), "1");
  // "species", s1..s9999, "0" and "1", and the empty text: one string each.
  EXPECT_EQ(g.Model()->DistinctTexts(), 1u + 10000u + 2u);
  EXPECT_TRUE(MatrixFileBytes(*g.Model()) == text);
}
