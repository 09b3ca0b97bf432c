#include <gtest/gtest.h>

#include <cmath>

#include "base/error.h"
#include "params/param_convert.h"

namespace nova {
namespace {

TEST(Convert, IntegerText) {
  struct Case {
    const char* text;
    bool ok;
    int32_t value;
  } cases[] = {
      {"12", true, 12},          {" 12", true, 12},          {"\t5", true, 5},
      {"12 ", false, 0},         {"12a", false, 0},          {"", false, 0},
      {" ", false, 0},           {"-12", true, -12},         {"+12", true, 12},
      {"- 5", false, 0},         {"00012", true, 12},        {"1e3", false, 0},
      {"$1F", true, 31},         {"x1F", true, 31},          {"X1f", true, 31},
      {"0x1F", true, 31},        {"0X1F", true, 31},         {"  -0x10", true, -16},
      {"-$10", true, -16},       {"$", false, 0},            {"0x", false, 0},
      {"&17", false, 0},         {"%101", false, 0},         {"2147483647", true, 2147483647},
      {"2147483648", false, 0},  {"-2147483648", true, INT32_MIN}, {"-2147483649", false, 0},
      {"$FFFFFFFF", true, -1},   {"$80000000", true, INT32_MIN}, {"$100000000", false, 0},
      {"$000000001", true, 1},   {"99999999999999999999", false, 0},
  };
  for (const auto& c : cases) {
    int32_t v = 777;
    EXPECT_EQ(TryTextToInt(c.text, v), c.ok) << c.text;
    if (c.ok) {
      EXPECT_EQ(v, c.value) << c.text;
    }
    EXPECT_EQ(TextToInt(c.text), c.ok ? c.value : 0) << c.text;
  }
}

TEST(Convert, RealText) {
  struct Case {
    const char* text;
    bool ok;
    long double value;
  } cases[] = {
      {"1.5", true, 1.5L},     {" 1.5 ", true, 1.5L},   {"\t1\t", true, 1.0L},  {".5", true, 0.5L},
      {"5.", true, 5.0L},      {"-.5", true, -0.5L},    {"+3", true, 3.0L},     {"1e5", true, 1e5L},
      {"1E+5", true, 1e5L},    {"-1.5e3", true, -1500.0L}, {"1e-5000", true, 0.0L},
      {"1,5", false, 0},       {"", false, 0},          {" ", false, 0},        {"abc", false, 0},
      {"1e", false, 0},        {"1e+", false, 0},       {"e5", false, 0},       {".", false, 0},
      {"1.5x", false, 0},      {"$10", false, 0},       {"0x10", false, 0},     {"1 5", false, 0},
      {"--1", false, 0},       {"1.2.3", false, 0},     {"1e5000", false, 0},   {"INF", false, 0},
      {"NaN", false, 0},       {"1d5", false, 0},
  };
  for (const auto& c : cases) {
    long double v = 777;
    EXPECT_EQ(TryTextToReal(c.text, v), c.ok) << c.text;
    if (c.ok) {
      EXPECT_EQ(v, c.value) << c.text;
    }
  }
  // The decimal text is read exactly as the extended type holds it.
  EXPECT_EQ(TextToReal("0.1"), 0.1L);
  EXPECT_NE(TextToReal("0.1"), static_cast<long double>(0.1));
}

TEST(Convert, RealToTextGeneralFormat) {
  long double third = 1.0L / 3, big = 1e308L;
  struct Case {
    long double value;
    const char* text;
  } cases[] = {
      {0.1L + 0.2L, "0.3"},
      {third, "0.333333333333333"},
      {2 * third, "0.666666666666667"},
      {1.0L / 7, "0.142857142857143"},
      {1e15L, "1E15"},
      {-1e15L, "-1E15"},
      {1e14L, "100000000000000"},
      {999999999999999.0L, "999999999999999"},
      {999999999999999.5L, "1E15"},
      {9999999999999995.0L, "1E16"},
      {1000000000000005.0L, "1.00000000000001E15"},  // a tie rounds away from zero
      {1000000000000025.0L, "1.00000000000003E15"},
      {100000000000000.5L, "100000000000001"},
      {123456789012345678.0L, "1.23456789012346E17"},
      {123456789012345.6L, "123456789012346"},
      {1e-5L, "0.00001"},
      {1.5e-5L, "0.000015"},
      {9.9e-6L, "9.9E-6"},
      {1e-6L, "1E-6"},
      {-1.5e-7L, "-1.5E-7"},
      {0.0001L, "0.0001"},
      {1.23456789e-5L, "0.0000123456789"},
      {1.0L / 86400, "0.0000115740740740741"},
      {1.0L / 24, "0.0416666666666667"},
      {0.0L, "0"},
      {-0.0L, "0"},
      {3.5L, "3.5"},
      {-2.5L, "-2.5"},
      {100.0L, "100"},
      {1e100L, "1E100"},
      {1.23e-100L, "1.23E-100"},
      {big * 10, "1E309"},
      {1e4932L, "1E4932"},
      {std::acos(-1.0L), "3.14159265358979"},
      {std::acos(-1.0L) - 3.14159265358979L, "3.2385118892142E-15"},
      {INFINITY, "+Inf"},
      {-INFINITY, "-Inf"},
      {NAN, "Nan"},
  };
  for (const auto& c : cases) EXPECT_EQ(RealToText(c.value), c.text) << static_cast<double>(c.value);
}

TEST(Convert, ExtendedPrecisionArithmetic) {
  long double a = TextToReal("0.1"), b = TextToReal("0.2"), c = TextToReal("0.3");
  EXPECT_TRUE(a + b == c);  // true in 80-bit extended, false in double
  EXPECT_FALSE(0.1 + 0.2 == 0.3);
}

TEST(Convert, RealToIntTruncates) {
  EXPECT_EQ(RealToInt(2.9L), 2);
  EXPECT_EQ(RealToInt(-2.9L), -2);
  EXPECT_EQ(RealToInt(2147483647.9L), 2147483647);
  EXPECT_EQ(RealToInt(3000000000.0L), static_cast<int32_t>(3000000000u));  // low 32 bits
  EXPECT_THROW(RealToInt(1e20L), ENovaError);
  EXPECT_THROW(RealToInt(NAN), ENovaError);
}

TEST(Convert, FlagText) {
  EXPECT_TRUE(TextToFlag("TRUE"));
  EXPECT_FALSE(TextToFlag("true"));
  EXPECT_FALSE(TextToFlag(" TRUE"));
  EXPECT_FALSE(TextToFlag("1"));
  EXPECT_EQ(FlagToText(true), "TRUE");
  EXPECT_EQ(FlagToText(false), "FALSE");
}

}  // namespace
}  // namespace nova
