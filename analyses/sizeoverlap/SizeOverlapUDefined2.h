#pragma once
// "Pelmor -- Untransformed normal distribution": the user's normal pool on the data
// scale.
#include "analyses/sizeoverlap/SizeOverlapUDefined1.h"

class TSizeOverLapUD2 : public TSizeParameterDialog {
  Q_OBJECT
 public:
  explicit TSizeOverLapUD2(QWidget* Parent = nullptr);
  ~TSizeOverLapUD2() override;
  QLineEdit* MeanEdit = nullptr;
  QLineEdit* SDEdit = nullptr;
  QString CheckValues() const override;

 protected:
  std::pair<double, double> Parameters(const std::vector<double>& Positive) const override;
};

extern TSizeOverLapUD2* SizeOverLapUD2;
