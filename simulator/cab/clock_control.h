// TClock: the cab's analogue clock, showing the computer's time shifted by hours and minutes.
#pragma once
#include <QColor>
#include <QPoint>
#include <QTime>
#include <QWidget>

#include <functional>

class QImage;
class QTimer;

// A shown time. The hour may reach 47 (the shift is added without wrapping); the hour hand
// uses it modulo 12.
struct TClockTime {
    int hour = 0;
    int minute = 0;
    int second = 0;
    bool operator==(const TClockTime&) const = default;
};

// The face geometry a paint computes from the control's size.
struct TClockFace {
    int centreX = 0;
    int centreY = 0;
    int radius = 0;    // drawing radius of the hands, inside the marks
    int markSize = 0;
    bool operator==(const TClockFace&) const = default;
};

// Hand angles in radians, clockwise from 12 o'clock.
struct TClockHandAngles {
    double second = 0.0;
    double minute = 0.0;
    double hour = 0.0;
};

class TClock : public QWidget {
    Q_OBJECT
public:
    using TNotifyEvent = std::function<void(TClock* sender)>;
    using TTimeSource = std::function<QTime()>;

    explicit TClock(QWidget* parent = nullptr);

    QColor ClkFaceColor() const { return faceColor_; }
    QColor ClkArrowColor() const { return arrowColor_; }
    bool SecArrow() const { return secArrow_; }
    int DifHour() const { return difHour_; }
    int DifMinute() const { return difMinute_; }

    void SetClkFaceColor(const QColor& c);
    void SetClkArrowColor(const QColor& c);
    void SetSecArrow(bool b);
    // Stored modulo 12 and 60 (the sign follows the value).
    void SetDifHour(int v);
    void SetDifMinute(int v);
    // Shifts the clock so that it shows the hour and minute of x now.
    void SetDisplayTime(const QTime& x);

    TNotifyEvent OnSecond;
    TNotifyEvent OnMinute;
    TNotifyEvent OnHour;

    // The computer's time; the default reads the local clock. Tests put a fixed one here.
    void SetTimeSource(TTimeSource source);
    QTime Now() const;
    // What the clock shows for a computer time t.
    TClockTime ShownTime(const QTime& t) const;
    // The one-second timer's work: events, then the hands redrawn when they moved.
    void TimerTick();
    QTimer* Timer() const { return timer_; }

    static TClockTime ShownTime(const QTime& t, int difHour, int difMinute);
    static TClockFace FaceGeometry(int width, int height);
    static TClockHandAngles HandAngles(const TClockTime& shown);
    // The outer end of a hand of that length (share of the radius) at that angle.
    static QPoint HandEnd(const TClockFace& face, double length, double angle);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void Repaint();
    void DrawHands();
    void DrawFace(QImage& image, const TClockFace& face) const;
    void DrawHandLines(QImage& image, const TClockFace& face) const;

    QColor faceColor_;
    QColor arrowColor_ = Qt::black;
    bool secArrow_ = true;
    int difHour_ = 0;
    int difMinute_ = 0;
    QTime lastTick_{0, 0};
    // Set by a full repaint request: the next paint forgets the last tick time. Hand
    // redraws and window exposes keep it.
    bool repaintPending_ = false;
    TTimeSource timeSource_;
    QTimer* timer_ = nullptr;
};
