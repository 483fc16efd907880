// TQuorrGauge: a cab gauge showing one value as text, bar, pie or needle over a tiled bitmap.
#pragma once
#include <QImage>
#include <QWidget>

#include <cstdint>
#include <stdexcept>

class QPainter;

// Colours are Windows RGB values: 0x00BBGGRR.
using TColor = uint32_t;
QColor ColorFromTColor(TColor c);
// Covers width x height from the top left with copies of tile (nothing for an empty tile).
void DrawTiled(QPainter& painter, const QImage& tile, int width, int height);

// The framework's invalid-operation error.
class EInvalidOperation : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

enum TGaugeKind : uint8_t {
    gkText = 0,
    gkHorizontalBar,
    gkVerticalBar,
    gkPie,
    gk270needle,
    gk180Lneedle,
    gk180Rneedle,
    gk90needle,
    gkHneedle,
    gkVneedle,
};

enum TBorderStyle : uint8_t { bsNone = 0, bsSingle = 1 };

// A rectangle by its corners, right and bottom exclusive as in the framework's canvas.
struct TGaugeRect {
    int left = 0, top = 0, right = 0, bottom = 0;
    bool operator==(const TGaugeRect&) const = default;
};
// The same rectangle as Qt's left, top, width and height.
QRect GaugeQRect(const TGaugeRect& r);
// Round to nearest, ties to even.
int RoundHalfEven(double x);

// What one paint draws for the current kind and value, in the control's coordinates.
struct TGaugeFigure {
    bool hasFill = false;     // bars: a filled rectangle in ForeColor
    TGaugeRect fill;
    bool hasEllipse = false;  // pie: the full ellipse in BackColor, outlined in ForeColor
    TGaugeRect ellipse;
    bool hasPie = false;      // pie: the wedge from pieStart anticlockwise to pieEnd
    QPoint pieStart, pieEnd;
    bool hasNeedle = false;   // needles: a line and its pivot or marker
    QPoint needleFrom, needleTo;
    int needleWidth = 0;
    TGaugeRect pivot;
};

class TQuorrGauge : public QWidget {
    Q_OBJECT
    Q_PROPERTY(int MinValue READ MinValue WRITE SetMinValue)
    Q_PROPERTY(int MaxValue READ MaxValue WRITE SetMaxValue)
    Q_PROPERTY(int Progress READ Progress WRITE SetProgress)
    Q_PROPERTY(bool ShowText READ ShowText WRITE SetShowText)
public:
    explicit TQuorrGauge(QWidget* parent = nullptr);

    int MinValue() const { return minValue_; }
    int MaxValue() const { return maxValue_; }
    int Progress() const { return progress_; }
    TGaugeKind Kind() const { return kind_; }
    bool ShowText() const { return showText_; }
    TBorderStyle BorderStyle() const { return borderStyle_; }
    TColor ForeColor() const { return foreColor_; }
    TColor BackColor() const { return backColor_; }
    const QImage& BackBitmap() const { return backBitmap_; }

    // Throws EInvalidOperation when v lies beyond the other end (unless loading).
    void SetMinValue(int v);
    void SetMaxValue(int v);
    void SetProgress(int v);
    void SetKind(TGaugeKind v);
    void SetShowText(bool v);
    void SetBorderStyle(TBorderStyle v);
    void SetForeColor(TColor v);
    void SetBackColor(TColor v);
    void SetBackBitmap(const QImage& b);
    // While properties are being read from a cab item file the range is not checked.
    void SetLoading(bool loading) { loading_ = loading; }

    int GetPercentDone() const;
    TGaugeRect DrawingRect() const;
    TGaugeFigure Figure() const;
    QPoint TextOrigin(int textWidth, int textHeight) const;
    // Repaints requested since construction.
    int RepaintCount() const { return repaints_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int minValue_ = 0;
    int maxValue_ = 100;
    int progress_ = 30;
    TGaugeKind kind_ = gk180Rneedle;
    bool showText_ = false;
    TBorderStyle borderStyle_ = bsSingle;
    TColor foreColor_ = 0x000000;
    TColor backColor_ = 0x000080;
    QImage backBitmap_;
    bool loading_ = false;
    int repaints_ = 0;

    void Invalidate();
};
