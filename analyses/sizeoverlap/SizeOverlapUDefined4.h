#pragma once
// "Pelmor -- User-defined histogram": the size of the histogram's source pool.
#include <QDialog>

class QLineEdit;
class QPushButton;

class TSizeOverLapUD4 : public QDialog {
  Q_OBJECT
 public:
  explicit TSizeOverLapUD4(QWidget* Parent = nullptr);
  ~TSizeOverLapUD4() override;

  QLineEdit* SpeciesEdit = nullptr;
  QPushButton* OKButton = nullptr;
  QPushButton* CancelButton = nullptr;

  // "&OK": the pool must hold at least the histogram's positive sizes and at most
  // 241101 species; then SourcePoolSize := the size and the dialog closes.
  void OKButtonClick();
  void CancelButtonClick() { reject(); }

 protected:
  void showEvent(QShowEvent* Event) override;
};

extern TSizeOverLapUD4* SizeOverLapUD4;
