// One QApplication for the whole test program (offscreen), and boxes that never block.
#include <QApplication>
#include <gtest/gtest.h>

#include "platform/msgbox.h"

namespace {

class QtEnvironment : public testing::Environment {
public:
    void SetUp() override
    {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        plat_message_box_set_headless(true);
        app_ = new QApplication(argc_, argv_);
    }
    void TearDown() override
    {
        delete app_;
        app_ = nullptr;
    }

private:
    int argc_ = 1;
    char name_[24] = "kestrovane_tests";
    char* argv_[2] = {name_, nullptr};
    QApplication* app_ = nullptr;
};

const testing::Environment* const environment =
    testing::AddGlobalTestEnvironment(new QtEnvironment);

}  // namespace
