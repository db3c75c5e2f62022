#include "search/background_search.h"

#include "search/search_index.h"

using namespace Qt::StringLiterals;

BackgroundSearch::BackgroundSearch(const QString& connectionString, QObject* parent)
    : QObject(parent), newest_(std::make_shared<std::atomic<quint64>>(0)) {
  worker_ = new SearchWorker(connectionString, newest_);
  worker_->moveToThread(&thread_);
  // The worker opens, uses and closes its connection on its own thread.
  connect(&thread_, &QThread::finished, worker_, &QObject::deleteLater);
  connect(worker_, &SearchWorker::found, this, &BackgroundSearch::deliver);
  thread_.setObjectName(u"búsqueda"_s);
  thread_.start();
}

BackgroundSearch::~BackgroundSearch() {
  cancel();
  thread_.quit();
  thread_.wait();
}

void BackgroundSearch::start(const SearchRequest& request) {
  const quint64 generation = ++*newest_;
  worker_->interrupt();
  busy_ = true;
  QMetaObject::invokeMethod(
      worker_, [worker = worker_, generation, request] { worker->search(generation, request); },
      Qt::QueuedConnection);
}

void BackgroundSearch::cancel() {
  ++*newest_;
  worker_->interrupt();
  busy_ = false;
}

void BackgroundSearch::deliver(quint64 generation, const SearchResult& result) {
  if (generation != newest_->load()) {
    return;
  }
  busy_ = false;
  emit finished(result);
}

SearchWorker::SearchWorker(QString connectionString, std::shared_ptr<std::atomic<quint64>> newest)
    : connectionString_(std::move(connectionString)), newest_(std::move(newest)) {}

SearchWorker::~SearchWorker() {
  const std::lock_guard lock(interrupterMutex_);
  interrupter_ = nullptr;
}

void SearchWorker::interrupt() {
  const std::lock_guard lock(interrupterMutex_);
  if (interrupter_) {
    interrupter_();
  }
}

void SearchWorker::search(quint64 generation, const SearchRequest& request) {
  // A newer search is already queued behind this one: this result would only be dropped.
  if (generation != newest_->load()) {
    return;
  }
  SearchResult result;
  if (ensureOpen(result.error)) {
    const SearchConnectionScope scope(connection_);
    result = searchCatalogue(request);
  }
  emit found(generation, result);
}

bool SearchWorker::ensureOpen(QString& reason) {
  if (connection_.State() == kStateOpen) {
    return true;
  }
  if (!connection_.Open(connectionString_)) {
    reason = connection_.lastError();
    return false;
  }
  const std::lock_guard lock(interrupterMutex_);
  interrupter_ = connection_.interrupter();
  return true;
}
