#include "game/creationflow.h"

#include "game/commands.h"
#include "game/gameflow.h"
#include "game/gamestate.h"
#include "model/generator.h"
#include "model/picture.h"
#include "model/randomtables.h"
#include "model/services.h"
#include "res/stringids.h"
#include "res/strings.h"

#include <QCoreApplication>
#include <QScopeGuard>
#include <QMetaObject>

CreationFlow::CreationFlow(GameState& state, GameFlow& gameFlow, IMessageBox& messages, ICursor& cursor,
                           ICreationHost& host)
    : state_(state), gameFlow_(gameFlow), messages_(messages), cursor_(cursor), host_(host),
      random_(std::make_unique<StandardRandom>()) {}

CreationFlow::~CreationFlow() {
    if (worker_.joinable())
        worker_.join();
}

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
    // One worker at a time: a second would write the same pictures.
    if (turningBusy_.load())
        return;
    switch (gameFlow_.beginCreateElements()) {
    case GameFlow::CreateStep::Declined:
        return;
    case GameFlow::CreateStep::GenerateNow:
        generateNow();
        return;
    case GameFlow::CreateStep::TurnPictureFirst:
        startTurningWorker(state_.turnedPictures[0], {});
        return;
    }
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

void CreationFlow::startTurningLoadedPicture(const QImage& picture, std::shared_future<void> handOver) {
    startTurningWorker(picture, std::move(handOver));
}

void CreationFlow::startLoadedGame() {
    if (turningBusy_.load())
        return; // turning since the game was read; it hands over by itself
    if (state_.cut.rotateElements) {
        state_.flags.generateAfterTurning = 0;
        startTurningWorker(state_.turnedPictures[0], {});
    } else {
        gameFlow_.gameReady();
    }
}

void CreationFlow::startTurningWorker(const QImage& picture, std::shared_future<void> handOver) {
    if (worker_.joinable())
        worker_.join();
    turningBusy_ = true;
    host_.setPickingBlocked(true);
    host_.turningBusyChanged();
    const QPoint cursorAt = cursor_.position() + QPoint(1, 1);
    cursor_.setPosition(cursorAt);
    std::array<QImage, 4> pictures{picture, {}, {}, {}};
    // The worker turns its own copies (the picture itself is only read); the main thread takes
    // them over when it is done, so nothing is written by both. A loaded game's elements are
    // built meanwhile: the handover waits until they are.
    worker_ = std::thread([this, pictures, cursorAt, handOver]() mutable {
        const bool ok = buildTurnedPictures(pictures);
        if (handOver.valid())
            handOver.wait();
        QMetaObject::invokeMethod(
            this,
            [this, ok, pictures = std::move(pictures), cursorAt]() mutable {
                turningFinished(ok, std::move(pictures));
                cursor_.setPosition(cursorAt);
            },
            Qt::QueuedConnection);
    });
}

void CreationFlow::turningFinished(bool ok, std::array<QImage, 4> pictures) {
    host_.setPickingBlocked(false);
    if (!ok) {
        turningBusy_ = false;
        host_.turningBusyChanged();
        messages_.messageBox(loadString(Str::TurningFailed), MessageKind::Error, MessageButtons::Ok);
        return;
    }
    for (int k = 1; k < 4; ++k)
        state_.turnedPictures[k] = std::move(pictures[k]);
    if (state_.flags.generateAfterTurning)
        generateNow();
    else
        gameFlow_.gameReady();
    turningBusy_ = false;
    host_.turningBusyChanged();
}

void CreationFlow::waitForWorker() {
    while (turningBusy_.load()) {
        if (worker_.joinable())
            worker_.join();
        QCoreApplication::sendPostedEvents(this);
    }
}
