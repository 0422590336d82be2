#pragma once
// A grid of text cells addressed by (column, row), with fixed title rows and columns
// that stay in place when the grid scrolls. The cells live in a table model, so that
// large matrices fill and scroll fast; fixed rows and columns are shown as the
// view's headers (which do not scroll), the corner cell in the header corner.
#include <QAbstractTableModel>
#include <QHash>
#include <QString>
#include <QTableView>
#include <vector>

#include "platform/GridCells.h"

// The cells of a data matrix are mostly the same few texts (the 0s and 1s of a
// presence matrix): the model keeps every distinct text once and each cell as a
// 4-byte index into them, so that a grid of 10 million cells stays small.
class TStringGridModel : public QAbstractTableModel {
  Q_OBJECT
 public:
  explicit TStringGridModel(QObject* Parent = nullptr);

  int ColCount() const { return Cols; }
  int RowCount() const { return NRows; }
  void SetSize(int Cols, int Rows);
  const QString& Cell(int C, int R) const;
  void SetCell(int C, int R, const QString& Text);
  // Replaces every cell at once; Table is indexed [row][column] and must be rectangular.
  void SetTable(std::vector<std::vector<QString>> Table, int Cols);
  // Takes cells already held compactly; every id must index Texts (a bad one reads as
  // the empty text), and Ids must hold Cols * Rows of them.
  void SetCells(TGridCells Cells);
  // A copy of every cell, [row][column] (the strings share their text with the grid).
  std::vector<std::vector<QString>> Table() const;
  // A copy of every cell held compactly (the texts shared with this grid).
  TGridCells CompactCells() const { return {Texts, Ids, Cols, NRows}; }
  // The same cut or padded to NewCols x NewRows (at least 1 x 1): the cells that stay
  // keep their places, the added ones are empty. Texts that only cut-off cells used
  // may be left out.
  TGridCells CompactCells(int NewCols, int NewRows) const;
  // Turns the grid over its diagonal: the new cell (c, r) is the old cell (r, c).
  // Only the cells' indices move; the texts stay as they are. Fixed rows and columns
  // stay as they were.
  void Transpose();
  // How many distinct texts the grid keeps (the empty one included).
  size_t DistinctTexts() const { return Texts.size(); }
  void SetFixed(int FixedCols, int FixedRows);
  int FixedCols() const { return FCols; }
  int FixedRows() const { return FRows; }
  void MoveRow(int From, int To);
  void MoveColumn(int From, int To);
  bool Editable = true;
  // Counts the changes of the cells, the size and the order of rows and columns (not
  // of the fixed titles): equal counts mean the same cells. An operation that leaves
  // every cell with the text it had (a table set again, a size set to itself) is no
  // change.
  quint64 EditCount() const { return Edits; }

  int rowCount(const QModelIndex& Parent = {}) const override;
  int columnCount(const QModelIndex& Parent = {}) const override;
  QVariant data(const QModelIndex& Index, int Role) const override;
  bool setData(const QModelIndex& Index, const QVariant& Value, int Role) override;
  QVariant headerData(int Section, Qt::Orientation Orientation, int Role) const override;
  Qt::ItemFlags flags(const QModelIndex& Index) const override;

 signals:
  void CellEdited(int C, int R);

 private:
  quint32 Intern(const QString& Text);
  // A table or compact cells set anew that give every cell its old text again (a grid
  // rebuilt from its own text) are no change: the old cells are taken aside when the
  // size stays, and the new ones counted as a change only when some text differs.
  struct TOldCells {
    bool Kept = false;
    std::vector<QString> Texts;
    std::vector<quint32> Ids;
  };
  TOldCells TakeCellsIfSameSize(int NewCols, int NewRows);
  void CountChangeFrom(const TOldCells& Old);
  void IndexTexts();
  quint32& IdAt(int C, int R) { return Ids[static_cast<size_t>(R) * static_cast<size_t>(Cols) + static_cast<size_t>(C)]; }
  quint32 IdAt(int C, int R) const { return Ids[static_cast<size_t>(R) * static_cast<size_t>(Cols) + static_cast<size_t>(C)]; }

  std::vector<QString> Texts{QString()};  // each distinct text once; [0] is empty
  // Where texts are in Texts (up to a bound); built on the first edit, not when
  // compact cells are taken.
  QHash<QString, quint32> TextIds;
  bool TextIdsBuilt = false;
  std::vector<quint32> Ids;  // [row * Cols + column]
  int Cols = 0;
  int NRows = 0;
  int FCols = 0, FRows = 0;
  quint64 Edits = 0;
  static const QString Empty;
};

// A table view whose model keeps its title row and title column as the headers: the
// titles stay in view when the cells scroll, the title column is as wide as its
// longest title (up to a cap) and each column as wide as its title and its cells
// (sampled, so that a huge table is measured quickly). The corner shows CornerTitle.
// A read-only view leaves Tab and Shift+Tab to move the focus on to the next control,
// and Ctrl+Tab to the page control around it.
class TGridView : public QTableView {
  Q_OBJECT
 public:
  explicit TGridView(QWidget* Parent = nullptr);

  // Read-only: no editing, Tab leaves the grid. Otherwise Tab moves between cells.
  void SetReadOnly(bool On);
  bool ReadOnly() const { return ReadOnlyView(); }
  // Sizes the title column and the columns to their texts now (the view does it by
  // itself soon after its model changes, or when it is next shown: a grid nobody sees,
  // such as a results tab in batch mode, is not measured).
  void FitTitles();
  // A cell being typed into keeps its text now: the editor's text goes into the cell
  // and the editor closes (for commands given while the focus stays in the cell).
  void CommitEdit();
  // The widest a title column or a column is made by FitTitles.
  int TitleColumnCap() const;
  int ColumnCap() const;
  // Texts longer than this are measured by their first MeasuredChars characters.
  static constexpr int MeasuredChars = 64;

  void setModel(QAbstractItemModel* Model) override;
  using QAbstractItemView::edit;

 protected:
  // The corner title, painted when both headers are shown.
  virtual QString CornerTitle() const { return {}; }
  // True when nobody can type into the cells (set here, or by the model).
  virtual bool ReadOnlyView() const { return IsReadOnly; }
  bool focusNextPrevChild(bool Next) override;
  // Called whenever the model has been reset or its titles changed.
  void ScheduleFit();
  bool eventFilter(QObject* Watched, QEvent* Event) override;
  void keyPressEvent(QKeyEvent* Event) override;
  void showEvent(QShowEvent* Event) override;
  // Opens a cell editor that leaves the window's Ctrl shortcuts to the window.
  bool edit(const QModelIndex& Index, EditTrigger Trigger, QEvent* Event) override;

 private:
  bool IsReadOnly = false;
  bool FitPending = false;
  std::vector<QMetaObject::Connection> ModelLinks;  // this view's links to its model
};

class TStringGrid : public TGridView {
  Q_OBJECT
 public:
  explicit TStringGrid(QWidget* Parent = nullptr);

  QString Cells(int C, int R) const { return GridModel->Cell(C, R); }
  void SetCells(int C, int R, const QString& Text) { GridModel->SetCell(C, R, Text); }
  int ColCount() const { return GridModel->ColCount(); }
  int RowCount() const { return GridModel->RowCount(); }
  void SetColCount(int N);
  void SetRowCount(int N);
  void SetSize(int Cols, int Rows);
  void SetTable(std::vector<std::vector<QString>> Table, int Cols);
  void SetCells(TGridCells Cells);
  void Transpose() { GridModel->Transpose(); }
  std::vector<std::vector<QString>> Table() const { return GridModel->Table(); }
  int FixedCols() const { return GridModel->FixedCols(); }
  int FixedRows() const { return GridModel->FixedRows(); }
  void SetFixedCols(int N);
  void SetFixedRows(int N);
  // The current row and column in grid coordinates (fixed rows and columns counted).
  int Row() const;
  int Col() const;
  void SetRow(int R);
  void SetDefaultColWidth(int W);
  void SetEditing(bool On);
  // Lets the user drag fixed titles to move whole rows and columns.
  void SetMoving(bool On);
  TStringGridModel* Model() const { return GridModel; }

 protected:
  QString CornerTitle() const override;
  bool ReadOnlyView() const override;

 private:
  void UpdateHeaders();
  void SectionMoved(Qt::Orientation O, int Logical, int OldVisual, int NewVisual);
  TStringGridModel* GridModel;
  bool Moving = false;
};
