#pragma once
// The options dialog of the niche overlap analysis: the overlap index, equiprobable or
// user-defined resource states, and the niche breadth and zero-state rules that choose
// the randomization algorithm.
#include "analyses/common/AnalysisOptions.h"
#include "analyses/nicheoverlap/NicheOverlapEngine.h"
#include "platform/RadioGroup.h"

class QPushButton;

class TNicheOverlapOpts : public TAnalysisOpts {
  Q_OBJECT
 public:
  explicit TNicheOverlapOpts(QWidget* Parent = nullptr);
  ~TNicheOverlapOpts() override;

  // "Preferences" tab.
  TRadioGroup* IndexGroup = nullptr;           // "Niche overlap &Index"
  TRadioGroup* ResourceStatesGroup = nullptr;  // "&Resource States"
  TRadioGroup* NicheBreadthGroup = nullptr;    // "&Niche Breadth"
  TRadioGroup* ZeroStatesGroup = nullptr;      // "&Zero States"
  QPushButton* DefineButtonCols = nullptr;     // "&Edit": the resource-state weights

  // The dialog's choices as one value, read when a run starts.
  TNicheOverlapOptions ReadOptions() const;

  void ResetDefaults() override;
  // "User-defined" chosen by the user opens the weights dialog, then shows "&Edit";
  // "Equiprobable" hides "&Edit" (the weights are kept). Choosing an item in code
  // opens no dialog.
  void ResourceStatesGroupClick();
  void DefineButtonColsClick();

 protected:
  void showEvent(QShowEvent* Event) override;
};

extern TNicheOverlapOpts* NicheOverlapOpts;
