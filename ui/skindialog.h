#pragma once

#include "ui/skin.h"

#include <QDialog>
#include <QImage>

#include <functional>
#include <vector>

class CSkinButton;
class CSkinCheckBox;
class CSkinComboBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;

// The base of every dialog of the program: the striped brown background, light-orange labels,
// white edit fields and lists, wooden push buttons, and context help through a "?" button.
//
// Dialogs are built in code from their templates: controls are placed in dialog units and keep
// their resource numbers as object names ("control1027") and as the property "controlId", so
// item(id) finds them as the dialog manager would. The opening step initDialog() runs once,
// just before the dialog first shows (or when a test calls ensureInitialized()).
class CSkinDialog : public QDialog {
    Q_OBJECT
public:
    struct HelpPair {
        int controlId;
        int topic;
    };

    // Control and property names of a control with a resource number.
    static QString controlName(int id);
    static constexpr const char* controlIdProperty = "controlId";
    // The "?" button that starts context help.
    static constexpr const char* contextHelpButtonName = "contextHelpButton";

    CSkinDialog(int templateId, QWidget* parent = nullptr);
    ~CSkinDialog() override;

    int templateId() const { return templateId_; }

    // The control with this resource number, or nullptr.
    QWidget* item(int id) const;
    template <class T> T* itemAs(int id) const { return findChild<T*>(controlName(id)); }

    // Runs the opening step if it has not run yet.
    void ensureInitialized();

    // The button face loaded when the dialog opened (null before).
    const QImage& buttonFace() const { return buttonFace_.image(); }

    // Context help: the help file (the program's "quix.hlp" unless set) and the "?" button, which
    // exists only when a help table was given.
    void setHelpFile(const QString& path) { helpFile_ = path; }
    QString helpFile() const;
    CSkinButton* contextHelpButton() const { return helpButton_; }
    // Shows the topic of the control under `dialogPos` as a pop-up, as a click in context-help
    // mode does; returns the topic shown, or 0 when that control has none (nothing is shown).
    int showContextHelp(const QPoint& dialogPos, const QPoint& globalPos);

signals:
    void contextHelpShown(int topic);

protected:
    // The opening step. Derived classes call the base first; it loads the button face.
    virtual void initDialog();

    // The client size in dialog units; dialogs with a modal frame cannot be resized.
    void setDialogSize(int widthDlu, int heightDlu);

    // Registers a control built by the derived class under its resource number.
    void registerControl(QWidget* control, int id);

    enum StaticStyle { Left = 0, Centred = 1, Sunken = 2, Right = 4 };
    QLabel* addStatic(int id, const QString& text, const QRect& dlu, int style = Left);
    QLabel* addIcon(int id, const QRect& dlu);
    CSkinButton* addButton(int id, const QString& text, const QRect& dlu, bool isDefault = false);
    CSkinCheckBox* addCheckBox(int id, const QString& text, const QRect& dlu, std::function<bool()> flag);
    QLineEdit* addEdit(int id, const QRect& dlu);
    CSkinComboBox* addComboBox(int id, const QRect& dlu);
    QGroupBox* addGroupBox(const QString& title, const QRect& dlu);
    QFrame* addEtchedLine(const QRect& dlu, Qt::Orientation orientation);

    // The help table (control, topic); adds the "?" button in the top-right corner.
    void setContextHelp(std::vector<HelpPair> table);
    // The topic for a help request on `control` at `dialogPos`; 0 = not handled. Dialogs whose
    // answer depends on their state override it.
    virtual int contextHelpTopic(int controlId, const QPoint& dialogPos) const;

    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void applySkin(QWidget* widget) const;
    int controlIdAt(const QPoint& dialogPos) const;

    int templateId_;
    bool initialized_ = false;
    ScreenBitmap buttonFace_{SkinBitmap::buttonFace};
    QImage stripes_;
    QString helpFile_;
    std::vector<HelpPair> helpTable_;
    CSkinButton* helpButton_ = nullptr;
};
