#include "analyses/standardtests/AnovaOptions.h"

#include <QComboBox>

TAnovaOpts* AnovaOpts = nullptr;

TAnovaOpts::TAnovaOpts(QWidget* Parent)
    : TColumnChoiceOpts(QStringLiteral("ANOVA"), QStringLiteral("&Labels:"), QStringLiteral("&Y variable:"), Parent) {
  AnovaOpts = this;
  setObjectName(QStringLiteral("AnovaOpts"));
  LabelsList = FirstList;
  YvariableList = SecondList;
  LabelsList->setObjectName(QStringLiteral("LabelsList"));
  YvariableList->setObjectName(QStringLiteral("YvariableList"));
}

TAnovaOpts::~TAnovaOpts() {
  if (AnovaOpts == this) AnovaOpts = nullptr;
}
