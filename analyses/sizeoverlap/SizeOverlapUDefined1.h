#pragma once
// The parameter dialogs of the user-defined source pools share one shape: two edits
// set up from the analysed column, "&OK" that closes only when the values pass the
// dialog's checks, and "reset &Defaults" that sets them up again. This unit holds
// that shape and the untransformed end points of the uniform pool.
#include <QDialog>
#include <QString>
#include <utility>
#include <vector>

class QLabel;
class QLineEdit;
class QPushButton;

class TSizeParameterDialog : public QDialog {
  Q_OBJECT
 public:
  // WatchFileName: the values are set up again when the data file changed (the end
  // point dialogs); all are set up again when the analysed column changed.
  TSizeParameterDialog(const QString& Name, const QString& Caption, const QString& FirstLabel,
                       const QString& FirstDesign, const QString& SecondLabel, const QString& SecondDesign,
                       bool WatchFileName, QWidget* Parent = nullptr);

  QLabel* FirstLabel = nullptr;
  QLineEdit* FirstEdit = nullptr;
  QLabel* SecondLabel = nullptr;
  QLineEdit* SecondEdit = nullptr;
  QPushButton* OKButton = nullptr;
  QPushButton* ResetDefaultsButton = nullptr;

  bool FirstShow = true;
  QString LastFileName;
  int LastColumn = 1;

  // The edits' values; not-a-number when an edit holds no finite number.
  double FirstValue() const;
  double SecondValue() const;

  // Sets the edits up from the positive values of the analysed column; false (after
  // "Non-Zero Rows Must be > 0") when there are none.
  bool SetUp();
  // The message of the first check the values fail; empty when they pass.
  virtual QString CheckValues() const = 0;
  // Shows the message of the first failing check; true when the values pass.
  bool Check() const;
  // "&OK": closes when the values pass.
  void OKButtonClick();
  void ResetDefaultsButtonClick() { SetUp(); }
  // At each showing: set up at the first showing, for another analysed column and
  // (when watched) another data file. False when the set-up was refused (the dialog
  // then closes).
  bool FormShow();

  int exec() override;
  // Closed by other means than "&OK" (Escape, the close box): values that fail the
  // checks give "Resetting defaults!" and are set up again.
  void reject() override;

 protected:
  // The two values the set-up writes, from the positive values in row order.
  virtual std::pair<double, double> Parameters(const std::vector<double>& Positive) const = 0;
  void showEvent(QShowEvent* Event) override;

 private:
  bool WatchFile = false;
  bool Refused = false;
  bool Prepared = false;
};

// "Pelmor -- Untransformed end points": the user's uniform pool on the data scale.
class TSizeOverLapUD1 : public TSizeParameterDialog {
  Q_OBJECT
 public:
  explicit TSizeOverLapUD1(QWidget* Parent = nullptr);
  ~TSizeOverLapUD1() override;
  QLineEdit* MinimumEdit = nullptr;
  QLineEdit* MaximumEdit = nullptr;
  QString CheckValues() const override;

 protected:
  std::pair<double, double> Parameters(const std::vector<double>& Positive) const override;
};

extern TSizeOverLapUD1* SizeOverLapUD1;
