#include "output.h"

#include <QFile>
#include <QFileInfo>
#include <QImageWriter>
#include <QTextStream>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>

namespace makeart {

bool Output::prepare(const QString& relativePath, QString& path) {
    path = root.filePath(relativePath);
    if (!QDir().mkpath(QFileInfo(path).absolutePath())) {
        fail("cannot create the folder for " + path);
        return false;
    }
    return true;
}

void Output::report(const QString& path) {
    std::printf("%8lld  %s\n", static_cast<long long>(QFileInfo(path).size()),
                qPrintable(root.relativeFilePath(path)));
}

void Output::fail(const QString& message) {
    std::fprintf(stderr, "makeart: %s\n", qPrintable(message));
    ++failures;
}

void Output::image_(const QString& relativePath, const QImage& image, int quality) {
    QString path;
    if (!prepare(relativePath, path))
        return;
    QImageWriter writer(path);
    writer.setQuality(quality);
    if (!writer.write(image)) {
        fail("cannot write " + path + ": " + writer.errorString());
        return;
    }
    report(path);
}

void Output::picture(const QString& relativePath, const QImage& image, int quality) {
    image_(relativePath, image, quality);
}

void Output::cursor(int id, const QImage& image, int hotX, int hotY) {
    image_(QStringLiteral("cursors/%1.png").arg(id), image);
    QString path;
    if (!prepare(QStringLiteral("cursors/%1.txt").arg(id), path))
        return;
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        fail("cannot write " + path);
        return;
    }
    // The hot spot, "x y" in pixels from the image's top-left corner.
    file.write(QStringLiteral("%1 %2\n").arg(hotX).arg(hotY).toLatin1());
    file.close();
    report(path);
}

void Output::wave(const QString& relativePath, const std::vector<double>& samples, int sampleRate) {
    QString path;
    if (!prepare(relativePath, path))
        return;
    QFile file(path);
    const QByteArray bytes = wavBytes(samples, sampleRate);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size()) {
        fail("cannot write " + path);
        return;
    }
    file.close();
    report(path);
}

namespace {

void putLE(QByteArray& out, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i)
        out.append(static_cast<char>((value >> (8 * i)) & 0xFF));
}

struct Box {
    std::vector<QRgb> pixels;
    int channel = 0; // widest channel: 0 red, 1 green, 2 blue
    int range = 0;

    void measure() {
        std::array<int, 3> lo{255, 255, 255}, hi{0, 0, 0};
        for (QRgb p : pixels) {
            const int c[3] = {qRed(p), qGreen(p), qBlue(p)};
            for (int k = 0; k < 3; ++k) {
                lo[k] = std::min(lo[k], c[k]);
                hi[k] = std::max(hi[k], c[k]);
            }
        }
        range = -1;
        for (int k = 0; k < 3; ++k) {
            if (hi[k] - lo[k] > range) {
                range = hi[k] - lo[k];
                channel = k;
            }
        }
    }
    QRgb mean() const {
        double s[3] = {0, 0, 0};
        for (QRgb p : pixels) {
            s[0] += qRed(p);
            s[1] += qGreen(p);
            s[2] += qBlue(p);
        }
        const double n = double(pixels.size());
        return qRgb(int(std::lround(s[0] / n)), int(std::lround(s[1] / n)), int(std::lround(s[2] / n)));
    }
};

int channelOf(QRgb p, int channel) {
    return channel == 0 ? qRed(p) : channel == 1 ? qGreen(p) : qBlue(p);
}

} // namespace

QImage toIndexed8(const QImage& image) {
    const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    std::vector<Box> boxes(1);
    for (int y = 0; y < rgb.height(); ++y) {
        const QRgb* line = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
        boxes[0].pixels.insert(boxes[0].pixels.end(), line, line + rgb.width());
    }
    boxes[0].measure();
    while (boxes.size() < 256) {
        auto widest = std::max_element(boxes.begin(), boxes.end(), [](const Box& a, const Box& b) {
            return a.range * std::sqrt(double(a.pixels.size())) <
                   b.range * std::sqrt(double(b.pixels.size()));
        });
        if (widest->range <= 0 || widest->pixels.size() < 2)
            break;
        Box& box = *widest;
        const int channel = box.channel;
        const auto middle = box.pixels.begin() + box.pixels.size() / 2;
        std::nth_element(box.pixels.begin(), middle, box.pixels.end(),
                         [channel](QRgb a, QRgb b) { return channelOf(a, channel) < channelOf(b, channel); });
        Box upper;
        upper.pixels.assign(middle, box.pixels.end());
        box.pixels.erase(middle, box.pixels.end());
        box.measure();
        upper.measure();
        boxes.push_back(std::move(upper));
    }
    QList<QRgb> palette;
    for (const Box& box : boxes)
        palette.append(box.mean());
    std::sort(palette.begin(), palette.end(), [](QRgb a, QRgb b) { return qGray(a) < qGray(b); });
    palette.erase(std::unique(palette.begin(), palette.end()), palette.end());

    QImage out(rgb.size(), QImage::Format_Indexed8);
    out.setColorTable(palette);
    for (int y = 0; y < rgb.height(); ++y) {
        const QRgb* in = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
        uchar* line = out.scanLine(y);
        for (int x = 0; x < rgb.width(); ++x) {
            int best = 0, bestDistance = 1 << 30;
            for (int i = 0; i < palette.size(); ++i) {
                const int dr = qRed(in[x]) - qRed(palette[i]), dg = qGreen(in[x]) - qGreen(palette[i]),
                          db = qBlue(in[x]) - qBlue(palette[i]);
                const int d = 3 * dr * dr + 4 * dg * dg + 2 * db * db;
                if (d < bestDistance) {
                    bestDistance = d;
                    best = i;
                }
            }
            line[x] = static_cast<uchar>(best);
        }
    }
    return out;
}

QByteArray wavBytes(const std::vector<double>& samples, int sampleRate) {
    const std::uint32_t dataBytes = static_cast<std::uint32_t>(samples.size() * 2);
    QByteArray out;
    out.reserve(44 + int(dataBytes));
    out.append("RIFF");
    putLE(out, 36 + dataBytes, 4);
    out.append("WAVE");
    out.append("fmt ");
    putLE(out, 16, 4);                            // size of the format chunk
    putLE(out, 1, 2);                             // PCM
    putLE(out, 1, 2);                             // mono
    putLE(out, std::uint32_t(sampleRate), 4);     // samples per second
    putLE(out, std::uint32_t(sampleRate) * 2, 4); // bytes per second
    putLE(out, 2, 2);                             // bytes per sample frame
    putLE(out, 16, 2);                            // bits per sample
    out.append("data");
    putLE(out, dataBytes, 4);
    for (double s : samples) {
        const long v = std::lround(std::clamp(s, -1.0, 1.0) * 32767.0);
        putLE(out, static_cast<std::uint32_t>(static_cast<std::int16_t>(v)) & 0xFFFF, 2);
    }
    return out;
}

} // namespace makeart
