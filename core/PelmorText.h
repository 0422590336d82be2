#pragma once
// Number texts shared by the whole program: the one reading rule for integers typed
// into a box or a grid cell, and the one writing rule for figures (fixed notation,
// precision 7, 5 decimals). Every caller goes through these so that a number reads and
// prints the same everywhere. Plain C++, independent of the C locale.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// The integer text rule.
// Leading blanks (spaces only) are skipped, then one optional "-" or "+". Decimal digits
// are accumulated; "$", "x", "X", "0x" or "0X" start a hexadecimal number instead
// (digits 0-9, A-F, a-f). Reading stops at the first character that does not belong to
// the number and the value read so far is the result; a minus sign is applied only when
// the whole text was consumed ("-5 " gives 5). Empty text, blanks, a lone sign and a
// lone hexadecimal prefix give 0.
// Reading also stops when a decimal value above 214748364 would take a further digit
// (a hexadecimal one above FFFFFFF). A number whose magnitude is above 2147483647 (the
// text "2147483648", or one cut short by that stop) is out of range and gives 0, so that
// it counts as "not positive" (a seed from the clock, an iteration count that is
// refused); only "-2147483648" itself reads as the smallest 32-bit integer.
// Never overflows. *StopPos, when given, receives the index of the first character not
// read (the text's length when everything was read).
int32_t IntTextRule(std::string_view Text, size_t* StopPos = nullptr);

// The same rule, value only.
inline int32_t StrToIntRule(std::string_view Text) { return IntTextRule(Text, nullptr); }

// A whole text read as a 32-bit integer (a grid cell that must hold one): leading
// blanks, an optional sign, then decimal digits or a hexadecimal number ("$", "0x",
// "x"), and nothing after it. Anything else (empty, a word, a fraction, a lone prefix,
// a value outside the 32-bit range) is no integer.
std::optional<int32_t> StrictIntText(std::string_view Text);

// Decimal text of an integer ("-12").
std::string IntToStr(int64_t Value);

// The number text F: fixed notation at a precision of 7 significant digits with Digits
// decimals (5 everywhere but in two places that ask for 7).
// The value is rounded once, at whichever comes first of the 7th significant digit and
// the Digits-th decimal, exact ties (judged on the exact binary value) going away from
// zero; the result is padded with zeros to Digits decimals:
//   1234.56789 -> "1234.56800", 0.015625 -> "0.01563", -0.000001 -> "0.00000",
//   0.5 -> "0.50000", 1234567.4 -> "1234567.00000".
// "-0.00000" is never written. The decimal mark is always ".".
// A value that has more than 7 digits before the decimal point once rounded is written in
// scientific form instead: its 7 significant digits with trailing zeros (and a bare
// point) dropped, "E" and the decimal exponent without "+" or leading zeros:
//   123456789 -> "1.234568E8", 10000000 -> "1E7", -2.5e12 -> "-2.5E12".
// Not-a-number prints "NAN", infinities "INF" and "-INF".
std::string FloatToStrF(double Value, int Digits = 5);

// Reads a real number written with "." (optionally signed, with an exponent, blanks
// around it allowed), such as the texts FloatToStrF writes. Returns false and leaves
// Value unchanged when the text holds no such number.
bool TextToFloat(std::string_view Text, double& Value);

// The general real format: at most 15 significant digits, trailing zeros dropped,
// fixed notation for magnitudes from 0.00001 up to 15 integer digits, otherwise
// mantissa, "E" and the exponent ("1.5E-7", "2E20"). Always "." as decimal mark.
std::string FloatToStrG(double V);
