// A simulation root with a small traction model: INI file, cab picture and cab item files
// built field by field, independent of the cab's own writers.
#pragma once
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "../../common/box_texts.h"
#include "../../common/recording_engine3d.h"
#include "cab/cit_stream.h"

class TVaruRor;

// A 24-bit bitmap file of one colour (0xRRGGBB).
std::string SolidBitmap(int width, int height, uint32_t rgb);
// Image list "Bitmap" data: header and the frames, one colour each, four to a row.
std::string ImageListBytes(int width, int height, const std::vector<uint32_t>& colours);
// The colour of lever frame k in the fixture's image lists.
uint32_t FrameColour(int k);

CitComponent ItemComponent(const char* className, std::vector<CitProperty> own);
CitFile LeverFile(int maximum, int frames);
CitFile GaugeFile();
CitFile PushSwitchFile();
CitFile ToggleSwitchFile();
CitFile LightFile(uint32_t brushColour);

class CabTest : public testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Writes root "\cab items\" stem ".cit".
    void WriteItem(const std::string& stem, const CitFile& file);
    // Writes the model's INI file with these lines after the [cab layout] header.
    void WriteIni(const std::string& model, const std::string& cabLayout,
                  const std::string& more = "");
    void WritePicture(const std::string& model);
    // The standard model "TESTLOCO": picture, INI and one item of each kind.
    void WriteStandardModel(const std::string& traction = "ELE", const std::string& brake = "auto");
    std::string IniPath(const std::string& model) const;

    std::filesystem::path root;
    TRecordingEngine3D engine;
    std::unique_ptr<TVaruRor> window;
};
