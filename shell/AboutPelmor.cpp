#include "shell/AboutPelmor.h"

#include <QFile>
#include <QFrame>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <jpeglib.h>

TPelmorAbout* PelmorAbout = nullptr;

namespace {
struct TJpegError {
  jpeg_error_mgr Pub;
  std::jmp_buf Jump;
};

extern "C" void JpegErrorExit(j_common_ptr Info) {
  std::longjmp(reinterpret_cast<TJpegError*>(Info->err)->Jump, 1);
}
extern "C" void JpegQuiet(j_common_ptr) {}

// Pictures larger than this are refused rather than allocated.
constexpr unsigned MaxSide = 8192;

// Decodes to packed RGB rows in a malloc'd buffer (nullptr on failure). Only plain
// objects live in this frame, so that libjpeg's error exit may jump back into it.
unsigned char* DecodeToRgb(const unsigned char* Data, unsigned long Size, int* Width, int* Height) {
  jpeg_decompress_struct info;
  TJpegError err;
  unsigned char* volatile out = nullptr;
  std::memset(&info, 0, sizeof info);
  info.err = jpeg_std_error(&err.Pub);
  err.Pub.error_exit = JpegErrorExit;
  err.Pub.output_message = JpegQuiet;
  if (setjmp(err.Jump)) {
    jpeg_destroy_decompress(&info);
    std::free(out);
    return nullptr;
  }
  jpeg_create_decompress(&info);
  jpeg_mem_src(&info, Data, Size);
  jpeg_read_header(&info, TRUE);
  info.out_color_space = JCS_RGB;
  jpeg_start_decompress(&info);
  const unsigned w = info.output_width, h = info.output_height;
  if (w == 0 || h == 0 || w > MaxSide || h > MaxSide || info.output_components != 3) {
    jpeg_destroy_decompress(&info);
    return nullptr;
  }
  out = static_cast<unsigned char*>(std::malloc(static_cast<size_t>(w) * h * 3));
  if (!out) {
    jpeg_destroy_decompress(&info);
    return nullptr;
  }
  while (info.output_scanline < h) {
    JSAMPROW row = out + static_cast<size_t>(info.output_scanline) * w * 3;
    if (jpeg_read_scanlines(&info, &row, 1) != 1) break;  // truncated data
  }
  if (info.output_scanline < h) {
    jpeg_destroy_decompress(&info);
    std::free(out);
    return nullptr;
  }
  jpeg_finish_decompress(&info);
  jpeg_destroy_decompress(&info);
  *Width = static_cast<int>(w);
  *Height = static_cast<int>(h);
  return out;
}
}  // namespace

QImage DecodeJpeg(const QByteArray& Bytes) {
  if (Bytes.isEmpty()) return {};
  int w = 0, h = 0;
  unsigned char* rgb = DecodeToRgb(reinterpret_cast<const unsigned char*>(Bytes.constData()),
                                   static_cast<unsigned long>(Bytes.size()), &w, &h);
  if (!rgb) return {};
  QImage image(w, h, QImage::Format_RGB888);
  for (int y = 0; y < h; ++y)
    std::memcpy(image.scanLine(y), rgb + static_cast<size_t>(y) * w * 3, static_cast<size_t>(w) * 3);
  std::free(rgb);
  return image;
}

TPelmorAbout::TPelmorAbout(QWidget* Parent) : QDialog(Parent) {
  if (!PelmorAbout) PelmorAbout = this;
  setObjectName(QStringLiteral("PelmorAbout"));
  setWindowTitle(QStringLiteral("Version 7.71"));
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                 Qt::MSWindowsFixedSizeDialogHint);

  // The picture is kept with the program as JPEG data and decoded here. The resources
  // live in a static library, so they are registered by name.
  static const bool registered = [] {
    Q_INIT_RESOURCE(pelmor);
    return true;
  }();
  (void)registered;
  QFile file(QStringLiteral(":/about.jpg"));
  if (file.open(QIODevice::ReadOnly)) Picture = DecodeJpeg(file.readAll());

  auto* panel = new QFrame(this);
  panel->setObjectName(QStringLiteral("Panel1"));
  panel->setFrameShape(QFrame::StyledPanel);
  panel->setFrameShadow(QFrame::Sunken);
  auto* panelLayout = new QVBoxLayout(panel);
  panelLayout->setContentsMargins(2, 2, 2, 2);
  Image1 = new QLabel(panel);
  Image1->setObjectName(QStringLiteral("Image1"));
  Image1->setAlignment(Qt::AlignCenter);
  Image1->setFixedSize(360, 220);
  Image1->setScaledContents(true);  // stretched over the panel
  Image1->setAccessibleName(QStringLiteral("Pelmor picture"));
  if (!Picture.isNull()) Image1->setPixmap(QPixmap::fromImage(Picture));
  panelLayout->addWidget(Image1, 0, Qt::AlignCenter);

  ProductName = new QLabel(QStringLiteral("Pelmor"), this);
  ProductName->setObjectName(QStringLiteral("ProductName"));
  QFont big = ProductName->font();
  big.setPointSizeF(big.pointSizeF() * 1.8);
  big.setBold(true);
  ProductName->setFont(big);
  Version = new QLabel(QStringLiteral("Build 021605"), this);
  Version->setObjectName(QStringLiteral("Version"));

  auto makeContact = [this](const QString& Name, const QString& Text) {
    auto* e = new QLineEdit(Text, this);
    e->setObjectName(Name);
    e->setReadOnly(true);
    e->setFrame(false);
    e->setToolTip(QStringLiteral("Right click to copy"));
    e->setAccessibleName(QStringLiteral("Contact"));
    // Blends into the dialog like a label while staying selectable.
    e->setStyleSheet(QStringLiteral("QLineEdit { background: transparent; }"));
    return e;
  };
  Contact1 = makeContact(QStringLiteral("Contact1"), QStringLiteral("pelmor-project@example.org"));
  Contact2 = makeContact(QStringLiteral("Contact2"), QStringLiteral("https://example.org/pelmor"));

  OKButton = new QPushButton(QStringLiteral("OK"), this);
  OKButton->setObjectName(QStringLiteral("OKButton"));
  OKButton->setDefault(true);
  connect(OKButton, &QPushButton::clicked, this, &QDialog::accept);

  auto* names = new QVBoxLayout;
  names->addWidget(ProductName);
  names->addWidget(Version);
  names->addSpacing(6);
  names->addWidget(Contact1);
  names->addWidget(Contact2);
  auto* bottom = new QHBoxLayout;
  bottom->addLayout(names, 1);
  bottom->addWidget(OKButton, 0, Qt::AlignBottom);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(panel);
  layout->addLayout(bottom);
  layout->setSizeConstraint(QLayout::SetFixedSize);

  adjustSize();
  if (QScreen* screen = QGuiApplication::primaryScreen())
    move(screen->availableGeometry().center() - rect().center());
}

TPelmorAbout::~TPelmorAbout() {
  if (PelmorAbout == this) PelmorAbout = nullptr;
}
