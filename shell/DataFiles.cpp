#include "shell/DataFiles.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>
#include <algorithm>
#include <array>
#include <unordered_map>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#ifdef __GLIBC__
#include <malloc.h>
#endif

#include "platform/Latin1Qt.h"
#include "platform/StringGrid.h"

QString DecodeText(const QByteArray& Bytes) {
  const std::string_view view(Bytes.constData(), static_cast<size_t>(Bytes.size()));
  if (!IsValidUtf8(view)) return Latin1ToQString(Bytes);
  // One byte order mark at the start is dropped; a second one is a character.
  QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
  QString text = utf8.decode(Bytes);
  if (text.startsWith(QChar(0xFEFF))) text.remove(0, 1);
  return text;
}

QString CellString(const TCellText& Cells, int C, int R) {
  const std::string_view cell = Cells.Cell(C, R);
  if (cell.empty()) return {};
  if (!Cells.Utf8()) return Latin1ToQString(cell);
  // fromUtf8 drops a byte order mark at the start of what it decodes; inside a file
  // the mark is a character of the cell and stays.
  size_t marks = 0;
  while (cell.substr(marks * 3, 3) == "\xEF\xBB\xBF") ++marks;
  const std::string_view rest = cell.substr(marks * 3);
  QString text = QString::fromUtf8(rest.data(), static_cast<qsizetype>(rest.size()));
  if (marks > 0) text.prepend(QString(static_cast<qsizetype>(marks), QChar(0xFEFF)));
  return text;
}

TCellTable GridTable(const TCellText& Cells) {
  const int rows = Cells.Rows(), cols = Cells.Cols();
  TCellTable table(static_cast<size_t>(rows));
  // A grid of 10 million "0"s and "1"s would otherwise hold 10 million copies of
  // two strings; short texts are looked up and shared instead.
  std::unordered_map<std::string_view, QString> shared;
  constexpr size_t ShortText = 8, MaxShared = 4096;
  std::array<QString, 256> oneByte;  // the commonest case, looked up directly
  std::array<bool, 256> haveOne{};
  for (int r = 0; r < rows; ++r) {
    auto& row = table[static_cast<size_t>(r)];
    row.resize(static_cast<size_t>(cols));
    const int stored = Cells.StoredCells(r);
    for (int c = 0; c < stored; ++c) {
      const std::string_view cell = Cells.Cell(c, r);
      if (cell.empty()) continue;
      if (cell.size() == 1) {
        const auto b = static_cast<unsigned char>(cell[0]);
        if (!haveOne[b]) {
          oneByte[b] = CellString(Cells, c, r);
          haveOne[b] = true;
        }
        row[static_cast<size_t>(c)] = oneByte[b];
        continue;
      }
      if (cell.size() > ShortText) {
        row[static_cast<size_t>(c)] = CellString(Cells, c, r);
        continue;
      }
      const auto found = shared.find(cell);
      if (found != shared.end()) {
        row[static_cast<size_t>(c)] = found->second;
      } else {
        row[static_cast<size_t>(c)] = CellString(Cells, c, r);
        if (shared.size() < MaxShared) shared.emplace(cell, row[static_cast<size_t>(c)]);
      }
    }
  }
  return table;
}

TGridCells GridCells(const TCellText& Cells) {
  TGridCells out;
  out.Rows = Cells.Rows();
  out.Cols = Cells.Cols();
  out.Ids.assign(static_cast<size_t>(out.Rows) * static_cast<size_t>(out.Cols), 0);
  // Short texts are looked up and shared (a presence matrix is two texts); a longer
  // one is taken as it comes, so that a table of distinct texts needs no lookup table.
  std::unordered_map<std::string_view, quint32> shared;
  constexpr size_t ShortText = 8, MaxShared = 4096;
  std::array<quint32, 256> oneByte{};  // the commonest case, looked up directly
  const auto add = [&](int C, int R) {
    out.Texts.push_back(CellString(Cells, C, R));
    return static_cast<quint32>(out.Texts.size() - 1);
  };
  for (int r = 0; r < out.Rows; ++r) {
    quint32* row = out.Ids.data() + static_cast<size_t>(r) * static_cast<size_t>(out.Cols);
    const int stored = Cells.StoredCells(r);
    for (int c = 0; c < stored; ++c) {
      const std::string_view cell = Cells.Cell(c, r);
      if (cell.empty()) continue;
      if (cell.size() == 1) {
        quint32& id = oneByte[static_cast<unsigned char>(cell[0])];
        if (id == 0) id = add(c, r);
        row[c] = id;
      } else if (cell.size() > ShortText) {
        row[c] = add(c, r);
      } else if (const auto found = shared.find(cell); found != shared.end()) {
        row[c] = found->second;
      } else {
        row[c] = add(c, r);
        if (shared.size() < MaxShared) shared.emplace(cell, row[c]);
      }
    }
  }
  return out;
}

QByteArray MatrixFileBytes(const TCellTable& Cells, int Cols, int Rows) {
  static const QString empty;
  Rows = std::min(Rows, static_cast<int>(Cells.size()));
  return MatrixFileBytes(
      [&](int C, int R) -> const QString& {
        const auto& row = Cells[static_cast<size_t>(R)];
        return C < static_cast<int>(row.size()) ? row[static_cast<size_t>(C)] : empty;
      },
      Cols, Rows);
}

namespace {
// Freed blocks of a refused read go back to the system at once, not at the next
// allocation that happens to trim the heap.
void GiveMemoryBack() {
#ifdef __GLIBC__
  malloc_trim(0);
#endif
}

const QString TooManyCellsMessage = QStringLiteral("The file has more than 10,000,000 cells and cannot be opened.");
}  // namespace

TReadResult ParseCellBytes(std::string Bytes, bool Commas) {
  TReadResult res;
  const TCellText::TStatus status = res.Cells.Parse(std::move(Bytes), Commas, MaxDataFileCells);
  if (status != TCellText::Ok) {
    res.State = TReadResult::TooLarge;
    res.Message = TooManyCellsMessage;
    GiveMemoryBack();
    return res;
  }
  res.Rows = res.Cells.Rows();
  res.Cols = res.Cells.Cols();
  return res;
}

TReadResult ParseCellTable(const QString& Text, bool Commas) {
  const QByteArray utf8 = Text.toUtf8();
  return ParseCellBytes(std::string(utf8.constData(), static_cast<size_t>(utf8.size())), Commas);
}

TReadResult ParseMatrixBytes(std::string Bytes) {
  TReadResult res = ParseCellBytes(std::move(Bytes), true);
  if (res.State != TReadResult::Ok) return res;
  if (res.Rows < 2 || res.Cols < 2) {
    res.State = TReadResult::BadCounts;
    res.Message = QStringLiteral("Row and Column counts incorrect.");
  }
  return res;
}

TReadResult ParseMatrixText(const QString& Text) {
  const QByteArray utf8 = Text.toUtf8();
  return ParseMatrixBytes(std::string(utf8.constData(), static_cast<size_t>(utf8.size())));
}

TReadResult ReadMatrixFile(const QString& Path) {
  std::string bytes;
  TReadResult res = ReadFileBytes(Path, bytes);
  if (res.State != TReadResult::Ok) return res;
  return ParseMatrixBytes(std::move(bytes));
}

TReadResult ReadCellFile(const QString& Path, bool Commas) {
  std::string bytes;
  TReadResult res = ReadFileBytes(Path, bytes);
  if (res.State != TReadResult::Ok) return res;
  return ParseCellBytes(std::move(bytes), Commas);
}

TReadResult ReadFileBytes(const QString& Path, std::string& Bytes) {
  TReadResult res;
  Bytes.clear();
  QFileInfo info(Path);
  // Only a regular file (or a link that reaches one) is read: a FIFO or a device
  // would never end.
  if (!info.exists() || !info.isFile()) {
    res.State = TReadResult::Missing;
    res.Message = QStringLiteral("Error opening file.");
    return res;
  }
  if (info.size() > MaxDataFileBytes) {
    res.State = TReadResult::TooLarge;
    res.Message = QStringLiteral("The file is larger than 256 MB and cannot be opened.");
    return res;
  }
  QFile file(Path);
  if (!file.open(QIODevice::ReadOnly)) {
    res.State = TReadResult::Unreadable;
    res.Message = QStringLiteral("Error opening file.");
    return res;
  }
  // Read into one buffer of the size found; a file that grew meanwhile is read on
  // (and refused all the same when it passed the limit).
  Bytes.resize(static_cast<size_t>(info.size()));
  size_t got = 0;
  bool failed = false;
  while (got < Bytes.size()) {
    const qint64 n = file.read(Bytes.data() + got, static_cast<qint64>(Bytes.size() - got));
    if (n <= 0) {
      failed = n < 0;
      break;
    }
    got += static_cast<size_t>(n);
  }
  Bytes.resize(got);
  if (!failed && got == static_cast<size_t>(info.size())) {
    const QByteArray more = file.read(MaxDataFileBytes + 1 - static_cast<qint64>(got));
    if (!more.isEmpty()) Bytes.append(more.constData(), static_cast<size_t>(more.size()));
  }
  if (failed) {
    std::string().swap(Bytes);
    res.State = TReadResult::Unreadable;
    res.Message = QStringLiteral("Error opening file.");
    GiveMemoryBack();
    return res;
  }
  if (Bytes.size() > static_cast<size_t>(MaxDataFileBytes)) {
    std::string().swap(Bytes);
    res.State = TReadResult::TooLarge;
    res.Message = QStringLiteral("The file is larger than 256 MB and cannot be opened.");
    GiveMemoryBack();
    return res;
  }
  return res;
}

TReadResult ReadTextFile(const QString& Path, QString& Text) {
  std::string bytes;
  TReadResult res = ReadFileBytes(Path, bytes);
  if (res.State == TReadResult::Ok) Text = DecodeText(QByteArray::fromStdString(bytes));
  return res;
}

QString CellForFile(const QString& Cell) {
  QString out = Cell;
  for (QChar& ch : out)
    if (ch == ' ' || ch == ',' || ch == '\r' || ch == '\n' || ch == QChar(26)) ch = '_';
  return out;
}

QByteArray MatrixFileBytes(const TStringGridModel& Grid) {
  return MatrixFileBytes([&](int C, int R) -> const QString& { return Grid.Cell(C, R); }, Grid.ColCount(),
                         Grid.RowCount());
}

QByteArray MatrixFileBytes(const std::function<const QString&(int C, int R)>& Cell, int Cols, int Rows) {
  QString text;
  for (int r = 0; r < Rows; ++r) {
    for (int c = 0; c < Cols; ++c) {
      text += CellForFile(Cell(c, r));
      if (c < Cols - 1) text += ' ';
    }
    text += QStringLiteral("\r\n");
  }
  // A first cell that starts with a byte order mark would lose it on reading, where
  // a mark at the start of the file is dropped: one more mark is written before it.
  if (text.startsWith(QChar(0xFEFF))) text.prepend(QChar(0xFEFF));
  return text.toUtf8();
}
namespace {
// Writes every byte, going on after a short write; false on the first failure.
bool WriteAll(int Fd, const char* Data, size_t Size) {
  while (Size > 0) {
    const ssize_t n = ::write(Fd, Data, Size);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    if (n == 0) return false;
    Data += n;
    Size -= static_cast<size_t>(n);
  }
  return true;
}

// The mode a new file gets: what the old file had, else read-write for everyone the
// user's file-creation mask lets through (as any newly created file).
mode_t NewFileMode(const QByteArray& Target) {
  struct stat old {};
  if (::stat(Target.constData(), &old) == 0 && S_ISREG(old.st_mode)) return old.st_mode & 07777;
  // The mask can only be read by setting it: done once, not around every write.
  static const mode_t mask = [] {
    const mode_t m = ::umask(0);
    ::umask(m);
    return m;
  }();
  return 0666 & ~mask;
}
}  // namespace

bool WriteFileSafely(const QString& Path, const QByteArray& Bytes) {
  // A link is written through: the file it points to is replaced, the link stays.
  QFileInfo info(Path);
  const QString target = info.isSymLink() && info.exists() ? info.canonicalFilePath() : info.absoluteFilePath();
  const QFileInfo targetInfo(target);
  const QByteArray finalName = QFile::encodeName(target);
  if (targetInfo.exists()) {
    // Only a regular file (or none yet) is replaced: never a folder or a device.
    if (!targetInfo.isFile()) return false;
    // The rename below needs only the folder's permission: a file the running user may
    // not write (marked read-only, or someone else's) would be replaced all the same.
    // The system is asked for this user's right to write the file itself.
    if (::faccessat(AT_FDCWD, finalName.constData(), W_OK, AT_EACCESS) != 0) return false;
  }
  // The new text goes to a temporary file in the same folder, so that the rename
  // that puts it in place is atomic: the old file is there whole until then.
  QByteArray temp = QFile::encodeName(targetInfo.absolutePath() + QStringLiteral("/.") + targetInfo.fileName() +
                                      QStringLiteral(".pelmor-XXXXXX"));
  const int fd = ::mkstemp(temp.data());
  if (fd < 0) return false;
  bool ok = WriteAll(fd, Bytes.constData(), static_cast<size_t>(Bytes.size()));
  // Every failure counts: a write, the mode, the flush to disk and the close.
  ok = ok && ::fchmod(fd, NewFileMode(finalName)) == 0;
  ok = ok && ::fsync(fd) == 0;
  ok = ::close(fd) == 0 && ok;
  ok = ok && ::rename(temp.constData(), finalName.constData()) == 0;
  if (!ok) ::unlink(temp.constData());
  return ok;
}
