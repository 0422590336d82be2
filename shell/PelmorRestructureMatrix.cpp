#include "shell/PelmorRestructureMatrix.h"

#include <QApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "core/PelmorRandom.h"
#include "core/PelmorText.h"
#include "platform/Prompts.h"
#include "platform/StringGrid.h"
#include "shell/PelmorMain.h"

TPelmorRedoMatrix* PelmorRedoMatrix = nullptr;

namespace {
constexpr int64_t GridCellLimit = 241101;  // 301 x 801

// The hourglass while the grid is rebuilt.
struct TWaitCursor {
  TWaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
  ~TWaitCursor() { QApplication::restoreOverrideCursor(); }
  TWaitCursor(const TWaitCursor&) = delete;
  TWaitCursor& operator=(const TWaitCursor&) = delete;
};

QString RandomTitle(const char* Stem) {
  return QString::fromLatin1(Stem) + QString::fromStdString(FloatToStrF(Random(), 7));
}
}  // namespace

TPelmorRedoMatrix::TPelmorRedoMatrix(QWidget* Parent) : QDialog(Parent) {
  PelmorRedoMatrix = this;
  setObjectName(QStringLiteral("PelmorRedoMatrix"));
  setModal(true);
  setWindowTitle(QStringLiteral("Resize Matrix"));

  auto* layout = new QGridLayout(this);
  RowsLabel = new QLabel(QStringLiteral("Number of Rows:"), this);
  ColsLabel = new QLabel(QStringLiteral("Number of Columns&"), this);
  FileLabel = new QLabel(QStringLiteral("File:"), this);
  RowsEdit = new QLineEdit(this);
  RowsEdit->setObjectName(QStringLiteral("RowsEdit"));
  ColsEdit = new QLineEdit(this);
  ColsEdit->setObjectName(QStringLiteral("ColsEdit"));
  FileEdit = new QLineEdit(this);
  FileEdit->setObjectName(QStringLiteral("FileEdit"));
  FileEdit->setReadOnly(true);
  RowsLabel->setBuddy(RowsEdit);
  ColsLabel->setBuddy(ColsEdit);
  FileLabel->setBuddy(FileEdit);
  // The captions carry no accelerator of their own; screen readers name the boxes.
  RowsEdit->setAccessibleName(QStringLiteral("Number of Rows"));
  ColsEdit->setAccessibleName(QStringLiteral("Number of Columns"));
  FileEdit->setAccessibleName(QStringLiteral("File"));

  OKButton = new QPushButton(QStringLiteral("&OK"), this);
  OKButton->setObjectName(QStringLiteral("OKButton"));
  OKButton->setDefault(true);
  CancelButton = new QPushButton(QStringLiteral("&Cancel"), this);
  CancelButton->setObjectName(QStringLiteral("CancelButton"));

  layout->addWidget(RowsLabel, 0, 0);
  layout->addWidget(RowsEdit, 0, 1);
  layout->addWidget(ColsLabel, 1, 0);
  layout->addWidget(ColsEdit, 1, 1);
  layout->addWidget(FileLabel, 2, 0);
  layout->addWidget(FileEdit, 2, 1);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(OKButton);
  buttons->addWidget(CancelButton);
  layout->addLayout(buttons, 3, 0, 1, 2);
  layout->setColumnMinimumWidth(1, 240);

  connect(OKButton, &QPushButton::clicked, this, [this] { OKButtonClick(); });
  connect(CancelButton, &QPushButton::clicked, this, [this] { CancelButtonClick(); });
}

TPelmorRedoMatrix::~TPelmorRedoMatrix() {
  if (PelmorRedoMatrix == this) PelmorRedoMatrix = nullptr;
}

void TPelmorRedoMatrix::showEvent(QShowEvent* Event) {
  QDialog::showEvent(Event);
  RowsEdit->setFocus(Qt::TabFocusReason);
  RowsEdit->selectAll();
}

void TPelmorRedoMatrix::Init(const TStringGrid& Grid, const QString& Name) {
  setWindowTitle(QStringLiteral("Resize Matrix"));
  FileEdit->setText(Name);
  OldRows = NewRows = Grid.RowCount() - 1;
  OldCols = NewCols = Grid.ColCount() - 1;
  RowsEdit->setText(QString::number(NewRows));
  ColsEdit->setText(QString::number(NewCols));
  RowsEdit->setReadOnly(false);
  ColsEdit->setReadOnly(false);
  CancelButton->setVisible(true);
  Accepted = false;
}

void TPelmorRedoMatrix::InitAboutFile(const TStringGrid& Grid, const QString& Name) {
  setWindowTitle(QStringLiteral("About ") + Name);
  FileEdit->setText(Name);
  OldRows = NewRows = Grid.RowCount() - 1;
  OldCols = NewCols = Grid.ColCount() - 1;
  RowsEdit->setText(QString::number(NewRows));
  ColsEdit->setText(QString::number(NewCols));
  RowsEdit->setReadOnly(true);
  ColsEdit->setReadOnly(true);
  CancelButton->setVisible(false);
  Accepted = false;
}

void TPelmorRedoMatrix::OKButtonClick() {
  Accepted = true;
  // In the information box the counts are read-only and nothing is stored.
  if (!RowsEdit->isReadOnly()) {
    const int32_t rows = StrToIntRule(RowsEdit->text().toStdString());
    if (rows >= 1) {
      NewRows = rows;
      const int32_t cols = StrToIntRule(ColsEdit->text().toStdString());
      if (cols >= 1)
        NewCols = cols;
      else
        ShowMessage("Cols must be >= 1");
    } else {
      ShowMessage("Rows must be >= 1");
    }
  }
  done(QDialog::Accepted);
  hide();
}

void TPelmorRedoMatrix::CancelButtonClick() {
  Accepted = false;
  done(QDialog::Rejected);
  hide();
}

bool RestructureGrid(TStringGrid& Grid, int32_t OldCols, int32_t OldRows, int32_t NewRows, int32_t NewCols) {
  if (NewRows == OldRows && NewCols == OldCols) return true;
  const int64_t cells = static_cast<int64_t>(NewRows) * static_cast<int64_t>(NewCols);
  if (cells < 1 || cells > GridCellLimit) {
    ShowMessage("1 < Cell limits < 241101, e.g. 301x801.");
    return false;
  }
  if (NewRows < 1) {
    ShowMessage("Rows must be >= 1");
    return false;
  }
  if (NewCols < 1) {
    ShowMessage("Columns must be >= 1");
    return false;
  }
  // The whole table is rebuilt at once: one model reset instead of a signal per cell.
  std::vector<std::vector<QString>> table = Grid.Table();
  table.resize(static_cast<size_t>(NewRows) + 1);
  for (auto& row : table) row.resize(static_cast<size_t>(NewCols) + 1);
  const QString zero = QStringLiteral("0");
  for (int32_t r = OldRows + 1; r <= NewRows; ++r) {
    table[r][0] = RandomTitle("species");
    for (int32_t c = 1; c <= NewCols; ++c) table[r][c] = zero;
  }
  for (int32_t c = OldCols + 1; c <= NewCols; ++c) {
    table[0][c] = RandomTitle("site");
    for (int32_t r = 1; r <= NewRows; ++r) table[r][c] = zero;
  }
  const int fixedCols = Grid.FixedCols(), fixedRows = Grid.FixedRows();
  Grid.SetTable(std::move(table), NewCols + 1);
  Grid.SetFixedCols(fixedCols);
  Grid.SetFixedRows(fixedRows);
  return true;
}

void TransformMatrix(TStringGrid& Grid) {
  const std::vector<std::vector<QString>>& old = Grid.Table();
  const int oldRows = Grid.RowCount(), oldCols = Grid.ColCount();
  std::vector<std::vector<QString>> table(static_cast<size_t>(oldCols), std::vector<QString>(oldRows));
  for (int r = 0; r < oldRows; ++r)
    for (int c = 0; c < oldCols; ++c) table[c][r] = old[r][c];
  const int fixedCols = Grid.FixedCols(), fixedRows = Grid.FixedRows();
  Grid.SetTable(std::move(table), oldRows);
  Grid.SetFixedCols(fixedCols);
  Grid.SetFixedRows(fixedRows);
}

void TPelmor::ConnectEditMenus() {
  connect(ResizeMatrix1, &QAction::triggered, this, [this] { RestructMatrixClick(); });
  connect(TransposeMatrix1, &QAction::triggered, this, [this] { TransformMatrix(*MainGrid); });
  connect(AboutFile1, &QAction::triggered, this, [this] { About2Click(); });
  connect(EditMatrixAsText1, &QAction::triggered, this, [this] { Advanced1Click(); });
}

void TPelmor::RestructMatrixClick() {
  if (!PelmorRedoMatrix) return;
  TWaitCursor wait;
  PelmorRedoMatrix->Init(*MainGrid, FileName);
  ShowModal(PelmorRedoMatrix);
  if (!PelmorRedoMatrix->Accepted) return;
  RestructureGrid(*MainGrid, PelmorRedoMatrix->OldCols, PelmorRedoMatrix->OldRows, PelmorRedoMatrix->NewRows,
                  PelmorRedoMatrix->NewCols);
}

void TPelmor::About2Click() {
  if (!PelmorRedoMatrix) return;
  PelmorRedoMatrix->InitAboutFile(*MainGrid, FileName);
  ShowModal(PelmorRedoMatrix);
}

void TPelmor::LockRowTitlesClick() {
  const bool on = MainGrid->FixedCols() == 0;
  MainGrid->SetFixedCols(on ? 1 : 0);
  LockRowTitles1->setChecked(on);
}

void TPelmor::LockColumnTitlesClick() {
  const bool on = MainGrid->FixedRows() == 0;
  MainGrid->SetFixedRows(on ? 1 : 0);
  LockColumnTitles1->setChecked(on);
}
