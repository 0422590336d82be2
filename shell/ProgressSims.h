#pragma once
// The progress window shown during every simulation run: what is being simulated,
// how far the run has come, and the button that stops it.
#include <QDialog>
#include <QElapsedTimer>

class QTimer;

class QCheckBox;
class QLabel;
class QProgressBar;
class QPushButton;

class TProgress : public QDialog {
  Q_OBJECT
 public:
  explicit TProgress(QWidget* Parent = nullptr);
  ~TProgress() override;

  QLabel* MatrixCaption = nullptr;  // "Matrix:"
  QLabel* MatrixLabel = nullptr;
  QLabel* IterationsCaption = nullptr;  // "Iterations:"
  QLabel* IterationsLabel = nullptr;
  QLabel* ProgressCaption = nullptr;  // "Progress"
  QProgressBar* ProgressBar1 = nullptr;
  QLabel* ModelCaption = nullptr;  // "Model:"
  QLabel* ModelLabel = nullptr;
  QPushButton* InterruptButton = nullptr;
  QCheckBox* SoundCheck = nullptr;

  // How far the bar moves per StepIt (set to 1 by ShowProgress).
  int Step = 1;
  // Moves the bar on by Step.
  void StepIt();
  // One iteration done: the iteration label shows the bar's position before the
  // step (so it reads i - 1 during iteration i), then the bar steps.
  void StepIteration();

  // "&Abort simulation": closes the window, then asks the running analysis to stop.
  void InterruptButtonClick();

 protected:
  // Every close of a visible window beeps three times when "Beep" is checked. A close
  // by the user (the close box) counts as "&Abort simulation"; the program's own
  // close() at the end of a run does not.
  void closeEvent(QCloseEvent* Event) override;
  // Escape: the same as "&Abort simulation".
  void reject() override;
  // The bar asks to be painted at once whenever it moves by a pixel, hundreds of
  // times in a run: the window paints at most once per PaintInterval, and what
  // changed meanwhile is painted when pending messages are next processed.
  bool event(QEvent* Event) override;

 private:
  void FormClose();
  void PaintNow();
  static constexpr qint64 PaintIntervalMs = 15;
  QElapsedTimer LastPaint;
  QTimer* PaintTimer = nullptr;
};

extern TProgress* Progress;

// Closes the progress window when it is visible: at the end of a run, on failure,
// and when the main window reappears after a batch that left it open.
void CloseProgressWindow();
