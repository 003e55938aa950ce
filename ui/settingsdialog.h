#pragma once

#include "game/settingschoice.h"
#include "ui/skindialog.h"

#include <functional>

class CSpinButton;
class IMessageBox;
class QLineEdit;

// Dialog 158, "Настройки": edits a copy of the settings. The four check boxes draw the dialog's
// own flags; nothing reaches the settings until the caller applies values() after OK. The
// outline colour is the exception: its button hands over to a chooser that takes effect at once.
class CSettingsDialog : public CSkinDialog {
    Q_OBJECT
public:
    static constexpr int templateId = 158;
    enum Control {
        exactBox = 1054,
        timerBox = 1053,
        scrollBox = 1052,
        threeDBox = 1050,
        mouseSpeedEdit = 1068,
        scrollAreaEdit = 1039,
        mouseSpeedSpin = 1069,
        scrollAreaSpin = 1067,
        colorButton = 1066,
        thicknessEdit = 1038,
        captureEdit = 1037,
        thicknessSpin = 1051,
        captureSpin = 1049,
        keySpeedEdit = 1070,
        thicknessLabel = 1087,
        captureLabel = 1088,
        scrollAreaLabel = 1089,
        mouseSpeedLabel = 1090,
        keySpeedLabel = 1091,
    };

    explicit CSettingsDialog(QWidget* parent = nullptr);

    // The working copy: zero until the caller fills it before the dialog opens; after OK it
    // holds what the player entered.
    SettingsChoice& values() { return values_; }
    const SettingsChoice& values() const { return values_; }

    // Square mosaic elements: exact assembly cannot be cleared.
    void setSquareElements(bool square) { squareElements_ = square; }
    // Where the refusal for square elements is shown (the program's own message box).
    void setMessageBox(IMessageBox* messages) { messages_ = messages; }
    // Runs the colour chooser while the dialog is out of sight.
    void setColorChooser(std::function<void()> chooser) { colorChooser_ = std::move(chooser); }

    // The framework's warnings for a field that is not an integer or out of its range.
    static QString integerWarning();
    static QString rangeWarning(int lower, int upper);

public slots:
    void accept() override;

protected:
    void initDialog() override;

private:
    QLineEdit* edit(int id) const;
    CSpinButton* spin(int id) const;
    // Data exchange, fields to values in the framework's order; stops with a warning at the
    // first field that is not an integer or lies outside its range.
    bool readAll();
    bool readInt(int id, std::int32_t& value, int lower, int upper, bool ranged);
    void writeAll();
    void enableOutline();
    void enableScrolling();
    void flagClicked(int id);
    void chooseColor();

    SettingsChoice values_;
    bool squareElements_ = false;
    IMessageBox* messages_ = nullptr;
    std::function<void()> colorChooser_;
};
