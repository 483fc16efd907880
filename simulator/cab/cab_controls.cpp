// The cab's simple controls: push switch, toggle switch, signal light and the lever image list.
#include "cab/cab_controls.h"

#include <QBuffer>
#include <QMouseEvent>
#include <QPainter>

#include <algorithm>
#include <cstdint>
#include <stdexcept>

namespace {

constexpr uint16_t kImageListMagic = 0x4C49;  // "IL"
constexpr uint16_t kImageListVersion = 0x0101;
constexpr size_t kImageListHeaderSize = 28;
constexpr uint16_t kColor24 = 0x0018;
constexpr int kMaxFrames = 1000;
constexpr int kMaxFrameSide = 4096;

uint16_t get16(std::string_view d, size_t at)
{
    return uint16_t(uint8_t(d[at]) | (uint8_t(d[at + 1]) << 8));
}

uint32_t get32(std::string_view d, size_t at)
{
    return uint32_t(get16(d, at)) | (uint32_t(get16(d, at + 2)) << 16);
}

void put16(std::string& out, uint32_t v)
{
    out.push_back(char(v & 0xFF));
    out.push_back(char((v >> 8) & 0xFF));
}

void put32(std::string& out, uint32_t v)
{
    put16(out, v & 0xFFFF);
    put16(out, v >> 16);
}

// Copies src into dst at (x, y), both in 32-bit RGB; src must fit.
void CopyPixels(QImage& dst, const QImage& src, int x, int y)
{
    for (int row = 0; row < src.height(); ++row) {
        const auto* from = reinterpret_cast<const QRgb*>(src.constScanLine(row));
        auto* to = reinterpret_cast<QRgb*>(dst.scanLine(y + row)) + x;
        std::copy(from, from + src.width(), to);
    }
}

}  // namespace

TBitBtn::TBitBtn(QWidget* parent) : QPushButton(parent) {}

void TBitBtn::SetGlyph(const QImage& glyph)
{
    glyph_ = glyph;
    setIcon(QIcon(QPixmap::fromImage(glyph)));
    setIconSize(glyph.size());
}

void TBitBtn::mousePressEvent(QMouseEvent* event)
{
    tag_ = 1;
    QPushButton::mousePressEvent(event);
}

void TBitBtn::mouseReleaseEvent(QMouseEvent* event)
{
    tag_ = 0;
    QPushButton::mouseReleaseEvent(event);
}

TSpeedButton::TSpeedButton(QWidget* parent) : QToolButton(parent)
{
    setCheckable(true);
    setAutoRaise(true);
    connect(this, &QToolButton::toggled, this, [this] { ShowGlyph(); });
}

void TSpeedButton::SetNumGlyphs(int v)
{
    numGlyphs_ = std::clamp(v, 1, 4);
    ShowGlyph();
}

void TSpeedButton::SetGlyph(const QImage& glyph)
{
    glyph_ = glyph;
    ShowGlyph();
}

void TSpeedButton::ShowGlyph()
{
    if (glyph_.isNull())
        return;
    const int w = glyph_.width() / numGlyphs_;
    // Glyph order: up, disabled, clicked, down.
    const int index = isChecked() && numGlyphs_ >= 4 ? 3 : 0;
    const QImage part = glyph_.copy(index * w, 0, w, glyph_.height());
    setIcon(QIcon(QPixmap::fromImage(part)));
    setIconSize(part.size());
}

const char* ShapeTypeName(TShapeType shape)
{
    static const char* const names[] = {"stRectangle",   "stSquare",  "stRoundRect",
                                        "stRoundSquare", "stEllipse", "stCircle"};
    return names[shape];
}

bool ShapeTypeFromName(std::string_view name, TShapeType* shape)
{
    for (int i = stRectangle; i <= stCircle; ++i) {
        if (name == ShapeTypeName(TShapeType(i))) {
            *shape = TShapeType(i);
            return true;
        }
    }
    return false;
}

TShape::TShape(QWidget* parent) : QWidget(parent)
{
    resize(65, 65);
}

void TShape::SetShape(TShapeType v)
{
    shape_ = v;
    update();
}

void TShape::SetBrushColor(TColor v)
{
    brushColor_ = v;
    update();
}

void TShape::SetPenColor(TColor v)
{
    penColor_ = v;
    update();
}

void TShape::SetPenWidth(int v)
{
    penWidth_ = std::max(0, v);
    update();
}

void TShape::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    if (penWidth_ > 0)
        p.setPen(QPen(ColorFromTColor(penColor_), penWidth_));
    else
        p.setPen(Qt::NoPen);
    p.setBrush(ColorFromTColor(brushColor_));
    const double inset = penWidth_ / 2.0;
    QRectF box = QRectF(rect()).adjusted(inset, inset, -inset, -inset);
    if (shape_ == stSquare || shape_ == stRoundSquare || shape_ == stCircle) {
        const double side = std::min(box.width(), box.height());
        box = QRectF(box.center().x() - side / 2, box.center().y() - side / 2, side, side);
    }
    switch (shape_) {
    case stEllipse:
    case stCircle: p.drawEllipse(box); break;
    case stRoundRect:
    case stRoundSquare: p.drawRoundedRect(box, box.width() / 4, box.height() / 4); break;
    default: p.drawRect(box); break;
    }
}

QImage ImageFromBitmapFile(std::string_view bytes)
{
    if (bytes.size() < 2 || bytes[0] != 'B' || bytes[1] != 'M')
        return {};
    QImage image;
    image.loadFromData(reinterpret_cast<const uchar*>(bytes.data()), int(bytes.size()), "BMP");
    return image.isNull() ? QImage() : image.convertToFormat(QImage::Format_RGB32);
}

std::string BitmapFileFromImage(const QImage& image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.convertToFormat(QImage::Format_RGB888).save(&buffer, "BMP");
    return bytes.toStdString();
}

std::string EncodeImageListData(const TImageList& list)
{
    const int count = int(list.frames.size());
    const int rows = std::max(1, (count + 3) / 4);
    QImage grid(list.width * 4, list.height * rows, QImage::Format_RGB32);
    grid.fill(Qt::black);
    for (int i = 0; i < count; ++i) {
        const QImage frame = list.frames[size_t(i)]
                                 .convertToFormat(QImage::Format_RGB32)
                                 .copy(0, 0, list.width, list.height);
        CopyPixels(grid, frame, (i % 4) * list.width, (i / 4) * list.height);
    }
    std::string out;
    put16(out, kImageListMagic);
    put16(out, kImageListVersion);
    put16(out, uint32_t(count));
    put16(out, uint32_t(rows * 4));
    put16(out, 4);
    put16(out, uint32_t(list.width));
    put16(out, uint32_t(list.height));
    put32(out, 0xFFFFFFFF);  // no background colour
    put16(out, kColor24);
    for (int i = 0; i < 4; ++i) put16(out, 0xFFFF);  // no overlays
    return out + BitmapFileFromImage(grid);
}

TImageList DecodeImageListData(std::string_view data, int width, int height)
{
    if (data.size() < kImageListHeaderSize || get16(data, 0) != kImageListMagic)
        throw std::runtime_error("image list: no \"IL\" header");
    TImageList list;
    const int count = get16(data, 4);
    list.width = get16(data, 10);
    list.height = get16(data, 12);
    if (list.width == 0 || list.height == 0) {
        list.width = width;
        list.height = height;
    }
    if (count > kMaxFrames || list.width <= 0 || list.height <= 0 ||
        list.width > kMaxFrameSide || list.height > kMaxFrameSide)
        throw std::runtime_error("image list: bad image count or size");
    if (count == 0)
        return list;
    const std::string_view bitmap = data.substr(kImageListHeaderSize);
    if (bitmap.size() < 6)
        throw std::runtime_error("image list: the bitmap is missing");
    const uint32_t size = get32(bitmap, 2);
    if (size < 6 || size > bitmap.size())
        throw std::runtime_error("image list: bad bitmap size");
    const QImage grid = ImageFromBitmapFile(bitmap.substr(0, size));
    const int columns = grid.isNull() ? 0 : grid.width() / list.width;
    if (columns < 1 || (count + columns - 1) / columns * list.height > grid.height())
        throw std::runtime_error("image list: the bitmap does not hold every image");
    for (int i = 0; i < count; ++i)
        list.frames.push_back(grid.copy((i % columns) * list.width, (i / columns) * list.height,
                                        list.width, list.height));
    return list;
}
