#include "analyses/common/ColumnChoice.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QTabWidget>
#include <QTimer>

#include "platform/Prompts.h"
#include "platform/StringGrid.h"
#include "shell/PelmorMain.h"

TColumnChoiceOpts::TColumnChoiceOpts(const QString& AnalysisName, const QString& FirstCaption,
                                     const QString& SecondCaption, QWidget* Parent)
    : TAnalysisOpts(AnalysisName, QStringLiteral("1000 "), Parent) {
  PreferencesSheet = new QWidget(PageControl1);
  PreferencesSheet->setObjectName(QStringLiteral("PreferencesSheet"));
  PageControl1->insertTab(0, PreferencesSheet, QStringLiteral("Preferences"));
  PageControl1->setCurrentIndex(0);
  auto* grid = new QGridLayout(PreferencesSheet);
  FirstLabel = new QLabel(FirstCaption, PreferencesSheet);
  SecondLabel = new QLabel(SecondCaption, PreferencesSheet);
  FirstList = new QComboBox(PreferencesSheet);
  SecondList = new QComboBox(PreferencesSheet);
  FirstList->setObjectName(QStringLiteral("FirstList"));
  SecondList->setObjectName(QStringLiteral("SecondList"));
  for (QComboBox* b : {FirstList, SecondList}) {
    b->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    b->setMinimumWidth(160);
    b->setMaxVisibleItems(20);
  }
  FirstLabel->setBuddy(FirstList);
  SecondLabel->setBuddy(SecondList);
  grid->addWidget(FirstLabel, 0, 0);
  grid->addWidget(FirstList, 0, 1);
  grid->addWidget(SecondLabel, 1, 0);
  grid->addWidget(SecondList, 1, 1);
  grid->setColumnStretch(2, 1);
  grid->setRowStretch(2, 1);
  FormCreate();
}

void TColumnChoiceOpts::FormCreate() {
  FirstPosition = 0;
  SecondPosition = 1;
}

bool TColumnChoiceOpts::ColumnTitlesToList() {
  FirstList->clear();
  SecondList->clear();
  QStringList titles;
  if (Pelmor)
    for (int c = 1; c < Pelmor->MainGrid->ColCount(); ++c) titles << Pelmor->MainGrid->Cells(c, 0);
  FirstList->addItems(titles);
  SecondList->addItems(titles);
  // Filled lists have no item chosen until one is chosen below.
  FirstList->setCurrentIndex(-1);
  SecondList->setCurrentIndex(-1);
  if (FirstList->count() >= 2) {
    FirstList->setCurrentIndex(0);
    SecondList->setCurrentIndex(1);
    return true;
  }
  ShowMessage(QStringLiteral("At least two columns required."));
  return false;
}

bool TColumnChoiceOpts::FormShow() {
  Refused_ = !ColumnTitlesToList();
  if (Refused_) {
    if (Pelmor) Pelmor->OptionsAccepted = false;
    return false;
  }
  // A remembered position beyond the lists chooses nothing.
  FirstList->setCurrentIndex(FirstPosition < FirstList->count() ? FirstPosition : -1);
  SecondList->setCurrentIndex(SecondPosition < SecondList->count() ? SecondPosition : -1);
  if (Pelmor) FileEdit->setText(Pelmor->FileName);
  RunButton->setFocus();
  return true;
}

void TColumnChoiceOpts::FormClose() {
  // A grid refused for want of two columns offered no choice: the emptied lists would
  // otherwise be remembered as "nothing chosen" and the next good grid would open with
  // empty lists and be refused.
  if (Refused_) return;
  FirstPosition = FirstList->currentIndex();
  SecondPosition = SecondList->currentIndex();
}

void TColumnChoiceOpts::ResetDefaults() {
  TAnalysisOpts::ResetDefaults();
  FirstList->setCurrentIndex(FirstList->count() > 0 ? 0 : -1);
  SecondList->setCurrentIndex(SecondList->count() > 1 ? 1 : -1);
  RunButton->setFocus();
}

int TColumnChoiceOpts::FirstColumn() const { return FirstList->currentIndex() + 1; }
int TColumnChoiceOpts::SecondColumn() const { return SecondList->currentIndex() + 1; }

int TColumnChoiceOpts::exec() {
  // A dialog closed while it is being shown would leave its modal loop running: the
  // column check comes first, and a refused grid never shows the dialog.
  if (!FormShow()) {
    FormClose();
    return Rejected;
  }
  CheckedBeforeShow_ = true;
  return TAnalysisOpts::exec();
}

void TColumnChoiceOpts::showEvent(QShowEvent* Event) {
  TAnalysisOpts::showEvent(Event);
  if (Event->spontaneous()) return;
  if (CheckedBeforeShow_) {
    CheckedBeforeShow_ = false;
    RunButton->setFocus();
    return;
  }
  // Shown without exec: a refusal closes the dialog once the showing is over.
  if (!FormShow())
    QTimer::singleShot(0, this, [this] {
      if (isVisible()) CancelButtonClick();
    });
}

void TColumnChoiceOpts::hideEvent(QHideEvent* Event) {
  if (!Event->spontaneous()) FormClose();
  TAnalysisOpts::hideEvent(Event);
}
