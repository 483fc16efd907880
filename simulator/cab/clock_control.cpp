// TClock: the cab's analogue clock, showing the computer's time shifted by hours and minutes.
#include "cab/clock_control.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QPalette>
#include <QTimer>

#include <cmath>
#include <numbers>

namespace {

constexpr double two_pi = 2.0 * std::numbers::pi;
constexpr int minutes_per_day = 1440;

struct Hand {
    int penWidth;
    double length;
};
constexpr Hand second_hand{1, 1.0};
constexpr Hand minute_hand{3, 0.95};
constexpr Hand hour_hand{6, 0.6};

// A raised one-pixel frame round [left, right) x [top, bottom): highlight on the top and left
// edges, shadow on the right and bottom edges (the shadow takes the corners it shares).
void FrameRaised(QPainter& p, int left, int top, int right, int bottom, const QColor& highlight,
                 const QColor& shadow) {
    int r = right - 1, b = bottom - 1;
    p.fillRect(QRect(QPoint(left, top), QPoint(r - 1, top)), highlight);
    p.fillRect(QRect(QPoint(left, top), QPoint(left, b - 1)), highlight);
    p.fillRect(QRect(QPoint(r, top), QPoint(r, b)), shadow);
    p.fillRect(QRect(QPoint(left, b), QPoint(r, b)), shadow);
}

}  // namespace

TClock::TClock(QWidget* parent)
    : QWidget(parent), faceColor_(QApplication::palette().color(QPalette::Button)) {
    resize(66, 66);
    timer_ = new QTimer(this);
    timer_->setInterval(1000);
    connect(timer_, &QTimer::timeout, this, &TClock::TimerTick);
    timer_->start();
}

void TClock::SetClkFaceColor(const QColor& c) {
    faceColor_ = c;
    Repaint();
}

void TClock::SetClkArrowColor(const QColor& c) {
    arrowColor_ = c;
    Repaint();
}

void TClock::SetSecArrow(bool b) {
    secArrow_ = b;
    lastTick_ = QTime(0, 0);
    Repaint();
}

void TClock::SetDifHour(int v) {
    difHour_ = v % 12;
    DrawHands();
}

void TClock::SetDifMinute(int v) {
    difMinute_ = v % 60;
    DrawHands();
}

void TClock::SetDisplayTime(const QTime& x) {
    QTime now = Now();
    int d = (x.hour() * 60 + x.minute()) - (now.hour() * 60 + now.minute());
    // Truncating division: both parts are negative when x is earlier than now.
    difHour_ = d / 60;
    difMinute_ = d % 60;
    Repaint();
}

void TClock::SetTimeSource(TTimeSource source) { timeSource_ = std::move(source); }

QTime TClock::Now() const { return timeSource_ ? timeSource_() : QTime::currentTime(); }

TClockTime TClock::ShownTime(const QTime& t) const { return ShownTime(t, difHour_, difMinute_); }

TClockTime TClock::ShownTime(const QTime& t, int difHour, int difMinute) {
    int total = difHour * 60 + difMinute + t.hour() * 60 + t.minute();
    if (total < 0) total += minutes_per_day;
    return {total / 60, total % 60, t.second()};
}

TClockFace TClock::FaceGeometry(int width, int height) {
    TClockFace f;
    f.centreX = width / 2;
    f.centreY = height / 2;
    f.radius = std::min(f.centreX, f.centreY);
    f.markSize = f.radius < 48 ? 6 : f.radius / 8;
    f.radius -= f.markSize + 2;
    return f;
}

TClockHandAngles TClock::HandAngles(const TClockTime& shown) {
    TClockHandAngles a;
    a.second = shown.second * two_pi / 60;
    a.minute = shown.minute * two_pi / 60;
    a.hour = a.minute / 12 + (shown.hour % 12) * two_pi / 12;
    return a;
}

QPoint TClock::HandEnd(const TClockFace& face, double length, double angle) {
    // trunc, not round: the framework converts these with truncation.
    return {face.centreX + int(std::trunc(face.radius * length * std::sin(angle))),
            face.centreY + int(std::trunc(-std::cos(angle) * face.radius * length))};
}

void TClock::TimerTick() {
    QTime now = Now();
    TClockTime shownNow = ShownTime(now);
    TClockTime shownLast = ShownTime(lastTick_);
    if (OnSecond) OnSecond(this);
    bool minuteRolled = shownNow.second < shownLast.second;
    if (minuteRolled && OnMinute) OnMinute(this);
    if (shownNow.minute < shownLast.minute && OnHour) OnHour(this);
    lastTick_ = now;
    if (secArrow_ || minuteRolled) DrawHands();
}

void TClock::Repaint() {
    repaintPending_ = true;
    update();
}

void TClock::DrawHands() { update(); }

void TClock::paintEvent(QPaintEvent*) {
    TClockFace face = FaceGeometry(width(), height());
    QImage image(size(), QImage::Format_RGB32);
    DrawFace(image, face);
    if (repaintPending_) lastTick_ = QTime(0, 0);
    repaintPending_ = false;
    DrawHandLines(image, face);
    QPainter(this).drawImage(0, 0, image);
}

void TClock::DrawFace(QImage& image, const TClockFace& face) const {
    image.fill(faceColor_);
    QPainter p(&image);
    QColor highlight = palette().color(QPalette::Light);
    QColor shadow = palette().color(QPalette::Dark);
    for (int k = 0; k < 60; k += 5) {
        double angle = k * two_pi / 60;
        double distance = face.markSize / 2 + face.radius;
        int x = face.centreX + int(std::trunc(distance * std::sin(angle)));
        int y = face.centreY + int(std::trunc(-std::cos(angle) * distance));
        int half = k % 15 == 0 ? face.markSize / 2 : 2;
        FrameRaised(p, x - half, y - half, x + half, y + half, highlight, shadow);
    }
}

void TClock::DrawHandLines(QImage& image, const TClockFace& face) const {
    TClockHandAngles angles = HandAngles(ShownTime(Now()));
    QPainter p(&image);
    auto draw = [&](const Hand& hand, double angle) {
        p.setPen(QPen(arrowColor_, hand.penWidth, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPoint(face.centreX, face.centreY), HandEnd(face, hand.length, angle));
    };
    if (secArrow_) draw(second_hand, angles.second);
    draw(minute_hand, angles.minute);
    draw(hour_hand, angles.hour);
}
