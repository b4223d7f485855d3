#include "menu/input_number.h"

#include <gtest/gtest.h>

namespace vexmora {
namespace {

struct NumberCase {
    Text text;
    std::int64_t value;
};

TEST(InputNumberValue, ReadsAnOptionalSignAndTheLeadingDigits) {
    const NumberCase cases[] = {
        {"", 0},
        {"7", 7},
        {"00050", 50},
        {"   42", 42},
        {"\t\n\v\f\r 5", 5},  // every kind of white space
        {"+7", 7},
        {"-7", -7},
        {"-", 0},  // a sign and no digits
        {"+", 0},
        {"   -", 0},
        {"-0", 0},
        {"12abc", 12},
        {"1 2", 1},
        {"3-4", 3},
        {"abc12", 0},
        {"--5", 0},
        {"+-5", 0},
        {"- 5", 0},
        {"2147483647", 2147483647},
        {"-2147483648", -2147483648LL},
        {"\xA3\xB1\xA3\xB2", 0},  // full-width digits are not digits
        {"\xA1\xA1" "5", 0},      // nor is the full-width space white space
        {Text("9\0" "9", 3), 9},  // an embedded NUL ends the digits
    };
    for (const NumberCase& c : cases) EXPECT_EQ(inputNumberValue(c.text), c.value) << '"' << c.text << '"';
}

TEST(InputNumberValue, LongNumbersNeverWrapInto32Bits) {
    // 4294967299 is 3 once cut to 32 bits, 4294967346 is 50, 4294967551 is 255.
    for (const char* text : {"4294967299", "4294967346", "4294967551"})
        EXPECT_GT(inputNumberValue(text), 4294967295LL) << text;
    EXPECT_EQ(inputNumberValue("-4294967293"), -4294967293LL);

    const Text many(5000, '9');
    const std::int64_t big = inputNumberValue(many);
    EXPECT_GT(big, 4294967295LL);
    EXPECT_EQ(inputNumberValue("-" + many), -big);
    EXPECT_EQ(inputNumberValue("  +" + many + "abc"), big);
    // Digits beyond the saturation point change nothing, whatever they are.
    EXPECT_EQ(inputNumberValue(Text(40, '1') + "3"), inputNumberValue(Text(40, '1') + "7"));
}

}  // namespace
}  // namespace vexmora
