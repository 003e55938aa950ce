#pragma once

#include "model/services.h"

// The outside world as the main frame sees it; real ones from CPuzzleApp, fakes from tests.
struct FrameServices {
    IMessageBox* messages = nullptr;
    ISound* sound = nullptr;
    IClock* clock = nullptr;
    IScreen* screen = nullptr;
    ICursor* cursor = nullptr;
};
