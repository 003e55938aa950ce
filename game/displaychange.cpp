#include "game/displaychange.h"

#include "game/gamestate.h"
#include "model/services.h"
#include "res/stringids.h"
#include "res/strings.h"

#include <algorithm>

QRect framedWindowRect(QSize screen, FramedRounding rounding) {
    const int w = screen.width(), h = screen.height();
    if (rounding == FramedRounding::TwoThirds)
        return QRect(w / 6, h / 6, w * 2 / 3, h * 2 / 3);
    return QRect(w / 6, h / 6, 4 * (w / 6), 4 * (h / 6));
}

bool goOnAtDepth(IMessageBox& messages, int width, int height, int depth) {
    if (depth > 8)
        return true;
    const QString text =
        QString::asprintf(loadString(Str::DepthQuestion).toUtf8().constData(), width, height, depth);
    return messages.askStandardYesNo(QStringLiteral("Puzzle"), text);
}

DisplayChangeResult applyDisplayChange(GameState& state, int width, int height, int depth) {
    DisplayChangeResult result;
    Board& board = state.board;
    if (width != board.boardWidth || height != board.boardHeight) {
        int boardWidth = width, boardHeight = height;
        if (state.hasElements()) {
            boardWidth = std::max(board.boardWidth, width);
            boardHeight = std::max(board.boardHeight, height);
        }
        state.screenWidth = width;
        state.screenHeight = height;
        board.resize(boardWidth, boardHeight, width, height);
        result.boardResized = true;
    }
    if (depth != state.screenBitsPerPixel) {
        state.screenBitsPerPixel = depth;
        result.depthChanged = true;
    }
    return result;
}

int reloadMessageFor(const GameFlags& flags, bool elementsExist) {
    if (elementsExist)
        return Str::ReloadPictureAndElements;
    if (flags.pictureLoaded == 1)
        return Str::ReloadPicture;
    return 0;
}
