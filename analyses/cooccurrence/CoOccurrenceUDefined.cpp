#include "analyses/cooccurrence/CoOccurrenceUDefined.h"

#include <QHBoxLayout>
#include <QMenuBar>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>
#include <cmath>
#include <functional>

#include "core/PelmorText.h"
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

// A weight as a number ("." as the decimal mark); false when the text is not one.
bool WeightNumber(const QString& Text, double& Value) { return TextToFloat(Text.toStdString(), Value); }
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

namespace {
// A weights grid: a header row, then one row per name with the weight "1.0".
void FillDefaultWeights(TStringGrid& G, int Rows, const QString& Header, const std::function<QString(int)>& Name) {
  TCellTable cells(static_cast<size_t>(std::max(Rows, 1)), std::vector<QString>(2));
  for (int r = 1; r < Rows; ++r) {
    cells[r][0] = Name(r);
    cells[r][1] = QStringLiteral("1.0");
  }
  cells[0][0] = Header;
  cells[0][1] = QStringLiteral("Weights");
  G.SetTable(std::move(cells), 2);
  G.SetFixedCols(0);
  G.SetFixedRows(1);
}
}  // namespace

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
  const auto chosen = Prompts().OpenFileName(this, QStringLiteral("Select an ASCII file to open."), QString(), {});
  if (!chosen) return;
  OpenWeightsFromPath(G, *chosen);
}

void TCoOccurrenceUserDefined::OpenWeightsFromPath(TStringGrid& G, const QString& Path) {
  // A blank ends a cell; the first line sets the number of columns, so a longer
  // later line never writes past the grid.
  const TReadResult read = ReadCellFile(Path, false);
  if (read.State != TReadResult::Ok) {
    ShowMessage(read.Message);
    return;
  }
  const bool sites = &G == SitesWeightsGrid;
  const int wanted = Pelmor ? (sites ? Pelmor->MainGrid->ColCount() : Pelmor->MainGrid->RowCount()) : read.Rows;
  if (read.Rows != wanted) {
    if (sites) {
      ShowMessage(QStringLiteral("Weights row count must = MainGrid col count."));
      SetColumns();
    } else {
      ShowMessage(QStringLiteral("Weights row count must = MainGrid row count."));
      SetDefaults();
    }
  } else {
    G.SetTable(GridTable(read.Cells), std::max(read.Cols, 2));
  }
  SpeciesWeightsGrid->SetFixedCols(0);
  SpeciesWeightsGrid->SetFixedRows(1);
  SitesWeightsGrid->SetFixedCols(0);
  SitesWeightsGrid->SetFixedRows(1);
}

void TCoOccurrenceUserDefined::SaveWeightsFile(TStringGrid& G) {
  const auto chosen =
      Prompts().SaveFileName(this, QStringLiteral("Select a file name."), QString(), QStringLiteral("weights.txt"));
  if (!chosen || !Pelmor) return;
  Pelmor->SaveGridToFile(G, *chosen);
}

bool TCoOccurrenceUserDefined::TestUserDefined(const TStringGrid& G) {
  for (int r = 1; r < G.RowCount(); ++r) {
    double value = 0;
    if (!WeightNumber(G.Cells(1, r), value) || value < 0) {
      ShowMessage(QStringLiteral("Weights must be > 0 \r\nerror row: ") + QString::number(r));
      return false;
    }
  }
  return true;
}

std::vector<double> TCoOccurrenceUserDefined::WeightValues(const TStringGrid& G) {
  std::vector<double> out;
  for (int r = 1; r < G.RowCount(); ++r) {
    double value = 0;
    if (!WeightNumber(G.Cells(1, r), value)) value = 0;
    out.push_back(value);
  }
  return out;
}

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
