// Cab item property dialogs: create a lever, gauge, switch or light, fill its dialog, apply it.
#include "cab/cab_item_editors.h"

#include <QFile>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include <array>
#include <cstdint>
#include <mutex>
#include <utility>

#include "app/main_window.h"
#include "app/qt_message_box.h"
#include "app/sim_state.h"
#include "cab/cab_item_files.h"
#include "cab/cab_items.h"
#include "cab/cab_layout.h"
#include "cab/cab_picture.h"
#include "cab/traction_model.h"
#include "platform/numbers.h"
#include "platform/paths.h"

namespace {

constexpr int kRowsPerColumn = 9;  // radio buttons in one column of groups

QString Text(const std::string& s)
{
    return QString::fromLatin1(s);
}

std::string Bytes(const QLineEdit* edit)
{
    return edit->text().toLatin1().toStdString();
}

void SetNumber(QLineEdit* edit, int value)
{
    edit->setText(QString::number(value));
}

// The integer of a field that passed its check.
int Number(const QLineEdit* edit)
{
    long value = 0;
    plat_parse_int(Bytes(edit), &value);
    return int(value);
}

// Walks a dialog's fields in order and keeps the first one the item cannot take.
class TChecker {
public:
    const TFieldProblem& Problem() const { return problem_; }
    bool Ok() const { return problem_.field == nullptr; }

    void Fail(QLineEdit* field, const std::string& message)
    {
        if (Ok())
            problem_ = {field, message};
    }

    // The field's whole number within [low, high]; low after a problem.
    int Int(QLineEdit* field, int low, int high)
    {
        if (!Ok())
            return low;
        long value = 0;
        if (plat_parse_int(Bytes(field), &value) && value >= low && value <= high)
            return int(value);
        const std::string name = field->accessibleName().toStdString();
        if (low == INT32_MIN && high == INT32_MAX)
            Fail(field, name + " must be a whole number.");
        else
            Fail(field, name + " must be a whole number from " + std::to_string(low) + " to " +
                            std::to_string(high) + ".");
        return low;
    }

    // A range whose minimum lies below its maximum.
    std::pair<int, int> Range(QLineEdit* minField, QLineEdit* maxField)
    {
        const int low = Int(minField, INT32_MIN, INT32_MAX);
        const int high = Int(maxField, INT32_MIN, INT32_MAX);
        if (Ok() && low >= high)
            Fail(minField, "Minimum must be below maximum.");
        return {low, high};
    }

private:
    TFieldProblem problem_;
};

template <class T, size_t N>
int PositionOf(const T (&table)[N], T value)
{
    for (size_t i = 0; i < N; ++i)
        if (table[i] == value)
            return int(i);
    return -1;
}

// The value of a radio group's checked position; fallback when none, or an added one, is checked.
template <class T, size_t N>
T ValueAt(const T (&table)[N], const TRadioGroup* group, T fallback)
{
    const int i = group->ItemIndex();
    return i >= 0 && size_t(i) < N ? table[i] : fallback;
}

// Checks the value's position; a value without one gets a button of its own, named by
// caption, so OK keeps it.
template <class T, size_t N, class Caption>
void FillGroup(TRadioGroup* group, const T (&table)[N], T value, Caption caption)
{
    const int i = PositionOf(table, value);
    group->SetItemIndex(i >= 0 ? i : group->AddItem(caption(value)));
}

QString ColourCaption(TColor colour)
{
    return QString("other: red %1, green %2, blue %3")
        .arg(colour & 0xFF)
        .arg((colour >> 8) & 0xFF)
        .arg((colour >> 16) & 0xFF);
}

QString KindCaption(TGaugeKind kind)
{
    return kind == gkText ? "Text" : kind == gkPie ? "Pie" : QString("kind %1").arg(int(kind));
}

template <class T>
QString NumberCaption(T value)
{
    return QString("other: %1").arg(int(value));
}

// The current model's name and its INI file.
struct TModel {
    std::string name;
    std::string ini;
};

TModel CurrentModel()
{
    std::lock_guard guard(SimLock);
    return {SimState.tractionModel, SimState.paths.traction + ".ini"};
}

std::string ItemKey(const char* word, int n)
{
    return word + std::to_string(n);
}

template <class T>
T* Slot(const std::array<T*, kMaxCabItems>& items, int n)
{
    return n >= 1 && n <= kMaxCabItems ? items[size_t(n - 1)] : nullptr;
}

// Puts a new control of type T into slot n (freeing any there), named key, hidden.
template <class T>
T* CreateItem(std::array<T*, kMaxCabItems>& items, int n, const std::string& key)
{
    if (n < 1 || n > kMaxCabItems)
        return nullptr;
    delete items[size_t(n - 1)];
    auto* item = new T(CabParent());
    items[size_t(n - 1)] = item;
    item->setObjectName(Text(key));
    item->hide();
    return item;
}

void FillCommon(TCabItemForm& form, const QWidget& item)
{
    form.modelName->setText(item.toolTip());
    SetNumber(form.height, item.height());
    SetNumber(form.width, item.width());
    SetNumber(form.top, item.y());
    SetNumber(form.left, item.x());
}

// The function name must be there and make a file name and a cab layout value that read back.
void CheckFunctionName(TChecker& check, QLineEdit* field, const std::string& model)
{
    const std::string function = Bytes(field);
    if (function.find_first_not_of(" \t") == std::string::npos)
        check.Fail(field, "Model name may not be empty.");
    if (function.find_first_of(",:=\\/\r\n") != std::string::npos)
        check.Fail(field, "'" + function + "' cannot be a model name: it may not hold , : = \\ or /");
    const std::string value = model + "." + function + ", " + std::to_string(-kMaxCabSide) +
                              ":" + std::to_string(-kMaxCabSide);
    if (value.size() > kMaxValueLength)
        check.Fail(field, "'" + function + "' is too long for a model name");
}

// Height, width, top and left in that order.
void ApplyPlace(const TCabItemForm& form, QWidget& item)
{
    item.resize(Number(form.width), Number(form.height));
    item.move(Number(form.left), Number(form.top));
}

// Sets a checked range through setters that refuse an inverted one, in the order that lets
// any valid new range through.
template <class SetMin, class SetMax>
void ApplyRange(const QLineEdit* minField, const QLineEdit* maxField, int currentMax,
                SetMin setMin, SetMax setMax)
{
    const int low = Number(minField);
    const int high = Number(maxField);
    if (low >= currentMax) {
        setMax(high);
        setMin(low);
    } else {
        setMin(low);
        setMax(high);
    }
}

// A back bitmap or glyph: root "\cab items\images\" name ".bmp"; without that file the
// item keeps the picture it has, and one without a picture takes root "\images\default.bmp".
// A null image (with a message) when there is nothing to show.
QImage ItemBitmap(const std::string& name, const QImage& current)
{
    const std::string root = SimRoot();
    std::string path = plat_path_resolve(root + "\\cab items\\images\\" + name + ".bmp");
    if (path.empty() && !current.isNull())
        return current;
    if (path.empty())
        path = plat_path_resolve(root + "\\images\\default.bmp");
    QImage image;
    if (!path.empty())
        image.load(QFile::decodeName(path.c_str()), "BMP");
    if (image.isNull())
        ShowMessage("Cannot open file \"" + root + "\\images\\default.bmp\"");
    return image;
}

// Writes the item's ".cit" file, its `cab layout` key and, when it has one, its image name.
bool SaveItem(const std::string& key, const QWidget& item, const CitFile& file,
              const std::string* imageName)
{
    const TModel model = CurrentModel();
    const std::string stem = model.name + "." + item.toolTip().toLatin1().toStdString();
    if (!SaveCabItemFile(SimRoot() + "\\cab items\\" + stem + ".cit", file))
        return false;
    if (!WriteCabLayoutKey(model.ini, key,
                           stem + ", " + std::to_string(item.y()) + ":" +
                               std::to_string(item.x())))
        return false;
    // An unchanged name stays as it is written, or unwritten.
    if (imageName && *imageName != ReadItemBitmapName(key))
        WriteItemBitmapName(key, *imageName);
    return true;
}

// True, with the message, when a field of the dialog is one the item cannot take.
bool Refused(const TCabItemForm& form)
{
    const TFieldProblem problem = form.Check();
    if (!problem.field)
        return false;
    ShowMessage(problem.message);
    return true;
}

// The end every apply shares: sets the hint and shows the item, then saves it.
template <class T, class MakeFile>
bool Publish(const TCabItemForm& form, T& item, const std::string& key, MakeFile makeFile,
             const std::string* imageName)
{
    item.setToolTip(form.modelName->text());
    item.show();
    return SaveItem(key, item, makeFile(item), imageName);
}

// The dialog flow every item type shares.
template <class Form, class T, class Create, class Fill, class Apply>
void EditItem(std::array<T*, kMaxCabItems>& items, int& count, const char* word,
              const char* className, int n, bool isNew, Create create, Fill fill, Apply apply)
{
    const std::string key = ItemKey(word, n);
    if (isNew ? !CabItemNumberAllowed(key, n) : !Slot(items, n))
        return;
    Form form(VaruRor);
    form.editTitle->setText(Text("Edit: " + key + " (" + className + ")"));
    if (isNew) {
        create(n);
        count = n;
    }
    fill(form, n);
    if (form.exec() == QDialog::Accepted && apply(form, n))
        return;
    if (isNew) {
        // Nothing of a new item was saved: it goes, so no gap is left in its type's keys.
        delete items[size_t(n - 1)];
        items[size_t(n - 1)] = nullptr;
        count = n - 1;
    }
}

}  // namespace

TRadioGroup::TRadioGroup(const char* caption, std::initializer_list<const char*> items,
                         QWidget* parent)
    : QGroupBox(caption, parent)
{
    auto* layout = new QVBoxLayout(this);
    for (const char* item : items) {
        auto* button = new QRadioButton(item, this);
        buttons_.push_back(button);
        layout->addWidget(button);
    }
}

int TRadioGroup::ItemIndex() const
{
    for (size_t i = 0; i < buttons_.size(); ++i)
        if (buttons_[i]->isChecked())
            return int(i);
    return -1;
}

void TRadioGroup::SetItemIndex(int index)
{
    if (index >= 0 && size_t(index) < buttons_.size())
        buttons_[size_t(index)]->setChecked(true);
}

int TRadioGroup::AddItem(const QString& caption)
{
    auto* button = new QRadioButton(caption, this);
    buttons_.push_back(button);
    layout()->addWidget(button);
    return int(buttons_.size()) - 1;
}

QStringList TRadioGroup::Items() const
{
    QStringList items;
    for (const QRadioButton* button : buttons_)
        items << button->text();
    return items;
}

TCabItemForm::TCabItemForm(const char* caption, QWidget* parent) : QDialog(parent)
{
    setWindowTitle(caption);
    layout_ = new QVBoxLayout(this);
    editTitle = new QLabel(this);
    editTitle->setObjectName("editTitle");
    layout_->addWidget(editTitle);
    // The fields on the left, the groups in columns beside them: the tallest dialog fits a
    // 768-pixel screen.
    auto* body = new QHBoxLayout;
    fields_ = new QFormLayout;
    body->addLayout(fields_);
    groupColumns_ = new QHBoxLayout;
    body->addLayout(groupColumns_);
    layout_->addLayout(body);
    modelName = AddField("modelName", "Model name");
    fields_->addRow(new QLabel("Dimensions in PIXELS", this));
    height = AddField("height", "Height");
    width = AddField("width", "Width");
    top = AddField("top", "Top");
    left = AddField("left", "Left");
}

QLineEdit* TCabItemForm::AddField(const char* name, const char* label)
{
    auto* edit = new QLineEdit(this);
    edit->setObjectName(name);
    edit->setAccessibleName(label);
    fields_->addRow(label, edit);
    return edit;
}

TRadioGroup* TCabItemForm::AddGroup(const char* name, const char* caption,
                                    std::initializer_list<const char*> items, int initial)
{
    auto* group = new TRadioGroup(caption, items, this);
    group->setObjectName(name);
    group->SetItemIndex(initial);
    const int rows = int(items.size());
    if (!lastColumn_ || lastColumnRows_ + rows > kRowsPerColumn) {
        lastColumn_ = new QVBoxLayout;
        lastColumn_->addStretch();
        groupColumns_->addLayout(lastColumn_);
        lastColumnRows_ = 0;
    }
    lastColumn_->insertWidget(lastColumn_->count() - 1, group);
    lastColumnRows_ += rows;
    return group;
}

TFieldProblem TCabItemForm::Check() const
{
    TChecker check;
    CheckFunctionName(check, modelName, CurrentModel().name);
    check.Int(height, 0, kMaxCabSide);
    check.Int(width, 0, kMaxCabSide);
    check.Int(top, -kMaxCabSide, kMaxCabSide);
    check.Int(left, -kMaxCabSide, kMaxCabSide);
    return check.Problem();
}

void TCabItemForm::accept()
{
    const TFieldProblem problem = Check();
    if (!problem.field) {
        QDialog::accept();
        return;
    }
    ShowMessage(problem.message);
    problem.field->setFocus();
    problem.field->selectAll();
}

void TCabItemForm::AddButtons(const char* okName, const char* cancelName)
{
    auto* row = new QHBoxLayout;
    okButton = new QPushButton("OK", this);
    okButton->setObjectName(okName);
    okButton->setDefault(true);
    cancelButton = new QPushButton("Cancel", this);
    cancelButton->setObjectName(cancelName);
    connect(okButton, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancelButton, &QPushButton::clicked, this, &QDialog::reject);
    row->addStretch();
    row->addWidget(okButton);
    row->addWidget(cancelButton);
    layout_->addLayout(row);
}

TConEditForm::TConEditForm(QWidget* parent) : TCabItemForm("ControlEdit", parent)
{
    thumbHeight = AddField("thumbHeight", "Thumb height");
    thumbWidth = AddField("thumbWidth", "Thumb width");
    minValue = AddField("minValue", "Minimum value");
    maxValue = AddField("maxValue", "Maximum value");
    bitmap = AddField("bitmap", "BackBitmap name");
    RadioGroup1 = AddGroup("RadioGroup1", "Orientation", {"Horizontal", "Vertical"}, 0);
    AddButtons("OKBtn", "CancelBtn");
}

TGaugeEditForm::TGaugeEditForm(QWidget* parent) : TCabItemForm("GaugeEditForm", parent)
{
    minValue = AddField("minValue", "Minimum value");
    maxValue = AddField("maxValue", "Maximum value");
    progress = AddField("progress", "Initial Value");
    bitmap = AddField("bitmap", "BackBitmap name");
    RadioGroup1 = AddGroup("RadioGroup1", "Gauge Kind",
                           {"H needle", "V needle", "H bar", "V bar", "270 needle",
                            "180 R needle", "180 L needle", "90 needle"},
                           0);
    colourGroup1 = AddGroup("colourGroup1", "Needle colour", {"black", "red", "white"}, 0);
    colourGroup2 = AddGroup("colourGroup2", "Needle base colour",
                            {"maroon", "gray", "navy", "red", "black", "white"}, 0);
    AddButtons("OKBtn", "CancelBtn");
}

TFieldProblem TConEditForm::Check() const
{
    TFieldProblem problem = TCabItemForm::Check();
    if (problem.field)
        return problem;
    TChecker check;
    // The lever keeps its thumb inside its height.
    const int leverHeight = Number(height);
    if (leverHeight <= 0)
        check.Fail(thumbHeight, "Thumb height must be below the Height, which is 0.");
    check.Int(thumbHeight, 0, leverHeight - 1);
    check.Int(thumbWidth, 0, kMaxCabSide);
    check.Range(minValue, maxValue);
    return check.Problem();
}

TFieldProblem TGaugeEditForm::Check() const
{
    TFieldProblem problem = TCabItemForm::Check();
    if (problem.field)
        return problem;
    TChecker check;
    const auto [low, high] = check.Range(minValue, maxValue);
    check.Int(progress, low, high);
    return check.Problem();
}

TSwitchPushForm::TSwitchPushForm(QWidget* parent) : TCabItemForm("Switch_Push", parent)
{
    bitmap = AddField("bitmap", "BackBitmap file");
    AddButtons("OKBtn", "CancelBtn");
}

TSwitchTogForm::TSwitchTogForm(QWidget* parent) : TCabItemForm("SwitchTogForm", parent)
{
    bitmap = AddField("bitmap", "BackBitmap name");
    groupid = AddField("groupid", "GroupID");
    AddButtons("OKBtn", "CancelBtn");
}

TFieldProblem TSwitchTogForm::Check() const
{
    TFieldProblem problem = TCabItemForm::Check();
    if (problem.field)
        return problem;
    TChecker check;
    check.Int(groupid, INT32_MIN, INT32_MAX);
    return check.Problem();
}

TLightForm::TLightForm(QWidget* parent) : TCabItemForm("LightForm", parent)
{
    RadioGroup1 =
        AddGroup("RadioGroup1", "Colour", {"Yellow", "Red", "Green", "Blue", "White"}, 4);
    shapeRadioGroup = AddGroup("shapeRadioGroup", "Shape", {"Circle", "Rectangle"}, 0);
    AddButtons("Button2", "Button1");
}

TvexaTracker* CreateControlItem(int n)
{
    TvexaTracker* lever = CreateItem(CabItems.levers, n, ItemKey("control", n));
    if (!lever)
        return nullptr;
    CabItems.leverImages[size_t(n - 1)] = TImageList{};
    lever->SetOnChangedValue(LeverChanged);
    lever->setAttribute(Qt::WA_OpaquePaintEvent);
    return lever;
}

void FillControlEdit(TConEditForm& form, int n)
{
    const TvexaTracker* lever = Slot(CabItems.levers, n);
    if (!lever)
        return;
    form.bitmap->setText(Text(ReadItemBitmapName(ItemKey("control", n))));
    FillCommon(form, *lever);
    FillGroup(form.RadioGroup1, kOrientations, lever->Orientation(), NumberCaption<TvtbOrientation>);
    SetNumber(form.thumbHeight, lever->TumbHeight());
    SetNumber(form.thumbWidth, lever->TumbWidth());
    SetNumber(form.minValue, lever->Minimum());
    SetNumber(form.maxValue, lever->Maximum());
}

bool ApplyControlEdit(const TConEditForm& form, int n)
{
    TvexaTracker* lever = Slot(CabItems.levers, n);
    if (!lever)
        return false;
    if (Refused(form))
        return false;
    ApplyPlace(form, *lever);
    lever->SetOrientation(ValueAt(kOrientations, form.RadioGroup1, lever->Orientation()));
    lever->SetTumbHeight(Number(form.thumbHeight));
    lever->SetTumbWidth(Number(form.thumbWidth));
    ApplyRange(
        form.minValue, form.maxValue, lever->Maximum(), [&](int v) { lever->SetMinimum(v); },
        [&](int v) { lever->SetMaximum(v); });
    const std::string image = Bytes(form.bitmap);
    // A missing frame keeps the frames the lever had; its message says which.
    LoadLeverImages(n, image);
    ShowLeverFrame(n, 0);
    const auto file = [n](const TvexaTracker& t) {
        return LeverItemFile(t, CabItems.leverImages[size_t(n - 1)]);
    };
    return Publish(form, *lever, ItemKey("control", n), file, &image);
}

TQuorrGauge* CreateGaugeItem(int n)
{
    return CreateItem(CabItems.gauges, n, ItemKey("gauge", n));
}

void FillGaugeEdit(TGaugeEditForm& form, int n)
{
    const TQuorrGauge* gauge = Slot(CabItems.gauges, n);
    if (!gauge)
        return;
    form.bitmap->setText(Text(ReadItemBitmapName(ItemKey("gauge", n))));
    FillCommon(form, *gauge);
    SetNumber(form.minValue, gauge->MinValue());
    SetNumber(form.maxValue, gauge->MaxValue());
    SetNumber(form.progress, gauge->Progress());
    FillGroup(form.RadioGroup1, kGaugeKindPositions, gauge->Kind(), KindCaption);
    FillGroup(form.colourGroup1, kNeedleColours, gauge->ForeColor(), ColourCaption);
    FillGroup(form.colourGroup2, kNeedleBaseColours, gauge->BackColor(), ColourCaption);
}

bool ApplyGaugeEdit(const TGaugeEditForm& form, int n)
{
    TQuorrGauge* gauge = Slot(CabItems.gauges, n);
    if (!gauge)
        return false;
    if (Refused(form))
        return false;
    ApplyPlace(form, *gauge);
    ApplyRange(
        form.minValue, form.maxValue, gauge->MaxValue(), [&](int v) { gauge->SetMinValue(v); },
        [&](int v) { gauge->SetMaxValue(v); });
    gauge->SetProgress(Number(form.progress));
    gauge->SetKind(ValueAt(kGaugeKindPositions, form.RadioGroup1, gauge->Kind()));
    gauge->SetForeColor(ValueAt(kNeedleColours, form.colourGroup1, gauge->ForeColor()));
    gauge->SetBackColor(ValueAt(kNeedleBaseColours, form.colourGroup2, gauge->BackColor()));
    const std::string image = Bytes(form.bitmap);
    const QImage back = ItemBitmap(image, gauge->BackBitmap());
    if (!back.isNull())
        gauge->SetBackBitmap(back);
    return Publish(form, *gauge, ItemKey("gauge", n), GaugeItemFile, &image);
}

TBitBtn* CreateSwPushItem(int n)
{
    TBitBtn* button = CreateItem(CabItems.pushSwitches, n, ItemKey("swpush", n));
    if (button) {
        button->setText(QString());
        button->setFocusPolicy(Qt::NoFocus);
    }
    return button;
}

void FillSwPushEdit(TSwitchPushForm& form, int n)
{
    const TBitBtn* button = Slot(CabItems.pushSwitches, n);
    if (!button)
        return;
    form.bitmap->setText(Text(ReadItemBitmapName(ItemKey("swpush", n))));
    FillCommon(form, *button);
}

bool ApplySwPushEdit(const TSwitchPushForm& form, int n)
{
    TBitBtn* button = Slot(CabItems.pushSwitches, n);
    if (!button)
        return false;
    if (Refused(form))
        return false;
    ApplyPlace(form, *button);
    const std::string image = Bytes(form.bitmap);
    const QImage glyph = ItemBitmap(image, button->Glyph());
    if (!glyph.isNull())
        button->SetGlyph(glyph);
    return Publish(form, *button, ItemKey("swpush", n), PushSwitchItemFile, &image);
}

TSpeedButton* CreateSwTogItem(int n)
{
    TSpeedButton* button = CreateItem(CabItems.toggleSwitches, n, ItemKey("swtogg", n));
    if (button) {
        button->SetAllowAllUp(true);
        button->setAutoRaise(true);
        button->SetNumGlyphs(4);
    }
    return button;
}

void FillSwTogEdit(TSwitchTogForm& form, int n)
{
    const TSpeedButton* button = Slot(CabItems.toggleSwitches, n);
    if (!button)
        return;
    form.bitmap->setText(Text(ReadItemBitmapName(ItemKey("swtogg", n))));
    FillCommon(form, *button);
    SetNumber(form.groupid, button->GroupIndex());
}

bool ApplySwTogEdit(const TSwitchTogForm& form, int n)
{
    TSpeedButton* button = Slot(CabItems.toggleSwitches, n);
    if (!button)
        return false;
    if (Refused(form))
        return false;
    ApplyPlace(form, *button);
    button->SetGroupIndex(Number(form.groupid));
    const std::string image = Bytes(form.bitmap);
    const QImage glyph = ItemBitmap(image, button->Glyph());
    if (!glyph.isNull())
        button->SetGlyph(glyph);
    return Publish(form, *button, ItemKey("swtogg", n), ToggleSwitchItemFile, &image);
}

TShape* CreateLightItem(int n)
{
    TShape* light = CreateItem(CabItems.lights, n, ItemKey("light", n));
    if (light) {
        light->SetShape(stCircle);
        light->SetPenWidth(2);
    }
    return light;
}

void FillLightEdit(TLightForm& form, int n)
{
    const TShape* light = Slot(CabItems.lights, n);
    if (!light)
        return;
    FillCommon(form, *light);
    FillGroup(form.RadioGroup1, kLightColours, light->BrushColor(), ColourCaption);
    FillGroup(form.shapeRadioGroup, kLightShapes, light->Shape(), NumberCaption<TShapeType>);
}

bool ApplyLightEdit(const TLightForm& form, int n)
{
    TShape* light = Slot(CabItems.lights, n);
    if (!light)
        return false;
    if (Refused(form))
        return false;
    ApplyPlace(form, *light);
    light->SetBrushColor(ValueAt(kLightColours, form.RadioGroup1, light->BrushColor()));
    light->SetShape(ValueAt(kLightShapes, form.shapeRadioGroup, light->Shape()));
    return Publish(form, *light, ItemKey("light", n), LightItemFile, nullptr);
}

void EditControlItem(int n, bool isNew)
{
    EditItem<TConEditForm>(CabItems.levers, CabItems.leverCount, "control", "TrackBar", n, isNew,
                           CreateControlItem, FillControlEdit, ApplyControlEdit);
    if (isNew && !Slot(CabItems.levers, n) && n >= 1 && n <= kMaxCabItems)
        CabItems.leverImages[size_t(n - 1)] = TImageList{};
}

void EditGaugeItem(int n, bool isNew)
{
    EditItem<TGaugeEditForm>(CabItems.gauges, CabItems.gaugeCount, "gauge", "TGauge", n, isNew,
                             CreateGaugeItem, FillGaugeEdit, ApplyGaugeEdit);
}

void EditSwPushItem(int n, bool isNew)
{
    EditItem<TSwitchPushForm>(CabItems.pushSwitches, CabItems.pushCount, "swpush", "TBitBtn", n,
                              isNew, CreateSwPushItem, FillSwPushEdit, ApplySwPushEdit);
}

void EditSwTogItem(int n, bool isNew)
{
    EditItem<TSwitchTogForm>(CabItems.toggleSwitches, CabItems.toggleCount, "swtogg",
                             "TSpeedButton", n, isNew, CreateSwTogItem, FillSwTogEdit,
                             ApplySwTogEdit);
}

void EditLightItem(int n, bool isNew)
{
    EditItem<TLightForm>(CabItems.lights, CabItems.lightCount, "light", "TShape", n, isNew,
                         CreateLightItem, FillLightEdit, ApplyLightEdit);
}

const char* CabItemTypeWord(TCabItemType type)
{
    static const char* const words[] = {"control", "gauge", "swtogg", "swpush", "light"};
    return words[type];
}

int CabItemCount(TCabItemType type)
{
    const int counts[] = {CabItems.leverCount, CabItems.gaugeCount, CabItems.toggleCount,
                          CabItems.pushCount, CabItems.lightCount};
    return counts[type];
}

void EditCabItem(TCabItemType type, int n, bool isNew)
{
    switch (type) {
    case citLever: EditControlItem(n, isNew); break;
    case citGauge: EditGaugeItem(n, isNew); break;
    case citToggle: EditSwTogItem(n, isNew); break;
    case citPush: EditSwPushItem(n, isNew); break;
    case citLight: EditLightItem(n, isNew); break;
    }
}

void EditSelectedCabItem()
{
    QWidget* item = SelectedCabItem();
    if (!item) {
        ShowMessage("No cab item is selected: click one with the right mouse button first.");
        return;
    }
    MarkSelectedCabItemPlaced();
    const std::string name = item->objectName().toLatin1().toStdString();
    for (const TCabItemType type : {citLever, citGauge, citToggle, citPush, citLight}) {
        const std::string word = CabItemTypeWord(type);
        long n = 0;
        if (name.starts_with(word) &&
            plat_parse_int(std::string_view(name).substr(word.size()), &n) && n >= 1 &&
            n <= kMaxCabItems)
            EditCabItem(type, int(n), false);
    }
    if (CabParent())
        CabParent()->update();
    if (QWidget* selected = SelectedCabItem())
        DrawItemFrame(selected->geometry());
}
