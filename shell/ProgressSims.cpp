#include "shell/ProgressSims.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QStyleOptionProgressBar>
#include <QTimer>
#include <QVBoxLayout>

#include "core/RunState.h"
#include "platform/Platform.h"

TProgress* Progress = nullptr;

namespace {
// The bar asks for its style options at every step, to learn whether it must be
// painted again; they include its percentage text, three numbers formatted each time,
// which the bar never shows (its text is hidden). Without the hidden text a step
// costs a fraction of that.
class TProgressBar : public QProgressBar {
 public:
  using QProgressBar::QProgressBar;

 protected:
  void initStyleOption(QStyleOptionProgressBar* Option) const override {
    if (!Option || isTextVisible()) return QProgressBar::initStyleOption(Option);
    Option->initFrom(this);
    if (orientation() == Qt::Horizontal) Option->state |= QStyle::State_Horizontal;
    Option->minimum = minimum();
    Option->maximum = maximum();
    Option->progress = value();
    Option->textAlignment = alignment();
    Option->textVisible = false;
    Option->text.clear();
    Option->invertedAppearance = invertedAppearance();
    Option->bottomToTop = textDirection() == QProgressBar::BottomToTop;
  }
};

QLabel* Caption(const QString& Text, QWidget* Buddy, QWidget* Parent) {
  auto* l = new QLabel(Text, Parent);
  l->setBuddy(Buddy);
  return l;
}
}  // namespace

TProgress::TProgress(QWidget* Parent) : QDialog(Parent) {
  if (!Progress) Progress = this;
  setObjectName(QStringLiteral("Progress"));
  setWindowTitle(QStringLiteral("Pelmor -- simulating..."));
  // A dialog border: no resizing, no help or minimize buttons.
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                 Qt::MSWindowsFixedSizeDialogHint);
  setModal(false);

  MatrixLabel = new QLabel(this);
  MatrixLabel->setObjectName(QStringLiteral("MatrixLabel"));
  IterationsLabel = new QLabel(QStringLiteral("1000"), this);
  IterationsLabel->setObjectName(QStringLiteral("IterationsLabel"));
  ProgressBar1 = new TProgressBar(this);
  ProgressBar1->setObjectName(QStringLiteral("ProgressBar1"));
  ProgressBar1->setRange(0, 100);
  ProgressBar1->setValue(0);
  ProgressBar1->setTextVisible(false);
  ProgressBar1->setMinimumWidth(260);
  ModelLabel = new QLabel(this);
  ModelLabel->setObjectName(QStringLiteral("ModelLabel"));

  MatrixCaption = Caption(QStringLiteral("Matrix:"), MatrixLabel, this);
  IterationsCaption = Caption(QStringLiteral("Iterations:"), IterationsLabel, this);
  ProgressCaption = Caption(QStringLiteral("Progress"), ProgressBar1, this);
  ModelCaption = Caption(QStringLiteral("Model:"), ModelLabel, this);
  MatrixLabel->setAccessibleName(QStringLiteral("Matrix"));
  IterationsLabel->setAccessibleName(QStringLiteral("Iterations"));
  ProgressBar1->setAccessibleName(QStringLiteral("Progress"));
  ModelLabel->setAccessibleName(QStringLiteral("Model"));

  InterruptButton = new QPushButton(QStringLiteral("&Abort simulation"), this);
  InterruptButton->setObjectName(QStringLiteral("InterruptButton"));
  InterruptButton->setAutoDefault(false);
  SoundCheck = new QCheckBox(QStringLiteral("Beep"), this);
  SoundCheck->setObjectName(QStringLiteral("SoundCheck"));
  SoundCheck->setChecked(true);

  auto* grid = new QGridLayout;
  grid->addWidget(MatrixCaption, 0, 0);
  grid->addWidget(MatrixLabel, 0, 1);
  grid->addWidget(IterationsCaption, 1, 0);
  grid->addWidget(IterationsLabel, 1, 1);
  grid->addWidget(ProgressCaption, 2, 0);
  grid->addWidget(ProgressBar1, 2, 1);
  grid->addWidget(ModelCaption, 3, 0);
  grid->addWidget(ModelLabel, 3, 1);
  grid->setColumnStretch(1, 1);

  auto* buttons = new QHBoxLayout;
  buttons->addWidget(SoundCheck);
  buttons->addStretch(1);
  buttons->addWidget(InterruptButton);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(grid);
  layout->addLayout(buttons);
  layout->setSizeConstraint(QLayout::SetFixedSize);

  connect(InterruptButton, &QPushButton::clicked, this, [this] { InterruptButtonClick(); });
  PaintTimer = new QTimer(this);
  PaintTimer->setSingleShot(true);
  connect(PaintTimer, &QTimer::timeout, this, [this] { PaintNow(); });

  adjustSize();
  if (QScreen* screen = QGuiApplication::primaryScreen())
    move(screen->availableGeometry().center() - rect().center());
}

TProgress::~TProgress() {
  if (Progress == this) Progress = nullptr;
}

void CloseProgressWindow() {
  if (Progress && Progress->isVisible()) Progress->close();
}

void TProgress::StepIt() { ProgressBar1->setValue(ProgressBar1->value() + Step); }

void TProgress::StepIteration() {
  IterationsLabel->setText(QString::number(ProgressBar1->value()));
  StepIt();
}

void TProgress::InterruptButtonClick() {
  close();
  PelmorState().AbortRequested = true;
}

void TProgress::reject() { InterruptButtonClick(); }

bool TProgress::event(QEvent* Event) {
  if (Event->type() == QEvent::UpdateRequest && LastPaint.isValid() && LastPaint.elapsed() < PaintIntervalMs) {
    // Too soon after the last paint: what changed stays marked and is painted when
    // the timer runs, at the next processing of pending messages.
    if (!PaintTimer->isActive()) PaintTimer->start(static_cast<int>(PaintIntervalMs - LastPaint.elapsed()));
    return true;
  }
  if (Event->type() == QEvent::UpdateRequest) LastPaint.start();
  return QDialog::event(Event);
}

void TProgress::PaintNow() {
  LastPaint.start();
  QEvent request(QEvent::UpdateRequest);
  QDialog::event(&request);
}

void TProgress::closeEvent(QCloseEvent* Event) {
  // QDialog's own handler would call reject(), which here means "abort": the
  // program's close() at the end of a run must not stop anything.
  const bool wasVisible = isVisible();
  Event->accept();
  if (wasVisible) FormClose();
  // A close the window system delivers is the user's close box: a run must not go on
  // without the window through which it can be stopped.
  if (Event->spontaneous()) PelmorState().AbortRequested = true;
}

void TProgress::FormClose() {
  if (!SoundCheck->isChecked()) return;
  for (int i = 0; i < 3; ++i) Beep();
}
