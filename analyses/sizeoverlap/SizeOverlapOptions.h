#pragma once
// The options dialog of the size overlap analysis: the analysed column, the metric,
// the transformation and the source pool (a parametric distribution from the data or
// from the user, or a user-defined histogram), and the helpers that read the analysed
// column of the main grid.
#include <QString>
#include <vector>

#include "analyses/common/AnalysisOptions.h"
#include "analyses/sizeoverlap/SizeOverlapSims.h"

class QGroupBox;
class QListWidget;
class TRadioGroup;

class TSizeOverlapOpts : public TAnalysisOpts {
  Q_OBJECT
 public:
  explicit TSizeOverlapOpts(QWidget* Parent = nullptr);
  ~TSizeOverlapOpts() override;

  QWidget* PreferencesSheet = nullptr;
  TRadioGroup* MetricGroup = nullptr;          // "&Metric"
  TRadioGroup* TransformationGroup = nullptr;  // "&Transformation"
  QGroupBox* ColumnGroup = nullptr;            // "Co&Lumn to analyze"
  QListWidget* ColumnList = nullptr;
  TRadioGroup* RoundingGroup = nullptr;                  // "Roundin&G"
  TRadioGroup* BodySizeDistributionGroup = nullptr;      // "&Body size distribution"
  TRadioGroup* BodySizeDistributionGroupMain = nullptr;  // uniform, normal, log kinds
  TRadioGroup* BodySizeDistributionGroupC = nullptr;     // data or user defined
  TRadioGroup* UserHistogramGroup = nullptr;             // "User defined histogram"
  QPushButton* EditUserDefinedButton = nullptr;          // "&Edit"
  QPushButton* EditButton = nullptr;                     // hidden, no action

  // The ColumnList position kept between showings.
  int32_t SavedColumnIndex = 0;

  // The titles of MainGrid's data columns, entry 0 chosen.
  void ColumnTitlesToList();
  // The analysed column: the chosen entry + 1 (0 when none is chosen).
  int32_t AnalysedColumn() const;
  // The chosen entry's text (the title printed in the summary).
  QString ColumnTitle() const;

  // "Parametric distributions" / "Histogram" chosen.
  void BodySizeDistributionGroupClick();
  // A kind or a definition chosen: the edit button, the rounding group and, for a
  // user-defined pool, its parameter dialog.
  void BodyDistributionClicks();
  void EditUserDefinedButtonClick();
  // The values of the dialog (and of the parameter dialog in use) as one value.
  TSizeOverlapOptions ReadOptions() const;

  // The General tab's defaults and the analysis's own (which choose "Uniform", not the
  // "Log normal" of the window's start); enabling and visibility stay as they are.
  void ResetDefaults() override;

 protected:
  void showEvent(QShowEvent* Event) override;
  void hideEvent(QHideEvent* Event) override;

 private:
  bool Resetting = false;
};

extern TSizeOverlapOpts* SizeOverlapOpts;

// A cell of the main grid as a size: its number, or 0 when it holds none.
double SizeCellValue(const QString& Text);
// The number of values greater than 0 in MainGrid's column Col, rows 1..
int32_t CountPositiveCells(int32_t Col);
// Those values, in row order.
std::vector<double> PositiveCells(int32_t Col);
// The number of "Size" cells (column 1) of the histogram editor's grid, rows 1..,
// greater than 0.
int32_t CountPositiveHistogramSizes();
