// Expected number texts were worked out from the exact binary value of each double with
// Python's decimal module (Decimal(x) is exact; ROUND_HALF_UP on the magnitude), run once.
#include <gtest/gtest.h>

#include <clocale>
#include <cstdio>
#include <cmath>
#include <limits>

#include "core/PelmorText.h"
#include "tests/core/CommaLocale.h"

TEST(IntTextRule, ReadsLeadingNumberAndStopsAtStrayCharacter) {
  EXPECT_EQ(StrToIntRule("1000 "), 1000);  // iteration box with its mask blank
  EXPECT_EQ(StrToIntRule("-5 "), 5);       // minus applied only when all was read
  EXPECT_EQ(StrToIntRule("-5"), -5);
  EXPECT_EQ(StrToIntRule("+17"), 17);
  EXPECT_EQ(StrToIntRule("   42"), 42);
  EXPECT_EQ(StrToIntRule("\t42"), 0);  // only spaces are skipped
  EXPECT_EQ(StrToIntRule("12abc"), 12);
  EXPECT_EQ(StrToIntRule("007"), 7);
  size_t Stop = 99;
  EXPECT_EQ(IntTextRule("  12.5", &Stop), 12);
  EXPECT_EQ(Stop, 4u);
  EXPECT_EQ(IntTextRule("345", &Stop), 345);
  EXPECT_EQ(Stop, 3u);
}

TEST(IntTextRule, EmptyBlankAndLonePrefixesGiveZero) {
  EXPECT_EQ(StrToIntRule(""), 0);
  EXPECT_EQ(StrToIntRule("    "), 0);
  EXPECT_EQ(StrToIntRule("-"), 0);
  EXPECT_EQ(StrToIntRule("+"), 0);
  EXPECT_EQ(StrToIntRule("$"), 0);
  EXPECT_EQ(StrToIntRule("0x"), 0);
  EXPECT_EQ(StrToIntRule("X"), 0);
  EXPECT_EQ(StrToIntRule("abc"), 0);
  EXPECT_EQ(StrToIntRule("- 5"), 0);
}

TEST(IntTextRule, HexadecimalPrefixes) {
  EXPECT_EQ(StrToIntRule("$FF"), 255);
  EXPECT_EQ(StrToIntRule("0x1a"), 26);
  EXPECT_EQ(StrToIntRule("0X1A"), 26);
  EXPECT_EQ(StrToIntRule("x10"), 16);
  EXPECT_EQ(StrToIntRule("-$10"), -16);
  EXPECT_EQ(StrToIntRule("$7FFFFFFF"), 2147483647);
  EXPECT_EQ(StrToIntRule("$1G"), 1);
  // Above 2147483647: out of range, not positive.
  EXPECT_EQ(StrToIntRule("$80000000"), 0);
  EXPECT_EQ(StrToIntRule("$FFFFFFFF"), 0);
  EXPECT_EQ(StrToIntRule("$123456789"), 0);
}

TEST(IntTextRule, LargeNumbersNeverOverflowAndAreNotPositive) {
  EXPECT_EQ(StrToIntRule("2147483647"), 2147483647);
  EXPECT_EQ(StrToIntRule("-2147483647"), -2147483647);
  EXPECT_EQ(StrToIntRule("-2147483648"), std::numeric_limits<int32_t>::min());
  EXPECT_EQ(StrToIntRule("2147483648"), 0);
  EXPECT_EQ(StrToIntRule("2147483649"), 0);
  EXPECT_EQ(StrToIntRule("2147483650"), 0);
  EXPECT_EQ(StrToIntRule("99999999999999999999"), 0);
  EXPECT_EQ(StrToIntRule("-99999999999"), 0);
  EXPECT_EQ(StrToIntRule("0000000000000000000012"), 12);  // leading zeros are harmless
  size_t Stop = 0;
  IntTextRule("99999999999", &Stop);
  EXPECT_EQ(Stop, 9u);  // reading stopped before the digit that would pass the limit
}

TEST(FloatToStrF, RoundsOnceWithExactTiesAwayFromZero) {
  EXPECT_EQ(FloatToStrF(0.5), "0.50000");
  EXPECT_EQ(FloatToStrF(1234.56789), "1234.56800");  // 7 significant digits first
  EXPECT_EQ(FloatToStrF(0.015625), "0.01563");        // 1/64: an exact tie
  EXPECT_EQ(FloatToStrF(-0.015625), "-0.01563");
  EXPECT_EQ(FloatToStrF(0.046875), "0.04688");
  EXPECT_EQ(FloatToStrF(1234567.5), "1234568.00000");
  EXPECT_EQ(FloatToStrF(1234566.5), "1234567.00000");  // not to the even neighbour
  EXPECT_EQ(FloatToStrF(7654321.25), "7654321.00000");
  // Decimal texts that look like ties but are not, as binary values.
  EXPECT_EQ(FloatToStrF(0.000005), "0.00001");
  EXPECT_EQ(FloatToStrF(99.999995), "99.99999");
  EXPECT_EQ(FloatToStrF(1.0000005), "1.00000");
  EXPECT_EQ(FloatToStrF(0.000015), "0.00002");
  EXPECT_EQ(FloatToStrF(999.99995), "1000.00000");  // carry into a fourth digit
  EXPECT_EQ(FloatToStrF(0.1), "0.10000");
  EXPECT_EQ(FloatToStrF(100.0), "100.00000");
}

TEST(FloatToStrF, SignsZerosAndSpecialValues) {
  EXPECT_EQ(FloatToStrF(0.0), "0.00000");
  EXPECT_EQ(FloatToStrF(-0.0), "0.00000");
  EXPECT_EQ(FloatToStrF(-0.000001), "0.00000");
  EXPECT_EQ(FloatToStrF(-0.000004), "0.00000");
  EXPECT_EQ(FloatToStrF(-0.000005), "-0.00001");
  EXPECT_EQ(FloatToStrF(1e-300), "0.00000");
  EXPECT_EQ(FloatToStrF(-1234.5678), "-1234.56800");
  EXPECT_EQ(FloatToStrF(std::numeric_limits<double>::quiet_NaN()), "NAN");
  EXPECT_EQ(FloatToStrF(std::numeric_limits<double>::infinity()), "INF");
  EXPECT_EQ(FloatToStrF(-std::numeric_limits<double>::infinity()), "-INF");
}

TEST(FloatToStrF, ScientificAboveSevenIntegerDigits) {
  EXPECT_EQ(FloatToStrF(9999999.4), "9999999.00000");
  EXPECT_EQ(FloatToStrF(9999999.6), "1E7");  // the carry makes eight digits
  EXPECT_EQ(FloatToStrF(1e7), "1E7");
  EXPECT_EQ(FloatToStrF(123456789.0), "1.234568E8");
  EXPECT_EQ(FloatToStrF(-2.5e12), "-2.5E12");
  EXPECT_EQ(FloatToStrF(12345665.0), "1.234567E7");  // exact tie, away from zero
  EXPECT_EQ(FloatToStrF(99999995.0), "1E8");
  EXPECT_EQ(FloatToStrF(1.7976931348623157e308), "1.797693E308");
}

TEST(FloatToStrF, SevenDecimals) {
  EXPECT_EQ(FloatToStrF(0.1234567, 7), "0.1234567");
  EXPECT_EQ(FloatToStrF(12.3456789, 7), "12.3456800");
  EXPECT_EQ(FloatToStrF(0.12345675, 7), "0.1234568");
}

TEST(NumberTexts, ADecimalCommaLocaleChangesNothing) {
  const TCommaLocale comma;
  ASSERT_TRUE(comma.Active) << comma.Error;
  // The locale is really in force for the C library.
  char buf[16];
  std::snprintf(buf, sizeof buf, "%.1f", 2.5);
  ASSERT_STREQ(buf, "2,5");
  EXPECT_EQ(FloatToStrF(2.25), "2.25000");
  EXPECT_EQ(FloatToStrF(-1234.5678), "-1234.56800");  // seven significant digits
  EXPECT_EQ(FloatToStrF(0.1234567, 7), "0.1234567");
  EXPECT_EQ(FloatToStrF(123456789.0), "1.234568E8");
  EXPECT_EQ(FloatToStrG(1.5), "1.5");
  EXPECT_EQ(IntToStr(1234567), "1234567");
  double V = 0;
  EXPECT_TRUE(TextToFloat("2.25000", V));
  EXPECT_EQ(V, 2.25);
  EXPECT_TRUE(TextToFloat("-1.5E3", V));
  EXPECT_EQ(V, -1500.0);
  EXPECT_FALSE(TextToFloat("1,5", V));  // a comma is no decimal mark in a file
  EXPECT_EQ(V, -1500.0);
  EXPECT_EQ(StrToIntRule("1.000"), 1);
}

TEST(TextToFloat, ReadsWhatFloatToStrFWrites) {
  for (double X : {0.0, -1.5, 1234.56789, 0.015625, 123456789.0, -2.5e12}) {
    double V = 99;
    ASSERT_TRUE(TextToFloat(FloatToStrF(X), V)) << X;
    EXPECT_NEAR(V, X, std::fabs(X) * 1e-6 + 1e-5);
  }
  double V = 7;
  EXPECT_TRUE(TextToFloat("  3.5 \r\n", V));
  EXPECT_EQ(V, 3.5);
  EXPECT_TRUE(TextToFloat("+2", V));
  EXPECT_EQ(V, 2.0);
  // Infinities and not-a-number are no figures: refused, the value left alone.
  for (const char* text : {"inf", "-INF", "nan", "infinity", "1e999"}) {
    EXPECT_FALSE(TextToFloat(text, V)) << text;
    EXPECT_EQ(V, 2.0) << text;
  }
  V = 7;
  EXPECT_FALSE(TextToFloat("", V));
  EXPECT_FALSE(TextToFloat("abc", V));
  EXPECT_FALSE(TextToFloat("1.5x", V));
  EXPECT_FALSE(TextToFloat("+-2", V));
  EXPECT_FALSE(TextToFloat("1,5", V));
  EXPECT_EQ(V, 7.0);
}

TEST(FloatToStrG, ShortestFormUpToFifteenDigits) {
  EXPECT_EQ(FloatToStrG(0.0), "0");
  EXPECT_EQ(FloatToStrG(1.5), "1.5");
  EXPECT_EQ(FloatToStrG(-2.25), "-2.25");
  EXPECT_EQ(FloatToStrG(0.1), "0.1");
  EXPECT_EQ(FloatToStrG(1.0 / 3.0), "0.333333333333333");
  EXPECT_EQ(FloatToStrG(123456789012345.0), "123456789012345");
  EXPECT_EQ(FloatToStrG(1e15), "1E15");
  EXPECT_EQ(FloatToStrG(0.00001), "0.00001");
  EXPECT_EQ(FloatToStrG(1.5e-7), "1.5E-7");
  EXPECT_EQ(FloatToStrG(2e20), "2E20");
}

// Found by fuzzing: fifteen digits of the largest doubles rounded up past the largest
// double ("1.79769313486232E308"), a text that reads back as no number.
TEST(FloatToStrG, LargestDoublesReadBack) {
  const double largest = std::numeric_limits<double>::max();
  for (double v : {largest, -largest, std::nextafter(largest, 0.0), 1.79769313486231e308}) {
    double back = 0;
    ASSERT_TRUE(TextToFloat(FloatToStrG(v), back)) << FloatToStrG(v);
    EXPECT_LE(std::fabs(back - v), std::fabs(v) * 1e-14);
  }
  EXPECT_EQ(FloatToStrG(1.7976931348623e308), "1.7976931348623E308");  // below the cut: as before
}

TEST(StrictIntText, WholeIntegersOnly) {
  EXPECT_EQ(StrictIntText("  12"), 12);
  EXPECT_EQ(StrictIntText("-2147483648"), INT32_MIN);
  EXPECT_EQ(StrictIntText("2147483647"), INT32_MAX);
  EXPECT_EQ(StrictIntText("$7FFFFFFF"), INT32_MAX);
  EXPECT_EQ(StrictIntText("0x1f"), 31);
  EXPECT_EQ(StrictIntText("x1F"), 31);
  for (const char* no : {"", "  ", "-", "$", "0x", "12 ", "1.5", "2147483648", "$80000000", "-2147483649", "1e3"})
    EXPECT_FALSE(StrictIntText(no).has_value()) << no;
}
