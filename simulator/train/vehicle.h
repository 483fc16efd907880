// Vehicle records, their 120-byte file form, and the consist with its sums.
#pragma once
#include <array>
#include <cstdint>
#include <string>

constexpr int VehicleRecSize = 120;
constexpr int MaxVehicles = 100;
constexpr int MaxModelName = 16;  // the short string's capacity

struct TVehicleRec {
    std::string name;            // model folder and file base name, at most 16 bytes
    int32_t isTraction = 0;      // 1 traction unit, 0 car
    int32_t unused = 1800;       // kept for the file layout
    double length = 0.0;         // m
    double mass = 0.0;           // t
    double xArea = 0.0;          // cross-section area (cars)
    int32_t maxTraction = 0;     // kN
    int32_t power = 0;           // hp
    int32_t maxBrake = 0;        // kN
    int32_t numAxles = 0;
    double massPerAxle = 0.0;    // t, computed when the consist is summed
};

using TVehicleBytes = std::array<unsigned char, VehicleRecSize>;

// The record's bytes as stored in a train file.
TVehicleBytes EncodeVehicle(const TVehicleRec& rec);
// False (rec untouched) when the name's length byte exceeds 16.
bool DecodeVehicle(const unsigned char* bytes, TVehicleRec* rec);

struct TConsist {
    std::array<TVehicleRec, MaxVehicles> recs;
    int count = 0;
    double tonnage = 0.0;  // t
    double length = 0.0;   // m
    double traction = 0.0; // kN
    double braking = 0.0;  // kN
    int tractionUnits = 0;
    double davisA = 0.0;   // averages over the vehicles
    double davisC = 0.0;
};

// The train being driven and made up; read by the physics and the brake.
extern TConsist Consist;

// Totals, counts and every record to the cleared state.
void ClearConsist(TConsist& consist);
// Recomputes every total from the records; records without axles or mass count as 4 axles
// and 50 t, and are stored that way.
void SumConsist(TConsist& consist);
// Copies rec into position p (at most the vehicle count, which then grows) and re-sums.
// False when p is outside the consist.
bool AddVehicle(TConsist& consist, int p, const TVehicleRec& rec);
