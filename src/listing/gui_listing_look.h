#pragma once

#include <QColor>
#include <QFont>
#include <QRect>

#include "platform/twips.h"

// Look shared by the listing window and its design panel, which are laid out in twips.

/** A rectangle given in twips (left, top, width, height), in logical pixels. */
inline QRect twipRect(int left, int top, int width, int height) {
  return twipsToPixels(QRect(left, top, width, height));
}

/** "Small Fonts" at 6.75 points; Qt falls back to a similar face where it is missing. */
QFont smallFont();

/** The grey of the splitter bar and the design panel. */
inline QColor barGrey() {
  return {128, 128, 128};
}

/** Gives widget a solid background of color. */
void fillBackground(QWidget& widget, const QColor& color);
