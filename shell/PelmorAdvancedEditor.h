#pragma once
// The editor window of Edit > "&Edit matrix as text": the whole data matrix as plain
// text in our memo, so that a matrix can be typed, pasted from a spreadsheet and
// turned back into the grid.
#include <QDialog>
#include <string>
#include <string_view>
#include <vector>

class QAction;
class QMenu;
class QMenuBar;
class TPelMemo;

class TPelmorEditor : public QDialog {
  Q_OBJECT
 public:
  explicit TPelmorEditor(QWidget* Parent = nullptr);
  ~TPelmorEditor() override;

  TPelMemo* Memo1 = nullptr;
  QMenuBar* MainMenu1 = nullptr;
  QMenu* Edit1 = nullptr;
  QAction* Undo1 = nullptr;
  QAction* Cut1 = nullptr;
  QAction* Copy1 = nullptr;
  QAction* Paste1 = nullptr;
  QAction* SelectAll1 = nullptr;
  QAction* TabsToSpaces1 = nullptr;
  QAction* Close1 = nullptr;
  QAction* Help1 = nullptr;

  // The answer to "Save changes to the main grid?" when the editor was last closed
  // with a changed text; kept as it was when the text was not changed.
  bool ChangesAccepted = false;

  // Empties the memo and loads Text (Latin-1 bytes, lines ending in CR, LF or CR LF).
  void LoadText(std::string_view Text);
  // "&Paste": the clipboard's text goes after the whole text, wherever the caret is;
  // then TABs become blanks.
  void Paste1Click();
  // "&Tabs to spaces": every TAB of the text becomes one blank, and the text counts
  // as changed.
  void ConvertTabsToSpaces();
  // Asks "Save changes to the main grid?" when the text was changed.
  void FormClose();

  void done(int Result) override;

 protected:
  void showEvent(QShowEvent* Event) override;
};

extern TPelmorEditor* PelmorEditor;

// The cells of one text line of the editor: every blank ends a cell, and leading
// blanks and control characters of a cell are dropped (inner ones are kept).
std::vector<std::string_view> SplitEditorLine(std::string_view Line);
