// TvexaTracker: the cab lever control, a thumb dragged along a track with an integer value.
#include "cab/trackbar.h"

#include <QMouseEvent>
#include <QPainter>

#include <algorithm>

TvexaTracker::TvexaTracker(QWidget* parent) : QWidget(parent)
{
    resize(60, 25);
    ComputeTrackEnds();
    ComputeTrackRects();
    PositionFromValue();
}

void TvexaTracker::ComputeTrackEnds()
{
    const bool horizontal = orientation_ == vtbHorizontal;
    const int length = horizontal ? width() : height();
    const int margin = (horizontal ? tumbWidth_ : tumbHeight_) / 2 + 5;
    // A control shorter than its thumb and margins keeps a track of at most one pixel at its
    // centre: the track never runs backwards nor leaves the control.
    start_ = std::clamp(margin, 0, length / 2);
    end_ = length - start_;
}

void TvexaTracker::ComputeTrackRects()
{
    const int W = width(), H = height();
    if (orientation_ == vtbHorizontal) {
        int a = (H - trackHeight_) / 2;
        trackRect_ = {start_, a, end_, H - a};
        int grow = (tumbHeight_ - trackHeight_) / 2;
        hitRect_ = {trackRect_.left, trackRect_.top - grow, trackRect_.right, trackRect_.bottom + grow};
    } else {
        int a = (W - trackHeight_) / 2;
        trackRect_ = {a, start_, W - a, end_};
        int grow = (tumbWidth_ - trackHeight_) / 2;
        hitRect_ = {trackRect_.left - grow, trackRect_.top, trackRect_.right + grow, trackRect_.bottom};
    }
}

void TvexaTracker::ComputeThumbRect()
{
    const int W = width(), H = height();
    if (orientation_ == vtbHorizontal)
        thumbRect_ = {pos_ - tumbWidth_ / 2, (H - tumbHeight_) / 2, pos_ + tumbWidth_ / 2,
                      H - (H - tumbHeight_) / 2};
    else
        thumbRect_ = {(W - tumbWidth_) / 2, pos_ - tumbHeight_ / 2, W - (W - tumbWidth_) / 2,
                      pos_ + tumbHeight_ / 2};
}

void TvexaTracker::ValueFromPosition()
{
    // A track of no length maps every position to the minimum.
    if (end_ == start_) {
        value_ = minimum_;
        return;
    }
    value_ = RoundHalfEven(double(pos_ - start_) / (end_ - start_) *
                        (double(maximum_) - minimum_) + minimum_);
}

void TvexaTracker::PositionFromValue()
{
    // Mid-load the range may still be empty or inverted: the thumb waits at the start.
    if (maximum_ <= minimum_)
        pos_ = start_;
    else
        pos_ = start_ + RoundHalfEven((double(value_) - minimum_) / (double(maximum_) - minimum_) *
                                   (end_ - start_));
    ComputeThumbRect();
    update();
}

void TvexaTracker::SetValue(int v)
{
    if (loading_) {
        value_ = v;
        return;
    }
    if (v < minimum_ || v > maximum_) return;
    value_ = v;
    PositionFromValue();
}

void TvexaTracker::SetMinimum(int v)
{
    if (loading_) {
        minimum_ = v;
        return;
    }
    if (v >= maximum_) return;
    minimum_ = v;
    if (value_ < v) value_ = v;
    PositionFromValue();
}

void TvexaTracker::SetMaximum(int v)
{
    if (loading_) {
        maximum_ = v;
        return;
    }
    if (v <= minimum_) return;
    maximum_ = v;
    if (value_ > v) value_ = v;
    PositionFromValue();
}

void TvexaTracker::SetLoading(bool loading)
{
    if (loading == loading_) return;
    loading_ = loading;
    if (loading) {
        minimumBeforeLoad_ = minimum_;
        maximumBeforeLoad_ = maximum_;
        return;
    }
    if (maximum_ <= minimum_) {
        minimum_ = minimumBeforeLoad_;
        maximum_ = maximumBeforeLoad_;
    }
    value_ = std::clamp(value_, minimum_, maximum_);
    PositionFromValue();
}

void TvexaTracker::SetOrientation(TvtbOrientation v)
{
    orientation_ = v;
    update();
}

void TvexaTracker::SetBackBitmap(const QImage& b)
{
    backBitmap_ = b.copy();
    update();
}

void TvexaTracker::SetTumbWidth(int v)
{
    tumbWidth_ = v;
    ComputeTrackEnds();
    ComputeThumbRect();
    ComputeTrackRects();
    update();
}

void TvexaTracker::SetTumbHeight(int v)
{
    if (v >= height()) return;
    tumbHeight_ = v;
    ComputeTrackEnds();
    ComputeThumbRect();
    ComputeTrackRects();
    update();
}

void TvexaTracker::SetTrackHeight(int v)
{
    if (orientation_ == vtbHorizontal ? v >= height() : v >= width()) return;
    trackHeight_ = v;
    ComputeTrackRects();
    update();
}

void TvexaTracker::SetBackColor(TColor v) { backColor_ = v; update(); }
void TvexaTracker::SetBackBorder(bool v) { backBorder_ = v; update(); }
void TvexaTracker::SetTrackColor(TColor v) { trackColor_ = v; update(); }
void TvexaTracker::SetTrackBorder(bool v) { trackBorder_ = v; update(); }
void TvexaTracker::SetTumbColor(TColor v) { tumbColor_ = v; update(); }
void TvexaTracker::SetTumbBorder(bool v) { tumbBorder_ = v; update(); }
void TvexaTracker::SetShowCaption(bool v) { showCaption_ = v; update(); }
void TvexaTracker::SetCaptionColor(TColor v) { captionColor_ = v; update(); }
void TvexaTracker::SetCaptionBold(bool v) { captionBold_ = v; update(); }

void TvexaTracker::mouseMoveEvent(QMouseEvent* event)
{
    if (!(event->buttons() & Qt::LeftButton)) return;
    const int x = event->position().toPoint().x(), y = event->position().toPoint().y();
    if (x < hitRect_.left || x >= hitRect_.right || y < hitRect_.top || y >= hitRect_.bottom)
        return;
    pos_ = orientation_ == vtbHorizontal ? x : y;
    ValueFromPosition();
    ComputeThumbRect();
    update();
    if (onChangedValue_) onChangedValue_(this, value_);
}

void TvexaTracker::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    ComputeTrackEnds();
    ComputeTrackRects();
    PositionFromValue();
}

QString TvexaTracker::CaptionText() const
{
    QFont f = font();
    f.setBold(captionBold_);
    return QFontMetrics(f).elidedText(QString::number(value_), Qt::ElideRight,
                                      thumbRect_.right - thumbRect_.left);
}

void TvexaTracker::paintEvent(QPaintEvent*)
{
    ComputeTrackEnds();
    ComputeThumbRect();
    ComputeTrackRects();
    QPainter painter(this);
    if (backBitmap_.width() > 0 && backBitmap_.height() > 0) {
        DrawTiled(painter, backBitmap_, width(), height());
    } else {
        painter.setBrush(ColorFromTColor(backColor_));
        if (backBorder_) painter.setPen(QPen(Qt::black, 1));
        else painter.setPen(Qt::NoPen);
        painter.drawRect(backBorder_ ? rect().adjusted(0, 0, -1, -1) : rect());
    }
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(ColorFromTColor(tumbColor_), 1));
    painter.drawRect(GaugeQRect(thumbRect_).adjusted(0, 0, -1, -1));
    if (showCaption_) {
        QFont f = font();
        f.setBold(captionBold_);
        painter.setFont(f);
        painter.setPen(ColorFromTColor(captionColor_));
        painter.drawText(GaugeQRect(thumbRect_), Qt::AlignCenter | Qt::TextSingleLine, CaptionText());
    }
}
