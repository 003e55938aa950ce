#include "board/tilingsupport.h"
#include "ui/skin.h"
#include "ui/skinbutton.h"
#include "ui/skincheckbox.h"
#include "ui/skincombobox.h"
#include "ui/skindialog.h"

#include <QLabel>
#include <QLineEdit>
#include <QPainter>

#include <gtest/gtest.h>

namespace {

// A dialog built the way derived dialogs build theirs.
class TestDialog : public CSkinDialog {
public:
    int flag = 1;
    explicit TestDialog(int checkTop = 53) : CSkinDialog(999) {
        setDialogSize(200, 120);
        addStatic(1001, QStringLiteral("&метка"), QRect(7, 7, 60, 10));
        addStatic(1002, QStringLiteral("Заголовок"), QRect(7, 20, 60, 10), Sunken | Centred);
        addEdit(1003, QRect(70, 7, 40, 12));
        addEdit(1004, QRect(70, 20, 40, 12))->setEnabled(false);
        checkBox =
            addCheckBox(1005, QStringLiteral("Флажок"), QRect(0, 0, 80, 10), [this] { return flag != 0; });
        checkBox->move(14, checkTop);
        addComboBox(1006, QRect(120, 7, 40, 60));
        addButton(1, QStringLiteral("OK"), QRect(120, 90, 50, 14));
    }
    CSkinCheckBox* checkBox;
};

QImage paintButton(const CSkinButton::State& state, const QString& text = QStringLiteral("OK")) {
    QImage face(150, 46, QImage::Format_RGB32);
    face.fill(QColor(120, 120, 120)); // no colour the frames or texts use
    QImage image(75, 23, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    CSkinButton::paintButton(painter, image.rect(), text, Skin::objects().dialogFont, state, face);
    return image;
}

int countColour(const QImage& image, const QRect& area, const QColor& colour) {
    int n = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            n += image.pixelColor(x, y) == colour;
    return n;
}

TEST(SkinTest, DialogUnitsRoundToPixels) {
    EXPECT_EQ(Skin::dluX(123), 185); // 184.5
    EXPECT_EQ(Skin::dluY(69), 112);  // 112.125
    EXPECT_EQ(Skin::dluX(333), 500);
    EXPECT_EQ(Skin::dluY(162), 263);
    EXPECT_EQ(Skin::dluY(154), 250);
    // Both edges are mapped, so controls side by side neither overlap nor leave gaps.
    EXPECT_EQ(Skin::dluRect(1, 1, 1, 1), QRect(2, 2, 1, 1)); // 1.5 .. 3, 1.625 .. 3.25
    EXPECT_EQ(Skin::dluRect(34, 7, 80, 34), QRect(51, 11, 120, 56));
}

TEST(SkinTest, FontsAreAskedForByTheirNamesAtScreenSizes) {
    const SkinObjects& skin = Skin::objects();
    EXPECT_EQ(skin.menuFont.family(), QStringLiteral("Times New Roman"));
    EXPECT_EQ(skin.menuFont.pixelSize(), 18);
    EXPECT_FALSE(skin.menuFont.bold());
    EXPECT_EQ(skin.clockFont.family(), QStringLiteral("Arial"));
    EXPECT_EQ(skin.clockFont.pixelSize(), 13);
    EXPECT_TRUE(skin.clockFont.bold());
    EXPECT_EQ(skin.messageFont.family(), QStringLiteral("Arial"));
    EXPECT_TRUE(skin.messageFont.bold());
    EXPECT_EQ(skin.dialogFont.family(), QStringLiteral("MS Sans Serif"));
    EXPECT_EQ(skin.sunkenBrush.color(), QColor(145, 61, 7));
    EXPECT_EQ(skin.whiteBrush.color(), QColor(Qt::white));
    EXPECT_EQ(skin.stripeBrush.style(), Qt::TexturePattern);
}

TEST(SkinTest, CheckBoxBackgroundContinuesTheDialogStripes) {
    EXPECT_EQ(Skin::stripeBitmapForTop(0), 256);
    EXPECT_EQ(Skin::stripeBitmapForTop(53), 293);
    EXPECT_EQ(Skin::stripeBitmapForTop(54), 292);
    EXPECT_EQ(Skin::stripeBitmapForTop(55), 291);
    EXPECT_EQ(Skin::stripeBitmapForTop(56), 256);
    for (int top : {52, 53, 54, 55}) {
        TestDialog dialog(top);
        dialog.ensureInitialized();
        ASSERT_EQ(dialog.checkBox->topInDialog(), top);
        const QImage image = dialog.grab().toImage().convertToFormat(QImage::Format_RGB32);
        // Right of the label, the check box shows only its background: row for row it must
        // match the dialog's stripes beside it.
        const int inside = dialog.checkBox->geometry().right() - 2;
        const int outside = dialog.checkBox->geometry().right() + 3;
        for (int y = top - 2; y < top + dialog.checkBox->height() + 2; ++y)
            EXPECT_EQ(image.pixelColor(inside, y), image.pixelColor(outside, y))
                << "top " << top << " row " << y;
    }
}

TEST(SkinTest, CheckBoxImageFollowsTheFlagAndPressedState) {
    const QImage strip = Skin::bitmap(SkinBitmap::checkBoxes);
    const QFont font = Skin::objects().dialogFont;
    const QSize size(120, 17);
    const int y0 = (size.height() - 13) / 2;
    struct {
        bool on, pressed;
        int sourceX;
    } cases[] = {{true, false, 0}, {true, true, 13}, {false, false, 26}, {false, true, 39}};
    for (const auto& c : cases) {
        const QImage image =
            CSkinCheckBox::render(size, QStringLiteral("&Мозаика"), font, c.on, c.pressed, false, 0);
        EXPECT_EQ(image.copy(0, y0, 13, 13),
                  strip.copy(c.sourceX, 0, 13, 13).convertToFormat(QImage::Format_RGB32))
            << c.sourceX;
    }
}

TEST(SkinTest, CheckBoxFocusFrameSurroundsTheLabel) {
    const QFont font = Skin::objects().dialogFont;
    const QString text = QStringLiteral("Флажок");
    const int textWidth = QFontMetrics(font).horizontalAdvance(text);
    const QImage focused = CSkinCheckBox::render(QSize(150, 17), text, font, true, false, true, 0);
    const QImage plain = CSkinCheckBox::render(QSize(150, 17), text, font, true, false, false, 0);
    for (int y = 0; y < 17; ++y) {
        EXPECT_EQ(focused.pixelColor(15, y), SkinColor::label) << y;
        EXPECT_EQ(focused.pixelColor(textWidth + 19, y), SkinColor::label) << y;
        EXPECT_NE(plain.pixelColor(15, y), SkinColor::label) << y;
    }
    EXPECT_NE(focused.pixelColor(textWidth + 21, 0), SkinColor::label);
}

TEST(SkinTest, ButtonFramesHaveTheExactColoursAtRestAndPressed) {
    const QImage rest = paintButton({});
    const int r = rest.width() - 1, b = rest.height() - 1;
    EXPECT_EQ(rest.pixelColor(0, 0), SkinColor::buttonLight);
    EXPECT_EQ(rest.pixelColor(r - 1, 0), SkinColor::buttonLight);
    EXPECT_EQ(rest.pixelColor(r, 0), SkinColor::buttonDark); // the corner belongs to the dark edge
    EXPECT_EQ(rest.pixelColor(r, b), SkinColor::buttonDark);
    EXPECT_EQ(rest.pixelColor(0, b), SkinColor::buttonDark);
    EXPECT_EQ(rest.pixelColor(1, 1), SkinColor::buttonInner);
    EXPECT_EQ(rest.pixelColor(r - 1, b - 1), SkinColor::buttonDark);
    EXPECT_EQ(rest.pixelColor(2, 2), QColor(120, 120, 120));

    const QImage pressed = paintButton({.pressed = true});
    EXPECT_EQ(pressed.pixelColor(0, 0), SkinColor::pressedOuterTopLeft);
    EXPECT_EQ(pressed.pixelColor(r, b), SkinColor::pressedOuterBottomRight);
    EXPECT_EQ(pressed.pixelColor(1, 1), SkinColor::pressedInnerTopLeft);
    EXPECT_EQ(pressed.pixelColor(r - 1, b - 1), SkinColor::buttonDark);
}

// Text pixels are blended with the grey face at their edges; classify them by their hue.
int darkPixels(const QImage& image, const QRect& area) {
    int n = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x) {
            const QColor c = image.pixelColor(x, y);
            n += c.red() < 70 && c.green() < 70 && c.blue() < 70;
        }
    return n;
}

int labelLikePixels(const QImage& image, const QRect& area) {
    int n = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x) {
            const QColor c = image.pixelColor(x, y);
            n += c.red() > 170 && c.red() - c.blue() > 40;
        }
    return n;
}

TEST(SkinTest, DisabledButtonTextIsInTheLabelColour) {
    const QRect textArea(5, 5, 65, 13);
    const QImage enabled = paintButton({});
    const QImage disabled = paintButton({.disabled = true});
    EXPECT_GT(darkPixels(enabled, textArea), 5);
    EXPECT_EQ(labelLikePixels(enabled, textArea), 0);
    EXPECT_GT(labelLikePixels(disabled, textArea), 5);
    EXPECT_EQ(darkPixels(disabled, textArea), 0);
}

TEST(SkinTest, FocusFrameOnlyWhenNotPressed) {
    const QImage focused = paintButton({.focused = true}, QString());
    const QImage focusedPressed = paintButton({.pressed = true, .focused = true}, QString());
    const QRect frame = QRect(0, 0, 75, 23).adjusted(4, 4, -4, -4);
    // Every pixel of the frame, and nothing else, in the label colour.
    EXPECT_EQ(countColour(focused, focused.rect(), SkinColor::label),
              2 * frame.width() + 2 * frame.height() - 4);
    EXPECT_EQ(focused.pixelColor(frame.topLeft()), SkinColor::label);
    EXPECT_EQ(focused.pixelColor(frame.bottomRight()), SkinColor::label);
    EXPECT_EQ(countColour(focusedPressed, focusedPressed.rect(), SkinColor::label), 0);
}

TEST(SkinTest, ButtonWidgetPaintsItsPressedState) {
    CSkinButton button(QStringLiteral("OK"));
    button.resize(75, 23);
    QImage image = button.grab().toImage();
    EXPECT_EQ(image.pixelColor(0, 0), SkinColor::buttonLight);
    button.setDown(true);
    image = button.grab().toImage();
    EXPECT_EQ(image.pixelColor(0, 0), SkinColor::pressedOuterTopLeft);
}

TEST(SkinTest, DialogColoursFollowTheKindOfControl) {
    TestDialog dialog;
    dialog.ensurePolished();
    dialog.ensureInitialized();
    auto* label = dialog.itemAs<QLabel>(1001);
    auto* heading = dialog.itemAs<QLabel>(1002);
    auto* edit = dialog.itemAs<QLineEdit>(1003);
    auto* disabledEdit = dialog.itemAs<QLineEdit>(1004);
    ASSERT_TRUE(label && heading && edit && disabledEdit);
    EXPECT_EQ(label->palette().color(QPalette::WindowText), SkinColor::label);
    EXPECT_FALSE(label->autoFillBackground());
    EXPECT_EQ(heading->palette().color(QPalette::WindowText), SkinColor::label);
    EXPECT_TRUE(heading->autoFillBackground());
    EXPECT_EQ(edit->palette().color(QPalette::Active, QPalette::Base), QColor(Qt::white));
    EXPECT_EQ(edit->palette().color(QPalette::Active, QPalette::Text), QColor(Qt::black));
    EXPECT_EQ(disabledEdit->palette().brush(QPalette::Disabled, QPalette::Base).style(), Qt::TexturePattern);
    auto* combo = dialog.itemAs<CSkinComboBox>(1006);
    ASSERT_NE(combo, nullptr);
    EXPECT_EQ(combo->palette().color(QPalette::Base), QColor(Qt::white));
    // The label's underlined letter leads to the next control that takes the focus.
    EXPECT_EQ(label->buddy(), edit);
    EXPECT_EQ(dialog.item(1005), dialog.checkBox);
    EXPECT_EQ(dialog.item(1005)->objectName(), QStringLiteral("control1005"));
    EXPECT_EQ(dialog.item(4242), nullptr);

    const QImage image = dialog.grab().toImage();
    const QPoint inHeading = heading->geometry().topLeft() + QPoint(3, 3);
    EXPECT_EQ(image.pixelColor(inHeading), SkinColor::stripeLight);
    // The background stripes are anchored at the dialog's corner.
    EXPECT_EQ(image.pixelColor(dialog.width() - 2, 0), SkinColor::stripeLight);
    EXPECT_EQ(image.pixelColor(dialog.width() - 2, 2), SkinColor::stripeDark);
    EXPECT_EQ(image.pixelColor(dialog.width() - 2, 5), SkinColor::stripeLight);
}

TEST(SkinTest, ButtonOneAcceptsAndTheBoxKeepsTheDialogsFace) {
    TestDialog dialog;
    dialog.ensureInitialized();
    EXPECT_FALSE(dialog.buttonFace().isNull());
    EXPECT_EQ(dialog.buttonFace().size(), QSize(150, 46));
    dialog.show();
    static_cast<CSkinButton*>(dialog.item(1))->click();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_FALSE(dialog.isVisible());
}

// The windows' tiling: the same grid as the board's, drawn with a painter.
TEST(TileBitmapTest, PainterGridIsAnchoredAtDestinationOriginNotRectCorner) {
    const QImage tex = codedTexture(160, 120);
    const Rect r{100, 100, 300, 200};
    QImage viaPainter(320, 240, QImage::Format_RGB32);
    viaPainter.fill(qRgb(1, 2, 3));
    {
        QPainter p(&viaPainter);
        tileBitmap(tex, p, r);
    }
    expectAnchoredAtOrigin(viaPainter, r, 160, 120);
}

} // namespace

// A window's skin bitmap follows the ratio of the screen it paints on: twice the pixels over the
// same logical size at 2, the plain bitmap again back at 1; copies keep their own.
TEST(SkinTest, AScreenBitmapFollowsTheRatioItIsAskedFor) {
    ScreenBitmap face(SkinBitmap::buttonFace);
    EXPECT_TRUE(face.image().isNull());
    const QImage plain = face.at(1.0);
    EXPECT_EQ(plain.size(), QSize(150, 46));
    EXPECT_EQ(face.at(2.0).size(), QSize(300, 92));
    EXPECT_EQ(face.at(2.0).deviceIndependentSize(), QSizeF(150, 46));
    ScreenBitmap copy = face;
    EXPECT_EQ(face.at(1.0), plain);
    EXPECT_EQ(face.image().devicePixelRatio(), 1.0);
    EXPECT_EQ(copy.image().size(), QSize(300, 92));
    EXPECT_EQ(copy.at(1.5).devicePixelRatio(), 2.0) << "any finer screen takes the finer bitmap";
}
