#include "analyses/cooccurrence/CoOccurrenceOptions.h"

#include <QGridLayout>
#include <QLineEdit>
#include <QGroupBox>
#include <QPushButton>
#include <QShowEvent>
#include <QTabWidget>
#include <QVBoxLayout>

#include "analyses/cooccurrence/CoOccurrenceUDefined.h"
#include "platform/Prompts.h"
#include "shell/PelmorMain.h"

TCoOccurrenceOpts* CoOccurrenceOpts = nullptr;

namespace {
const QStringList ConstraintItems = {QStringLiteral("Equiprobable"), QStringLiteral("Fixed Sum"),
                                     QStringLiteral("Proportional"), QStringLiteral("User-Defined")};
constexpr int UserDefined = 3;

// Column 1 of a weights grid by grid row, element 0 (the header row) unused.
std::vector<double> WeightsByRow(const TStringGrid& G) {
  std::vector<double> values = TCoOccurrenceUserDefined::WeightValues(G);
  values.insert(values.begin(), 0.0);
  return values;
}
}  // namespace

TCoOccurrenceOpts::~TCoOccurrenceOpts() {
  if (CoOccurrenceOpts == this) CoOccurrenceOpts = nullptr;
}

TCoOccurrenceOpts::TCoOccurrenceOpts(QWidget* Parent)
    : TAnalysisOpts(QStringLiteral("Co-occurrence"), QStringLiteral("5000 "), Parent) {
  CoOccurrenceOpts = this;
  setObjectName(QStringLiteral("CoOccurrenceOpts"));

  // "Preferences" comes first.
  auto* prefs = new QWidget(PageControl1);
  PageControl1->insertTab(0, prefs, QStringLiteral("Preferences"));
  PageControl1->setCurrentIndex(0);
  auto* grid = new QGridLayout(prefs);

  auto* indexBox = new QGroupBox(QStringLiteral("Co-occurrence &Index"), prefs);
  auto* indexLayout = new QVBoxLayout(indexBox);
  IndexList = new QListWidget(indexBox);
  IndexList->setObjectName(QStringLiteral("IndexList"));
  IndexList->setAccessibleName(QStringLiteral("Co-occurrence index"));
  IndexList->addItems({QStringLiteral("C-score"), QStringLiteral("Number of checkerboards "),
                       QStringLiteral("Number of species combinations"), QStringLiteral("V-ratio")});
  IndexList->setCurrentRow(0);
  // Wide enough for the longest item, so that no item is cut off.
  IndexList->setMinimumWidth(IndexList->sizeHintForColumn(0) + 2 * IndexList->frameWidth() + 8);
  IndexList->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  // And as high as its four items, not the height of the page.
  IndexList->setFixedHeight(IndexList->sizeHintForRow(0) * IndexList->count() + 2 * IndexList->frameWidth() + 4);
  IndexList->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  indexLayout->addWidget(IndexList);
  indexLayout->addStretch();
  grid->addWidget(indexBox, 0, 0, Qt::AlignTop);

  RowGroup = new TRadioGroup(QStringLiteral("Ro&w Constraints"), ConstraintItems, prefs);
  RowGroup->setObjectName(QStringLiteral("RowGroup"));
  DefineButtonRows = new QPushButton(QStringLiteral("Edit"), RowGroup);
  DefineButtonRows->setObjectName(QStringLiteral("DefineButtonRows"));
  DefineButtonRows->setAccessibleName(QStringLiteral("Edit species weights"));
  RowGroup->layout()->addWidget(DefineButtonRows);
  DefineButtonRows->hide();
  grid->addWidget(RowGroup, 0, 1);

  ColumnGroup = new TRadioGroup(QStringLiteral("Co&Lumn Constraints"), ConstraintItems, prefs);
  ColumnGroup->setObjectName(QStringLiteral("ColumnGroup"));
  DefineButtonCols = new QPushButton(QStringLiteral("Edit"), ColumnGroup);
  DefineButtonCols->setObjectName(QStringLiteral("DefineButtonCols"));
  DefineButtonCols->setAccessibleName(QStringLiteral("Edit site weights"));
  ColumnGroup->layout()->addWidget(DefineButtonCols);
  DefineButtonCols->hide();
  grid->addWidget(ColumnGroup, 0, 2);

  DegenerateGroup = new TRadioGroup(
      QStringLiteral("Degenerate &Matrices"),
      {QStringLiteral("Retain"), QStringLiteral("Discard"), QStringLiteral("Split"), QStringLiteral("Fix")}, prefs);
  DegenerateGroup->setObjectName(QStringLiteral("DegenerateGroup"));
  grid->addWidget(DegenerateGroup, 1, 1, Qt::AlignTop);

  PatternGroup = new TRadioGroup(QStringLiteral("&Empty Sites"), {QStringLiteral("Include"), QStringLiteral("Exclude")},
                                 prefs);
  PatternGroup->setObjectName(QStringLiteral("PatternGroup"));
  grid->addWidget(PatternGroup, 1, 2, Qt::AlignTop);
  // Enlarged, the groups stay together at the top left.
  grid->setRowStretch(2, 1);
  grid->setColumnStretch(3, 1);

  FixedFixedGroup = new TRadioGroup(
      QStringLiteral("Fixed-Fixed Randomization Algorithm"),
      {QStringLiteral("Sequential Swap"), QStringLiteral("Independent Swap"), QStringLiteral("Random Knight's Tour")},
      GeneralSheet);
  FixedFixedGroup->setObjectName(QStringLiteral("FixedFixedGroup"));
  GeneralLayout->addWidget(FixedFixedGroup, 4, 0, 1, 2);

  // Values when the program starts.
  RowGroup->SetItemIndex(1);
  ColumnGroup->SetItemIndex(1);
  DegenerateGroup->SetItemIndex(0);
  PatternGroup->SetItemIndex(1);
  PatternGroup->hide();
  FixedFixedGroup->SetItemIndex(0);

  // The rules run on clicks from here on (and when code changes a group's item).
  RowGroup->OnClick = [this] { RowGroupClick(); };
  ColumnGroup->OnClick = [this] { ColumnGroupClick(); };
  DegenerateGroup->OnClick = [this] { DegenerateGroupClick(); };
  FixedFixedGroup->OnClick = [this] { FixedFixedGroupClick(); };
  connect(IndexList, &QListWidget::itemClicked, this, [this] { IndexListClick(); });
  connect(IndexList, &QListWidget::currentRowChanged, this, [this] {
    if (!SettingIndex) IndexListClick();
  });
  connect(DefineButtonRows, &QPushButton::clicked, this, [this] {
    EditSitesWeights = 0;
    ShowWeights();
  });
  connect(DefineButtonCols, &QPushButton::clicked, this, [this] {
    EditSitesWeights = 1;
    ShowWeights();
  });
  resize(560, 400);
}

int TCoOccurrenceOpts::IndexItem() const { return IndexList->currentRow(); }

void TCoOccurrenceOpts::SetIndexItem(int I) {
  // Choosing the index in code runs no rule.
  SettingIndex = true;
  IndexList->setCurrentRow(I);
  SettingIndex = false;
}

void TCoOccurrenceOpts::ShowWeights() {
  if (!CoOccurrenceUserDefined) return;
  CoOccurrenceUserDefined->EditSitesWeights = EditSitesWeights;
  ShowModal(CoOccurrenceUserDefined);
}

void TCoOccurrenceOpts::HidePattern() {
  PatternGroup->SetItemIndex(0);
  PatternGroup->hide();
}

void TCoOccurrenceOpts::IndexListClick() {
  if (IndexItem() <= 1)
    HidePattern();
  else if (ColumnGroup->ItemIndex() != UserDefined)
    PatternGroup->show();
}

void TCoOccurrenceOpts::DegenerateGroupClick() {
  if (IndexItem() <= 1) {
    HidePattern();
    return;
  }
  const int d = DegenerateGroup->ItemIndex();
  if (d == 0 || d == 2) {
    if (ColumnGroup->ItemIndex() != UserDefined) PatternGroup->show();
  } else {
    HidePattern();
  }
}

void TCoOccurrenceOpts::FixedFixedGroupClick() {
  // The knight's tour works on occupied sites only.
  if (FixedFixedGroup->ItemIndex() == 2) PatternGroup->SetItemIndex(1);
}

void TCoOccurrenceOpts::RowGroupClick() {
  if (RowGroup->ItemIndex() == UserDefined) {
    EditSitesWeights = 0;
    ShowWeights();
    DefineButtonRows->show();
  } else {
    DefineButtonRows->hide();
  }
}

void TCoOccurrenceOpts::ColumnGroupClick() {
  if (ColumnGroup->ItemIndex() == UserDefined) {
    HidePattern();
    EditSitesWeights = 1;
    ShowWeights();
    DefineButtonCols->show();
  } else {
    DefineButtonCols->hide();
    DegenerateGroupClick();
  }
}

TCoOccurrenceOptions TCoOccurrenceOpts::ReadOptions() const {
  TCoOccurrenceOptions o;
  o.Index = static_cast<TCoOccurrenceIndex>(std::clamp(IndexItem(), 0, 3));
  o.RowConstraint = static_cast<TSumConstraint>(std::clamp(RowGroup->ItemIndex(), 0, 3));
  o.ColumnConstraint = static_cast<TSumConstraint>(std::clamp(ColumnGroup->ItemIndex(), 0, 3));
  o.Degenerate = static_cast<TDegeneratePolicy>(std::clamp(DegenerateGroup->ItemIndex(), 0, 3));
  o.EmptySites = static_cast<TEmptySites>(std::clamp(PatternGroup->ItemIndex(), 0, 1));
  o.FixedFixed = static_cast<TFixedFixedAlgorithm>(std::clamp(FixedFixedGroup->ItemIndex(), 0, 2));
  o.Iterations = IterationsValue();
  o.RandomSeed = SeedValue();
  o.SaveMatrices = SaveMatricesChecked();
  if (CoOccurrenceUserDefined) {
    o.SiteWeightValues = WeightsByRow(*CoOccurrenceUserDefined->SitesWeightsGrid);
    o.SpeciesWeightValues = WeightsByRow(*CoOccurrenceUserDefined->SpeciesWeightsGrid);
  }
  return o;
}

void TCoOccurrenceOpts::ResetDefaults() {
  // In this order: the degenerate group's rule runs before the index is reset.
  HidePattern();
  RowGroup->SetItemIndex(1);
  ColumnGroup->SetItemIndex(1);
  DegenerateGroup->SetItemIndex(0);
  SetIndexItem(0);
  TAnalysisOpts::ResetDefaults();
  if (Pelmor) FileEdit->setText(Pelmor->FileName);
  FixedFixedGroup->SetItemIndex(0);
  RunButton->setFocus();
}

void TCoOccurrenceOpts::showEvent(QShowEvent* Event) {
  TAnalysisOpts::showEvent(Event);
  if (Event->spontaneous()) return;
  SetIndexItem(SavedIndexItem);
  RunButton->setFocus();
}

void TCoOccurrenceOpts::hideEvent(QHideEvent* Event) {
  SavedIndexItem = IndexItem();
  TAnalysisOpts::hideEvent(Event);
}
