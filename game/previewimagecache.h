#pragma once

#include <QImage>
#include <QSize>

// The picture as the floating window paints it: stretched to the window's client size with
// smooth scaling. A picture can be far larger than the screen, so it is first reduced once to a
// working copy no larger than `limit`; each new size is scaled from that copy, and the result
// for the current size is kept, so painting is a plain copy.
class PreviewImageCache {
public:
    explicit PreviewImageCache(QSize limit) : limit_(limit) {}

    // The picture stretched to size (RGB32); null for an empty size or a picture without pixels.
    const QImage& scaled(const QImage& picture, QSize size);

    // How often a scaled copy was made (tests check that painting reuses it).
    int scalings() const { return scalings_; }
    // The working copy made from the current picture.
    const QImage& workingCopy() const { return working_; }

private:
    QSize limit_;
    qint64 pictureKey_ = 0;
    QImage working_;
    QImage scaled_;
    int scalings_ = 0;
};
