#include "analyses/sizeoverlap/SizeOverlapUDefined6.h"

#include <QLineEdit>
#include <cmath>

#include "analyses/sizeoverlap/SizeOverlapSims.h"
#include "core/PelmorStats.h"

TSizeOverLapUD6* SizeOverLapUD6 = nullptr;

TSizeOverLapUD6::TSizeOverLapUD6(QWidget* Parent)
    : TSizeParameterDialog(QStringLiteral("SizeOverLapUD6"),
                           QStringLiteral("Pelmor -- Transformed normal distribution "), QStringLiteral("Mean:"),
                           QStringLiteral("5"), QStringLiteral("Std. Deviation:"), QStringLiteral("1"), false,
                           Parent) {
  SizeOverLapUD6 = this;
  MeanEdit = FirstEdit;
  SDEdit = SecondEdit;
  MeanEdit->setObjectName(QStringLiteral("MeanEdit"));
  SDEdit->setObjectName(QStringLiteral("SDEdit"));
}

TSizeOverLapUD6::~TSizeOverLapUD6() {
  if (SizeOverLapUD6 == this) SizeOverLapUD6 = nullptr;
}

QString TSizeOverLapUD6::CheckValues() const {
  if (!(SecondValue() > 0.0)) return QStringLiteral("Standard deviation must be > 0 ");
  return {};
}

std::pair<double, double> TSizeOverLapUD6::Parameters(const std::vector<double>& Positive) const {
  // The log-normal pool draws on the log10 scale, whatever the transformation.
  TSizeOverlapOptions log;
  log.Source = TPoolSource::Parametric;
  log.Kind = TPoolKind::LogNormal;
  const int32_t n = static_cast<int32_t>(Positive.size());
  std::vector<double> x(Positive.size());
  ToDistributionScale(log, n - 1, Positive, x);
  const TMeanVar mv = MeanVar(n, x);
  return {mv.Mean, std::sqrt(mv.Variance)};
}
