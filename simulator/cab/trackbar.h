// TvexaTracker: the cab lever control, a thumb dragged along a track with an integer value.
#pragma once
#include "cab/gauge.h"

#include <QImage>
#include <QWidget>

#include <functional>

enum TvtbOrientation : uint8_t { vtbHorizontal = 0, vtbVertical = 1 };

class TvexaTracker : public QWidget {
    Q_OBJECT
    Q_PROPERTY(int Minimum READ Minimum WRITE SetMinimum)
    Q_PROPERTY(int Maximum READ Maximum WRITE SetMaximum)
    Q_PROPERTY(int Value READ Value WRITE SetValue)
public:
    using TChangedValueEvent = std::function<void(TvexaTracker* sender, int newValue)>;

    explicit TvexaTracker(QWidget* parent = nullptr);

    int Minimum() const { return minimum_; }
    int Maximum() const { return maximum_; }
    int Value() const { return value_; }
    TvtbOrientation Orientation() const { return orientation_; }
    const QImage& BackBitmap() const { return backBitmap_; }
    TColor BackColor() const { return backColor_; }
    bool BackBorder() const { return backBorder_; }
    TColor TrackColor() const { return trackColor_; }
    bool TrackBorder() const { return trackBorder_; }
    TColor TumbColor() const { return tumbColor_; }
    bool TumbBorder() const { return tumbBorder_; }
    int TumbWidth() const { return tumbWidth_; }
    int TumbHeight() const { return tumbHeight_; }
    int TrackHeight() const { return trackHeight_; }
    bool ShowCaption() const { return showCaption_; }
    TColor CaptionColor() const { return captionColor_; }
    bool CaptionBold() const { return captionBold_; }

    void SetValue(int v);
    void SetMinimum(int v);
    void SetMaximum(int v);
    void SetOrientation(TvtbOrientation v);
    void SetBackBitmap(const QImage& b);
    void SetBackColor(TColor v);
    void SetBackBorder(bool v);
    void SetTrackColor(TColor v);
    void SetTrackBorder(bool v);
    void SetTumbColor(TColor v);
    void SetTumbBorder(bool v);
    void SetTumbWidth(int v);
    void SetTumbHeight(int v);
    void SetTrackHeight(int v);
    void SetShowCaption(bool v);
    void SetCaptionColor(TColor v);
    void SetCaptionBold(bool v);
    void SetOnChangedValue(TChangedValueEvent handler) { onChangedValue_ = std::move(handler); }
    // While properties are read back from a cab item file, Minimum, Maximum and Value are stored
    // as given, in any order; ending the load checks them together: a range that is empty or
    // inverted gives way to the range held before the load, and Value is brought into range.
    void SetLoading(bool loading);

    // Geometry as last computed: thumb position and track ends in pixels along the track,
    // rectangles with right and bottom exclusive.
    int Position() const { return pos_; }
    int TrackStart() const { return start_; }
    int TrackEnd() const { return end_; }
    TGaugeRect ThumbRect() const { return thumbRect_; }
    TGaugeRect TrackRect() const { return trackRect_; }
    TGaugeRect HitRect() const { return hitRect_; }
    // The caption as it fits the thumb (cut with an ellipsis when too long).
    QString CaptionText() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    int minimum_ = 0;
    int maximum_ = 100;
    int value_ = 0;
    TvtbOrientation orientation_ = vtbHorizontal;
    QImage backBitmap_;
    TColor backColor_ = 0xC0C0C0;
    bool backBorder_ = false;
    TColor trackColor_ = 0x808080;
    bool trackBorder_ = true;
    TColor tumbColor_ = 0xC0C0C0;
    bool tumbBorder_ = false;
    int tumbWidth_ = 20;
    int tumbHeight_ = 20;
    int trackHeight_ = 6;
    bool showCaption_ = true;
    TColor captionColor_ = 0x000000;
    bool captionBold_ = false;
    TChangedValueEvent onChangedValue_;
    bool loading_ = false;
    int minimumBeforeLoad_ = 0;
    int maximumBeforeLoad_ = 100;

    int pos_ = 0;
    int start_ = 0;
    int end_ = 0;
    TGaugeRect thumbRect_;
    TGaugeRect trackRect_;
    TGaugeRect hitRect_;

    void ComputeTrackEnds();
    void ComputeTrackRects();
    void ComputeThumbRect();
    void ValueFromPosition();
    void PositionFromValue();
};
