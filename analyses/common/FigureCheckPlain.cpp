#include "analyses/common/FigureCheck.h"

#include <cmath>

#include "analyses/common/StatBlock.h"

void TFigureCheck::Fail(const std::string& What) {
  if (Failed()) return;
  Message_ = "The " + What + " is not a finite number: the data hold values too large to compute with.";
}

void TFigureCheck::Figure(TFigureStage Stage, const char* Name, double Value) {
  if (Stage != Stage_ || Failed() || std::isfinite(Value)) return;
  switch (Stage_) {
    case TFigureStage::Observed:
      Fail(std::string("observed ") + Name);
      break;
    case TFigureStage::Simulated:
      Fail(std::string("simulated ") + Name + " of iteration " + std::to_string(Iteration_));
      break;
    case TFigureStage::Summary:
      Fail(Name);
      break;
  }
}

void TFigureCheck::Statistic(const char* Name, double Observed, double Simulated, const TSimStatistic& Summary) {
  if (Failed()) return;
  switch (Stage_) {
    case TFigureStage::Observed:
      Figure(Stage_, Name, Observed);
      break;
    case TFigureStage::Simulated:
      Figure(Stage_, Name, Simulated);
      break;
    case TFigureStage::Summary:
      if (const char* figure = NonFiniteFigure(Summary))
        Fail(std::string(figure) + " of the simulated " + Name + " values");
      break;
  }
}

void TFigureCheck::Statistic(const char* Name, double Observed, std::span<const double> Sims,
                             const TSimStatistic& Summary) {
  const size_t i = static_cast<size_t>(Iteration_ > 0 ? Iteration_ - 1 : 0);
  const double simulated = Stage_ == TFigureStage::Simulated && i < Sims.size() ? Sims[i] : 0.0;
  Statistic(Name, Observed, simulated, Summary);
}
