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
#include <stdexcept>

#include "app/integer_text.h"
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

constexpr size_t kMaxValueLength = 100;  // a cab layout value is read up to this length

// A field that does not hold what the item needs; the message says which and why.
class EConvertError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

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

// The field's integer, within [low, high]; throws EConvertError otherwise.
int FieldInt(const QLineEdit* edit, int low, int high)
{
    const std::string text = Bytes(edit);
    int value = 0;
    std::string error;
    if (!IntegerText(text, INT32_MIN, INT32_MAX, &value, &error))
        throw EConvertError(error);
    if (value < low || value > high)
        throw EConvertError("'" + text + "' is not a valid value for " +
                            edit->accessibleName().toStdString() + ": it must lie between " +
                            std::to_string(low) + " and " + std::to_string(high));
    return int(value);
}

int FieldInt(const QLineEdit* edit)
{
    return FieldInt(edit, INT32_MIN, INT32_MAX);
}

template <class T, size_t N>
int PositionOf(const T (&table)[N], T value)
{
    for (size_t i = 0; i < N; ++i)
        if (table[i] == value)
            return int(i);
    return -1;
}

// The value of a radio group's checked position; fallback when none is checked.
template <class T, size_t N>
T ValueAt(const T (&table)[N], const TRadioGroup* group, T fallback)
{
    const int i = group->ItemIndex();
    return i >= 0 && size_t(i) < N ? table[i] : fallback;
}

template <class T, size_t N>
void FillGroup(TRadioGroup* group, const T (&table)[N], T value)
{
    const int i = PositionOf(table, value);
    if (i >= 0)
        group->SetItemIndex(i);
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

// The function name must make a file name and a cab layout value that read back.
void CheckFunctionName(const std::string& model, const std::string& function)
{
    if (function.find_first_of(",:=\\/\r\n") != std::string::npos)
        throw EConvertError("'" + function +
                            "' cannot be a model name: it may not hold , : = \\ or /");
    const std::string value = model + "." + function + ", " + std::to_string(-kMaxCabSide) +
                              ":" + std::to_string(-kMaxCabSide);
    if (value.size() > kMaxValueLength)
        throw EConvertError("'" + function + "' is too long for a model name");
}

// Height, width, top and left in that order.
void ApplyPlace(const TCabItemForm& form, QWidget& item)
{
    item.resize(item.width(), FieldInt(form.height, 0, kMaxCabSide));
    item.resize(FieldInt(form.width, 0, kMaxCabSide), item.height());
    item.move(item.x(), FieldInt(form.top, -kMaxCabSide, kMaxCabSide));
    item.move(FieldInt(form.left, -kMaxCabSide, kMaxCabSide), item.y());
}

// Sets a range through setters that refuse an inverted one, in the order that lets any
// valid new range through.
template <class SetMin, class SetMax>
void ApplyRange(const QLineEdit* minField, const QLineEdit* maxField, int currentMax,
                SetMin setMin, SetMax setMax)
{
    const int low = FieldInt(minField);
    int high = 0;
    try {
        high = FieldInt(maxField);
    } catch (const EConvertError&) {
        setMin(low);
        throw;
    }
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
    if (imageName)
        WriteItemBitmapName(key, *imageName);
    return true;
}

// Runs an apply step by step; a bad field stops it with its message.
template <class Apply>
bool Guarded(const TCabItemForm& form, Apply apply)
{
    try {
        CheckFunctionName(CurrentModel().name, Bytes(form.modelName));
        return apply();
    } catch (const EConvertError& e) {
        ShowMessage(e.what());
    } catch (const EInvalidOperation& e) {
        ShowMessage(e.what());
    }
    return false;
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
    fields_ = new QFormLayout;
    layout_->addLayout(fields_);
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
    layout_->addWidget(group);
    return group;
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
    FillGroup(form.RadioGroup1, kOrientations, lever->Orientation());
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
    return Guarded(form, [&] {
        ApplyPlace(form, *lever);
        lever->SetOrientation(ValueAt(kOrientations, form.RadioGroup1, lever->Orientation()));
        lever->SetTumbHeight(FieldInt(form.thumbHeight, 0, kMaxCabSide));
        lever->SetTumbWidth(FieldInt(form.thumbWidth, 0, kMaxCabSide));
        ApplyRange(
            form.minValue, form.maxValue, lever->Maximum(),
            [&](int v) { lever->SetMinimum(v); }, [&](int v) { lever->SetMaximum(v); });
        const std::string image = Bytes(form.bitmap);
        // A missing frame keeps the frames the lever had; its message says which.
        LoadLeverImages(n, image);
        ShowLeverFrame(n, 0);
        const auto file = [n](const TvexaTracker& t) {
            return LeverItemFile(t, CabItems.leverImages[size_t(n - 1)]);
        };
        return Publish(form, *lever, ItemKey("control", n), file, &image);
    });
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
    FillGroup(form.RadioGroup1, kGaugeKindPositions, gauge->Kind());
    FillGroup(form.colourGroup1, kNeedleColours, gauge->ForeColor());
    FillGroup(form.colourGroup2, kNeedleBaseColours, gauge->BackColor());
}

bool ApplyGaugeEdit(const TGaugeEditForm& form, int n)
{
    TQuorrGauge* gauge = Slot(CabItems.gauges, n);
    if (!gauge)
        return false;
    return Guarded(form, [&] {
        ApplyPlace(form, *gauge);
        ApplyRange(
            form.minValue, form.maxValue, gauge->MaxValue(),
            [&](int v) { gauge->SetMinValue(v); }, [&](int v) { gauge->SetMaxValue(v); });
        gauge->SetProgress(FieldInt(form.progress));
        gauge->SetKind(ValueAt(kGaugeKindPositions, form.RadioGroup1, gauge->Kind()));
        gauge->SetForeColor(ValueAt(kNeedleColours, form.colourGroup1, gauge->ForeColor()));
        gauge->SetBackColor(ValueAt(kNeedleBaseColours, form.colourGroup2, gauge->BackColor()));
        const std::string image = Bytes(form.bitmap);
        const QImage back = ItemBitmap(image, gauge->BackBitmap());
        if (!back.isNull())
            gauge->SetBackBitmap(back);
        return Publish(form, *gauge, ItemKey("gauge", n), GaugeItemFile, &image);
    });
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
    return Guarded(form, [&] {
        ApplyPlace(form, *button);
        const std::string image = Bytes(form.bitmap);
        const QImage glyph = ItemBitmap(image, button->Glyph());
        if (!glyph.isNull())
            button->SetGlyph(glyph);
        return Publish(form, *button, ItemKey("swpush", n), PushSwitchItemFile, &image);
    });
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
    return Guarded(form, [&] {
        ApplyPlace(form, *button);
        button->SetGroupIndex(FieldInt(form.groupid));
        const std::string image = Bytes(form.bitmap);
        const QImage glyph = ItemBitmap(image, button->Glyph());
        if (!glyph.isNull())
            button->SetGlyph(glyph);
        return Publish(form, *button, ItemKey("swtogg", n), ToggleSwitchItemFile, &image);
    });
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
    FillGroup(form.RadioGroup1, kLightColours, light->BrushColor());
    FillGroup(form.shapeRadioGroup, kLightShapes, light->Shape());
}

bool ApplyLightEdit(const TLightForm& form, int n)
{
    TShape* light = Slot(CabItems.lights, n);
    if (!light)
        return false;
    return Guarded(form, [&] {
        ApplyPlace(form, *light);
        light->SetBrushColor(ValueAt(kLightColours, form.RadioGroup1, light->BrushColor()));
        light->SetShape(ValueAt(kLightShapes, form.shapeRadioGroup, light->Shape()));
        return Publish(form, *light, ItemKey("light", n), LightItemFile, nullptr);
    });
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
    if (!item)
        return;
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
