#include "ui/messageboxes.h"

#include <QMessageBox>

namespace {

// Shows questions and errors until the skinned box is in place.
class StandardMessageBox : public IMessageBox {
public:
    StandardMessageBox(ISound* sound, QWidget* parent) : sound_(sound), parent_(parent) {}

    int messageBox(const QString& text, MessageKind kind, int buttons) override {
        if (buttons != MessageButtons::Ok && buttons != MessageButtons::YesNo)
            return MessageResult::Invalid;
        if (sound_)
            sound_->beep(kind);
        QMessageBox box(parent_);
        box.setWindowTitle(QStringLiteral("Puzzle"));
        box.setText(text);
        box.setStandardButtons(buttons == MessageButtons::YesNo ? QMessageBox::Yes | QMessageBox::No
                                                                : QMessageBox::Ok);
        switch (box.exec()) {
        case QMessageBox::Yes:
            return MessageResult::Yes;
        case QMessageBox::No:
            return MessageResult::No;
        case QMessageBox::Ok:
            return MessageResult::Ok;
        default:
            return MessageResult::Cancel;
        }
    }

    bool askStandardYesNo(const QString& caption, const QString& text) override {
        return QMessageBox::warning(parent_, caption, text, QMessageBox::Yes | QMessageBox::No) ==
               QMessageBox::Yes;
    }

private:
    ISound* sound_;
    QWidget* parent_;
};

} // namespace

std::unique_ptr<IMessageBox> createProgramMessageBox(ISound* sound, QWidget* parent) {
    return std::make_unique<StandardMessageBox>(sound, parent);
}
