#include "platform/Platform.h"

#include <QApplication>
#include <QClipboard>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QMimeDatabase>
#include <QProcess>
#include <QStandardPaths>
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

namespace {
// Whether the desktop has a program registered for the document's type. On the free
// desktops the opener (xdg-open) starts, and so reports success, even where no
// program takes the document; its registry is asked first. Where it cannot be asked,
// the opener decides.
bool DesktopHasProgramFor(const QString& Path) {
#if defined(Q_OS_UNIX) && !defined(Q_OS_MACOS)
  const QString query = QStandardPaths::findExecutable(QStringLiteral("xdg-mime"));
  if (query.isEmpty()) return true;
  QProcess p;
  p.start(query, {QStringLiteral("query"), QStringLiteral("default"), QMimeDatabase().mimeTypeForFile(Path).name()});
  if (!p.waitForFinished(3000)) {
    p.kill();
    p.waitForFinished(1000);
    return true;
  }
  return p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0 && !p.readAllStandardOutput().trimmed().isEmpty();
#else
  Q_UNUSED(Path);
  return true;
#endif
}
}  // namespace

bool OpenDocument(const QString& Path) {
  if (OpenHandler) return OpenHandler(Path);
  if (!QFileInfo::exists(Path)) return false;
  if (!DesktopHasProgramFor(Path)) return false;
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
