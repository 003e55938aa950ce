#include "ui/messageboxes.h"

#include "res/strings.h"
#include "ui/messageboxdialog.h"
#include "ui/skindialog.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QStyle>

namespace {

QIcon systemIcon(int iconId) {
    QStyle::StandardPixmap pixmap;
    switch (iconId) {
    case SystemIcon::hand:
        pixmap = QStyle::SP_MessageBoxCritical;
        break;
    case SystemIcon::question:
        pixmap = QStyle::SP_MessageBoxQuestion;
        break;
    case SystemIcon::exclamation:
        pixmap = QStyle::SP_MessageBoxWarning;
        break;
    case SystemIcon::asterisk:
        pixmap = QStyle::SP_MessageBoxInformation;
        break;
    default:
        return {};
    }
    return QApplication::style()->standardIcon(pixmap);
}

MessageKind kindOfSound(int soundType) {
    switch (soundType) {
    case SoundType::hand:
        return MessageKind::Error;
    case SoundType::question:
        return MessageKind::Question;
    case SoundType::exclamation:
        return MessageKind::Warning;
    case SoundType::asterisk:
        return MessageKind::Information;
    default:
        return MessageKind::Plain;
    }
}

class SkinnedMessageBox : public IMessageBox {
public:
    SkinnedMessageBox(ISound* sound, QWidget* parent) : sound_(sound), parent_(parent) {}

    int messageBox(const QString& text, MessageKind kind, int buttons) override {
        return ::messageBox(sound_, text, QString::fromLatin1(messageCaption), iconFor(kind), soundFor(kind),
                            buttons, parent_);
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

int iconFor(MessageKind kind) {
    switch (kind) {
    case MessageKind::Error:
        return SystemIcon::hand;
    case MessageKind::Question:
        return SystemIcon::question;
    case MessageKind::Warning:
        return SystemIcon::exclamation;
    case MessageKind::Information:
        return SystemIcon::asterisk;
    case MessageKind::Plain:
        break;
    }
    return SystemIcon::none;
}

int soundFor(MessageKind kind) {
    switch (kind) {
    case MessageKind::Error:
        return SoundType::hand;
    case MessageKind::Question:
        return SoundType::question;
    case MessageKind::Warning:
        return SoundType::exclamation;
    case MessageKind::Information:
        return SoundType::asterisk;
    case MessageKind::Plain:
        break;
    }
    return SoundType::none;
}

int messageBox(ISound* sound, const QString& text, const QString& caption, int iconId, int soundType,
               int buttons, QWidget* owner) {
    if (buttons != MessageButtons::Ok && buttons != MessageButtons::YesNo)
        return MessageResult::Invalid;
    if (!owner)
        owner = QApplication::activeWindow();
    std::unique_ptr<CMessageBoxDialog> box;
    if (buttons == MessageButtons::Ok)
        box = std::make_unique<COkBox>(text, caption, owner);
    else
        box = std::make_unique<CYesNoBox>(text, caption, owner);
    // A system icon that cannot be had leaves the program's icon in the box.
    if (const QIcon icon = systemIcon(iconId); !icon.isNull())
        box->setIcon(icon);
    if (soundType != SoundType::none && sound)
        sound->beep(kindOfSound(soundType));
    return box->exec();
}

int messageBoxById(ISound* sound, int stringId, const QString& caption, int iconId, int soundType,
                   int buttons, QWidget* owner) {
    return messageBox(sound, loadString(stringId), caption, iconId, soundType, buttons, owner);
}

void fieldWarning(QDialog* dialog, int controlId, const QString& text) {
    QMessageBox::warning(dialog, QString::fromLatin1(messageCaption), text);
    if (!dialog)
        return;
    QWidget* control = dialog->findChild<QWidget*>(CSkinDialog::controlName(controlId));
    if (!control)
        return;
    control->setFocus(Qt::OtherFocusReason);
    if (auto* edit = qobject_cast<QLineEdit*>(control))
        edit->selectAll();
    else if (auto* spin = qobject_cast<QAbstractSpinBox*>(control))
        spin->selectAll();
}

std::unique_ptr<IMessageBox> createProgramMessageBox(ISound* sound, QWidget* parent) {
    return std::make_unique<SkinnedMessageBox>(sound, parent);
}
