#pragma once

#include "model/services.h"

#include <memory>

class QWidget;

// The program's message boxes, as the game logic reaches them.
std::unique_ptr<IMessageBox> createProgramMessageBox(ISound* sound, QWidget* parent = nullptr);
