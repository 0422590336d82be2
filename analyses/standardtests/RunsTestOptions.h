#pragma once
// The options dialog of the runs test: the continuous X column, the discrete Y column,
// the null model (constraints and sampling), the kind of X (linear or angles in
// degrees) and the common General tab.
#include "analyses/common/ColumnChoice.h"

class TRadioGroup;

class TRunsTestOpts : public TColumnChoiceOpts {
  Q_OBJECT
 public:
  explicit TRunsTestOpts(QWidget* Parent = nullptr);
  ~TRunsTestOpts() override;

  QComboBox* XvariableList = nullptr;  // "&X variable (continuous) :"
  QComboBox* YvariableList = nullptr;  // "&Y variable (discrete) :"
  TRadioGroup* SimulationGroup = nullptr;         // "Equiprobable", "Proportional"
  TRadioGroup* SamplingAlgorithmGroup = nullptr;  // "Without replacement", "With replacement"
  TRadioGroup* DataTypeGroup = nullptr;           // "Linear", "Angular"

  // The column-choice defaults, and "Proportional" (start-up shows "Equiprobable");
  // sampling and data type stay as they are.
  void ResetDefaults() override;
  void Button2Click() { ResetDefaults(); }
};

extern TRunsTestOpts* RunsTestOpts;
