#include "platform/StringGrid.h"

#include <QAbstractButton>
#include <QEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QPainter>
#include <QStyleOptionHeader>
#include <algorithm>
#include <array>
#include <limits>

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

// The tooltip of a text: the text itself, or for one that is shown cut, its start
// broken into lines.
QString TipText(const QString& Text) {
  if (Text.size() <= ShownLength) return Text;
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

namespace {
// At most this many texts are looked up for sharing: a grid of millions of distinct
// numbers would otherwise need a lookup table far larger than its cells.
constexpr qsizetype MaxIndexedTexts = 65536;

// Texts that cells no longer use (replaced by edits, or cut off with their cells) stay
// behind; once they outnumber the cells, only the used ones are kept.
bool TooManyTexts(const std::vector<QString>& Texts, const std::vector<quint32>& Ids) {
  return Texts.size() > Ids.size() + 1024;
}

// The texts that Ids use, the empty one first, in the order of their first use; Ids
// are renumbered to index them.
std::vector<QString> UsedTexts(const std::vector<QString>& Texts, std::vector<quint32>& Ids) {
  std::vector<quint32> newId(Texts.size(), 0);
  std::vector<QString> kept{QString()};
  for (quint32& id : Ids) {
    if (id == 0) continue;
    if (newId[id] == 0) {
      newId[id] = static_cast<quint32>(kept.size());
      kept.push_back(Texts[id]);
    }
    id = newId[id];
  }
  return kept;
}
}  // namespace

void TStringGridModel::IndexTexts() {
  TextIds.clear();
  for (size_t i = 1; i < Texts.size() && TextIds.size() < MaxIndexedTexts; ++i)
    TextIds.insert(Texts[i], static_cast<quint32>(i));
  TextIdsBuilt = true;
}

quint32 TStringGridModel::Intern(const QString& Given) {
  if (Given.isEmpty()) return 0;
  const QString text = Given;  // Given may be one of Texts, which may be rebuilt below
  if (!TextIdsBuilt) IndexTexts();
  const auto found = TextIds.constFind(text);
  if (found != TextIds.cend()) return found.value();
  // Texts replaced by edits stay behind; once they outnumber the cells, the table of
  // texts is rebuilt from the cells so that editing never makes the grid grow.
  if (TooManyTexts(Texts, Ids)) {
    Texts = UsedTexts(Texts, Ids);
    IndexTexts();
  }
  const auto id = static_cast<quint32>(Texts.size());
  Texts.push_back(text);
  if (TextIds.size() < MaxIndexedTexts) TextIds.insert(text, id);
  return id;
}

void TStringGridModel::SetSize(int NewCols, int NewRows) {
  NewCols = std::max(NewCols, 1);
  NewRows = std::max(NewRows, 1);
  if (NewCols == Cols && NewRows == RowCount()) return;
  beginResetModel();
  ++Edits;
  std::vector<quint32> ids(static_cast<size_t>(NewCols) * static_cast<size_t>(NewRows), 0);
  const int keepCols = std::min(Cols, NewCols), keepRows = std::min(NRows, NewRows);
  for (int r = 0; r < keepRows; ++r)
    for (int c = 0; c < keepCols; ++c)
      ids[static_cast<size_t>(r) * static_cast<size_t>(NewCols) + static_cast<size_t>(c)] = IdAt(c, r);
  Ids = std::move(ids);
  Cols = NewCols;
  NRows = NewRows;
  FCols = std::min(FCols, Cols);
  FRows = std::min(FRows, RowCount());
  endResetModel();
}

const QString& TStringGridModel::Cell(int C, int R) const {
  if (R < 0 || R >= RowCount() || C < 0 || C >= Cols) return Empty;
  return Texts[IdAt(C, R)];
}

void TStringGridModel::SetCell(int C, int R, const QString& Text) {
  if (R < 0 || C < 0) return;
  if (R >= RowCount() || C >= Cols) return;
  if (Texts[IdAt(C, R)] == Text) return;
  ++Edits;
  const quint32 id = Intern(Text);
  IdAt(C, R) = id;
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

TStringGridModel::TOldCells TStringGridModel::TakeCellsIfSameSize(int NewCols, int NewRows) {
  TOldCells old;
  if (std::max(NewCols, 1) != Cols || std::max(NewRows, 1) != NRows) return old;
  old.Kept = true;
  old.Texts = std::move(Texts);
  old.Ids = std::move(Ids);
  return old;
}

namespace {
// Whether two sets of cells of one size give every cell the same text. Each old text
// is compared with a new one once: after that, the pair of ids says it.
bool SameTexts(const std::vector<QString>& OldTexts, const std::vector<quint32>& OldIds,
               const std::vector<QString>& NewTexts, const std::vector<quint32>& NewIds) {
  if (OldIds.size() != NewIds.size()) return false;
  std::vector<quint32> matched(OldTexts.size(), std::numeric_limits<quint32>::max());
  for (size_t i = 0; i < NewIds.size(); ++i) {
    const quint32 was = OldIds[i], is = NewIds[i];
    if (matched[was] == is) continue;
    if (OldTexts[was] != NewTexts[is]) return false;
    matched[was] = is;
  }
  return true;
}
}  // namespace

void TStringGridModel::CountChangeFrom(const TOldCells& Old) {
  if (!Old.Kept || !SameTexts(Old.Texts, Old.Ids, Texts, Ids)) ++Edits;
}

void TStringGridModel::SetTable(std::vector<std::vector<QString>> Table, int NewCols) {
  beginResetModel();
  const TOldCells old = TakeCellsIfSameSize(NewCols, static_cast<int>(Table.size()));
  Cols = std::max(NewCols, 1);
  NRows = std::max(static_cast<int>(Table.size()), 1);
  Texts.assign(1, QString());
  TextIds.clear();
  TextIdsBuilt = true;
  Ids.assign(static_cast<size_t>(Cols) * static_cast<size_t>(NRows), 0);
  for (size_t r = 0; r < Table.size(); ++r) {
    auto& row = Table[r];
    const size_t n = std::min(row.size(), static_cast<size_t>(Cols));
    for (size_t c = 0; c < n; ++c) IdAt(static_cast<int>(c), static_cast<int>(r)) = Intern(row[c]);
    std::vector<QString>().swap(row);  // each row's strings go as soon as they are taken
  }
  CountChangeFrom(old);
  FCols = std::min(FCols, Cols);
  FRows = std::min(FRows, RowCount());
  endResetModel();
}

void TStringGridModel::SetCells(TGridCells Cells) {
  beginResetModel();
  const TOldCells old = TakeCellsIfSameSize(Cells.Cols, Cells.Rows);
  if (Cells.Texts.empty()) Cells.Texts.emplace_back();
  Cells.Texts[0] = QString();
  Cols = std::max(Cells.Cols, 1);
  NRows = std::max(Cells.Rows, 1);
  const size_t n = static_cast<size_t>(Cols) * static_cast<size_t>(NRows);
  if (Cells.Cols != Cols || Cells.Rows != NRows || Cells.Ids.size() != n) Cells.Ids.assign(n, 0);
  const auto count = static_cast<quint32>(Cells.Texts.size());
  for (quint32& id : Cells.Ids)
    if (id >= count) id = 0;
  Texts = std::move(Cells.Texts);
  Ids = std::move(Cells.Ids);
  TextIds.clear();
  TextIdsBuilt = false;
  CountChangeFrom(old);
  FCols = std::min(FCols, Cols);
  FRows = std::min(FRows, RowCount());
  endResetModel();
}

std::vector<std::vector<QString>> TStringGridModel::Table() const {
  std::vector<std::vector<QString>> table(static_cast<size_t>(NRows));
  for (int r = 0; r < NRows; ++r) {
    auto& row = table[static_cast<size_t>(r)];
    row.reserve(static_cast<size_t>(Cols));
    for (int c = 0; c < Cols; ++c) row.push_back(Texts[IdAt(c, r)]);
  }
  return table;
}

TGridCells TStringGridModel::CompactCells(int NewCols, int NewRows) const {
  TGridCells cells{{}, {}, std::max(NewCols, 1), std::max(NewRows, 1)};
  cells.Ids.assign(static_cast<size_t>(cells.Cols) * static_cast<size_t>(cells.Rows), 0);
  const int keepCols = std::min(Cols, cells.Cols), keepRows = std::min(NRows, cells.Rows);
  for (int r = 0; r < keepRows; ++r) {
    const auto from = Ids.begin() + static_cast<std::ptrdiff_t>(r) * Cols;
    std::copy(from, from + keepCols, cells.Ids.begin() + static_cast<std::ptrdiff_t>(r) * cells.Cols);
  }
  cells.Texts = TooManyTexts(Texts, cells.Ids) ? UsedTexts(Texts, cells.Ids) : Texts;
  return cells;
}

void TStringGridModel::Transpose() {
  beginResetModel();
  const size_t cols = static_cast<size_t>(Cols), rows = static_cast<size_t>(NRows);
  std::vector<quint32> ids(Ids.size());
  // In square tiles, so that the rows read and the columns written both stay in the
  // cache: one pass over the indices, whatever the grid's shape.
  constexpr size_t Tile = 64;
  for (size_t r0 = 0; r0 < rows; r0 += Tile) {
    const size_t r1 = std::min(rows, r0 + Tile);
    for (size_t c0 = 0; c0 < cols; c0 += Tile) {
      const size_t c1 = std::min(cols, c0 + Tile);
      for (size_t r = r0; r < r1; ++r)
        for (size_t c = c0; c < c1; ++c) ids[c * rows + r] = Ids[r * cols + c];
    }
  }
  // A square grid may be its own transpose (a symmetric matrix): as with a table set
  // anew, that is no change; any other shape is one.
  const bool same = Cols == NRows && SameTexts(Texts, Ids, Texts, ids);
  Ids = std::move(ids);
  std::swap(Cols, NRows);
  if (!same) ++Edits;
  FCols = std::min(FCols, Cols);
  FRows = std::min(FRows, NRows);
  endResetModel();
}

void TStringGridModel::SetFixed(int NewFixedCols, int NewFixedRows) {
  // A grid may be all titles (a summary grid before its first row): the titles then
  // show as headers over no cells.
  NewFixedCols = std::clamp(NewFixedCols, 0, std::min(1, Cols));
  NewFixedRows = std::clamp(NewFixedRows, 0, std::min(1, RowCount()));
  if (NewFixedCols == FCols && NewFixedRows == FRows) return;
  beginResetModel();
  FCols = NewFixedCols;
  FRows = NewFixedRows;
  endResetModel();
}

void TStringGridModel::MoveRow(int From, int To) {
  if (From == To || From < 0 || To < 0 || From >= RowCount() || To >= RowCount()) return;
  beginResetModel();
  ++Edits;
  const auto width = static_cast<std::ptrdiff_t>(Cols);
  const auto at = [&](int R) { return Ids.begin() + R * width; };
  if (From < To) std::rotate(at(From), at(From + 1), at(To + 1));
  else std::rotate(at(To), at(From), at(From + 1));
  endResetModel();
}

void TStringGridModel::MoveColumn(int From, int To) {
  if (From == To || From < 0 || To < 0 || From >= Cols || To >= Cols) return;
  beginResetModel();
  ++Edits;
  const auto width = static_cast<std::ptrdiff_t>(Cols);
  for (int r = 0; r < NRows; ++r) {
    const auto row = Ids.begin() + r * width;
    if (From < To) std::rotate(row + From, row + From + 1, row + To + 1);
    else std::rotate(row + To, row + From, row + From + 1);
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
  // Only a cell shown cut has a tooltip.
  if (Role == Qt::ToolTipRole && cell.size() > ShownLength) return TipText(cell);
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
  // A title cut short by its column shows whole as a tool tip.
  if (Role != Qt::DisplayRole && Role != Qt::AccessibleTextRole && Role != Qt::ToolTipRole) return {};
  QString title;
  if (Orientation == Qt::Horizontal)
    title = FRows > 0 ? Cell(Section + FCols, 0) : QString::number(Section + FCols);
  else
    title = FCols > 0 ? Cell(0, Section + FRows) : QString::number(Section + FRows);
  return Role == Qt::ToolTipRole ? TipText(title) : Shown(title);
}

Qt::ItemFlags TStringGridModel::flags(const QModelIndex& Index) const {
  Qt::ItemFlags f = QAbstractTableModel::flags(Index);
  if (Editable) f |= Qt::ItemIsEditable;
  return f;
}

// ---------------------------------------------------------------------------

namespace {
// How many rows and columns of cells FitTitles reads to judge the cells' widths.
constexpr int SampleRows = 32;
constexpr int SampleCols = 256;
// Above this many titles only an even sample of them is read.
constexpr int AllTitlesLimit = 300000;
// Up to this many columns each gets its own width.
constexpr int OwnWidthsLimit = 2000;

// Evenly spread indices 0..Count-1, at most Most of them, first and last included.
std::vector<int> Spread(int Count, int Most) {
  std::vector<int> out;
  if (Count <= 0) return out;
  if (Count <= Most) {
    out.resize(static_cast<size_t>(Count));
    for (int i = 0; i < Count; ++i) out[static_cast<size_t>(i)] = i;
    return out;
  }
  out.reserve(static_cast<size_t>(Most));
  for (int k = 0; k < Most; ++k)
    out.push_back(static_cast<int>(static_cast<int64_t>(k) * (Count - 1) / (Most - 1)));
  return out;
}

// Keeps the few longest texts (by characters) seen, to be measured in pixels at the
// end: pixel widths follow the character counts closely enough that the widest text
// is among the longest few, and measuring only those keeps large grids quick.
class TLongest {
 public:
  void See(const QString& Text) {
    const qsizetype n = Text.size();
    if (n <= Lengths.back()) return;
    // A text seen before takes no second place: a column of repeated labels would
    // otherwise fill every place with its first label of a length and never measure
    // a wider one of the same length ("meadow" after "forest").
    for (size_t k = 0; k < Kept && Lengths[k] >= n; ++k)
      if (Lengths[k] == n && Texts[k] == Text.left(TGridView::MeasuredChars)) return;
    size_t i = Kept - 1;
    while (i > 0 && Lengths[i - 1] < n) {
      Lengths[i] = Lengths[i - 1];
      Texts[i] = Texts[i - 1];
      --i;
    }
    Lengths[i] = n;
    Texts[i] = Text.left(TGridView::MeasuredChars);
  }
  int Width(const QFontMetrics& Metrics) const {
    int w = 0;
    for (size_t i = 0; i < Kept && Lengths[i] > 0; ++i) w = std::max(w, Metrics.horizontalAdvance(Texts[i]));
    return w;
  }

 private:
  static constexpr size_t Kept = 8;
  std::array<qsizetype, Kept> Lengths{};
  std::array<QString, Kept> Texts{};
};
}  // namespace

TGridView::TGridView(QWidget* Parent) : QTableView(Parent) {
  horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
  verticalHeader()->setSectionResizeMode(QHeaderView::Interactive);
  verticalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  // A title cut by its column keeps its beginning in view.
  horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  horizontalHeader()->setTextElideMode(Qt::ElideRight);
  verticalHeader()->setTextElideMode(Qt::ElideRight);
  // Rows as high as a line of text with a little air, not the style's roomy default.
  const int line = fontMetrics().height();
  verticalHeader()->setMinimumSectionSize(line + 2);
  verticalHeader()->setDefaultSectionSize(line + 8);
  setCornerButtonEnabled(false);
  if (auto* corner = findChild<QAbstractButton*>()) corner->installEventFilter(this);
}

void TGridView::setModel(QAbstractItemModel* Model) {
  if (Model == model()) return;
  for (const QMetaObject::Connection& link : ModelLinks) disconnect(link);
  ModelLinks.clear();
  QTableView::setModel(Model);
  if (!Model) return;
  ModelLinks.push_back(connect(Model, &QAbstractItemModel::modelReset, this, [this] { ScheduleFit(); }));
  ModelLinks.push_back(connect(Model, &QAbstractItemModel::headerDataChanged, this, [this] {
    if (auto* corner = findChild<QAbstractButton*>()) corner->update();
    ScheduleFit();
  }));
  ScheduleFit();
}

void TGridView::SetReadOnly(bool On) {
  IsReadOnly = On;
  // A grid nobody types into has no use for Tab between its cells: Tab goes on to
  // the next control, so the whole window can be worked from the keyboard.
  setTabKeyNavigation(!On);
  if (On) setEditTriggers(QAbstractItemView::NoEditTriggers);
}

void TGridView::ScheduleFit() {
  if (FitPending) return;
  FitPending = true;
  // Measuring the titles takes milliseconds on a large table: a hidden grid waits
  // until it is shown (showEvent).
  if (!isVisible()) return;
  QMetaObject::invokeMethod(
      this,
      [this] {
        if (FitPending && isVisible()) FitTitles();
      },
      Qt::QueuedConnection);
}

void TGridView::showEvent(QShowEvent* Event) {
  QTableView::showEvent(Event);
  if (FitPending) FitTitles();
}

int TGridView::TitleColumnCap() const {
  return verticalHeader()->fontMetrics().averageCharWidth() * 40 +
         2 * style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, this) + 8;
}

int TGridView::ColumnCap() const {
  return horizontalHeader()->fontMetrics().averageCharWidth() * 32 +
         2 * style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, this) + 8;
}

void TGridView::FitTitles() {
  FitPending = false;
  QAbstractItemModel* m = model();
  if (!m) return;
  const int rows = m->rowCount(), cols = m->columnCount();
  QHeaderView* top = horizontalHeader();
  QHeaderView* left = verticalHeader();
  const int headerPad = 2 * style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, this) + 8;
  const int cellPad = 2 * style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, this) + 10;

  // The title column: as wide as the longest row title and the corner title.
  if (!left->isHidden()) {
    TLongest longest;
    for (int r : Spread(rows, AllTitlesLimit)) longest.See(m->headerData(r, Qt::Vertical, Qt::DisplayRole).toString());
    longest.See(CornerTitle());
    const int cap = TitleColumnCap();
    const int want = std::min(longest.Width(left->fontMetrics()) + headerPad, cap);
    left->setMinimumWidth(want);
    left->setMaximumWidth(std::max(want, cap));
  }

  // The cells: every column as wide as its widest sampled cell when there are few
  // columns; with many, one width for all from a sample of columns.
  const std::vector<int> sampleRows = Spread(rows, SampleRows);
  const QFontMetrics cellMetrics = fontMetrics();
  auto cellWidth = [&](int C) {
    TLongest longest;
    for (int r : sampleRows) longest.See(m->data(m->index(r, C), Qt::DisplayRole).toString());
    return longest.Width(cellMetrics) + cellPad;
  };
  const bool perColumn = cols <= SampleCols;
  int common = 0;
  if (!perColumn)
    for (int c : Spread(cols, SampleCols)) common = std::max(common, cellWidth(c));

  // Each column as wide as its title and its cells, between a small least width and
  // the cap.
  // A grid the user types into keeps room for a number of a few digits.
  const int least = cellMetrics.horizontalAdvance(ReadOnlyView() ? QStringLiteral("00") : QStringLiteral("000000")) + cellPad;
  const int cap = ColumnCap();
  const QFontMetrics titleMetrics = top->fontMetrics();
  const bool titles = !top->isHidden();
  if (cols > OwnWidthsLimit) {
    // Sized one by one, so many columns would take the header quadratic time: they
    // share one width, that of the widest title and cells.
    TLongest longest;
    if (titles)
      for (int c : Spread(cols, AllTitlesLimit)) longest.See(m->headerData(c, Qt::Horizontal, Qt::DisplayRole).toString());
    const int w = std::clamp(std::max(common, longest.Width(titleMetrics) + headerPad), least, cap);
    top->setDefaultSectionSize(w);
    updateGeometries();
    return;
  }
  const int charWidth = std::max(1, titleMetrics.maxWidth());
  const int base = std::clamp(perColumn ? 0 : common, least, cap);
  top->setDefaultSectionSize(base);
  for (int c = 0; c < cols; ++c) {
    int w = perColumn ? std::clamp(cellWidth(c), least, cap) : base;
    if (titles) {
      const QString title = m->headerData(c, Qt::Horizontal, Qt::DisplayRole).toString();
      // Most titles are short enough to need no measuring.
      if (static_cast<int64_t>(title.size()) * charWidth + headerPad > w)
        w = std::clamp(titleMetrics.horizontalAdvance(title.left(MeasuredChars)) + headerPad, w, cap);
    }
    if (top->sectionSize(c) != w) top->resizeSection(c, w);
  }
  updateGeometries();
}

bool TGridView::focusNextPrevChild(bool Next) {
  // Tab and Shift+Tab in a read-only grid go on to the next or previous control.
  if (ReadOnlyView()) return QWidget::focusNextPrevChild(Next);
  return QTableView::focusNextPrevChild(Next);
}

void TGridView::keyPressEvent(QKeyEvent* Event) {
  // Ctrl+Tab belongs to the page control around the grid (the next tab), never to a
  // move between cells.
  if ((Event->key() == Qt::Key_Tab || Event->key() == Qt::Key_Backtab) && (Event->modifiers() & Qt::ControlModifier)) {
    Event->ignore();
    return;
  }
  QTableView::keyPressEvent(Event);
}

bool TGridView::eventFilter(QObject* Watched, QEvent* Event) {
  // The header corner shows the corner title when both headers are shown.
  if (Event->type() == QEvent::Paint && !horizontalHeader()->isHidden() && !verticalHeader()->isHidden()) {
    auto* corner = qobject_cast<QAbstractButton*>(Watched);
    const QString title = corner ? CornerTitle() : QString();
    if (corner && !title.isEmpty()) {
      QStyleOptionHeader opt;
      opt.initFrom(corner);
      opt.rect = corner->rect();
      opt.position = QStyleOptionHeader::OnlyOneSection;
      opt.text = title;
      opt.state |= QStyle::State_Enabled;
      opt.palette.setCurrentColorGroup(QPalette::Active);
      opt.textAlignment = Qt::AlignLeft | Qt::AlignVCenter;
      QPainter painter(corner);
      corner->style()->drawControl(QStyle::CE_Header, &opt, &painter, corner);
      return true;
    }
  }
  // A cell editor keeps the usual editing keys (copy, cut, paste, undo, redo, select
  // all) but no other Ctrl+letter: those are the window's commands, which a line
  // editor would otherwise take for itself (Ctrl+E, for one, moves to the line end).
  if (Event->type() == QEvent::ShortcutOverride && Watched->isWidgetType() &&
      static_cast<QWidget*>(Watched)->parentWidget() == viewport()) {
    auto* key = static_cast<QKeyEvent*>(Event);
    const bool ctrlLetter = (key->modifiers() & Qt::ControlModifier) && !(key->modifiers() & Qt::AltModifier) &&
                            key->key() >= Qt::Key_A && key->key() <= Qt::Key_Z;
    const bool editing = key->matches(QKeySequence::Copy) || key->matches(QKeySequence::Cut) ||
                         key->matches(QKeySequence::Paste) || key->matches(QKeySequence::Undo) ||
                         key->matches(QKeySequence::Redo) || key->matches(QKeySequence::SelectAll);
    if (ctrlLetter && !editing) {
      key->ignore();
      return true;
    }
  }
  return QTableView::eventFilter(Watched, Event);
}

bool TGridView::edit(const QModelIndex& Index, EditTrigger Trigger, QEvent* Event) {
  const bool opened = QTableView::edit(Index, Trigger, Event);
  if (opened)
    if (QWidget* editor = indexWidget(Index)) editor->installEventFilter(this);
  return opened;
}

// ---------------------------------------------------------------------------

TStringGrid::TStringGrid(QWidget* Parent) : TGridView(Parent), GridModel(new TStringGridModel(this)) {
  setModel(GridModel);
  GridModel->SetSize(5, 5);
  horizontalHeader()->setDefaultSectionSize(64);
  setEditTriggers(QAbstractItemView::AnyKeyPressed | QAbstractItemView::DoubleClicked |
                  QAbstractItemView::EditKeyPressed | QAbstractItemView::SelectedClicked);
  setSelectionMode(QAbstractItemView::ContiguousSelection);
  setTabKeyNavigation(true);
  connect(horizontalHeader(), &QHeaderView::sectionMoved, this,
          [this](int l, int o, int n) { SectionMoved(Qt::Horizontal, l, o, n); });
  connect(verticalHeader(), &QHeaderView::sectionMoved, this,
          [this](int l, int o, int n) { SectionMoved(Qt::Vertical, l, o, n); });
  connect(GridModel, &QAbstractItemModel::modelReset, this, [this] { UpdateHeaders(); });
  UpdateHeaders();
}

void TStringGrid::SetColCount(int N) { GridModel->SetSize(N, RowCount()); }
void TStringGrid::SetRowCount(int N) { GridModel->SetSize(ColCount(), N); }
void TStringGrid::SetSize(int Cols, int Rows) { GridModel->SetSize(Cols, Rows); }
void TStringGrid::SetTable(std::vector<std::vector<QString>> Table, int Cols) {
  GridModel->SetTable(std::move(Table), Cols);
}
void TStringGrid::SetCells(TGridCells Cells) { GridModel->SetCells(std::move(Cells)); }
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

void TStringGrid::SetDefaultColWidth(int W) { horizontalHeader()->setDefaultSectionSize(W); }

void TStringGrid::SetEditing(bool On) {
  GridModel->Editable = On;
  SetReadOnly(!On);
  if (On)
    setEditTriggers(QAbstractItemView::AnyKeyPressed | QAbstractItemView::DoubleClicked |
                    QAbstractItemView::EditKeyPressed | QAbstractItemView::SelectedClicked);
}

void TStringGrid::SetMoving(bool On) {
  Moving = On;
  horizontalHeader()->setSectionsMovable(On);
  verticalHeader()->setSectionsMovable(On);
}

void TStringGrid::UpdateHeaders() {
  horizontalHeader()->setVisible(FixedRows() > 0);
  verticalHeader()->setVisible(FixedCols() > 0);
}

bool TStringGrid::ReadOnlyView() const { return TGridView::ReadOnlyView() || !GridModel->Editable; }

QString TStringGrid::CornerTitle() const { return FixedRows() > 0 && FixedCols() > 0 ? Shown(Cells(0, 0)) : QString(); }

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

void TGridView::CommitEdit() {
  if (state() != QAbstractItemView::EditingState) return;
  QWidget* editor = indexWidget(currentIndex());
  if (!editor) return;
  commitData(editor);
  closeEditor(editor, QAbstractItemDelegate::NoHint);
}
