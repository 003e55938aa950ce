#pragma once

#include <QFont>
#include <QImage>
#include <QPainterPath>
#include <QRectF>
#include <QStringList>

namespace makeart {

// The first installed family whose name starts with one of the given names; warns and falls
// back to the generic serif face when none is installed.
QFont findFont(const QStringList& families, int pixelSize, int weight = QFont::Normal, bool italic = false);

// The text as an outline, scaled uniformly to fit the box and centred in it.
QPainterPath fittedText(const QString& text, const QFont& font, const QRectF& box);

// The texture with the text raised out of it, lit from the top left like the skins' bevels. A
// texture of `scale` pixels to each of the box's takes the text at that scale, with the same relief.
QImage embossText(const QImage& texture, const QString& text, const QFont& font, const QRectF& box,
                  int scale = 1);

// About box lettering, 214 × 91, and the splash's second line, 149 × 77, both on the dialog
// stripes with the stripes' phase at the image's top row; at `scale` with that many pixels to
// each of theirs.
QImage splashTitle(int scale = 1);
QImage splashByline(int scale = 1);

// The congratulation lettering: colours (black outside the letters) and its one-bit mask
// (black on the letters, white elsewhere), 234 × 65 each.
void congratulation(QImage& colours, QImage& mask);

} // namespace makeart
