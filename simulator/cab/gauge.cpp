// TQuorrGauge: a cab gauge showing one value as text, bar, pie or needle over a tiled bitmap.
#include "cab/gauge.h"

#include <QPainter>

#include <cmath>
#include <numbers>
#include <string>

namespace {

constexpr double pi = std::numbers::pi;

int share(int percent, int length)
{
    return int(std::trunc(length * (percent * 0.01)));
}

std::string range_message(long long low, long long high)
{
    return "Value must be between " + std::to_string(low) + " and " + std::to_string(high);
}

// Stores v in field; true when that changed it.
template <class T>
bool assign_changed(T& field, T v)
{
    if (field == v) return false;
    field = v;
    return true;
}

}  // namespace

QRect GaugeQRect(const TGaugeRect& r)
{
    return QRect(r.left, r.top, r.right - r.left, r.bottom - r.top);
}

int RoundHalfEven(double x)
{
    return int(std::nearbyint(x));
}

QColor ColorFromTColor(TColor c)
{
    return QColor(int(c & 0xFF), int((c >> 8) & 0xFF), int((c >> 16) & 0xFF));
}

void DrawTiled(QPainter& painter, const QImage& tile, int width, int height)
{
    if (tile.width() <= 0 || tile.height() <= 0) return;
    for (int col = 0; col <= width / tile.width(); ++col)
        for (int row = 0; row <= height / tile.height(); ++row)
            painter.drawImage(col * tile.width(), row * tile.height(), tile);
}

TQuorrGauge::TQuorrGauge(QWidget* parent) : QWidget(parent)
{
    resize(100, 100);
}

void TQuorrGauge::Invalidate()
{
    ++repaints_;
    update();
}

void TQuorrGauge::SetMinValue(int v)
{
    if (v == minValue_) return;
    if (v > maxValue_ && !loading_)
        throw EInvalidOperation(range_message(-2147483647LL, (long long)maxValue_ - 1));
    minValue_ = v;
    if (progress_ < v) progress_ = v;
    Invalidate();
}

void TQuorrGauge::SetMaxValue(int v)
{
    if (v == maxValue_) return;
    if (v < minValue_ && !loading_)
        throw EInvalidOperation(range_message((long long)minValue_ + 1, 2147483647LL));
    maxValue_ = v;
    if (progress_ > v) progress_ = v;
    Invalidate();
}

void TQuorrGauge::SetProgress(int v)
{
    if (v < minValue_) v = minValue_;
    if (v > maxValue_) v = maxValue_;
    if (v == progress_) return;
    int before = GetPercentDone();
    progress_ = v;
    if (GetPercentDone() != before) Invalidate();
}

void TQuorrGauge::SetKind(TGaugeKind v)
{
    if (assign_changed(kind_, v)) Invalidate();
}

void TQuorrGauge::SetShowText(bool v)
{
    if (assign_changed(showText_, v)) Invalidate();
}

void TQuorrGauge::SetBorderStyle(TBorderStyle v)
{
    if (assign_changed(borderStyle_, v)) Invalidate();
}

void TQuorrGauge::SetForeColor(TColor v)
{
    if (assign_changed(foreColor_, v)) Invalidate();
}

void TQuorrGauge::SetBackColor(TColor v)
{
    if (assign_changed(backColor_, v)) Invalidate();
}

void TQuorrGauge::SetBackBitmap(const QImage& b)
{
    backBitmap_ = b.copy();
    Invalidate();
}

int TQuorrGauge::GetPercentDone() const
{
    if (maxValue_ == minValue_) return 0;
    double done = (double(progress_) - minValue_) * 100.0 / (double(maxValue_) - minValue_);
    return int(std::trunc(done));
}

TGaugeRect TQuorrGauge::DrawingRect() const
{
    TGaugeRect r{0, 0, width(), height()};
    if (borderStyle_ == bsSingle) r = {r.left + 1, r.top + 1, r.right - 1, r.bottom - 1};
    return r;
}

TGaugeFigure TQuorrGauge::Figure() const
{
    TGaugeFigure f;
    const TGaugeRect d = DrawingRect();
    const int L = d.left, T = d.top, R = d.right, B = d.bottom;
    const int W = width(), H = height();
    const int p = GetPercentDone();
    switch (kind_) {
    case gkText: break;
    case gkHorizontalBar: {
        int w = std::min(share(p, R - L + 1), R - L + 1);
        if (w >= 1) {
            f.hasFill = true;
            f.fill = {L, T, w, B - T + 1};
        }
        break;
    }
    case gkVerticalBar: {
        int h = share(p, B - T + 1);
        int top = h < B - T + 1 ? (B - T + 1) - h : (B - T + 1) - (B - T);
        f.hasFill = true;
        f.fill = {L, top, R - L + 1, B - T + 1};
        break;
    }
    case gkPie: {
        int extra = borderStyle_ == bsSingle ? 1 : 0;
        int bw = R - L + extra, bh = B - T + extra;
        f.hasEllipse = true;
        f.ellipse = {L, T, L + bw, T + bh};
        if (p > 0) {
            double a = (p / 50.0 + 0.5) * pi;
            int mw = bw / 2, mh = bh / 2;
            f.hasPie = true;
            f.pieStart = QPoint(RoundHalfEven(mw * (1 - std::cos(a))), RoundHalfEven(mh * (1 - std::sin(a))));
            f.pieEnd = QPoint(mw, 0);
        }
        break;
    }
    case gk270needle: {
        int cx = W / 2, cy = H / 2;
        double a = p * 1.5 * pi / 100 - pi / 4;
        int dl = cx - 9;
        f.hasNeedle = true;
        f.needleWidth = 3;
        f.needleFrom = QPoint(cx, cy);
        f.needleTo = QPoint(cx - RoundHalfEven(dl * std::cos(a)), cy - RoundHalfEven(dl * std::sin(a)));
        f.pivot = {cx - 5, cy - 5, cx + 5, cy + 5};
        break;
    }
    case gk180Lneedle:
    case gk180Rneedle: {
        bool left = kind_ == gk180Lneedle;
        int px = left ? L + 5 : R - 5;
        double a = left ? p * pi / 100 + pi / 2 : pi / 2 - p * pi / 100;
        int n = W - RoundHalfEven(0.2 * W);
        f.hasNeedle = true;
        f.needleWidth = 2;
        f.needleFrom = QPoint(px, H / 2);
        f.needleTo = QPoint(px - RoundHalfEven(n * std::cos(a)), H / 2 - RoundHalfEven(n * std::sin(a)));
        f.pivot = left ? TGaugeRect{L, H / 2 - 5, L + 10, H / 2 + 5}
                       : TGaugeRect{R - 10, H / 2 - 5, R, H / 2 + 5};
        break;
    }
    case gk90needle: {
        double a = p * (pi / 2) / 100;
        int g = R - L - 20;
        f.hasNeedle = true;
        f.needleWidth = 3;
        f.needleFrom = QPoint(R - 10, B - 10);
        f.needleTo = QPoint(R - 10 - RoundHalfEven(g * std::cos(a)), B - 10 - RoundHalfEven(g * std::sin(a)));
        f.pivot = {R - 15, B - 15, R + 10, B + 10};
        break;
    }
    case gkVneedle: {
        int y = RoundHalfEven((1 - p / 100.0) * (B - T - 18) + 8);
        f.hasNeedle = true;
        f.needleWidth = 3;
        f.needleFrom = QPoint(L + 4, y);
        f.needleTo = QPoint(R - 9, y);
        f.pivot = {L + 1, y - 2, L + 7, y + 3};
        break;
    }
    case gkHneedle: {
        int x = RoundHalfEven((R - L - 18) * p / 100.0 + 8);
        f.hasNeedle = true;
        f.needleWidth = 3;
        f.needleFrom = QPoint(x, B + 1);
        f.needleTo = QPoint(x, T + 8);
        f.pivot = {x - 3, B - 3, x + 4, B + 3};
        break;
    }
    }
    return f;
}

QPoint TQuorrGauge::TextOrigin(int textWidth, int textHeight) const
{
    TGaugeRect d = DrawingRect();
    return QPoint((d.right - d.left - textWidth + 1) / 2,
                  (d.bottom - d.top - textHeight + 1) / 2 - 12);
}

void TQuorrGauge::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    DrawTiled(painter, backBitmap_, width(), height());
    const QColor fore = ColorFromTColor(foreColor_), back = ColorFromTColor(backColor_);
    const TGaugeFigure f = Figure();
    if (f.hasFill) painter.fillRect(GaugeQRect(f.fill), fore);
    if (f.hasEllipse) {
        painter.setRenderHint(QPainter::Antialiasing, false);
        painter.setPen(QPen(fore, 1));
        painter.setBrush(back);
        QRect e = GaugeQRect(f.ellipse);
        painter.drawEllipse(e.adjusted(0, 0, -1, -1));
        if (f.hasPie) {
            QPointF c = QRectF(e).center();
            auto angle = [&](QPoint q) {
                return std::atan2(-(q.y() - c.y()), q.x() - c.x()) * 180.0 / pi;
            };
            double start = angle(f.pieStart);
            double span = angle(f.pieEnd) - start;
            while (span <= 0) span += 360.0;
            painter.setBrush(fore);
            painter.drawPie(e.adjusted(0, 0, -1, -1), RoundHalfEven(start * 16), RoundHalfEven(span * 16));
        }
    }
    if (f.hasNeedle) {
        painter.setPen(QPen(fore, f.needleWidth, Qt::SolidLine, Qt::RoundCap));
        painter.drawLine(f.needleFrom, f.needleTo);
        // The half-circle kinds outline their pivot with the needle's pen.
        if (kind_ != gk180Lneedle && kind_ != gk180Rneedle)
            painter.setPen(QPen(back, 1));
        painter.setBrush(back);
        painter.drawEllipse(GaugeQRect(f.pivot).adjusted(0, 0, -1, -1));
    }
    if (showText_) {
        QString text = QString::number(progress_);
        QFontMetrics metrics(font());
        QPoint origin = TextOrigin(metrics.horizontalAdvance(text), metrics.height());
        TGaugeRect d = DrawingRect();
        painter.setClipRect(GaugeQRect(d));
        painter.setPen(QColor(0xC0, 0xC0, 0xC0));
        painter.setFont(font());
        painter.drawText(origin.x(), origin.y() + metrics.ascent(), text);
    }
}
