// Fuzz target of the number texts: the integer text rule, the whole-cell integer
// reader of the grid checks, the real number reader and the number writers.
// What must always hold:
// - the integer rule never reads past the text, and reading only what it read gives
//   the same value; a text that is a whole integer reads the same by both readers;
// - every 32-bit integer written as text reads back as itself;
// - a real accepted by the reader is finite and the C library reads the same value;
// - the fixed and general number texts of any double read back close to it (within
//   the rounding of 7 significant digits or 5 decimals, 15 digits for the general one).
#include <clocale>
#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "core/PelmorText.h"
#include "fuzz/FuzzReference.h"

namespace {
void CheckFormatted(double V) {
  for (int digits : {5, 7}) {
    const std::string f = FloatToStrF(V, digits);
    if (!std::isfinite(V)) {
      FUZZ_CHECK(f == "NAN" || f == "INF" || f == "-INF", "non-finite texts");
      continue;
    }
    double back = 0;
    FUZZ_CHECK(TextToFloat(f, back), "a written figure reads back");
    // Half a unit of the last digit written, plus the binary error of the decimal texts.
    const double tol = std::max(0.5 * std::pow(10.0, -digits), std::fabs(V) * 5e-7) * (1 + 1e-9) + std::fabs(V) * 1e-15;
    FUZZ_CHECK(std::fabs(back - V) <= tol, "fixed text close to the value");
    FUZZ_CHECK(f[0] != '-' || f.find_first_of("123456789") != std::string::npos, "no negative zero");
  }
  if (std::isfinite(V)) {
    double back = 0;
    const std::string g = FloatToStrG(V);
    FUZZ_CHECK(TextToFloat(g, back), "general text reads back");
    FUZZ_CHECK(std::fabs(back - V) <= std::fabs(V) * 1e-14, "general text close to the value");
  }
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
  std::setlocale(LC_NUMERIC, "C");
  const std::string text(reinterpret_cast<const char*>(Data), Size);

  size_t stop = 0;
  const int32_t lenient = IntTextRule(text, &stop);
  FUZZ_CHECK(stop <= text.size(), "stop inside the text");
  const bool negative = text.find_first_not_of(' ') != std::string::npos && text[text.find_first_not_of(' ')] == '-';
  // Where reading stopped at a character that is no digit, the text up to there
  // gives the same value (a minus sign counts only when the whole text was read).
  const bool cut = stop < text.size() && std::isxdigit(static_cast<unsigned char>(text[stop]));
  if (!negative && !cut) FUZZ_CHECK(IntTextRule(text.substr(0, stop)) == lenient, "only the read part counts");
  if (const auto strict = StrictIntText(text)) FUZZ_CHECK(*strict == lenient, "a whole integer reads the same leniently");

  if (Size >= 4) {
    int32_t v;
    std::memcpy(&v, Data, 4);
    FUZZ_CHECK(IntTextRule(IntToStr(v)) == v, "integer text round trip");
    FUZZ_CHECK(StrictIntText(IntToStr(v)) == v, "strict integer text round trip");
  }

  double value = 0;
  if (TextToFloat(text, value)) {
    FUZZ_CHECK(std::isfinite(value), "finite");
    if (text.find('\0') == std::string::npos) {
      char* end = nullptr;
      const double c = std::strtod(text.c_str(), &end);
      while (*end == ' ' || *end == '\t' || *end == '\r' || *end == '\n') ++end;
      FUZZ_CHECK(*end == '\0' && c == value, "the same value as the C library");
    }
    CheckFormatted(value);
  }
  if (Size >= 8) {
    double d;
    std::memcpy(&d, Data, 8);
    CheckFormatted(d);
  }
  return 0;
}
