#pragma once
// The options dialog shape of the tests that analyse chosen columns of the data matrix
// (regression, ANOVA, runs test): a "Preferences" tab with two lists of the data
// columns' titles beside the common "General" tab. Each list remembers its position
// from one showing to the next (0 and 1 at first); the lists are filled again from the
// main grid's titles at every showing.
#include <QString>

#include "analyses/common/AnalysisOptions.h"

class QComboBox;
class QLabel;

class TColumnChoiceOpts : public TAnalysisOpts {
  Q_OBJECT
 public:
  // FirstCaption / SecondCaption: the lists' labels ("&X variable:", "&Y variable:").
  TColumnChoiceOpts(const QString& AnalysisName, const QString& FirstCaption, const QString& SecondCaption,
                    QWidget* Parent = nullptr);

  QWidget* PreferencesSheet = nullptr;  // "Preferences"
  QComboBox* FirstList = nullptr;
  QComboBox* SecondList = nullptr;
  QLabel* FirstLabel = nullptr;
  QLabel* SecondLabel = nullptr;

  // The remembered positions (item k stands for grid column k + 1; -1: none chosen).
  int FirstPosition = 0;
  int SecondPosition = 1;

  // Empties both lists and fills each with the titles of MainGrid's data columns;
  // with at least two of them chooses items 0 and 1 and returns true; otherwise shows
  // "At least two columns required." and returns false.
  bool ColumnTitlesToList();
  // At each showing: the lists are filled; when that fails the dialog closes as if
  // cancelled (nothing runs); otherwise the remembered positions are chosen and the
  // focus goes to "&Run". Returns whether the dialog stays.
  // A dialog with more choices extends it (and FormCreate, FormClose) for them.
  virtual bool FormShow();
  // Remembered positions 0 and 1.
  virtual void FormCreate();
  // The remembered positions take the lists' current items.
  virtual void FormClose();
  // True when the last showing was refused for want of columns.
  bool Refused() const { return Refused_; }

  // The General tab's defaults, then items 0 and 1 and the focus on "&Run". The
  // remembered positions are kept.
  void ResetDefaults() override;

  // The grid columns of the lists' current items (item + 1; 0 when none is chosen).
  int FirstColumn() const;
  int SecondColumn() const;

  // Shows the dialog modally; a grid that fails the column check is refused before
  // the dialog appears.
  int exec() override;

 protected:
  void showEvent(QShowEvent* Event) override;
  void hideEvent(QHideEvent* Event) override;

 private:
  bool Refused_ = false;
  bool CheckedBeforeShow_ = false;
};
