#pragma once
// The options dialog of the ANOVA test: the labels column, the response column and
// the common General tab.
#include "analyses/common/ColumnChoice.h"

class TAnovaOpts : public TColumnChoiceOpts {
  Q_OBJECT
 public:
  explicit TAnovaOpts(QWidget* Parent = nullptr);
  ~TAnovaOpts() override;

  QComboBox* LabelsList = nullptr;     // "&Labels:"
  QComboBox* YvariableList = nullptr;  // "&Y variable:"

  // "reset &Defaults".
  void Button2Click() { ResetDefaults(); }
};

extern TAnovaOpts* AnovaOpts;
