#include "shell/DataFiles.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringDecoder>

#include "core/TextLines.h"
#include "platform/Latin1Qt.h"

QString DecodeText(const QByteArray& Bytes) {
  QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
  QString text = utf8.decode(Bytes);
  if (!utf8.hasError()) {
    if (text.startsWith(QChar(0xFEFF))) text.remove(0, 1);
    return text;
  }
  return Latin1ToQString(Bytes);
}

TReadResult ParseCellTable(const QString& Whole, bool Commas) {
  TReadResult res;
  QString text = Whole;
  // Ctrl+Z marks the end of a text file.
  const qsizetype eof = text.indexOf(QChar(26));
  if (eof >= 0) text.truncate(eof);
  const std::u16string_view view(reinterpret_cast<const char16_t*>(text.utf16()), static_cast<size_t>(text.size()));

  bool first = true;
  qint64 cells = 0;
  bool tooMany = false;
  ForEachLine(view, [&](std::u16string_view line) {
    if (tooMany) return;
    std::vector<QString> row;
    size_t start = 0;
    for (size_t i = 0; i <= line.size(); ++i) {
      if (i == line.size() || line[i] == u' ' || (Commas && line[i] == u',')) {
        if (first || static_cast<int>(row.size()) < res.Cols) {
          // Counted as they come, so that one huge line is refused before it fills memory.
          if (cells + static_cast<qint64>(row.size()) >= MaxDataFileCells) {
            tooMany = true;
            return;
          }
          row.emplace_back(QString(reinterpret_cast<const QChar*>(line.data() + start), static_cast<qsizetype>(i - start)));
        }
        start = i + 1;
      }
    }
    if (first) {
      res.Cols = static_cast<int>(row.size());
      first = false;
    }
    row.resize(static_cast<size_t>(res.Cols));
    cells += res.Cols;
    if (cells > MaxDataFileCells) {
      tooMany = true;
      return;
    }
    res.Cells.push_back(std::move(row));
  });
  if (tooMany) {
    res.State = TReadResult::TooLarge;
    res.Message = QStringLiteral("The file has more than 10,000,000 cells and cannot be opened.");
    res.Cells.clear();
    return res;
  }
  res.Rows = static_cast<int>(res.Cells.size());
  return res;
}

TReadResult ParseMatrixText(const QString& Text) {
  TReadResult res = ParseCellTable(Text, true);
  if (res.State != TReadResult::Ok) return res;
  if (res.Rows < 2 || res.Cols < 2) {
    res.State = TReadResult::BadCounts;
    res.Message = QStringLiteral("Row and Column counts incorrect.");
  }
  return res;
}

TReadResult ReadMatrixFile(const QString& Path) {
  QString text;
  TReadResult res = ReadTextFile(Path, text);
  if (res.State != TReadResult::Ok) return res;
  return ParseMatrixText(text);
}

TReadResult ReadTextFile(const QString& Path, QString& Text) {
  TReadResult res;
  QFileInfo info(Path);
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
  Text = DecodeText(file.read(MaxDataFileBytes + 1));
  return res;
}

QString CellForFile(const QString& Cell) {
  QString out = Cell;
  for (QChar& ch : out)
    if (ch == ' ' || ch == ',' || ch == '\r' || ch == '\n' || ch == QChar(26)) ch = '_';
  return out;
}

QByteArray MatrixFileBytes(const TCellTable& Cells, int Cols, int Rows) {
  QString text;
  for (int r = 0; r < Rows && r < static_cast<int>(Cells.size()); ++r) {
    const auto& row = Cells[static_cast<size_t>(r)];
    for (int c = 0; c < Cols; ++c) {
      if (c < static_cast<int>(row.size())) text += CellForFile(row[static_cast<size_t>(c)]);
      if (c < Cols - 1) text += ' ';
    }
    text += QStringLiteral("\r\n");
  }
  return text.toUtf8();
}

bool WriteFileSafely(const QString& Path, const QByteArray& Bytes) {
  QSaveFile file(Path);
  if (!file.open(QIODevice::WriteOnly)) return false;
  if (file.write(Bytes) != Bytes.size()) {
    file.cancelWriting();
    return false;
  }
  return file.commit();
}
