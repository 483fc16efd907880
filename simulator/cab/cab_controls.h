// The cab's simple controls: push switch, toggle switch, signal light and the lever image list.
#pragma once
#include <QImage>
#include <QPushButton>
#include <QToolButton>
#include <QWidget>

#include <string>
#include <string_view>
#include <vector>

#include "cab/gauge.h"

// A push switch with a glyph: its tag is 1 while the mouse button is held down on it.
class TBitBtn : public QPushButton {
    Q_OBJECT
public:
    explicit TBitBtn(QWidget* parent = nullptr);
    int Tag() const { return tag_; }
    void SetTag(int v) { tag_ = v; }
    const QImage& Glyph() const { return glyph_; }
    void SetGlyph(const QImage& glyph);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    int tag_ = 0;
    QImage glyph_;
};

// A flat toggle switch: its glyph holds NumGlyphs pictures side by side (up, disabled,
// clicked, down); AllowAllUp lets a second click put it up again.
class TSpeedButton : public QToolButton {
    Q_OBJECT
public:
    explicit TSpeedButton(QWidget* parent = nullptr);
    bool Down() const { return isChecked(); }
    void SetDown(bool down) { setChecked(down); }
    bool AllowAllUp() const { return allowAllUp_; }
    void SetAllowAllUp(bool v) { allowAllUp_ = v; }
    int GroupIndex() const { return groupIndex_; }
    void SetGroupIndex(int v) { groupIndex_ = v; }
    int NumGlyphs() const { return numGlyphs_; }
    void SetNumGlyphs(int v);
    const QImage& Glyph() const { return glyph_; }
    void SetGlyph(const QImage& glyph);

private:
    void ShowGlyph();
    QImage glyph_;
    int numGlyphs_ = 1;
    int groupIndex_ = 0;
    bool allowAllUp_ = false;
};

enum TShapeType : uint8_t {
    stRectangle = 0,
    stSquare,
    stRoundRect,
    stRoundSquare,
    stEllipse,
    stCircle,
};
// The stream identifier of a shape type and back; the latter gives false for an unknown one.
const char* ShapeTypeName(TShapeType shape);
bool ShapeTypeFromName(std::string_view name, TShapeType* shape);

// A signal light: a filled circle or rectangle outlined by its pen.
class TShape : public QWidget {
    Q_OBJECT
public:
    explicit TShape(QWidget* parent = nullptr);
    TShapeType Shape() const { return shape_; }
    void SetShape(TShapeType v);
    TColor BrushColor() const { return brushColor_; }
    void SetBrushColor(TColor v);
    TColor PenColor() const { return penColor_; }
    void SetPenColor(TColor v);
    int PenWidth() const { return penWidth_; }
    void SetPenWidth(int v);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    TShapeType shape_ = stRectangle;
    TColor brushColor_ = 0xFFFFFF;
    TColor penColor_ = 0x000000;
    int penWidth_ = 1;
};

// A lever's frames, all of one size.
struct TImageList {
    int width = 16;
    int height = 16;
    std::vector<QImage> frames;
};

// The image list's "Bitmap" data: a 28-byte header ("IL", version, image count, capacity,
// growth, image width and height, background colour, flags, four overlay indexes), then a
// bitmap file holding the images in rows of four, then a mask bitmap when the flags say so.
// Decoding throws std::runtime_error on a malformed block.
std::string EncodeImageListData(const TImageList& list);
TImageList DecodeImageListData(std::string_view data, int width, int height);

// A bitmap file's bytes as an image and back; a null image for a bad file.
QImage ImageFromBitmapFile(std::string_view bytes);
std::string BitmapFileFromImage(const QImage& image);
