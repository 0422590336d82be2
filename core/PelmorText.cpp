#include "core/PelmorText.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

namespace {

int HexDigitValue(char C) {
  if (C >= '0' && C <= '9') return C - '0';
  if (C >= 'A' && C <= 'F') return C - 'A' + 10;
  if (C >= 'a' && C <= 'f') return C - 'a' + 10;
  return -1;
}

// True when |Value| lies exactly halfway between two multiples of 10^-Decimals
// (Decimals >= 0). Value * 2 * 10^Decimals must then be an odd integer; writing
// |Value| = M * 2^S with M odd, that product is M * 5^Decimals * 2^(S + 1 + Decimals),
// which is an odd integer exactly when S = -(Decimals + 1).
bool IsExactTie(double Value, int Decimals) {
  if (Value == 0.0 || !std::isfinite(Value)) return false;
  int Exp = 0;
  const double Frac = std::frexp(std::fabs(Value), &Exp);  // |Value| = Frac * 2^Exp
  uint64_t Mantissa = static_cast<uint64_t>(std::ldexp(Frac, 53));
  int S = Exp - 53;
  while ((Mantissa & 1u) == 0) {
    Mantissa >>= 1;
    ++S;
  }
  return S == -(Decimals + 1);
}

// Number of digits before the decimal point of A >= 0 (0 for A < 1), counted up to 8.
int IntegerDigits(double A) {
  int Digits = 0;
  double Power = 1.0;
  while (Digits < 8 && A >= Power) {
    ++Digits;
    Power *= 10.0;  // powers of ten up to 1e8 are exact
  }
  return Digits;
}

// Scientific form for values with more than 7 integer digits: 7 significant digits,
// rounded half away from zero on the exact value, trailing zeros dropped.
std::string ScientificF(double Value) {
  // The exact decimal expansion: no double has more than 767 significant digits.
  char Buf[900];
  const auto Res = std::to_chars(Buf, Buf + sizeof Buf, std::fabs(Value), std::chars_format::scientific, 800);
  std::string_view Text(Buf, static_cast<size_t>(Res.ptr - Buf));
  const size_t EPos = Text.find('e');
  std::string Digits;
  for (char C : Text.substr(0, EPos))
    if (C != '.') Digits += C;
  int Exponent = 0;
  std::from_chars(Text.data() + EPos + 1 + (Text[EPos + 1] == '+' ? 1 : 0), Text.data() + Text.size(), Exponent);

  std::string Kept = Digits.substr(0, 7);
  if (Digits.size() > 7 && Digits[7] >= '5') {  // exact expansion: a 5 here is a tie or above
    int I = 6;
    while (I >= 0 && Kept[static_cast<size_t>(I)] == '9') Kept[static_cast<size_t>(I--)] = '0';
    if (I < 0) {
      Kept.insert(Kept.begin(), '1');
      Kept.pop_back();
      ++Exponent;
    } else {
      ++Kept[static_cast<size_t>(I)];
    }
  }
  while (Kept.size() > 1 && Kept.back() == '0') Kept.pop_back();

  std::string Out = std::signbit(Value) ? "-" : "";
  Out += Kept[0];
  if (Kept.size() > 1) {
    Out += '.';
    Out.append(Kept, 1, std::string::npos);
  }
  Out += 'E';
  Out += std::to_string(Exponent);
  return Out;
}

}  // namespace

int32_t IntTextRule(std::string_view Text, size_t* StopPos) {
  const size_t Len = Text.size();
  size_t I = 0;
  while (I < Len && Text[I] == ' ') ++I;
  bool Negative = false;
  if (I < Len && (Text[I] == '-' || Text[I] == '+')) {
    Negative = Text[I] == '-';
    ++I;
  }
  uint64_t Value = 0;  // never above 2^32 - 1 under the stop rules below
  bool Hex = false;
  if (I < Len && (Text[I] == '$' || Text[I] == 'x' || Text[I] == 'X')) {
    Hex = true;
    ++I;
  } else if (I + 1 < Len && Text[I] == '0' && (Text[I + 1] == 'x' || Text[I + 1] == 'X')) {
    Hex = true;
    I += 2;
  }
  bool CutShort = false;
  if (Hex) {
    while (I < Len) {
      const int D = HexDigitValue(Text[I]);
      if (D < 0) break;
      if (Value > 0xFFFFFFFu) {
        CutShort = true;
        break;
      }
      Value = Value * 16u + static_cast<uint64_t>(D);
      ++I;
    }
  } else {
    while (I < Len && Text[I] >= '0' && Text[I] <= '9') {
      if (Value > 214748364u) {
        CutShort = true;
        break;
      }
      Value = Value * 10u + static_cast<uint64_t>(Text[I] - '0');
      ++I;
    }
  }
  if (StopPos) *StopPos = I;
  const bool Consumed = I == Len;
  if (Negative && Consumed) {
    if (CutShort || Value > 2147483648u) return 0;
    return static_cast<int32_t>(-static_cast<int64_t>(Value));
  }
  if (CutShort || Value > 2147483647u) return 0;
  return static_cast<int32_t>(Value);
}

std::optional<int32_t> StrictIntText(std::string_view s) {
  size_t i = 0;
  while (i < s.size() && s[i] == ' ') ++i;
  bool negative = false;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';
  int base = 10;
  if (i < s.size() && s[i] == '$') {
    base = 16;
    ++i;
  } else if (i + 1 < s.size() && s[i] == '0' && (s[i + 1] == 'x' || s[i + 1] == 'X')) {
    base = 16;
    i += 2;
  } else if (i < s.size() && (s[i] == 'x' || s[i] == 'X')) {
    base = 16;
    ++i;
  }
  if (i >= s.size()) return std::nullopt;
  int64_t v = 0;
  for (; i < s.size(); ++i) {
    const char ch = s[i];
    int d;
    if (ch >= '0' && ch <= '9') d = ch - '0';
    else if (base == 16 && ch >= 'a' && ch <= 'f') d = ch - 'a' + 10;
    else if (base == 16 && ch >= 'A' && ch <= 'F') d = ch - 'A' + 10;
    else return std::nullopt;
    v = v * base + d;
    if (v > 2147483648LL) return std::nullopt;
  }
  if (negative) v = -v;
  if (v > 2147483647LL) return std::nullopt;
  return static_cast<int32_t>(v);
}

std::string IntToStr(int64_t Value) { return std::to_string(Value); }

std::string FloatToStrF(double Value, int Digits) {
  if (std::isnan(Value)) return "NAN";
  if (std::isinf(Value)) return Value < 0 ? "-INF" : "INF";
  if (Digits < 0) Digits = 0;
  if (Digits > 18) Digits = 18;

  const int IntDigits = IntegerDigits(std::fabs(Value));
  if (IntDigits > 7) return ScientificF(Value);
  const int Decimals = std::min(Digits, 7 - IntDigits);  // whichever position comes first

  double Rounded = Value;
  if (IsExactTie(Value, Decimals))  // step off the tie, away from zero
    Rounded = std::nextafter(Value, Value < 0 ? -std::numeric_limits<double>::infinity()
                                              : std::numeric_limits<double>::infinity());
  char Buf[64];
  const auto Res = std::to_chars(Buf, Buf + sizeof Buf, Rounded, std::chars_format::fixed, Decimals);
  std::string Out(Buf, static_cast<size_t>(Res.ptr - Buf));

  // A carry may have added an eighth integer digit (9999999.6 -> 10000000).
  const size_t Point = Out.find('.');
  const size_t IntLen = (Point == std::string::npos ? Out.size() : Point) - (Out[0] == '-' ? 1 : 0);
  if (IntLen > 7) return ScientificF(Value);

  if (Digits > 0) {
    if (Point == std::string::npos) Out += '.';
    Out.append(static_cast<size_t>(Digits - Decimals), '0');
  }
  if (Out[0] == '-' && Out.find_first_of("123456789") == std::string::npos) Out.erase(0, 1);
  return Out;
}

bool TextToFloat(std::string_view Text, double& Value) {
  size_t B = 0, E = Text.size();
  while (B < E && (Text[B] == ' ' || Text[B] == '\t')) ++B;
  while (E > B && (Text[E - 1] == ' ' || Text[E - 1] == '\t' || Text[E - 1] == '\r' || Text[E - 1] == '\n')) --E;
  if (B + 1 < E && Text[B] == '+' && Text[B + 1] != '-') ++B;
  if (B == E) return false;
  double Parsed = 0.0;
  const auto Res = std::from_chars(Text.data() + B, Text.data() + E, Parsed, std::chars_format::general);
  if (Res.ec != std::errc() || Res.ptr != Text.data() + E) return false;
  // "inf" and "nan" are no figures a data cell or a weight can hold.
  if (!std::isfinite(Parsed)) return false;
  Value = Parsed;
  return true;
}

// The general real format: at most 15 significant digits, trailing zeros dropped,
// fixed notation for magnitudes from 0.00001 up to 15 integer digits, otherwise
// mantissa, "E" and the exponent ("1.5E-7", "2E20"). Always "." as decimal mark.
std::string FloatToStrG(double V) {
  if (std::isnan(V)) return "NAN";
  if (std::isinf(V)) return V < 0 ? "-INF" : "INF";
  if (V == 0) return "0";
  // Fifteen digits of the very largest doubles round up past the largest double, and
  // such a text would read back as no number at all: those are cut down instead.
  constexpr double Largest15 = 1.79769313486231e308;
  if (std::fabs(V) > Largest15) return V < 0 ? "-1.79769313486231E308" : "1.79769313486231E308";
  char buf[40];
  // d.dddddddddddddde[+-]xx: 15 significant digits, correctly rounded.
  const auto r = std::to_chars(buf, buf + sizeof buf, V, std::chars_format::scientific, 14);
  std::string sci(buf, r.ptr);
  const bool negative = sci[0] == '-';
  if (negative) sci.erase(0, 1);
  const size_t e = sci.find('e');
  int exponent = 0;
  std::from_chars(sci.data() + e + (sci[e + 1] == '+' ? 2 : 1), sci.data() + sci.size(), exponent);
  std::string digits = sci.substr(0, 1) + sci.substr(2, e - 2);
  while (digits.size() > 1 && digits.back() == '0') digits.pop_back();
  std::string out;
  if (exponent >= -5 && exponent < 15) {
    if (exponent < 0) {
      out.assign("0.");
      out.append(static_cast<size_t>(-exponent - 1), '0');
      out += digits;
    } else if (static_cast<int>(digits.size()) <= exponent + 1) {
      out = digits;
      out.append(static_cast<size_t>(exponent + 1) - digits.size(), '0');
    } else {
      out = digits;
      out.insert(static_cast<size_t>(exponent + 1), 1, '.');
    }
  } else {
    out = digits;
    if (out.size() > 1) out.insert(1, 1, '.');
    out += "E";
    out += std::to_string(exponent);
  }
  if (negative) out.insert(out.begin(), '-');
  return out;
}
