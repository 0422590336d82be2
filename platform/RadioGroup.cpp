#include "platform/RadioGroup.h"

#include <QButtonGroup>
#include <QRadioButton>
#include <QVBoxLayout>

TRadioGroup::TRadioGroup(const QString& Caption, const QStringList& Items, QWidget* Parent)
    : QGroupBox(Caption, Parent), Group(new QButtonGroup(this)) {
  auto* layout = new QVBoxLayout(this);
  for (int i = 0; i < Items.size(); ++i) {
    auto* b = new QRadioButton(Items[i], this);
    Group->addButton(b, i);
    layout->addWidget(b);
    Buttons.push_back(b);
  }
  // Like the toolkit's radio groups: only a change of the chosen item is a click.
  connect(Group, &QButtonGroup::idClicked, this, [this](int id) {
    if (id == Index) return;
    Index = id;
    ByUser = true;
    if (OnClick) OnClick();
    ByUser = false;
  });
}

void TRadioGroup::SetItemIndex(int I) {
  if (I < -1 || I >= Count()) I = -1;
  if (I == Index) return;
  if (I < 0 || I >= Count()) {
    Group->setExclusive(false);
    for (auto* b : Buttons) b->setChecked(false);
    Group->setExclusive(true);
    Index = -1;
  } else {
    Buttons[static_cast<size_t>(I)]->setChecked(true);
    Index = I;
  }
  if (OnClick) OnClick();
}
