#include "shell/PelmorAdvancedEditor.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFont>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QShowEvent>
#include <QTemporaryFile>
#include <QVBoxLayout>
#include <algorithm>
#include <exception>
#include <unordered_map>

#include "memo/PelMemoWidget.h"
#include "memo/PelStream.h"
#include "platform/Clipboard.h"
#include "platform/Latin1Qt.h"
#include "platform/Prompts.h"
#include "platform/StringGrid.h"
#include "shell/DataFiles.h"
#include "shell/PelmorMain.h"

TPelmorEditor* PelmorEditor = nullptr;

namespace {
// The matrix goes to the editor through a data file of its own in the system's
// temporary folder, under a name no other use of the editor shares.
const QString TempFileTemplate = QStringLiteral("PELMOR_TEMP-XXXXXX.$$$");

// The hourglass while the text or the grid is built.
struct TEditorWaitCursor {
  TEditorWaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
  ~TEditorWaitCursor() { QApplication::restoreOverrideCursor(); }
  TEditorWaitCursor(const TEditorWaitCursor&) = delete;
  TEditorWaitCursor& operator=(const TEditorWaitCursor&) = delete;
};

QAction* AddItem(QMenu* Menu, const QString& Caption, const QString& Name, const QKeySequence& Key = {}) {
  QAction* a = Menu->addAction(Caption);
  a->setObjectName(Name);
  if (!Key.isEmpty()) a->setShortcut(Key);
  return a;
}

bool FitsLatin1(const QString& Text) {
  return std::all_of(Text.cbegin(), Text.cend(), [](QChar ch) { return ch.unicode() <= 0xFF; });
}

// A NUL would end the text where the memo takes it as one C string.
void ReplaceNuls(std::string& Text) { std::replace(Text.begin(), Text.end(), '\0', '_'); }
}  // namespace

std::vector<std::string_view> SplitEditorLine(std::string_view Line) {
  std::vector<std::string_view> cells;
  size_t start = 0;
  while (true) {
    const size_t blank = Line.find(' ', start);
    std::string_view cell = Line.substr(start, blank == std::string_view::npos ? std::string_view::npos : blank - start);
    size_t lead = 0;
    while (lead < cell.size() && static_cast<unsigned char>(cell[lead]) <= ' ') ++lead;
    cells.push_back(cell.substr(lead));
    if (blank == std::string_view::npos) break;
    start = blank + 1;
  }
  return cells;
}

TPelmorEditor::TPelmorEditor(QWidget* Parent) : QDialog(Parent) {
  PelmorEditor = this;
  setObjectName(QStringLiteral("PelmorEditor"));
  setWindowTitle(QStringLiteral("Pelmor -- Edit matrix as text"));
  setModal(true);
  setSizeGripEnabled(true);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  MainMenu1 = new QMenuBar(this);
  MainMenu1->setObjectName(QStringLiteral("MainMenu1"));
  layout->setMenuBar(MainMenu1);

  Memo1 = new TPelMemo(this);
  Memo1->setObjectName(QStringLiteral("Memo1"));
  Memo1->setAccessibleName(QStringLiteral("Matrix as text"));
  Memo1->SetWordWrap(false);
  Memo1->SetScrollBars(TScrollStyle::ssBoth);
  Memo1->SetOptions(pmoWrapCaret | pmoInsertKeyActive | pmoWideOverwriteCaret | pmoAutoScrollBars |
                    pmoBlockSelection);
  Memo1->SetUndoMaxSpace(65536);
  // A NUL byte in a cell shows as "_" rather than ending the text there.
  Memo1->NullReplacement = '_';
  // Column blocks are counted in characters and drawn in average character widths:
  // only with every character one column wide is the block shown the block copied
  // (and the cells of a matrix line up).
  QFont fixed(QStringLiteral("Monospace"));
  fixed.setStyleHint(QFont::TypeWriter);
  fixed.setFixedPitch(true);
  Memo1->setFont(fixed);
  layout->addWidget(Memo1);

  // The editor's commands are window shortcuts: they are tried before the memo sees
  // the key, so Ctrl+V pastes at the end here. Shift+Insert and the memo's context
  // menu keep the memo's own paste at the caret.
  Edit1 = MainMenu1->addMenu(QStringLiteral("&Edit"));
  Edit1->setObjectName(QStringLiteral("Edit1"));
  Undo1 = AddItem(Edit1, QStringLiteral("&Undo"), QStringLiteral("Undo1"), QKeySequence(Qt::CTRL | Qt::Key_Z));
  Cut1 = AddItem(Edit1, QStringLiteral("Cu&t"), QStringLiteral("Cut1"), QKeySequence(Qt::CTRL | Qt::Key_X));
  Copy1 = AddItem(Edit1, QStringLiteral("&Copy"), QStringLiteral("Copy1"), QKeySequence(Qt::CTRL | Qt::Key_C));
  Paste1 = AddItem(Edit1, QStringLiteral("&Paste"), QStringLiteral("Paste1"), QKeySequence(Qt::CTRL | Qt::Key_V));
  SelectAll1 = AddItem(Edit1, QStringLiteral("Se&lect all"), QStringLiteral("SelectAll1"));
  TabsToSpaces1 =
      AddItem(Edit1, QStringLiteral("&Tabs to spaces"), QStringLiteral("TabsToSpaces1"), QKeySequence(Qt::CTRL | Qt::Key_T));
  Close1 = MainMenu1->addAction(QStringLiteral("&Close"));
  Close1->setObjectName(QStringLiteral("Close1"));
  Help1 = MainMenu1->addAction(QStringLiteral("&Help"));
  Help1->setObjectName(QStringLiteral("Help1"));
  Help1->setShortcut(QKeySequence(Qt::Key_F1));
  // Menu-bar items of their own are reached by their shortcut from anywhere in the window.
  addAction(Help1);

  connect(Undo1, &QAction::triggered, this, [this] { Memo1->Undo(); });
  connect(Cut1, &QAction::triggered, this, [this] { Memo1->CutToClipboard(); });
  connect(Copy1, &QAction::triggered, this, [this] { Memo1->CopyToClipboard(); });
  connect(Paste1, &QAction::triggered, this, [this] { Paste1Click(); });
  connect(SelectAll1, &QAction::triggered, this, [this] { Memo1->SelectAll(); });
  connect(TabsToSpaces1, &QAction::triggered, this, [this] { ConvertTabsToSpaces(); });
  connect(Close1, &QAction::triggered, this, [this] { close(); });
  connect(Help1, &QAction::triggered, this, [] {
    if (Pelmor) Pelmor->RunHelp();
  });

  resize(640, 480);
  if (QScreen* screen = QGuiApplication::primaryScreen())
    move(screen->availableGeometry().center() - rect().center());
}

TPelmorEditor::~TPelmorEditor() {
  if (PelmorEditor == this) PelmorEditor = nullptr;
}

void TPelmorEditor::LoadText(std::string_view Text) {
  TMemoryStream stream{std::string(Text)};
  Memo1->LoadTextFromStream(stream);
}

void TPelmorEditor::Paste1Click() {
  std::string clip;
  if (!ReadClipboardText(clip)) return;
  std::string text = Memo1->GetText();
  // Rows pasted after a last line without its line break start a row of their own
  // rather than running on into that line's last cell.
  if (!text.empty() && text.back() != '\n' && text.back() != '\r') text += "\r\n";
  text += clip;
  ReplaceNuls(text);
  Memo1->Lines.SetTextStr(text);
  ConvertTabsToSpaces();
  // The pasted text is where the caret waits.
  Memo1->SetSelStart(Memo1->GetTextLength());
  Memo1->ScrollInView();
}

void TPelmorEditor::ConvertTabsToSpaces() {
  if (Memo1->Lines.Count() == 0) return;
  std::string text = Memo1->GetText();
  std::replace(text.begin(), text.end(), '\t', ' ');
  ReplaceNuls(text);
  Memo1->Lines.SetTextStr(text);
  Memo1->Modified = true;
}

void TPelmorEditor::FormClose() {
  if (!Memo1->Modified) return;
  ChangesAccepted = Prompts().MessageDlg(QStringLiteral("Save changes to the main grid?"), TMsgType::Confirmation,
                                         TMsgButtons::YesNo) == TMsgResult::Yes;
}

void TPelmorEditor::done(int Result) {
  // Every way of closing ends here (the menu, the window's close box, Escape).
  FormClose();
  QDialog::done(Result);
}

void TPelmorEditor::showEvent(QShowEvent* Event) {
  QDialog::showEvent(Event);
  if (Event->spontaneous()) return;
  Memo1->Modified = false;
  Memo1->setFocus();
}

// ---- the main window's side -----------------------------------------------------------

void TPelmor::Advanced1Click() {
  if (!PelmorEditor) return;
  // The temporary copy is removed when the editor has closed (or did not open).
  QTemporaryFile temp(QDir(QDir::tempPath()).filePath(TempFileTemplate));
  {
    TEditorWaitCursor wait;
    // When the copy cannot be written whole the editor does not open: a blank or cut
    // text, accepted with "Yes", would replace the grid.
    if (!temp.open()) {
      ShowMessage(QStringLiteral("Error writing file."));
      return;
    }
    temp.close();
    if (!SaveGridToFile(*MainGrid, temp.fileName())) return;
    QString text;
    const TReadResult read = ReadTextFile(temp.fileName(), text);
    if (read.State != TReadResult::Ok) {
      ShowMessage(read.Message);
      return;
    }
    // The memo holds 8-bit text: a matrix it cannot show is not opened rather than
    // shown (and saved back) with question marks.
    if (!FitsLatin1(text)) {
      ShowMessage(QStringLiteral("The matrix holds characters the text editor cannot show."));
      return;
    }
    PelmorEditor->LoadText(QStringToLatin1(text));
  }
  ShowModal(PelmorEditor);
  if (!PelmorEditor->ChangesAccepted) return;
  TEditorWaitCursor wait;
  try {
    FileToGrid();
  } catch (const std::exception&) {
    ShowMessage(QStringLiteral("Error writing grid."));
  }
}

bool TPelmor::FileToGrid() {
  if (!PelmorEditor) return false;
  TPelParaStrings& lines = PelmorEditor->Memo1->ParaStrings;
  const std::string first = lines.Get(0);
  const int64_t cols = 1 + std::count(first.begin(), first.end(), ' ');
  const int32_t n = lines.GetCount();
  const int64_t rows = std::max<int32_t>(n, 1);
  if (cols * rows > MaxDataFileCells) {
    ShowMessage(QStringLiteral("The text has more than 10,000,000 cells and cannot be turned into a grid."));
    return false;
  }
  TCellTable table(static_cast<size_t>(rows), std::vector<QString>(static_cast<size_t>(cols)));
  // The many equal short texts of a matrix (0, 1, counts) share one string each.
  std::unordered_map<std::string, QString> shared;
  constexpr size_t ShortText = 8, MaxShared = 4096;
  for (int32_t r = 0; r < n; ++r) {
    const std::string line = r == 0 ? first : lines.Get(r);
    const std::vector<std::string_view> cells = SplitEditorLine(line);
    auto& row = table[static_cast<size_t>(r)];
    // Cells beyond the first line's count are not part of the matrix; a shorter line
    // leaves the rest of its row empty.
    const size_t count = std::min(cells.size(), row.size());
    for (size_t c = 0; c < count; ++c) {
      const std::string_view cell = cells[c];
      if (cell.empty()) continue;
      if (cell.size() > ShortText) {
        row[c] = Latin1ToQString(cell);
        continue;
      }
      std::string key(cell);  // short: no allocation
      const auto found = shared.find(key);
      if (found != shared.end()) {
        row[c] = found->second;
        continue;
      }
      row[c] = Latin1ToQString(cell);
      if (shared.size() < MaxShared) shared.emplace(std::move(key), row[c]);
    }
  }
  const int fixedCols = MainGrid->FixedCols(), fixedRows = MainGrid->FixedRows();
  MainGrid->SetTable(std::move(table), static_cast<int>(cols));
  MainGrid->SetFixedCols(fixedCols);
  MainGrid->SetFixedRows(fixedRows);
  return true;
}
