// libFuzzer target: a cab item file loaded as every kind of item and each control painted
// offscreen, so the values the reader lets through also reach the drawing code.
#include <QApplication>
#include <QImage>
#include <QLabel>
#include <QWidget>

#include <cstdlib>
#include <string>

#include "app/ini_file.h"
#include "app/sim_state.h"
#include "cab/cab_items.h"
#include "fuzz_support.h"

namespace {

void paint(QWidget* control)
{
    if (!control)
        return;
    QImage image(control->size().boundedTo(QSize(2048, 2048)), QImage::Format_RGB32);
    if (!image.isNull())
        control->render(&image);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QApplication app(*argc, *argv);
    // The font system keeps what it loads for the first text drawn: load it before the inputs.
    QLabel warm_up("Kestrovane");
    paint(&warm_up);
    fuzz_quiet_boxes();
    const std::string root = fuzz_folder().string();
    SimState.paths.root = root;
    // Every kind of item reads the one file.
    fuzz_input_file("cab.ini", "[cab layout]\r\ncontrol1=FUZZ.item, 10:10\r\ngauge1=FUZZ.item, 10:10\r\n"
                               "swpush1=FUZZ.item, 10:10\r\nswtogg1=FUZZ.item, 10:10\r\n"
                               "light1=FUZZ.item, 10:10\r\n");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzz_input_file("cab items/FUZZ.item.cit", data, size);
    const TIniFile ini((fuzz_folder() / "cab.ini").string());
    for (const char* type : {"control", "gauge", "swpush", "swtogg", "light"})
        LoadCabItem(ini, type, 1);
    paint(CabItems.levers[0]);
    paint(CabItems.gauges[0]);
    paint(CabItems.pushSwitches[0]);
    paint(CabItems.toggleSwitches[0]);
    paint(CabItems.lights[0]);
    FreeCabItems();
    return 0;
}
