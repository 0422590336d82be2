#pragma once
// The frame of every analysis's options dialog (T...Opts): the button panel with
// "&Help", "&Run", "&Cancel" and "reset &Defaults" above a page control whose
// "General" tab holds the iteration count, the random seed, the box that saves the
// simulated data sets and the name of the data file. An analysis derives from it,
// adds its own tabs (AddSheet) and overrides ResetDefaults for them.
#include <QDialog>
#include <QString>
#include <cstdint>
#include <initializer_list>

class QCheckBox;
class QGridLayout;
class QLabel;
class QLineEdit;
class QPushButton;
class QTabWidget;

// Gives the buttons of a panel one width, the widest caption's with room on both
// sides, so that no caption touches its button's edge.
void EqualButtonWidths(std::initializer_list<QPushButton*> Buttons);

class TAnalysisOpts : public QDialog {
  Q_OBJECT
 public:
  // Caption "Pelmor -- " + AnalysisName + " Options". DesignIterations is the
  // iteration box's text at start-up ("1000 "; co-occurrence "5000 "); the reset
  // routine writes DefaultIterations (the same unless set otherwise).
  explicit TAnalysisOpts(const QString& AnalysisName, const QString& DesignIterations = QStringLiteral("1000 "),
                         QWidget* Parent = nullptr);

  QPushButton* HelpButton = nullptr;
  QPushButton* RunButton = nullptr;
  QPushButton* CancelButton = nullptr;
  QPushButton* DefaultsButton = nullptr;
  QTabWidget* PageControl1 = nullptr;
  QWidget* GeneralSheet = nullptr;
  QGridLayout* GeneralLayout = nullptr;  // rows 0..3 are taken; analyses may add below
  QLabel* IterationsLabel = nullptr;     // "Number of iterations:"
  QLineEdit* IterationsEdit = nullptr;   // up to five digits
  QLabel* RandomSeedLabel = nullptr;     // "Random number seed:"
  QLineEdit* RandomSeedEdit = nullptr;
  QCheckBox* SaveMatrixCheckBox = nullptr;  // "&Save simulated matrices"
  QLabel* FileLabel = nullptr;              // "Data file:"
  QLineEdit* FileEdit = nullptr;            // read-only, FileName at each showing

  QString DefaultIterations;

  // A new tab after the existing ones.
  QWidget* AddSheet(const QString& Caption);

  // The General tab's texts read by the integer text rule, and the check box.
  int32_t IterationsValue() const;
  int32_t SeedValue() const;
  bool SaveMatricesChecked() const;

  // "&Run": OptionsAccepted := true, the dialog closes. "&Cancel": OptionsAccepted :=
  // false, the dialog closes. "&Help": the help page. "reset &Defaults": ResetDefaults.
  void RunButtonClick();
  void CancelButtonClick();
  void HelpButtonClick();
  // The General tab's defaults: seed "0", iterations DefaultIterations, box cleared.
  // Analyses override it for their own tabs and call this one too.
  virtual void ResetDefaults();

 protected:
  void showEvent(QShowEvent* Event) override;
  bool eventFilter(QObject* Watched, QEvent* Event) override;
  // The window's close box and Escape count as "&Cancel".
  void reject() override;

 private:
  void KeepButtonAccelerators();
};
