// The first screen and the new-situation window, driven without blocking.
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QCheckBox>
#include <QPushButton>
#include <QPointer>
#include <QTimer>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>

#include "../../common/box_texts.h"
#include "app/sim_space.h"
#include "app/sim_state.h"
#include "cab/cab_picture.h"
#include "forms/selection_forms.h"
#include "platform/msgbox.h"
#include "train/train_file.h"
#include "train/vehicle.h"
#include "train/yard_form.h"

namespace {

namespace fs = std::filesystem;

TVehicleRec Vehicle(const char* name, int traction, double mass, double length)
{
    TVehicleRec r;
    r.name = name;
    r.isTraction = traction;
    r.mass = mass;
    r.length = length;
    r.numAxles = 4;
    return r;
}

std::vector<std::string> Items(const QComboBox* box)
{
    std::vector<std::string> items;
    for (int i = 0; i < box->count(); i++)
        items.push_back(box->itemText(i).toStdString());
    return items;
}

class SelectionFormsTest : public testing::Test {
protected:
    void SetUp() override
    {
        ResetSimState();
        ClearConsist(Consist);
        plat_message_box_clear_records();
        root = fs::weakly_canonical(fs::path(DROVIK_TEST_BINARY_DIR) / "selection_root");
        fs::remove_all(root);
        const fs::path route = root / "routes" / "Tarrow-Venn";
        fs::create_directories(route);
        fs::create_directories(root / "routes" / "branch line");
        fs::create_directories(root / "situations");
        fs::create_directories(root / "rail yard");
        for (const char* file : {"Tarrow-Venn.dat", "track_profile.txt", "0905 Freight.txt",
                                 "debug.txt", "Tarr_Venn_survey.txt"})
            std::ofstream(route / file) << "x\n";
        TConsist train;
        ClearConsist(train);
        AddVehicle(train, 0, Vehicle("RE-RUZ125", 1, 88, 19.5));
        AddVehicle(train, 1, Vehicle("BOX-40", 0, 60, 12.5));
        std::string error;
        ASSERT_TRUE(SaveTrain((root / "rail yard" / "Demo Freight.trn").string(), train, &error));
        ASSERT_TRUE(SaveTrain((root / "rail yard" / "another.trn").string(), train, &error));
        std::ofstream(root / "situations" / "Previous Situation.txt")
            << "Tarrow-Venn.dat\r\n5\r\n0905 Freight.txt\r\nDemo Freight.trn\r\n7  30\r\nDRY\r\n";
        std::ofstream(root / "situations" / "Evening run.txt")
            << "Tarrow-Venn.dat\r\n9\r\n0905 Freight.txt\r\nanother.trn\r\n18  5\r\nWET\r\n";
        saved = QDir::currentPath();
        QDir::setCurrent(QString::fromStdString(root.string()));
    }
    void TearDown() override
    {
        QDir::setCurrent(saved);
        ResetSimState();
        ClearConsist(Consist);
    }

    // Acts on each modal dialog as it opens, until the actions run out.
    static void DriveModals(std::vector<std::function<void(QWidget*)>> actions)
    {
        auto* timer = new QTimer(qApp);
        auto remaining = std::make_shared<decltype(actions)>(std::move(actions));
        // A guarded pointer: a later modal may be built at the address of one already destroyed.
        auto last = std::make_shared<QPointer<QWidget>>();
        QObject::connect(timer, &QTimer::timeout, [timer, remaining, last] {
            QWidget* modal = QApplication::activeModalWidget();
            if (!modal || modal == last->data())
                return;
            *last = modal;
            auto action = remaining->front();
            remaining->erase(remaining->begin());
            if (remaining->empty())
                timer->deleteLater();
            action(modal);
        });
        timer->start(10);
    }

    fs::path root;
    QString saved;
};

TEST_F(SelectionFormsTest, ListingsInAFixedOrder)
{
    const fs::path folder = root / "listing";
    fs::create_directories(folder / "Sub");
    fs::create_directories(folder / "another");
    for (const char* name : {"b.txt", "A.txt", "a.txt", "_x.txt", "10.txt", ".hidden"})
        std::ofstream(folder / name) << "x";
    const std::string path = root.string() + "\\LISTING";
    EXPECT_EQ(ListFiles(path),
              std::vector<std::string>({"10.txt", "_x.txt", "A.txt", "a.txt", "b.txt"}));
    EXPECT_EQ(ListFolders(path), std::vector<std::string>({"another", "Sub"}));
    EXPECT_TRUE(ListFiles(root.string() + "\\missing").empty());
}

TEST_F(SelectionFormsTest, FirstScreenOffersPreviousSituationFirst)
{
    TSelForm form;
    form.FormShow();
    EXPECT_EQ(SimState.paths.root, root.string());
    EXPECT_EQ(Items(form.ComboBox1),
              std::vector<std::string>({"Evening run.txt", "Previous Situation.txt"}));
    EXPECT_EQ(form.ComboBox1->currentIndex(), -1);
    EXPECT_EQ(form.ComboBox1->placeholderText(), "Previous Situation");
    EXPECT_TRUE(form.LoadButton->isDefault());
    EXPECT_TRUE(form.windowFlags() & Qt::FramelessWindowHint);
    form.ComboBox1Exit();
    EXPECT_EQ(SimState.paths.situation, root.string() + "\\situations\\Previous Situation.txt");
    form.ComboBox1->setCurrentIndex(0);
    form.ComboBox1Exit();
    EXPECT_EQ(SimState.paths.situation, root.string() + "\\situations\\Evening run.txt");
}

TEST_F(SelectionFormsTest, FirstScreenShowsItsPicture)
{
    fs::create_directories(root / "images");
    QImage picture(32, 24, QImage::Format_RGB32);
    picture.fill(Qt::blue);
    std::string error;
    ASSERT_TRUE(SaveJpegFile((root / "images" / "first_scrn.jpg").string(), picture, 95, &error))
        << error;
    TSelForm form;
    form.FormShow();
    EXPECT_EQ(form.Image1->pixmap().size(), QSize(32, 24));
}

TEST_F(SelectionFormsTest, LoadReadsTheSituationAndItsTrain)
{
    DriveModals({[](QWidget* modal) {
        auto* form = qobject_cast<TSelForm*>(modal);
        ASSERT_NE(form, nullptr);
        form->LoadButton->click();
    }});
    ShowSelForm();
    EXPECT_EQ(SimState.paths.situation, root.string() + "\\situations\\Previous Situation.txt");
    EXPECT_EQ(SimState.paths.route,
              root.string() + "\\routes\\Tarrow-Venn\\Tarrow-Venn.dat");
    EXPECT_EQ(SimState.paths.train, root.string() + "\\rail yard\\Demo Freight.trn");
    EXPECT_EQ(SimState.startSegment, 5);
    EXPECT_EQ(SimState.startHour, 7);
    EXPECT_EQ(SimState.startMinute, 30);
    EXPECT_EQ(Consist.count, 2);
    EXPECT_DOUBLE_EQ(Consist.tonnage, 148.0);
    EXPECT_TRUE(BoxTexts().empty());
}

TEST_F(SelectionFormsTest, MissingSituationKeepsTheTrain)
{
    fs::remove(root / "situations" / "Previous Situation.txt");
    AddVehicle(Consist, 0, Vehicle("RE-RUZ125", 1, 88, 19.5));
    DriveModals({[](QWidget* modal) { qobject_cast<TSelForm*>(modal)->LoadButton->click(); }});
    ShowSelForm();
    EXPECT_EQ(BoxTexts(), std::vector<std::string>(
                              {"The situation file \"" + root.string() +
                               "\\situations\\Previous Situation.txt\" was not found."}));
    EXPECT_EQ(Consist.count, 1);
}

TEST_F(SelectionFormsTest, EscapeMeansNewAndClosingMeansNothing)
{
    bool sawSecond = false;
    DriveModals({[](QWidget* modal) {
                     QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
                     QApplication::sendEvent(modal, &escape);
                 },
                 [&sawSecond](QWidget* modal) {
                     auto* form = qobject_cast<TSel2Form*>(modal);
                     sawSecond = form != nullptr;
                     if (form)
                         form->OkButton->click();
                 }});
    ShowSelForm();
    EXPECT_TRUE(sawSecond);

    DriveModals({[](QWidget* modal) { modal->close(); }});
    ShowSelForm();
    EXPECT_TRUE(SimState.paths.situation.empty());
    EXPECT_EQ(Consist.count, 0);
}

TEST_F(SelectionFormsTest, NewSituationFormTexts)
{
    TSel2Form form;
    EXPECT_EQ(form.RouteBox->placeholderText(), "No Route");
    EXPECT_EQ(form.WorkBox->placeholderText(), "No Working");
    EXPECT_EQ(form.TrainBox->placeholderText(), "No Train");
    EXPECT_EQ(form.Edit1->text(), "Enter new name");
    EXPECT_EQ(form.OkButton->text(), "OK");
    EXPECT_EQ(form.AddTrainButton->text(), "Add Train . . .");
    EXPECT_EQ(form.SaveButton->text(), "Save");
    QStringList labels;
    for (const QLabel* label : form.findChildren<QLabel*>()) labels << label->text();
    for (const char* text :
         {"Select Route: ", "Select Working: ", "Select Train: ", "Situation Name:"})
        EXPECT_TRUE(labels.contains(text)) << text;
}

TEST_F(SelectionFormsTest, NewSituationChoosesFirstRouteWorkingAndCurrentTrain)
{
    SimState.paths.root = root.string();
    SimState.paths.train = root.string() + "\\rail yard\\Demo Freight.trn";
    TSel2Form form;
    EXPECT_EQ(form.windowTitle(), "Select Route, Timetable & Train");
    form.FormShow();
    EXPECT_EQ(Items(form.RouteBox), std::vector<std::string>({"branch line", "Tarrow-Venn"}));
    EXPECT_EQ(form.RouteBox->currentText(), "branch line");
    EXPECT_EQ(form.WorkBox->currentIndex(), -1);  // a route folder without files
    EXPECT_TRUE(SimState.paths.timetable.empty());

    form.RouteBox->setCurrentIndex(1);
    EXPECT_EQ(Items(form.WorkBox),
              std::vector<std::string>({"0905 Freight.txt", "debug.txt", "Tarr_Venn_survey.txt",
                                        "Tarrow-Venn.dat", "track_profile.txt"}));
    EXPECT_EQ(form.WorkBox->currentText(), "0905 Freight.txt");
    EXPECT_EQ(SimState.paths.route, root.string() + "\\routes\\Tarrow-Venn\\Tarrow-Venn.dat");
    EXPECT_EQ(SimState.paths.timetable, root.string() + "\\routes\\Tarrow-Venn\\0905 Freight.txt");
    EXPECT_EQ(Items(form.TrainBox), std::vector<std::string>({"another.trn", "Demo Freight.trn"}));
    EXPECT_EQ(form.TrainBox->currentText(), "Demo Freight.trn");
    EXPECT_EQ(Consist.count, 0);  // only shown, not read

    form.WorkBox->setCurrentIndex(1);
    EXPECT_EQ(SimState.paths.timetable, root.string() + "\\routes\\Tarrow-Venn\\debug.txt");
    form.TrainBox->setCurrentIndex(0);
    EXPECT_EQ(SimState.paths.train, root.string() + "\\rail yard\\another.trn");
    EXPECT_EQ(SimState.trainName, "another");
    EXPECT_EQ(Consist.count, 2);
}

// "Add Train . . .": OK in the yard saves the new train, which the train list then offers
// and the situation uses, read back from its file.
TEST_F(SelectionFormsTest, AddTrainSavesTheTrainAndRefreshesTheList)
{
    const fs::path loco = root / "traction" / "RE-RUZ125";
    fs::create_directories(loco);
    std::ofstream(loco / "RE-RUZ125.ini")
        << "[general]\r\ntraction_type=ELE\r\n[loco physics]\r\nmass=88\r\nlength=19.5\r\n"
           "maxTraction=250\r\npower_hp=3000\r\nmaxBrake=150\r\nnumAxles=4\r\n";
    std::ofstream(loco / "RE-RUZ125-ext.bmp") << "BM";
    SimState.paths.root = root.string();
    TSel2Form form;
    form.FormShow();
    DriveModals({[](QWidget* modal) {
        auto* yard = qobject_cast<TYardForm1*>(modal);
        ASSERT_NE(yard, nullptr);
        EXPECT_FALSE(yard->SaveTrainCheckBox->isChecked());
        yard->ChooseTraction("RE-RUZ125");
        yard->DrawGrid1MouseDown(0, 0, false);
        yard->Edit1Change("Light Engine");
        yard->done(1);
    }});
    form.AddTrainButton->click();

    const fs::path saved = root / "rail yard" / "Light Engine.trn";
    ASSERT_TRUE(fs::exists(saved));
    EXPECT_EQ(fs::file_size(saved), 120u);
    EXPECT_EQ(BoxTexts(), std::vector<std::string>{"Train:  \"Light Engine\"  was saved to disk."});
    EXPECT_EQ(Items(form.TrainBox), std::vector<std::string>({"another.trn", "Demo Freight.trn",
                                                              "Light Engine.trn"}));
    EXPECT_EQ(form.TrainBox->currentText(), "Light Engine.trn");
    EXPECT_EQ(SimState.paths.train, root.string() + "\\rail yard\\Light Engine.trn");
    ASSERT_EQ(Consist.count, 1);
    EXPECT_EQ(Consist.recs[0].name, "RE-RUZ125");
    EXPECT_DOUBLE_EQ(Consist.tonnage, 88.0);
}

TEST_F(SelectionFormsTest, SaveWritesTheSituationAndSaysSo)
{
    SimState.paths.root = root.string();
    SimState.clock = (10 * 60 + 15) / 1440.0;
    TSel2Form form;
    form.FormShow();
    form.RouteBox->setCurrentIndex(1);
    form.TrainBox->setCurrentIndex(1);
    form.Edit1->setText("Late shift");
    form.SaveClick();
    EXPECT_EQ(BoxTexts(),
              std::vector<std::string>({"Situation   \"Late shift.txt\"\r  was saved to disk."}));
    EXPECT_EQ(SimState.paths.situation, root.string() + "\\situations\\Late shift.txt");
    std::stringstream text;
    text << std::ifstream(root / "situations" / "Late shift.txt").rdbuf();
    EXPECT_EQ(text.str(), "Tarrow-Venn.dat\r\n3\r\n0905 Freight.txt\r\nDemo Freight.trn\r\n"
                          "10  15\r\nDRY\r\n");
}

TEST_F(SelectionFormsTest, SaveWithoutATrainSaysItWasNotSaved)
{
    SimState.paths.root = root.string();
    TSel2Form form;
    form.FormShow();
    form.RouteBox->setCurrentIndex(1);
    form.Edit1->setText("No train");
    form.SaveClick();
    ASSERT_EQ(BoxTexts().size(), 1u);
    EXPECT_EQ(BoxTexts()[0].find("was saved"), std::string::npos);
    EXPECT_FALSE(fs::exists(root / "situations" / "No train.txt"));

    plat_message_box_clear_records();
    form.Edit1->setText("..\\escape");
    form.SaveClick();
    EXPECT_EQ(BoxTexts().size(), 1u);
    EXPECT_FALSE(fs::exists(root / "escape.txt"));
}

}  // namespace
