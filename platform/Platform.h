#pragma once
// Operating-system services the program uses: processing pending messages, the time
// of day, counters, beep, opening a document with the desktop's program, files.
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <cstdint>

// Lets the application process pending window messages. Cheap when called often:
// the event queue is only visited when at least a few milliseconds have passed
// since the last visit, unless Force is set.
void ProcessMessages(bool Force = false);

// The time of day in the platform's time format ("hh:mm:ss").
QString TimeOfDay();

// The high-resolution counter (nanoseconds of a monotonic clock) and the
// millisecond tick count since an arbitrary start.
int64_t HighResCounter();
uint32_t TickCount();

void Beep();

// Opens a document with the desktop's default program; false when that failed or
// when the desktop has no program registered for the document's type.
bool OpenDocument(const QString& Path);

// The current directory (without a trailing separator) and setting it.
QString CurrentDir();
bool SetCurrentDir(const QString& Dir);

bool FileExists(const QString& Path);
// The file-name part of a path.
QString ExtractFileName(const QString& Path);
// The directory part of a path, with a trailing separator.
QString ExtractFilePath(const QString& Path);
// The absolute form of a path relative to the current directory.
QString ExpandFileName(const QString& Path);

// Text on the clipboard.
QString ClipboardText();
void SetClipboardText(const QString& Text);

// Tests replace how documents are opened and beeps are made.
void SetOpenDocumentHandler(bool (*Handler)(const QString&));
void SetBeepHandler(void (*Handler)());

// The bytes of a text file holding Lines, CR LF after every line (UTF-8).
QByteArray TextLinesFileBytes(const QStringList& Lines);
