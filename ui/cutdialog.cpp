#include "ui/cutdialog.h"

#include "res/resources.h"
#include "res/stringids.h"
#include "res/strings.h"
#include "ui/messageboxes.h"
#include "ui/skin.h"
#include "ui/skincheckbox.h"
#include "ui/skincombobox.h"

#include <QEvent>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QRegularExpressionValidator>
#include <QSignalBlocker>

namespace {

const char* const kTitle = "Разрезка Картинки";

// A label format of the string table with its one "%d" filled in; 64 bits, because typed
// counts times the element size may pass the range of int.
QString formatted(int stringId, qint64 value) {
    return loadString(stringId).replace(QLatin1String("%d"), QString::number(value));
}

} // namespace

CCutDialog::CCutDialog(int pictureWidth, int pictureHeight, int lastElementSize, QWidget* parent)
    : CSkinDialog(templateId, parent), pictureWidth_(pictureWidth), pictureHeight_(pictureHeight),
      lastElementSize_(lastElementSize) {
    setWindowTitle(QString::fromUtf8(kTitle));
    // The template's 210 units, and a line below them for the number of elements.
    setDialogSize(300, 222);
    setContextHelp(
        {{widthEdit, 20480},  {heightEdit, 20481},  {keepRatioBox, 20482},     {sizeCombo, 20483},
         {iconStatic, 20483}, {sizeBitmap, 20483},  {columnsEdit, 20484},      {columnsLabel, 20484},
         {rowsEdit, 20485},   {rowsLabel, 20485},   {resultWidthLabel, 20486}, {resultHeightLabel, 20487},
         {rotateBox, 20488},  {shiftBox, 20489},    {mosaicBox, 20490},        {squareBox, 20491},
         {widthLabel, 20492}, {heightLabel, 20493}, {previewStatic, 20494},    {1, 40960},
         {2, 40961}});

    // Controls in tab order.
    addGroupBox(QString::fromUtf8("Исходные данные"), QRect(7, 3, 276, 73));
    addStatic(-1, QString::fromUtf8("Размер Картинки"), QRect(14, 14, 126, 10), Centred | Sunken);
    addStatic(widthLabel, QString::fromUtf8("&ширина    %d"), QRect(14, 31, 66, 9));
    addEdit(widthEdit, QRect(82, 29, 58, 12));
    addStatic(heightLabel, QString::fromUtf8("&высота    %d"), QRect(14, 46, 66, 9));
    addEdit(heightEdit, QRect(82, 44, 58, 12));
    addCheckBox(keepRatioBox, QString::fromUtf8("&Сохранить соотношение"), QRect(14, 61, 126, 10),
                [this] { return keepRatio_; });
    addEtchedLine(QRect(147, 13, 1, 59), Qt::Vertical);
    addStatic(-1, QString::fromUtf8("Размер Элемента"), QRect(155, 14, 121, 10), Centred | Sunken);
    addIcon(iconStatic, QRect(176, 27, 21, 20));
    auto* bitmap = new QLabel(this);
    const QRect motif = Skin::dluRect(205, 27, 21, 20);
    bitmap->setGeometry(QRect(QPoint(motif.x(), motif.y() - motif.y() % 4), motif.size()));
    registerControl(bitmap, sizeBitmap);
    addStatic(-1, QString::fromUtf8("&пикселей"), QRect(240, 54, 36, 9));
    CSkinComboBox* combo = addComboBox(sizeCombo, QRect(198, 52, 38, 120));
    combo->setMaxVisibleItems(10);
    for (int i = 0; i < CutCalculator::sizeCount; ++i)
        combo->addItem(QString::number(CutCalculator::sizeAt(i)));

    addGroupBox(QString::fromUtf8("Результат"), QRect(7, 79, 276, 44));
    addStatic(columnsLabel, QString::fromUtf8("&колонок"), QRect(14, 93, 40, 9));
    addEdit(columnsEdit, QRect(82, 91, 58, 12));
    addStatic(rowsLabel, QString::fromUtf8("&рядов"), QRect(14, 107, 40, 9));
    addEdit(rowsEdit, QRect(82, 105, 58, 12));
    addEtchedLine(QRect(147, 89, 1, 30), Qt::Vertical);
    addStatic(resultWidthLabel, QString::fromUtf8("ширина картинки   %d"), QRect(155, 92, 121, 11),
              Centred | Sunken);
    addStatic(resultHeightLabel, QString::fromUtf8("высота картинки   %d"), QRect(155, 106, 121, 11),
              Centred | Sunken);

    addGroupBox(QString::fromUtf8("Дополнительные свойства"), QRect(7, 126, 200, 78));
    addCheckBox(rotateBox, QString::fromUtf8("П&оворачивать элементы"), QRect(14, 140, 126, 10),
                [this] { return rotateElements_; });
    // The first letter is the Latin C, as it always was.
    addCheckBox(shiftBox, QString::fromUtf8("Cм&ещать выступы"), QRect(14, 154, 126, 10),
                [this] { return shiftKnobs_; });
    addCheckBox(mosaicBox, QString::fromUtf8("&Мозаика"), QRect(14, 168, 126, 10),
                [this] { return mosaic_; });
    addCheckBox(squareBox, QString::fromUtf8("Кв&адратная основа"), QRect(14, 182, 126, 10),
                [this] { return squareBase_; });
    addButton(1, QStringLiteral("OK"), QRect(218, 166, 65, 15), true);
    addButton(2, QString::fromUtf8("Отмена"), QRect(218, 187, 65, 15));
    auto* preview = new QLabel(this);
    // Its top on a multiple of 4, so that the sample's stripes run on with the dialog's.
    const QRect place = Skin::dluRect(150, 142, 45, 41);
    preview->setGeometry(
        QRect(QPoint(place.x(), place.y() - place.y() % 4), QSize(previewSide, previewSide)));
    registerControl(preview, previewStatic);
    addStatic(elementCountText, QString(), QRect(7, 208, 276, 10), Centred);

    const auto digits = new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), this);
    for (int id : {widthEdit, heightEdit, columnsEdit, rowsEdit})
        edit(id)->setValidator(digits);

    connect(edit(widthEdit), &QLineEdit::textChanged, this, &CCutDialog::widthChanged);
    connect(edit(heightEdit), &QLineEdit::textChanged, this, &CCutDialog::heightChanged);
    connect(edit(columnsEdit), &QLineEdit::textChanged, this, &CCutDialog::columnsChanged);
    connect(edit(rowsEdit), &QLineEdit::textChanged, this, &CCutDialog::rowsChanged);
    connect(combo, &QComboBox::activated, this, &CCutDialog::sizeChosen);
    for (int id : {keepRatioBox, squareBox, shiftBox, rotateBox, mosaicBox})
        connect(itemAs<CSkinCheckBox>(id), &QAbstractButton::clicked, this, [this, id] { flagClicked(id); });
}

void CCutDialog::setShapeOptions(const CutChoice& options) {
    squareBase_ = options.squareBase;
    shiftKnobs_ = options.shiftKnobs;
    rotateElements_ = options.rotateElements;
    mosaic_ = options.mosaic;
}

CutChoice CCutDialog::choice() const {
    CutChoice c;
    c.columns = calc_.columns();
    c.rows = calc_.rows();
    c.elementSize = calc_.elementSize();
    c.squareBase = squareBase_;
    c.shiftKnobs = shiftKnobs_;
    c.rotateElements = rotateElements_;
    c.mosaic = mosaic_;
    return c;
}

QString CCutDialog::integerWarning() {
    return QString::fromUtf8("Введите целое число.");
}

QLineEdit* CCutDialog::edit(int id) const {
    return itemAs<QLineEdit>(id);
}

void CCutDialog::initDialog() {
    CSkinDialog::initDialog();
    keepRatio_ = true;
    widthText_ = formatted(Str::WidthFormat, pictureWidth_);
    heightText_ = formatted(Str::HeightFormat, pictureHeight_);

    auto* combo = itemAs<CSkinComboBox>(sizeCombo);
    for (int i = 0; i < combo->count(); ++i)
        combo->setItemData(i, CutCalculator::sizeAt(i));
    {
        const QSignalBlocker block(combo);
        combo->setCurrentIndex(CutCalculator::selectionFor(lastElementSize_));
    }
    calc_.open(pictureWidth_, pictureHeight_, lastElementSize_);
    calc_.setKeepRatio(keepRatio_);
    refreshResults();
    writeAll();

    showArt();
}

bool CCutDialog::event(QEvent* event) {
    // Moved to a screen of another ratio: the icon and the bitmaps of the new one.
    if (event->type() == QEvent::ScreenChangeInternal)
        showArt();
    return CSkinDialog::event(event);
}

void CCutDialog::showArt() {
    const double ratio = devicePixelRatioF();
    if (auto* icon = itemAs<QLabel>(iconStatic))
        icon->setPixmap(QIcon(iconResourcePath(128)).pixmap(QSize(32, 32), ratio));
    if (auto* bitmap = itemAs<QLabel>(sizeBitmap)) {
        const QImage image = loadBitmapResource(sizeBitmapId, ratio);
        bitmap->setPixmap(QPixmap::fromImage(image));
        bitmap->resize(image.deviceIndependentSize().toSize().expandedTo(QSize(1, 1)));
    }
    choosePreview();
}

bool CCutDialog::readInt(int id, int& value) {
    bool ok = false;
    const int read = edit(id)->text().toInt(&ok);
    if (!ok) {
        fieldWarning(this, id, integerWarning());
        return false;
    }
    value = read;
    return true;
}

bool CCutDialog::readAll() {
    // Values after a failing field keep what they were; the handlers go on with them.
    int columns = calc_.columns(), height = calc_.height(), rows = calc_.rows(), width = calc_.width();
    const bool ok = readInt(columnsEdit, columns) && readInt(heightEdit, height) && readInt(rowsEdit, rows) &&
                    readInt(widthEdit, width);
    calc_.setValues(width, height, columns, rows);
    return ok;
}

void CCutDialog::writeAll() {
    const std::pair<int, int> fields[] = {{columnsEdit, calc_.columns()},
                                          {heightEdit, calc_.height()},
                                          {rowsEdit, calc_.rows()},
                                          {widthEdit, calc_.width()}};
    for (const auto& [id, value] : fields) {
        QLineEdit* field = edit(id);
        const QString text = QString::number(value);
        // As the framework does: a field that already shows the text is left alone, so the
        // caret stays where the player is typing.
        if (field->text() == text)
            continue;
        const QSignalBlocker block(field);
        field->setText(text);
    }
    itemAs<QLabel>(widthLabel)->setText(widthText_);
    itemAs<QLabel>(heightLabel)->setText(heightText_);
    itemAs<QLabel>(resultWidthLabel)->setText(resultWidthText_);
    itemAs<QLabel>(resultHeightLabel)->setText(resultHeightText_);
    itemAs<QLabel>(elementCountText)->setText(elementCountLine());
}

QString CCutDialog::elementCountLine() const {
    const qint64 rows = calc_.rows(), columns = calc_.columns();
    return loadString(Str::CutElementCount).arg(rows * columns).arg(rows).arg(columns);
}

void CCutDialog::refreshResults() {
    resultWidthText_ = formatted(Str::PictureWidthFormat, calc_.resultWidth());
    resultHeightText_ = formatted(Str::PictureHeightFormat, calc_.resultHeight());
}

void CCutDialog::widthChanged() {
    if (edit(widthEdit)->text().isEmpty())
        return;
    ++recomputations_;
    readAll();
    calc_.widthEdited(calc_.width());
    refreshResults();
    writeAll();
}

void CCutDialog::heightChanged() {
    if (edit(heightEdit)->text().isEmpty())
        return;
    ++recomputations_;
    readAll();
    calc_.heightEdited(calc_.height());
    refreshResults();
    writeAll();
}

void CCutDialog::columnsChanged() {
    if (edit(columnsEdit)->text().isEmpty())
        return;
    ++recomputations_;
    readAll();
    resultWidthText_ = formatted(Str::PictureWidthFormat, calc_.resultWidth());
    writeAll();
}

void CCutDialog::rowsChanged() {
    if (edit(rowsEdit)->text().isEmpty())
        return;
    ++recomputations_;
    readAll();
    resultHeightText_ = formatted(Str::PictureHeightFormat, calc_.resultHeight());
    writeAll();
}

void CCutDialog::sizeChosen(int index) {
    ++recomputations_;
    readAll();
    calc_.sizeChosen(itemAs<CSkinComboBox>(sizeCombo)->itemData(index).toInt());
    refreshResults();
    writeAll();
}

void CCutDialog::flagClicked(int id) {
    switch (id) {
    case keepRatioBox:
        keepRatio_ = !keepRatio_;
        calc_.setKeepRatio(keepRatio_);
        break;
    case rotateBox:
        rotateElements_ = !rotateElements_;
        break;
    case squareBox:
        squareBase_ = !squareBase_;
        break;
    case shiftBox:
        shiftKnobs_ = !shiftKnobs_;
        break;
    case mosaicBox:
        mosaic_ = !mosaic_;
        break;
    default:
        return;
    }
    if (QWidget* box = item(id))
        box->update();
    if (id == squareBox || id == shiftBox || id == mosaicBox)
        choosePreview();
}

void CCutDialog::choosePreview() {
    previewBitmapId_ = CutCalculator::previewBitmap(mosaic_, squareBase_, shiftKnobs_);
    if (auto* preview = itemAs<QLabel>(previewStatic)) {
        preview->setPixmap(QPixmap::fromImage(loadBitmapResource(previewBitmapId_, devicePixelRatioF())));
        preview->setProperty("bitmapId", previewBitmapId_);
    }
}

void CCutDialog::accept() {
    if (calc_.columns() <= 0) {
        fieldWarning(this, columnsEdit, loadString(Str::PositiveNumber));
        return;
    }
    if (calc_.rows() <= 0) {
        fieldWarning(this, rowsEdit, loadString(Str::PositiveNumber));
        return;
    }
    if (!readAll())
        return;
    // Refused before anything is stretched or built: a game this large could not be saved and
    // loaded again.
    if (std::int64_t(calc_.columns()) * calc_.rows() > CutCalculator::maxElements) {
        const QString text = loadString(Str::TooManyElements).arg(CutCalculator::maxElements);
        if (messages_)
            messages_->messageBox(text, MessageKind::Warning, MessageButtons::Ok);
        else
            createProgramMessageBox(nullptr, this)
                ->messageBox(text, MessageKind::Warning, MessageButtons::Ok);
        if (QLineEdit* columns = edit(columnsEdit)) {
            columns->setFocus(Qt::OtherFocusReason);
            columns->selectAll();
        }
        return;
    }
    CSkinDialog::accept();
}
