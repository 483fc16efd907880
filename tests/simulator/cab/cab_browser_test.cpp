// The cab item browser: listing, previews, inserting an item and "New".
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>

#include <cmath>

#include "app/main_window.h"
#include "cab/cab_item_browser.h"
#include "cab/cab_items.h"
#include "editor_fixture.h"
#include "train/physics.h"

namespace {

namespace fs = std::filesystem;

// A model "RE-RUZ125" with two levers; the speed gauge's file is there but not placed.
class CabBrowserTest : public EditorTest {
protected:
    void SetUp() override
    {
        EditorTest::SetUp();
        WritePicture("RE-RUZ125");
        WriteIni("RE-RUZ125", "control1=RE-RUZ125.throttle, 300:50\r\n"
                              "control2=RE-RUZ125.reverser, 300:120\r\n");
        WriteItem("RE-RUZ125.throttle", LeverFile(16, 17));
        WriteItem("RE-RUZ125.reverser", LeverFile(3, 4));
        WriteItem("RE-RUZ125.speed", GaugeFile());
        WriteItem("RE-RUZ125.horn", PushSwitchFile());
        std::ofstream(root / "cab items" / "broken.cit", std::ios::binary) << "not a cab item";
        EditCabLayout("RE-RUZ125");
        ASSERT_EQ(CabItems.leverCount, 2);
        plat_message_box_clear_records();
    }
    std::string Value(const std::string& key)
    {
        return TIniFile(IniPath("RE-RUZ125")).ReadString("cab layout", key, "");
    }
    static void Click(TCITbrowse& b, const char* file)
    {
        const auto found = b.FileListBox1->findItems(file, Qt::MatchExactly);
        ASSERT_EQ(found.size(), 1) << file;
        b.FileListBox1->setCurrentItem(found.front());
    }
};

TEST_F(CabBrowserTest, ListsFilesAndPreviewsTheClickedOne)
{
    TCITbrowse b;
    b.FormShow();
    QStringList files;
    for (int i = 0; i < b.FileListBox1->count(); ++i) files << b.FileListBox1->item(i)->text();
    EXPECT_TRUE(files.contains("RE-RUZ125.speed.cit"));
    EXPECT_TRUE(files.contains("TESTLOCO.speed.cit"));
    EXPECT_FALSE(files.contains("filenames.txt"));
    EXPECT_EQ(b.count_label->text(), "- -");
    EXPECT_EQ(b.type_label->text(), "CIT type: ");
    EXPECT_EQ(b.Panel1->text(), "(Preview)");
    EXPECT_EQ(b.OK_button->text(), "Insert");
    EXPECT_EQ(b.new_button->text(), "New");
    EXPECT_FALSE(b.OK_button->isEnabled());

    struct Case {
        const char* file;
        const char* type;
        const char* count;
        TCabItemType kind;
        const char* function;
    };
    for (const Case& c : {Case{"RE-RUZ125.speed.cit", "CIT type: gauge", "gauge1", citGauge,
                               "speed"},
                          {"RE-RUZ125.throttle.cit", "CIT type: control lever", "control3",
                           citLever, "throttle"},
                          {"TESTLOCO.sander.cit", "CIT type: toggle switch", "swtogg1", citToggle,
                           "sander"},
                          {"RE-RUZ125.horn.cit", "CIT type: push button", "swpush1", citPush,
                           "horn"},
                          {"TESTLOCO.wheelslip.cit", "CIT type: light bulb/LED", "light1",
                           citLight, "wheelslip"}}) {
        Click(b, c.file);
        EXPECT_EQ(b.type_label->text(), c.type);
        EXPECT_EQ(b.count_label->text(), c.count);
        EXPECT_EQ(b.Type(), c.kind);
        EXPECT_EQ(b.model_te->text(), c.function);
        EXPECT_TRUE(b.Panel1->text().isEmpty());
        QWidget* preview = b.Preview(c.kind);
        ASSERT_NE(preview, nullptr);
        EXPECT_TRUE(preview->isVisibleTo(b.Panel1)) << c.file;
        EXPECT_EQ(preview->geometry().center(), b.Panel1->rect().center());
        for (TCabItemType other : {citLever, citGauge, citToggle, citPush, citLight})
            if (other != c.kind) {
                EXPECT_FALSE(b.Preview(other)->isVisibleTo(b.Panel1));
            }
    }
    EXPECT_EQ(b.loco_te->text(), "TESTLOCO");
    EXPECT_TRUE(BoxTexts().empty());

    // A file that is no cab item says so and leaves nothing to insert.
    Click(b, "broken.cit");
    ASSERT_EQ(BoxTexts().size(), 1u);
    EXPECT_NE(BoxTexts()[0].find("broken.cit"), std::string::npos);
    EXPECT_FALSE(b.OK_button->isEnabled());
}

TEST_F(CabBrowserTest, InsertWritesTheKeyAndShowsTheItem)
{
    TCITbrowse b;
    b.FormShow();
    Click(b, "RE-RUZ125.throttle.cit");
    b.InsertCabItem();
    EXPECT_TRUE(BoxTexts().empty());
    EXPECT_EQ(Value("control3"), "RE-RUZ125.throttle, 350:280");
    ASSERT_EQ(CabItems.leverCount, 3);
    EXPECT_EQ(CabItems.levers[2]->pos(), QPoint(280, 350));
    EXPECT_EQ(CabItems.levers[2]->objectName(), "control3");
}

// Gauges of one function all show its value, not only the one inserted last.
TEST_F(CabBrowserTest, TwoSpeedGaugesBothReadTheSpeed)
{
    for (int i = 0; i < 2; ++i) {
        TCITbrowse b;
        b.FormShow();
        Click(b, "RE-RUZ125.speed.cit");
        b.InsertCabItem();
    }
    EXPECT_TRUE(BoxTexts().empty());
    ASSERT_EQ(CabItems.gaugeCount, 2);
    EXPECT_EQ(Value("gauge2"), "RE-RUZ125.speed, 350:280");
    for (const double speed : {42.0, 17.4}) {
        Physics.speed.value = speed;
        UpdateCabItems();
        EXPECT_EQ(CabItems.gauges[0]->Progress(), int(std::lround(speed))) << speed;
        EXPECT_EQ(CabItems.gauges[1]->Progress(), int(std::lround(speed))) << speed;
    }
    Physics.speed.value = 0.0;
}

TEST_F(CabBrowserTest, InsertOfAMissingFileWritesNothing)
{
    const std::string before = ReadAll(IniPath("RE-RUZ125"));
    TCITbrowse b;
    b.FormShow();
    Click(b, "RE-RUZ125.speed.cit");
    b.model_te->setText("nosuch");
    b.InsertCabItem();
    EXPECT_EQ(BoxTexts(), std::vector<std::string>{"CIT file not found: \r\" " + root.string() +
                                                   "\\cab items\\RE-RUZ125.nosuch.cit \""});
    EXPECT_EQ(ReadAll(IniPath("RE-RUZ125")), before);
    EXPECT_EQ(CabItems.gaugeCount, 0);
}

TEST_F(CabBrowserTest, InsertMenuOpensTheBrowserAndInserts)
{
    ASSERT_TRUE(OnModal<TCITbrowse>([&] { window->Insert1->trigger(); }, [](TCITbrowse& b) {
        Click(b, "RE-RUZ125.speed.cit");
        b.OK_button->click();
    }));
    EXPECT_EQ(Value("gauge1"), "RE-RUZ125.speed, 350:280");
    ASSERT_EQ(CabItems.gaugeCount, 1);
    EXPECT_EQ(CabItems.gauges[0]->pos(), QPoint(280, 350));
    EXPECT_EQ(Physics.speed.name, "g1");
}

TEST_F(CabBrowserTest, NewOpensTheDialogOfTheClickedType)
{
    QString title;
    bool browserHidden = false;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&] {
        QWidget* modal = QApplication::activeModalWidget();
        if (auto* b = qobject_cast<TCITbrowse*>(modal)) {
            Click(*b, "RE-RUZ125.speed.cit");
            b->new_button->click();
        } else if (auto* f = qobject_cast<TGaugeEditForm*>(modal)) {
            title = f->editTitle->text();
            browserHidden = !window->findChild<TCITbrowse*>() ||
                            window->findChild<TCITbrowse*>()->isHidden();
            f->cancelButton->click();
        }
    });
    timer.start(5);
    window->Insert1->trigger();
    EXPECT_EQ(title, "Edit: gauge1 (TGauge)");
    EXPECT_TRUE(browserHidden);
    EXPECT_EQ(CabItems.gaugeCount, 0);
    EXPECT_EQ(Value("gauge1"), "");
}

}  // namespace
