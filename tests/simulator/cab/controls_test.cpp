// Gauge and lever controls: values, rounding, geometry, events and what they paint.
#include "cab/gauge.h"
#include "cab/trackbar.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QMouseEvent>

#include <algorithm>
#include <cmath>
#include <map>
#include <string>
#include <vector>

namespace {

using ControlsTest = ::testing::Test;

QImage Render(QWidget& w)
{
    QImage image(w.size(), QImage::Format_RGB32);
    image.fill(Qt::white);
    w.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
    return image;
}

TEST_F(ControlsTest, GaugeDefaults)
{
    TQuorrGauge g;
    EXPECT_EQ(g.MinValue(), 0);
    EXPECT_EQ(g.MaxValue(), 100);
    EXPECT_EQ(g.Progress(), 30);
    EXPECT_EQ(g.Kind(), gk180Rneedle);
    EXPECT_FALSE(g.ShowText());
    EXPECT_EQ(g.BorderStyle(), bsSingle);
    EXPECT_EQ(g.ForeColor(), 0u);
    EXPECT_EQ(g.BackColor(), 128u);
    EXPECT_EQ(g.size(), QSize(100, 100));
    EXPECT_EQ(g.DrawingRect(), (TGaugeRect{1, 1, 99, 99}));
}

TEST_F(ControlsTest, GaugeValueRules)
{
    TQuorrGauge g;
    g.SetProgress(250);
    EXPECT_EQ(g.Progress(), 100);
    g.SetProgress(-5);
    EXPECT_EQ(g.Progress(), 0);

    g.SetMaxValue(1000);
    g.SetProgress(500);
    int repaints = g.RepaintCount();
    g.SetProgress(504);  // still 50 %: stored, not repainted
    EXPECT_EQ(g.Progress(), 504);
    EXPECT_EQ(g.RepaintCount(), repaints);
    g.SetProgress(510);
    EXPECT_EQ(g.RepaintCount(), repaints + 1);

    g.SetMaxValue(300);  // lowers the value with it
    EXPECT_EQ(g.Progress(), 300);
    g.SetMinValue(50);
    g.SetProgress(60);
    g.SetMinValue(80);  // raises it
    EXPECT_EQ(g.Progress(), 80);
}

TEST_F(ControlsTest, GaugeRangeErrors)
{
    TQuorrGauge g;
    try {
        g.SetMinValue(200);
        FAIL() << "no error";
    } catch (const EInvalidOperation& e) {
        EXPECT_STREQ(e.what(), "Value must be between -2147483647 and 99");
    }
    try {
        g.SetMaxValue(-1);
        FAIL() << "no error";
    } catch (const EInvalidOperation& e) {
        EXPECT_STREQ(e.what(), "Value must be between 1 and 2147483647");
    }
    EXPECT_EQ(g.MinValue(), 0);
    EXPECT_EQ(g.MaxValue(), 100);
    EXPECT_EQ(g.Progress(), 30);

    g.SetLoading(true);  // properties read from a file in any order
    g.SetMinValue(200);
    EXPECT_EQ(g.MinValue(), 200);
    EXPECT_EQ(g.Progress(), 200);
}

TEST_F(ControlsTest, GaugePercentage)
{
    TQuorrGauge g;
    g.SetMaxValue(3);
    g.SetProgress(2);
    EXPECT_EQ(g.GetPercentDone(), 66);  // truncated, not rounded
    g.SetMaxValue(50);
    g.SetMinValue(50);
    EXPECT_EQ(g.GetPercentDone(), 0);
    g.SetKind(gk270needle);
    EXPECT_EQ(g.Figure().needleTo, QPoint(21, 79));  // the 0 % position
}

struct NeedleCase {
    TGaugeKind kind;
    int width, height, progress;
    QPoint from, to;
    TGaugeRect pivot;
};

TEST_F(ControlsTest, NeedlePositions)
{
    const NeedleCase cases[] = {
        // 270: 0 % lower left, 50 % up, 100 % lower right; d = cx - 9 = 41, 41 cos 45deg = 28.99.
        {gk270needle, 100, 100, 0, {50, 50}, {21, 79}, {45, 45, 55, 55}},
        {gk270needle, 100, 100, 50, {50, 50}, {50, 9}, {45, 45, 55, 55}},
        {gk270needle, 100, 100, 100, {50, 50}, {79, 79}, {45, 45, 55, 55}},
        // 180 right: pivot (R - 5, H / 2), n = 80; 30 %: 80 cos 36deg = 64.72, 80 sin 36deg = 47.02.
        {gk180Rneedle, 100, 100, 30, {94, 50}, {29, 3}, {89, 45, 99, 55}},
        {gk180Rneedle, 100, 100, 50, {94, 50}, {14, 50}, {89, 45, 99, 55}},
        {gk180Rneedle, 100, 100, 100, {94, 50}, {94, 130}, {89, 45, 99, 55}},
        // 180 left: 0 % up, 50 % right.
        {gk180Lneedle, 100, 100, 0, {6, 50}, {6, -30}, {1, 45, 11, 55}},
        {gk180Lneedle, 100, 100, 50, {6, 50}, {86, 50}, {1, 45, 11, 55}},
        // 90: pivot (R - 10, B - 10), g = R - L - 20 = 78; 0 % left, 100 % up.
        {gk90needle, 100, 100, 0, {89, 89}, {11, 89}, {84, 84, 109, 109}},
        {gk90needle, 100, 100, 100, {89, 89}, {89, 11}, {84, 84, 109, 109}},
        // V: y = round((1 - p / 100) x (B - T - 18) + 8) = 0.75 x 80 + 8.
        {gkVneedle, 100, 100, 25, {5, 68}, {90, 68}, {2, 66, 8, 71}},
        // H: x = round((R - L - 18) x p / 100 + 8); width 70 makes the span 50, so 5 % is
        // 10.5 and 7 % is 11.5: ties go to the even neighbour.
        {gkHneedle, 70, 100, 5, {10, 100}, {10, 9}, {7, 96, 14, 102}},
        {gkHneedle, 70, 100, 7, {12, 100}, {12, 9}, {9, 96, 16, 102}},
    };
    for (const NeedleCase& c : cases) {
        SCOPED_TRACE(testing::Message() << int(c.kind) << " at " << c.progress);
        TQuorrGauge g;
        g.resize(c.width, c.height);
        g.SetKind(c.kind);
        g.SetProgress(c.progress);
        TGaugeFigure f = g.Figure();
        ASSERT_TRUE(f.hasNeedle);
        EXPECT_EQ(f.needleFrom, c.from);
        EXPECT_EQ(f.needleTo, c.to);
        EXPECT_EQ(f.pivot, c.pivot);
    }
}

// The half-circle needles outline their pivot with the needle's pen, 2 pixels wide in
// ForeColor; the other needles draw it all in BackColor.
TEST_F(ControlsTest, PivotOutlineFollowsTheKind)
{
    const struct {
        TGaugeKind kind;
        int progress;
        bool outlinedInFore;
    } cases[] = {
        {gk180Rneedle, 50, true}, {gk180Lneedle, 100, true}, {gk270needle, 50, false},
        {gk90needle, 50, false},  {gkVneedle, 50, false},
    };
    const QColor fore(0, 255, 0), back(128, 0, 0);
    for (const auto& c : cases) {
        SCOPED_TRACE(int(c.kind));
        TQuorrGauge g;
        g.resize(100, 100);
        g.SetKind(c.kind);
        g.SetForeColor(0x00FF00);
        g.SetProgress(c.progress);
        const TGaugeRect pivot = g.Figure().pivot;
        // The top of the pivot's outline, away from the needle.
        const QPoint top((pivot.left + pivot.right) / 2 - 1, pivot.top);
        EXPECT_EQ(Render(g).pixelColor(top), c.outlinedInFore ? fore : back);
    }
}

TEST_F(ControlsTest, BarsAndPie)
{
    TQuorrGauge g;
    g.SetKind(gkHorizontalBar);
    EXPECT_EQ(g.Figure().fill, (TGaugeRect{1, 1, 29, 99}));  // 99 x 0.3 = 29.7 -> 29
    g.SetProgress(0);
    EXPECT_FALSE(g.Figure().hasFill);
    g.SetProgress(100);
    EXPECT_EQ(g.Figure().fill, (TGaugeRect{1, 1, 99, 99}));

    g.SetKind(gkVerticalBar);
    g.SetProgress(30);
    EXPECT_EQ(g.Figure().fill, (TGaugeRect{1, 70, 99, 99}));  // grows upwards
    g.SetProgress(100);
    EXPECT_EQ(g.Figure().fill, (TGaugeRect{1, 1, 99, 99}));

    g.SetKind(gkPie);
    g.SetProgress(25);
    TGaugeFigure f = g.Figure();
    EXPECT_EQ(f.ellipse, (TGaugeRect{1, 1, 100, 100}));
    ASSERT_TRUE(f.hasPie);
    EXPECT_EQ(f.pieStart, QPoint(98, 49));  // a quarter: from 3 o'clock back to 12
    EXPECT_EQ(f.pieEnd, QPoint(49, 0));
    g.SetProgress(0);
    EXPECT_FALSE(g.Figure().hasPie);
}

TEST_F(ControlsTest, GaugePaintsItsBarAndTilesItsBitmap)
{
    TQuorrGauge g;
    g.resize(40, 20);
    g.SetBorderStyle(bsNone);
    g.SetKind(gkHorizontalBar);
    g.SetForeColor(0x0000FF);  // red as a Windows colour
    g.SetProgress(50);
    QImage image = Render(g);
    EXPECT_EQ(image.pixelColor(0, 0), QColor(255, 0, 0));
    EXPECT_EQ(image.pixelColor(19, 19), QColor(255, 0, 0));  // share of 41 at 50 % is 20
    EXPECT_EQ(image.pixelColor(20, 10), QColor(255, 255, 255));

    QImage tile(3, 2, QImage::Format_RGB32);
    tile.fill(QColor(0, 0, 255));
    tile.setPixelColor(0, 0, QColor(0, 255, 0));
    g.SetBackBitmap(tile);
    g.SetKind(gkText);
    QImage tiled = Render(g);
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 40; ++x)
            ASSERT_EQ(tiled.pixelColor(x, y), tile.pixelColor(x % 3, y % 2)) << x << "," << y;
}

void Drag(TvexaTracker& t, QPoint at, Qt::MouseButtons buttons = Qt::LeftButton)
{
    QMouseEvent move(QEvent::MouseMove, QPointF(at), QPointF(at), Qt::NoButton, buttons,
                     Qt::NoModifier);
    QApplication::sendEvent(&t, &move);
}

TEST_F(ControlsTest, TrackerDefaultsAndGeometry)
{
    TvexaTracker t;
    EXPECT_EQ(t.size(), QSize(60, 25));
    EXPECT_EQ(t.Minimum(), 0);
    EXPECT_EQ(t.Maximum(), 100);
    EXPECT_EQ(t.Value(), 0);
    EXPECT_EQ(t.Orientation(), vtbHorizontal);
    EXPECT_EQ(t.BackColor(), 0xC0C0C0u);
    EXPECT_EQ(t.TrackColor(), 0x808080u);
    EXPECT_TRUE(t.TrackBorder());
    EXPECT_EQ(t.TumbWidth(), 20);
    EXPECT_EQ(t.TrackHeight(), 6);
    EXPECT_TRUE(t.ShowCaption());
    EXPECT_EQ(t.TrackStart(), 15);
    EXPECT_EQ(t.TrackEnd(), 45);
    EXPECT_EQ(t.TrackRect(), (TGaugeRect{15, 9, 45, 16}));
    EXPECT_EQ(t.HitRect(), (TGaugeRect{15, 2, 45, 23}));
    EXPECT_EQ(t.ThumbRect(), (TGaugeRect{5, 2, 25, 23}));
}

TEST_F(ControlsTest, TrackerDragging)
{
    TvexaTracker t;
    std::vector<int> events;
    t.SetOnChangedValue([&](TvexaTracker* sender, int v) {
        EXPECT_EQ(sender, &t);
        events.push_back(v);
    });
    Drag(t, {30, 12});
    EXPECT_EQ(t.Value(), 50);
    EXPECT_EQ(t.Position(), 30);
    Drag(t, {30, 12});  // same value: the event fires again
    Drag(t, {16, 12});  // 1 / 30 of the way: 3.33 -> 3
    EXPECT_EQ(events, (std::vector<int>{50, 50, 3}));

    Drag(t, {30, 1});   // outside the hit rectangle
    Drag(t, {45, 12});  // past the track's end
    Drag(t, {40, 12}, Qt::NoButton);
    EXPECT_EQ(t.Value(), 3);
    EXPECT_EQ(events.size(), 3u);
}

TEST_F(ControlsTest, TrackerVerticalDragging)
{
    TvexaTracker t;
    t.show();  // resizes reach a visible control at once
    t.resize(25, 60);
    t.SetOrientation(vtbVertical);
    t.SetMaximum(8);
    t.resize(25, 61);  // a resize recomputes the track for the new orientation
    EXPECT_EQ(t.TrackStart(), 15);
    EXPECT_EQ(t.TrackEnd(), 46);
    Drag(t, {12, 30});  // 15 / 31 x 8 = 3.87
    EXPECT_EQ(t.Value(), 4);
}

struct SmallTrackerCase {
    TvtbOrientation orientation;
    int width, height;
    int start, end;
    TGaugeRect track;
    QPoint drag;
    bool fires;  // inside the hit rectangle
    int value;   // after the drag
};

// A lever narrower (or, vertical, shorter) than its thumb and margins: the track shrinks to at
// most one pixel at the centre instead of running backwards, and a drag still maps into range.
TEST_F(ControlsTest, TrackerSmallerThanItsThumb)
{
    const SmallTrackerCase cases[] = {
        {vtbHorizontal, 60, 25, 15, 45, {15, 9, 45, 16}, {30, 12}, true, 50},  // room enough
        {vtbHorizontal, 30, 25, 15, 15, {15, 9, 15, 16}, {15, 12}, false, 40}, // no length left
        {vtbHorizontal, 25, 25, 12, 13, {12, 9, 13, 16}, {12, 12}, true, 10},
        {vtbHorizontal, 8, 25, 4, 4, {4, 9, 4, 16}, {4, 12}, false, 40},
        {vtbHorizontal, 1, 25, 0, 1, {0, 9, 1, 16}, {0, 12}, true, 10},
        {vtbVertical, 25, 25, 12, 13, {9, 12, 16, 13}, {12, 12}, true, 10},
        {vtbVertical, 25, 9, 4, 5, {9, 4, 16, 5}, {12, 4}, true, 10},
        {vtbVertical, 25, 30, 15, 15, {9, 15, 16, 15}, {12, 15}, false, 40},
    };
    for (const SmallTrackerCase& c : cases) {
        SCOPED_TRACE(testing::Message() << (c.orientation == vtbVertical ? "vertical " : "")
                                        << c.width << " x " << c.height);
        QWidget parent;
        parent.resize(100, 100);
        parent.show();
        auto* t = new TvexaTracker(&parent);
        t->show();
        t->SetMinimum(10);
        t->SetMaximum(90);
        t->SetValue(40);
        t->SetOrientation(c.orientation);
        t->resize(c.width, c.height);
        EXPECT_EQ(t->TrackStart(), c.start);
        EXPECT_EQ(t->TrackEnd(), c.end);
        EXPECT_EQ(t->TrackRect(), c.track);
        EXPECT_GE(t->Position(), c.start);
        EXPECT_LE(t->Position(), c.end);

        int fired = 0;
        t->SetOnChangedValue([&](TvexaTracker*, int) { ++fired; });
        Drag(*t, c.drag);
        EXPECT_EQ(fired, c.fires ? 1 : 0);
        EXPECT_EQ(t->Value(), c.value);
        EXPECT_GE(t->Position(), c.start);
        EXPECT_LE(t->Position(), c.end);
        QImage image = Render(*t);  // paints without faults at this size
        EXPECT_EQ(image.size(), QSize(c.width, c.height));
    }
}

TEST_F(ControlsTest, TrackerValueRules)
{
    TvexaTracker t;
    int fired = 0;
    t.SetOnChangedValue([&](TvexaTracker*, int) { ++fired; });
    t.SetValue(150);
    EXPECT_EQ(t.Value(), 0);
    t.SetValue(80);
    EXPECT_EQ(t.Value(), 80);
    EXPECT_EQ(t.Position(), 15 + 24);
    EXPECT_EQ(fired, 0);  // setting the value is not a change by the driver

    t.SetMinimum(100);  // not below the maximum: ignored
    EXPECT_EQ(t.Minimum(), 0);
    t.SetMaximum(60);  // the value follows the new end
    EXPECT_EQ(t.Value(), 60);
    EXPECT_EQ(t.Position(), 45);
    t.SetMaximum(0);
    EXPECT_EQ(t.Maximum(), 60);
    t.SetMinimum(50);
    EXPECT_EQ(t.Value(), 60);
    t.SetMinimum(-10);
    t.SetValue(-10);
    t.SetMinimum(0);
    EXPECT_EQ(t.Value(), 0);

    t.SetTumbHeight(25);  // not less than the height: ignored
    EXPECT_EQ(t.TumbHeight(), 20);
    t.SetTrackHeight(30);
    EXPECT_EQ(t.TrackHeight(), 6);
    t.SetTumbWidth(10);
    EXPECT_EQ(t.TrackStart(), 10);
    EXPECT_EQ(t.TrackEnd(), 50);
}

struct TrackerLoadCase {
    int minimum, maximum, value;  // as read back from the file
    int wantMinimum, wantMaximum, wantValue;
};

// A lever's limits read back from its cab item file, in every order the properties may come:
// a range beyond the default 0..100 must not be clamped away by the one still in place.
TEST_F(ControlsTest, TrackerLimitsSurviveAReload)
{
    const TrackerLoadCase cases[] = {
        {150, 300, 200, 150, 300, 200},
        {-300, -150, -200, -300, -150, -200},
        {100, 101, 101, 100, 101, 101},
        {150, 300, 20, 150, 300, 150},  // value brought into range
        {150, 300, 999, 150, 300, 300},
        {300, 150, 50, 0, 100, 50},     // inverted: the range held before stays
        {70, 70, 70, 0, 100, 70},
    };
    for (const TrackerLoadCase& c : cases) {
        const std::map<std::string, int> stored = {
            {"Minimum", c.minimum}, {"Maximum", c.maximum}, {"Value", c.value}};
        std::vector<std::string> order = {"Maximum", "Minimum", "Value"};
        do {
            SCOPED_TRACE(testing::Message() << c.minimum << ".." << c.maximum << " = " << c.value
                                            << " read as " << order[0] << ", " << order[1]
                                            << ", " << order[2]);
            TvexaTracker t;
            int fired = 0;
            t.SetOnChangedValue([&](TvexaTracker*, int) { ++fired; });
            t.SetLoading(true);
            for (const std::string& name : order)
                ASSERT_TRUE(t.setProperty(name.c_str(), stored.at(name)));
            t.SetLoading(false);
            EXPECT_EQ(t.Minimum(), c.wantMinimum);
            EXPECT_EQ(t.Maximum(), c.wantMaximum);
            EXPECT_EQ(t.Value(), c.wantValue);
            const double share = double(c.wantValue - c.wantMinimum) / (c.wantMaximum - c.wantMinimum);
            EXPECT_EQ(t.Position(), 15 + int(std::nearbyint(share * 30)));
            EXPECT_EQ(fired, 0);
        } while (std::next_permutation(order.begin(), order.end()));
    }

    // Saved and read back: the limits and value come back as they were.
    TvexaTracker saved;
    saved.SetMaximum(300);
    saved.SetMinimum(150);
    saved.SetValue(180);
    TvexaTracker reloaded;
    reloaded.SetLoading(true);
    for (const char* name : {"Minimum", "Maximum", "Value"})
        reloaded.setProperty(name, saved.property(name));
    reloaded.SetLoading(false);
    EXPECT_EQ(reloaded.Minimum(), 150);
    EXPECT_EQ(reloaded.Maximum(), 300);
    EXPECT_EQ(reloaded.Value(), 180);
    EXPECT_EQ(reloaded.Position(), saved.Position());

    // Out of loading the setters keep their checks.
    reloaded.SetMinimum(400);
    EXPECT_EQ(reloaded.Minimum(), 150);
    reloaded.SetValue(100);
    EXPECT_EQ(reloaded.Value(), 180);
}

TEST_F(ControlsTest, TrackerCaptionIsCutToTheThumb)
{
    TvexaTracker t;
    t.SetMaximum(100000);
    t.SetValue(88888);
    QString cut = t.CaptionText();
    EXPECT_TRUE(cut.endsWith(QChar(0x2026))) << cut.toStdString();
    EXPECT_TRUE(QString("88888").startsWith(cut.chopped(1)));
    t.SetTumbWidth(60);
    t.resize(120, 25);
    EXPECT_EQ(t.CaptionText(), "88888");
}

TEST_F(ControlsTest, TrackerPaintsBackgroundAndThumb)
{
    TvexaTracker t;
    t.SetShowCaption(false);
    t.SetTumbColor(0x0000FF);
    QImage image = Render(t);
    EXPECT_EQ(image.pixelColor(1, 1), QColor(192, 192, 192));
    EXPECT_EQ(image.pixelColor(5, 2), QColor(255, 0, 0));    // thumb frame corner
    EXPECT_EQ(image.pixelColor(24, 22), QColor(255, 0, 0));
    EXPECT_EQ(image.pixelColor(15, 12), QColor(192, 192, 192));  // inside the thumb
}

}  // namespace
