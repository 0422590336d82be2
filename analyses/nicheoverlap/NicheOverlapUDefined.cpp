#include "analyses/nicheoverlap/NicheOverlapUDefined.h"

#include <QHBoxLayout>
#include <QMenuBar>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

#include "analyses/common/AnalysisOptions.h"
#include "analyses/common/WeightsFile.h"
#include "platform/Prompts.h"
#include "shell/PelmorMain.h"

TNicheOverlapUserDefined* NicheOverlapUserDefined = nullptr;

TNicheOverlapUserDefined::~TNicheOverlapUserDefined() {
  if (NicheOverlapUserDefined == this) NicheOverlapUserDefined = nullptr;
}

TNicheOverlapUserDefined::TNicheOverlapUserDefined(QWidget* Parent) : QDialog(Parent) {
  NicheOverlapUserDefined = this;
  setObjectName(QStringLiteral("NicheOverlapUserDefined"));
  setWindowTitle(QStringLiteral("Pelmor -- Niche Overlap user-defined weights"));
  LastFileName = Pelmor ? Pelmor->FileName : QString();

  auto* layout = new QVBoxLayout(this);
  auto* menu = new QMenuBar(this);
  QMenu* file = menu->addMenu(QStringLiteral("&File"));
  Open1 = file->addAction(QStringLiteral("&Open weights"));
  Save1 = file->addAction(QStringLiteral("&Save weights"));
  Help1 = menu->addAction(QStringLiteral("&Help"));
  Help1->setShortcut(QKeySequence(Qt::Key_F1));
  layout->setMenuBar(menu);

  SitesWeightsGrid = new TStringGrid(this);
  SitesWeightsGrid->setObjectName(QStringLiteral("SitesWeightsGrid"));
  SitesWeightsGrid->setAccessibleName(QStringLiteral("Resource-state weights"));
  SitesWeightsGrid->SetEditing(true);
  SitesWeightsGrid->setTabKeyNavigation(true);
  SitesWeightsGrid->SetDefaultColWidth(140);
  layout->addWidget(SitesWeightsGrid);
  SpeciesWeightGrid = new TStringGrid(this);
  SpeciesWeightGrid->setObjectName(QStringLiteral("SpeciesWeightGrid"));
  SpeciesWeightGrid->hide();
  SitesWeightsGrid->hide();

  auto* buttons = new QHBoxLayout();
  OKButton = new QPushButton(QStringLiteral("&OK"), this);
  OKButton->setObjectName(QStringLiteral("OKButton"));
  ResetDefaultsButton = new QPushButton(QStringLiteral("reset &Defaults"), this);
  ResetDefaultsButton->setObjectName(QStringLiteral("ResetDefaultsButton"));
  ResetDefaultsButton->setAutoDefault(false);
  OKButton->setDefault(true);
  buttons->addStretch();
  buttons->addWidget(OKButton);
  buttons->addWidget(ResetDefaultsButton);
  EqualButtonWidths({OKButton, ResetDefaultsButton});
  layout->addLayout(buttons);
  resize(360, 420);

  connect(OKButton, &QPushButton::clicked, this, [this] { OKButtonClick(); });
  connect(ResetDefaultsButton, &QPushButton::clicked, this, [this] { ResetDefaultsButtonClick(); });
  connect(Open1, &QAction::triggered, this, [this] { Open1Click(); });
  connect(Save1, &QAction::triggered, this, [this] { Save1Click(); });
  connect(Help1, &QAction::triggered, this, [] {
    if (Pelmor) Pelmor->RunHelp();
  });
}

void TNicheOverlapUserDefined::SetColumns() {
  const int rows = Pelmor ? Pelmor->MainGrid->ColCount() : 1;
  FillDefaultWeights(*SitesWeightsGrid, rows, QStringLiteral("Sites"),
                     [](int c) { return Pelmor->MainGrid->Cells(c, 0); });
  setWindowTitle(QStringLiteral("Edit site weights"));
  OKButton->setFocus();
}

void TNicheOverlapUserDefined::OKButtonClick() {
  if (!TestWeights(*SitesWeightsGrid)) return;
  accept();
}

void TNicheOverlapUserDefined::Open1Click() {
  const auto chosen = ChooseWeightsFile(this);
  if (chosen)
    OpenWeightsFromPath(*chosen);
  else
    FixTitles();
}

void TNicheOverlapUserDefined::FixTitles() {
  // The header row and the column of state titles stay fixed after a file was opened.
  SitesWeightsGrid->SetFixedRows(1);
  SitesWeightsGrid->SetFixedCols(1);
}

void TNicheOverlapUserDefined::OpenWeightsFromPath(const QString& Path) {
  std::optional<TWeightsTable> read = ReadWeightsFile(Path);
  if (read) {
    const int wanted = Pelmor ? Pelmor->MainGrid->ColCount() : read->Rows;
    if (read->Rows != wanted) {
      ShowMessage(QStringLiteral("Weights row count must = MainGrid col count."));
      SetColumns();
    } else {
      SetWeightsTable(*SitesWeightsGrid, std::move(*read));
    }
  }
  FixTitles();
}

void TNicheOverlapUserDefined::Save1Click() {
  SaveWeightsFile(this, *SitesWeightsGrid, TWeightsCells::EachFollowedByBlank);
}

void TNicheOverlapUserDefined::FormShow() {
  const QString name = Pelmor ? Pelmor->FileName : QString();
  if (FirstShow || name != LastFileName) {
    FirstShow = false;
    LastFileName = name;
    SetColumns();
  }
  setWindowTitle(QStringLiteral("Edit sites weights"));
  SitesWeightsGrid->show();
}

void TNicheOverlapUserDefined::showEvent(QShowEvent* Event) {
  QDialog::showEvent(Event);
  if (!Event->spontaneous()) FormShow();
}
