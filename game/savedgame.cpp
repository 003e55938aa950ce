#include "game/savedgame.h"

#include "game/gamestate.h"
#include "model/elementcontext.h"
#include "model/generator.h"
#include "model/picture.h"

#include <algorithm>

std::uint32_t colorRef(const QColor& c) {
    return static_cast<std::uint32_t>(c.red()) | static_cast<std::uint32_t>(c.green()) << 8 |
           static_cast<std::uint32_t>(c.blue()) << 16;
}

QColor fromColorRef(std::uint32_t v) {
    return QColor(v & 0xFF, (v >> 8) & 0xFF, (v >> 16) & 0xFF);
}

bool pictureFitsSavedGame(const SavedGame& game, const QImage& picture) {
    return !picture.isNull() &&
           std::int64_t(picture.width()) == std::int64_t(game.columns) * game.elementSize &&
           std::int64_t(picture.height()) == std::int64_t(game.rows) * game.elementSize;
}

namespace {

// The shapes a builder has made already stay where the new game's options are the same.
void buildSavedElements(const SavedGame& g, Puzzle& p, ShapeBuilder& shapes,
                        const std::function<void(int)>& progress) {
    p.create(g.rows, g.columns);
    p.geometry =
        Geometry::compute(g.elementSize, g.cut.mosaic, g.cut.irregularBase, g.settings.outlineThickness);
    shapes.setOptions(ShapeOptions{p.geometry, g.cut.mosaic != 0, g.settings.threeD != 0});
    p.stackOrder = g.stackOrder;
    for (const auto& block : g.blocks)
        p.blocks.makeBlock(block);

    // The records as the file has them; everything made from them is built as a new game's
    // elements are. Whether an element is alone or fully joined follows from its joins.
    const int n = g.count();
    const int offset = p.geometry.bodyOffset, size = p.geometry.bitmapSize;
    for (int i = 0; i < n; ++i) {
        const SavedElement& s = g.elements[i];
        Element& e = p.element(i);
        e.homeIndex = i;
        e.orientation = s.orientation;
        e.joinedNeighbour = s.joinedNeighbour;
        e.edgeSign = s.edgeSign;
        e.edgeShift = s.edgeShift;
        const Rect& body = g.bodyRects[i];
        e.cellRect = {body.left - offset, body.top - offset, body.left - offset + size,
                      body.top - offset + size};
    }
    buildElements(p, shapes, progress);
}

} // namespace

std::unique_ptr<BuiltElements> buildSavedElements(const SavedGame& g,
                                                  const std::function<void(int)>& progress) {
    auto built = std::make_unique<BuiltElements>();
    buildSavedElements(g, built->puzzle, built->shapes, progress);
    return built;
}

SavedGameText readSavedGameText(const QString& gamePath) {
    SavedGameText text;
    text.error = readSavedGameFile(gamePath, text.game);
    if (text.error == SavedGameError::None)
        text.built = buildSavedElements(text.game);
    return text;
}

void installSavedGame(const SavedGame& g, const QImage& picture, GameState& state, QSize fullScreenClient,
                      IProgress* progress, BuiltElements* built) {
    CutParameters& cut = state.cut;
    cut.irregularBase = g.cut.irregularBase;
    cut.shiftKnobs = g.cut.shiftKnobs;
    cut.rotateElements = g.cut.rotateElements;
    cut.mosaic = g.cut.mosaic;
    cut.elementSize = g.elementSize;
    cut.rows = g.rows;
    cut.columns = g.columns;
    cut.pictureWidth = picture.width();
    cut.pictureHeight = picture.height();
    state.cutRows = g.rows;
    state.cutColumns = g.columns;
    state.cutElementSize = g.elementSize;
    state.settings = g.settings;

    BackgroundState& bg = state.background;
    bg.backgroundColor = fromColorRef(g.backgroundColor);
    bg.hasBackgroundBrush = true;
    bg.textColor = fromColorRef(g.textColor);
    bg.bitmapBackground = g.bitmapBackground;
    if (bg.backgroundBitmapId != static_cast<int>(g.backgroundBitmapId) || bg.texture.isNull()) {
        bg.backgroundBitmapId = static_cast<int>(g.backgroundBitmapId);
        bg.loadTexture();
    }

    state.picture = picture;
    state.pictureWidth = picture.width();
    state.pictureHeight = picture.height();

    if (built && std::ssize(built->puzzle.elementGrid) == g.count()) {
        state.puzzle = std::move(built->puzzle);
        state.shapes = std::move(built->shapes);
        built->puzzle.clear(); // taken: a second install builds afresh
    } else {
        const int n = g.count();
        const bool showProgress = progress && n >= progressThreshold;
        if (showProgress)
            progress->begin(0, n, progressStep(n));
        buildSavedElements(g, state.puzzle, state.shapes, [&](int done) {
            if (showProgress)
                progress->setPosition(done);
        });
        if (showProgress)
            progress->end();
    }
    const Puzzle& p = state.puzzle;

    const QSize board =
        savedBoardSize(g, p.geometry, QSize(state.screenWidth, state.screenHeight), fullScreenClient);
    state.board.resize(board.width(), board.height(), state.screenWidth, state.screenHeight);

    state.clock.clockCarried = g.clockCarried();
    state.input.dropGame();
    state.flags.pictureLoaded = 1;
    state.flags.cutDone = 1;
    state.flags.gameCompleted = 0;
}

QSize savedBoardSize(const SavedGame& g, const Geometry& geometry, QSize screen, QSize fullScreenClient) {
    // At least the stored board, so a game saved on a larger screen keeps its places; at least
    // the present screen and the scatter grid, so one saved on a smaller screen fills it. A
    // stored board beyond both the furthest element (plus the margin a fitted board has) and
    // twice the present screen holds nothing to keep: it is clamped, so a few bytes cannot ask
    // for a huge bitmap.
    // The room a table grown in play leaves beyond an element, one element past its body, is kept
    // too (within the reach the reader allows): a grown board loads back as it was.
    const QSize fitted = boardSizeFor(g.columns, g.rows, geometry.bitmapSize, screen, fullScreenClient);
    std::int64_t right = 0, bottom = 0, grownRight = 0, grownBottom = 0;
    for (const Rect& body : g.bodyRects) {
        right = std::max<std::int64_t>(right,
                                       std::int64_t(body.left) - geometry.bodyOffset + geometry.bitmapSize);
        bottom = std::max<std::int64_t>(bottom,
                                        std::int64_t(body.top) - geometry.bodyOffset + geometry.bitmapSize);
        grownRight = std::max<std::int64_t>(grownRight, std::int64_t(body.right) + geometry.elementSize);
        grownBottom = std::max<std::int64_t>(grownBottom, std::int64_t(body.bottom) + geometry.elementSize);
    }
    const std::int64_t reach = boardReach(geometry.bitmapSize, g.rows, g.columns);
    const std::int64_t marginX = std::int64_t(screen.width()) - fullScreenClient.width() + 50;
    const std::int64_t marginY = std::int64_t(screen.height()) - fullScreenClient.height() + 50;
    const auto side = [](std::int64_t fittedSide, std::int64_t stored, std::int64_t needed) {
        return static_cast<int>(std::max(fittedSide, std::min(stored, needed)));
    };
    const std::int64_t neededX =
        std::max({right + marginX, std::min(grownRight, reach), 2 * std::int64_t(screen.width())});
    const std::int64_t neededY =
        std::max({bottom + marginY, std::min(grownBottom, reach), 2 * std::int64_t(screen.height())});
    return {side(fitted.width(), g.boardWidth, neededX), side(fitted.height(), g.boardHeight, neededY)};
}
