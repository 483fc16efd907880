// The main cab window: cab picture, 3D panel, information box, menus, start/stop and close.
#include "app/main_window.h"

#include <QCloseEvent>
#include <QDesktopServices>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>
#include <cstdio>
#include <functional>
#include <mutex>
#include <random>
#include <utility>

#include "app/qt_message_box.h"
#include "app/sim_hooks.h"
#include "app/sim_state.h"
#include "app/sim_tick.h"
#include "app/sound_fx.h"
#include "cab/traction_model.h"
#include "platform/clock.h"
#include "platform/msgbox.h"
#include "platform/paths.h"
#include "train/physics.h"
#include "train/vehicle.h"
#include "train/yard_form.h"

namespace {

constexpr int kClientWidth = 793;
constexpr int kClientHeight = 524;
constexpr const char* kHelpFile = "./Help/Kestrovane.HLP";

void ShowError(const std::string& text)
{
    plat_message_box("Kestrovane", text.c_str(), PLAT_ICON_ERROR, PLAT_BUTTONS_OK);
}

// "Move to new track location": OK jumps to the segment typed; one it cannot jump to keeps the
// dialog open with what was typed.
class TOKBottomDlg : public QDialog {
public:
    TOKBottomDlg(QWidget* parent, int lastSegment, std::function<bool(const QString&)> jump)
        : QDialog(parent), jump_(std::move(jump))
    {
        setWindowTitle("Move to new track location");
        auto* layout = new QVBoxLayout(this);
        layout->addWidget(
            new QLabel(QString("Jump to track segment (3 - %1): ").arg(lastSegment), this));
        edit = new QLineEdit(this);
        edit->setObjectName("Edit1");
        layout->addWidget(edit);
        layout->addWidget(new QLabel("Warning:  the scenery will slowly redraw", this));
        auto* buttons =
            new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
        connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
        connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
        layout->addWidget(buttons);
    }
    void accept() override
    {
        if (jump_(edit->text()))
            QDialog::accept();
        else
            edit->setFocus();
    }
    QLineEdit* edit;

private:
    std::function<bool(const QString&)> jump_;
};

}  // namespace

TVaruRor* VaruRor = nullptr;

TVaruRor::TVaruRor(QWidget* parent) : QMainWindow(parent)
{
    VaruRor = this;
    setWindowTitle("Varu Ror");

    cab_bkgd = new QLabel(this);
    cab_bkgd->setObjectName("cab_bkgd");
    cab_bkgd->setFixedSize(kClientWidth, kClientHeight);
    cab_bkgd->setAttribute(Qt::WA_OpaquePaintEvent);
    cab_bkgd->setAutoFillBackground(true);
    // Scoped to the picture itself: hints, buttons and the cab items keep their own colours.
    cab_bkgd->setStyleSheet("QLabel#cab_bkgd { background-color: black; }");
    setCentralWidget(cab_bkgd);

    ThreeDPanel = new QLabel("Select 'Start Sim' from File menu", cab_bkgd);
    ThreeDPanel->setObjectName("ThreeDPanel");
    ThreeDPanel->setGeometry(0, 0, 579, 218);
    ThreeDPanel->setAlignment(Qt::AlignCenter);
    ThreeDPanel->setFrameStyle(QFrame::Panel | QFrame::Raised);
    ThreeDPanel->setAutoFillBackground(true);
    ThreeDPanel->setStyleSheet("background-color: #c0c0c0; color: black;");

    InfoMemo = new QPlainTextEdit(cab_bkgd);
    InfoMemo->setObjectName("InfoMemo");
    InfoMemo->hide();

    InfoBoxLabel1 = new QLabel(cab_bkgd);
    InfoBoxLabel1->setObjectName("InfoBoxLabel1");
    InfoBoxLabel1->setGeometry(599, 0, 120, 218);
    InfoBoxLabel1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    InfoBoxLabel1->setStyleSheet("color: yellow; background: transparent;");

    Button1 = new QPushButton("test lights", cab_bkgd);
    Button1->setObjectName("Button1");
    Button1->setGeometry(96, 490, 80, 25);
    Button1->hide();
    connect(Button1, &QPushButton::clicked, this, [] { CycleTestLights(); });
    Button3 = new QPushButton("Timetable", cab_bkgd);
    Button3->setObjectName("Button3");
    Button3->setGeometry(8, 490, 80, 25);
    connect(Button3, &QPushButton::clicked, this, [] { ShowTimeForm(); });

    CreateMenus();
    setFixedSize(sizeHint());
    setFocusPolicy(Qt::StrongFocus);

    HiResTimer1.SetInterval(50);
    HiResTimer1.SetResolution(5);
    HiResTimer1.OnTimer = [this] { HiResTimer1Timer(); };
}

TVaruRor::~TVaruRor()
{
    // No tick may post to this window once it starts going.
    HiResTimer1.SetEnabled(false);
    if (VaruRor == this)
        VaruRor = nullptr;
}

void TVaruRor::CreateMenus()
{
    MainMenu1 = menuBar();

    File1 = MainMenu1->addMenu("File");
    NewSituation2 = File1->addAction("New Situation . . .", this, &TVaruRor::NewSituation2Click);
    LoadSituation1 =
        File1->addAction("Load Situation . . .", this, &TVaruRor::LoadSituation1Click);
    SaveSituation1 =
        File1->addAction("Save Situation . . .", this, &TVaruRor::SaveSituation1Click);
    Open1 = File1->addAction("Start Sim", this, &TVaruRor::StartStopSim);
    N1 = File1->addSeparator();
    Quit1 = File1->addAction("Quit", this, &QWidget::close);

    Edit1 = MainMenu1->addMenu("Edit");
    SelectTrain1 = Edit1->addAction("Train Consist . . .", this, &TVaruRor::SelectTrain1Click);
    LocoPhysics1 = Edit1->addAction("Loco Physics . . .", this, [] { ShowPhysicsForm(); });
    CabLayout1 = Edit1->addAction("Cab Layout . . .", this, [] { EnterEditorMode(); });

    CIT_menu = MainMenu1->addMenu("Cab Items");
    Insert1 = CIT_menu->addAction("Insert . . .", this, [] { ShowCabItemBrowser(); });
    Edit_menu = CIT_menu->addAction("Edit . . .", this, [] { EditSelectedCabItem(); });

    Enviroment1 = MainMenu1->addMenu("Environment");
    Jumpto1 = Enviroment1->addAction("Jump to . . .", this, &TVaruRor::Jumpto1Click);
    Options1 = Enviroment1->addAction("Options . . .", this, [] { ShowOptionsForm(); });

    Help1 = MainMenu1->addMenu("Help");
    KestrovaneHelp1 =
        Help1->addAction("Kestrovane Help", this, &TVaruRor::KestrovaneHelp1Click);
    About1 = Help1->addAction("About . . .", this, &TVaruRor::About1Click);

    const std::pair<QObject*, const char*> names[] = {
        {MainMenu1, "MainMenu1"}, {File1, "File1"}, {Edit1, "Edit1"}, {CIT_menu, "CIT_menu"},
        {Enviroment1, "Enviroment1"}, {Help1, "Help1"}, {NewSituation2, "NewSituation2"},
        {LoadSituation1, "LoadSituation1"}, {SaveSituation1, "SaveSituation1"}, {Open1, "Open1"},
        {N1, "N1"}, {Quit1, "Quit1"}, {SelectTrain1, "SelectTrain1"},
        {LocoPhysics1, "LocoPhysics1"}, {CabLayout1, "CabLayout1"}, {Insert1, "Insert1"},
        {Edit_menu, "Edit_menu"}, {Jumpto1, "Jumpto1"}, {Options1, "Options1"},
        {KestrovaneHelp1, "KestrovaneHelp1"}, {About1, "About1"}};
    for (const auto& [object, name] : names)
        object->setObjectName(name);
}

void TVaruRor::FormCreate()
{
    ShowSelForm();
    SetupDriveMode();
    OpenRouteDebugFile();
    const bool sound = SoundInit();
    SoundAvailable = sound;
    std::lock_guard guard(SimLock);
    SimState.soundOn = sound;
    SimState.view3D = true;
    SimState.card3D = true;
}

void TVaruRor::SetStatusCaption(const char* suffix)
{
    std::string model;
    {
        std::lock_guard guard(SimLock);
        model = SimState.tractionModel;
    }
    setWindowTitle(QString::fromLatin1(model + suffix));
}

void TVaruRor::StartStopSim()
{
    bool editor;
    bool emptyTrain;
    {
        std::lock_guard guard(SimLock);
        editor = SimState.editorMode;
        emptyTrain = !(Consist.tonnage > 0.0) || !(Consist.length > 0.0);
    }
    // Physics and brake divide by the train's mass and length: an empty train never starts.
    if (!HiResTimer1.Enabled() && emptyTrain) {
        ShowError(kEmptyConsistText);
        return;
    }
    if (editor)
        SetupDriveMode();
    CabLayout1->setEnabled(false);

    if (HiResTimer1.Enabled()) {
        HiResTimer1.SetEnabled(false);
        CabLayout1->setEnabled(true);
        {
            std::lock_guard guard(SimLock);
            SoundStopAll();
        }
        SetStatusCaption(": Sim stopped.");
        Open1->setText("Start Sim");
        return;
    }

    bool sound;
    bool placed = true;
    {
        HeldMessages held;  // the load's warnings show once SimLock is released
        std::lock_guard guard(SimLock);
        Physics.mass = Consist.tonnage;
        Physics.stepLength = 50.0;
        if (!SimState.worldLoaded) {
            SimRandom.seed(std::random_device{}());
            setWindowTitle("Loading 3D world . . .");
            if (!SimState.paths.root.empty())
                QDir::setCurrent(QFile::decodeName(SimState.paths.root.c_str()));
            LoadWorld3D(ThreeDPanel);
            placed = LoadRouteSurvey() && PlaceTrainAndScenery(SimState.startSegment);
        }
        sound = SimState.soundOn;
    }
    // Without a route the train has nowhere to run.
    if (!placed) {
        CabLayout1->setEnabled(true);
        SetStatusCaption(": Sim stopped.");
        return;
    }
    SetStatusCaption(": Sim running . . .");
    Open1->setText("Stop Sim");
    CIT_menu->menuAction()->setEnabled(false);
    LoadSituation1->setEnabled(true);
    NewSituation2->setEnabled(true);
    SelectTrain1->setEnabled(true);
    cab_bkgd->update();
    Button1->hide();
    if (sound) {
        std::lock_guard guard(SimLock);
        SoundStart();
        // A sound that failed to load switched sound off: drive mode leaves it off.
        if (!SimState.soundOn)
            SoundAvailable = false;
    }
    HiResTimer1.SetInterval(50);
    try {
        HiResTimer1.SetEnabled(true);
    } catch (const EHiResTimer& e) {
        // Without a timer nothing runs: say so and show the simulation as stopped.
        if (sound) {
            std::lock_guard guard(SimLock);
            SoundStopAll();
        }
        CabLayout1->setEnabled(true);
        SetStatusCaption(": Sim stopped.");
        Open1->setText("Start Sim");
        ShowError(e.what());
    }
}

void TVaruRor::HiResTimer1Timer()
{
    // The worker never shows anything itself: the second's work, sounds and their error
    // boxes included, runs on the GUI thread.
    SimulationTick(HiResTimer1.Interval(), [this] {
        QMetaObject::invokeMethod(this, [this] { SecondTimerWork(); }, Qt::QueuedConnection);
    });
}

void TVaruRor::SecondTimerWork()
{
    // A second that fell due just before a stop or the close is not shown; one that arrives
    // while a box of the previous second is open would show its error again.
    if (!HiResTimer1.Enabled() || secondWorkBusy_)
        return;
    secondWorkBusy_ = true;
    SecondTickWork([this](const std::string& text) { ShowInfoBox(text); });
    secondWorkBusy_ = false;
    // A sound that failed to load switched sound off for good: drive mode leaves it off.
    std::lock_guard guard(SimLock);
    if (!SimState.soundOn)
        SoundAvailable = false;
}

void TVaruRor::ShowInfoBox(const std::string& text)
{
    QString shown = QString::fromLatin1(text);
    shown.replace('\r', '\n');
    InfoBoxLabel1->setText(shown);
}

void TVaruRor::Jumpto1Click()
{
    int lastSegment;
    {
        std::lock_guard guard(SimLock);
        if (!SimState.worldLoaded) {
            ShowMessage("Start sim before attempting\rto jump to new location.");
            return;
        }
        lastSegment = SegmentCount() - 3;
    }
    TOKBottomDlg dialog(this, lastSegment, [this](const QString& text) { return JumpToSegmentText(text); });
    dialog.exec();
}

bool TVaruRor::JumpToSegmentText(const QString& text)
{
    bool ok = false;
    const int n = text.trimmed().toInt(&ok);
    if (!ok) {
        ShowError("'" + text.toStdString() + "' is not a valid integer value");
        return false;
    }
    std::lock_guard guard(SimLock);
    const int lastSegment = SegmentCount() - 3;
    if (n < 3 || n > lastSegment) {
        ShowError("There is no track segment " + std::to_string(n) + ": choose one from 3 to " +
                  std::to_string(lastSegment) + ".");
        return false;
    }
    JumpToSegment(n);
    return true;
}

void TVaruRor::FormKeyPress(QChar key)
{
    std::lock_guard guard(SimLock);
    if (key == '-')
        SimState.cameraZoom -= 2;
    else if (key == '=')
        SimState.cameraZoom += 2;
    if (SimState.camera)
        SetCameraZoom();
}

void TVaruRor::keyPressEvent(QKeyEvent* event)
{
    const QString text = event->text();
    if (!text.isEmpty())
        FormKeyPress(text.front());
    QMainWindow::keyPressEvent(event);
}

void TVaruRor::KestrovaneHelp1Click()
{
    const std::string path = plat_path_resolve(kHelpFile);
    if (path.empty()) {
        ShowError(std::string("The help file ") + kHelpFile + " was not found.");
        return;
    }
    const QString absolute = QFileInfo(QFile::decodeName(path.c_str())).absoluteFilePath();
    if (!QDesktopServices::openUrl(QUrl::fromLocalFile(absolute)))
        ShowError(std::string("No program is set up to open the help file ") + kHelpFile + ".");
}

void TVaruRor::About1Click()
{
    ShowMessage("Kestrovane\rA railway driving simulator.");
}

void TVaruRor::NewSituation2Click()
{
    ShowSel2Form();
    SetupDriveMode();
}

void TVaruRor::LoadSituation1Click()
{
    ShowSelForm();
    SetupDriveMode();
    std::lock_guard guard(SimLock);
    if (SimState.worldLoaded)
        JumpToSegment(SimState.startSegment);
}

void TVaruRor::SaveSituation1Click()
{
    std::string root;
    {
        std::lock_guard guard(SimLock);
        root = SimState.paths.root;
    }
    QFileDialog dialog(this, "Save current situation . . .");
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix("txt");
    const std::string folder = plat_path_resolve(root + "\\situations\\");
    if (!folder.empty())
        dialog.setDirectory(QFile::decodeName(folder.c_str()));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    const QByteArray file = QFile::encodeName(QFileInfo(dialog.selectedFiles().front()).fileName());
    const std::string name = SituationNameOfFile(file.toStdString());
    std::string error;
    if (!SaveSituation(name, &error))
        ShowError(error);
    else
        ShowMessage(SituationSavedMessage(name));
}

void TVaruRor::SelectTrain1Click()
{
    BuildTrain(this);
    SetupDriveMode();
}

void TVaruRor::closeEvent(QCloseEvent* event)
{
    FormClose();
    event->accept();
}

void TVaruRor::FormClose()
{
    if (closed_)
        return;
    closed_ = true;
    HiResTimer1.SetEnabled(false);
    plat_sleep_ms(200);
    std::lock_guard guard(SimLock);
    SoundClose();
    Switch3DCardOff();
    CloseEngine();
    std::string error;
    if (!SaveSituation("Previous Situation", &error))
        std::fprintf(stderr, "Kestrovane: %s\n", error.c_str());
    CloseRouteDebugFile();
}
