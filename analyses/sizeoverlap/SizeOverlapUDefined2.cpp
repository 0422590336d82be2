#include "analyses/sizeoverlap/SizeOverlapUDefined2.h"

#include <QLineEdit>
#include <cmath>

#include "core/PelmorStats.h"

TSizeOverLapUD2* SizeOverLapUD2 = nullptr;

TSizeOverLapUD2::TSizeOverLapUD2(QWidget* Parent)
    : TSizeParameterDialog(QStringLiteral("SizeOverLapUD2"),
                           QStringLiteral("Pelmor -- Untransformed normal distribution"), QStringLiteral("Mean:"),
                           QStringLiteral("5"), QStringLiteral("Std. Deviation:"), QStringLiteral("1"), false,
                           Parent) {
  SizeOverLapUD2 = this;
  MeanEdit = FirstEdit;
  SDEdit = SecondEdit;
  MeanEdit->setObjectName(QStringLiteral("MeanEdit"));
  SDEdit->setObjectName(QStringLiteral("SDEdit"));
}

TSizeOverLapUD2::~TSizeOverLapUD2() {
  if (SizeOverLapUD2 == this) SizeOverLapUD2 = nullptr;
}

QString TSizeOverLapUD2::CheckValues() const {
  if (!(FirstValue() >= 0.0)) return QStringLiteral("Mean must be >= 0 ");
  if (!(SecondValue() > 0.0)) return QStringLiteral("Standard deviation must be > 0 ");
  return {};
}

std::pair<double, double> TSizeOverLapUD2::Parameters(const std::vector<double>& Positive) const {
  const TMeanVar mv = MeanVar(static_cast<int32_t>(Positive.size()), Positive);
  return {mv.Mean, std::sqrt(mv.Variance)};
}
