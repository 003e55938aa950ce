// makeart: draws the game's bitmaps, icons, cursor, sounds and sample pictures from scratch.
// Everything is seeded, so running it again gives the same files.

#include "backgrounds.h"
#include "cutsamples.h"
#include "icons.h"
#include "lettering.h"
#include "output.h"
#include "samples.h"
#include "skins.h"
#include "sounds.h"

#include "model/cutcalculator.h"

#include <QDir>
#include <QGuiApplication>

#include <cstdio>

using namespace makeart;

int main(int argc, char* argv[]) {
    // Fonts need a GUI application, but no screen is needed to draw.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc == 4 && QByteArray(argv[1]) == "--picture") {
        // A landscape of any size, for trying the game with pictures far larger than the samples;
        // the file's suffix (.png, .jpg, .bmp) decides its format.
        const QList<QByteArray> size = QByteArray(argv[2]).split('x');
        const int w = size.size() == 2 ? size[0].toInt() : 0, h = size.size() == 2 ? size[1].toInt() : 0;
        if (w < 16 || h < 16 || w > 32768 || h > 32768) {
            std::fprintf(stderr, "makeart: the size is WIDTHxHEIGHT, 16 to 32768 each\n");
            return 2;
        }
        const QString file = QString::fromLocal8Bit(argv[3]);
        const bool jpeg =
            file.endsWith(".jpg", Qt::CaseInsensitive) || file.endsWith(".jpeg", Qt::CaseInsensitive);
        if (!lakeLandscape(w, h).save(file, nullptr, jpeg ? 92 : -1)) {
            std::fprintf(stderr, "makeart: could not write %s\n", argv[3]);
            return 1;
        }
        return 0;
    }
    if (argc != 2) {
        std::fprintf(stderr, "usage: makeart <repo-root>\n  regenerates <repo-root>/res\n"
                             "       makeart --picture WIDTHxHEIGHT <file>\n"
                             "  draws a landscape of that size into the file\n");
        return 2;
    }
    const QDir repo(QString::fromLocal8Bit(argv[1]));
    if (!repo.exists()) {
        std::fprintf(stderr, "makeart: %s does not exist\n", argv[1]);
        return 1;
    }
    Output out(repo.filePath("res"));

    for (const Background& b : backgrounds()) {
        out.bitmap(b.textureId, b.texture);
        out.bitmap(b.swatchId, b.swatch);
        out.bitmap2x(b.textureId, b.texture2x);
        out.bitmap2x(b.swatchId, b.swatch2x);
    }

    // Stripe tiles in order of the control's top modulo 4: 0, 1, 2, 3.
    const int stripeIds[4] = {256, 293, 292, 291};
    for (int k = 0; k < 4; ++k)
        out.bitmap(stripeIds[k], stripeTile(k));
    out.bitmap(258, buttonFace());
    out.bitmap(209, checkBoxStrip());
    out.bitmap(217, lightWood());
    out.bitmap(183, pictureFrame());
    out.bitmap(282, progressBlock());
    // The same at twice the pixels, for screens of ratio 2 (the program picks them up there).
    out.bitmap2x(258, buttonFace(2));
    out.bitmap2x(209, checkBoxStrip(2));
    out.bitmap2x(217, lightWood(2));
    out.bitmap2x(282, progressBlock(2));
    out.bitmap2x(183, pictureFrame(2));
    out.bitmap(252, sizeMotif());
    out.bitmap2x(252, sizeMotif(2));
    // The cut dialog's samples, numbered as the dialog picks them.
    for (const bool mosaic : {false, true})
        for (const bool squareBase : {false, true})
            for (const bool shiftKnobs : {false, true}) {
                if (mosaic && squareBase && !shiftKnobs)
                    continue; // a plain square: one bitmap serves both
                const int id = CutCalculator::previewBitmap(mosaic, squareBase, shiftKnobs);
                out.bitmap(id, cutSample(mosaic, squareBase, shiftKnobs));
                out.bitmap2x(id, cutSample(mosaic, squareBase, shiftKnobs, 2));
            }
    out.bitmap(273, splashTitle());
    out.bitmap(275, splashByline());
    out.bitmap2x(273, splashTitle(2));
    out.bitmap2x(275, splashByline(2));
    QImage cheers, cheersMask;
    congratulation(cheers, cheersMask);
    out.bitmap(285, toIndexed8(cheers));
    out.bitmap(286, cheersMask);

    out.icon("128", programIcon(32));
    out.icon("128_large", programIcon(256));
    out.icon("170", sizeGrip());
    out.icon("128@2x", programIcon(64));
    out.icon("170@2x", sizeGrip(2));
    for (const int size : {16, 32, 48, 64, 128, 256})
        out.desktopIcon(size, programIcon(size));
    int hotX = 0, hotY = 0;
    const QImage cursor = hintCursor(hotX, hotY);
    out.cursor(311, cursor, hotX, hotY);
    out.image2x(QStringLiteral("cursors/311@2x.png"), hintCursor(hotX, hotY, 2));

    out.wave("waves/218.wav", menuClick(), effectRate);
    out.wave("waves/259.wav", elementsPop(), effectRate);
    out.wave("waves/219.wav", menuOpen(), effectRate);
    out.wave("congratu.wav", congratulations(), musicRate);

    out.picture("samples/lake.jpg", lakeLandscape(1280, 960), 90);
    out.picture("samples/stainedglass.jpg", stainedGlass(1280, 960), 90);
    const QImage skyline = sunsetSkyline(1024, 768);
    out.picture("samples/skyline.bmp", skyline.convertToFormat(QImage::Format_RGB888));

    return out.ok() ? 0 : 1;
}
