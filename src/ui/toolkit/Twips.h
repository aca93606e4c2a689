#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

namespace velmora {

// Layouts are written in twips, as the screen tables give them; 15 twips are
// one pixel at 96 dpi.
constexpr int twipsPerPixel = 15;

constexpr int px(int twips)
{
    return (twips + twipsPerPixel / 2) / twipsPerPixel;
}

constexpr QRect twipsRect(int left, int top, int width, int height)
{
    return QRect(px(left), px(top), px(width), px(height));
}

constexpr QPoint twipsPoint(int left, int top)
{
    return QPoint(px(left), px(top));
}

constexpr QSize twipsSize(int width, int height)
{
    return QSize(px(width), px(height));
}

}  // namespace velmora
