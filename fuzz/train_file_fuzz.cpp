// libFuzzer target: the train file reader; a train it accepts must save and read back the same.
#include <cstdlib>
#include <memory>
#include <string>

#include "fuzz_support.h"
#include "train/train_file.h"
#include "train/vehicle.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // The consist is large: keep it off the stack.
    auto consist = std::make_unique<TConsist>();
    std::string error;
    if (!LoadTrain(fuzz_input_file("train.trn", data, size), *consist, &error))
        return 0;
    const std::string saved = (fuzz_folder() / "saved.trn").string();
    auto again = std::make_unique<TConsist>();
    if (!SaveTrain(saved, *consist, &error) || !LoadTrain(saved, *again, &error) || again->count != consist->count)
        std::abort();
    return 0;
}
