#include "analyses/nicheoverlap/NicheOverlapOptions.h"

#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QShowEvent>
#include <QTabWidget>

#include "analyses/nicheoverlap/NicheOverlapUDefined.h"
#include "platform/Prompts.h"

TNicheOverlapOpts* NicheOverlapOpts = nullptr;

TNicheOverlapOpts::~TNicheOverlapOpts() {
  if (NicheOverlapOpts == this) NicheOverlapOpts = nullptr;
}

TNicheOverlapOpts::TNicheOverlapOpts(QWidget* Parent) : TAnalysisOpts(QStringLiteral("Niche Overlap"), QStringLiteral("1000 "), Parent) {
  NicheOverlapOpts = this;
  setObjectName(QStringLiteral("NicheOverlapOpts"));
  setWindowFlag(Qt::Tool);
  IterationsLabel->setText(QStringLiteral("Number of Iterations:"));

  // "Preferences" comes first.
  auto* prefs = new QWidget(PageControl1);
  prefs->setObjectName(QStringLiteral("PreferencesSheet"));
  PageControl1->insertTab(0, prefs, QStringLiteral("Preferences"));
  PageControl1->setCurrentIndex(0);
  auto* grid = new QGridLayout(prefs);

  IndexGroup = new TRadioGroup(QStringLiteral("Niche overlap &Index"), {QStringLiteral("Pianka"), QStringLiteral("Czekanowski")}, prefs);
  IndexGroup->setObjectName(QStringLiteral("IndexGroup"));
  ResourceStatesGroup = new TRadioGroup(QStringLiteral("&Resource States"),
                                        {QStringLiteral("Equiprobable"), QStringLiteral("User-defined")}, prefs);
  ResourceStatesGroup->setObjectName(QStringLiteral("ResourceStatesGroup"));
  DefineButtonCols = new QPushButton(QStringLiteral("&Edit"), ResourceStatesGroup);
  DefineButtonCols->setObjectName(QStringLiteral("DefineButtonCols"));
  DefineButtonCols->setAccessibleName(QStringLiteral("Edit resource-state weights"));
  DefineButtonCols->setAutoDefault(false);
  ResourceStatesGroup->layout()->addWidget(DefineButtonCols);
  DefineButtonCols->hide();
  NicheBreadthGroup =
      new TRadioGroup(QStringLiteral("&Niche Breadth"), {QStringLiteral("Retained"), QStringLiteral("Relaxed")}, prefs);
  NicheBreadthGroup->setObjectName(QStringLiteral("NicheBreadthGroup"));
  ZeroStatesGroup =
      new TRadioGroup(QStringLiteral("&Zero States"), {QStringLiteral("Reshuffled"), QStringLiteral("Retained")}, prefs);
  ZeroStatesGroup->setObjectName(QStringLiteral("ZeroStatesGroup"));
  grid->addWidget(IndexGroup, 0, 0);
  grid->addWidget(ResourceStatesGroup, 0, 1);
  grid->addWidget(NicheBreadthGroup, 1, 0);
  grid->addWidget(ZeroStatesGroup, 1, 1);
  grid->setRowStretch(2, 1);

  for (TRadioGroup* g : {IndexGroup, ResourceStatesGroup, NicheBreadthGroup, ZeroStatesGroup}) g->SetItemIndex(0);
  ResourceStatesGroup->OnClick = [this] { ResourceStatesGroupClick(); };
  connect(DefineButtonCols, &QPushButton::clicked, this, [this] { DefineButtonColsClick(); });
  resize(480, 360);
}

TNicheOverlapOptions TNicheOverlapOpts::ReadOptions() const {
  TNicheOverlapOptions o;
  o.Index = IndexGroup->ItemIndex() == 1 ? TNicheIndex::Czekanowski : TNicheIndex::Pianka;
  o.UserDefinedStates = ResourceStatesGroup->ItemIndex() == 1;
  o.BreadthRelaxed = NicheBreadthGroup->ItemIndex() == 1;
  o.ZeroStatesRetained = ZeroStatesGroup->ItemIndex() == 1;
  return o;
}

void TNicheOverlapOpts::ResetDefaults() {
  TAnalysisOpts::ResetDefaults();
  // The reset leaves "&Edit" shown or hidden as it was.
  const bool editShown = !DefineButtonCols->isHidden();
  for (TRadioGroup* g : {ResourceStatesGroup, NicheBreadthGroup, ZeroStatesGroup, IndexGroup}) g->SetItemIndex(0);
  DefineButtonCols->setVisible(editShown);
  RunButton->setFocus();
}

void TNicheOverlapOpts::ResourceStatesGroupClick() {
  if (ResourceStatesGroup->ItemIndex() == 1) {
    if (ResourceStatesGroup->ClickedByUser()) DefineButtonColsClick();
    DefineButtonCols->show();
  } else {
    DefineButtonCols->hide();
  }
}

void TNicheOverlapOpts::DefineButtonColsClick() {
  if (NicheOverlapUserDefined) ShowModal(NicheOverlapUserDefined);
}

void TNicheOverlapOpts::showEvent(QShowEvent* Event) {
  TAnalysisOpts::showEvent(Event);
  RunButton->setFocus();
}
