#include "listing/gui_listing_look.h"

#include <QPalette>
#include <QWidget>

using namespace Qt::StringLiterals;

QFont smallFont() {
  QFont font(u"Small Fonts"_s);
  font.setPointSizeF(6.75);
  font.setWeight(QFont::Normal);
  return font;
}

void fillBackground(QWidget& widget, const QColor& color) {
  QPalette palette = widget.palette();
  palette.setColor(QPalette::Window, color);
  widget.setPalette(palette);
  widget.setAutoFillBackground(true);
}
