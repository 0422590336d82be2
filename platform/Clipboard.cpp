#include "platform/Clipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

#include "platform/Latin1Qt.h"

std::string ClipboardToLatin1Text(const QString& Text) {
  const std::string bytes = QStringToLatin1(Text);
  std::string out;
  out.reserve(bytes.size() + bytes.size() / 16);
  for (size_t i = 0; i < bytes.size(); ++i) {
    const char c = bytes[i];
    if (c == '\r') {
      out += "\r\n";
      if (i + 1 < bytes.size() && bytes[i + 1] == '\n') ++i;
    } else if (c == '\n') {
      out += "\r\n";
    } else {
      out.push_back(c);
    }
  }
  return out;
}

QString Latin1TextToClipboard(std::string_view Text) {
  std::string out;
  out.reserve(Text.size());
  for (size_t i = 0; i < Text.size(); ++i) {
    if (Text[i] == '\r' && i + 1 < Text.size() && Text[i + 1] == '\n') continue;
    out.push_back(Text[i]);
  }
  return Latin1ToQString(out);
}

const QString& BlockClipboardFormat() {
  // On Windows Qt registers a clipboard format of exactly the quoted name, the one
  // other editors look for; elsewhere the whole string is the MIME type.
  static const QString format = QStringLiteral("application/x-qt-windows-mime;value=\"Corvane IDE Block Type\"");
  return format;
}

bool ReadClipboardText(std::string& Text) {
  if (!QGuiApplication::instance()) return false;
  const QMimeData* data = QGuiApplication::clipboard()->mimeData();
  if (!data || !data->hasText()) return false;
  Text = ClipboardToLatin1Text(data->text());
  return true;
}

void WriteClipboardText(std::string_view Text, bool Block) {
  if (Text.empty() || !QGuiApplication::instance()) return;
  auto* data = new QMimeData;
  data->setText(Latin1TextToClipboard(Text));
  if (Block) data->setData(BlockClipboardFormat(), QByteArray(1, '\x02'));
  QGuiApplication::clipboard()->setMimeData(data);
}

bool ClipboardHasBlockMarker() {
  if (!QGuiApplication::instance()) return false;
  const QMimeData* data = QGuiApplication::clipboard()->mimeData();
  if (!data || !data->hasFormat(BlockClipboardFormat())) return false;
  const QByteArray b = data->data(BlockClipboardFormat());
  return !b.isEmpty() && b[0] == '\x02';
}
