// Vehicle records, their 120-byte file form, and the consist with its sums.
#include "train/vehicle.h"

#include <bit>
#include <cstring>

TConsist Consist;

namespace {

// Byte offsets of the record.
constexpr int off_name = 17;
constexpr int off_traction = 36;
constexpr int off_unused = 40;
constexpr int off_length = 48;
constexpr int off_mass = 56;
constexpr int off_xarea = 64;
constexpr int off_max_traction = 72;
constexpr int off_power = 76;
constexpr int off_max_brake = 80;
constexpr int off_axles = 84;
constexpr int off_mass_per_axle = 112;

void put_u32(unsigned char* p, uint32_t v)
{
    for (int i = 0; i < 4; ++i) p[i] = static_cast<unsigned char>(v >> (8 * i));
}

void put_u64(unsigned char* p, uint64_t v)
{
    for (int i = 0; i < 8; ++i) p[i] = static_cast<unsigned char>(v >> (8 * i));
}

uint32_t get_u32(const unsigned char* p)
{
    uint32_t v = 0;
    for (int i = 0; i < 4; ++i) v |= uint32_t(p[i]) << (8 * i);
    return v;
}

uint64_t get_u64(const unsigned char* p)
{
    uint64_t v = 0;
    for (int i = 0; i < 8; ++i) v |= uint64_t(p[i]) << (8 * i);
    return v;
}

void put_int(TVehicleBytes& b, int at, int32_t v) { put_u32(&b[at], static_cast<uint32_t>(v)); }
void put_double(TVehicleBytes& b, int at, double v) { put_u64(&b[at], std::bit_cast<uint64_t>(v)); }
int32_t get_int(const unsigned char* b, int at) { return static_cast<int32_t>(get_u32(b + at)); }
double get_double(const unsigned char* b, int at) { return std::bit_cast<double>(get_u64(b + at)); }

}  // namespace

TVehicleBytes EncodeVehicle(const TVehicleRec& rec)
{
    TVehicleBytes b{};
    size_t n = rec.name.size() < size_t(MaxModelName) ? rec.name.size() : size_t(MaxModelName);
    b[off_name] = static_cast<unsigned char>(n);
    std::memcpy(&b[off_name + 1], rec.name.data(), n);
    put_int(b, off_traction, rec.isTraction);
    put_int(b, off_unused, rec.unused);
    put_double(b, off_length, rec.length);
    put_double(b, off_mass, rec.mass);
    put_double(b, off_xarea, rec.xArea);
    put_int(b, off_max_traction, rec.maxTraction);
    put_int(b, off_power, rec.power);
    put_int(b, off_max_brake, rec.maxBrake);
    put_int(b, off_axles, rec.numAxles);
    put_double(b, off_mass_per_axle, rec.massPerAxle);
    return b;
}

bool DecodeVehicle(const unsigned char* bytes, TVehicleRec* rec)
{
    int n = bytes[off_name];
    if (n > MaxModelName) return false;
    TVehicleRec r;
    r.name.assign(reinterpret_cast<const char*>(bytes + off_name + 1), size_t(n));
    r.isTraction = get_int(bytes, off_traction);
    r.unused = get_int(bytes, off_unused);
    r.length = get_double(bytes, off_length);
    r.mass = get_double(bytes, off_mass);
    r.xArea = get_double(bytes, off_xarea);
    r.maxTraction = get_int(bytes, off_max_traction);
    r.power = get_int(bytes, off_power);
    r.maxBrake = get_int(bytes, off_max_brake);
    r.numAxles = get_int(bytes, off_axles);
    r.massPerAxle = get_double(bytes, off_mass_per_axle);
    *rec = std::move(r);
    return true;
}

void ClearConsist(TConsist& consist)
{
    consist.count = 0;
    consist.tonnage = consist.length = consist.traction = consist.braking = 0.0;
    consist.tractionUnits = 0;
    consist.davisA = consist.davisC = 0.0;
    for (TVehicleRec& rec : consist.recs) rec = TVehicleRec{};
}

void SumConsist(TConsist& consist)
{
    consist.tonnage = consist.length = consist.traction = consist.braking = 0.0;
    consist.tractionUnits = 0;
    consist.davisA = consist.davisC = 0.0;
    for (int i = 0; i < consist.count; ++i) {
        TVehicleRec& rec = consist.recs[size_t(i)];
        // Fixed up before summing so a vehicle weighs the same in every sum.
        if (rec.numAxles <= 0 || !(rec.mass > 0.0)) {
            rec.numAxles = 4;
            rec.mass = 50.0;
        }
        consist.tonnage += rec.mass;
        consist.length += rec.length;
        consist.traction += rec.maxTraction;
        consist.braking += rec.maxBrake;
        if (rec.isTraction == 1) ++consist.tractionUnits;
        rec.massPerAxle = rec.mass / rec.numAxles;
        consist.davisA += 1.3 + 29.0 / rec.massPerAxle;
        consist.davisC += rec.xArea * 0.0005 / rec.mass;
    }
    if (consist.count > 0) {
        consist.davisA /= consist.count;
        consist.davisC /= consist.count;
    }
}

bool AddVehicle(TConsist& consist, int p, const TVehicleRec& rec)
{
    if (p < 0 || p > consist.count || p >= MaxVehicles) return false;
    consist.recs[size_t(p)] = rec;
    if (p == consist.count) ++consist.count;
    SumConsist(consist);
    return true;
}
