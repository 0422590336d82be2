#pragma once
// The progress window shown during every simulation run; its "&Abort simulation"
// button (or closing the window) asks the running analysis to stop.
#include <QDialog>

class QCheckBox;
class QLabel;
class QProgressBar;
class QPushButton;

class TProgress : public QDialog {
  Q_OBJECT
 public:
  explicit TProgress(QWidget* Parent = nullptr);

  QLabel* MatrixLabel = nullptr;
  QLabel* IterationsLabel = nullptr;
  QLabel* ModelLabel = nullptr;
  QProgressBar* ProgressBar1 = nullptr;
  QPushButton* InterruptButton = nullptr;
  QCheckBox* SoundCheck = nullptr;

  // Steps the bar once (one iteration done).
  void StepIt();
  // Closes the window at the end of a run, on abort or on failure (beeps when asked).
  void CloseProgress();
  void InterruptButtonClick();

 protected:
  void closeEvent(QCloseEvent* Event) override;
  void reject() override;
};

extern TProgress* Progress;
