// libFuzzer target: the situation file reader.
#include <string>

#include "app/sim_space.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzz_quiet_boxes();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    LoadSituation(fuzz_input_file("situations/situation.txt", data, size));
    return 0;
}
