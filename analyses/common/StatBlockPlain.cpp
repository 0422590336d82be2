#include "analyses/common/StatBlock.h"

#include <algorithm>
#include <cmath>

#include "core/PelmorText.h"
#include "core/TextLines.h"

TSimStatistic SummarizeSimulation(double Observed, std::span<const double> Sims, int32_t Count, int32_t TailCount) {
  TSimStatistic s;
  s.Observed = Observed;
  const int32_t size = static_cast<int32_t>(std::min<size_t>(Sims.size(), INT32_MAX));
  s.Count = (Count < 0 || Count > size) ? size : Count;
  const int32_t tails = (TailCount < 0 || TailCount > size) ? s.Count : TailCount;
  if (s.Count <= 0) return s;  // nothing simulated: no division, no histogram
  s.MeanVar = MeanVar(s.Count, Sims);
  s.Tails = TailProbs(Sims, tails, Observed);
  s.SES = s.MeanVar.Variance > 0.0 ? (Observed - s.MeanVar.Mean) / std::sqrt(s.MeanVar.Variance) : 0.0;
  s.Sorted.assign(Sims.begin(), Sims.begin() + s.Count);
  QuickSortReals(s.Sorted, 0, s.Count - 1);
  s.Marker = HistogramOfValues(s.Count - 1, s.Sorted, Observed);
  s.EdgesFinite = std::all_of(HistEdges.begin(), HistEdges.end(), [](double E) { return std::isfinite(E); });
  s.Histogram = HistogramToText();
  s.Columns = HistogramToColumns();
  return s;
}

TStatTexts StatTexts(const TSimStatistic& S, const std::string& Arrow) {
  TStatTexts t;
  t.Observed = FloatToStrF(S.Observed);
  t.Mean = FloatToStrF(S.MeanVar.Mean);
  t.Variance = FloatToStrF(S.MeanVar.Variance);
  t.PLow = FloatToStrF(S.Tails.PLow);
  t.PHigh = FloatToStrF(S.Tails.PHigh);
  t.SES = FloatToStrF(S.SES);
  t.Less = IntToStr(S.Tails.ObsLess);
  t.Equal = IntToStr(S.Tails.ObsEqual);
  t.Greater = IntToStr(S.Tails.ObsGreater);
  t.MarkerText = S.Marker + t.Observed + Arrow;
  return t;
}

std::vector<std::string> HistogramSummaryLines(const TSimStatistic& S, int LineCount) {
  const std::vector<std::string> ranges = SplitLines(S.Histogram.Ranges);
  const std::vector<std::string> counts = SplitLines(S.Histogram.Counts);
  std::vector<std::string> out;
  for (int k = 0; k < LineCount; ++k) {
    const size_t i = static_cast<size_t>(k);
    out.push_back((i < ranges.size() ? ranges[i] : std::string()) + "  " +
                  (i < counts.size() ? counts[i] : std::string()));
  }
  return out;
}

const char* NonFiniteFigure(const TSimStatistic& S) {
  if (!std::isfinite(S.MeanVar.Mean)) return "mean";
  if (!std::isfinite(S.MeanVar.Variance)) return "variance";
  if (!std::isfinite(S.SES)) return "standardized effect size";
  if (!S.EdgesFinite) return "histogram";
  return nullptr;
}
