#include "shell/PelmorRestructureMatrix.h"

#include <QApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <algorithm>

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
  const int64_t count = static_cast<int64_t>(NewRows) * static_cast<int64_t>(NewCols);
  if (count < 1 || count > GridCellLimit) {
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
  // The kept cells keep their indices into the grid's texts; only the added titles
  // and "0"s are new texts. The cells go back at once: one model reset instead of a
  // signal per cell.
  TGridCells cells = Grid.Model()->CompactCells(NewCols + 1, NewRows + 1);
  const auto add = [&cells](const QString& Text) {
    cells.Texts.push_back(Text);
    return static_cast<quint32>(cells.Texts.size() - 1);
  };
  const QString zeroText = QStringLiteral("0");
  const auto found = std::find(cells.Texts.begin(), cells.Texts.end(), zeroText);
  const quint32 zero = found != cells.Texts.end() ? static_cast<quint32>(found - cells.Texts.begin()) : add(zeroText);
  const auto at = [&cells](int32_t C, int32_t R) -> quint32& {
    return cells.Ids[static_cast<size_t>(R) * static_cast<size_t>(cells.Cols) + static_cast<size_t>(C)];
  };
  for (int32_t r = OldRows + 1; r <= NewRows; ++r) {
    at(0, r) = add(RandomTitle("species"));
    for (int32_t c = 1; c <= NewCols; ++c) at(c, r) = zero;
  }
  for (int32_t c = OldCols + 1; c <= NewCols; ++c) {
    at(c, 0) = add(RandomTitle("site"));
    for (int32_t r = 1; r <= NewRows; ++r) at(c, r) = zero;
  }
  const int fixedCols = Grid.FixedCols(), fixedRows = Grid.FixedRows();
  Grid.SetCells(std::move(cells));
  Grid.SetFixedCols(fixedCols);
  Grid.SetFixedRows(fixedRows);
  return true;
}

void TransformMatrix(TStringGrid& Grid) { Grid.Transpose(); }

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
