#pragma once
// The options dialog of the guild-structure analysis: the co-occurrence index
// computed within each group, the grouping (guilds of species or regions of sites)
// and the favored-state analysis.
#include "analyses/common/AnalysisOptions.h"
#include "analyses/guild/GuildStructureSims.h"

class QCheckBox;
class QComboBox;
class TRadioGroup;

class TGuildStructureOpts : public TAnalysisOpts {
  Q_OBJECT
 public:
  explicit TGuildStructureOpts(QWidget* Parent = nullptr);
  ~TGuildStructureOpts() override;

  QComboBox* IndexList = nullptr;               // in "Co-occurrence &Index"
  TRadioGroup* Grouping = nullptr;              // "Grouping"
  QCheckBox* FavoredStatesCheckBox = nullptr;   // "Favored States Analysis"

  // The dialog's choices as read when a run starts.
  TGuildOptions ReadOptions() const;

  // "Favored States Analysis" is offered for guild grouping only.
  void GroupingClick();
  void ResetDefaults() override;

 protected:
  void showEvent(QShowEvent* Event) override;
  void hideEvent(QHideEvent* Event) override;

 private:
  int SavedIndexItem = 0;  // the index item kept from one showing to the next
};

extern TGuildStructureOpts* GuildStructureOpts;
