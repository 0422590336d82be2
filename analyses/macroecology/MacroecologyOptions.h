#pragma once
// The options dialog of the macroecology analysis: the X and Y columns, the data
// distribution (symmetric or asymmetric), the null model ("Co&nstraints") with the
// "&Edit" button that re-opens the parameter dialog of a user-defined model, the shape
// and the boundary test with their pictures, and the common General tab. Every choice
// is remembered from one showing to the next.
#include "analyses/common/ColumnChoice.h"

class QToolButton;
class TRadioGroup;

class TMacroecologyOpts : public TColumnChoiceOpts {
  Q_OBJECT
 public:
  explicit TMacroecologyOpts(QWidget* Parent = nullptr);
  ~TMacroecologyOpts() override;

  QComboBox* XvariableList = nullptr;  // "&X variable:"
  QComboBox* YvariableList = nullptr;  // "&Y variable:"
  TRadioGroup* SymmetryGroup = nullptr;     // "Da&ta distribution"
  TRadioGroup* ConstraintsGroup = nullptr;  // "Co&nstraints"
  QPushButton* EditButton = nullptr;        // "&Edit"
  TRadioGroup* PatternGroup = nullptr;      // "&Shapes"
  TRadioGroup* BoundaryGroup = nullptr;     // "&Boundary test"
  // Pictures of the four shapes and the four corners; they do nothing when pressed.
  QToolButton* SpeedButton[8] = {};

  // The remembered items (besides the list positions of the base dialog).
  int ShapeItem = 0;
  int DistributionItem = 0;
  int ConstraintsItem = 0;
  int BoundaryItem = 0;

  bool FormShow() override;
  void FormCreate() override;
  void FormClose() override;
  bool ColumnTitlesToList() { return TColumnChoiceOpts::ColumnTitlesToList(); }
  // A click on an item of "Co&nstraints": "data-defined" hides "&Edit"; a user-defined
  // model shows its parameter dialog modally, then "&Edit".
  void ConstraintsGroupClick();
  // Re-opens the parameter dialog of the chosen model.
  void EditButtonClick();
  // "reset &Defaults": the General tab's defaults, every group item 0, the lists at
  // positions 0 and 1. The parameter dialogs keep their values.
  void ResetDefaults() override;
  void resetDefaults() { ResetDefaults(); }
  void Button1Click() { resetDefaults(); }
};

extern TMacroecologyOpts* MacroecologyOpts;
