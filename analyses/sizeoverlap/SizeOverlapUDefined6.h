#pragma once
// "Pelmor -- Transformed normal distribution ": the user's log-normal pool, its mean
// and standard deviation on the log10 scale that the pool draws on.
#include "analyses/sizeoverlap/SizeOverlapUDefined1.h"

class TSizeOverLapUD6 : public TSizeParameterDialog {
  Q_OBJECT
 public:
  explicit TSizeOverLapUD6(QWidget* Parent = nullptr);
  ~TSizeOverLapUD6() override;
  QLineEdit* MeanEdit = nullptr;
  QLineEdit* SDEdit = nullptr;
  QString CheckValues() const override;

 protected:
  std::pair<double, double> Parameters(const std::vector<double>& Positive) const override;
};

extern TSizeOverLapUD6* SizeOverLapUD6;
