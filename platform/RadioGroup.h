#pragma once
// A captioned group of radio buttons with one chosen item (ItemIndex), as the
// option dialogs use for their choices. Setting the item in code runs the same
// click handler as a click by the user.
#include <QGroupBox>
#include <QStringList>
#include <functional>

class QButtonGroup;
class QRadioButton;

class TRadioGroup : public QGroupBox {
  Q_OBJECT
 public:
  TRadioGroup(const QString& Caption, const QStringList& Items, QWidget* Parent = nullptr);

  int ItemIndex() const { return Index; }
  // Chooses an item (-1 for none) and, when that changed the chosen item, runs
  // OnClick as a click would.
  void SetItemIndex(int I);
  int Count() const { return static_cast<int>(Buttons.size()); }
  QRadioButton* Button(int I) const { return Buttons.at(static_cast<size_t>(I)); }

  // Runs after the chosen item changed, by the user or by SetItemIndex.
  std::function<void()> OnClick;
  // True while OnClick runs for a click by the user (not for SetItemIndex).
  bool ClickedByUser() const { return ByUser; }

 private:
  QButtonGroup* Group;
  std::vector<QRadioButton*> Buttons;
  int Index = -1;
  bool ByUser = false;
};
