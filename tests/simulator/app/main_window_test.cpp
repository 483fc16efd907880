// The main cab window: caption, size, menus, start/stop, messages and close order.
#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>
#include <QToolTip>
#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <thread>
#include <vector>

#include "../../common/box_texts.h"
#include "../../common/recording_engine3d.h"
#include "../../common/route_files.h"
#include "../../common/widget_pixels.h"
#include "../shared/reset_simulation.h"
#include "app/main_window.h"
#include "app/sim_hooks.h"
#include "app/sim_state.h"
#include "platform/clock.h"
#include "platform/msgbox.h"
#include "train/physics.h"
#include "train/vehicle.h"

namespace {

std::vector<uint32_t> sleeps;
void RecordSleep(uint32_t ms) { sleeps.push_back(ms); }

class MainWindowTest : public testing::Test {
protected:
    void SetUp() override
    {
        ResetSimulation();
        plat_message_box_clear_records();
        sleeps.clear();
        plat_clock_override(nullptr, RecordSleep);
        root = std::filesystem::weakly_canonical(std::filesystem::path(DROVIK_TEST_BINARY_DIR) / "window_root");
        std::filesystem::remove_all(root);
        WriteRouteFiles(root);
        SimState.paths.root = root.string();
        savedDir = QDir::currentPath();
        SetEngine3D(&engine);
    }
    void TearDown() override
    {
        SetEngine3D(nullptr);
        QDir::setCurrent(savedDir);
        plat_clock_override(nullptr, nullptr);
    }
    std::filesystem::path root;
    QString savedDir;
    TRecordingEngine3D engine;

    // A small train, so "Start Sim" has something to drive.
    static void GiveTrain(double tonnage = 420, double length = 60)
    {
        std::lock_guard guard(SimLock);
        Consist.count = 1;
        Consist.tonnage = tonnage;
        Consist.length = length;
    }
};

QStringList ActionTexts(const QMenu* menu)
{
    QStringList texts;
    for (const QAction* a : menu->actions())
        texts << (a->isSeparator() ? QString("-") : a->text());
    return texts;
}

TEST_F(MainWindowTest, CaptionFixedClientAndPanels)
{
    TVaruRor w;
    EXPECT_EQ(w.windowTitle(), "Varu Ror");
    EXPECT_EQ(w.centralWidget()->size(), QSize(793, 524));
    EXPECT_EQ(w.minimumSize(), w.maximumSize());
    EXPECT_EQ(w.ThreeDPanel->geometry(), QRect(0, 0, 579, 218));
    EXPECT_EQ(w.ThreeDPanel->text(), "Select 'Start Sim' from File menu");
    EXPECT_GE(w.InfoBoxLabel1->width(), 90);
    EXPECT_GE(w.InfoBoxLabel1->height(), 200);
    EXPECT_TRUE(w.InfoMemo->isHidden());
    EXPECT_TRUE(w.Button1->isHidden());
    EXPECT_EQ(w.Button1->text(), "test lights");
    EXPECT_EQ(w.Button3->text(), "Timetable");
    EXPECT_EQ(w.HiResTimer1.Interval(), 50);
    EXPECT_EQ(w.HiResTimer1.Resolution(), 5);
}

// Pixels of a grabbed widget that stand out from its commonest colour (its background) by
// more than half the brightness range: the strokes of its text.
int TextPixels(QWidget* widget)
{
    const std::map<QRgb, int> counts = ColourCounts(widget);
    const QRgb background = Commonest(counts);
    int text = 0;
    for (const auto& [colour, count] : counts)
        if (std::abs(qGray(colour) - qGray(background)) > 128)
            text += count;
    return text;
}

TEST_F(MainWindowTest, HintsAndButtonsOverTheCabKeepTheirColours)
{
    TVaruRor w;
    w.show();
    // "test lights", as the editor shows it.
    w.Button1->show();
    EXPECT_GT(TextPixels(w.Button1), 20);

    // The hint of an item on the cab picture.
    auto* item = new QWidget(w.cab_bkgd);
    item->setGeometry(30, 234, 100, 100);
    item->setToolTip("speed");
    item->show();
    QToolTip::showText(item->mapToGlobal(QPoint(50, 50)), item->toolTip(), item);
    QWidget* hint = nullptr;
    for (QWidget* top : QApplication::topLevelWidgets())
        if (top->inherits("QTipLabel") && top->isVisible())
            hint = top;
    ASSERT_NE(hint, nullptr);
    EXPECT_GT(TextPixels(hint), 20);
    QToolTip::hideText();
}

TEST_F(MainWindowTest, MenuTexts)
{
    TVaruRor w;
    QStringList titles;
    for (const QAction* a : w.MainMenu1->actions())
        titles << a->text();
    EXPECT_EQ(titles, QStringList({"File", "Edit", "Cab Items", "Environment", "Help"}));
    EXPECT_EQ(ActionTexts(w.File1),
              QStringList({"New Situation . . .", "Load Situation . . .",
                           "Save Situation . . .", "Start Sim", "-", "Quit"}));
    EXPECT_EQ(ActionTexts(w.Edit1),
              QStringList({"Train Consist . . .", "Loco Physics . . .", "Cab Layout . . ."}));
    EXPECT_EQ(ActionTexts(w.CIT_menu), QStringList({"Insert . . .", "Edit . . ."}));
    EXPECT_EQ(ActionTexts(w.Enviroment1), QStringList({"Jump to . . .", "Options . . ."}));
    EXPECT_EQ(ActionTexts(w.Help1).front(), "Kestrovane Help");
}

TEST_F(MainWindowTest, StartAndStopSim)
{
    SimState.tractionModel = "Class 86";
    GiveTrain(420);
    TVaruRor w;
    w.StartStopSim();
    EXPECT_TRUE(w.HiResTimer1.Enabled());
    EXPECT_EQ(w.windowTitle(), "Class 86: Sim running . . .");
    EXPECT_EQ(w.Open1->text(), "Stop Sim");
    EXPECT_FALSE(w.CIT_menu->menuAction()->isEnabled());
    EXPECT_FALSE(w.CabLayout1->isEnabled());
    {
        std::lock_guard guard(SimLock);
        EXPECT_EQ(Physics.mass, 420.0);
        EXPECT_EQ(Physics.stepLength, 50.0);
    }
    w.StartStopSim();
    EXPECT_FALSE(w.HiResTimer1.Enabled());
    EXPECT_EQ(w.windowTitle(), "Class 86: Sim stopped.");
    EXPECT_EQ(w.Open1->text(), "Start Sim");
    EXPECT_TRUE(w.CabLayout1->isEnabled());
}

TEST_F(MainWindowTest, RunningSimulationFillsTheInformationBox)
{
    GiveTrain();
    TVaruRor w;
    w.StartStopSim();
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (w.InfoBoxLabel1->text().isEmpty() && std::chrono::steady_clock::now() < end) {
        QApplication::processEvents();
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    w.StartStopSim();
    EXPECT_TRUE(w.InfoBoxLabel1->text().startsWith("notch: 0\ntraction: 0 kN\nbrake: lap\n"))
        << w.InfoBoxLabel1->text().toStdString();
    std::lock_guard guard(SimLock);
    EXPECT_GT(SimState.clock, 9 / 24.0);
}

TEST_F(MainWindowTest, JumpBeforeStartIsRefused)
{
    TVaruRor w;
    w.Jumpto1Click();
    EXPECT_EQ(BoxTexts(),
              std::vector<std::string>({"Start sim before attempting\rto jump to new location."}));
}

TEST_F(MainWindowTest, JumpDialogTexts)
{
    TVaruRor w;
    {
        std::lock_guard guard(SimLock);
        SimState.worldLoaded = true;
    }
    QString title;
    QStringList labels;
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, [&] {
        if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
            title = dialog->windowTitle();
            for (const QLabel* label : dialog->findChildren<QLabel*>())
                labels << label->text();
            dialog->reject();
        }
    });
    closer.start(10);
    w.Jumpto1Click();
    EXPECT_EQ(title, "Move to new track location");
    const QString prompt = QString("Jump to track segment (3 - %1): ").arg(SegmentCount() - 3);
    EXPECT_EQ(labels, QStringList({prompt, "Warning:  the scenery will slowly redraw"}));
    EXPECT_TRUE(BoxTexts().empty());
}

TEST_F(MainWindowTest, SaveSituationDialogTitleAndExtension)
{
    TVaruRor w;
    QString title;
    QString suffix;
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, [&] {
        if (auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget())) {
            title = dialog->windowTitle();
            suffix = dialog->defaultSuffix();
            dialog->reject();
        }
    });
    closer.start(10);
    w.SaveSituation1->trigger();
    EXPECT_EQ(title, "Save current situation . . .");
    EXPECT_EQ(suffix, "txt");
    EXPECT_TRUE(BoxTexts().empty());
}

// A saved situation is reported, as on the first screen.
TEST_F(MainWindowTest, SaveSituationSaysItWasSaved)
{
    for (const char* file : {"routes/Line/Line.dat", "routes/Line/Timetable.txt", "rail yard/Goods.trn"}) {
        std::filesystem::create_directories((root / file).parent_path());
        std::ofstream(root / file) << "x";
    }
    SimState.paths.route = root.string() + "\\routes\\Line\\Line.dat";
    SimState.paths.timetable = root.string() + "\\routes\\Line\\Timetable.txt";
    SimState.paths.train = root.string() + "\\rail yard\\Goods.trn";
    std::filesystem::create_directories(root / "situations");
    TVaruRor w;
    bool done = false;
    QTimer chooser;
    QObject::connect(&chooser, &QTimer::timeout, [&] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (!dialog || done)
            return;
        done = true;
        // Typed as a user does: selectFile leaves the name field alone while it has the focus.
        auto* name = dialog->findChild<QLineEdit*>("fileNameEdit");
        if (!name) {
            ADD_FAILURE() << "the save dialog has no file name field";
            dialog->reject();
            return;
        }
        name->setText("Evening.txt");
        QMetaObject::invokeMethod(dialog, "accept");
    });
    chooser.start(10);
    w.SaveSituation1->trigger();
    EXPECT_TRUE(std::filesystem::exists(root / "situations" / "Evening.txt"));
    EXPECT_EQ(BoxTexts(), std::vector<std::string>{"Situation   \"Evening.txt\"\r  was saved to disk."});
}

// OK on a segment that cannot be jumped to keeps the dialog open with what was typed.
TEST_F(MainWindowTest, JumpDialogKeepsABadSegment)
{
    TVaruRor w;
    {
        std::lock_guard guard(SimLock);
        SimState.worldLoaded = true;
    }
    bool openAfterOk = false;
    QString typed;
    bool done = false;
    QTimer worker;
    QObject::connect(&worker, &QTimer::timeout, [&] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!dialog || done)
            return;
        done = true;
        auto* edit = dialog->findChild<QLineEdit*>("Edit1");
        edit->setText("abc");
        dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
        openAfterOk = dialog->isVisible();
        typed = edit->text();
        dialog->reject();
    });
    worker.start(10);
    w.Jumpto1Click();
    EXPECT_TRUE(openAfterOk);
    EXPECT_EQ(typed, "abc");
    EXPECT_EQ(BoxTexts(), std::vector<std::string>{"'abc' is not a valid integer value"});
}

TEST_F(MainWindowTest, JumpToSegmentTextMustBeANumberInRange)
{
    TVaruRor w;
    EXPECT_FALSE(w.JumpToSegmentText("abc"));
    EXPECT_FALSE(w.JumpToSegmentText("2"));
    // No route is built yet: no segment is in range.
    EXPECT_EQ(BoxTexts(), std::vector<std::string>({"'abc' is not a valid integer value",
                                                    "There is no track segment 2: choose one from 3 to -3."}));
}

TEST_F(MainWindowTest, MissingHelpFileIsReported)
{
    TVaruRor w;
    w.KestrovaneHelp1Click();
    EXPECT_EQ(BoxTexts(), std::vector<std::string>({"The help file ./Help/Kestrovane.HLP was not found."}));
}

TEST_F(MainWindowTest, ZoomKeysChangeTheStoredZoom)
{
    TVaruRor w;
    {
        std::lock_guard guard(SimLock);
        SimState.cameraZoom = 70;
    }
    QKeyEvent minus(QEvent::KeyPress, Qt::Key_Minus, Qt::NoModifier, "-");
    QKeyEvent equal(QEvent::KeyPress, Qt::Key_Equal, Qt::NoModifier, "=");
    QKeyEvent other(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, "a");
    QApplication::sendEvent(&w, &minus);
    QApplication::sendEvent(&w, &minus);
    QApplication::sendEvent(&w, &equal);
    QApplication::sendEvent(&w, &other);
    std::lock_guard guard(SimLock);
    EXPECT_EQ(SimState.cameraZoom, 68.0);
}

TEST_F(MainWindowTest, CloseStopsTheTimerAndWaits)
{
    GiveTrain();
    TVaruRor w;
    w.StartStopSim();
    ASSERT_TRUE(w.HiResTimer1.Enabled());
    w.close();
    EXPECT_FALSE(w.HiResTimer1.Enabled());
    EXPECT_EQ(sleeps, std::vector<uint32_t>({200}));
}

TEST_F(MainWindowTest, ShowInfoBoxBreaksLines)
{
    TVaruRor w;
    w.ShowInfoBox("a\rb\r");
    EXPECT_EQ(w.InfoBoxLabel1->text(), "a\nb\n");
}

}  // namespace
