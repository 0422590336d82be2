#include "analyses/diversity/SpeciesDiversityOptions.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QTabWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "analyses/diversity/AbundancelevelsOptions.h"
#include "platform/Prompts.h"
#include "shell/PelmorMain.h"

TSpeciesDiversityOpts* SpeciesDiversityOpts = nullptr;

namespace {
const QStringList DefaultOrUser = {QStringLiteral("Default"), QStringLiteral("User-defined")};

QPushButton* EditButton(QWidget* Parent, const QString& Name, const QString& Accessible) {
  auto* b = new QPushButton(QStringLiteral("&Edit"), Parent);
  b->setObjectName(Name);
  b->setAccessibleName(Accessible);
  b->setAutoDefault(false);
  b->hide();
  return b;
}

void ShowLevelsDialog() {
  if (AbundanceLevelsOpts) ShowModal(AbundanceLevelsOpts);
}
}  // namespace

TSpeciesDiversityOpts::~TSpeciesDiversityOpts() {
  if (SpeciesDiversityOpts == this) SpeciesDiversityOpts = nullptr;
}

TSpeciesDiversityOpts::TSpeciesDiversityOpts(QWidget* Parent)
    : TAnalysisOpts(QStringLiteral("Species Diversity"), QStringLiteral("1000 "), Parent) {
  SpeciesDiversityOpts = this;
  setObjectName(QStringLiteral("SpeciesDiversityOpts"));
  setWindowTitle(QStringLiteral("Species Diversity Options"));
  // The reset writes the count without the blank of the start text.
  DefaultIterations = QStringLiteral("1000");

  auto* prefs = new QWidget(PageControl1);
  prefs->setObjectName(QStringLiteral("PreferencesSheet"));
  PageControl1->insertTab(0, prefs, QStringLiteral("Preferences"));
  PageControl1->setCurrentIndex(0);
  auto* grid = new QGridLayout(prefs);

  SpeciesGroup = new TRadioGroup(QStringLiteral("Sample &Unit"),
                                 {QStringLiteral("Individuals"), QStringLiteral("Samples")}, prefs);
  SpeciesGroup->setObjectName(QStringLiteral("SpeciesGroup"));
  grid->addWidget(SpeciesGroup, 0, 0);

  RandomizationGroup = new TRadioGroup(QStringLiteral("Randomi&zation Algorithm"),
                                       {QStringLiteral("Accumulation curve"), QStringLiteral("Rarefaction curve")}, prefs);
  RandomizationGroup->setObjectName(QStringLiteral("RandomizationGroup"));
  grid->addWidget(RandomizationGroup, 0, 1);

  AbundanceLevelsGroup = new TRadioGroup(QStringLiteral("&Abundance Levels"), DefaultOrUser, prefs);
  AbundanceLevelsGroup->setObjectName(QStringLiteral("AbundanceLevelsGroup"));
  DefineButton = EditButton(AbundanceLevelsGroup, QStringLiteral("DefineButton"), QStringLiteral("Edit abundance levels"));
  AbundanceLevelsGroup->layout()->addWidget(DefineButton);
  grid->addWidget(AbundanceLevelsGroup, 1, 0);

  IndexBox = new QGroupBox(QStringLiteral("Species diversity &Index"), prefs);
  IndexBox->setObjectName(QStringLiteral("IndexBox"));
  IndexList = new QComboBox(IndexBox);
  IndexList->setObjectName(QStringLiteral("IndexList"));
  IndexList->setAccessibleName(QStringLiteral("Species diversity index"));
  IndexList->addItems({QStringLiteral("Species Richness"), QStringLiteral("Hurlbert's PIE"), QStringLiteral("Dominance"),
                       QStringLiteral("Shannon Diversity Index")});
  IndexList->setCurrentIndex(0);
  (new QVBoxLayout(IndexBox))->addWidget(IndexList);
  grid->addWidget(IndexBox, 1, 1);

  // The column box and the sample-levels group take the same place.
  ColumnBox = new QGroupBox(QStringLiteral("Co&Lumn to analyze"), prefs);
  ColumnBox->setObjectName(QStringLiteral("ColumnBox"));
  ColumnList = new QComboBox(ColumnBox);
  ColumnList->setObjectName(QStringLiteral("ColumnList"));
  ColumnList->setAccessibleName(QStringLiteral("Column to analyze"));
  (new QVBoxLayout(ColumnBox))->addWidget(ColumnList);
  grid->addWidget(ColumnBox, 2, 0, 1, 2);

  SampleLevelsGroup = new TRadioGroup(QStringLiteral("Sa&mple Levels"), DefaultOrUser, prefs);
  SampleLevelsGroup->setObjectName(QStringLiteral("SampleLevelsGroup"));
  DefineButton2 = EditButton(SampleLevelsGroup, QStringLiteral("DefineButton2"), QStringLiteral("Edit sample levels"));
  SampleLevelsGroup->layout()->addWidget(DefineButton2);
  grid->addWidget(SampleLevelsGroup, 2, 0, 1, 2);
  grid->setRowStretch(3, 1);

  // Values when the program starts.
  SpeciesGroup->SetItemIndex(0);
  RandomizationGroup->SetItemIndex(1);
  AbundanceLevelsGroup->SetItemIndex(0);
  SampleLevelsGroup->SetItemIndex(0);
  SampleLevelsGroup->hide();

  // The rules run on clicks from here on (and when code changes a group's item).
  SpeciesGroup->OnClick = [this] { SpeciesGroupClick(); };
  AbundanceLevelsGroup->OnClick = [this] { AbundanceLevelsGroupClick(); };
  SampleLevelsGroup->OnClick = [this] { SampleLevelsGroupClick(); };
  connect(DefineButton, &QPushButton::clicked, this, [this] { DefineButtonClick(); });
  connect(DefineButton2, &QPushButton::clicked, this, [this] { DefineButtonClick(); });
  resize(520, 400);
}

TDiversityOptions TSpeciesDiversityOpts::ReadOptions() const {
  TDiversityOptions o;
  const bool samples = SpeciesGroup->ItemIndex() == 1;
  o.Unit = samples ? TSampleUnit::Samples : TSampleUnit::Individuals;
  o.Algorithm = RandomizationGroup->ItemIndex() == 0 ? TCurveAlgorithm::Accumulation : TCurveAlgorithm::Rarefaction;
  o.UserLevels = (samples ? SampleLevelsGroup : AbundanceLevelsGroup)->ItemIndex() == 1;
  o.Index = IndexList->currentIndex();
  o.Iterations = IterationsValue();
  return o;
}

void TSpeciesDiversityOpts::ColumnTitlesToList() {
  ColumnList->clear();
  if (Pelmor) {
    const TStringGrid& g = *Pelmor->MainGrid;
    QStringList titles;
    for (int c = 1; c < g.ColCount(); ++c) titles << g.Cells(c, 0);
    ColumnList->addItems(titles);
  }
  ColumnList->setCurrentIndex(ColumnList->count() > 0 ? 0 : -1);
}

void TSpeciesDiversityOpts::SpeciesGroupClick() {
  if (!ColumnBox->isHidden()) {
    // To "Samples".
    ColumnBox->hide();
    AbundanceLevelsGroup->hide();
    DefineButton->hide();
    SampleLevelsGroup->show();
    DefineButton2->setVisible(SampleLevelsGroup->ItemIndex() == 1);
  } else {
    // To "Individuals".
    ColumnBox->show();
    AbundanceLevelsGroup->show();
    SampleLevelsGroup->hide();
    DefineButton2->hide();
    DefineButton->setVisible(AbundanceLevelsGroup->ItemIndex() == 1);
  }
}

void TSpeciesDiversityOpts::AbundanceLevelsGroupClick() {
  if (AbundanceLevelsGroup->ItemIndex() == 1) {
    ShowLevelsDialog();
    DefineButton->show();
  } else {
    DefineButton->hide();
  }
}

void TSpeciesDiversityOpts::SampleLevelsGroupClick() {
  if (SampleLevelsGroup->ItemIndex() == 1) {
    ShowLevelsDialog();
    DefineButton2->show();
  } else {
    DefineButton2->hide();
  }
}

void TSpeciesDiversityOpts::DefineButtonClick() { ShowLevelsDialog(); }

void TSpeciesDiversityOpts::ResetDefaults() {
  RandomSeedEdit->setText(QStringLiteral("0"));
  RandomizationGroup->SetItemIndex(1);
  IndexList->setCurrentIndex(0);
  ColumnList->setCurrentIndex(ColumnList->count() > 0 ? 0 : -1);
  SaveMatrixCheckBox->setChecked(false);
  AbundanceLevelsGroup->SetItemIndex(0);
  ColumnTitlesToList();
  IterationsEdit->setText(DefaultIterations);
  RunButton->setFocus();
}

void TSpeciesDiversityOpts::showEvent(QShowEvent* Event) {
  TAnalysisOpts::showEvent(Event);
  if (Event->spontaneous()) return;
  ColumnTitlesToList();
  // A kept item beyond the list (a file with fewer columns) leaves no column chosen.
  ColumnList->setCurrentIndex(SavedColumnItem < ColumnList->count() ? std::max(SavedColumnItem, 0) : -1);
  IndexList->setCurrentIndex(SavedIndexItem);
  RunButton->setFocus();
}

void TSpeciesDiversityOpts::hideEvent(QHideEvent* Event) {
  SavedColumnItem = ColumnList->currentIndex();
  SavedIndexItem = IndexList->currentIndex();
  TAnalysisOpts::hideEvent(Event);
}
