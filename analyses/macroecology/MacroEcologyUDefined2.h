#pragma once
// The parameter dialog of the normal macroecology null model: mean and standard
// deviation of X and of Y, filled from the chosen columns (see TMacroParamDialog).
#include "analyses/macroecology/MacroEcologyUDefined1.h"

class TMacroEcologyUD2 : public TMacroParamDialog {
  Q_OBJECT
 public:
  explicit TMacroEcologyUD2(QWidget* Parent = nullptr);
  ~TMacroEcologyUD2() override;

  QLineEdit* MeanXEdit = nullptr;  // "Mean X:"
  QLineEdit* SDXEdit = nullptr;    // "Std. Deviation X:"
  QLineEdit* MeanYEdit = nullptr;  // "Mean Y:"
  QLineEdit* SDYEdit = nullptr;    // "Std. Deviation Y:"
  QPushButton* OKButton = nullptr;

  void FormCreate() { ShownBefore = false; }
  // Mean and standard deviation (divisor N - 1) of the chosen X and Y columns (0
  // without data rows).
  void Init() override;
  // Mean X >= 0, standard deviation X > 0, mean Y >= 0, standard deviation Y > 0.
  QString TestMessage() const override;
  bool TestInput();
  void OKButtonClick() { OkClick(); }
};

extern TMacroEcologyUD2* MacroEcologyUD2;
