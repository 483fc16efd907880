// Cab item files: the streamed components of a ".cit" file read into cab controls and back.
#include "cab/cab_item_files.h"

#include <climits>
#include <stdexcept>
#include <string>

#include "cab/cab_picture.h"

namespace {

const char* const kGaugeKinds[] = {"gkText",       "gkHorizontalBar", "gkVerticalBar",
                                   "gkPie",        "gk270needle",     "gk180Lneedle",
                                   "gk180Rneedle", "gk90needle",      "gkHneedle",
                                   "gkVneedle"};

const CitComponent& Entry(const CitFile& file, const char* name)
{
    const CitEntry* entry = file.find(name);
    if (!entry)
        throw CitError(std::string("the cab item file has no \"") + name + "\" entry");
    return entry->component;
}

// Reads an integer property within [low, high] into set() when present; a value outside
// refuses the file.
template <class Set>
void IntIn(const CitComponent& c, const char* name, int low, int high, Set set)
{
    if (const CitValue* v = c.find(name)) {
        const int64_t value = v->as_integer();
        if (value < low || value > high)
            throw CitError(std::string("property ") + name + " holds " + std::to_string(value) +
                           ", outside " + std::to_string(low) + ".." + std::to_string(high));
        set(int(value));
    }
}

template <class Set>
void Int(const CitComponent& c, const char* name, Set set)
{
    IntIn(c, name, INT_MIN, INT_MAX, set);
}

// A size or position in pixels: within what a cab picture can hold.
template <class Set>
void Pixels(const CitComponent& c, const char* name, Set set)
{
    IntIn(c, name, 0, kMaxCabSide, set);
}

template <class Set>
void Position(const CitComponent& c, const char* name, Set set)
{
    IntIn(c, name, -kMaxCabSide, kMaxCabSide, set);
}

template <class Set>
void Bool(const CitComponent& c, const char* name, Set set)
{
    if (const CitValue* v = c.find(name))
        set(v->as_boolean());
}

template <class Set>
void Color(const CitComponent& c, const char* name, Set set)
{
    if (const CitValue* v = c.find(name)) {
        const auto color = cit_color_of(*v);
        if (!color)
            throw CitError(std::string("property ") + name + " is not a colour");
        set(TColor(*color));
    }
}

template <class Set>
void Bitmap(const CitComponent& c, const char* name, Set set)
{
    if (const CitValue* v = c.find(name)) {
        const CitGraphicData graphic = cit_read_graphic_data(v->as_binary(), false);
        if (graphic.image.empty())
            return;  // an empty bitmap
        const QImage image = ImageFromBitmapFile(graphic.image);
        if (image.isNull())
            throw CitError(std::string("property ") + name + " holds no readable bitmap");
        set(image);
    }
}

// Size, position, visibility and hint, shared by every item.
void ReadControl(const CitComponent& c, QWidget& w)
{
    QRect g = w.geometry();
    Position(c, "Left", [&](int v) { g.moveLeft(v); });
    Position(c, "Top", [&](int v) { g.moveTop(v); });
    Pixels(c, "Width", [&](int v) { g.setWidth(v); });
    Pixels(c, "Height", [&](int v) { g.setHeight(v); });
    w.setGeometry(g);
    Bool(c, "Visible", [&](bool v) { w.setVisible(v); });
    if (const CitValue* v = c.find("Hint"))
        w.setToolTip(QString::fromLatin1(v->as_text()));
}

CitValue Int(int64_t v)
{
    return CitValue::make_integer(v);
}

CitValue Bool(bool v)
{
    return CitValue::make_boolean(v);
}

CitValue BitmapValue(const QImage& image)
{
    CitGraphicData graphic;
    if (!image.isNull())
        graphic.image = BitmapFileFromImage(image);
    return CitValue::make_binary(cit_write_graphic_data(graphic, false));
}

CitComponent Control(const char* className, const QWidget& w)
{
    CitComponent c;
    c.class_name = className;
    c.name = "cit";
    c.properties = {{"Left", Int(w.x())},
                    {"Top", Int(w.y())},
                    {"Width", Int(w.width())},
                    {"Height", Int(w.height())},
                    {"Hint", CitValue::make_string(w.toolTip().toLatin1().toStdString())},
                    {"ShowHint", Bool(true)}};
    return c;
}

CitFile OneEntry(const char* name, CitComponent component)
{
    CitFile file;
    file.add(name, std::move(component));
    return file;
}

}  // namespace

void ReadLeverItem(const CitFile& file, TvexaTracker& lever, TImageList& images)
{
    const CitComponent& c = Entry(file, kLeverEntry);
    ReadControl(c, lever);
    // The limits and value are checked together once all three are read, so a range
    // beyond the default 0..100 is not clamped away by the one still in place.
    lever.SetLoading(true);
    Int(c, "Minimum", [&](int v) { lever.SetMinimum(v); });
    Int(c, "Maximum", [&](int v) { lever.SetMaximum(v); });
    Int(c, "Value", [&](int v) { lever.SetValue(v); });
    lever.SetLoading(false);
    if (const CitValue* v = c.find("Orientation"))
        lever.SetOrientation(v->as_ident() == "vtbVertical" ? vtbVertical : vtbHorizontal);
    Bitmap(c, "BackBitmap.Data", [&](const QImage& b) { lever.SetBackBitmap(b); });
    Color(c, "BackColor", [&](TColor v) { lever.SetBackColor(v); });
    Bool(c, "BackBorder", [&](bool v) { lever.SetBackBorder(v); });
    Color(c, "TrackColor", [&](TColor v) { lever.SetTrackColor(v); });
    Bool(c, "TrackBorder", [&](bool v) { lever.SetTrackBorder(v); });
    Color(c, "TumbColor", [&](TColor v) { lever.SetTumbColor(v); });
    Bool(c, "TumbBorder", [&](bool v) { lever.SetTumbBorder(v); });
    // The setters themselves ignore a thumb or track higher than the control.
    Pixels(c, "TumbWidth", [&](int v) { lever.SetTumbWidth(v); });
    Pixels(c, "TumbHeight", [&](int v) { lever.SetTumbHeight(v); });
    Pixels(c, "TrackHeight", [&](int v) { lever.SetTrackHeight(v); });
    Bool(c, "ShowCaption", [&](bool v) { lever.SetShowCaption(v); });
    Color(c, "CaptionColor", [&](TColor v) { lever.SetCaptionColor(v); });
    Bool(c, "CaptionBold", [&](bool v) { lever.SetCaptionBold(v); });

    images = TImageList{};
    const CitEntry* list = file.find(kImageListEntry);
    if (!list)
        return;
    Int(list->component, "Width", [&](int v) { images.width = v; });
    Int(list->component, "Height", [&](int v) { images.height = v; });
    if (const CitValue* v = list->component.find("Bitmap")) {
        try {
            images = DecodeImageListData(v->as_binary(), images.width, images.height);
        } catch (const std::runtime_error& e) {
            throw CitError(e.what());
        }
    }
}

void ReadGaugeItem(const CitFile& file, TQuorrGauge& gauge)
{
    const CitComponent& c = Entry(file, kGaugeEntry);
    ReadControl(c, gauge);
    gauge.SetLoading(true);
    Bitmap(c, "BackBitmap.Data", [&](const QImage& b) { gauge.SetBackBitmap(b); });
    Color(c, "BackColor", [&](TColor v) { gauge.SetBackColor(v); });
    if (const CitValue* v = c.find("BorderStyle"))
        gauge.SetBorderStyle(v->as_ident() == "bsNone" ? bsNone : bsSingle);
    Color(c, "ForeColor", [&](TColor v) { gauge.SetForeColor(v); });
    if (const CitValue* v = c.find("Kind")) {
        for (int k = gkText; k <= gkVneedle; ++k)
            if (v->as_ident() == kGaugeKinds[k])
                gauge.SetKind(TGaugeKind(k));
    }
    Int(c, "MinValue", [&](int v) { gauge.SetMinValue(v); });
    Int(c, "MaxValue", [&](int v) { gauge.SetMaxValue(v); });
    Int(c, "Progress", [&](int v) { gauge.SetProgress(v); });
    Bool(c, "ShowText", [&](bool v) { gauge.SetShowText(v); });
    gauge.SetLoading(false);
}

void ReadPushSwitchItem(const CitFile& file, TBitBtn& button)
{
    const CitComponent& c = Entry(file, kPushSwitchEntry);
    ReadControl(c, button);
    if (const CitValue* v = c.find("Caption"))
        button.setText(QString::fromLatin1(v->as_text()));
    Bitmap(c, "Glyph.Data", [&](const QImage& b) { button.SetGlyph(b); });
}

void ReadToggleSwitchItem(const CitFile& file, TSpeedButton& button)
{
    const CitComponent& c = Entry(file, kToggleSwitchEntry);
    ReadControl(c, button);
    Bool(c, "AllowAllUp", [&](bool v) { button.SetAllowAllUp(v); });
    Int(c, "GroupIndex", [&](int v) { button.SetGroupIndex(v); });
    Int(c, "NumGlyphs", [&](int v) { button.SetNumGlyphs(v); });
    Bitmap(c, "Glyph.Data", [&](const QImage& b) { button.SetGlyph(b); });
    Bool(c, "Down", [&](bool v) { button.SetDown(v); });
}

void ReadLightItem(const CitFile& file, TShape& light)
{
    const CitComponent& c = Entry(file, kLightEntry);
    ReadControl(c, light);
    Color(c, "Brush.Color", [&](TColor v) { light.SetBrushColor(v); });
    Color(c, "Pen.Color", [&](TColor v) { light.SetPenColor(v); });
    Pixels(c, "Pen.Width", [&](int v) { light.SetPenWidth(v); });
    if (const CitValue* v = c.find("Shape")) {
        TShapeType shape;
        if (!ShapeTypeFromName(v->as_ident(), &shape))
            throw CitError("unknown shape " + v->as_ident());
        light.SetShape(shape);
    }
}

CitFile LeverItemFile(const TvexaTracker& lever, const TImageList& images)
{
    CitComponent c = Control("TvexaTracker", lever);
    c.properties.insert(c.properties.end(),
                        {{"Minimum", Int(lever.Minimum())},
                         {"Maximum", Int(lever.Maximum())},
                         {"Value", Int(lever.Value())},
                         {"Orientation", CitValue::make_ident(lever.Orientation() == vtbVertical
                                                                  ? "vtbVertical"
                                                                  : "vtbHorizontal")},
                         {"BackBitmap.Data", BitmapValue(lever.BackBitmap())},
                         {"BackColor", cit_color_value(lever.BackColor())},
                         {"BackBorder", Bool(lever.BackBorder())},
                         {"TrackColor", cit_color_value(lever.TrackColor())},
                         {"TrackBorder", Bool(lever.TrackBorder())},
                         {"TumbColor", cit_color_value(lever.TumbColor())},
                         {"TumbBorder", Bool(lever.TumbBorder())},
                         {"TumbWidth", Int(lever.TumbWidth())},
                         {"TumbHeight", Int(lever.TumbHeight())},
                         {"TrackHeight", Int(lever.TrackHeight())},
                         {"ShowCaption", Bool(lever.ShowCaption())},
                         {"CaptionColor", cit_color_value(lever.CaptionColor())},
                         {"CaptionBold", Bool(lever.CaptionBold())}});
    CitFile file = OneEntry(kLeverEntry, std::move(c));
    CitComponent list;
    list.class_name = "TImageList";
    list.name = "cit";
    list.properties = {{"Height", Int(images.height)},
                       {"Width", Int(images.width)},
                       {"Bitmap", CitValue::make_binary(EncodeImageListData(images))}};
    file.add(kImageListEntry, std::move(list));
    return file;
}

CitFile GaugeItemFile(const TQuorrGauge& gauge)
{
    CitComponent c = Control("TQuorrGauge", gauge);
    c.properties.insert(c.properties.end(),
                        {{"BackBitmap.Data", BitmapValue(gauge.BackBitmap())},
                         {"BackColor", cit_color_value(gauge.BackColor())},
                         {"BorderStyle", CitValue::make_ident(gauge.BorderStyle() == bsNone
                                                                  ? "bsNone"
                                                                  : "bsSingle")},
                         {"ForeColor", cit_color_value(gauge.ForeColor())},
                         {"Kind", CitValue::make_ident(kGaugeKinds[gauge.Kind()])},
                         {"MinValue", Int(gauge.MinValue())},
                         {"MaxValue", Int(gauge.MaxValue())},
                         {"Progress", Int(gauge.Progress())},
                         {"ShowText", Bool(gauge.ShowText())},
                         {"Visible", Bool(true)}});
    return OneEntry(kGaugeEntry, std::move(c));
}

CitFile PushSwitchItemFile(const TBitBtn& button)
{
    CitComponent c = Control("TBitBtn", button);
    c.properties.insert(c.properties.end(),
                        {{"Caption", CitValue::make_string(button.text().toLatin1().toStdString())},
                         {"Glyph.Data", BitmapValue(button.Glyph())}});
    return OneEntry(kPushSwitchEntry, std::move(c));
}

CitFile ToggleSwitchItemFile(const TSpeedButton& button)
{
    CitComponent c = Control("TSpeedButton", button);
    c.properties.insert(c.properties.end(), {{"AllowAllUp", Bool(button.AllowAllUp())},
                                             {"GroupIndex", Int(button.GroupIndex())},
                                             {"Flat", Bool(true)},
                                             {"Glyph.Data", BitmapValue(button.Glyph())},
                                             {"NumGlyphs", Int(button.NumGlyphs())}});
    return OneEntry(kToggleSwitchEntry, std::move(c));
}

CitFile LightItemFile(const TShape& light)
{
    CitComponent c = Control("TShape", light);
    c.properties.insert(c.properties.end(),
                        {{"Brush.Color", cit_color_value(light.BrushColor())},
                         {"Pen.Color", cit_color_value(light.PenColor())},
                         {"Pen.Width", Int(light.PenWidth())},
                         {"Shape", CitValue::make_ident(ShapeTypeName(light.Shape()))}});
    return OneEntry(kLightEntry, std::move(c));
}
