// The demo traction model's cab: picture, cab item files, lever frames and cab layout keys.
#include "demo_cab.h"

#include <QApplication>
#include <QFontMetricsF>
#include <QImage>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <numbers>
#include <vector>

#include "app/ini_file.h"
#include "bitmap_writer.h"
#include "cab/cab_controls.h"
#include "cab/cab_item_files.h"
#include "cab/cab_picture.h"
#include "cab/gauge.h"
#include "cab/trackbar.h"

namespace fs = std::filesystem;

namespace {

constexpr int kCabWidth = 793;
constexpr int kCabHeight = 524;
// The 3D window: where the main window puts its panel, 579 x 218 at the top left.
constexpr int kWindowWidth = 579;
constexpr int kWindowHeight = 218;

constexpr int kGaugeSize = 100;
constexpr int kGaugeTop = 234;
constexpr int kLeverWidth = 40;
constexpr int kLeverHeight = 150;
constexpr int kLeverTop = 366;
constexpr int kThumbHeight = 16;

struct Gauge {
    const char* function;
    const char* caption;
    int left;
    int maximum;
    int labelUnit;  // the scale's numbers count in these
};
// Scales reach past what the train shows: motor current up to 4600 A, the pipe up to 90 psi,
// the cylinder up to 45 psi.
const Gauge kGauges[] = {{"speed", "km/h", 30, 150, 1},
                         {"motorAmp", "A x1000", 150, 5000, 1000},
                         {"BPpress", "BP psi", 270, 100, 1},
                         {"BCpress", "BC psi", 390, 50, 1}};

struct Lever {
    const char* function;
    const char* caption;
    const char* images;  // the frame files' name in the cab item list
    int left;
    int maximum;
};
// The cab shows frame value - 1 for a lever at value, and frame 0 when it loads one: every
// lever runs from 1 and is stored at 1, so its picture always sits under its thumb.
constexpr int kLeverMinimum = 1;
// Right of the main window's "Timetable" and "test lights" buttons at the bottom left.
const Lever kLevers[] = {{"throttle-brake", "POWER", "ruz_power", 190, 16},
                         {"reverser", "REV", "ruz_reverser", 260, 3},
                         {"autobrake", "BRAKE", "ruz_autobrake", 330, 6},
                         {"indbrake", "IND", "ruz_indbrake", 400, 11}};

class Output {
public:
    Output(std::string root, std::string model)
        : root_(std::move(root)), model_(std::move(model))
    {
    }

    fs::path Root() const { return root_; }
    std::string Stem(const char* function) const { return model_ + "." + function; }
    bool Ok() const { return ok_; }

    void Fail(const std::string& what)
    {
        std::fprintf(stderr, "make_demo_data: cannot write %s\n", what.c_str());
        ok_ = false;
    }

    void Item(const char* function, const CitFile& file)
    {
        const fs::path path = Root() / "cab items" / (Stem(function) + ".cit");
        if (DemoKeeps(path.string()))
            return;
        try {
            cit_write_file(path.string(), file);
        } catch (const CitError& e) {
            Fail(e.what());
        }
    }

    // A `cab layout` key: the item's stem, then top before left. A key that is there already
    // (an item the user moved) stays unless everything is rewritten.
    void Layout(const std::string& key, const std::string& value)
    {
        WriteKey((Root() / "traction" / model_ / (model_ + ".ini")).string(), "cab layout", key,
                 value);
    }

    void Place(const std::string& key, const char* function, const QWidget& item)
    {
        Layout(key, Stem(function) + ", " + std::to_string(item.y()) + ":" +
                        std::to_string(item.x()));
    }

    void ImageName(const std::string& item, const char* images)
    {
        WriteKey((Root() / "cab items" / "filenames.txt").string(), "filenames", item, images);
    }

    void Bitmap(const fs::path& path, const QImage& image)
    {
        if (!DemoKeeps(path.string()) &&
            !image.save(QString::fromLocal8Bit(path.string().c_str()), "BMP"))
            Fail(path.string());
    }

private:
    std::string root_;
    std::string model_;
    bool ok_ = true;

    void WriteKey(const std::string& path, const char* section, const std::string& key,
                  const std::string& value)
    {
        TIniFile ini(path);
        if (DemoKeeps(path) && ini.ValueExists(section, key))
            return;
        if (!ini.WriteString(section, key, value))
            Fail(ini.FileName());
    }
};

QColor Rgb(int r, int g, int b)
{
    return QColor(r, g, b);
}

// The desk under the windscreen: window frame, instrument panel, lever quadrant, switch panel.
QImage CabPicture()
{
    QImage cab(kCabWidth, kCabHeight, QImage::Format_RGB32);
    QPainter p(&cab);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient desk(0, kWindowHeight, 0, kCabHeight);
    desk.setColorAt(0, Rgb(92, 84, 72));
    desk.setColorAt(1, Rgb(48, 42, 36));
    p.fillRect(cab.rect(), desk);
    // The window, left free for the 3D view, and the pillar and roof around it.
    p.fillRect(QRect(0, 0, kWindowWidth + 12, kWindowHeight + 10), Rgb(30, 30, 34));
    p.fillRect(QRect(0, 0, kWindowWidth, kWindowHeight), Rgb(150, 190, 220));
    // The information box beside the window stays dark for its yellow text.
    p.fillRect(QRect(kWindowWidth + 12, 0, kCabWidth - kWindowWidth - 12, kWindowHeight + 10),
               Rgb(18, 18, 20));
    // Instrument panel with four bezels.
    p.setPen(QPen(Rgb(20, 20, 20), 2));
    p.setBrush(Rgb(58, 60, 64));
    p.drawRoundedRect(QRect(14, kGaugeTop - 8, 500, kGaugeSize + 16), 8, 8);
    // Lever quadrant with a slot per lever.
    p.setBrush(Rgb(70, 66, 60));
    p.drawRoundedRect(QRect(175, kLeverTop - 16, 280, kLeverHeight + 22), 6, 6);
    p.setBrush(Rgb(15, 15, 15));
    for (const Lever& l : kLevers)
        p.drawRect(QRect(l.left - 2, kLeverTop - 2, kLeverWidth + 4, kLeverHeight + 4));
    // Switch panel.
    p.setBrush(Rgb(62, 64, 70));
    p.drawRoundedRect(QRect(470, kLeverTop - 16, 230, 110), 6, 6);
    p.drawRoundedRect(QRect(620, 226, 150, 116), 6, 6);
    // Captions.
    QFont font("Sans", 8);
    font.setBold(true);
    p.setFont(font);
    p.setPen(Rgb(230, 225, 200));
    for (const Lever& l : kLevers)
        p.drawText(QRect(l.left - 10, kLeverTop - 15, kLeverWidth + 20, 13), Qt::AlignCenter,
                   l.caption);
    p.drawText(QRect(485, kLeverTop + 50, 50, 14), Qt::AlignCenter, "HORN");
    p.drawText(QRect(555, kLeverTop + 50, 50, 14), Qt::AlignCenter, "SAND");
    p.drawText(QRect(650, kLeverTop + 5, 45, 14), Qt::AlignLeft | Qt::AlignVCenter, "SLIP");
    p.drawText(QRect(650, kLeverTop + 49, 45, 14), Qt::AlignLeft | Qt::AlignVCenter, "CAB");
    p.drawText(QRect(660, 315, 70, 14), Qt::AlignCenter, "TIME");
    return cab;
}

// The needle's angle at a share of the scale, as the gauge draws it (0 lower left, 1 lower
// right, turning through the top).
double NeedleAngle(double share)
{
    return share * 1.5 * std::numbers::pi - std::numbers::pi / 4;
}

// The point at radius r along angle a from the dial's centre.
QPointF OnDial(double a, double r)
{
    const double c = kGaugeSize / 2.0;
    return QPointF(c - r * std::cos(a), c - r * std::sin(a));
}

// How far a box lies from the needle's line at angle a: the least distance of its corners,
// negative when the line runs through the box.
double ClearanceFromNeedle(const QRectF& box, double a)
{
    const QPointF centre = OnDial(a, 0);
    const QPointF along = OnDial(a, 1) - centre;
    double least = 1e9;
    int sides = 0;
    const QPointF corners[] = {box.topLeft(), box.topRight(), box.bottomLeft(),
                               box.bottomRight()};
    for (const QPointF& corner : corners) {
        const QPointF v = corner - centre;
        const double across = v.x() * along.y() - v.y() * along.x();
        least = std::min(least, std::abs(across));
        sides |= across < 0 ? 1 : 2;
    }
    return sides == 3 ? -least : least;
}

// Where a scale label goes: inside the ticks with a gap, at angle a.
QRectF LabelBox(double a, QSizeF size)
{
    constexpr double kInside = 34;  // the ticks start at 38
    const double r = kInside - (std::abs(std::cos(a)) * size.width() +
                                std::abs(std::sin(a)) * size.height()) / 2;
    QRectF box(QPointF(), size);
    box.moveCenter(OnDial(a, r));
    return box;
}

// A dial face with its scale from lower left round to lower right, as the needle turns. The
// labels keep clear of the ticks, the scale's end labels of a needle resting on either end,
// and the caption sits in the gap below the centre where the needle never goes.
QImage DialFace(const Gauge& g)
{
    QImage face(kGaugeSize, kGaugeSize, QImage::Format_RGB32);
    face.fill(Rgb(58, 60, 64));  // the instrument panel round the bezel
    QPainter p(&face);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(Rgb(25, 25, 25));
    p.drawEllipse(QRect(0, 0, kGaugeSize, kGaugeSize));
    p.setBrush(Rgb(12, 12, 14));
    p.drawEllipse(QRect(2, 2, kGaugeSize - 4, kGaugeSize - 4));
    QFont font("Sans", 6);
    p.setFont(font);
    const QFontMetricsF metrics(font, &face);
    for (int i = 0; i <= 10; ++i) {
        const double a = NeedleAngle(i * 0.1);
        p.setPen(QPen(Rgb(235, 235, 235), i % 5 == 0 ? 2 : 1));
        p.drawLine(OnDial(a, 44), OnDial(a, 38));
        if (i % 2 != 0)
            continue;
        const QString label = QString::number(g.maximum / 10 * i / g.labelUnit);
        const QSizeF size(metrics.horizontalAdvance(label) + 2, metrics.height());
        // The end labels move into the scale until a needle on the end misses them.
        const double inwards = i == 0 ? 0.02 : i == 10 ? -0.02 : 0;
        double shift = 0;
        QRectF box = LabelBox(a, size);
        while (inwards != 0 && std::abs(shift) < std::numbers::pi / 4 &&
               ClearanceFromNeedle(box, a) < 4) {
            shift += inwards;
            box = LabelBox(a + shift, size);
        }
        p.drawText(box, Qt::AlignCenter, label);
    }
    p.setPen(Rgb(230, 170, 40));
    p.drawText(QRectF(0, 76, kGaugeSize, metrics.height()), Qt::AlignHCenter | Qt::AlignTop,
               g.caption);
    return face;
}

// Track ends as the lever control computes them for a vertical lever.
int ThumbCentre(const Lever& l, int value)
{
    const int start = kThumbHeight / 2 + 5;
    const int end = kLeverHeight - start;
    return start + int(std::lround(double(value - kLeverMinimum) / (l.maximum - kLeverMinimum) *
                                   (end - start)));
}

// The slot and the handle where value puts the thumb.
QImage LeverFrame(const Lever& l, int value)
{
    QImage frame(kLeverWidth, kLeverHeight, QImage::Format_RGB32);
    frame.fill(Rgb(15, 15, 15));
    QPainter p(&frame);
    p.setRenderHint(QPainter::Antialiasing);
    p.fillRect(QRect(kLeverWidth / 2 - 3, 6, 6, kLeverHeight - 12), Rgb(60, 60, 60));
    for (int v = kLeverMinimum; v <= l.maximum; ++v)
        p.fillRect(QRect(2, ThumbCentre(l, v), 6, 1), Rgb(200, 200, 200));
    const int y = ThumbCentre(l, value);
    p.setPen(QPen(Rgb(10, 10, 10), 1));
    p.setBrush(Rgb(40, 40, 40));
    p.drawRect(QRect(kLeverWidth / 2 - 4, y - 4, 8, 8));
    QLinearGradient knob(0, y - 7, 0, y + 7);
    knob.setColorAt(0, Rgb(235, 60, 40));
    knob.setColorAt(1, Rgb(140, 20, 10));
    p.setBrush(knob);
    p.drawRoundedRect(QRect(6, y - 7, kLeverWidth - 12, 14), 4, 4);
    return frame;
}

QImage Glyph(int width, QColor body, QColor mark)
{
    QImage glyph(width, 32, QImage::Format_RGB32);
    glyph.fill(Rgb(62, 64, 70));
    QPainter p(&glyph);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(Rgb(15, 15, 15), 2));
    p.setBrush(body);
    p.drawEllipse(QRect(3, 3, 26, 26));
    p.setBrush(mark);
    p.drawEllipse(QRect(11, 11, 10, 10));
    return glyph;
}

// The toggle switch's four glyphs: up, disabled, clicked, down.
QImage ToggleGlyph()
{
    QImage glyph(128, 32, QImage::Format_RGB32);
    QPainter p(&glyph);
    const QColor marks[] = {Rgb(80, 80, 80), Rgb(110, 110, 110), Rgb(60, 160, 60),
                            Rgb(60, 230, 60)};
    for (int i = 0; i < 4; ++i)
        p.drawImage(32 * i, 0, Glyph(32, Rgb(180, 180, 180), marks[i]));
    return glyph;
}

void WriteGauges(Output& out)
{
    int n = 1;
    for (const Gauge& g : kGauges) {
        TQuorrGauge gauge;
        gauge.setGeometry(g.left, kGaugeTop, kGaugeSize, kGaugeSize);
        gauge.setToolTip(g.function);
        gauge.SetKind(gk270needle);
        gauge.SetBorderStyle(bsNone);
        gauge.SetMaxValue(g.maximum);
        gauge.SetProgress(0);
        gauge.SetForeColor(0x3050F0);
        gauge.SetBackColor(0x0000C0);
        gauge.SetShowText(true);
        gauge.SetBackBitmap(DialFace(g));
        out.Item(g.function, GaugeItemFile(gauge));
        out.Place("gauge" + std::to_string(n++), g.function, gauge);
    }
}

void WriteLevers(Output& out)
{
    fs::create_directories(out.Root() / "cab items" / "images");
    int n = 1;
    for (const Lever& l : kLevers) {
        TImageList images;
        images.width = kLeverWidth;
        images.height = kLeverHeight;
        // Frame k shows the handle at value k.
        for (int k = kLeverMinimum; k <= l.maximum; ++k) {
            images.frames.push_back(LeverFrame(l, k));
            out.Bitmap(out.Root() / "cab items" / "images" /
                           (std::string(l.images) + std::to_string(k) + ".bmp"),
                       images.frames.back());
        }
        TvexaTracker lever;
        lever.setGeometry(l.left, kLeverTop, kLeverWidth, kLeverHeight);
        lever.setToolTip(l.function);
        lever.SetOrientation(vtbVertical);
        lever.SetTumbWidth(kLeverWidth - 8);
        lever.SetTumbHeight(kThumbHeight);
        lever.SetMaximum(l.maximum);
        lever.SetMinimum(kLeverMinimum);
        lever.SetValue(kLeverMinimum);
        lever.SetShowCaption(false);
        lever.SetTumbColor(0x00FFFF);
        lever.SetBackBitmap(images.frames.front());
        out.Item(l.function, LeverItemFile(lever, images));
        const std::string key = "control" + std::to_string(n++);
        out.Place(key, l.function, lever);
        out.ImageName(key, l.images);
    }
}

void WriteSwitchesAndLights(Output& out)
{
    TBitBtn horn;
    horn.setGeometry(490, kLeverTop + 4, 40, 40);
    horn.setToolTip("horn");
    horn.SetGlyph(Glyph(32, Rgb(200, 170, 40), Rgb(90, 70, 10)));
    out.Item("horn", PushSwitchItemFile(horn));
    out.Place("swpush1", "horn", horn);

    TSpeedButton sander;
    sander.setGeometry(560, kLeverTop + 4, 40, 40);
    sander.setToolTip("sander");
    sander.SetAllowAllUp(true);
    sander.SetGroupIndex(1);
    sander.SetNumGlyphs(4);
    sander.SetGlyph(ToggleGlyph());
    out.Item("sander", ToggleSwitchItemFile(sander));
    out.Place("swtogg1", "sander", sander);

    const struct {
        const char* function;
        TColor unlit;
        int top;
    } lights[] = {{"wheelslip", 0x000080, kLeverTop}, {"cablamp", 0x008080, kLeverTop + 44}};
    int n = 1;
    for (const auto& l : lights) {
        TShape light;
        light.setGeometry(620, l.top, 24, 24);
        light.setToolTip(l.function);
        light.SetShape(stCircle);
        light.SetPenWidth(2);
        light.SetBrushColor(l.unlit);
        out.Item(l.function, LightItemFile(light));
        out.Place("light" + std::to_string(n++), l.function, light);
    }
}

}  // namespace

bool WriteDemoCab(const std::string& root, const std::string& model)
{
    // The controls are widgets: a headless application serves for writing them.
    std::unique_ptr<QApplication> app;
    if (!QCoreApplication::instance()) {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        static int argc = 1;
        static char name[] = "make_demo_data";
        static char* argv[] = {name, nullptr};
        app = std::make_unique<QApplication>(argc, argv);
    }
    Output out(root, model);
    std::error_code ec;
    fs::create_directories(out.Root() / "cab items", ec);
    if (ec)
        out.Fail((out.Root() / "cab items").string());

    std::string error;
    const fs::path picture = out.Root() / "traction" / model / (model + "-cab.jpg");
    if (!DemoKeeps(picture.string()) && !SaveJpegFile(picture.string(), CabPicture(), 88, &error))
        out.Fail(error);
    out.Layout("3d_top", "0");
    out.Layout("3d_left", "0");
    out.Layout("3d_height", std::to_string(kWindowHeight));
    out.Layout("3d_width", std::to_string(kWindowWidth));
    WriteLevers(out);
    WriteGauges(out);
    WriteSwitchesAndLights(out);
    out.Layout("clock", "analog, 250:665");
    return out.Ok();
}
