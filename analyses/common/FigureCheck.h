#pragma once
// Keeps a figure that is not a finite number out of a run's results. The run's road
// asks the analysis for its statistics three times: after the observed statistics,
// after every data set measured and after the summaries; the first figure that is not
// finite ends the run with a message that names it, before it could reach a tail
// count, a histogram or a summary. Plain C++.
#include <cstdint>
#include <span>
#include <string>

struct TSimStatistic;

enum class TFigureStage { Observed, Simulated, Summary };

class TFigureCheck {
 public:
  // Iteration: the data set just measured (from 1), in the Simulated stage.
  explicit TFigureCheck(TFigureStage Stage, int32_t Iteration = 0) : Stage_(Stage), Iteration_(Iteration) {}
  TFigureStage Stage() const { return Stage_; }
  int32_t Iteration() const { return Iteration_; }

  // One statistic, named as a message names it ("slope"): its observed value, its value
  // in the data set just measured, and its summary. Only the figures of the stage are
  // looked at.
  void Statistic(const char* Name, double Observed, double Simulated, const TSimStatistic& Summary);
  // The same with the value of data set I kept at Sims[I - 1] (none beyond the array).
  void Statistic(const char* Name, double Observed, std::span<const double> Sims, const TSimStatistic& Summary);
  // A figure of one stage alone.
  void Figure(TFigureStage Stage, const char* Name, double Value);

  bool Failed() const { return !Message_.empty(); }
  // The message of the first figure found not finite.
  const std::string& Message() const { return Message_; }

 private:
  void Fail(const std::string& What);
  TFigureStage Stage_;
  int32_t Iteration_;
  std::string Message_;
};
