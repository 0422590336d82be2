#pragma once
// The program's own help window: the help page shown in a text browser, for when the
// desktop has no program that opens it. Created once, on first use, owned by the
// main window; shown again (and brought to the front) by every later request.
#include <QDialog>

class QPushButton;
class QTextBrowser;

class THelpWindow : public QDialog {
  Q_OBJECT
 public:
  explicit THelpWindow(QWidget* Parent = nullptr);
  ~THelpWindow() override;

  QTextBrowser* Browser = nullptr;
  QPushButton* CloseButton = nullptr;

  // Loads the page at Path (an absolute file path) and shows the window. While a modal
  // window is up the help window is modal too, so that it can be read and closed.
  void ShowPage(const QString& Path);
};

// The help window (null until it was first needed).
extern THelpWindow* HelpWindow;
// Shows Path in the help window, creating the window the first time.
void ShowHelpWindow(const QString& Path, QWidget* Owner);
