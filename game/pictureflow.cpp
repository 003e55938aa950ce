#include "game/pictureflow.h"

#include "game/gameflow.h"
#include "game/gamestate.h"
#include "model/cutcalculator.h"
#include "model/devicepicture.h"
#include "model/picture.h"
#include "model/services.h"
#include "res/stringids.h"
#include "res/strings.h"

#include <QDir>
#include <QFileInfo>

#include <future>
#include <limits>

PictureFlow::PictureFlow(GameState& state, GameFlow& gameFlow, IMessageBox& messages, ICursor& cursor)
    : state_(state), gameFlow_(gameFlow), messages_(messages), cursor_(cursor) {}

bool PictureFlow::prepareLoad() {
    // A game under way stays on the table, clock running, until the new picture has been read:
    // a cancelled dialog or a file that does not read must not cost the player the game.
    if (state_.gameUnderWay())
        return gameFlow_.confirmReplacingGame();
    if (state_.hasElements() || state_.flags.pictureLoaded)
        gameFlow_.discardGame(true);
    return true;
}

bool PictureFlow::loadChosenFile(const QString& path) {
    LoadResult result;
    {
        const WaitCursor wait(cursor_);
        result = loadPicture(path);
    }
    if (!result.ok()) {
        const QByteArray shownPath = QDir::toNativeSeparators(path).toUtf8();
        messages_.messageBox(
            QString::asprintf(loadString(Str::UnknownFormat).toUtf8().constData(), shownPath.constData()),
            MessageKind::Plain, MessageButtons::Ok);
        return false;
    }
    // Only now is the game given up (when the question kept it so far).
    if (state_.hasElements() || state_.flags.pictureLoaded)
        gameFlow_.discardGame(true);
    state_.flags.pictureLoaded = 1;
    state_.pictureName = QFileInfo(path).fileName();
    state_.picture = std::move(result.picture);
    state_.devicePicture = QImage();
    state_.pictureWidth = state_.picture.width();
    state_.pictureHeight = state_.picture.height();
    state_.flags.cutDone = 0;
    return true;
}

bool PictureFlow::prepareCut() {
    // As with a new picture: a game under way goes only once the new cut is confirmed.
    if (state_.gameUnderWay())
        return gameFlow_.confirmReplacingGame();
    if (state_.hasElements())
        gameFlow_.discardGame(false);
    return true;
}

CutChoice PictureFlow::currentChoice() const {
    CutChoice choice;
    choice.squareBase = !state_.cut.irregularBase;
    choice.shiftKnobs = state_.cut.shiftKnobs != 0;
    choice.rotateElements = state_.cut.rotateElements != 0;
    choice.mosaic = state_.cut.mosaic != 0;
    return choice;
}

int PictureFlow::lastElementSize() const {
    return state_.cutElementSize > 0 ? state_.cutElementSize : state_.cut.elementSize;
}

bool PictureFlow::applyCut(const CutChoice& choice) {
    if (choice.columns <= 0 || choice.rows <= 0 || choice.elementSize <= 0 ||
        qint64(choice.columns) * choice.rows > CutCalculator::maxElements)
        return false;
    // Typed counts can be as large as an int holds; their product with the size cannot.
    const qint64 width = qint64(choice.columns) * choice.elementSize;
    const qint64 height = qint64(choice.rows) * choice.elementSize;
    // The stretched copy is made beside the picture, so a cut that cannot be made leaves a game
    // kept through the dialog as it was.
    QImage stretched = state_.picture;
    QImage finer;
    bool scaled = false;
    {
        const WaitCursor wait(cursor_);
        constexpr qint64 intMax = std::numeric_limits<int>::max();
        if (width <= intMax && height <= intMax) {
            // The finer copy comes from the most detail at hand (a cut again starts from the
            // earlier cut's copy), made on the second core beside the cut picture.
            const QImage& source = state_.devicePicture.isNull() ? state_.picture : state_.devicePicture;
            std::future<QImage> device = std::async(std::launch::async, makeDevicePicture, source,
                                                    QSize(int(width), int(height)), state_.deviceRatio);
            scaled = scalePicture(stretched, int(width), int(height));
            finer = device.get();
        }
    }
    if (!scaled) {
        messages_.messageBox(loadString(Str::OutOfMemory), MessageKind::Error, MessageButtons::Ok);
        return false;
    }
    if (state_.hasElements())
        gameFlow_.discardGame(false);
    state_.picture = std::move(stretched);
    state_.devicePicture = std::move(finer);
    state_.pictureWidth = int(width);
    state_.pictureHeight = int(height);
    state_.flags.cutDone = 1;
    state_.cutColumns = choice.columns;
    state_.cutRows = choice.rows;
    state_.cutElementSize = choice.elementSize;
    state_.cut.rotateElements = choice.rotateElements ? 1 : 0;
    state_.cut.irregularBase = choice.squareBase ? 0 : 1;
    state_.cut.shiftKnobs = choice.shiftKnobs ? 1 : 0;
    state_.cut.mosaic = choice.mosaic ? 1 : 0;
    return true;
}
