#include "analyses/standardtests/ChiSquareOptions.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLayout>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QShowEvent>
#include <QTabWidget>
#include <QVBoxLayout>

#include "core/PelmorText.h"
#include "core/TextLines.h"
#include "platform/Prompts.h"
#include "platform/RadioGroup.h"
#include "platform/StringGrid.h"
#include "shell/DataFiles.h"
#include "shell/PelmorMain.h"

TChiSquareOpts* ChiSquareOpts = nullptr;

TChiSquareOpts::TChiSquareOpts(QWidget* Parent) : TAnalysisOpts(QStringLiteral("Chi-square"), QStringLiteral("1000 "), Parent) {
  ChiSquareOpts = this;
  setObjectName(QStringLiteral("ChiSquareOpts"));

  MainMenu = new QMenuBar(this);
  QMenu* file = MainMenu->addMenu(QStringLiteral("&File"));
  Open1 = file->addAction(QStringLiteral("&Open"));
  SaveAs1 = file->addAction(QStringLiteral("Save &As"));
  CalculateExpectedMatrix1 = MainMenu->addAction(QStringLiteral("Calculate &expected matrix"));
  layout()->setMenuBar(MainMenu);

  PreferencesSheet = new QWidget(PageControl1);
  PreferencesSheet->setObjectName(QStringLiteral("PreferencesSheet"));
  PageControl1->insertTab(0, PreferencesSheet, QStringLiteral("Preferences"));
  PageControl1->setCurrentIndex(0);
  auto* prefs = new QHBoxLayout(PreferencesSheet);
  RandomizationGroup = new TRadioGroup(
      QStringLiteral("Si&mulation options"),
      {QStringLiteral("randomize matrix"), QStringLiteral("randomize columns"), QStringLiteral("randomize rows")},
      PreferencesSheet);
  RandomizationGroup->setObjectName(QStringLiteral("RandomizationGroup"));
  RandomizationGroup->SetItemIndex(0);
  prefs->addWidget(RandomizationGroup, 0, Qt::AlignTop);
  ExpectedBox = new QGroupBox(QStringLiteral("Expected matrix"), PreferencesSheet);
  ExpectedBox->setObjectName(QStringLiteral("ExpectedBox"));
  ExpectedGrid = new TStringGrid(ExpectedBox);
  ExpectedGrid->setObjectName(QStringLiteral("ExpectedGrid"));
  ExpectedGrid->setAccessibleName(QStringLiteral("Expected matrix"));
  ExpectedGrid->SetEditing(true);
  ExpectedGrid->setTabKeyNavigation(true);
  ExpectedGrid->SetFixedCols(0);
  ExpectedGrid->SetFixedRows(0);
  ExpectedGrid->SetDefaultColWidth(ExpectedGrid->fontMetrics().horizontalAdvance(QStringLiteral("12345.1234567")) + 12);
  (new QVBoxLayout(ExpectedBox))->addWidget(ExpectedGrid);
  prefs->addWidget(ExpectedBox, 1);

  connect(Open1, &QAction::triggered, this, [this] { Open1Click(); });
  connect(SaveAs1, &QAction::triggered, this, [this] { SaveAs1Click(); });
  connect(CalculateExpectedMatrix1, &QAction::triggered, this, [this] { CalculateExpectedMatrix1Click(); });
  FormCreate();
  resize(640, 440);
}

TChiSquareOpts::~TChiSquareOpts() {
  if (ChiSquareOpts == this) ChiSquareOpts = nullptr;
}

void TChiSquareOpts::EmptyExpected() {
  for (int r = 1; r < ExpectedGrid->RowCount(); ++r)
    for (int c = 1; c < ExpectedGrid->ColCount(); ++c) ExpectedGrid->SetCells(c, r, QString());
  Margins = {};
}

bool TChiSquareOpts::CalculateExpectedMatrix() {
  const TStringGrid& g = *Pelmor->MainGrid;
  const int cols = g.ColCount(), rows = g.RowCount();
  // The grid is laid out new in one table: size, titles, data cells.
  TCellTable table(static_cast<size_t>(rows), std::vector<QString>(static_cast<size_t>(cols)));
  for (int c = 0; c < cols; ++c) table[0][static_cast<size_t>(c)] = g.Cells(c, 0);
  for (int r = 0; r < rows; ++r) table[static_cast<size_t>(r)][0] = g.Cells(0, r);
  ExpectedGrid->SetTable(std::move(table), cols);
  ExpectedGrid->SetFixedCols(0);
  ExpectedGrid->SetFixedRows(0);
  Margins = {};

  Matrix counts(static_cast<size_t>(std::max(cols - 1, 0)), std::vector<int32_t>(static_cast<size_t>(std::max(rows - 1, 0))));
  for (int r = 1; r < rows; ++r)
    for (int c = 1; c < cols; ++c) {
      const QString at = QStringLiteral(" @ Row ") + QString::number(r) + QStringLiteral(" Col ") + QString::number(c);
      const std::optional<int32_t> v = StrictIntText(g.Cells(c, r).toStdString());
      if (!v) {
        ShowMessage(QStringLiteral("Not an integer") + at);
        return false;
      }
      if (*v < 0) {
        ShowMessage(QStringLiteral("Invalid value") + at);
        return false;
      }
      counts[static_cast<size_t>(c - 1)][static_cast<size_t>(r - 1)] = *v;
    }
  const TContingencyMargins m = ContingencyMargins(counts);
  // Nothing to expect from an empty table: the data cells stay empty.
  if (!(m.GrandReal > 0.0)) return false;
  const Real_Matrix e = ExpectedCounts(m);
  for (int r = 1; r < rows; ++r)
    for (int c = 1; c < cols; ++c)
      ExpectedGrid->SetCells(c, r, QString::fromStdString(FloatToStrF(e[static_cast<size_t>(c - 1)][static_cast<size_t>(r - 1)], 7)));
  Margins = m;
  return true;
}

void TChiSquareOpts::FormShow() {
  const TStringGrid& g = *Pelmor->MainGrid;
  if (Recompute || ExpectedGrid->RowCount() != g.RowCount() || ExpectedGrid->ColCount() != g.ColCount()) {
    CalculateExpectedMatrix();
    Recompute = false;
  }
}

void TChiSquareOpts::showEvent(QShowEvent* Event) {
  TAnalysisOpts::showEvent(Event);
  if (!Event->spontaneous() && Pelmor) FormShow();
}

bool TChiSquareOpts::LoadExpectedFile(const QString& Path) {
  QString text;
  const TReadResult read = ReadTextFile(Path, text);
  if (read.State != TReadResult::Ok) {
    ShowMessage(QStringLiteral("Error opening file."));
    return false;
  }
  // A blank or a comma ends a cell, a line end a row; the grid keeps its size and a
  // cell beyond it is passed over.
  const std::u16string_view all(reinterpret_cast<const char16_t*>(text.utf16()), static_cast<size_t>(text.size()));
  int row = 0;
  ForEachLine(all, [&](std::u16string_view line) {
    int col = 0;
    size_t start = 0;
    auto store = [&](size_t end) {
      if (row < ExpectedGrid->RowCount() && col < ExpectedGrid->ColCount())
        ExpectedGrid->SetCells(col, row,
                               QString::fromUtf16(line.data() + start, static_cast<qsizetype>(end - start)));
      ++col;
    };
    for (size_t i = 0; i < line.size(); ++i)
      if (line[i] == u' ' || line[i] == u',') {
        store(i);
        start = i + 1;
      }
    store(line.size());
    ++row;
  });
  return true;
}

bool TChiSquareOpts::Open1Click() {
  const auto chosen = Prompts().OpenFileName(this, QStringLiteral("Select an ASCII file to open."), QString(), QString());
  if (!chosen) return false;
  return LoadExpectedFile(*chosen);
}

bool TChiSquareOpts::SaveGridToFile(const TStringGrid& Grid, const QString& Name) {
  if (!WriteFileSafely(Name, MatrixFileBytes(*Grid.Model()))) {
    ShowMessage(QStringLiteral("Error writing file."));
    return false;
  }
  return true;
}

bool TChiSquareOpts::SaveAs1Click() {
  const auto chosen =
      Prompts().SaveFileName(this, QStringLiteral("Select a file name."), QString(), QStringLiteral("expected.txt"));
  if (!chosen) return false;
  return SaveGridToFile(*ExpectedGrid, *chosen);
}

void TChiSquareOpts::ResetDefaults() {
  TAnalysisOpts::ResetDefaults();
  CalculateExpectedMatrix();
  RandomizationGroup->SetItemIndex(0);
  RunButton->setFocus();
}
