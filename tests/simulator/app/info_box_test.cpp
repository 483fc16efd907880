// The information box's text and number format.
#include <QLocale>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <gtest/gtest.h>
#include <locale>

#include "../../common/comma_locale.h"
#include "app/info_box.h"
#include "train/brake.h"

namespace {

TEST(InfoBox, TextLineByLine)
{
    TInfoBoxValues v;
    v.throttle = 3.0;
    v.traction = 1234.56;
    v.valve = bvService;
    v.reduction = 10;
    v.acceleration = 0.12345;
    v.adhesionDemanded = 0.1234;
    v.adhesionLimit = 0.186;
    v.routeKm = 12.3456;
    v.x = 1234567.4;
    v.y = -98765.4;
    v.tractionType = "Electric";
    v.heading = 271.25;
    EXPECT_EQ(InfoBoxText(v),
              "notch: 3\r"
              "traction: 1,235 kN\r"
              "brake: service 10 lb\r"
              "accel: 0.123 m/s/s\r"
              "ADHD: 12.3%\r"
              "ADH rail: 18.6%\r"
              "MP: 12.35 km\r"
              "\r"
              "x:1,234,567 y:-98,765\r"
              "type: Electric\r"
              "heading: 271.3\r");
}

TEST(InfoBox, BrakeValveTexts)
{
    const struct {
        int valve;
        double reduction;
        const char* line;
    } cases[] = {{bvRunning, 0, "brake: running\r"},     {bvLap, 0, "brake: lap\r"},
                 {bvService, 25, "brake: service 25 lb\r"}, {bvEmergency, 0, "brake: emerg \r"},
                 {bvRelease, 0, "brake: release\r"},     {9, 0, "brake: \r"}};
    for (const auto& c : cases) {
        TInfoBoxValues v;
        v.valve = c.valve;
        v.reduction = c.reduction;
        EXPECT_NE(InfoBoxText(v).find(std::string("\r") + c.line), std::string::npos) << c.line;
    }
}

TEST(InfoBox, NotchIsRoundedHalfToEven)
{
    TInfoBoxValues v;
    v.throttle = 2.5;
    EXPECT_EQ(InfoBoxText(v).rfind("notch: 2\r", 0), 0u);
    v.throttle = 3.5;
    EXPECT_EQ(InfoBoxText(v).rfind("notch: 4\r", 0), 0u);
}

struct NumberCase {
    double value;
    int precision;
    int digits;
    const char* text;
};

const NumberCase kNumberCases[] = {
    {0.0, 4, 3, "0.000"},
    {-0.0004, 4, 3, "0.000"},  // rounds to zero: no sign
    {0.0006, 4, 3, "0.001"},
    {-0.0625, 4, 3, "-0.063"},  // halves round away from zero
    {0.5, 4, 0, "1"},
    {271.25, 4, 1, "271.3"},
    {1.005, 4, 2, "1.00"},  // 1.005 is stored just below the half
    {999.96, 4, 1, "1,000.0"},
    {100.0, 3, 1, "100.0"},
    {1234.5, 4, 0, "1,235"},
    {-1234567.0, 7, 0, "-1,234,567"},
    {123456.0, 7, 0, "123,456"},
    {12345.6, 4, 0, "1.235E4"},  // more integer digits than the precision
    {9999.6, 4, 0, "1E4"},
    {1e-7, 3, 1, "0.0"},
    {0.12345, 3, 1, "0.1"},
};

TEST(InfoBox, NumberFormat)
{
    for (const NumberCase& c : kNumberCases)
        EXPECT_EQ(FormatNumber(c.value, c.precision, c.digits), c.text)
            << c.value << " (" << c.precision << ", " << c.digits << ")";
}

// Comma as the decimal separator in C++ streams, whatever the machine has installed.
struct CommaDecimal : std::numpunct<char> {
    char do_decimal_point() const override { return ','; }
    char do_thousands_sep() const override { return '.'; }
    std::string do_grouping() const override { return "\3"; }
};

TEST(InfoBox, NumberFormatIgnoresTheLocale)
{
    const std::string oldC = std::setlocale(LC_ALL, nullptr);
    const std::locale oldCpp;
    const QLocale oldQt;
    const bool commaC = use_comma_decimal_locale(LC_ALL);
    if (commaC) {
        char probe[16];
        std::snprintf(probe, sizeof probe, "%.1f", 1.5);
        EXPECT_STREQ(probe, "1,5");
    }
    std::locale::global(std::locale(std::locale::classic(), new CommaDecimal));
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));

    for (const NumberCase& c : kNumberCases)
        EXPECT_EQ(FormatNumber(c.value, c.precision, c.digits), c.text) << c.value;
    TInfoBoxValues v;
    v.acceleration = -12.34567;  // four significant digits, three decimals
    EXPECT_NE(InfoBoxText(v).find("\raccel: -12.350 m/s/s\r"), std::string::npos);

    QLocale::setDefault(oldQt);
    std::locale::global(oldCpp);
    std::setlocale(LC_ALL, oldC.c_str());
    if (!commaC)
        GTEST_SKIP() << "no comma-decimal C locale available; C++ and Qt locales checked";
}

}  // namespace
