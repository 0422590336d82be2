#include "analyses/sizeoverlap/SizeOverlapOptions.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHideEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QShowEvent>
#include <QTabWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

#include "analyses/sizeoverlap/SizeOverlapUDefined1.h"
#include "analyses/sizeoverlap/SizeOverlapUDefined2.h"
#include "analyses/sizeoverlap/SizeOverlapUDefined3.h"
#include "analyses/sizeoverlap/SizeOverlapUDefined5.h"
#include "analyses/sizeoverlap/SizeOverlapUDefined6.h"
#include "core/PelmorText.h"
#include "platform/Prompts.h"
#include "platform/RadioGroup.h"
#include "platform/StringGrid.h"
#include "shell/PelmorMain.h"

TSizeOverlapOpts* SizeOverlapOpts = nullptr;

double SizeCellValue(const QString& Text) {
  double v = 0.0;
  if (!TextToFloat(Text.toStdString(), v) || !std::isfinite(v)) return 0.0;
  return v;
}

std::vector<double> PositiveCells(int32_t Col) {
  std::vector<double> out;
  if (!Pelmor || Col < 1 || Col >= Pelmor->MainGrid->ColCount()) return out;
  const TStringGrid& g = *Pelmor->MainGrid;
  for (int r = 1; r < g.RowCount(); ++r) {
    const double v = SizeCellValue(g.Cells(Col, r));
    if (v > 0.0) out.push_back(v);
  }
  return out;
}

int32_t CountPositiveCells(int32_t Col) { return static_cast<int32_t>(PositiveCells(Col).size()); }

int32_t CountPositiveHistogramSizes() {
  if (!SizeOverLapUD3) return 0;
  const TStringGrid& g = *SizeOverLapUD3->SpeciesHistogramGrid;
  int32_t n = 0;
  for (int r = 1; r < g.RowCount(); ++r)
    if (SizeCellValue(g.Cells(1, r)) > 0.0) ++n;
  return n;
}

TSizeOverlapOpts::~TSizeOverlapOpts() {
  if (SizeOverlapOpts == this) SizeOverlapOpts = nullptr;
}

TSizeOverlapOpts::TSizeOverlapOpts(QWidget* Parent)
    : TAnalysisOpts(QStringLiteral("Size Overlap"), QStringLiteral("1000 "), Parent) {
  SizeOverlapOpts = this;
  setObjectName(QStringLiteral("SizeOverlapOpts"));
  setWindowFlag(Qt::Tool);

  PreferencesSheet = new QWidget(PageControl1);
  PreferencesSheet->setObjectName(QStringLiteral("PreferencesSheet"));
  PageControl1->insertTab(0, PreferencesSheet, QStringLiteral("Preferences"));
  PageControl1->setCurrentIndex(0);
  auto* grid = new QGridLayout(PreferencesSheet);

  MetricGroup = new TRadioGroup(
      QStringLiteral("&Metric"),
      {QStringLiteral("Minimum segment length"), QStringLiteral("Variance in segment length")}, PreferencesSheet);
  MetricGroup->setObjectName(QStringLiteral("MetricGroup"));
  TransformationGroup = new TRadioGroup(
      QStringLiteral("&Transformation"),
      {QStringLiteral("None (size differences)"), QStringLiteral("Log (size ratios)")}, PreferencesSheet);
  TransformationGroup->setObjectName(QStringLiteral("TransformationGroup"));

  ColumnGroup = new QGroupBox(QStringLiteral("Co&Lumn to analyze"), PreferencesSheet);
  ColumnGroup->setObjectName(QStringLiteral("ColumnGroup"));
  ColumnList = new QListWidget(ColumnGroup);
  ColumnList->setObjectName(QStringLiteral("ColumnList"));
  ColumnList->setAccessibleName(QStringLiteral("Column to analyze"));
  (new QVBoxLayout(ColumnGroup))->addWidget(ColumnList);
  // The group's accelerator moves the focus to the list inside it.
  ColumnGroup->setFocusProxy(ColumnList);

  RoundingGroup = new TRadioGroup(QStringLiteral("Roundin&G"), {QStringLiteral("None"), QStringLiteral("Integer")},
                                  PreferencesSheet);
  RoundingGroup->setObjectName(QStringLiteral("RoundingGroup"));

  BodySizeDistributionGroup =
      new TRadioGroup(QStringLiteral("&Body size distribution"),
                      {QStringLiteral("Parametric distributions"), QStringLiteral("Histogram")}, PreferencesSheet);
  BodySizeDistributionGroup->setObjectName(QStringLiteral("BodySizeDistributionGroup"));
  BodySizeDistributionGroupMain =
      new TRadioGroup(QString(),
                      {QStringLiteral("Uniform"), QStringLiteral("Normal"), QStringLiteral("Log uniform"),
                       QStringLiteral("Log normal")},
                      PreferencesSheet);
  BodySizeDistributionGroupMain->setObjectName(QStringLiteral("BodySizeDistributionGroupMain"));
  BodySizeDistributionGroupC = new TRadioGroup(
      QString(), {QStringLiteral("Data defined"), QStringLiteral("User defined")}, PreferencesSheet);
  BodySizeDistributionGroupC->setObjectName(QStringLiteral("BodySizeDistributionGroupC"));
  UserHistogramGroup =
      new TRadioGroup(QString(), {QStringLiteral("User defined histogram")}, PreferencesSheet);
  UserHistogramGroup->setObjectName(QStringLiteral("UserHistogramGroup"));
  EditUserDefinedButton = new QPushButton(QStringLiteral("&Edit"), PreferencesSheet);
  EditUserDefinedButton->setObjectName(QStringLiteral("EditUserDefinedButton"));
  EditUserDefinedButton->setAccessibleName(QStringLiteral("Edit the user-defined pool"));
  EditUserDefinedButton->setAutoDefault(false);
  EditButton = new QPushButton(QStringLiteral("&Edit"), PreferencesSheet);
  EditButton->setObjectName(QStringLiteral("EditButton"));
  EditButton->hide();

  auto* pool = new QWidget(PreferencesSheet);
  auto* poolLayout = new QGridLayout(pool);
  poolLayout->setContentsMargins(0, 0, 0, 0);
  poolLayout->addWidget(BodySizeDistributionGroup, 0, 0, 1, 2);
  poolLayout->addWidget(BodySizeDistributionGroupMain, 1, 0);
  poolLayout->addWidget(BodySizeDistributionGroupC, 1, 1);
  poolLayout->addWidget(UserHistogramGroup, 2, 0);
  poolLayout->addWidget(EditUserDefinedButton, 2, 1, Qt::AlignLeft);

  grid->addWidget(MetricGroup, 0, 0);
  grid->addWidget(TransformationGroup, 1, 0);
  grid->addWidget(RoundingGroup, 2, 0);
  grid->addWidget(ColumnGroup, 0, 1, 3, 1);
  grid->addWidget(pool, 0, 2, 3, 1);
  grid->setRowStretch(3, 1);

  MetricGroup->SetItemIndex(1);
  TransformationGroup->SetItemIndex(1);
  RoundingGroup->SetItemIndex(0);
  BodySizeDistributionGroup->SetItemIndex(0);
  BodySizeDistributionGroupMain->SetItemIndex(3);
  BodySizeDistributionGroupC->SetItemIndex(0);
  UserHistogramGroup->SetItemIndex(0);
  // FormCreate: the histogram and the edit button wait for their choices.
  EditUserDefinedButton->setEnabled(false);
  UserHistogramGroup->setEnabled(false);

  BodySizeDistributionGroup->OnClick = [this] {
    if (!Resetting) BodySizeDistributionGroupClick();
  };
  BodySizeDistributionGroupMain->OnClick = [this] {
    if (!Resetting) BodyDistributionClicks();
  };
  BodySizeDistributionGroupC->OnClick = [this] {
    if (!Resetting) BodyDistributionClicks();
  };
  connect(EditUserDefinedButton, &QPushButton::clicked, this, [this] { EditUserDefinedButtonClick(); });
  resize(760, 420);
}

void TSizeOverlapOpts::ColumnTitlesToList() {
  ColumnList->clear();
  if (Pelmor)
    for (int c = 1; c < Pelmor->MainGrid->ColCount(); ++c) ColumnList->addItem(Pelmor->MainGrid->Cells(c, 0));
  ColumnList->setCurrentRow(ColumnList->count() > 0 ? 0 : -1);
}

int32_t TSizeOverlapOpts::AnalysedColumn() const { return ColumnList->currentRow() + 1; }

QString TSizeOverlapOpts::ColumnTitle() const {
  const QListWidgetItem* item = ColumnList->currentItem();
  return item ? item->text() : QString();
}

void TSizeOverlapOpts::BodySizeDistributionGroupClick() {
  if (BodySizeDistributionGroup->ItemIndex() == 0) {
    BodySizeDistributionGroupMain->setEnabled(true);
    BodySizeDistributionGroupC->setEnabled(true);
    EditUserDefinedButton->setEnabled(BodySizeDistributionGroupC->ItemIndex() == 1);
    UserHistogramGroup->setEnabled(false);
  } else {
    BodySizeDistributionGroupMain->setEnabled(false);
    BodySizeDistributionGroupC->setEnabled(false);
    EditUserDefinedButton->setEnabled(true);
    UserHistogramGroup->setEnabled(true);
    ShowModal(SizeOverLapUD3);
  }
}

void TSizeOverlapOpts::BodyDistributionClicks() {
  if (CountPositiveCells(AnalysedColumn()) < 1) {
    ShowMessage(QStringLiteral("Non-Zero Rows Must be > 0"));
    return;
  }
  const bool user = BodySizeDistributionGroupC->ItemIndex() == 1;
  EditUserDefinedButton->setEnabled(user);
  const int kind = BodySizeDistributionGroupMain->ItemIndex();
  RoundingGroup->setVisible(kind == 0 || kind == 1);
  if (!user) return;
  switch (kind) {
    case 0:
      ShowModal(SizeOverLapUD1);
      break;
    case 1:
      ShowModal(SizeOverLapUD2);
      break;
    case 2:
      ShowModal(SizeOverLapUD5);
      break;
    case 3:
      ShowModal(SizeOverLapUD6);
      break;
    default:
      break;
  }
}

void TSizeOverlapOpts::EditUserDefinedButtonClick() {
  if (BodySizeDistributionGroup->ItemIndex() == 0)
    BodyDistributionClicks();
  else
    ShowModal(SizeOverLapUD3);
}

TSizeOverlapOptions TSizeOverlapOpts::ReadOptions() const {
  TSizeOverlapOptions o;
  o.Metric = MetricGroup->ItemIndex() == 0 ? TSizeMetric::MinimumSegment : TSizeMetric::SegmentVariance;
  o.Transformation = TransformationGroup->ItemIndex() == 0 ? TSizeTransform::None : TSizeTransform::Log;
  o.Source = BodySizeDistributionGroup->ItemIndex() == 1 ? TPoolSource::Histogram : TPoolSource::Parametric;
  o.Kind = static_cast<TPoolKind>(std::clamp(BodySizeDistributionGroupMain->ItemIndex(), 0, 3));
  o.Definition = BodySizeDistributionGroupC->ItemIndex() == 1 ? TPoolDefinition::UserDefined
                                                              : TPoolDefinition::DataDefined;
  o.Rounding = RoundingGroup->ItemIndex() == 1 ? TSizeRounding::Integer : TSizeRounding::None;
  o.Column = AnalysedColumn();
  if (SizeOverLapUD1) {
    o.User.Minimum = SizeOverLapUD1->FirstValue();
    o.User.Maximum = SizeOverLapUD1->SecondValue();
  }
  if (SizeOverLapUD5) {
    o.User.LogMinimum = SizeOverLapUD5->FirstValue();
    o.User.LogMaximum = SizeOverLapUD5->SecondValue();
  }
  if (SizeOverLapUD2) {
    o.User.Mean = SizeOverLapUD2->FirstValue();
    o.User.StdDev = SizeOverLapUD2->SecondValue();
  }
  if (SizeOverLapUD6) {
    o.User.LogMean = SizeOverLapUD6->FirstValue();
    o.User.LogStdDev = SizeOverLapUD6->SecondValue();
  }
  return o;
}

void TSizeOverlapOpts::ResetDefaults() {
  // Choosing items here opens no dialog and changes no enabling.
  Resetting = true;
  if (Pelmor) FileEdit->setText(Pelmor->FileName);
  RandomSeedEdit->setText(QStringLiteral("0"));
  MetricGroup->SetItemIndex(1);
  RoundingGroup->SetItemIndex(0);
  TransformationGroup->SetItemIndex(1);
  BodySizeDistributionGroup->SetItemIndex(0);
  BodySizeDistributionGroupMain->SetItemIndex(0);
  BodySizeDistributionGroupC->SetItemIndex(0);
  SaveMatrixCheckBox->setChecked(false);
  IterationsEdit->setText(DefaultIterations);
  ColumnTitlesToList();
  RunButton->setFocus();
  Resetting = false;
}

void TSizeOverlapOpts::showEvent(QShowEvent* Event) {
  TAnalysisOpts::showEvent(Event);
  if (Event->spontaneous()) return;
  ColumnTitlesToList();
  // A remembered entry beyond the list (a file with fewer columns) chooses none; the
  // run then refuses the column.
  ColumnList->setCurrentRow(SavedColumnIndex < ColumnList->count() ? SavedColumnIndex : -1);
  if (Pelmor) Pelmor->OptionsAccepted = false;
  RunButton->setFocus();
}

void TSizeOverlapOpts::hideEvent(QHideEvent* Event) {
  // No entry chosen (a list shorter than the remembered entry) keeps the entry.
  if (!Event->spontaneous() && ColumnList->currentRow() >= 0) SavedColumnIndex = ColumnList->currentRow();
  TAnalysisOpts::hideEvent(Event);
}
