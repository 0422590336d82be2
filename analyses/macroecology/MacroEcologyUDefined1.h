#pragma once
// The parameter dialogs of the user-defined macroecology null models. Both hold four
// number boxes filled from the chosen X and Y columns of the data, "&OK" (which closes
// the dialog only when the values pass its test) and "reset &Defaults" (which fills
// them from the data again). The values are filled afresh when the dialog is first
// shown, and whenever the data file or a chosen column changed since it last filled
// them; otherwise they stay as the user left them. Closing the dialog by its frame
// keeps what stands in the boxes, untested: the run tests them again.
//
// This unit holds the shared frame and the end-point dialog of the uniform model.
#include <QDialog>
#include <QString>
#include <vector>

class QLineEdit;
class QPushButton;

class TMacroParamDialog : public QDialog {
  Q_OBJECT
 public:
  // Labels: the four boxes' captions; OkName: the object name of "&OK".
  TMacroParamDialog(const QString& Caption, const QStringList& Labels, const QString& OkName,
                    QWidget* Parent = nullptr);

  QLineEdit* Edit[4] = {};
  QPushButton* OkButtonBase = nullptr;  // "&OK"
  QPushButton* ResetButton = nullptr;   // "reset &Defaults"

  // What the boxes were last filled for.
  bool ShownBefore = false;
  QString FilledFileName;
  int FilledXColumn = 0, FilledYColumn = 0;

  // The refill rule, applied at each showing.
  void FormShow();
  // Fills the boxes from the data.
  virtual void Init() = 0;
  void ResetButtonClick() { Init(); }
  // The message of the first value that fails the dialog's test; empty when all pass.
  virtual QString TestMessage() const = 0;
  // "&OK": closes the dialog when the test passes, otherwise shows its message.
  void OkClick();

  // The values of the boxes; false when a box holds no number.
  bool Value(int I, double& V) const;

  // The chosen X and Y grid columns of the options dialog (list position + 1).
  static int ChosenXColumn();
  static int ChosenYColumn();
  // The numbers of MainGrid's data rows in grid column Col (none when Col is not a data
  // column; cells that hold no number are passed over).
  static std::vector<double> ColumnValues(int Col);

 protected:
  void showEvent(QShowEvent* Event) override;
  // A box that holds no number: "<caption without colon> must be a number."
  QString NumberMessage(int I) const;

 private:
  QStringList Labels_;
};

class TMacroEcologyUD1 : public TMacroParamDialog {
  Q_OBJECT
 public:
  explicit TMacroEcologyUD1(QWidget* Parent = nullptr);
  ~TMacroEcologyUD1() override;

  QLineEdit* MinimumXEdit = nullptr;  // "Minimum X:"
  QLineEdit* MaximumXEdit = nullptr;  // "Maximum X:"
  QLineEdit* MinimumYEdit = nullptr;  // "Minimum Y:"
  QLineEdit* MaximumYEdit = nullptr;  // "Maximum Y:"
  QPushButton* OkButton = nullptr;

  // Smallest and largest value of the chosen X and Y columns (0 without data rows).
  void Init() override;
  // Minimum X >= 0, Minimum Y >= 0, Maximum X > 0, Maximum Y > 0, Maximum X > Minimum X,
  // Maximum Y > Minimum Y, in this order.
  QString TestMessage() const override;
  bool TestUserInput();
  void OkButtonClick() { OkClick(); }
};

extern TMacroEcologyUD1* MacroEcologyUD1;
