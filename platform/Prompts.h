#pragma once
// The one seam through which every prompt reaches the user: information boxes,
// confirmations, file and folder dialogs and the modal showing of windows. The Qt
// implementation asks a person; the scripted one (tests) records every text and
// answers as the test says, so that nothing ever blocks.
#include <QString>
#include <QStringList>
#include <deque>
#include <functional>
#include <optional>
#include <vector>

class QWidget;

enum class TMsgButtons { OK, OKCancel, YesNo, YesNoCancel };
enum class TMsgResult { OK, Cancel, Yes, No };
enum class TMsgType { Information, Confirmation, Error, Warning };

// The filter of every file dialog: pairs of a shown name and its patterns, joined by
// "|": "Text files(*.txt)|*.txt|All files(*.*)|*.*". The first entry is the one
// selected when the dialog opens.
QString TextFileFilter();
// A filter of that form in the toolkit's form ("Text files (*.txt);;All files (*)").
QString ToolkitFileFilter(const QString& Filter);

class TPrompts {
 public:
  virtual ~TPrompts() = default;
  // An information box with a single OK button.
  virtual void InformationBox(const QString& Text) = 0;
  // A message dialog of the given type and buttons; returns the button pressed.
  virtual TMsgResult MessageDlg(const QString& Text, TMsgType Type, TMsgButtons Buttons) = 0;
  // Open and save dialogs with their title, start folder, offered file name and
  // filter (TextFileFilter's form); an empty optional when the user cancels.
  virtual std::optional<QString> OpenFileName(QWidget* Parent, const QString& Title, const QString& Directory,
                                              const QString& InitialName,
                                              const QString& Filter = TextFileFilter()) = 0;
  virtual std::optional<QString> SaveFileName(QWidget* Parent, const QString& Title, const QString& Directory,
                                              const QString& InitialName,
                                              const QString& Filter = TextFileFilter()) = 0;
  // Shows a window modally and returns when it is closed.
  virtual void ShowModal(QWidget* Window) = 0;
};

class TQtPrompts : public TPrompts {
 public:
  void InformationBox(const QString& Text) override;
  TMsgResult MessageDlg(const QString& Text, TMsgType Type, TMsgButtons Buttons) override;
  std::optional<QString> OpenFileName(QWidget* Parent, const QString& Title, const QString& Directory,
                                      const QString& InitialName, const QString& Filter = TextFileFilter()) override;
  std::optional<QString> SaveFileName(QWidget* Parent, const QString& Title, const QString& Directory,
                                      const QString& InitialName, const QString& Filter = TextFileFilter()) override;
  void ShowModal(QWidget* Window) override;
};

// Records every prompt and answers from queues the test fills. An empty answer
// queue gives OK / Yes for message dialogs and Cancel for file dialogs.
class TScriptedPrompts : public TPrompts {
 public:
  struct Entry {
    QString Kind;  // "info", "dialog", "open", "save", "modal"
    QString Text;  // the message, the file dialog's title, or the window's name
    // File dialogs only: what the dialog was opened with.
    QString Directory = {};
    QString InitialName = {};
    QString Filter = {};
  };
  std::vector<Entry> Log;
  QStringList Messages;  // texts of information boxes and message dialogs, in order
  std::deque<TMsgResult> Answers;
  std::deque<QString> FileAnswers;  // an empty text cancels the dialog
  // Called with the window when a window is shown modally (the window is shown
  // first); it plays the user's part (sets controls, presses buttons) and the
  // window is then hidden.
  std::function<void(QWidget*)> OnModal;

  void InformationBox(const QString& Text) override;
  TMsgResult MessageDlg(const QString& Text, TMsgType Type, TMsgButtons Buttons) override;
  std::optional<QString> OpenFileName(QWidget* Parent, const QString& Title, const QString& Directory,
                                      const QString& InitialName, const QString& Filter = TextFileFilter()) override;
  std::optional<QString> SaveFileName(QWidget* Parent, const QString& Title, const QString& Directory,
                                      const QString& InitialName, const QString& Filter = TextFileFilter()) override;
  void ShowModal(QWidget* Window) override;

 private:
  std::optional<QString> NextFileAnswer();
};

// Makes the folder of a file chosen in a file dialog the current directory, as the
// desktop's dialogs do (the real dialogs call it; a scripted answer does not).
void FolderOfChosenFileBecomesCurrent(const QString& Path);

// The seam in force (the Qt one unless a test installed another).
TPrompts& Prompts();
void SetPrompts(TPrompts* P);

// Shorthands used throughout the program.
void ShowMessage(const QString& Text);
inline void ShowMessage(const char* Text) { ShowMessage(QString::fromUtf8(Text)); }
inline void ShowMessage(const std::string& Text) { ShowMessage(QString::fromStdString(Text)); }
void ShowModal(QWidget* Window);
