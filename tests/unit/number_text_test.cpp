#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "meter/number_text.h"

namespace vexmora {
namespace {

TEST(RoundToDecimals, HalfUpOnTheMagnitude) {
    const struct {
        double x;
        int decimals;
        double expected;
    } cases[] = {
        {0.0, 1, 0.0},       {0.04, 1, 0.0},     {0.05, 1, 0.1},      {0.25, 1, 0.3},
        {0.15, 1, 0.2},      // 0.15 is a hair below in binary; the allowance lifts it
        {12.33984375, 1, 12.3}, {12.35, 1, 12.4}, {-0.05, 1, -0.1},   {-12.34, 1, -12.3},
        {1.005, 2, 1.01},    {2.5, 0, 3.0},      {1023.99, 1, 1024.0}, {0.0499999, 1, 0.0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(roundToDecimals(c.x, c.decimals), c.expected) << c.x << " to " << c.decimals;
    EXPECT_TRUE(std::signbit(roundToDecimals(-0.0, 1)));  // zero is returned as it came
}

TEST(DoubleToText, GeneralFormatWithThirteenDigits) {
    const std::pair<double, const char*> cases[] = {
        {0.0, "0"},
        {1024.0, "1024"},
        {12.3, "12.3"},
        {-1.5, "-1.5"},
        {0.1, "0.1"},
        {1500.0 / 1024, "1.46484375"},
        {1234567890123.4, "1234567890123"},
        {1e13, "1e+13"},
        {0.0001, "0.0001"},
        {0.00001, "1e-05"},
        {2.0 / 3, "0.6666666666667"},
    };
    for (const auto& [x, text] : cases) EXPECT_EQ(doubleToText(x), text);
}

TEST(DoubleToText, SameAsPrintfInTheCLocale) {
    std::vector<double> values;
    for (int i = -2000; i <= 200000; ++i) values.push_back(i / 10.0);  // every rounded rate and amount
    std::uint64_t seed = 0x9E3779B97F4A7C15u;
    for (int k = 0; k < 20000; ++k) {
        seed = seed * 6364136223846793005u + 1442695040888963407u;
        const double mantissa = static_cast<double>(seed >> 11) / 9007199254740992.0;  // [0, 1)
        const int exponent = static_cast<int>((seed >> 3) % 40) - 20;
        values.push_back((k % 2 ? -1 : 1) * mantissa * std::pow(10.0, exponent));
    }
    for (double x : {0.1, -0.1, 99999999999.9, 123456789012.3, 999999999999.9, 1e12, 1e12 + 0.1, 4503599627370495.5,
                     0.00009999999999999999, 0.0001, 9999999999999.4, 9999999999999.5, 1e13, -0.0, 5e-324,
                     1.7976931348623157e308})
        values.push_back(x);
    char expected[64];
    int mismatches = 0;
    for (double x : values) {
        std::snprintf(expected, sizeof expected, "%.13g", x);
        if (doubleToText(x) != expected && ++mismatches <= 5) ADD_FAILURE() << expected << " vs " << doubleToText(x);
    }
    EXPECT_EQ(mismatches, 0);
}

TEST(DoubleToText, DecimalPointIsADotInAnyLocale) {
    const char* chosen = nullptr;
    for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8", "de_DE", "German_Germany.1252"})
        if (std::setlocale(LC_NUMERIC, name) != nullptr) {
            chosen = name;
            break;
        }
    if (chosen == nullptr) GTEST_SKIP() << "no locale with a decimal comma installed";
    const std::string point = std::localeconv()->decimal_point;
    const Text half = doubleToText(0.5);
    const Text quarter = doubleToText(0.25);  // no whole tenth: the printf path
    const Text rate = formatRateText(12.33984375);
    const Text amount = formatAmountText("", 1500);
    std::setlocale(LC_NUMERIC, "C");
    EXPECT_NE(point, ".") << chosen;
    EXPECT_EQ(half, "0.5");
    EXPECT_EQ(quarter, "0.25");
    EXPECT_EQ(rate, "12.3");
    EXPECT_EQ(amount, "1.5GB");
}

TEST(FormatRateText, WorkedBarTexts) {
    const std::pair<int, const char*> cases[] = {
        {0, "0.0"},        {51, "0.0"},       {52, "0.1"},         {256, "0.3"},
        {12636, "12.3"},   {20480, "20.0"},   {1048576, "1024.0"}, {1536000, "1500.0"},
        {512, "0.5"},      {396, "0.4"},      {-512, "-0.5"},      {2147483647, "2097152.0"},
    };
    for (const auto& [bytes, text] : cases) EXPECT_EQ(formatRateText(bytes / 1024.0), text) << bytes << " bytes";
}

TEST(FormatAmountText, WorkedAmountTextsOnSinglePrecisionValues) {
    const std::pair<float, const char*> cases[] = {
        {0.0f, "0MB"},        {0.04f, "0MB"},        {0.05f, "0.1MB"},     {12.34f, "12.3MB"},
        {12.35f, "12.4MB"},   {1023.94f, "1023.9MB"}, {1023.99f, "1024MB"}, {1024.0f, "1024MB"},
        {1024.04f, "1GB"},    {1500.0f, "1.5GB"},    {10240.0f, "10GB"},
    };
    for (const auto& [amount, text] : cases)
        EXPECT_EQ(formatAmountText("", static_cast<double>(amount)), text) << amount;
}

TEST(FormatAmountText, SwitchesToGbJustAbove1024Mb) {
    const double nextFloat = static_cast<double>(std::nextafter(1024.0f, 2048.0f));
    EXPECT_EQ(formatAmountText("合计总流量：", 1024.0), "合计总流量：1024MB");
    EXPECT_EQ(formatAmountText("合计总流量：", nextFloat), "合计总流量：1GB");
    // Held in double precision, amounts within the tolerance still read as 1024 MB.
    EXPECT_EQ(formatAmountText("", 1024.00000005), "1024MB");
    EXPECT_EQ(formatAmountText("", 1024.0000002), "1GB");
    EXPECT_EQ(formatAmountText("已下载流量：", 102400.0009765625), "已下载流量：100GB");
    EXPECT_EQ(formatAmountText("", 1587.2), "1.6GB");
}

TEST(FormatAmountText, PrefixBytesAreKept) {
    const Text text = formatAmountText("已上传流量：", 0);
    EXPECT_EQ(text, "\xD2\xD1\xC9\xCF\xB4\xAB\xC1\xF7\xC1\xBF\xA3\xBA"
                    "0MB");
}

}  // namespace
}  // namespace vexmora
