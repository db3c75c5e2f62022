#pragma once

#include <QString>

#include <map>
#include <memory>
#include <mutex>
#include <thread>

#include "web/web_exchange.h"

class DbConnection;

// The read-only catalogue in the browser: every page of the web view, answered on the calling
// thread with a connection of its own that only reads the configured catalogue (file or
// server). Nothing is created, upgraded or written: a missing file is a failure, not a new one.

class CataloguePages {
 public:
  /** Opens the configured catalogue read-only on the calling thread. */
  CataloguePages();
  /** Opens nothing before the first request: the caller checked the catalogue (readFailure). */
  struct Checked {};
  explicit CataloguePages(Checked);
  /** Closes every thread's connection; the server has stopped calling by then. */
  ~CataloguePages();
  CataloguePages(const CataloguePages&) = delete;
  CataloguePages& operator=(const CataloguePages&) = delete;

  /** Empty when the catalogue can be read; else why not, in Spanish. */
  QString openFailure() const { return openFailure_; }
  /**
   * Why the configured catalogue cannot be read, in Spanish; empty when it can. Opened
   * read-only on the calling thread, and closed again there.
   */
  static QString readFailure();
  /**
   * The answer to request. Thread-safe: each calling thread reads through a connection of its
   * own, made on its first request.
   */
  WebResponse answer(const WebRequest& request) const;

 private:
  /** The calling thread's connection, open; null, with reason set, when it cannot be opened. */
  DbConnection* threadConnection(QString& reason) const;

  const QString connectionString_;
  QString openFailure_;
  mutable std::mutex mutex_;
  mutable std::map<std::thread::id, std::unique_ptr<DbConnection>> connections_;
};
