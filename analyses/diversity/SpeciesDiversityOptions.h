#pragma once
// The options dialog of the species-diversity analysis: the sample unit (individuals
// of one column or whole samples), accumulation or rarefaction, default or
// user-defined levels, the diversity index and the column analysed. The column box
// and the sample-levels group share one place; the sample unit decides which shows.
#include <QString>

#include "analyses/common/AnalysisOptions.h"
#include "analyses/diversity/DiversityEngine.h"
#include "platform/RadioGroup.h"

class QComboBox;
class QGroupBox;
class QPushButton;

class TSpeciesDiversityOpts : public TAnalysisOpts {
  Q_OBJECT
 public:
  explicit TSpeciesDiversityOpts(QWidget* Parent = nullptr);
  ~TSpeciesDiversityOpts() override;

  // "Preferences" tab.
  TRadioGroup* SpeciesGroup = nullptr;          // "Sample &Unit"
  TRadioGroup* RandomizationGroup = nullptr;    // "Randomi&zation Algorithm"
  TRadioGroup* AbundanceLevelsGroup = nullptr;  // "&Abundance Levels"
  QPushButton* DefineButton = nullptr;          // "&Edit" (abundance levels)
  QGroupBox* IndexBox = nullptr;                // "Species diversity &Index"
  QComboBox* IndexList = nullptr;
  QGroupBox* ColumnBox = nullptr;               // "Co&Lumn to analyze"
  QComboBox* ColumnList = nullptr;
  TRadioGroup* SampleLevelsGroup = nullptr;     // "Sa&mple Levels"
  QPushButton* DefineButton2 = nullptr;         // "&Edit" (sample levels)

  // The dialog's choices as one value (the iteration count as the box holds it).
  TDiversityOptions ReadOptions() const;

  // The column titles of MainGrid (columns 1..ColCount - 1), item 0 chosen.
  void ColumnTitlesToList();
  // Swaps the column box and the sample-levels group.
  void SpeciesGroupClick();
  void AbundanceLevelsGroupClick();
  void SampleLevelsGroupClick();
  void DefineButtonClick();

  void ResetDefaults() override;
  void Resetdefaults() { ResetDefaults(); }

  // The item indexes kept from one showing to the next.
  int SavedColumnItem = 0;
  int SavedIndexItem = 0;

 protected:
  void showEvent(QShowEvent* Event) override;
  void hideEvent(QHideEvent* Event) override;
};

extern TSpeciesDiversityOpts* SpeciesDiversityOpts;
