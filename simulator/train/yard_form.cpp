// Unit YardForm: the rail yard where a train is made up from traction units and cars.
#include "train/yard_form.h"

#include "app/ini_file.h"
#include "app/integer_text.h"
#include "app/qt_message_box.h"
#include "app/sim_state.h"
#include "train/brake.h"
#include "train/train_file.h"

#include <platform/msgbox.h>
#include <platform/numbers.h>
#include <platform/paths.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>

#include <climits>
#include <cmath>

namespace {

constexpr int grid_cols = 5;
constexpr int grid_rows = 20;
constexpr int cell_width = 134;
constexpr int cell_height = 50;
constexpr int grid_line = 1;
constexpr const char* message_caption = "Kestrovane";

QString latin1(const std::string& s)
{
    return QString::fromLatin1(s.data(), qsizetype(s.size()));
}

std::string bytes(const QString& s)
{
    QByteArray b = s.toLatin1();
    return std::string(b.constData(), size_t(b.size()));
}

long long round_even(double x)
{
    return std::llrint(x);
}

// Reads values from the model's section lines, the first section that holds a key winning;
// a missing key is an empty value. The first bad value stops the read with the framework's
// conversion message.
class TModelReader {
public:
    TModelReader(const TIniFile& ini, std::vector<std::string> sections)
        : ini_(ini), sections_(std::move(sections)) {}

    std::string Text(const char* key) const
    {
        for (const std::string& section : sections_)
            if (ini_.ValueExists(section, key)) return ini_.ReadString(section, key, "");
        return "";
    }
    double Real(const char* key)
    {
        std::string text = Text(key);
        double value = 0.0;
        if (!plat_parse_double(text, &value) || !std::isfinite(value))
            Fail("'" + text + "' is not a valid floating point value");
        return value;
    }
    int32_t Integer(const char* key)
    {
        int value = 0;
        std::string error;
        if (!IntegerText(Text(key), INT32_MIN, INT32_MAX, &value, &error)) {
            Fail(error);
            value = 0;
        }
        return int32_t(value);
    }
    const std::string& Error() const { return error_; }

private:
    const TIniFile& ini_;
    std::vector<std::string> sections_;
    std::string error_;

    void Fail(const std::string& message)
    {
        if (error_.empty()) error_ = message;
    }
};

void add_sections(const TIniFile& ini, std::initializer_list<const char*> sections,
                  std::vector<std::string>& memo)
{
    for (const char* section : sections) {
        memo.push_back(std::string("[") + section + "]");
        for (std::string& line : ini.ReadSectionValues(section)) memo.push_back(std::move(line));
    }
}

// False when the model's file is missing, or (error set) when its name does not fit a record.
bool model_file_readable(const std::string& iniPath, const std::string& name, std::string* error)
{
    if (!plat_file_exists(iniPath)) return false;
    if (!ModelNameFits(name)) {
        *error = ModelNameTooLongText(name);
        return false;
    }
    return true;
}

}  // namespace

bool ModelNameFits(const std::string& name)
{
    return name.size() <= size_t(MaxModelName);
}

std::string ModelNameTooLongText(const std::string& name)
{
    return "The model folder name \"" + name + "\" is longer than " + std::to_string(MaxModelName) +
           " characters and cannot be stored in a train. Rename the folder and its files.";
}

std::string TrainNameOfPath(const std::string& path)
{
    std::string file = path.substr(path.find_last_of("\\/") + 1);
    return file.size() >= 4 ? file.substr(0, file.size() - 4) : file;
}

int TractionTypeCode(const std::string& text, int previous)
{
    static const std::pair<const char*, int> codes[] = {
        {"DEL", 0}, {"ELE", 1}, {"DMU", 2}, {"EMU", 3}, {"STE", 4}, {"SUB", 5}, {"HST", 6}};
    for (const auto& [code, number] : codes)
        if (text == code) return number;
    return previous;
}

std::string TractionBase(const std::string& root, const std::string& name)
{
    return root + "\\traction\\" + name + "\\" + name;
}

std::string CarBase(const std::string& root, const std::string& name)
{
    return root + "\\rolling stock\\" + name + "\\" + name;
}

bool ReadTractionInfo(const std::string& iniPath, const std::string& name, TYardVehicle& current,
                      std::vector<std::string>& memo, std::string* error)
{
    if (!model_file_readable(iniPath, name, error)) return false;
    TIniFile ini(iniPath);
    add_sections(ini, {"general", "loco physics"}, memo);
    TModelReader read(ini, {"general", "loco physics"});
    TVehicleRec rec = current.rec;
    rec.mass = read.Real("mass");
    if (read.Text("traction_type").size() > 1) rec.isTraction = 1;
    rec.name = name;
    rec.unused = 0;  // 1800 marks only a cleared record
    rec.length = read.Real("length");
    rec.maxTraction = read.Integer("maxTraction");
    rec.power = read.Integer("power_hp");
    rec.maxBrake = read.Integer("maxBrake");
    rec.numAxles = read.Integer("numAxles");
    if (!read.Error().empty()) {
        *error = read.Error();
        return false;
    }
    current.rec = rec;
    {
        std::lock_guard guard(SimLock);
        EpBrake = ini.ReadString("loco physics", "brake_type", "auto") == "ep";
    }
    current.tractionType = ini.ReadString("general", "traction_type", "ELE");
    return true;
}

bool ReadCarInfo(const std::string& iniPath, const std::string& name, TYardVehicle& current,
                 std::vector<std::string>& memo, std::string* error)
{
    if (!model_file_readable(iniPath, name, error)) return false;
    TIniFile ini(iniPath);
    add_sections(ini, {"general", "data"}, memo);
    TModelReader read(ini, {"general", "data"});
    TVehicleRec rec = current.rec;
    rec.name = name;
    rec.unused = 0;
    rec.isTraction = 0;
    rec.mass = read.Real("mass");
    rec.length = read.Real("length");
    rec.xArea = read.Real("xArea");
    rec.maxBrake = read.Integer("maxBrake");
    rec.numAxles = read.Integer("numAxles");
    rec.maxTraction = 0;
    if (!read.Error().empty()) {
        *error = read.Error();
        return false;
    }
    current.rec = rec;
    return true;
}

TPlaceResult PlaceVehicleAt(TConsist& consist, TYardVehicle& current, int p, std::string* message)
{
    TPlaceResult result = TPlaceResult::Ignored;
    if (!current.picturePath.empty() && p <= consist.count) {
        if (p == 0 && current.rec.isTraction == 0) {
            *message = YardCarRefusedText;
            result = TPlaceResult::Refused;
        } else if (AddVehicle(consist, p, current.rec)) {
            result = TPlaceResult::Placed;
        }
    }
    current.tractionCode = TractionTypeCode(current.tractionType, current.tractionCode);
    return result;
}

// The consist grid: 5 x 20 cells of 134 x 50 pixels drawn by the form.
class TYardGrid : public QWidget {
public:
    explicit TYardGrid(TYardForm1* form) : QWidget(nullptr), form_(form)
    {
        setFixedSize(grid_cols * (cell_width + grid_line), grid_rows * (cell_height + grid_line));
    }

    static QRect CellRect(int col, int row)
    {
        return QRect(col * (cell_width + grid_line), row * (cell_height + grid_line), cell_width,
                     cell_height);
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.fillRect(rect(), Qt::black);
        for (int row = 0; row < grid_rows; ++row) {
            for (int col = 0; col < grid_cols; ++col) {
                QRect cell = CellRect(col, row);
                painter.fillRect(cell, Qt::white);
                const QImage& picture = form_->Picture(form_->CellPicturePath(row * grid_cols + col));
                if (!picture.isNull()) painter.drawImage(cell, picture);
            }
        }
    }

    void mousePressEvent(QMouseEvent* event) override
    {
        QPoint at = event->position().toPoint();
        int col = at.x() / (cell_width + grid_line), row = at.y() / (cell_height + grid_line);
        if (col < 0 || col >= grid_cols || row < 0 || row >= grid_rows) return;
        form_->DrawGrid1MouseDown(col, row, event->modifiers() & Qt::AltModifier);
    }

private:
    TYardForm1* form_;
};

TYardForm1::TYardForm1(const std::string& root, const TConsist& consist, QWidget* parent)
    : QDialog(parent), root_(root), consist_(consist)
{
    setWindowTitle("Build Train ");
    auto label = [this](const char* text, int x, int y, int w = 160) {
        auto* l = new QLabel(text, this);
        l->setGeometry(x, y, w, 18);
        return l;
    };
    label("Current Traction:", 8, 8);
    TractionBox = new QComboBox(this);
    TractionBox->setObjectName("TractionBox");
    TractionBox->setGeometry(8, 26, 200, 22);
    TractionBox->setPlaceholderText("selected traction here");
    label("Current Car:", 8, 54);
    CarBox = new QComboBox(this);
    CarBox->setObjectName("CarBox");
    CarBox->setGeometry(8, 72, 200, 22);
    CarBox->setPlaceholderText("selected car here");
    Label3 = label("No unit selected", 8, 100, 200);
    Label3->setObjectName("Label3");
    Image1 = new QLabel(this);
    Image1->setObjectName("Image1");
    Image1->setGeometry(8, 122, 200, 75);
    Image1->setScaledContents(true);
    Memo1 = new QPlainTextEdit(this);
    Memo1->setObjectName("Memo1");
    Memo1->setGeometry(8, 204, 200, 180);
    Memo1->setReadOnly(true);
    Memo1->setLineWrapMode(QPlainTextEdit::NoWrap);
    label("Train Name:", 8, 392);
    Edit1 = new QLineEdit("Enter Train Name", this);
    Edit1->setObjectName("Edit1");
    Edit1->setGeometry(8, 410, 200, 22);
    SaveTrainCheckBox = new QCheckBox("Save Train to file", this);
    SaveTrainCheckBox->setObjectName("SaveTrainCheckBox");
    SaveTrainCheckBox->setGeometry(8, 438, 200, 20);
    tonLabel = label("", 8, 464, 200);
    tonLabel->setObjectName("tonLabel");
    lengthLabel = label("", 8, 482, 200);
    lengthLabel->setObjectName("lengthLabel");
    tractiveLabel = label("", 8, 500, 200);
    tractiveLabel->setObjectName("tractiveLabel");
    countLabel = label("", 8, 518, 200);
    countLabel->setObjectName("countLabel");
    indexLabel = label("index 0", 220, 544, 120);
    indexLabel->setObjectName("indexLabel");
    label("Alt + Click for Info", 360, 544, 160);
    OkButton = new QPushButton("OK", this);
    OkButton->resize(75, 25);
    CancelButton = new QPushButton("Cancel", this);
    CancelButton->resize(75, 25);

    grid_ = new TYardGrid(this);
    DrawGrid1 = new QScrollArea(this);
    DrawGrid1->setObjectName("DrawGrid1");
    DrawGrid1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    DrawGrid1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    DrawGrid1->setWidget(grid_);
    const int grid_width = grid_->width() + DrawGrid1->verticalScrollBar()->sizeHint().width() +
                           2 * DrawGrid1->frameWidth();
    DrawGrid1->setGeometry(220, 8, grid_width, 528);
    const int right = 220 + grid_width;
    CancelButton->move(right - 75, 540);
    OkButton->move(right - 155, 540);
    setFixedSize(right + 8, 575);

    connect(OkButton, &QPushButton::clicked, this, &TYardForm1::OkClick);
    connect(CancelButton, &QPushButton::clicked, this, [this] { done(2); });
    connect(TractionBox, &QComboBox::textActivated, this, &TYardForm1::ChooseTraction);
    connect(CarBox, &QComboBox::textActivated, this, &TYardForm1::ChooseCar);
    connect(Edit1, &QLineEdit::textEdited, this, &TYardForm1::Edit1Change);
}

bool TYardForm1::SaveChecked() const
{
    return SaveTrainCheckBox->isChecked();
}

void TYardForm1::OkClick()
{
    const std::string name = bytes(Edit1->text());
    if ((saveOnOk_ || SaveChecked()) && name.find_first_not_of(" \t") == std::string::npos) {
        ShowError("Train Name may not be empty: the train is saved under it.");
        Edit1->setFocus();
        return;
    }
    done(1);
}

std::string TYardForm1::RootPath(const std::string& tail) const
{
    return root_ + tail;
}

const QImage& TYardForm1::Picture(const std::string& path) const
{
    static const QImage none;
    if (path.empty()) return none;
    auto found = pictures_.find(path);
    if (found != pictures_.end()) return found->second;
    QImage image;
    std::string file = plat_path_resolve(path);
    if (!file.empty()) image.load(QString::fromLocal8Bit(file.c_str()));
    return pictures_.emplace(path, image).first->second;
}

void TYardForm1::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    FormShow();
    FormActivate();
}

void TYardForm1::FormShow()
{
    auto list = [this](QComboBox* box, const char* folder) {
        box->clear();
        std::string dir = plat_path_resolve(RootPath(folder));
        if (dir.empty()) return;
        QStringList names = QDir(QString::fromLocal8Bit(dir.c_str()))
                                .entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
        box->addItems(names);
        box->setCurrentIndex(-1);
    };
    list(TractionBox, "\\traction");
    list(CarBox, "\\rolling stock");
    ShowPicture(RootPath("\\images\\empty_rect.bmp"));
    if (consist_.count > 0) {
        std::lock_guard guard(SimLock);
        trainName_ = SimState.trainName;
        trainPath_ = SimState.paths.train;
        Edit1->setText(latin1(trainName_));
    } else {
        trainPath_ = RootPath("\\rail yard\\Enter Train Name.trn");
    }
    current_.picturePath.clear();
    setWindowTitle(YardCaption);
}

void TYardForm1::FormActivate()
{
    tonLabel->setText(QString("Total tonnage (t): %1").arg(round_even(consist_.tonnage)));
    lengthLabel->setText(QString("Total length (m): %1").arg(round_even(consist_.length)));
    countLabel->setText(QString("Vehicle count: %1").arg(consist_.count));
    tractiveLabel->setText(QString("Total traction(kN): %1").arg(round_even(consist_.traction)));
}

void TYardForm1::ShowMemo(const std::vector<std::string>& lines)
{
    Memo1->clear();
    for (const std::string& line : lines) Memo1->appendPlainText(latin1(line));
    Memo1->moveCursor(QTextCursor::Start);
}

void TYardForm1::ShowPicture(const std::string& path)
{
    Image1->setPixmap(QPixmap::fromImage(Picture(path)));
}

void TYardForm1::ShowError(const std::string& error)
{
    plat_message_box(message_caption, error.c_str(), PLAT_ICON_ERROR, PLAT_BUTTONS_OK);
}

// A model whose folder name does not fit a vehicle record is refused before anything is read:
// the choice is undone and nothing can be placed until another model is chosen.
bool TYardForm1::RefuseLongName(QComboBox* box, const QString& name)
{
    if (ModelNameFits(bytes(name))) return false;
    ShowError(ModelNameTooLongText(bytes(name)));
    box->setCurrentIndex(-1);
    current_.picturePath.clear();
    Memo1->clear();
    ShowPicture(RootPath("\\images\\empty_rect.bmp"));
    Label3->setText("No unit selected");
    return true;
}

void TYardForm1::ChooseTraction(const QString& name) { ChooseModel(TractionBox, name, true); }

void TYardForm1::ChooseCar(const QString& name) { ChooseModel(CarBox, name, false); }

void TYardForm1::ChooseModel(QComboBox* box, const QString& name, bool traction)
{
    if (RefuseLongName(box, name)) return;
    std::string base = traction ? TractionBase(root_, bytes(name)) : CarBase(root_, bytes(name));
    std::vector<std::string> memo;
    std::string error;
    Memo1->clear();
    ShowPicture(RootPath("\\images\\empty_rect.bmp"));
    const std::string ini = base + ".ini";
    const bool read = traction ? ReadTractionInfo(ini, bytes(name), current_, memo, &error)
                               : ReadCarInfo(ini, bytes(name), current_, memo, &error);
    ShowMemo(memo);
    if (!read && !error.empty()) {
        // The vehicle stays as it was, and nothing is placed until a readable model is chosen.
        ShowError(error);
        current_.picturePath.clear();
        Label3->setText("No unit selected");
        return;
    }
    if (plat_file_exists(base + "-ext.bmp")) {
        current_.picturePath = base + "-ext.bmp";
        ShowPicture(current_.picturePath);
    }
    Label3->setText(name);
}

void TYardForm1::Edit1Change(const QString& text)
{
    trainName_ = bytes(text);
    trainPath_ = RootPath("\\rail yard\\") + trainName_;
    if (trainName_.find(".trn") == std::string::npos) trainPath_ += ".trn";
}

void TYardForm1::DrawGrid1MouseDown(int col, int row, bool alt)
{
    int p = row * grid_cols + col;
    indexLabel->setText(QString("index: %1").arg(p));
    if (alt) {
        ShowVehicleInfo(p);
        return;
    }
    std::string message;
    switch (PlaceVehicleAt(consist_, current_, p, &message)) {
    case TPlaceResult::Refused: ShowMessage(message); break;
    case TPlaceResult::Placed:
        grid_->update(TYardGrid::CellRect(col, row));
        FormActivate();
        break;
    case TPlaceResult::Ignored: break;
    }
}

void TYardForm1::ShowVehicleInfo(int p)
{
    // An empty position holds no vehicle to show; copying its cleared record would let the
    // next click place a nameless vehicle.
    if (p < 0 || p >= consist_.count) return;
    current_.rec = consist_.recs[size_t(p)];
    const QString name = latin1(current_.rec.name);
    if (current_.rec.isTraction == 1) ChooseTraction(name);
    else ChooseCar(name);
}

std::string TYardForm1::CellPicturePath(int n) const
{
    if (n == 0 && consist_.count == 0) return RootPath("\\images\\yard_prompt.bmp");
    if (n < 0 || n >= consist_.count) return "";
    const TVehicleRec& rec = consist_.recs[size_t(n)];
    std::string base = rec.isTraction == 1 ? TractionBase(root_, rec.name) : CarBase(root_, rec.name);
    return base + "-ext.bmp";
}

TBuildResult BuildTrain(QWidget* parent, const std::string& root, TYardSave when)
{
    std::string base = root;
    TConsist driven;
    {
        std::lock_guard guard(SimLock);
        if (base.empty()) base = SimState.paths.root;
        driven = Consist;
    }
    if (base.empty()) base = bytes(QDir::currentPath());
    TYardForm1 form(base, driven, parent);
    if (when == TYardSave::Always) form.SaveOnOk();
    if (form.exec() != 1) return TBuildResult::Cancelled;

    std::string error;
    const bool save = when == TYardSave::Always || form.SaveChecked();
    TConsist train = form.EditedConsist();
    if (save ? !SaveTrain(form.TrainPath(), train, &error)
             : !LoadTrain(form.TrainPath(), train, &error)) {
        plat_message_box(message_caption, error.c_str(), PLAT_ICON_ERROR, PLAT_BUTTONS_OK);
        return TBuildResult::Cancelled;
    }
    {
        std::lock_guard guard(SimLock);
        Consist = train;
        SimState.paths.train = form.TrainPath();
        SimState.trainName = TrainNameOfPath(form.TrainPath());
    }
    if (!save) return TBuildResult::Loaded;
    ShowMessage(TrainSavedMessage(form.TrainName()));
    return TBuildResult::Saved;
}
