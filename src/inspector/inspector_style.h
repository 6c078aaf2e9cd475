// The inspector's shared colours, fonts and text styles. Sizes are given in
// logical pixels throughout the inspector; font sizes in the same unit are
// turned into Qt points here so that they follow the screen's DPI.
#pragma once

#include <QColor>
#include <QFont>
#include <QPalette>
#include <QString>

#include <string>

#include "runtime/snapshot/pool15.h"

class QWidget;

namespace tw {

const QColor& inspectorAmber();
const QColor& inspectorGreen();
const QColor& inspectorBlue();
const QColor& inspectorYellow();
// The "Complex" tag and the imaginary stack of the pool.
const QColor& inspectorComplex();

// Qt 6.4 cannot ask the desktop for its colour scheme: a dark window
// background means the dark scheme.
bool isDarkPalette(const QPalette& palette);

// The hierarchical text styles: the window text, dimmed.
QColor primaryText(const QPalette& palette);
QColor secondaryText(const QPalette& palette);
QColor tertiaryText(const QPalette& palette);
// Gives a widget's text the secondary style of its owner's palette; owners call it
// again whenever their palette changes.
void setSecondaryText(QWidget& widget, const QPalette& owner);

// The font of the inspector at `pixels` logical pixels.
QFont inspectorFont(double pixels, QFont::Weight weight = QFont::Normal, bool monospaced = false);
QFont monospacedFont(const QFont& font);
// `font` made smaller until `text` fits `room` pixels, but not below `minScale`
// of its size; the caller cuts what still does not fit.
QFont shrunkToFit(const QFont& font, const QString& text, int room, double minScale);

// The colour of a kind of pool segment; free registers are a faint grey
// taken from the palette.
QColor poolColor(const Pool15::Kind& kind, const QPalette& palette);

// Colours of a program row.
QColor currentRowBackground(bool dark, bool running);
QColor prefixColor(const QString& prefix, bool current, bool dark);

inline QString qs(const std::string& text) { return QString::fromStdString(text); }

} // namespace tw
