#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <sys/stat.h>
#include <unistd.h>

#include "shell/DataFiles.h"
#include "tests/shell/FileSizeLimit.h"
#include "tests/shell/OrdinaryUser.h"

namespace {
QStringList Row(const TReadResult& R, int r) {
  QStringList out;
  for (int c = 0; c < R.Cols; ++c) out << CellString(R.Cells, c, r);
  return out;
}
void WriteBytes(const QString& Path, const QByteArray& Bytes) {
  QFile f(Path);
  ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  f.write(Bytes);
}
}  // namespace

TEST(DataFileReader, SeparatorsAndShapeFollowTheFirstLine) {
  // A comma and a blank separate cells alike.
  TReadResult r = ParseMatrixText("t,a b\r\nx 1 2\r\n");
  ASSERT_EQ(r.State, TReadResult::Ok);
  EXPECT_EQ(r.Rows, 2);
  EXPECT_EQ(r.Cols, 3);
  EXPECT_EQ(Row(r, 0), (QStringList{"t", "a", "b"}));
  TReadResult commas = ParseMatrixText("t,a b\r\nx,1,2\r\n");
  EXPECT_EQ(Row(commas, 1), Row(r, 1));

  // Two blanks give an empty middle cell; later lines never change the column count.
  TReadResult gaps = ParseMatrixText("a  b\r\n1 2 3 4 5\r\n9\r\n");
  ASSERT_EQ(gaps.State, TReadResult::Ok);
  EXPECT_EQ(gaps.Cols, 3);
  EXPECT_EQ(Row(gaps, 0), (QStringList{"a", "", "b"}));
  EXPECT_EQ(Row(gaps, 1), (QStringList{"1", "2", "3"}));
  EXPECT_EQ(Row(gaps, 2), (QStringList{"9", "", ""}));
  // A separator right before the line end gives an empty last cell.
  EXPECT_EQ(ParseMatrixText("a b \r\n1 2 3\r\n").Cols, 3);
}

TEST(DataFileReader, LineEndsOfEveryKindAndAnUnendedLastLine) {
  for (const char* text : {"s a b\r\nx 1 2\r\ny 3 4\r\n", "s a b\nx 1 2\ny 3 4\n", "s a b\rx 1 2\ry 3 4\r",
                           "s a b\r\nx 1 2\r\ny 3 4"}) {
    TReadResult r = ParseMatrixText(text);
    ASSERT_EQ(r.State, TReadResult::Ok) << text;
    EXPECT_EQ(r.Rows, 3) << text;
    EXPECT_EQ(r.Cols, 3) << text;
    EXPECT_EQ(Row(r, 2), (QStringList{"y", "3", "4"})) << text;
  }
  // Three ended lines and a fourth without a line end: four rows, none lost.
  EXPECT_EQ(ParseMatrixText("a b\r\n1 2\r\n3 4\r\n5 6").Rows, 4);
  // The byte after a lone CR is not swallowed.
  TReadResult cr = ParseMatrixText("a b\rxy 2\r");
  EXPECT_EQ(Row(cr, 1), (QStringList{"xy", "2"}));
  // Ctrl+Z ends the text.
  EXPECT_EQ(ParseMatrixText(QString("a b\r\n1 2\r\n") + QChar(26) + "junk junk\r\n").Rows, 2);
}

TEST(DataFileReader, RefusesTooFewRowsOrColumnsAndSurvivesGarbage) {
  EXPECT_EQ(ParseMatrixText("a b c\r\n").State, TReadResult::BadCounts);
  EXPECT_EQ(ParseMatrixText("a b c\r\n").Message, "Row and Column counts incorrect.");
  EXPECT_EQ(ParseMatrixText("a\r\nb\r\nc\r\n").State, TReadResult::BadCounts);
  EXPECT_EQ(ParseMatrixText("").State, TReadResult::BadCounts);
  QByteArray junk;
  for (int i = 0; i < 5000; ++i) junk.append(static_cast<char>((i * 7919) % 256));
  const TReadResult r = ParseMatrixText(DecodeText(junk));
  EXPECT_TRUE(r.State == TReadResult::Ok || r.State == TReadResult::BadCounts);
  for (const auto& row : GridTable(r.Cells)) EXPECT_EQ(static_cast<int>(row.size()), r.Cols);
}

TEST(DataFileReader, DecodesUtf8AndFallsBackToLatin1) {
  EXPECT_EQ(DecodeText(QByteArray("Anolis_\xc3\xa9t\xc3\xa9")), QString::fromUtf8("Anolis_\xc3\xa9t\xc3\xa9"));
  // 0xE9 alone is not UTF-8: read as Latin-1 e-acute.
  EXPECT_EQ(DecodeText(QByteArray("caf\xe9")), QString("caf") + QChar(0xE9));
}

TEST(DataFileReader, MissingTooLargeAndTooManyCells) {
  QTemporaryDir dir;
  EXPECT_EQ(ReadMatrixFile(dir.filePath("none.txt")).State, TReadResult::Missing);
  EXPECT_EQ(ReadMatrixFile(dir.filePath("none.txt")).Message, "Error opening file.");
  EXPECT_EQ(ReadMatrixFile(dir.path()).State, TReadResult::Missing);  // a folder is not a data file
  // Nor is a FIFO, which would never end (reading it would hang the window).
  ASSERT_EQ(::mkfifo(QFile::encodeName(dir.filePath("pipe.txt")).constData(), 0600), 0);
  EXPECT_EQ(ReadMatrixFile(dir.filePath("pipe.txt")).State, TReadResult::Missing);

  // More than ten million cells is refused before the grid is touched.
  QByteArray wide = "t";
  for (int i = 0; i < 200; ++i) wide += " c";
  wide += "\r\n";
  QByteArray many;
  many.reserve(wide.size() * 50000);
  for (int i = 0; i < 50000; ++i) many += wide;
  const QString path = dir.filePath("many.txt");
  WriteBytes(path, many);
  const TReadResult r = ReadMatrixFile(path);
  EXPECT_EQ(r.State, TReadResult::TooLarge);
  EXPECT_FALSE(r.Message.isEmpty());

  // One line of more than ten million cells is refused as well, and the cells are
  // counted as they are split, so the refusal never holds them all.
  const QString oneLine = QString(QStringLiteral("c ")).repeated(10'000'001);
  const TReadResult line = ParseMatrixText(oneLine);
  EXPECT_EQ(line.State, TReadResult::TooLarge);
  EXPECT_EQ(line.Cells.Rows(), 0);
  EXPECT_LT(line.Cells.MemoryBytes(), 64u);  // nothing beyond an empty string
}

TEST(DataFileWriter, WritesCrLfAndReadsBackWithTheSameShape) {
  TCellTable cells = {{"species", "site 1", "site,2"}, {"Anolis carolinensis", "1", ""}, {"b", "0", "1"}};
  const QByteArray bytes = MatrixFileBytes(cells, 3, 3);
  EXPECT_EQ(bytes, QByteArray("species site_1 site_2\r\nAnolis_carolinensis 1 \r\nb 0 1\r\n"));
  const TReadResult back = ParseMatrixText(DecodeText(bytes));
  ASSERT_EQ(back.State, TReadResult::Ok);
  EXPECT_EQ(back.Rows, 3);
  EXPECT_EQ(back.Cols, 3);
  EXPECT_EQ(Row(back, 1), (QStringList{"Anolis_carolinensis", "1", ""}));
  // Non-ASCII text survives as UTF-8.
  TCellTable accents = {{QString("esp") + QChar(0xE8) + "ce", "x"}, {"a", "1"}};
  EXPECT_EQ(CellString(ParseMatrixText(DecodeText(MatrixFileBytes(accents, 2, 2))).Cells, 0, 0), accents[0][0]);
}

TEST(DataFileWriter, EveryFailureKeepsTheOldFileWholeAndLeavesNothingBehind) {
  QTemporaryDir dir;
  const QString path = dir.filePath("keep.txt");
  const QByteArray old = QByteArray("species site1\r\n").repeated(40);  // 600 bytes
  WriteBytes(path, old);
  ASSERT_EQ(::chmod(QFile::encodeName(path).constData(), 0640), 0);
  auto content = [](const QString& Path) {
    QFile f(Path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
  };
  auto entries = [&] { return QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot); };

  // Writes that fail part way, as on a full disk: one far smaller than any write
  // buffer and one larger. Neither is reported as written, the old file keeps every
  // byte, and no temporary file is left beside it.
  for (const qsizetype size : {qsizetype(3000), qsizetype(200000)}) {
    {
      TFileSizeLimit limit(1024);
      EXPECT_FALSE(WriteFileSafely(path, QByteArray(size, 'x'))) << size;
    }
    EXPECT_EQ(content(path), old) << size;
    EXPECT_EQ(entries(), QStringList{"keep.txt"}) << size;
  }
  // A new file that cannot be written whole is not created at all.
  {
    TFileSizeLimit limit(1024);
    EXPECT_FALSE(WriteFileSafely(dir.filePath("new.txt"), QByteArray(5000, 'y')));
  }
  EXPECT_EQ(entries(), QStringList{"keep.txt"});

  // A write that succeeds replaces the text and keeps the file's permissions.
  ASSERT_TRUE(WriteFileSafely(path, "new content\r\n"));
  EXPECT_EQ(content(path), QByteArray("new content\r\n"));
  struct stat st {};
  ASSERT_EQ(::stat(QFile::encodeName(path).constData(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0640u);
  EXPECT_EQ(entries(), QStringList{"keep.txt"});

  // A folder that does not exist cannot be written; nothing is reported as saved.
  EXPECT_FALSE(WriteFileSafely(dir.filePath("no/such/dir/x.txt"), "x"));
  // A target that cannot be replaced (a folder of that name) fails and stays.
  ASSERT_TRUE(QDir(dir.path()).mkdir("folder.txt"));
  EXPECT_FALSE(WriteFileSafely(dir.filePath("folder.txt"), "x"));
  EXPECT_TRUE(QFileInfo(dir.filePath("folder.txt")).isDir());
}

// A rename needs only the folder's permission: the writer must itself refuse a file
// its user may not write, whatever the folder allows, and a link to such a file.
TEST(DataFileWriter, AFileTheUserMayNotWriteIsNeverReplaced) {
  QTemporaryDir dir;
  const QString locked = dir.filePath("locked.txt"), open = dir.filePath("open.txt");
  const QByteArray old = "species site1\r\nA 1\r\n";
  WriteBytes(locked, old);
  WriteBytes(open, old);
  ASSERT_TRUE(QFile::link(locked, dir.filePath("link.txt")));
  for (const QString& p : {dir.path(), locked, open}) TOrdinaryUser::Own(p);
  TOrdinaryUser::MarkReadOnly(locked);
  auto content = [](const QString& Path) {
    QFile f(Path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
  };
  {
    TOrdinaryUser user;
    EXPECT_FALSE(WriteFileSafely(locked, "replaced\r\n"));
    EXPECT_FALSE(WriteFileSafely(dir.filePath("link.txt"), "replaced\r\n"));
    // What the user may write is still written, in a folder of his own.
    EXPECT_TRUE(WriteFileSafely(open, "new\r\n"));
    EXPECT_TRUE(WriteFileSafely(dir.filePath("fresh.txt"), "new\r\n"));
    // A folder he may not write holds no new text, even for a file he may write.
    ASSERT_EQ(::chmod(QFile::encodeName(dir.path()).constData(), 0500), 0);
    EXPECT_FALSE(WriteFileSafely(open, "lost?"));
    ASSERT_EQ(::chmod(QFile::encodeName(dir.path()).constData(), 0700), 0);
  }
  EXPECT_EQ(content(locked), old);
  EXPECT_EQ(content(open), QByteArray("new\r\n"));
  struct stat st {};
  ASSERT_EQ(::lstat(QFile::encodeName(locked).constData(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0444u);
  ASSERT_EQ(::lstat(QFile::encodeName(dir.filePath("link.txt")).constData(), &st), 0);
  EXPECT_TRUE(S_ISLNK(st.st_mode));
  EXPECT_EQ(QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot | QDir::System),
            (QStringList{"fresh.txt", "link.txt", "locked.txt", "open.txt"}));
  // The superuser may write any file in place, so the writer lets him replace it too
  // (keeping its mark); an ordinary user may not.
  EXPECT_EQ(WriteFileSafely(locked, "replaced\r\n"), ::geteuid() == 0);
  EXPECT_EQ(content(locked), ::geteuid() == 0 ? QByteArray("replaced\r\n") : old);
  ASSERT_EQ(::stat(QFile::encodeName(locked).constData(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0444u);
}

// Found by fuzzing: a byte order mark is dropped only at the very start of a file.
// Decoding each cell with fromUtf8 dropped a mark that began a cell inside the file,
// and decoding a whole text dropped two marks at its start.
TEST(DataFileReader, OnlyTheMarkAtTheStartOfTheFileIsDropped) {
  const QString mark(QChar(0xFEFF));
  const TReadResult inside = ParseMatrixBytes("a \xEF\xBB\xBF" "b\r\n\xEF\xBB\xBF 1\r\n");
  ASSERT_EQ(inside.State, TReadResult::Ok);
  EXPECT_EQ(Row(inside, 0), (QStringList{"a", mark + "b"}));
  EXPECT_EQ(Row(inside, 1), (QStringList{mark, "1"}));
  const TReadResult twice = ParseMatrixBytes("\xEF\xBB\xBF\xEF\xBB\xBF" "a b\r\n1 2\r\n");
  ASSERT_EQ(twice.State, TReadResult::Ok);
  EXPECT_EQ(CellString(twice.Cells, 0, 0), mark + "a");
  EXPECT_EQ(DecodeText("\xEF\xBB\xBF\xEF\xBB\xBF" "a"), mark + "a");
  EXPECT_EQ(DecodeText("\xEF\xBB\xBF" "a"), "a");
}

// Found by fuzzing: a first cell that starts with a mark lost it when written and read
// back, since the mark then stood at the start of the file.
TEST(DataFileWriter, FirstCellStartingWithAMarkReadsBack) {
  const QString mark(QChar(0xFEFF));
  const TCellTable cells = {{mark + "sp", "x"}, {"a", "1"}};
  const TReadResult back = ParseMatrixBytes(MatrixFileBytes(cells, 2, 2).toStdString());
  ASSERT_EQ(back.State, TReadResult::Ok);
  EXPECT_EQ(CellString(back.Cells, 0, 0), mark + "sp");
  EXPECT_EQ(CellString(back.Cells, 1, 1), "1");
}

// The grid's compact cells hold what the table of strings holds, each short text once.
TEST(DataFileReader, CompactGridCellsMatchTheTableOfStrings) {
  const QByteArray bytes("species s\xc3\xa9te site2 a_rather_long_title\r\n"
                         "sp1 1 0 12345678\r\nsp2 0 1 123456789\r\nsp3 1\r\nsp4 0 1 123456789\r\n");
  const TReadResult r = ParseMatrixBytes(bytes.toStdString());
  ASSERT_EQ(r.State, TReadResult::Ok);
  const TGridCells cells = GridCells(r.Cells);
  const TCellTable table = GridTable(r.Cells);
  ASSERT_EQ(cells.Cols, 4);
  ASSERT_EQ(cells.Rows, 5);
  ASSERT_EQ(cells.Ids.size(), 20u);
  for (int row = 0; row < 5; ++row)
    for (int c = 0; c < 4; ++c)
      EXPECT_EQ(cells.Texts[cells.Ids[static_cast<size_t>(row * 4 + c)]], table[row][c]) << row << "," << c;
  EXPECT_EQ(cells.Texts[cells.Ids[5]], QString::fromUtf8("1"));
  EXPECT_EQ(cells.Texts[cells.Ids[4 + 1]], cells.Texts[cells.Ids[8 + 2]]);
  EXPECT_EQ(cells.Ids[4 + 1], cells.Ids[12 + 1]);  // "1" once
  EXPECT_EQ(cells.Ids[12 + 2], 0u);                // the missing cell is empty
  EXPECT_EQ(cells.Texts[cells.Ids[1]], QString::fromUtf8("s\xc3\xa9te"));
}
