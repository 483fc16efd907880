// libFuzzer target: the INI class on arbitrary text: every section and key it finds is read, one
// value is written back in place, and the written file must read back with that value.
#include <cstdlib>
#include <string>

#include "app/ini_file.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string path = fuzz_input_file("model.ini", data, size);
    TIniFile ini(path);
    for (const char* section : {"cab layout", "physics", "traction"}) {
        for (const std::string& line : ini.ReadSectionValues(section)) {
            const std::string key = line.substr(0, line.find('='));
            ini.ReadInteger(section, key, 0);
            ini.ReadFloat(section, key, 0.0);
        }
    }
    if (!ini.WriteString("cab layout", "fuzz", "1, 2:3"))
        return 0;
    if (TIniFile(path).ReadString("cab layout", "fuzz", "") != "1, 2:3")
        std::abort();
    return 0;
}
