#pragma once
// The options dialog of the co-occurrence analysis.
#include <QListWidget>
#include <algorithm>

#include "analyses/common/AnalysisOptions.h"
#include "analyses/cooccurrence/CoOccurrenceSims.h"
#include "platform/RadioGroup.h"

class QPushButton;

class TCoOccurrenceOpts : public TAnalysisOpts {
  Q_OBJECT
 public:
  explicit TCoOccurrenceOpts(QWidget* Parent = nullptr);
  ~TCoOccurrenceOpts() override;

  // "Preferences" tab.
  QListWidget* IndexList = nullptr;        // in the group "Co-occurrence &Index"
  TRadioGroup* RowGroup = nullptr;         // "Ro&w Constraints"
  TRadioGroup* ColumnGroup = nullptr;      // "Co&Lumn Constraints"
  TRadioGroup* DegenerateGroup = nullptr;  // "Degenerate &Matrices"
  TRadioGroup* PatternGroup = nullptr;     // "&Empty Sites"
  QPushButton* DefineButtonRows = nullptr;  // "Edit"
  QPushButton* DefineButtonCols = nullptr;  // "Edit"
  // "General" tab.
  TRadioGroup* FixedFixedGroup = nullptr;  // "Fixed-Fixed Randomization Algorithm"

  // Every choice of the dialog as one options value (weights from the weights
  // dialog's grids included), read when a run starts.
  TCoOccurrenceOptions ReadOptions() const;

  void ResetDefaults() override;

  // Which weights grid the weights dialog edits: 0 species, 1 sites.
  int EditSitesWeights = 0;

  // The chosen index item, and choosing it in code (which runs no rule).
  int IndexItem() const;
  void SetIndexItem(int I);

  // The rules that keep "&Empty Sites" and the "Edit" buttons in step with the choices.
  void IndexListClick();
  void DegenerateGroupClick();
  void FixedFixedGroupClick();
  void RowGroupClick();
  void ColumnGroupClick();

 protected:
  void showEvent(QShowEvent* Event) override;
  void hideEvent(QHideEvent* Event) override;

 private:
  void ShowWeights();
  void HidePattern();
  int SavedIndexItem = 0;  // the index item kept from one showing to the next
  bool SettingIndex = false;
};

extern TCoOccurrenceOpts* CoOccurrenceOpts;
