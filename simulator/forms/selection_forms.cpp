// Units SelectionForm and Selection2Form: the first screen and the new-situation window.
#include "forms/selection_forms.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <mutex>

#include "app/main_window.h"
#include "app/qt_message_box.h"
#include "app/sim_space.h"
#include "app/sim_state.h"
#include "cab/cab_picture.h"
#include "platform/msgbox.h"
#include "platform/paths.h"
#include "train/train_file.h"
#include "train/vehicle.h"
#include "train/yard_form.h"

namespace {

QString Latin1(const std::string& bytes)
{
    return QString::fromLatin1(bytes.data(), qsizetype(bytes.size()));
}

std::string Bytes(const QString& text)
{
    return text.toLatin1().toStdString();
}

bool LessIgnoringCase(const std::string& a, const std::string& b)
{
    const auto lower = [](unsigned char c) { return c >= 'A' && c <= 'Z' ? c + 32 : int(c); };
    const size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; i++) {
        const int x = lower(a[i]);
        const int y = lower(b[i]);
        if (x != y)
            return x < y;
    }
    return a.size() != b.size() ? a.size() < b.size() : a < b;
}

std::vector<std::string> ListEntries(const std::string& folder, bool folders)
{
    namespace fs = std::filesystem;
    std::vector<std::string> names;
    const std::string resolved = plat_path_resolve(folder);
    std::error_code ec;
    if (resolved.empty() || !fs::is_directory(resolved, ec))
        return names;
    for (fs::directory_iterator it(resolved, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (name.empty() || name[0] == '.')
            continue;
        std::error_code kind;
        if (folders ? it->is_directory(kind) : it->is_regular_file(kind))
            names.push_back(name);
    }
    std::sort(names.begin(), names.end(), LessIgnoringCase);
    return names;
}

// The screen's picture; without one the screen still works.
void ShowPicture(QLabel* label, const std::string& path)
{
    std::string error;
    const QImage image = LoadJpegFile(path, &error);
    if (image.isNull()) {
        std::fprintf(stderr, "Kestrovane: %s\n", error.c_str());
        return;
    }
    label->setPixmap(QPixmap::fromImage(image));
}

// Reads a train file into the consist; a damaged file is shown and changes nothing.
bool ReadTrain(const std::string& path)
{
    TConsist train;
    std::string error;
    if (!LoadTrain(path, train, &error)) {
        ShowMessage(error);
        return false;
    }
    std::lock_guard guard(SimLock);
    Consist = train;
    SimState.paths.train = path;
    SimState.trainName = TrainNameOfPath(path);
    return true;
}

// Selects the entry without running its change handler; -1 shows the placeholder.
void SetIndexQuietly(QComboBox* box, int index)
{
    const QSignalBlocker blocker(box);
    box->setCurrentIndex(index);
}

void FillBox(QComboBox* box, const std::vector<std::string>& entries)
{
    const QSignalBlocker blocker(box);
    box->clear();
    for (const std::string& entry : entries)
        box->addItem(Latin1(entry));
    box->setCurrentIndex(-1);
}

QLabel* Caption(const char* text, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setStyleSheet("color: white; background: rgba(0, 0, 0, 120); padding: 2px;");
    return label;
}

}  // namespace

std::vector<std::string> ListFiles(const std::string& folder)
{
    return ListEntries(folder, false);
}

std::vector<std::string> ListFolders(const std::string& folder)
{
    return ListEntries(folder, true);
}

TSelForm::TSelForm(QWidget* parent) : QDialog(parent)
{
    setObjectName("SelForm");
    setWindowTitle(kSelFormTitle);
    setWindowFlag(Qt::FramelessWindowHint);
    // Covers the screen also where no window manager maximises it.
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        setGeometry(screen->availableGeometry());
    setWindowState(Qt::WindowMaximized);
    setStyleSheet("TSelForm { background-color: black; }");

    Image1 = new QLabel(this);
    Image1->setObjectName("Image1");
    Image1->setScaledContents(true);
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(Image1);

    ComboBox1 = new QComboBox(Image1);
    ComboBox1->setObjectName("ComboBox1");
    ComboBox1->setPlaceholderText("Previous Situation");
    ComboBox1->setMinimumWidth(260);
    LoadButton = new QPushButton("Load", Image1);
    LoadButton->setObjectName("LoadButton");
    LoadButton->setDefault(true);
    NewButton = new QPushButton("New", Image1);
    NewButton->setObjectName("NewButton");
    auto* row = new QHBoxLayout;
    row->addStretch();
    row->addWidget(ComboBox1);
    row->addWidget(LoadButton);
    row->addWidget(NewButton);
    row->addStretch();
    auto* inner = new QVBoxLayout(Image1);
    inner->addStretch(3);
    inner->addLayout(row);
    inner->addStretch(1);

    connect(LoadButton, &QPushButton::clicked, this, [this] {
        ComboBox1Exit();
        done(mrYes);
    });
    connect(NewButton, &QPushButton::clicked, this, [this] { done(mrNo); });
}

void TSelForm::showEvent(QShowEvent* event)
{
    FormShow();
    QDialog::showEvent(event);
}

void TSelForm::keyPressEvent(QKeyEvent* event)
{
    // Escape is the "New" button; closing the window chooses nothing.
    if (event->key() == Qt::Key_Escape) {
        NewButton->click();
        return;
    }
    QDialog::keyPressEvent(event);
}

void TSelForm::FormShow()
{
    const std::string root = QFile::encodeName(QDir::currentPath()).toStdString();
    {
        std::lock_guard guard(SimLock);
        SimState.paths.root = root;
    }
    FillBox(ComboBox1, ListFiles(root + "\\situations"));
    ShowPicture(Image1, root + "\\images\\first_scrn.jpg");
    QDir::setCurrent(QFile::decodeName(root.c_str()));
}

void TSelForm::ComboBox1Exit()
{
    const std::string chosen = ComboBox1->currentIndex() >= 0
                                   ? Bytes(ComboBox1->currentText())
                                   : std::string("Previous Situation.txt");
    std::lock_guard guard(SimLock);
    SimState.paths.situation = SimState.paths.root + "\\situations\\" + chosen;
}

void ShowSelForm()
{
    int result;
    {
        TSelForm form(VaruRor);
        result = form.exec();
    }
    if (result == mrYes) {
        std::string situation;
        {
            std::lock_guard guard(SimLock);
            situation = SimState.paths.situation;
        }
        // A situation that does not load keeps the current one, train included.
        if (LoadSituation(situation)) {
            std::string train;
            {
                std::lock_guard guard(SimLock);
                train = SimState.paths.train;
            }
            ReadTrain(train);
        }
    } else if (result == mrNo) {
        ShowSel2Form();
    }
}

TSel2Form::TSel2Form(QWidget* parent) : QDialog(parent)
{
    setObjectName("Sel2Form");
    setWindowTitle("Select Route, Timetable & Train");
    setFixedSize(640, 420);

    Image1 = new QLabel(this);
    Image1->setObjectName("Image1");
    Image1->setScaledContents(true);
    Image1->setGeometry(0, 0, 640, 420);
    // Scoped to the picture: its controls keep the look of every other dialog.
    Image1->setStyleSheet("QLabel#Image1 { background-color: #203040; }");

    RouteBox = new QComboBox(Image1);
    RouteBox->setObjectName("RouteBox");
    RouteBox->setPlaceholderText("No Route");
    WorkBox = new QComboBox(Image1);
    WorkBox->setObjectName("WorkBox");
    WorkBox->setPlaceholderText("No Working");
    TrainBox = new QComboBox(Image1);
    TrainBox->setObjectName("TrainBox");
    TrainBox->setPlaceholderText("No Train");
    Edit1 = new QLineEdit("Enter new name", Image1);
    Edit1->setObjectName("Edit1");
    OkButton = new QPushButton("OK", Image1);
    OkButton->setObjectName("OkButton");
    AddTrainButton = new QPushButton("Add Train . . .", Image1);
    AddTrainButton->setObjectName("AddTrainButton");
    SaveButton = new QPushButton("Save", Image1);
    SaveButton->setObjectName("SaveButton");

    auto* grid = new QGridLayout(Image1);
    grid->setContentsMargins(24, 24, 24, 24);
    grid->addWidget(Caption("Select Route: ", Image1), 0, 0);
    grid->addWidget(RouteBox, 0, 1);
    grid->addWidget(Caption("Select Working: ", Image1), 1, 0);
    grid->addWidget(WorkBox, 1, 1);
    grid->addWidget(Caption("Select Train: ", Image1), 2, 0);
    grid->addWidget(TrainBox, 2, 1);
    grid->addWidget(AddTrainButton, 2, 2);
    grid->addWidget(Caption("Situation Name:", Image1), 3, 0);
    grid->addWidget(Edit1, 3, 1);
    grid->addWidget(SaveButton, 3, 2);
    grid->setRowStretch(4, 1);
    grid->addWidget(OkButton, 5, 2);
    grid->setColumnMinimumWidth(1, 280);

    connect(RouteBox, &QComboBox::currentIndexChanged, this, [this] { RouteBoxChange(); });
    connect(WorkBox, &QComboBox::currentIndexChanged, this, [this] { WorkBoxChange(); });
    connect(TrainBox, &QComboBox::currentIndexChanged, this, [this] { TrainBoxChange(); });
    connect(AddTrainButton, &QPushButton::clicked, this, [this] { AddTrainClick(); });
    connect(SaveButton, &QPushButton::clicked, this, [this] { SaveClick(); });
    connect(OkButton, &QPushButton::clicked, this, [this] { done(mrOK); });
}

void TSel2Form::showEvent(QShowEvent* event)
{
    FormShow();
    QDialog::showEvent(event);
}

std::string TSel2Form::Root() const
{
    return SimRoot();
}

std::string TSel2Form::RouteName() const
{
    return RouteBox->currentIndex() >= 0 ? Bytes(RouteBox->currentText()) : std::string();
}

void TSel2Form::FormShow()
{
    const std::string root = Root();
    ShowPicture(Image1, root + "\\images\\second_scrn.jpg");
    FillBox(RouteBox, ListFolders(root + "\\routes"));
    if (RouteBox->count() > 0)
        SetIndexQuietly(RouteBox, 0);
    FillTimetableList();
    FillTrainList();
    std::string train;
    {
        std::lock_guard guard(SimLock);
        train = SimState.paths.train;
    }
    for (int i = 0; i < TrainBox->count(); i++) {
        if (train.find(Bytes(TrainBox->itemText(i))) != std::string::npos) {
            SetIndexQuietly(TrainBox, i);
            break;
        }
    }
}

void TSel2Form::RouteBoxChange()
{
    FillTimetableList();
}

void TSel2Form::FillTimetableList()
{
    const std::string route = RouteName();
    if (route.empty()) {
        FillBox(WorkBox, {});
        return;
    }
    const std::string root = Root();
    const std::vector<std::string> files = ListFiles(root + "\\routes\\" + route);
    FillBox(WorkBox, files);
    if (!files.empty())
        SetIndexQuietly(WorkBox, 0);
    std::lock_guard guard(SimLock);
    SimState.paths.route = RouteFilePath(root, route);
    SimState.paths.timetable = files.empty() ? std::string()
                                             : TimetablePath(root, route, files.front());
}

void TSel2Form::FillTrainList()
{
    const std::string root = Root();
    FillBox(TrainBox, ListFiles(root + "\\rail yard"));
    if (!root.empty())
        QDir::setCurrent(QFile::decodeName(root.c_str()));
}

void TSel2Form::WorkBoxChange()
{
    const std::string route = RouteName();
    if (route.empty() || WorkBox->currentIndex() < 0)
        return;
    const std::string path = TimetablePath(Root(), route, Bytes(WorkBox->currentText()));
    std::lock_guard guard(SimLock);
    SimState.paths.timetable = path;
}

void TSel2Form::TrainBoxChange()
{
    if (TrainBox->currentIndex() < 0)
        return;
    ReadTrain(TrainFilePath(Root(), Bytes(TrainBox->currentText())));
}

void TSel2Form::AddTrainClick()
{
    TConsist previous;
    {
        std::lock_guard guard(SimLock);
        previous = Consist;
        ClearConsist(Consist);
    }
    // The yard starts empty; cancelling it keeps the train there was.
    if (BuildTrain(this, Root(), TYardSave::Always) == TBuildResult::Cancelled) {
        std::lock_guard guard(SimLock);
        Consist = previous;
    }
    FillTrainList();
    std::string train;
    {
        std::lock_guard guard(SimLock);
        train = SimState.paths.train;
    }
    for (int i = 0; i < TrainBox->count(); i++) {
        if (FileNamePart(train) == Bytes(TrainBox->itemText(i)))
            SetIndexQuietly(TrainBox, i);
    }
}

void TSel2Form::SaveClick()
{
    const std::string name = Bytes(Edit1->text());
    if (name.empty() || name.find_first_of("\\/") != std::string::npos) {
        ShowMessage("Enter a situation name without \"\\\" or \"/\".");
        return;
    }
    const std::string root = Root();
    {
        std::lock_guard guard(SimLock);
        SimState.paths.situation = SituationPath(root, name);
    }
    std::string error;
    ShowMessage(SaveSituation(name, &error) ? SituationSavedMessage(name) : error);
}

void ShowSel2Form()
{
    TSel2Form form(VaruRor);
    form.exec();
}
