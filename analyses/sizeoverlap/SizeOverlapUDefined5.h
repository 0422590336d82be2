#pragma once
// "Pelmor -- Transformed end points": the user's log-uniform pool, its end points on
// the log10 scale that the pool draws on.
#include "analyses/sizeoverlap/SizeOverlapUDefined1.h"

class TSizeOverLapUD5 : public TSizeParameterDialog {
  Q_OBJECT
 public:
  explicit TSizeOverLapUD5(QWidget* Parent = nullptr);
  ~TSizeOverLapUD5() override;
  QLineEdit* MinimumEdit = nullptr;
  QLineEdit* MaximumEdit = nullptr;
  QString CheckValues() const override;

 protected:
  std::pair<double, double> Parameters(const std::vector<double>& Positive) const override;
};

extern TSizeOverLapUD5* SizeOverLapUD5;
