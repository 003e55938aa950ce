#include "game/creationflow.h"

#include "game/commands.h"
#include "game/gameflow.h"
#include "game/gamestate.h"
#include "model/generator.h"
#include "model/randomtables.h"
#include "res/stringids.h"

#include <QScopeGuard>

CreationFlow::CreationFlow(GameState& state, GameFlow& gameFlow, ICreationHost& host)
    : state_(state), gameFlow_(gameFlow), host_(host), random_(std::make_unique<StandardRandom>()) {}

CreationFlow::~CreationFlow() = default;

void CreationFlow::setRandom(std::unique_ptr<IRandom> random) {
    random_ = std::move(random);
}

void CreationFlow::newGame() {
    host_.runCommand(Cmd::LoadPicture);
    if (!(state_.flags.pictureLoaded && !state_.flags.cutDone))
        return;
    host_.runCommand(Cmd::CutPicture);
    if (state_.flags.cutDone)
        host_.runCommand(Cmd::CreateElements);
}

void CreationFlow::createElements() {
    // A game being built lets events through its progress strip; it is not replaced meanwhile.
    if (building() || !gameFlow_.beginCreateElements())
        return;
    generateNow();
}

void CreationFlow::withProgress(int count, const std::function<void(IProgress*)>& work) {
    ++building_;
    const auto built = qScopeGuard([this] { --building_; });
    if (count < progressThreshold) {
        work(nullptr);
        return;
    }
    const std::unique_ptr<IProgress> progress = host_.openProgress(Str::GeneratingCaption);
    work(progress.get());
}

void CreationFlow::generateNow() {
    withProgress(state_.cutRows * state_.cutColumns,
                 [this](IProgress* progress) { gameFlow_.generateElements(*random_, progress); });
}

void CreationFlow::startLoadedGame() {
    gameFlow_.gameReady();
}
