#pragma once

// Pictures of every held format filled with seeded random pixels, and raw pixel access that
// compares what is stored rather than what Qt shows.

#include <QImage>

#include <cstdint>
#include <vector>

// The formats a picture is held in.
const std::vector<QImage::Format>& pictureFormats();

QImage randomPicture(QImage::Format format, int width, int height, std::uint32_t seed);

// The stored value of pixel (x, y): the index for Mono and Indexed8, the pixel's bytes otherwise.
std::uint64_t rawPixel(const QImage& image, int x, int y);

const char* formatName(QImage::Format format);
