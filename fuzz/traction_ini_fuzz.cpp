// libFuzzer target: a traction model's INI keys: the cab layout and the physics keys the loco
// physics dialog shows; what the dialog writes back must read back the same.
#include <cstdlib>
#include <string>

#include "app/ini_file.h"
#include "cab/traction_model.h"
#include "fuzz_support.h"

namespace {

bool same(const TPhysicsKeys& a, const TPhysicsKeys& b)
{
    return a.tractionType == b.tractionType && a.description == b.description && a.yearComm == b.yearComm &&
           a.model == b.model && a.mass == b.mass && a.maxTraction == b.maxTraction && a.maxIndBrk == b.maxIndBrk &&
           a.powerHp == b.powerHp && a.numAxles == b.numAxles && a.brakeType == b.brakeType;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzz_quiet_boxes();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string path = fuzz_input_file("traction.ini", data, size);
    TIniFile ini(path);
    TTractionSettings settings;
    ReadTractionSettings(ini, &settings);
    const TPhysicsKeys keys = ReadPhysicsKeys(ini);
    if (!WritePhysicsKeys(ini, keys))
        return 0;
    if (!same(ReadPhysicsKeys(TIniFile(path)), keys))
        std::abort();
    return 0;
}
