#include "analyses/sizeoverlap/SizeOverlapUDefined4.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

#include "analyses/sizeoverlap/SizeOverlapOptions.h"
#include "core/PelmorText.h"
#include "platform/Prompts.h"
#include "shell/PelmorMain.h"
#include "shell/ProgressSims.h"

TSizeOverLapUD4* SizeOverLapUD4 = nullptr;

TSizeOverLapUD4::TSizeOverLapUD4(QWidget* Parent) : QDialog(Parent) {
  SizeOverLapUD4 = this;
  setObjectName(QStringLiteral("SizeOverLapUD4"));
  setWindowTitle(QStringLiteral("Pelmor -- User-defined histogram"));
  setModal(true);
  auto* layout = new QVBoxLayout(this);
  auto* row = new QHBoxLayout();
  auto* label = new QLabel(QStringLiteral("Number of species in source pool:"), this);
  SpeciesEdit = new QLineEdit(this);
  SpeciesEdit->setObjectName(QStringLiteral("SpeciesEdit"));
  label->setBuddy(SpeciesEdit);
  row->addWidget(label);
  row->addWidget(SpeciesEdit);
  layout->addLayout(row);
  auto* buttons = new QHBoxLayout();
  OKButton = new QPushButton(QStringLiteral("&OK"), this);
  OKButton->setObjectName(QStringLiteral("OKButton"));
  OKButton->setDefault(true);
  CancelButton = new QPushButton(QStringLiteral("&Cancel"), this);
  CancelButton->setObjectName(QStringLiteral("CancelButton"));
  CancelButton->setAutoDefault(false);
  buttons->addStretch();
  buttons->addWidget(OKButton);
  buttons->addWidget(CancelButton);
  layout->addLayout(buttons);
  connect(OKButton, &QPushButton::clicked, this, [this] { OKButtonClick(); });
  connect(CancelButton, &QPushButton::clicked, this, [this] { CancelButtonClick(); });
  resize(340, 100);
}

TSizeOverLapUD4::~TSizeOverLapUD4() {
  if (SizeOverLapUD4 == this) SizeOverLapUD4 = nullptr;
}

void TSizeOverLapUD4::showEvent(QShowEvent* Event) {
  QDialog::showEvent(Event);
  if (!Event->spontaneous() && Pelmor) SpeciesEdit->setText(Pelmor->SourcePoolSize);
}

void TSizeOverLapUD4::OKButtonClick() {
  const int32_t occupied = CountPositiveHistogramSizes();
  if (Pelmor) Pelmor->NumOccupiedSpecies = occupied;
  if (occupied < 1) {
    ShowMessage(QStringLiteral("Non-Zero Rows Must be > 0"));
    CloseProgressWindow();
    if (Pelmor) Pelmor->AbortRequested = true;
    return;
  }
  const int32_t size = IntTextRule(SpeciesEdit->text().toStdString());
  if (size < occupied) {
    ShowMessage(QStringLiteral("Histogram row count must be >= Non-zero rows."));
    return;
  }
  if (size > 241101) {
    ShowMessage(QStringLiteral("Histogram row count must be < 241101."));
    return;
  }
  if (Pelmor) Pelmor->SourcePoolSize = QString::number(size);
  accept();
}
