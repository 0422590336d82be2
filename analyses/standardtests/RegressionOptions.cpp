#include "analyses/standardtests/RegressionOptions.h"

#include <QComboBox>

TRegressionOpts* RegressionOpts = nullptr;

TRegressionOpts::TRegressionOpts(QWidget* Parent)
    : TColumnChoiceOpts(QStringLiteral("Regression"), QStringLiteral("&X variable:"), QStringLiteral("&Y variable:"),
                        Parent) {
  RegressionOpts = this;
  setObjectName(QStringLiteral("RegressionOpts"));
  XvariableCList = FirstList;
  YvariableCList = SecondList;
  XvariableCList->setObjectName(QStringLiteral("XvariableCList"));
  YvariableCList->setObjectName(QStringLiteral("YvariableCList"));
}

TRegressionOpts::~TRegressionOpts() {
  if (RegressionOpts == this) RegressionOpts = nullptr;
}
