#pragma once
// Shared by the fuzz targets: a failed invariant aborts with its text, and a reference
// reader that follows the file rules in the plainest way (whole text decoded by Qt,
// then split character by character into lists of strings), against which the compact
// reader is compared.
#include <QString>
#include <QStringDecoder>
#include <QStringList>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#define FUZZ_CHECK(Cond, What)                                                     \
  do {                                                                             \
    if (!(Cond)) {                                                                 \
      std::fprintf(stderr, "invariant broken: %s (%s:%d)\n", What, __FILE__, __LINE__); \
      std::abort();                                                                \
    }                                                                              \
  } while (0)

struct TReference {
  bool Utf8 = true;
  int Cols = 0;
  std::vector<QStringList> Rows;  // every row Cols long
};

inline TReference ReferenceRead(const std::string& Bytes, bool Commas) {
  TReference ref;
  // The text ends at the first Ctrl+Z; what follows it plays no part.
  const size_t eof = Bytes.find('\x1A');
  const QByteArray raw = QByteArray::fromStdString(eof == std::string::npos ? Bytes : Bytes.substr(0, eof));
  // The decoder keeps a mark at the start as a character; one is dropped below.
  QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
  QString text = utf8.decode(raw);
  ref.Utf8 = !utf8.hasError();
  if (ref.Utf8) {
    if (text.startsWith(QChar(0xFEFF))) text.remove(0, 1);
  } else {
    text = QString::fromLatin1(raw);
  }
  QStringList lines;
  QString line;
  for (qsizetype i = 0; i < text.size(); ++i) {
    const QChar ch = text[i];
    if (ch == u'\r' || ch == u'\n') {
      lines << line;
      line.clear();
      if (ch == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') ++i;
    } else {
      line += ch;
    }
  }
  if (!line.isEmpty()) lines << line;
  for (const QString& l : lines) {
    QStringList cells;
    QString cell;
    for (const QChar ch : l) {
      if (ch == u' ' || (Commas && ch == u',')) {
        cells << cell;
        cell.clear();
      } else {
        cell += ch;
      }
    }
    cells << cell;
    if (ref.Rows.empty()) ref.Cols = static_cast<int>(cells.size());
    while (cells.size() > ref.Cols) cells.removeLast();
    while (cells.size() < ref.Cols) cells << QString();
    ref.Rows.push_back(cells);
  }
  return ref;
}
