#include "analyses/guild/GuildStructureOptions.h"

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

#include "platform/RadioGroup.h"
#include "shell/PelmorMain.h"

TGuildStructureOpts* GuildStructureOpts = nullptr;

TGuildStructureOpts::~TGuildStructureOpts() {
  if (GuildStructureOpts == this) GuildStructureOpts = nullptr;
}

TGuildStructureOpts::TGuildStructureOpts(QWidget* Parent) : TAnalysisOpts(QStringLiteral("Guild Structure"), QStringLiteral("1000 "), Parent) {
  GuildStructureOpts = this;
  setObjectName(QStringLiteral("GuildStructureOpts"));

  auto* prefs = new QWidget(PageControl1);
  PageControl1->insertTab(0, prefs, QStringLiteral("Preferences"));
  PageControl1->setCurrentIndex(0);
  auto* grid = new QGridLayout(prefs);

  auto* indexBox = new QGroupBox(QStringLiteral("Co-occurrence &Index"), prefs);
  auto* indexLayout = new QVBoxLayout(indexBox);
  IndexList = new QComboBox(indexBox);
  IndexList->setObjectName(QStringLiteral("IndexList"));
  IndexList->setAccessibleName(QStringLiteral("Co-occurrence index"));
  IndexList->addItems({QStringLiteral("C-score"), QStringLiteral("Number of checkerboards "),
                       QStringLiteral("Number of species combinations"), QStringLiteral("V-ratio")});
  IndexList->setCurrentIndex(0);
  indexLayout->addWidget(IndexList);
  indexLayout->addStretch();
  // The group's accelerator (Alt+I) moves the focus to the list inside it.
  grid->addWidget(indexBox, 0, 0);

  Grouping = new TRadioGroup(QStringLiteral("Grouping"),
                             {QStringLiteral("By guild (= rows)"), QStringLiteral("By region (= columns)")}, prefs);
  Grouping->setObjectName(QStringLiteral("Grouping"));
  grid->addWidget(Grouping, 0, 1);

  FavoredStatesCheckBox = new QCheckBox(QStringLiteral("Favored States Analysis"), prefs);
  FavoredStatesCheckBox->setObjectName(QStringLiteral("FavoredStatesCheckBox"));
  grid->addWidget(FavoredStatesCheckBox, 1, 1);
  grid->setRowStretch(2, 1);

  Grouping->SetItemIndex(0);
  Grouping->OnClick = [this] { GroupingClick(); };
  resize(520, 340);
}

void TGuildStructureOpts::GroupingClick() { FavoredStatesCheckBox->setEnabled(Grouping->ItemIndex() == 0); }

TGuildOptions TGuildStructureOpts::ReadOptions() const {
  TGuildOptions o;
  o.Grouping = Grouping->ItemIndex() == 1 ? TGrouping::Region : TGrouping::Guild;
  o.Index = static_cast<TGuildIndex>(std::clamp(IndexList->currentIndex(), 0, 3));
  o.FavoredStates = FavoredStatesCheckBox->isChecked();
  return o;
}

void TGuildStructureOpts::ResetDefaults() {
  RandomSeedEdit->setText(QStringLiteral("0"));
  SaveMatrixCheckBox->setChecked(false);
  IterationsEdit->setText(DefaultIterations);
  IndexList->setCurrentIndex(0);
  RunButton->setFocus();
  Grouping->SetItemIndex(0);
  // Guild grouping offers the favored-state analysis, whatever item was chosen before.
  GroupingClick();
  FavoredStatesCheckBox->setChecked(false);
}

void TGuildStructureOpts::showEvent(QShowEvent* Event) {
  TAnalysisOpts::showEvent(Event);
  if (Event->spontaneous()) return;
  IndexList->setCurrentIndex(SavedIndexItem);
  RunButton->setFocus();
}

void TGuildStructureOpts::hideEvent(QHideEvent* Event) {
  SavedIndexItem = std::max(IndexList->currentIndex(), 0);
  TAnalysisOpts::hideEvent(Event);
}
