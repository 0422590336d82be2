#include "platform/Platform.h"

#include <QApplication>
#include <QClipboard>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QTime>
#include <QUrl>
#include <chrono>

namespace {
bool (*OpenHandler)(const QString&) = nullptr;
void (*BeepHandler)() = nullptr;
int64_t LastProcessed = 0;
}  // namespace

int64_t HighResCounter() {
  return std::chrono::duration_cast<std::chrono::nanoseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

uint32_t TickCount() { return static_cast<uint32_t>(HighResCounter() / 1000000); }

void ProcessMessages(bool Force) {
  const int64_t now = HighResCounter();
  // Visiting the event queue costs microseconds; a run calls this once per
  // iteration, which may be far more often than the screen can change.
  if (!Force && now - LastProcessed < 15'000'000) return;
  LastProcessed = now;
  if (QCoreApplication::instance()) QCoreApplication::processEvents();
}

QString TimeOfDay() { return QTime::currentTime().toString(QStringLiteral("hh:mm:ss")); }

void Beep() {
  if (BeepHandler) {
    BeepHandler();
    return;
  }
  QApplication::beep();
}

bool OpenDocument(const QString& Path) {
  if (OpenHandler) return OpenHandler(Path);
  if (!QFileInfo::exists(Path)) return false;
  return QDesktopServices::openUrl(QUrl::fromLocalFile(Path));
}

QString CurrentDir() { return QDir::currentPath(); }
bool SetCurrentDir(const QString& Dir) { return QDir::setCurrent(Dir); }
bool FileExists(const QString& Path) {
  QFileInfo info(Path);
  return info.exists() && info.isFile();
}
QString ExtractFileName(const QString& Path) {
  const int i = std::max(Path.lastIndexOf('/'), Path.lastIndexOf('\\'));
  return Path.mid(i + 1);
}
QString ExtractFilePath(const QString& Path) {
  const int i = std::max(Path.lastIndexOf('/'), Path.lastIndexOf('\\'));
  return Path.left(i + 1);
}
QString ExpandFileName(const QString& Path) { return QFileInfo(Path).absoluteFilePath(); }

QString ClipboardText() {
  if (!QGuiApplication::instance()) return {};
  return QGuiApplication::clipboard()->text();
}
void SetClipboardText(const QString& Text) {
  if (QGuiApplication::instance()) QGuiApplication::clipboard()->setText(Text);
}

void SetOpenDocumentHandler(bool (*Handler)(const QString&)) { OpenHandler = Handler; }
void SetBeepHandler(void (*Handler)()) { BeepHandler = Handler; }

QByteArray TextLinesFileBytes(const QStringList& Lines) {
  QByteArray bytes;
  for (const QString& line : Lines) {
    bytes += line.toUtf8();
    bytes += "\r\n";
  }
  return bytes;
}
