// The information box: what the driver reads beside the 3D view, and its number format.
#pragma once
#include <string>

struct TInfoBoxValues {
    double throttle = 0.0;  // notch
    double traction = 0.0;  // kN
    int valve = 1;          // brake valve position
    double reduction = 0.0; // requested service reduction, psi
    double acceleration = 0.0;
    double adhesionDemanded = 0.0;
    double adhesionLimit = 0.0;
    double routeKm = 0.0;
    double x = 0.0;
    double y = 0.0;
    std::string tractionType;
    double heading = 0.0;
};

// A number with thousands separators: rounded to `precision` significant digits or `digits`
// decimals, whichever keeps fewer, then shown with exactly `digits` decimals; scientific when
// the integer part needs more than `precision` digits. Always "," and ".", whatever the locale.
std::string FormatNumber(double value, int precision, int digits);

// The box's text, every line ended by "\r".
std::string InfoBoxText(const TInfoBoxValues& values);

// The values from physics, brake, track and traction model. Hold SimLock.
TInfoBoxValues CollectInfoBoxValues();
