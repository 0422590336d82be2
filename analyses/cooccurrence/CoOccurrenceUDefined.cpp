#include "analyses/cooccurrence/CoOccurrenceUDefined.h"

#include <QHBoxLayout>
#include <QMenuBar>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>
#include <cmath>
#include <functional>

#include "analyses/common/AnalysisOptions.h"
#include "analyses/common/WeightsFile.h"
#include "platform/Prompts.h"
#include "shell/DataFiles.h"
#include "shell/PelmorMain.h"

TCoOccurrenceUserDefined* CoOccurrenceUserDefined = nullptr;

namespace {
void SetUpGrid(TStringGrid* G) {
  G->SetEditing(true);
  G->setTabKeyNavigation(true);
  G->SetDefaultColWidth(140);
}
}  // namespace

TCoOccurrenceUserDefined::~TCoOccurrenceUserDefined() {
  if (CoOccurrenceUserDefined == this) CoOccurrenceUserDefined = nullptr;
}

TCoOccurrenceUserDefined::TCoOccurrenceUserDefined(QWidget* Parent) : QDialog(Parent) {
  CoOccurrenceUserDefined = this;
  setObjectName(QStringLiteral("CoOccurrenceUserDefined"));
  setWindowTitle(QStringLiteral("Pelmor -- Co-occurrence user-defined weights"));

  auto* layout = new QVBoxLayout(this);
  auto* menu = new QMenuBar(this);
  QMenu* file = menu->addMenu(QStringLiteral("&File"));
  OpenWeights1 = file->addAction(QStringLiteral("&Open weights"));
  SaveWeights1 = file->addAction(QStringLiteral("&Save weights"));
  Help1 = menu->addAction(QStringLiteral("&Help"));
  Help1->setShortcut(QKeySequence(Qt::Key_F1));
  layout->setMenuBar(menu);

  SpeciesWeightsGrid = new TStringGrid(this);
  SpeciesWeightsGrid->setObjectName(QStringLiteral("SpeciesWeightsGrid"));
  SpeciesWeightsGrid->setAccessibleName(QStringLiteral("Species weights"));
  SitesWeightsGrid = new TStringGrid(this);
  SitesWeightsGrid->setObjectName(QStringLiteral("SitesWeightsGrid"));
  SitesWeightsGrid->setAccessibleName(QStringLiteral("Site weights"));
  SetUpGrid(SpeciesWeightsGrid);
  SetUpGrid(SitesWeightsGrid);
  layout->addWidget(SpeciesWeightsGrid);
  layout->addWidget(SitesWeightsGrid);

  auto* buttons = new QHBoxLayout();
  OKButton = new QPushButton(QStringLiteral("&OK"), this);
  DefaultsButton = new QPushButton(QStringLiteral("reset &Defaults"), this);
  OKButton->setDefault(true);
  buttons->addStretch();
  buttons->addWidget(OKButton);
  buttons->addWidget(DefaultsButton);
  EqualButtonWidths({OKButton, DefaultsButton});
  layout->addLayout(buttons);
  resize(360, 420);

  connect(OKButton, &QPushButton::clicked, this, [this] { OKButtonClick(); });
  connect(DefaultsButton, &QPushButton::clicked, this, [this] { DefaultsButtonClick(); });
  connect(OpenWeights1, &QAction::triggered, this, [this] { OpenWeightsFile(VisibleGrid()); });
  connect(SaveWeights1, &QAction::triggered, this, [this] { SaveWeightsFile(VisibleGrid()); });
  connect(Help1, &QAction::triggered, this, [] {
    if (Pelmor) Pelmor->RunHelp();
  });
}


void TCoOccurrenceUserDefined::SetDefaults() {
  const int rows = Pelmor ? Pelmor->MainGrid->RowCount() : 1;
  FillDefaultWeights(*SpeciesWeightsGrid, rows, QStringLiteral("Species"),
                     [](int r) { return Pelmor->MainGrid->Cells(0, r); });
  setWindowTitle(QStringLiteral("Edit species weights"));
}

void TCoOccurrenceUserDefined::SetColumns() {
  const int rows = Pelmor ? Pelmor->MainGrid->ColCount() : 1;
  FillDefaultWeights(*SitesWeightsGrid, rows, QStringLiteral("Sites"),
                     [](int c) { return Pelmor->MainGrid->Cells(c, 0); });
  setWindowTitle(QStringLiteral("Edit site weights"));
}

void TCoOccurrenceUserDefined::OpenWeightsFile(TStringGrid& G) {
  const auto chosen = ChooseWeightsFile(this);
  if (!chosen) return;
  OpenWeightsFromPath(G, *chosen);
}

void TCoOccurrenceUserDefined::OpenWeightsFromPath(TStringGrid& G, const QString& Path) {
  std::optional<TWeightsTable> read = ReadWeightsFile(Path);
  if (!read) return;
  const bool sites = &G == SitesWeightsGrid;
  const int wanted = Pelmor ? (sites ? Pelmor->MainGrid->ColCount() : Pelmor->MainGrid->RowCount()) : read->Rows;
  if (read->Rows != wanted) {
    if (sites) {
      ShowMessage(QStringLiteral("Weights row count must = MainGrid col count."));
      SetColumns();
    } else {
      ShowMessage(QStringLiteral("Weights row count must = MainGrid row count."));
      SetDefaults();
    }
  } else {
    SetWeightsTable(G, std::move(*read));
  }
  SpeciesWeightsGrid->SetFixedCols(0);
  SpeciesWeightsGrid->SetFixedRows(1);
  SitesWeightsGrid->SetFixedCols(0);
  SitesWeightsGrid->SetFixedRows(1);
}

void TCoOccurrenceUserDefined::SaveWeightsFile(TStringGrid& G) { ::SaveWeightsFile(this, G); }

bool TCoOccurrenceUserDefined::TestUserDefined(const TStringGrid& G) { return TestWeights(G); }

std::vector<double> TCoOccurrenceUserDefined::WeightValues(const TStringGrid& G) { return ::WeightValues(G); }

void TCoOccurrenceUserDefined::OKButtonClick() {
  if (!TestUserDefined(VisibleGrid())) return;
  if (Pelmor) Pelmor->UserDefinedAccepted = true;
  accept();
}

void TCoOccurrenceUserDefined::DefaultsButtonClick() {
  if (EditSitesWeights == 1)
    SetColumns();
  else
    SetDefaults();
}

void TCoOccurrenceUserDefined::FormShow() {
  const QString name = Pelmor ? Pelmor->FileName : QString();
  if (FirstShow || name != LastFileName) {
    SetDefaults();
    SetColumns();
    FirstShow = false;
    LastFileName = name;
  }
  if (EditSitesWeights == 1) {
    setWindowTitle(QStringLiteral("Edit sites weights"));
    SpeciesWeightsGrid->hide();
    SitesWeightsGrid->show();
  } else {
    setWindowTitle(QStringLiteral("Edit species weights"));
    SitesWeightsGrid->hide();
    SpeciesWeightsGrid->show();
  }
}

void TCoOccurrenceUserDefined::showEvent(QShowEvent* Event) {
  QDialog::showEvent(Event);
  if (!Event->spontaneous()) FormShow();
}
