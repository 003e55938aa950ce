#include "ui/settingsdialog.h"

#include "model/services.h"
#include "model/settings.h"
#include "res/stringids.h"
#include "res/strings.h"
#include "ui/messageboxes.h"
#include "ui/skinbutton.h"
#include "ui/skincheckbox.h"
#include "ui/spinbutton.h"

#include <QLabel>
#include <QLineEdit>

CSettingsDialog::CSettingsDialog(QWidget* parent) : CSkinDialog(templateId, parent) {
    setWindowTitle(QString::fromUtf8("Настройки"));
    setDialogSize(300, 167);
    setContextHelp({{threeDBox, 12288},
                    {thicknessEdit, 12289},
                    {thicknessLabel, 12289},
                    {thicknessSpin, 12289},
                    {colorButton, 12290},
                    {captureEdit, 12291},
                    {captureLabel, 12291},
                    {captureSpin, 12291},
                    {exactBox, 12292},
                    {scrollBox, 12293},
                    {scrollAreaEdit, 12294},
                    {scrollAreaLabel, 12294},
                    {scrollAreaSpin, 12294},
                    {mouseSpeedEdit, 12295},
                    {mouseSpeedLabel, 12295},
                    {mouseSpeedSpin, 12295},
                    {keySpeedEdit, 12296},
                    {keySpeedLabel, 12296},
                    {timerBox, 12297},
                    {1, 40960},
                    {2, 40961}});

    auto addSpin = [this](int id, int buddyId) {
        auto* spin = new CSpinButton(this);
        registerControl(spin, id);
        spin->setBuddy(edit(buddyId));
    };

    // Controls in tab order. The left column: how elements look and join.
    addGroupBox(QString::fromUtf8("Элементы"), QRect(7, 3, 138, 138));
    addStatic(-1, QString::fromUtf8("Контур"), QRect(14, 14, 124, 10), Centred | Sunken);
    addCheckBox(threeDBox, QString::fromUtf8("О&бъемные элементы"), QRect(14, 28, 124, 10),
                [this] { return values_.threeD != 0; });
    addStatic(thicknessLabel, QString::fromUtf8("то&лщина\nконтура"), QRect(14, 42, 46, 18));
    addEdit(thicknessEdit, QRect(62, 45, 36, 12));
    addSpin(thicknessSpin, thicknessEdit);
    addStatic(-1, QString::fromUtf8("пкс"), QRect(102, 47, 20, 9));
    addButton(colorButton, QString::fromUtf8("Задать &цвет контура..."), QRect(14, 66, 124, 14));
    addStatic(-1, QString::fromUtf8("Захват"), QRect(14, 88, 124, 10), Centred | Sunken);
    addStatic(captureLabel, QString::fromUtf8("область\n&захвата"), QRect(14, 101, 46, 18));
    addEdit(captureEdit, QRect(62, 104, 36, 12));
    addSpin(captureSpin, captureEdit);
    addStatic(-1, QString::fromUtf8("пкс"), QRect(102, 106, 20, 9));
    addCheckBox(exactBox, QString::fromUtf8("То&чная сборка"), QRect(14, 124, 124, 10),
                [this] { return values_.exactAssembly != 0; });

    // The right column: scrolling by the mouse and by the keyboard, and the clock.
    addGroupBox(QString::fromUtf8("Прокрутка"), QRect(151, 3, 132, 138));
    addStatic(-1, QString::fromUtf8("Мышь"), QRect(158, 14, 120, 10), Centred | Sunken);
    addCheckBox(scrollBox, QString::fromUtf8("&Возможна прокрутка"), QRect(158, 28, 120, 10),
                [this] { return values_.scrollEnabled != 0; });
    addStatic(scrollAreaLabel, QString::fromUtf8("&область прокрутки"), QRect(158, 42, 60, 18));
    addEdit(scrollAreaEdit, QRect(222, 45, 36, 12));
    addSpin(scrollAreaSpin, scrollAreaEdit);
    addStatic(-1, QString::fromUtf8("пкс"), QRect(262, 47, 16, 9));
    addStatic(mouseSpeedLabel, QString::fromUtf8("&скорость\nпрокрутки"), QRect(158, 63, 60, 18));
    addEdit(mouseSpeedEdit, QRect(222, 66, 36, 12));
    addSpin(mouseSpeedSpin, mouseSpeedEdit);
    addStatic(-1, QString::fromUtf8("Клавиатура"), QRect(158, 88, 120, 10), Centred | Sunken);
    addStatic(keySpeedLabel, QString::fromUtf8("с&корость\nпрокрутки"), QRect(158, 101, 60, 18));
    addEdit(keySpeedEdit, QRect(222, 104, 36, 12));
    addCheckBox(timerBox, QString::fromUtf8("Показывать &таймер"), QRect(158, 124, 120, 10),
                [this] { return values_.showTimer != 0; });
    addButton(1, QStringLiteral("OK"), QRect(160, 147, 60, 15), true);
    addButton(2, QString::fromUtf8("Отмена"), QRect(225, 147, 60, 15));

    for (int id : {threeDBox, scrollBox, timerBox, exactBox})
        connect(itemAs<CSkinCheckBox>(id), &QAbstractButton::clicked, this, [this, id] { flagClicked(id); });
    connect(itemAs<CSkinButton>(colorButton), &QPushButton::clicked, this, &CSettingsDialog::chooseColor);
}

QString CSettingsDialog::integerWarning() {
    return QString::fromUtf8("Введите целое число.");
}

QString CSettingsDialog::rangeWarning(int lower, int upper) {
    return QString::fromUtf8("Введите целое число от %1 до %2.").arg(lower).arg(upper);
}

QLineEdit* CSettingsDialog::edit(int id) const {
    return itemAs<QLineEdit>(id);
}

CSpinButton* CSettingsDialog::spin(int id) const {
    return itemAs<CSpinButton>(id);
}

void CSettingsDialog::writeAll() {
    const std::pair<int, std::int32_t> fields[] = {{thicknessEdit, values_.outlineThickness},
                                                   {captureEdit, values_.captureArea},
                                                   {scrollAreaEdit, values_.scrollArea},
                                                   {mouseSpeedEdit, values_.mouseScrollSpeed},
                                                   {keySpeedEdit, values_.keyScrollSpeed}};
    for (const auto& [id, value] : fields)
        edit(id)->setText(QString::number(value));
}

void CSettingsDialog::initDialog() {
    CSkinDialog::initDialog();
    writeAll();
    // Each spin shows its working value, clamped to its range: a thickness of 0 (no bevel)
    // shows as 1.
    const struct {
        int id;
        int lower;
        int upper;
        std::int32_t value;
    } spins[] = {{captureSpin, Settings::minCaptureArea, Settings::maxCaptureArea, values_.captureArea},
                 {thicknessSpin, Settings::minOutline, Settings::maxOutline, values_.outlineThickness},
                 {scrollAreaSpin, Settings::minScrollArea, Settings::maxScrollArea, values_.scrollArea},
                 {mouseSpeedSpin, Settings::minMouseScrollSpeed, Settings::maxMouseScrollSpeed,
                  values_.mouseScrollSpeed}};
    for (const auto& s : spins) {
        spin(s.id)->setRange(s.lower, s.upper);
        spin(s.id)->setPosition(s.value);
    }
    enableOutline();
    enableScrolling();
}

void CSettingsDialog::enableOutline() {
    const bool on = values_.threeD != 0;
    edit(thicknessEdit)->setEnabled(on);
    spin(thicknessSpin)->setEnabled(on);
    item(colorButton)->setEnabled(on);
}

void CSettingsDialog::enableScrolling() {
    const bool on = values_.scrollEnabled != 0;
    edit(scrollAreaEdit)->setEnabled(on);
    spin(scrollAreaSpin)->setEnabled(on);
    edit(mouseSpeedEdit)->setEnabled(on);
    spin(mouseSpeedSpin)->setEnabled(on);
}

void CSettingsDialog::flagClicked(int id) {
    switch (id) {
    case threeDBox:
        values_.threeD = !values_.threeD;
        enableOutline();
        break;
    case scrollBox:
        values_.scrollEnabled = !values_.scrollEnabled;
        enableScrolling();
        break;
    case timerBox:
        values_.showTimer = !values_.showTimer;
        break;
    case exactBox:
        if (squareElements_) {
            const QString text = loadString(Str::SquareElementsAreExact);
            if (messages_)
                messages_->messageBox(text, MessageKind::Information, MessageButtons::Ok);
            else
                createProgramMessageBox(nullptr, this)
                    ->messageBox(text, MessageKind::Information, MessageButtons::Ok);
            return;
        }
        values_.exactAssembly = !values_.exactAssembly;
        break;
    default:
        return;
    }
    if (QWidget* box = item(id))
        box->update();
}

void CSettingsDialog::chooseColor() {
    if (!colorChooser_)
        return;
    // Out of sight while the colour is chosen, so the board shows through. Hidden as a plain
    // window: hiding it as a dialog would end its modal run.
    const bool shown = isVisible();
    if (shown)
        QWidget::setVisible(false);
    colorChooser_();
    if (shown) {
        QWidget::setVisible(true);
        activateWindow();
    }
}

bool CSettingsDialog::readInt(int id, std::int32_t& value, int lower, int upper, bool ranged) {
    bool ok = false;
    const int read = edit(id)->text().trimmed().toInt(&ok);
    if (!ok) {
        fieldWarning(this, id, integerWarning());
        return false;
    }
    if (ranged && (read < lower || read > upper)) {
        fieldWarning(this, id, rangeWarning(lower, upper));
        return false;
    }
    value = read;
    return true;
}

bool CSettingsDialog::readAll() {
    return readInt(thicknessEdit, values_.outlineThickness, Settings::minOutline, Settings::maxOutline,
                   true) &&
           readInt(captureEdit, values_.captureArea, Settings::minCaptureArea, Settings::maxCaptureArea,
                   true) &&
           readInt(scrollAreaEdit, values_.scrollArea, Settings::minScrollArea, Settings::maxScrollArea,
                   true) &&
           readInt(mouseSpeedEdit, values_.mouseScrollSpeed, Settings::minMouseScrollSpeed,
                   Settings::maxMouseScrollSpeed, true) &&
           readInt(keySpeedEdit, values_.keyScrollSpeed, 0, 0, false);
}

void CSettingsDialog::accept() {
    if (!readAll())
        return;
    if (values_.keyScrollSpeed < 0) {
        fieldWarning(this, keySpeedEdit, loadString(Str::NonNegativeNumber));
        return;
    }
    CSkinDialog::accept();
}
