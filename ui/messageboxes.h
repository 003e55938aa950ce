#pragma once

#include "model/services.h"

#include <QString>

#include <memory>

class QDialog;
class QWidget;

// Icons and beeps of the program's message box, by the system's numbers.
namespace SystemIcon {
constexpr int none = 0;
constexpr int hand = 32513;
constexpr int question = 32514;
constexpr int exclamation = 32515;
constexpr int asterisk = 32516;
} // namespace SystemIcon

namespace SoundType {
constexpr int none = 0;
constexpr int hand = 16;
constexpr int question = 32;
constexpr int exclamation = 48;
constexpr int asterisk = 64;
} // namespace SoundType

// The caption of every box.
inline constexpr const char* messageCaption = "Puzzle";

// The program's own message box. buttons 0 gives the OK box, 4 the Yes/No box; any other value
// returns -1 and shows nothing. The beep of soundType (0 = none) plays once before the box shows.
// Returns 1 (OK), 6 (Yes), 7 (No) or 2 (Escape, or the window closed). The box is owned by
// `owner`, or by the active window when none is given.
int messageBox(ISound* sound, const QString& text, const QString& caption, int iconId, int soundType,
               int buttons, QWidget* owner = nullptr);
// The same with the text from the string table.
int messageBoxById(ISound* sound, int stringId, const QString& caption, int iconId, int soundType,
                   int buttons, QWidget* owner = nullptr);

// Icon and beep of each kind: error, question, warning, information, plain.
int iconFor(MessageKind kind);
int soundFor(MessageKind kind);

// A bad entry in a dialog field: the standard warning box, then the focus goes to the control
// and its whole text is selected.
void fieldWarning(QDialog* dialog, int controlId, const QString& text);

// The program's message boxes, as the game logic reaches them.
std::unique_ptr<IMessageBox> createProgramMessageBox(ISound* sound, QWidget* parent = nullptr);
