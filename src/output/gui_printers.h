#pragma once

#include <QString>
#include <QStringList>

#include <memory>

class QPrinter;

// The system's printers as the print window sees them, and the application's current printer.
// The source is replaceable so tests can stand up a printer list that prints to PDF files.

class PrinterSource {
 public:
  virtual ~PrinterSource() = default;

  /** Device names of the installed printers, in the platform's order. */
  virtual QStringList printerNames() const = 0;
  /** The system's default printer; empty when there is none. */
  virtual QString defaultPrinterName() const = 0;
  /**
   * A printer ready to print on the named device, or null with the reason (Spanish, for the
   * user) in *reason when that device cannot take a document now.
   */
  virtual std::unique_ptr<QPrinter> openPrinter(const QString& name, QString* reason) const = 0;
  /** After a document was handed to the device: why it was refused, or empty. */
  virtual QString jobError() const = 0;
};

/** The installed source; the system's printers (Qt PrintSupport over CUPS) unless replaced. */
const PrinterSource& printerSource();

/**
 * Replaces the source (null brings back the system's printers). The current printer starts
 * again from the new source's default printer.
 */
void setPrinterSource(std::shared_ptr<const PrinterSource> source);

/**
 * The application's current printer for the whole run: the source's default printer until a
 * printer is chosen.
 */
QString CurrentPrinterName();
void setCurrentPrinterName(const QString& name);
