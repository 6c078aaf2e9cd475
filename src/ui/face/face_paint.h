// Small painting helpers shared by the faces, the keys and the display.
#pragma once

#include <QColor>
#include <QFont>
#include <QRectF>
#include <QString>

#include <cstdint>
#include <string>

class QPainter;
class QPaintDevice;
class QPainterPath;

namespace tw {

// A catalogue colour 0xRRGGBB as an sRGB colour.
QColor rgbColor(uint32_t rgb, double opacity = 1.0);
// The colour with every channel lowered by `amount` (0..1), as a brightness change does.
QColor darkened(const QColor& color, double amount);

QString qText(const std::string& utf8);
// Characters as the user counts them (code points, not UTF-16 units).
int characterCount(const QString& text);

// The application font at a size given in device-independent pixels.
QFont faceFont(double pixelSize, QFont::Weight weight);

// One line of text centred in a box; shrunk down to `minScale` of its size when too wide.
void drawFittedText(QPainter& painter, const QRectF& box, const QString& text, QFont font,
                    double minScale = 0.4, Qt::Alignment alignment = Qt::AlignCenter);

// A capsule (stadium) around a rectangle.
void addCapsule(QPainterPath& path, const QRectF& rect);

// The box of a key's shortcut badge holding `text` in `font`: centred across `areaWidth`,
// its top at `top`.
QRectF shortcutBadgeRect(const QFont& font, const QString& text, double areaWidth, double top);
// The shortcut badge: the text in white on a dark capsule filling `box`.
void paintShortcutBadge(QPainter& painter, const QRectF& box, const QFont& font, const QString& text);
// A latched key's gold ring, kept inside `area`: a line centred on the edge would lose its
// outer half.
void paintLatchMark(QPainter& painter, const QRectF& area, double lineWidth, double radius);

} // namespace tw
