// Numbers in text stay in the C locale even when the process uses a comma-decimal locale.
#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "../common/comma_locale.h"
#include "platform/numbers.h"

namespace {

// Switches LC_NUMERIC to a comma-decimal locale for the test.
class CommaLocale : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!use_comma_decimal_locale(LC_NUMERIC))
            GTEST_SKIP() << "no de_DE.UTF-8 locale installed and localedef could not make one";
    }
    void TearDown() override { std::setlocale(LC_NUMERIC, "C"); }
};

void expect_c_locale_behaviour()
{
    char buffer[64];
    EXPECT_EQ(plat_snprintf(buffer, sizeof buffer, "%.3f|%g|%d", 1.5, 0.25, -7), 13);
    EXPECT_STREQ(buffer, "1.500|0.25|-7");
    EXPECT_EQ(plat_format("%8.2f", 3.14159), "    3.14");
    EXPECT_EQ(plat_format("%s", ""), "");

    double x = 0;
    int n = 0;
    EXPECT_EQ(plat_sscanf("2.75 12", "%lf %d", &x, &n), 2);
    EXPECT_DOUBLE_EQ(x, 2.75);
    EXPECT_EQ(n, 12);

    char* end = nullptr;
    const char* text = "6.5,rest";
    EXPECT_DOUBLE_EQ(plat_strtod(text, &end), 6.5);
    EXPECT_EQ(end, text + 3);
}

}  // namespace

TEST(Numbers, FormatAndScanInTheCLocale)
{
    expect_c_locale_behaviour();
}

TEST_F(CommaLocale, FormatAndScanIgnoreTheProcessLocale)
{
    char plain[32];
    std::snprintf(plain, sizeof plain, "%.1f", 1.5);
    ASSERT_STREQ(plain, "1,5");  // the locale is really in effect
    expect_c_locale_behaviour();
    double x = 0;
    EXPECT_TRUE(plat_parse_double("1.25", &x));
    EXPECT_DOUBLE_EQ(x, 1.25);
    EXPECT_FALSE(plat_parse_double("1,25", &x));
}

TEST(Numbers, ParseDoubleTakesWholeTextOnly)
{
    const struct {
        const char* text;
        bool ok;
        double value;
    } cases[] = {
        {"3.5", true, 3.5},       {"  -0.125\t", true, -0.125}, {"+2", true, 2.0},
        {"1e3", true, 1000.0},    {"1.5x", false, 0},           {"", false, 0},
        {"   ", false, 0},        {"1,5", false, 0},            {"+-1", false, 0},
        {"1e999", false, 0},      {"- 1", false, 0},             {"nan", false, 0},
        {"inf", false, 0},        {".5", true, 0.5},
    };
    for (const auto& c : cases) {
        double value = -99;
        EXPECT_EQ(plat_parse_double(c.text, &value), c.ok) << '"' << c.text << '"';
        EXPECT_DOUBLE_EQ(value, c.ok ? c.value : -99) << '"' << c.text << '"';
    }
}

TEST(Numbers, ParseIntTakesWholeTextOnly)
{
    const struct {
        const char* text;
        bool ok;
        long value;
    } cases[] = {
        {"42", true, 42},     {" -17 ", true, -17}, {"+8", true, 8},
        {"4.0", false, 0},    {"0x10", false, 0},   {"", false, 0},
        {"99999999999999999999", false, 0},
    };
    for (const auto& c : cases) {
        long value = -99;
        EXPECT_EQ(plat_parse_int(c.text, &value), c.ok) << '"' << c.text << '"';
        EXPECT_EQ(value, c.ok ? c.value : -99) << '"' << c.text << '"';
    }
}
