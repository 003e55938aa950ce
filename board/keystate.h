#pragma once

#include <Qt>

// The mouse key-state word: which buttons and keys were down when a mouse message was made.
// Every button combination of the game is compared with it by exact equality, so an extra key
// or the middle button makes a different word.
namespace KeyState {
constexpr int LeftButton = 0x1;
constexpr int RightButton = 0x2;
constexpr int Shift = 0x4;
constexpr int Control = 0x8;
constexpr int MiddleButton = 0x10;
} // namespace KeyState

// The one place where Qt's buttons and modifiers become the key-state word.
int keyStateWord(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers);

// What a key-state word asks a mouse move to do with the held element.
enum class DragMode { Hover, Separate, Block, Element };

// The nine combinations, fixed when the main frame is made.
struct ButtonCombos {
    int separate1 = KeyState::Shift | KeyState::LeftButton;         // 5
    int separate2 = KeyState::Shift | KeyState::RightButton;        // 6
    int separate3 = KeyState::RightButton;                          // 2
    int block1 = KeyState::Control | KeyState::LeftButton;          // 9
    int block2 = KeyState::Control | KeyState::RightButton;         // 10
    int block3 = KeyState::LeftButton | KeyState::RightButton;      // 3
    int element = KeyState::LeftButton;                             // 1
    int turnBlockLeft = KeyState::Control | KeyState::LeftButton;   // 9
    int turnBlockRight = KeyState::Control | KeyState::RightButton; // 10

    bool isSeparate(int word) const { return word == separate1 || word == separate2 || word == separate3; }
    bool isBlock(int word) const { return word == block1 || word == block2 || word == block3; }
    DragMode classify(int word) const {
        if (isSeparate(word))
            return DragMode::Separate;
        if (isBlock(word))
            return DragMode::Block;
        if (word == element)
            return DragMode::Element;
        return DragMode::Hover;
    }
};
