// The information box's text and its number format.
#include "app/info_box.h"

#include <algorithm>
#include <cmath>

#include "app/sim_hooks.h"
#include "platform/numbers.h"
#include "train/brake.h"
#include "train/physics.h"

namespace {

constexpr int kMaxDigits = 18;

// A finite value as its significant decimal digits and the position of the decimal point:
// value = 0.digits x 10^exponent.
struct TDecimal {
    std::string digits;
    int exponent = 0;
    bool negative = false;
};

TDecimal ToDecimal(double value)
{
    TDecimal d;
    d.negative = std::signbit(value);
    char text[40];
    plat_snprintf(text, sizeof text, "%.*e", kMaxDigits - 1, std::fabs(value));
    // text is "d.ddd...e[+-]x"
    std::string s(text);
    const size_t e = s.find('e');
    d.digits = s.substr(0, 1) + s.substr(2, e - 2);
    d.exponent = std::stoi(s.substr(e + 1)) + 1;
    return d;
}

// Keeps `keep` digits, rounding half up on the next one; no digits left means zero.
void RoundDigits(TDecimal& d, int keep)
{
    if (keep >= static_cast<int>(d.digits.size()))
        return;
    const bool up = keep >= 0 && d.digits[keep] >= '5';
    d.digits.resize(keep > 0 ? keep : 0);
    if (up) {
        int i = static_cast<int>(d.digits.size()) - 1;
        while (i >= 0 && d.digits[i] == '9')
            d.digits[i--] = '0';
        if (i >= 0) {
            ++d.digits[i];
        } else {
            d.digits.insert(d.digits.begin(), '1');
            ++d.exponent;
        }
    }
    while (!d.digits.empty() && d.digits.back() == '0')
        d.digits.pop_back();
}

std::string Scientific(double value, int precision, int exponentDigits)
{
    TDecimal d = ToDecimal(value);
    RoundDigits(d, precision);
    if (d.digits.empty())
        return "0";
    std::string out = d.negative ? "-" : "";
    out += d.digits[0];
    if (d.digits.size() > 1)
        out += "." + d.digits.substr(1);
    const int exponent = d.exponent - 1;
    std::string power = std::to_string(std::abs(exponent));
    if (static_cast<int>(power.size()) < exponentDigits)
        power.insert(0, exponentDigits - power.size(), '0');
    return out + "E" + (exponent < 0 ? "-" : "") + power;
}

}  // namespace

std::string FormatNumber(double value, int precision, int digits)
{
    if (std::isnan(value))
        return "NAN";
    if (std::isinf(value))
        return value < 0 ? "-INF" : "INF";
    precision = std::clamp(precision, 1, kMaxDigits);
    digits = std::clamp(digits, 0, kMaxDigits);

    TDecimal d = ToDecimal(value);
    RoundDigits(d, std::min(precision, d.exponent + digits));
    if (d.digits.empty()) {
        d.negative = false;
        d.exponent = 0;
    }
    if (d.exponent > precision)
        return Scientific(value, precision, std::min(digits, 4));

    auto digitAt = [&d](int i) {
        return i >= 0 && i < static_cast<int>(d.digits.size()) ? d.digits[i] : '0';
    };
    std::string whole;
    if (d.exponent <= 0) {
        whole = "0";
    } else {
        for (int i = 0; i < d.exponent; ++i) {
            if (i > 0 && (d.exponent - i) % 3 == 0)
                whole += ',';
            whole += digitAt(i);
        }
    }
    std::string out = (d.negative ? "-" : "") + whole;
    if (digits > 0) {
        out += '.';
        for (int i = 0; i < digits; ++i)
            out += digitAt(d.exponent + i);
    }
    return out;
}

std::string InfoBoxText(const TInfoBoxValues& v)
{
    std::string brake;
    switch (v.valve) {
    case bvRunning: brake = "running"; break;
    case bvLap: brake = "lap"; break;
    case bvService: brake = "service " + FormatNumber(v.reduction, 3, 0) + " lb"; break;
    case bvEmergency: brake = "emerg "; break;
    case bvRelease: brake = "release"; break;
    default: break;
    }
    std::string t;
    t += "notch: " + std::to_string(PhysRound(v.throttle)) + "\r";
    t += "traction: " + FormatNumber(v.traction, 4, 0) + " kN\r";
    t += "brake: " + brake + "\r";
    t += "accel: " + FormatNumber(v.acceleration, 4, 3) + " m/s/s\r";
    t += "ADHD: " + FormatNumber(v.adhesionDemanded * 100, 3, 1) + "%\r";
    t += "ADH rail: " + FormatNumber(v.adhesionLimit * 100, 3, 1) + "%\r";
    t += "MP: " + FormatNumber(v.routeKm, 4, 2) + " km\r";
    t += "\r";
    t += "x:" + FormatNumber(v.x, 7, 0) + " y:" + FormatNumber(v.y, 7, 0) + "\r";
    t += "type: " + v.tractionType + "\r";
    t += "heading: " + FormatNumber(v.heading, 4, 1) + "\r";
    return t;
}

TInfoBoxValues CollectInfoBoxValues()
{
    TInfoBoxValues v;
    v.throttle = Physics.throttle.value;
    v.traction = Physics.tractiveEffort;
    v.valve = BrakeValve;
    v.reduction = Brake.reduction;
    v.acceleration = Physics.acceleration.value;
    v.adhesionDemanded = Physics.adhesionDemanded;
    v.adhesionLimit = Physics.adhesionLimit;
    const TTrackReadout track = TrackReadout();
    v.routeKm = track.routeKm;
    v.x = track.x;
    v.y = track.y;
    v.heading = track.heading;
    v.tractionType = TractionTypeLabel();
    return v;
}
