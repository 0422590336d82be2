#include "analyses/standardtests/RunsTestOptions.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>

#include "platform/RadioGroup.h"

TRunsTestOpts* RunsTestOpts = nullptr;

TRunsTestOpts::TRunsTestOpts(QWidget* Parent)
    : TColumnChoiceOpts(QStringLiteral("Runs Test"), QStringLiteral("&X variable (continuous) :"),
                        QStringLiteral("&Y variable (discrete) :"), Parent) {
  RunsTestOpts = this;
  setObjectName(QStringLiteral("RunsTestOpts"));
  XvariableList = FirstList;
  YvariableList = SecondList;
  XvariableList->setObjectName(QStringLiteral("XvariableList"));
  YvariableList->setObjectName(QStringLiteral("YvariableList"));

  SimulationGroup = new TRadioGroup(QStringLiteral("Simulation &Constraints"),
                                    {QStringLiteral("Equiprobable"), QStringLiteral("Proportional")}, PreferencesSheet);
  SimulationGroup->setObjectName(QStringLiteral("SimulationGroup"));
  SamplingAlgorithmGroup =
      new TRadioGroup(QStringLiteral("Sampling &Algorithm"),
                      {QStringLiteral("Without replacement"), QStringLiteral("With replacement")}, PreferencesSheet);
  SamplingAlgorithmGroup->setObjectName(QStringLiteral("SamplingAlgorithmGroup"));
  DataTypeGroup = new TRadioGroup(QStringLiteral("&Data type (continuous variable )"),
                                  {QStringLiteral("Linear"), QStringLiteral("Angular")}, PreferencesSheet);
  DataTypeGroup->setObjectName(QStringLiteral("DataTypeGroup"));
  for (TRadioGroup* g : {SimulationGroup, SamplingAlgorithmGroup, DataTypeGroup}) g->SetItemIndex(0);

  auto* grid = static_cast<QGridLayout*>(PreferencesSheet->layout());
  auto* row = new QHBoxLayout;
  row->addWidget(SimulationGroup, 0, Qt::AlignTop);
  row->addWidget(SamplingAlgorithmGroup, 0, Qt::AlignTop);
  row->addWidget(DataTypeGroup, 0, Qt::AlignTop);
  row->addStretch();
  grid->setRowStretch(2, 0);
  grid->addLayout(row, 2, 0, 1, 3);
  grid->setRowStretch(3, 1);
  resize(560, 360);
}

TRunsTestOpts::~TRunsTestOpts() {
  if (RunsTestOpts == this) RunsTestOpts = nullptr;
}

void TRunsTestOpts::ResetDefaults() {
  TColumnChoiceOpts::ResetDefaults();
  SimulationGroup->SetItemIndex(1);
}
