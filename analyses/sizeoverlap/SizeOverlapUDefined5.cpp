#include "analyses/sizeoverlap/SizeOverlapUDefined5.h"

#include <QLineEdit>

#include "analyses/sizeoverlap/SizeOverlapSims.h"
#include "core/PelmorStats.h"

TSizeOverLapUD5* SizeOverLapUD5 = nullptr;

TSizeOverLapUD5::TSizeOverLapUD5(QWidget* Parent)
    : TSizeParameterDialog(QStringLiteral("SizeOverLapUD5"), QStringLiteral("Pelmor -- Transformed end points"),
                           QStringLiteral("Minimum:"), QStringLiteral("0"), QStringLiteral("Maximum:"),
                           QStringLiteral("1"), true, Parent) {
  SizeOverLapUD5 = this;
  MinimumEdit = FirstEdit;
  MaximumEdit = SecondEdit;
  MinimumEdit->setObjectName(QStringLiteral("MinimumEdit"));
  MaximumEdit->setObjectName(QStringLiteral("MaximumEdit"));
}

TSizeOverLapUD5::~TSizeOverLapUD5() {
  if (SizeOverLapUD5 == this) SizeOverLapUD5 = nullptr;
}

QString TSizeOverLapUD5::CheckValues() const {
  if (!(SecondValue() > FirstValue())) return QStringLiteral("Maximum must be > Minimum ");
  return {};
}

std::pair<double, double> TSizeOverLapUD5::Parameters(const std::vector<double>& Positive) const {
  // The log-uniform pool draws on the log10 scale, whatever the transformation.
  TSizeOverlapOptions log;
  log.Source = TPoolSource::Parametric;
  log.Kind = TPoolKind::LogUniform;
  const int32_t n = static_cast<int32_t>(Positive.size());
  std::vector<double> x(Positive.size());
  ToDistributionScale(log, n - 1, Positive, x);
  return {LowestValue(n, x), HighestValue(n, x)};
}
