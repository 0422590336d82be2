#include "analyses/macroecology/MacroEcologyUDefined2.h"

#include <QLineEdit>
#include <QPushButton>
#include <cmath>

#include "core/PelmorStats.h"
#include "core/PelmorText.h"
#include "platform/Prompts.h"

TMacroEcologyUD2* MacroEcologyUD2 = nullptr;

TMacroEcologyUD2::TMacroEcologyUD2(QWidget* Parent)
    : TMacroParamDialog(QStringLiteral("Pelmor -- User-defined normal destribution"),
                        {QStringLiteral("Mean X:"), QStringLiteral("Std. Deviation X:"), QStringLiteral("Mean Y:"),
                         QStringLiteral("Std. Deviation Y:")},
                        QStringLiteral("OKButton"), Parent) {
  MacroEcologyUD2 = this;
  setObjectName(QStringLiteral("MacroEcologyUD2"));
  MeanXEdit = Edit[0];
  SDXEdit = Edit[1];
  MeanYEdit = Edit[2];
  SDYEdit = Edit[3];
  MeanXEdit->setObjectName(QStringLiteral("MeanXEdit"));
  SDXEdit->setObjectName(QStringLiteral("SDXEdit"));
  MeanYEdit->setObjectName(QStringLiteral("MeanYEdit"));
  SDYEdit->setObjectName(QStringLiteral("SDYEdit"));
  OKButton = OkButtonBase;
}

TMacroEcologyUD2::~TMacroEcologyUD2() {
  if (MacroEcologyUD2 == this) MacroEcologyUD2 = nullptr;
}

void TMacroEcologyUD2::Init() {
  const std::vector<double> x = ColumnValues(ChosenXColumn());
  const std::vector<double> y = ColumnValues(ChosenYColumn());
  const TMeanVar mx = MeanVar(static_cast<int32_t>(x.size()), x);
  const TMeanVar my = MeanVar(static_cast<int32_t>(y.size()), y);
  auto F = [](double V) { return QString::fromStdString(FloatToStrF(V)); };
  MeanXEdit->setText(F(mx.Mean));
  SDXEdit->setText(F(std::sqrt(mx.Variance)));
  MeanYEdit->setText(F(my.Mean));
  SDYEdit->setText(F(std::sqrt(my.Variance)));
}

QString TMacroEcologyUD2::TestMessage() const {
  double v[4] = {0, 0, 0, 0};
  for (int i = 0; i < 4; ++i)
    if (!Value(i, v[i])) return NumberMessage(i);
  if (v[0] < 0) return QStringLiteral("Mean X must be >= 0 ");
  if (v[1] <= 0) return QStringLiteral("Standard deviation X must be > 0 ");
  if (v[2] < 0) return QStringLiteral("Mean Y must be >= 0 ");
  if (v[3] <= 0) return QStringLiteral("Standard deviation Y must be > 0 ");
  return {};
}

bool TMacroEcologyUD2::TestInput() {
  const QString message = TestMessage();
  if (!message.isEmpty()) ShowMessage(message);
  return message.isEmpty();
}
