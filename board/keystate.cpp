#include "board/keystate.h"

int keyStateWord(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers) {
    int word = 0;
    if (buttons & Qt::LeftButton)
        word |= KeyState::LeftButton;
    if (buttons & Qt::RightButton)
        word |= KeyState::RightButton;
    if (buttons & Qt::MiddleButton)
        word |= KeyState::MiddleButton;
    if (modifiers & Qt::ShiftModifier)
        word |= KeyState::Shift;
    if (modifiers & Qt::ControlModifier)
        word |= KeyState::Control;
    return word;
}
