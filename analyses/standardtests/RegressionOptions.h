#pragma once
// The options dialog of the regression test: the X and Y columns and the common
// General tab.
#include "analyses/common/ColumnChoice.h"

class TRegressionOpts : public TColumnChoiceOpts {
  Q_OBJECT
 public:
  explicit TRegressionOpts(QWidget* Parent = nullptr);
  ~TRegressionOpts() override;

  QComboBox* XvariableCList = nullptr;  // "&X variable:"
  QComboBox* YvariableCList = nullptr;  // "&Y variable:"

  // "reset &Defaults".
  void resetDefaults() { ResetDefaults(); }
  void Button1Click() { resetDefaults(); }
};

extern TRegressionOpts* RegressionOpts;
