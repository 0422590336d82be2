#include "platform/StringGrid.h"

#include <QAbstractButton>
#include <QEvent>
#include <QHeaderView>
#include <QPainter>
#include <QStyleOptionHeader>
#include <algorithm>

const QString TStringGridModel::Empty;

namespace {
// A cell or title far wider than any screen is shown cut: measuring and eliding a
// text of a megabyte character by character would keep the window from answering.
// The cell editor holds the whole text; the tooltip shows the start of it in lines.
constexpr qsizetype ShownLength = 500;
constexpr qsizetype TipLine = 100, TipLength = 4000;

QString Shown(const QString& Text) {
  if (Text.size() <= ShownLength) return Text;
  return Text.left(ShownLength) + QChar(0x2026);
}

QVariant LongTextTip(const QString& Text) {
  if (Text.size() <= ShownLength) return {};
  QString tip;
  const qsizetype n = std::min(Text.size(), TipLength);
  for (qsizetype i = 0; i < n; i += TipLine) {
    if (i > 0) tip += QLatin1Char('\n');
    tip += Text.mid(i, std::min(TipLine, n - i));
  }
  if (Text.size() > TipLength) tip += QChar(0x2026);
  return tip;
}
}  // namespace

TStringGridModel::TStringGridModel(QObject* Parent) : QAbstractTableModel(Parent) {}

void TStringGridModel::SetSize(int NewCols, int NewRows) {
  NewCols = std::max(NewCols, 1);
  NewRows = std::max(NewRows, 1);
  if (NewCols == Cols && NewRows == RowCount()) return;
  beginResetModel();
  Rows.resize(static_cast<size_t>(NewRows));
  for (auto& r : Rows) r.resize(static_cast<size_t>(NewCols));
  Cols = NewCols;
  FCols = std::min(FCols, Cols - 1);
  FRows = std::min(FRows, RowCount() - 1);
  endResetModel();
}

const QString& TStringGridModel::Cell(int C, int R) const {
  if (R < 0 || R >= RowCount() || C < 0 || C >= Cols) return Empty;
  return Rows[static_cast<size_t>(R)][static_cast<size_t>(C)];
}

void TStringGridModel::SetCell(int C, int R, const QString& Text) {
  if (R < 0 || C < 0) return;
  if (R >= RowCount() || C >= Cols) return;
  QString& cell = Rows[static_cast<size_t>(R)][static_cast<size_t>(C)];
  if (cell == Text) return;
  cell = Text;
  if (R < FRows && C < FCols) {
    headerDataChanged(Qt::Horizontal, 0, 0);
  } else if (R < FRows) {
    emit headerDataChanged(Qt::Horizontal, C - FCols, C - FCols);
  } else if (C < FCols) {
    emit headerDataChanged(Qt::Vertical, R - FRows, R - FRows);
  } else {
    const QModelIndex i = index(R - FRows, C - FCols);
    emit dataChanged(i, i, {Qt::DisplayRole, Qt::EditRole});
  }
}

void TStringGridModel::SetTable(std::vector<std::vector<QString>> Table, int NewCols) {
  beginResetModel();
  Rows = std::move(Table);
  if (Rows.empty()) Rows.resize(1);
  Cols = std::max(NewCols, 1);
  for (auto& r : Rows) r.resize(static_cast<size_t>(Cols));
  FCols = std::min(FCols, Cols - 1);
  FRows = std::min(FRows, RowCount() - 1);
  endResetModel();
}

void TStringGridModel::SetFixed(int NewFixedCols, int NewFixedRows) {
  NewFixedCols = std::clamp(NewFixedCols, 0, std::min(1, Cols - 1));
  NewFixedRows = std::clamp(NewFixedRows, 0, std::min(1, RowCount() - 1));
  if (NewFixedCols == FCols && NewFixedRows == FRows) return;
  beginResetModel();
  FCols = NewFixedCols;
  FRows = NewFixedRows;
  endResetModel();
}

void TStringGridModel::MoveRow(int From, int To) {
  if (From == To || From < 0 || To < 0 || From >= RowCount() || To >= RowCount()) return;
  beginResetModel();
  auto row = std::move(Rows[static_cast<size_t>(From)]);
  Rows.erase(Rows.begin() + From);
  Rows.insert(Rows.begin() + To, std::move(row));
  endResetModel();
}

void TStringGridModel::MoveColumn(int From, int To) {
  if (From == To || From < 0 || To < 0 || From >= Cols || To >= Cols) return;
  beginResetModel();
  for (auto& r : Rows) {
    QString cell = std::move(r[static_cast<size_t>(From)]);
    r.erase(r.begin() + From);
    r.insert(r.begin() + To, std::move(cell));
  }
  endResetModel();
}

int TStringGridModel::rowCount(const QModelIndex& Parent) const {
  return Parent.isValid() ? 0 : RowCount() - FRows;
}
int TStringGridModel::columnCount(const QModelIndex& Parent) const {
  return Parent.isValid() ? 0 : Cols - FCols;
}

QVariant TStringGridModel::data(const QModelIndex& Index, int Role) const {
  if (!Index.isValid()) return {};
  const QString& cell = Cell(Index.column() + FCols, Index.row() + FRows);
  if (Role == Qt::EditRole) return cell;
  if (Role == Qt::DisplayRole) return Shown(cell);
  if (Role == Qt::ToolTipRole) return LongTextTip(cell);
  return {};
}

bool TStringGridModel::setData(const QModelIndex& Index, const QVariant& Value, int Role) {
  if (!Index.isValid() || Role != Qt::EditRole) return false;
  const int c = Index.column() + FCols, r = Index.row() + FRows;
  SetCell(c, r, Value.toString());
  emit CellEdited(c, r);
  return true;
}

QVariant TStringGridModel::headerData(int Section, Qt::Orientation Orientation, int Role) const {
  if (Role != Qt::DisplayRole && Role != Qt::AccessibleTextRole && Role != Qt::ToolTipRole) return {};
  QString title;
  if (Orientation == Qt::Horizontal)
    title = FRows > 0 ? Cell(Section + FCols, 0) : QString::number(Section + FCols);
  else
    title = FCols > 0 ? Cell(0, Section + FRows) : QString::number(Section + FRows);
  return Role == Qt::ToolTipRole ? LongTextTip(title) : QVariant(Shown(title));
}

Qt::ItemFlags TStringGridModel::flags(const QModelIndex& Index) const {
  Qt::ItemFlags f = QAbstractTableModel::flags(Index);
  if (Editable) f |= Qt::ItemIsEditable;
  return f;
}

TStringGrid::TStringGrid(QWidget* Parent) : QTableView(Parent), GridModel(new TStringGridModel(this)) {
  setModel(GridModel);
  GridModel->SetSize(5, 5);
  horizontalHeader()->setDefaultSectionSize(DefaultWidth);
  horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
  verticalHeader()->setSectionResizeMode(QHeaderView::Interactive);
  verticalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  setEditTriggers(QAbstractItemView::AnyKeyPressed | QAbstractItemView::DoubleClicked |
                  QAbstractItemView::EditKeyPressed | QAbstractItemView::SelectedClicked);
  setSelectionMode(QAbstractItemView::ContiguousSelection);
  setTabKeyNavigation(true);
  connect(horizontalHeader(), &QHeaderView::sectionMoved, this,
          [this](int l, int o, int n) { SectionMoved(Qt::Horizontal, l, o, n); });
  connect(verticalHeader(), &QHeaderView::sectionMoved, this,
          [this](int l, int o, int n) { SectionMoved(Qt::Vertical, l, o, n); });
  if (auto* corner = findChild<QAbstractButton*>()) corner->installEventFilter(this);
  connect(GridModel, &QAbstractItemModel::modelReset, this, [this] { UpdateHeaders(); });
  connect(GridModel, &QAbstractItemModel::headerDataChanged, this, [this] {
    if (auto* corner = findChild<QAbstractButton*>()) corner->update();
  });
  UpdateHeaders();
}

void TStringGrid::SetColCount(int N) { GridModel->SetSize(N, RowCount()); }
void TStringGrid::SetRowCount(int N) { GridModel->SetSize(ColCount(), N); }
void TStringGrid::SetSize(int Cols, int Rows) { GridModel->SetSize(Cols, Rows); }
void TStringGrid::SetTable(std::vector<std::vector<QString>> Table, int Cols) {
  GridModel->SetTable(std::move(Table), Cols);
}
void TStringGrid::SetFixedCols(int N) { GridModel->SetFixed(N, FixedRows()); }
void TStringGrid::SetFixedRows(int N) { GridModel->SetFixed(FixedCols(), N); }

int TStringGrid::Row() const {
  const QModelIndex i = currentIndex();
  return (i.isValid() ? i.row() : 0) + FixedRows();
}
int TStringGrid::Col() const {
  const QModelIndex i = currentIndex();
  return (i.isValid() ? i.column() : 0) + FixedCols();
}
void TStringGrid::SetRow(int R) {
  const int r = R - FixedRows();
  if (r < 0 || r >= GridModel->rowCount()) return;
  const int c = std::max(0, Col() - FixedCols());
  setCurrentIndex(GridModel->index(r, std::min(c, GridModel->columnCount() - 1)));
}

void TStringGrid::SetDefaultColWidth(int W) {
  DefaultWidth = W;
  horizontalHeader()->setDefaultSectionSize(W);
}

void TStringGrid::SetEditing(bool On) {
  GridModel->Editable = On;
  setEditTriggers(On ? (QAbstractItemView::AnyKeyPressed | QAbstractItemView::DoubleClicked |
                        QAbstractItemView::EditKeyPressed | QAbstractItemView::SelectedClicked)
                     : QAbstractItemView::NoEditTriggers);
}

void TStringGrid::SetMoving(bool On) {
  Moving = On;
  horizontalHeader()->setSectionsMovable(On);
  verticalHeader()->setSectionsMovable(On);
}

void TStringGrid::UpdateHeaders() {
  horizontalHeader()->setVisible(FixedRows() > 0);
  verticalHeader()->setVisible(FixedCols() > 0);
  setCornerButtonEnabled(false);
}

void TStringGrid::SectionMoved(Qt::Orientation O, int, int OldVisual, int NewVisual) {
  // The header only changed its visual order: move the cells themselves, then put
  // the header back in its natural order so that visual and logical agree again.
  QHeaderView* header = O == Qt::Horizontal ? horizontalHeader() : verticalHeader();
  const bool blocked = header->blockSignals(true);
  header->moveSection(NewVisual, OldVisual);
  header->blockSignals(blocked);
  if (O == Qt::Horizontal)
    GridModel->MoveColumn(OldVisual + FixedCols(), NewVisual + FixedCols());
  else
    GridModel->MoveRow(OldVisual + FixedRows(), NewVisual + FixedRows());
}

bool TStringGrid::eventFilter(QObject* Watched, QEvent* Event) {
  // The header corner shows the corner title when both a title row and a title
  // column are fixed.
  if (Event->type() == QEvent::Paint && FixedRows() > 0 && FixedCols() > 0) {
    auto* corner = qobject_cast<QAbstractButton*>(Watched);
    if (corner) {
      QStyleOptionHeader opt;
      opt.initFrom(corner);
      opt.rect = corner->rect();
      opt.position = QStyleOptionHeader::OnlyOneSection;
      opt.text = Shown(Cells(0, 0));
      opt.state |= QStyle::State_Enabled;
      opt.palette.setCurrentColorGroup(QPalette::Active);
      opt.textAlignment = Qt::AlignLeft | Qt::AlignVCenter;
      QPainter painter(corner);
      corner->style()->drawControl(QStyle::CE_Header, &opt, &painter, corner);
      return true;
    }
  }
  return QTableView::eventFilter(Watched, Event);
}
