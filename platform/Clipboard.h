#pragma once
// Plain text on the clipboard in the program's own terms: text held as Latin-1 bytes
// with CR LF line breaks inside the program, as LF-broken Unicode text outside it.
// Shared by the memo and the text-editor window. A private marker format travels
// beside the text of a column block so that a later paste knows its shape.
#include <QString>
#include <string>
#include <string_view>

// Clipboard text as the program holds it: every LF and every lone CR becomes CR LF,
// characters outside Latin-1 become "?".
std::string ClipboardToLatin1Text(const QString& Text);
// The program's text for the clipboard: CR LF becomes LF, bytes are Latin-1.
QString Latin1TextToClipboard(std::string_view Text);

// The name under which the column-block marker is registered; registered once.
const QString& BlockClipboardFormat();

// True when the clipboard holds text; the text then goes to Text.
bool ReadClipboardText(std::string& Text);
// Puts the text on the clipboard; with Block the column-block marker goes beside it.
// An empty text leaves the clipboard alone.
void WriteClipboardText(std::string_view Text, bool Block = false);
// True when the clipboard holds the column-block marker (a block of at least one
// byte whose first byte is 2).
bool ClipboardHasBlockMarker();
