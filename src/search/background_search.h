#pragma once

#include <QObject>
#include <QThread>

#include <atomic>
#include <functional>
#include <mutex>

#include "db/db_connection.h"
#include "search/catalogue_search.h"

// Searches of the catalogue off the calling thread: the index catch-up a search starts with (a
// write that may wait for another program) and the query itself run on a thread and a
// connection of their own, so the window that asks never waits. A newer search interrupts an
// older one through the engine's interrupter, and only the newest one's result comes back.

class BackgroundSearch;
class SearchWorker;

/** Hands a finished search's result to its signal; run on the thread that asked. */
using SearchDelivery = std::function<void(BackgroundSearch& search)>;
/**
 * A search, run on the search thread: its result made into a delivery. openFailure is why the
 * worker's connection could not be opened (empty when it is open); the result then says it.
 */
using SearchJob = std::function<SearchDelivery(const QString& openFailure)>;

class BackgroundSearch : public QObject {
  Q_OBJECT

 public:
  /** connectionString: the database to search (BdConnectionString()). */
  BackgroundSearch(const QString& connectionString, QObject* parent);
  ~BackgroundSearch() override;

  /**
   * Starts request, interrupting the search still running, whose result is dropped; the
   * result comes with finished().
   */
  void start(const SearchRequest& request);
  /** The same for the files stored more than once; the result comes with duplicatesFound(). */
  void startDuplicates(SearchMedium medium);
  /** Drops the search running, if any, and its result. */
  void cancel();
  /** True from a start until the newest search's result has come back. */
  bool busy() const { return busy_; }

 signals:
  /** The result of the newest search started. */
  void finished(const SearchResult& result);
  /** The result of the newest duplicates search started. */
  void duplicatesFound(const DuplicatesResult& result);

 private:
  void startJob(SearchJob job);
  void deliver(quint64 generation, const SearchDelivery& delivery);

  QThread thread_;
  SearchWorker* worker_;
  std::shared_ptr<std::atomic<quint64>> newest_;
  bool busy_ = false;
};

/** The part that lives on the search thread; BackgroundSearch is its only user. */
class SearchWorker : public QObject {
  Q_OBJECT

 public:
  SearchWorker(QString connectionString, std::shared_ptr<std::atomic<quint64>> newest);
  ~SearchWorker() override;

  /** Stops the statement running on the worker's connection; callable from any thread. */
  void interrupt();
  /** Runs on the search thread: the job numbered generation, unless a newer one waits. */
  void run(quint64 generation, const SearchJob& job);

 signals:
  void done(quint64 generation, const SearchDelivery& delivery);

 private:
  bool ensureOpen(QString& reason);

  const QString connectionString_;
  const std::shared_ptr<std::atomic<quint64>> newest_;
  DbConnection connection_;
  std::mutex interrupterMutex_;
  std::function<void()> interrupter_;
};
