#include "game/gameflow.h"

#include "board/boardrenderer.h"
#include "game/gamestate.h"
#include "model/generator.h"
#include "model/services.h"
#include "res/stringids.h"
#include "res/strings.h"

GameFlow::GameFlow(GameState& state, BoardRenderer& renderer, IMessageBox& messages, ISound& sound,
                   IClock& clock, IScreen& screen, IGameFlowHost& host)
    : state_(state), renderer_(renderer), messages_(messages), sound_(sound), clock_(clock), screen_(screen),
      host_(host) {}

bool GameFlow::confirmReplacingGame() {
    if (!state_.gameUnderWay())
        return true;
    return messages_.messageBox(loadString(Str::NewGameQuestion), MessageKind::Question,
                                MessageButtons::YesNo) == MessageResult::Yes;
}

void GameFlow::discardGame(bool withPicture) {
    std::vector<QImage> pictures;
    std::shared_ptr<Puzzle> elements;
    if (state_.hasElements()) {
        // A large game's elements are freed on another thread, as its picture is.
        if (state_.puzzle.count() >= manyElements)
            elements = std::make_shared<Puzzle>(std::move(state_.puzzle));
        state_.puzzle.clear();
        state_.input.dropGame();
    }
    if (withPicture) {
        state_.flags.pictureLoaded = 0;
        host_.hidePreview();
        pictures = {std::exchange(state_.picture, QImage()), std::exchange(state_.devicePicture, QImage())};
    }
    release_.release(std::move(pictures), std::move(elements));
    host_.stopClockTimer();
    state_.clockText = GameClock::format(0);
    host_.invalidateClockWindow();
    renderer_.redrawBoard({.clearBackground = true});
}

bool GameFlow::beginCreateElements() {
    if (!confirmReplacingGame())
        return false;
    state_.flags.gameCompleted = 0;
    host_.repaintPreview();
    discardGame(false);
    return true;
}

void GameFlow::generateElements(IRandom& random, IProgress* progress) {
    GenerationRequest request;
    request.rows = state_.cutRows;
    request.columns = state_.cutColumns;
    request.elementSize = state_.cutElementSize > 0 ? state_.cutElementSize : state_.cut.elementSize;
    request.cut = state_.cut;
    Generator(random, clock_).generate(request, state_.puzzle, state_.shapes, state_.settings, progress);

    const QSize size =
        boardSizeFor(request.columns, request.rows, state_.puzzle.geometry.bitmapSize,
                     QSize(state_.screenWidth, state_.screenHeight), screen_.fullScreenClientSize());
    state_.board.resize(size.width(), size.height(), state_.screenWidth, state_.screenHeight);
    renderer_.redrawBoard({.clearBackground = true, .playSound = true});
    startClock(0);
}

void GameFlow::startClock(int carried) {
    state_.clock.start(clock_.nowSeconds(), carried);
    if (state_.settings.showTimer)
        host_.restartClockTimer();
}

QString GameFlow::elapsedText() const {
    return GameClock::format(state_.clock.elapsed(clock_.nowSeconds()));
}

void GameFlow::clockTick() {
    if (!state_.settings.showTimer)
        return;
    state_.clockText = elapsedText();
    host_.invalidateClockWindow();
}

void GameFlow::pause() {
    if (!state_.gameUnderWay() || !state_.settings.showTimer)
        return;
    host_.stopClockTimer();
    state_.clock.carry(clock_.nowSeconds());
    renderer_.coverBoard(); // no element may be seen while the clock stands
    host_.runPauseWindow();
    host_.restartClockTimer();
    state_.clock.resume(clock_.nowSeconds());
    renderer_.redrawBoard({.clearBackground = true});
}

void GameFlow::applyClockVisibility() {
    const bool visible = host_.clockWindowVisible();
    if (state_.settings.showTimer) {
        if (!visible) {
            if (state_.gameUnderWay())
                host_.restartClockTimer();
            host_.setClockWindowVisible(true);
        } else {
            host_.invalidateClockWindow();
        }
    } else {
        if (visible) {
            host_.stopClockTimer();
            host_.setClockWindowVisible(false);
        } else {
            host_.invalidateClockWindow();
        }
    }
}

void GameFlow::announceCompletion() {
    host_.stopClockTimer();
    // One reading of the clock for what it shows and what is recorded.
    const std::int64_t seconds = state_.clock.elapsed(clock_.nowSeconds());
    state_.clockText = GameClock::format(seconds);
    host_.invalidateClockWindow();
    state_.flags.gameCompleted = 1;
    sound_.playFile(host_.programFolder() + QStringLiteral("congratu.wav"));
    host_.runCongratulation();
    host_.runRecords(seconds);
}

void GameFlow::gameReady() {
    // Loading built every element whole (shapes and regions from the joins); what is left is
    // to draw them.
    renderer_.redrawBoard({.clearBackground = true, .playSound = true});
    state_.clock.resume(clock_.nowSeconds());
    if (state_.settings.showTimer)
        host_.restartClockTimer();
    applyClockVisibility();
}
