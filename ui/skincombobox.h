#pragma once

#include <QComboBox>

// A combo box in the program's look: its field and its list are white with black text; whatever
// else it paints lies on the dialog's stripes.
class CSkinComboBox : public QComboBox {
    Q_OBJECT
public:
    explicit CSkinComboBox(QWidget* parent = nullptr);

    // Applies the colours; run again when the box is polished, which also reaches an edit field
    // made after construction (setEditable).
    void applySkin();

protected:
    bool event(QEvent* event) override;
};
