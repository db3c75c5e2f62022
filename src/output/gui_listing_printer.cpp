#include "output/gui_listing_printer.h"

#include <QBuffer>
#include <QFontMetricsF>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <QRegularExpression>
#include <QTextOption>

#include "base/app_info.h"
#include "platform/output_file.h"

using namespace Qt::StringLiterals;

namespace {

constexpr int kBlanksPerTab = 8;
// The page of a PDF made without a printer: A4, with the margins a sheet usually leaves.
constexpr qreal kPdfMarginMm = 10;

// Keeps track of where the next line goes and turns pages when the current one is full.
class LineWriter {
 public:
  LineWriter(QPainter& painter, QPagedPaintDevice& printer,
             const std::function<bool(int)>& pageDone)
      : painter_(painter),
        printer_(printer),
        pageDone_(pageDone),
        lineHeight_(QFontMetricsF(painter.font(), &printer).lineSpacing()),
        pageHeight_(printer.height()) {
    option_.setWrapMode(QTextOption::NoWrap);
    option_.setTabStopDistance(kBlanksPerTab *
                               QFontMetricsF(painter.font(), &printer).horizontalAdvance(u' '));
  }

  // False when the printer could not start a new page, or the user stopped the printing.
  bool write(const QString& line) {
    if (top_ > 0 && top_ + lineHeight_ > pageHeight_) {
      ++pagesDone_;
      if (pageDone_ && !pageDone_(pagesDone_)) {
        cancelled_ = true;
        return false;
      }
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

  bool cancelled() const { return cancelled_; }

 private:
  QPainter& painter_;
  QPagedPaintDevice& printer_;
  const std::function<bool(int)>& pageDone_;
  int pagesDone_ = 0;
  bool cancelled_ = false;
  QTextOption option_;
  qreal lineHeight_;
  qreal pageHeight_;
  qreal top_ = 0;
};

QStringList printedLines(const QString& entry) {
  static const QRegularExpression lineBreak(u"\r\n|\r|\n"_s);
  return entry.split(lineBreak);
}

enum class Painted { Done, NotStarted, PageNotTurned, NotEnded, Cancelled };

Painted writeLines(QPainter& painter, QPagedPaintDevice& printer, const QStringList& entries,
                   const std::function<bool(int)>& pageDone) {
  LineWriter writer(painter, printer, pageDone);
  for (const QString& entry : entries) {
    for (const QString& line : printedLines(entry)) {
      if (!writer.write(line)) {
        return writer.cancelled() ? Painted::Cancelled : Painted::PageNotTurned;
      }
    }
  }
  return Painted::Done;
}

// Paints the entries on the device's pages, one document.
Painted paintEntries(QPagedPaintDevice& device, const QStringList& entries, const QFont& font,
                     QPageLayout::Orientation orientation,
                     const std::function<bool(int)>& pageDone = {}) {
  device.setPageOrientation(orientation);
  QPainter painter;
  if (!painter.begin(&device)) {
    return Painted::NotStarted;
  }
  painter.setFont(font);
  const Painted written = writeLines(painter, device, entries, pageDone);
  const bool ended = painter.end();
  if (written != Painted::Done) {
    return written;
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
    case Painted::Cancelled:
      return printCancelledText();
    case Painted::Done:
      break;
  }
  return {};
}

}  // namespace

QString printCancelledText() {
  return u"impresión cancelada"_s;
}

QString PrintEntries(QPrinter& printer, const QStringList& entries, const QFont& font,
                     QPageLayout::Orientation orientation,
                     const std::function<bool(int)>& pageDone) {
  if (entries.isEmpty()) {
    return {};
  }
  const QString refused = u"la impresora no aceptó el documento"_s;
  // Aborted while the document is still open, so the queue drops the job.
  const auto pageDoneOrAbort = [&](int pages) {
    if (!pageDone || pageDone(pages)) {
      return true;
    }
    printer.abort();
    return false;
  };
  const Painted painted = paintEntries(printer, entries, font, orientation, pageDoneOrAbort);
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
