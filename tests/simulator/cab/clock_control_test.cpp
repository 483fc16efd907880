// Analogue clock: shown time, face geometry, hand angles and ends, events, and the drawn hands.
#include "cab/clock_control.h"

#include <QApplication>
#include <QImage>
#include <QPixmap>
#include <QTimer>

#include <gtest/gtest.h>

#include <numbers>

namespace {

constexpr double pi = std::numbers::pi;

class ClockTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        if (QApplication::instance()) return;
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
        static int argc = 1;
        static char name[] = "cab_items_tests";
        static char* argv[] = {name, nullptr};
        static QApplication app(argc, argv);
    }

    void SetUp() override {
        clock.SetTimeSource([this] { return now; });
    }

    QImage Drawn() { return clock.grab().toImage().convertToFormat(QImage::Format_RGB32); }

    QTime now{10, 0, 0};
    TClock clock;
};

TEST_F(ClockTest, Defaults) {
    TClock fresh;
    EXPECT_EQ(fresh.size(), QSize(66, 66));
    EXPECT_EQ(fresh.ClkFaceColor(), QApplication::palette().color(QPalette::Button));
    EXPECT_EQ(fresh.ClkArrowColor(), QColor(Qt::black));
    EXPECT_TRUE(fresh.SecArrow());
    EXPECT_EQ(fresh.DifHour(), 0);
    EXPECT_EQ(fresh.DifMinute(), 0);
    EXPECT_EQ(fresh.Timer()->interval(), 1000);
    EXPECT_TRUE(fresh.Timer()->isActive());
    EXPECT_FALSE(fresh.OnSecond || fresh.OnMinute || fresh.OnHour);
}

TEST_F(ClockTest, ShownTime) {
    const struct {
        QTime computer;
        int difHour, difMinute;
        TClockTime shown;
    } cases[] = {
        {QTime(10, 20, 30), 0, 0, {10, 20, 30}},
        {QTime(10, 0, 5), 0, -30, {9, 30, 5}},
        {QTime(0, 30, 0), -11, 0, {13, 30, 0}},   // -630 minutes wraps by 1440
        {QTime(23, 50, 0), 0, 20, {24, 10, 0}},   // no wrap upwards
        {QTime(6, 15, 59), 5, 50, {12, 5, 59}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.computer.toString().toStdString());
        EXPECT_EQ(TClock::ShownTime(c.computer, c.difHour, c.difMinute), c.shown);
    }
}

TEST_F(ClockTest, FaceGeometry) {
    EXPECT_EQ(TClock::FaceGeometry(40, 40), (TClockFace{20, 20, 12, 6}));
    EXPECT_EQ(TClock::FaceGeometry(66, 66), (TClockFace{33, 33, 25, 6}));
    // A radius of 48 or more takes an eighth of it for the marks.
    EXPECT_EQ(TClock::FaceGeometry(200, 120), (TClockFace{100, 60, 51, 7}));
    EXPECT_EQ(TClock::FaceGeometry(95, 95), (TClockFace{47, 47, 39, 6}));
}

TEST_F(ClockTest, HandAnglesAndEnds) {
    const TClockFace face{33, 33, 25, 6};
    TClockHandAngles three = TClock::HandAngles({3, 0, 45});
    EXPECT_DOUBLE_EQ(three.hour, pi / 2);
    EXPECT_DOUBLE_EQ(three.minute, 0.0);
    EXPECT_DOUBLE_EQ(three.second, 3 * pi / 2);
    EXPECT_EQ(TClock::HandEnd(face, 0.6, three.hour), QPoint(48, 33));
    EXPECT_EQ(TClock::HandEnd(face, 0.95, three.minute), QPoint(33, 10));  // 33 - trunc(23.75)
    EXPECT_EQ(TClock::HandEnd(face, 1.0, three.second), QPoint(8, 33));

    // The hour hand moves on with the minutes; hours past 12 draw as their remainder.
    TClockHandAngles half_past_six = TClock::HandAngles({18, 30, 15});
    EXPECT_DOUBLE_EQ(half_past_six.hour, pi + pi / 12);
    EXPECT_DOUBLE_EQ(half_past_six.minute, pi);
    EXPECT_DOUBLE_EQ(half_past_six.second, pi / 2);
    // sin(13 pi / 12) x 15 = -3.88 and -cos(13 pi / 12) x 15 = 14.49 truncate towards zero.
    EXPECT_EQ(TClock::HandEnd(face, 0.6, half_past_six.hour), QPoint(30, 47));
    EXPECT_EQ(TClock::HandEnd(face, 0.95, half_past_six.minute), QPoint(33, 56));
}

TEST_F(ClockTest, DifferencesKeepTheirRemainder) {
    clock.SetDifHour(25);
    EXPECT_EQ(clock.DifHour(), 1);
    clock.SetDifHour(-13);
    EXPECT_EQ(clock.DifHour(), -1);
    clock.SetDifMinute(75);
    EXPECT_EQ(clock.DifMinute(), 15);
    clock.SetDifMinute(-61);
    EXPECT_EQ(clock.DifMinute(), -1);
}

TEST_F(ClockTest, SetDisplayTimeShiftsFromNow) {
    clock.SetDisplayTime(QTime(9, 30, 0));
    EXPECT_EQ(clock.DifHour(), 0);
    EXPECT_EQ(clock.DifMinute(), -30);
    EXPECT_EQ(clock.ShownTime(clock.Now()), (TClockTime{9, 30, 0}));
    clock.SetDisplayTime(QTime(7, 45, 0));
    EXPECT_EQ(clock.DifHour(), -2);
    EXPECT_EQ(clock.DifMinute(), -15);
    clock.SetDisplayTime(QTime(23, 5, 0));
    EXPECT_EQ(clock.DifHour(), 13);  // not reduced: the shift is stored as computed
    EXPECT_EQ(clock.DifMinute(), 5);
    now = QTime(10, 20, 0);  // the hands move on from there by themselves
    EXPECT_EQ(clock.ShownTime(clock.Now()), (TClockTime{23, 25, 0}));
}

TEST_F(ClockTest, TimerFiresSecondMinuteAndHour) {
    int seconds = 0, minutes = 0, hours = 0;
    clock.OnSecond = [&](TClock* sender) { EXPECT_EQ(sender, &clock); ++seconds; };
    clock.OnMinute = [&](TClock*) { ++minutes; };
    clock.OnHour = [&](TClock*) { ++hours; };
    const struct {
        QTime at;
        int minutes, hours;
    } ticks[] = {
        {QTime(10, 58, 58), 0, 0}, {QTime(10, 58, 59), 0, 0}, {QTime(10, 59, 0), 1, 0},
        {QTime(10, 59, 59), 1, 0}, {QTime(11, 0, 0), 2, 1},   {QTime(11, 0, 1), 2, 1},
    };
    for (const auto& t : ticks) {
        SCOPED_TRACE(t.at.toString().toStdString());
        now = t.at;
        clock.TimerTick();
        EXPECT_EQ(minutes, t.minutes);
        EXPECT_EQ(hours, t.hours);
    }
    EXPECT_EQ(seconds, 6);
}

TEST_F(ClockTest, HandRedrawKeepsTheLastTickButARepaintForgetsIt) {
    int minutes = 0;
    clock.OnMinute = [&](TClock*) { ++minutes; };
    now = QTime(10, 0, 59);
    clock.TimerTick();
    Drawn();  // the tick's own hand redraw
    now = QTime(10, 1, 0);
    clock.TimerTick();
    EXPECT_EQ(minutes, 1);

    now = QTime(10, 1, 59);
    clock.TimerTick();
    clock.SetClkArrowColor(Qt::red);
    Drawn();  // a full paint starts the comparison from time 0 again
    now = QTime(10, 2, 0);
    clock.TimerTick();
    EXPECT_EQ(minutes, 1);
}

TEST_F(ClockTest, DrawsHandsWhereTheAnglesPoint) {
    clock.SetClkFaceColor(Qt::black);
    clock.SetClkArrowColor(Qt::white);
    clock.SetSecArrow(false);
    now = QTime(3, 0, 45);
    QImage image = Drawn();
    const QRgb white = qRgb(255, 255, 255), black = qRgb(0, 0, 0);
    EXPECT_EQ(image.pixel(40, 33), white);  // hour hand towards 3
    EXPECT_EQ(image.pixel(45, 35), white);  // 6 pixels thick
    EXPECT_EQ(image.pixel(33, 14), white);  // minute hand towards 12
    EXPECT_EQ(image.pixel(15, 33), black);  // no second hand
    EXPECT_EQ(image.pixel(33, 50), black);
    EXPECT_EQ(image.pixel(52, 33), black);  // the hour hand ends at 48

    clock.SetSecArrow(true);
    image = Drawn();
    EXPECT_EQ(image.pixel(15, 33), white);  // second hand towards 9
    EXPECT_EQ(image.pixel(33, 50), black);
}

TEST_F(ClockTest, DrawsRaisedMarks) {
    clock.SetClkFaceColor(Qt::black);
    QImage image = Drawn();
    const QRgb light = clock.palette().color(QPalette::Light).rgb();
    const QRgb dark = clock.palette().color(QPalette::Dark).rgb();
    // The 12 o'clock mark: centre (33, 5), half-side 3, so the square [30, 36) x [2, 8).
    EXPECT_EQ(image.pixel(30, 2), light);
    EXPECT_EQ(image.pixel(30, 6), light);
    EXPECT_EQ(image.pixel(35, 2), dark);
    EXPECT_EQ(image.pixel(30, 7), dark);
    EXPECT_EQ(image.pixel(32, 4), qRgb(0, 0, 0));  // the inside keeps the face colour
    // The 1 o'clock mark is small: centre (33 + trunc(28 sin 30°), 33 - trunc(28 cos 30°)),
    // where 28 sin 30° is a hair under 14 in doubles: (46, 9), square [44, 48) x [7, 11).
    EXPECT_EQ(image.pixel(44, 7), light);
    EXPECT_EQ(image.pixel(47, 10), dark);
    EXPECT_EQ(image.pixel(45, 8), qRgb(0, 0, 0));
    EXPECT_EQ(image.pixel(43, 7), qRgb(0, 0, 0));
}

}  // namespace
