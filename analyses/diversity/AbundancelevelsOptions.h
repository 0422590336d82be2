#pragma once
// The small dialog that holds the user-defined levels of the species-diversity
// analysis, one level per line (numbers of individuals or of samples; individual and
// sample runs read the same lines).
#include <QDialog>
#include <QString>
#include <string>
#include <vector>

class QPlainTextEdit;
class QPushButton;

class TAbundanceLevelsOpts : public QDialog {
  Q_OBJECT
 public:
  explicit TAbundanceLevelsOpts(QWidget* Parent = nullptr);
  ~TAbundanceLevelsOpts() override;

  QPlainTextEdit* Memo1 = nullptr;  // one level per line; "10" and "20" at start
  QPushButton* OKButton = nullptr;
  QPushButton* CancelButton = nullptr;

  // The memo's lines as a line list holds them: a line end at the very end of the
  // text adds no line, an empty memo has none.
  std::vector<std::string> Lines() const;
  // "&OK": the levels checked (the first one below 0 reported with its line), then
  // the dialog closes; the memo keeps its text either way.
  void OKButtonClick();
  // "&Cancel": the memo's text as it was when the dialog was shown; the dialog closes.
  void CancelButtonClick();
  void TestAbundanceLevels();

 protected:
  void showEvent(QShowEvent* Event) override;
  // The close box and Escape count as "&Cancel".
  void reject() override;

 private:
  QString SavedText;
};

extern TAbundanceLevelsOpts* AbundanceLevelsOpts;
