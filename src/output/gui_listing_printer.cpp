#include "output/gui_listing_printer.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPrinter>
#include <QRegularExpression>
#include <QTextOption>

using namespace Qt::StringLiterals;

namespace {

constexpr int kBlanksPerTab = 8;

// Keeps track of where the next line goes and turns pages when the current one is full.
class LineWriter {
 public:
  LineWriter(QPainter& painter, QPrinter& printer)
      : painter_(painter),
        printer_(printer),
        lineHeight_(QFontMetricsF(painter.font(), &printer).lineSpacing()),
        pageHeight_(printer.height()) {
    option_.setWrapMode(QTextOption::NoWrap);
    option_.setTabStopDistance(kBlanksPerTab *
                               QFontMetricsF(painter.font(), &printer).horizontalAdvance(u' '));
  }

  // False when the printer could not start a new page.
  bool write(const QString& line) {
    if (top_ > 0 && top_ + lineHeight_ > pageHeight_) {
      if (!printer_.newPage()) {
        return false;
      }
      top_ = 0;
    }
    const QRectF box(0, top_, printer_.width(), lineHeight_);
    painter_.drawText(box, line, option_);
    top_ += lineHeight_;
    return true;
  }

 private:
  QPainter& painter_;
  QPrinter& printer_;
  QTextOption option_;
  qreal lineHeight_;
  qreal pageHeight_;
  qreal top_ = 0;
};

QStringList printedLines(const QString& entry) {
  static const QRegularExpression lineBreak(u"\r\n|\r|\n"_s);
  return entry.split(lineBreak);
}

// False when the printer could not start a new page.
bool writeLines(QPainter& painter, QPrinter& printer, const QStringList& entries) {
  LineWriter writer(painter, printer);
  for (const QString& entry : entries) {
    for (const QString& line : printedLines(entry)) {
      if (!writer.write(line)) {
        return false;
      }
    }
  }
  return true;
}

}  // namespace

QString PrintEntries(QPrinter& printer, const QStringList& entries, const QFont& font,
                     QPageLayout::Orientation orientation) {
  if (entries.isEmpty()) {
    return {};
  }
  printer.setPageOrientation(orientation);
  QPainter painter;
  if (!painter.begin(&printer)) {
    return u"no se pudo empezar el documento"_s;
  }
  painter.setFont(font);
  const bool pagesTurned = writeLines(painter, printer, entries);
  const bool ended = painter.end();
  if (!pagesTurned) {
    return u"no se pudo empezar una página nueva"_s;
  }
  if (!ended || printer.printerState() == QPrinter::Error) {
    return u"la impresora no aceptó el documento"_s;
  }
  return {};
}
