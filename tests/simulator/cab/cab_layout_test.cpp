// The cab layout editor: selecting, moving and saving an item's position.
#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>

#include "app/ini_file.h"
#include "app/main_window.h"
#include "app/sim_state.h"
#include "cab/cab_items.h"
#include "cab/cab_layout.h"
#include "cab/traction_model.h"
#include "cab_fixture.h"
#include "train/physics.h"
#include "train/vehicle.h"

namespace {

class CabLayoutTest : public CabTest {
protected:
    void SetUp() override
    {
        CabTest::SetUp();
        WriteStandardModel();
        EditCabLayout("TESTLOCO");
    }
    std::string Value(const std::string& key)
    {
        return TIniFile(IniPath("TESTLOCO")).ReadString("cab layout", key, "");
    }
    void Send(QWidget* target, QEvent::Type type, QPoint cabPos, Qt::MouseButton button)
    {
        const QPoint local = target->mapFrom(window->cab_bkgd, cabPos);
        QMouseEvent event(type, QPointF(local), QPointF(target->mapToGlobal(local)), button,
                          type == QEvent::MouseButtonRelease ? Qt::NoButton : button,
                          Qt::NoModifier);
        QApplication::sendEvent(target, &event);
    }
};

TEST_F(CabLayoutTest, EditorModeShowsTheModelForEditing)
{
    EXPECT_TRUE(SimState.editorMode);
    EXPECT_EQ(window->windowTitle(), "Editor mode: TESTLOCO");
    EXPECT_EQ(window->ThreeDPanel->text(), "To relocatate cab item, do \"Right-Click\" ");
    EXPECT_TRUE(window->Button1->isVisibleTo(window.get()));
    EXPECT_TRUE(window->CIT_menu->menuAction()->isEnabled());
    EXPECT_FALSE(window->LoadSituation1->isEnabled());
    EXPECT_FALSE(window->SelectTrain1->isEnabled());
    EXPECT_EQ(CabItems.gaugeCount, 2);
}

TEST_F(CabLayoutTest, LeavingTheEditorShowsDriveModeAgain)
{
    TVehicleRec loco;
    loco.name = "TESTLOCO";
    ClearConsist(Consist);
    AddVehicle(Consist, 0, loco);
    SetupDriveMode();  // as loading another situation does
    EXPECT_EQ(window->ThreeDPanel->text().toStdString(), "Select 'Start Sim' from the File menu");
    EXPECT_EQ(window->windowTitle().toStdString(), "TESTLOCO: Ready");

    // Leaving by "Start Sim": the panel no longer asks for a right-click while driving.
    EditCabLayout("TESTLOCO");
    Consist.tonnage = 80;
    Consist.length = 20;
    window->StartStopSim();
    EXPECT_EQ(window->ThreeDPanel->text().toStdString(), "Select 'Start Sim' from the File menu");
    EXPECT_EQ(window->windowTitle().toStdString(), "TESTLOCO: Sim running . . .");
    window->StartStopSim();
    ClearConsist(Consist);
}

TEST_F(CabLayoutTest, CabItemsMenuOpensInTheEditorAfterARun)
{
    TVehicleRec loco;
    loco.name = "TESTLOCO";
    ClearConsist(Consist);
    AddVehicle(Consist, 0, loco);
    Consist.tonnage = 80;
    Consist.length = 20;
    window->StartStopSim();
    EXPECT_FALSE(window->CIT_menu->menuAction()->isEnabled());
    window->StartStopSim();
    ClearConsist(Consist);

    EditCabLayout("TESTLOCO");
    EXPECT_TRUE(window->CIT_menu->menuAction()->isEnabled());
    EXPECT_TRUE(window->CIT_menu->isEnabled());
    EXPECT_TRUE(window->Insert1->isEnabled());
    EXPECT_TRUE(window->Edit_menu->isEnabled());
}

TEST_F(CabLayoutTest, MovedItemKeepsItsPlaceAfterReload)
{
    QWidget* gauge = CabItems.gauges[0];
    const QPoint on = gauge->geometry().center();
    EditorRightButtonDown(on);
    EditorRightButtonUp(on);
    ASSERT_EQ(SelectedCabItem(), gauge);
    EXPECT_FALSE(SelectedCabItemPlaced());
    EXPECT_EQ(ItemFrameRect(), gauge->geometry().adjusted(-5, -5, 5, 5));

    CabPictureMouseMove(QPoint(100, 250));
    EXPECT_FALSE(SelectedCabItemPlaced());
    CabPictureMouseDown(QPoint(120, 300), true);
    EXPECT_TRUE(SelectedCabItemPlaced());
    EXPECT_EQ(gauge->pos(), QPoint(120, 300));
    EXPECT_EQ(Value("gauge1"), "TESTLOCO.speed, 300:120");
    EXPECT_EQ(Value("gauge2"), "TESTLOCO.BPpress, 240:520");
    EXPECT_EQ(window->windowTitle(), "TESTLOCO: Edit mode - Mouse  top: 300 left: 120");

    // A second drop without a new selection moves nothing.
    CabPictureMouseDown(QPoint(10, 10), true);
    EXPECT_EQ(gauge->pos(), QPoint(120, 300));

    LoadTractionModel("TESTLOCO");
    EXPECT_EQ(CabItems.gauges[0]->pos(), QPoint(120, 300));
    EXPECT_EQ(Physics.speed.name, "g1");
}

TEST_F(CabLayoutTest, OnlyCabItemsCanBeSelected)
{
    const QPoint panel = window->ThreeDPanel->geometry().center();
    EditorRightButtonDown(panel);
    EditorRightButtonUp(panel);
    EXPECT_EQ(SelectedCabItem(), nullptr);
    const QPoint bare(780, 510);
    EditorRightButtonDown(bare);
    EditorRightButtonUp(bare);
    EXPECT_EQ(SelectedCabItem(), nullptr);
    // Pressed on one item and released on another: nothing.
    EditorRightButtonDown(CabItems.levers[0]->geometry().center());
    EditorRightButtonUp(CabItems.gauges[0]->geometry().center());
    EXPECT_EQ(SelectedCabItem(), nullptr);
}

// Pictures, clocks, panels and memos stay put; any other control on the cab can be moved.
TEST_F(CabLayoutTest, AnyControlButPictureClockPanelAndMemoCanBeSelected)
{
    ASSERT_TRUE(WriteCabLayoutKey(IniPath("TESTLOCO"), "clock", "analog, 400:700"));
    LoadCabClock(TIniFile(IniPath("TESTLOCO")));
    const auto select = [](QPoint at) {
        EditorRightButtonDown(at);
        EditorRightButtonUp(at);
        return SelectedCabItem();
    };
    EXPECT_EQ(select(QPoint(730, 430)), nullptr);  // the analogue clock
    EXPECT_EQ(select(window->ThreeDPanel->geometry().center()), nullptr);
    ASSERT_FALSE(window->Button1->isHidden());  // shown in editor mode
    EXPECT_EQ(select(window->Button1->geometry().center()), window->Button1);
    EXPECT_EQ(select(QPoint(650, 100)), window->InfoBoxLabel1);
    EXPECT_EQ(select(CabItems.gauges[0]->geometry().center()), CabItems.gauges[0]);
}

TEST_F(CabLayoutTest, MouseEventsThroughTheMessageHookMoveAnItem)
{
    TShape* light = CabItems.lights[0];
    const QPoint on = light->geometry().center();
    Send(light, QEvent::MouseButtonPress, on, Qt::RightButton);
    Send(light, QEvent::MouseButtonRelease, on, Qt::RightButton);
    ASSERT_EQ(SelectedCabItem(), static_cast<QWidget*>(light));
    const QPoint drop(300, 420);
    Send(window->cab_bkgd, QEvent::MouseButtonPress, drop, Qt::RightButton);
    Send(window->cab_bkgd, QEvent::MouseButtonRelease, drop, Qt::RightButton);
    EXPECT_EQ(light->pos(), drop);
    EXPECT_EQ(Value("light1"), "TESTLOCO.wheelslip, 420:300");
    EXPECT_EQ(SelectedCabItem(), static_cast<QWidget*>(light));
    EXPECT_TRUE(SelectedCabItemPlaced());

    // Drive mode takes the hook away again.
    TVehicleRec loco;
    loco.name = "TESTLOCO";
    ClearConsist(Consist);
    AddVehicle(Consist, 0, loco);
    SetupDriveMode();
    ClearConsist(Consist);
    EXPECT_FALSE(SimState.editorMode);
    EXPECT_EQ(SelectedCabItem(), nullptr);
    light = CabItems.lights[0];
    Send(light, QEvent::MouseButtonPress, light->geometry().center(), Qt::RightButton);
    Send(light, QEvent::MouseButtonRelease, light->geometry().center(), Qt::RightButton);
    EXPECT_EQ(SelectedCabItem(), nullptr);
}

TEST_F(CabLayoutTest, ItemPositionOfANullKeyIsNotWritten)
{
    SaveItemPosition("gauge9", 1, 2);
    EXPECT_EQ(Value("gauge9"), "");
    SaveItemPosition("control2", 15, 25);
    EXPECT_EQ(Value("control2"), "TESTLOCO.reverser, 25:15");
}

}  // namespace
