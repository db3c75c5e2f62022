#include "output/gui_listing_printer.h"

#include <QBuffer>
#include <QFontMetricsF>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <QRegularExpression>
#include <QTextOption>

#include "app/app_info.h"
#include "platform/output_file.h"

using namespace Qt::StringLiterals;

namespace {

constexpr int kBlanksPerTab = 8;
// The page of a PDF made without a printer: A4, with the margins a sheet usually leaves.
constexpr qreal kPdfMarginMm = 10;

// Keeps track of where the next line goes and turns pages when the current one is full.
class LineWriter {
 public:
  LineWriter(QPainter& painter, QPagedPaintDevice& printer)
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
  QPagedPaintDevice& printer_;
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
bool writeLines(QPainter& painter, QPagedPaintDevice& printer, const QStringList& entries) {
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

enum class Painted { Done, NotStarted, PageNotTurned, NotEnded };

// Paints the entries on the device's pages, one document.
Painted paintEntries(QPagedPaintDevice& device, const QStringList& entries, const QFont& font,
                     QPageLayout::Orientation orientation) {
  device.setPageOrientation(orientation);
  QPainter painter;
  if (!painter.begin(&device)) {
    return Painted::NotStarted;
  }
  painter.setFont(font);
  const bool pagesTurned = writeLines(painter, device, entries);
  const bool ended = painter.end();
  if (!pagesTurned) {
    return Painted::PageNotTurned;
  }
  return ended ? Painted::Done : Painted::NotEnded;
}

// What the user is told; notEnded names who refused the finished document.
QString failureText(Painted painted, const QString& notEnded) {
  switch (painted) {
    case Painted::NotStarted:
      return u"no se pudo empezar el documento"_s;
    case Painted::PageNotTurned:
      return u"no se pudo empezar una página nueva"_s;
    case Painted::NotEnded:
      return notEnded;
    case Painted::Done:
      break;
  }
  return {};
}

}  // namespace

QString PrintEntries(QPrinter& printer, const QStringList& entries, const QFont& font,
                     QPageLayout::Orientation orientation) {
  if (entries.isEmpty()) {
    return {};
  }
  const QString refused = u"la impresora no aceptó el documento"_s;
  const Painted painted = paintEntries(printer, entries, font, orientation);
  if (painted == Painted::Done && printer.printerState() == QPrinter::Error) {
    return refused;
  }
  return failureText(painted, refused);
}

QString SaveEntriesAsPdf(const QByteArray& path, const QStringList& entries, const QFont& font,
                         QPageLayout::Orientation orientation) {
  QBuffer pdf;
  pdf.open(QIODevice::WriteOnly);
  {
    // The writer finishes the document when it goes; only then are the bytes whole.
    QPdfWriter writer(&pdf);
    writer.setTitle(AppTitle());
    writer.setCreator(AppTitle());
    writer.setPageSize(QPageSize(QPageSize::A4));
    writer.setPageMargins(QMarginsF(kPdfMarginMm, kPdfMarginMm, kPdfMarginMm, kPdfMarginMm),
                          QPageLayout::Millimeter);
    const Painted painted = paintEntries(writer, entries, font, orientation);
    if (painted != Painted::Done) {
      return failureText(painted, u"no se pudo terminar el documento"_s);
    }
  }
  return writeOutputFile(path, pdf.data());
}
