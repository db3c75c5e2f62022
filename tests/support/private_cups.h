#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

// A CUPS scheduler of the test's own: cupsd on a free loopback port with its configuration,
// spool, cache and logs in a temporary directory. Stopped and removed with the object, so it
// never meets the machine's own print system.
class PrivateCups {
 public:
  PrivateCups();
  ~PrivateCups();
  PrivateCups(const PrivateCups&) = delete;
  PrivateCups& operator=(const PrivateCups&) = delete;

  /** Starts cupsd and waits (a few seconds at most) until it answers; why not, or empty. */
  QString start();

  /** "127.0.0.1:<port>": the value for CUPS_SERVER and for the clients' -h. */
  QString server() const;

  /** A directory inside the server's tree where jobs may write their output. */
  QString outputDir() const;

  /**
   * Adds an enabled queue that accepts PDF and writes each job, as PDF, to outputFile (through
   * a file: device); why not, or empty.
   */
  QString addPdfQueue(const QString& name, const QString& outputFile);

  /** Runs a CUPS client (lpadmin, cupsreject, lpstat...) against this server; its error text. */
  QString runClient(const QString& program, QStringList arguments, QString* output = nullptr);

  /** Waits until the queue has no unfinished job; false when timeoutMs passed first. */
  bool waitUntilIdle(const QString& queue, int timeoutMs);

  /** The scheduler's error log, for failure messages. */
  QString errorLog() const;

 private:
  QString path(const QString& name) const;
  bool writeConfiguration();

  QTemporaryDir root_;
  QProcess cupsd_;
  int port_ = 0;
};
