// A widget as drawn: its pixels counted by colour, and the commonest colour (its face).
#pragma once
#include <QImage>
#include <QWidget>

#include <map>

inline std::map<QRgb, int> ColourCounts(QWidget* widget)
{
    const QImage image = widget->grab().toImage().convertToFormat(QImage::Format_RGB32);
    std::map<QRgb, int> counts;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            ++counts[image.pixel(x, y)];
    return counts;
}

inline QRgb Commonest(const std::map<QRgb, int>& counts)
{
    QRgb face = 0;
    int most = 0;
    for (const auto& [colour, count] : counts)
        if (count > most) {
            face = colour;
            most = count;
        }
    return face;
}
