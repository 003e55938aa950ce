#pragma once

#include "model/rect.h"

#include <QBrush>
#include <QColor>
#include <QFont>
#include <QImage>
#include <QPalette>
#include <QRect>

class QPainter;

// Colours of the program's look.
namespace SkinColor {
inline const QColor label{255, 210, 136}; // static texts, check-box labels, disabled buttons, focus frames
inline const QColor buttonLight{255, 205, 115}; // outer top-left edge of a button at rest
inline const QColor buttonDark{49, 41, 24};     // outer bottom-right at rest, inner bottom-right always
inline const QColor buttonInner{222, 172, 98};  // inner top-left edge at rest
inline const QColor pressedOuterTopLeft{0, 0, 0};
inline const QColor pressedOuterBottomRight{164, 90, 49};
inline const QColor pressedInnerTopLeft{246, 197, 123};
inline const QColor stripeLight{145, 61, 7}; // rows 0 and 1 of the stripe pattern; also the sunken brush
inline const QColor stripeDark{105, 55, 22}; // rows 2 and 3
} // namespace SkinColor

// Bitmaps of the skin, by resource number.
namespace SkinBitmap {
constexpr int stripes = 256;      // 8 x 8 stripe pattern
constexpr int stripes1 = 293;     // the same pattern, continued from a top at y = 1 (mod 4)
constexpr int stripes2 = 292;     // ... y = 2 (mod 4)
constexpr int stripes3 = 291;     // ... y = 3 (mod 4)
constexpr int buttonFace = 258;   // 150 x 46 wooden button face
constexpr int checkBoxes = 209;   // 52 x 13: on, on pressed, off, off pressed
constexpr int splashTitle = 273;  // 214 x 91 lettering "Puzzle" on the stripes
constexpr int splashByline = 275; // 149 x 77 lettering "from Brindlecot"
} // namespace SkinBitmap

// The program's shared brushes and fonts. Created once with the main frame, they live until the
// program ends; dialogs, menus and the clock face all draw with these.
struct SkinObjects {
    QBrush stripeBrush; // pattern brush of bitmap 256
    QBrush sunkenBrush; // solid, the light stripe colour: sunken headings
    QBrush whiteBrush;  // edit fields and lists
    QFont menuFont;     // "Times New Roman" 14 pt
    QFont clockFont;    // "Arial" 10 pt bold
    QFont messageFont;  // "Arial" 10 pt bold, swiss family
    QFont dialogFont;   // "MS Sans Serif" 8, the font of every dialog
};

namespace Skin {
// Creates (or re-creates) the shared objects; the main frame calls it when it is constructed.
void create();
// The shared objects; created on first use if the frame has not.
const SkinObjects& objects();

// Font heights are given in points for a 96-dpi screen, as the fonts were made for it:
// the pixel size is points x 96 / 72, truncated.
int pointsToPixels(int tenthsOfPoint);

// Dialog units of "MS Sans Serif" 8 to pixels, rounded.
int dluX(int dlu);
int dluY(int dlu);
QRect dluRect(int x, int y, int width, int height);

// The stripe bitmap whose tiles, laid from a control's top edge at `top` in its dialog, continue
// the dialog's own stripes: 256, 293, 292 or 291 for top mod 4 = 0, 1, 2, 3.
int stripeBitmapForTop(int top);

// A skin bitmap. A missing resource is replaced by a plain stand-in of the right size (the
// stripe patterns are drawn exactly), so a window is never left undrawn.
QImage bitmap(int id);
// The same for a screen of `ratio`: the finer version where there is one (see loadBitmapResource).
QImage bitmap(int id, double ratio);

// The skin's palette over `base`, in every colour group: the stripes behind light labels, white
// fields with black text. The stripes brush carries the light stripe colour, from which styles
// derive their frame and shadow shades.
QPalette palette(QPalette base);
// The same with the wooden shades of raised and sunken edges, for windows whose frames and
// buttons the style draws.
QPalette bevelledPalette(QPalette base);

// A one-pixel 3D frame as the platform draws it: top and left edges (without the last pixel) in
// topLeft, right and bottom edges in bottomRight.
void draw3dRect(QPainter& painter, const QRect& rect, const QColor& topLeft, const QColor& bottomRight);
// A one-pixel frame of one colour around the rectangle.
void frameRect(QPainter& painter, const QRect& rect, const QColor& colour);
} // namespace Skin

// A skin bitmap for the screen a window is on now. A window asks for it as it paints, with its
// ratio at that moment: moved to a screen of another ratio, or its screen's ratio changed, it
// gets the bitmap of the new ratio, loaded once; copies share the pixels until one reloads.
class ScreenBitmap {
public:
    explicit ScreenBitmap(int id) : id_(id) {}
    const QImage& at(double ratio);
    // What the last at() gave (null before the first).
    const QImage& image() const { return image_; }
    int id() const { return id_; }

private:
    int id_;
    double ratio_ = 0.0;
    QImage image_;
};

// Fills rect with copies of bitmap laid edge to edge in a grid anchored at the painter's origin
// (0, 0), clipped to rect: textures, stripes and wooden faces run on across neighbouring fills.
// A bitmap of a higher ratio is laid at its logical size.
void tileBitmap(const QImage& bitmap, QPainter& painter, const Rect& rect);
void tileBitmap(const QImage& bitmap, QPainter& painter, int left, int top, int width, int height);
