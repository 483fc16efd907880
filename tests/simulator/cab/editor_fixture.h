// The standard test model in editor mode, with helpers to work a modal dialog.
#pragma once
#include <QApplication>
#include <QTimer>

#include <fstream>
#include <functional>
#include <map>
#include <sstream>

#include "app/ini_file.h"
#include "cab/cab_layout.h"
#include "cab_fixture.h"

class EditorTest : public CabTest {
protected:
    void SetUp() override
    {
        CabTest::SetUp();
        WriteStandardModel();
        std::filesystem::create_directories(root / "cab items" / "images");
        std::filesystem::create_directories(root / "images");
        std::ofstream(root / "images" / "default.bmp", std::ios::binary)
            << SolidBitmap(16, 16, 0x00FF00);
        std::ofstream(root / "cab items" / "filenames.txt", std::ios::binary)
            << "[filenames]\r\ngauge1=dial\r\n";
        EditCabLayout("TESTLOCO");
        plat_message_box_clear_records();
    }
    std::string Value(const std::string& key)
    {
        return TIniFile(IniPath("TESTLOCO")).ReadString("cab layout", key, "");
    }
    std::string ImageName(const std::string& key)
    {
        return TIniFile((root / "cab items" / "filenames.txt").string())
            .ReadString("filenames", key, "");
    }
    static std::string ReadAll(const std::filesystem::path& path)
    {
        std::ifstream in(path, std::ios::binary);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }
    void WriteImage(const std::string& name, int width, int height, uint32_t rgb)
    {
        std::ofstream(root / "cab items" / "images" / (name + ".bmp"), std::ios::binary)
            << SolidBitmap(width, height, rgb);
    }
    // Runs work on the first modal dialog of type T that opens while call() runs; false when
    // none opened.
    template <class T>
    bool OnModal(const std::function<void()>& call, const std::function<void(T&)>& work)
    {
        bool seen = false;
        QTimer timer;
        QObject::connect(&timer, &QTimer::timeout, [&] {
            if (auto* dialog = qobject_cast<T*>(QApplication::activeModalWidget())) {
                if (!seen) {
                    seen = true;
                    work(*dialog);
                }
            }
        });
        timer.start(5);
        call();
        return seen;
    }
};
