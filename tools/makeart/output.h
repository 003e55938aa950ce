#pragma once

#include <QDir>
#include <QImage>
#include <QString>

#include <vector>

namespace makeart {

// Writes the generated files under <repo-root>/res and remembers what went wrong, so that one
// failed file does not hide the others.
class Output {
public:
    explicit Output(const QString& resDir) : root(resDir) {}

    void bitmap(int id, const QImage& image) { image_(QStringLiteral("bitmaps/%1.png").arg(id), image); }
    void icon(const QString& name, const QImage& image) { image_("icons/" + name + ".png", image); }
    // A bitmap with twice the pixels, beside the bitmap of that id ("<id>@2x.png").
    void bitmap2x(int id, const QImage& image) {
        image2x(QStringLiteral("bitmaps/%1@2x.png").arg(id), image);
    }
    void image2x(const QString& relativePath, QImage image) {
        image.setDevicePixelRatio(1); // the file holds pixels; the name says their ratio
        image_(relativePath, image);
    }
    // The program's icon for the desktop's icon theme (installed, not built into the program).
    void desktopIcon(int size, const QImage& image) {
        image_(QStringLiteral("linux/icons/%1.png").arg(size), image);
    }
    void cursor(int id, const QImage& image, int hotX, int hotY);
    void wave(const QString& relativePath, const std::vector<double>& samples, int sampleRate);
    void picture(const QString& relativePath, const QImage& image, int quality = -1);

    bool ok() const { return failures == 0; }

private:
    void image_(const QString& relativePath, const QImage& image, int quality = -1);
    bool prepare(const QString& relativePath, QString& path);
    void report(const QString& path);
    void fail(const QString& message);

    QDir root;
    int failures = 0;
};

// Reduces a picture to at most 256 colours by median cut; the palette follows the picture's own
// colours, so a texture in a narrow range of browns keeps its fine shading. No dithering: error
// diffusion would break the seamless edges of tiles.
QImage toIndexed8(const QImage& image);

// 16-bit PCM mono WAV, samples in [-1, 1].
QByteArray wavBytes(const std::vector<double>& samples, int sampleRate);

} // namespace makeart
