#include "analyses/sizeoverlap/SizeOverlapUDefined3.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>
#include <algorithm>

#include "analyses/common/WeightsFile.h"
#include "analyses/sizeoverlap/SizeOverlapOptions.h"
#include "analyses/sizeoverlap/SizeOverlapUDefined4.h"
#include "core/PelmorText.h"
#include "platform/Prompts.h"
#include "platform/StringGrid.h"
#include "shell/DataFiles.h"
#include "shell/PelmorMain.h"

TSizeOverLapUD3* SizeOverLapUD3 = nullptr;

namespace {
constexpr int kHistogramCols = 3;

void SetHeader(TStringGrid& G) {
  G.SetCells(0, 0, QStringLiteral("Species"));
  G.SetCells(1, 0, QStringLiteral("Size"));
  G.SetCells(2, 0, QStringLiteral("Colonization Weight"));
}
}  // namespace

TSizeOverLapUD3::TSizeOverLapUD3(QWidget* Parent) : QDialog(Parent) {
  SizeOverLapUD3 = this;
  setObjectName(QStringLiteral("SizeOverLapUD3"));
  setWindowTitle(QStringLiteral("Pelmor -- User-defined histogram"));
  setModal(true);
  LastFileName = Pelmor ? Pelmor->FileName : QString();

  auto* layout = new QVBoxLayout(this);
  auto* menu = new QMenuBar(this);
  QMenu* file = menu->addMenu(QStringLiteral("&File"));
  Open1 = file->addAction(QStringLiteral("&Open histogram"));
  Save1 = file->addAction(QStringLiteral("&Save histogram"));
  Help1 = menu->addAction(QStringLiteral("&Help"));
  layout->setMenuBar(menu);

  SpeciesHistogramGrid = new TStringGrid(this);
  SpeciesHistogramGrid->setObjectName(QStringLiteral("SpeciesHistogramGrid"));
  SpeciesHistogramGrid->setAccessibleName(QStringLiteral("Size histogram"));
  SpeciesHistogramGrid->SetEditing(true);
  SpeciesHistogramGrid->setTabKeyNavigation(true);
  SpeciesHistogramGrid->SetDefaultColWidth(140);
  SpeciesHistogramGrid->SetSize(kHistogramCols, 1);
  SpeciesHistogramGrid->SetFixedRows(1);
  SetHeader(*SpeciesHistogramGrid);
  layout->addWidget(SpeciesHistogramGrid, 1);

  auto* pool = new QHBoxLayout();
  pool->addWidget(new QLabel(QStringLiteral("Number of species in source pool:"), this));
  SpeciesPoolLabel = new QLabel(this);
  SpeciesPoolLabel->setObjectName(QStringLiteral("SpeciesPoolLabel"));
  pool->addWidget(SpeciesPoolLabel);
  ChangeButton = new QPushButton(QStringLiteral("&Change "), this);
  ChangeButton->setObjectName(QStringLiteral("Button1"));
  ChangeButton->setAutoDefault(false);
  pool->addWidget(ChangeButton);
  pool->addStretch();
  layout->addLayout(pool);

  auto* buttons = new QHBoxLayout();
  OKButton = new QPushButton(QStringLiteral("&OK"), this);
  OKButton->setObjectName(QStringLiteral("OKButton"));
  OKButton->setDefault(true);
  ResetDefaultsButton = new QPushButton(QStringLiteral("reset &Defaults"), this);
  ResetDefaultsButton->setObjectName(QStringLiteral("ResetDefaultsButton"));
  ResetDefaultsButton->setAutoDefault(false);
  buttons->addStretch();
  buttons->addWidget(OKButton);
  buttons->addWidget(ResetDefaultsButton);
  layout->addLayout(buttons);
  resize(520, 460);

  connect(OKButton, &QPushButton::clicked, this, [this] { accept(); });
  connect(ResetDefaultsButton, &QPushButton::clicked, this, [this] { SetDefaults(); });
  connect(ChangeButton, &QPushButton::clicked, this, [this] { Button1Click(); });
  connect(Open1, &QAction::triggered, this, [this] { Open1Click(); });
  connect(Save1, &QAction::triggered, this, [this] { Save1Click(); });
}

TSizeOverLapUD3::~TSizeOverLapUD3() {
  if (SizeOverLapUD3 == this) SizeOverLapUD3 = nullptr;
}

void TSizeOverLapUD3::SetPoolSize(int Size) {
  const QString text = QString::number(Size);
  SpeciesPoolLabel->setText(text);
  if (Pelmor) Pelmor->SourcePoolSize = text;
}

void TSizeOverLapUD3::SetDefaults() {
  const TStringGrid* main = Pelmor ? Pelmor->MainGrid : nullptr;
  const int rows = main ? std::max(main->RowCount(), 1) : 1;
  const int col = SizeOverlapOpts ? SizeOverlapOpts->AnalysedColumn() : 1;
  const bool haveColumn = main && col >= 1 && col < main->ColCount();
  SetPoolSize(rows - 1);
  TCellTable cells(static_cast<size_t>(rows), std::vector<QString>(kHistogramCols));
  for (int r = 1; r < rows; ++r) {
    auto& row = cells[static_cast<size_t>(r)];
    row[0] = main->Cells(0, r);
    if (haveColumn) row[1] = main->Cells(col, r);
    // A size of 0 or below cannot be placed on the number line, so it takes no weight:
    // the rows the run leaves out of the observed line stay out of the pool too.
    row[2] = haveColumn && SizeCellValue(row[1]) > 0.0 ? QStringLiteral("1.0") : QStringLiteral("0.0");
  }
  SpeciesHistogramGrid->SetTable(std::move(cells), kHistogramCols);
  SpeciesHistogramGrid->SetFixedCols(0);
  SpeciesHistogramGrid->SetFixedRows(1);
  SetHeader(*SpeciesHistogramGrid);
}

void TSizeOverLapUD3::SetNew() {
  // The editor keeps the pool size it was given (by the defaults, a file or
  // "&Change "), whatever size a launch of the analysis proposed.
  const int size = std::max(IntTextRule(SpeciesPoolLabel->text().toStdString()), 0);
  SetPoolSize(size);
  SpeciesHistogramGrid->SetRowCount(size + 1);
  SetHeader(*SpeciesHistogramGrid);
}

void TSizeOverLapUD3::Button1Click() {
  if (Pelmor) Pelmor->SourcePoolSize = SpeciesPoolLabel->text();
  ShowModal(SizeOverLapUD4);
  if (Pelmor) SpeciesPoolLabel->setText(Pelmor->SourcePoolSize);
  SetNew();
}

void TSizeOverLapUD3::Open1Click() {
  const auto chosen = ChooseWeightsFile(this);
  if (chosen) OpenHistogramFromPath(*chosen);
}

void TSizeOverLapUD3::OpenHistogramFromPath(const QString& Path) {
  std::optional<TWeightsTable> read = ReadWeightsFile(Path);
  if (!read) return;
  const int mainRows = Pelmor ? Pelmor->MainGrid->RowCount() : 0;
  if (read->Rows < mainRows) {
    ShowMessage(QStringLiteral("Histogram row count must be >= MainGrid row count."));
    SetDefaults();
    ShowMessage(QStringLiteral("Resetting Defaults"));
    return;
  }
  // The grid keeps its three columns: cells beyond them are not taken.
  for (auto& row : read->Cells) row.resize(kHistogramCols);
  const int rows = read->Rows;
  SpeciesHistogramGrid->SetTable(std::move(read->Cells), kHistogramCols);
  SpeciesHistogramGrid->SetFixedCols(0);
  SpeciesHistogramGrid->SetFixedRows(1);
  SetPoolSize(rows - 1);
}

bool TSizeOverLapUD3::Save1Click() {
  const auto chosen =
      Prompts().SaveFileName(this, QStringLiteral("Select a file name."), QString(), QStringLiteral("histogram.txt"));
  if (!chosen) return false;
  return SaveHistogramToPath(*chosen);
}

bool TSizeOverLapUD3::SaveHistogramToPath(const QString& Path) {
  QString text;
  const TStringGrid& g = *SpeciesHistogramGrid;
  for (int r = 0; r < g.RowCount(); ++r) {
    for (int c = 0; c < g.ColCount(); ++c) text += CellForFile(g.Cells(c, r)) + QLatin1Char(' ');
    text += QStringLiteral("\r\n");
  }
  if (!WriteFileSafely(Path, text.toUtf8())) {
    ShowMessage(QStringLiteral("Error writing file."));
    return false;
  }
  return true;
}

void TSizeOverLapUD3::FormShow() {
  const QString name = Pelmor ? Pelmor->FileName : QString();
  if (FirstShow || name != LastFileName) {
    FirstShow = false;
    LastFileName = name;
    SetDefaults();
  } else {
    SetNew();
  }
  OKButton->setFocus();
}

void TSizeOverLapUD3::showEvent(QShowEvent* Event) {
  QDialog::showEvent(Event);
  if (!Event->spontaneous()) FormShow();
}
