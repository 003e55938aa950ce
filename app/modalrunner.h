#pragma once

#include <functional>

class QDialog;

// Runs a modal window and returns its result. The main frame's runner gives the keyboard back
// to the board afterwards; tests replace it so that nothing blocks.
using ModalRunner = std::function<int(QDialog&)>;
