#pragma once

#include "model/rect.h"

#include <QImage>

#include <gtest/gtest.h>

// A texture whose every pixel encodes its own coordinates, so the tile origin can be read back.
inline QImage codedTexture(int w, int h) {
    QImage t(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            t.setPixel(x, y, qRgb(x, y, 77));
    return t;
}

inline void expectAnchoredAtOrigin(const QImage& out, const Rect& r, int w, int h) {
    for (int y = 0; y < out.height(); ++y)
        for (int x = 0; x < out.width(); ++x) {
            const QRgb expected = r.contains(x, y) ? qRgb(x % w, y % h, 77) : qRgb(1, 2, 3);
            ASSERT_EQ(out.pixel(x, y), expected) << x << "," << y;
        }
}
