#pragma once
// The About box: the program's picture, name, version and build, and two contact
// entries that the user can copy.
#include <QByteArray>
#include <QDialog>
#include <QImage>

class QLabel;
class QLineEdit;
class QPushButton;

// Decodes JPEG bytes with libjpeg into an RGB image; a null image when the bytes are
// not a JPEG that libjpeg can read (never a crash).
QImage DecodeJpeg(const QByteArray& Bytes);

class TPelmorAbout : public QDialog {
  Q_OBJECT
 public:
  explicit TPelmorAbout(QWidget* Parent = nullptr);
  ~TPelmorAbout() override;

  QLabel* Image1 = nullptr;  // the picture, stretched over its panel
  QLabel* ProductName = nullptr;
  QLabel* Version = nullptr;  // "Build 021605"
  QPushButton* OKButton = nullptr;
  QLineEdit* Contact1 = nullptr;
  QLineEdit* Contact2 = nullptr;
  // The decoded picture (null when it could not be decoded).
  QImage Picture;
};

extern TPelmorAbout* PelmorAbout;
