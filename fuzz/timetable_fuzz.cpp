// libFuzzer target: the timetable window over an arbitrary timetable file; the first byte places
// the train along the route.
#include <QApplication>

#include <string>

#include "forms/time_form.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    static int argc = 1;
    static char name[] = "fuzz_timetable";
    static char* argv[] = {name, nullptr};
    static QApplication application(argc, argv);
    fuzz_quiet_boxes();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1)
        return 0;
    const double km = data[0] * 0.5;
    const std::string path = fuzz_input_file("timetable.txt", data + 1, size - 1);
    TTimeForm1 form(nullptr, path, km, "09:00:00");
    return 0;
}
