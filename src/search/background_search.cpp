#include "search/background_search.h"

#include "search/search_index.h"

using namespace Qt::StringLiterals;

namespace {

// A job that runs find on the worker's connection and hands its result to signal; when the
// connection could not be opened, the result is that failure.
template <typename Result, typename Find>
SearchJob jobOf(Find find, void (BackgroundSearch::*signal)(const Result&)) {
  return [find = std::move(find), signal](const QString& openFailure) -> SearchDelivery {
    Result result;
    if (openFailure.isEmpty()) {
      result = find();
    } else {
      result.error = openFailure;
    }
    return [signal, result = std::move(result)](BackgroundSearch& search) {
      (search.*signal)(result);
    };
  };
}

}  // namespace

BackgroundSearch::BackgroundSearch(const QString& connectionString, QObject* parent)
    : QObject(parent), newest_(std::make_shared<std::atomic<quint64>>(0)) {
  worker_ = new SearchWorker(connectionString, newest_);
  worker_->moveToThread(&thread_);
  // The worker opens, uses and closes its connection on its own thread.
  connect(&thread_, &QThread::finished, worker_, &QObject::deleteLater);
  connect(worker_, &SearchWorker::done, this, &BackgroundSearch::deliver);
  thread_.setObjectName(u"búsqueda"_s);
  thread_.start();
}

BackgroundSearch::~BackgroundSearch() {
  cancel();
  thread_.quit();
  thread_.wait();
}

void BackgroundSearch::start(const SearchRequest& request) {
  startJob(jobOf([request] { return searchCatalogue(request); }, &BackgroundSearch::finished));
}

void BackgroundSearch::startDuplicates(SearchMedium medium) {
  startJob(jobOf([medium] { return findDuplicates(medium); }, &BackgroundSearch::duplicatesFound));
}

void BackgroundSearch::startJob(SearchJob job) {
  const quint64 generation = ++*newest_;
  worker_->interrupt();
  busy_ = true;
  QMetaObject::invokeMethod(
      worker_,
      [worker = worker_, generation, job = std::move(job)] { worker->run(generation, job); },
      Qt::QueuedConnection);
}

void BackgroundSearch::cancel() {
  ++*newest_;
  worker_->interrupt();
  busy_ = false;
}

void BackgroundSearch::deliver(quint64 generation, const SearchDelivery& delivery) {
  if (generation != newest_->load()) {
    return;
  }
  busy_ = false;
  delivery(*this);
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

void SearchWorker::run(quint64 generation, const SearchJob& job) {
  // A newer search is already queued behind this one: this result would only be dropped.
  if (generation != newest_->load()) {
    return;
  }
  QString openFailure;
  if (!ensureOpen(openFailure)) {
    emit done(generation, job(openFailure));
    return;
  }
  const SearchConnectionScope scope(connection_);
  SearchDelivery delivery = job({});
  // A search only reads: one that lost its connection is made once more on a new one.
  if (connection_.State() != kStateOpen && connection_.reconnects()) {
    delivery = job(ensureOpen(openFailure) ? QString() : openFailure);
  }
  emit done(generation, delivery);
}

bool SearchWorker::ensureOpen(QString& reason) {
  if (connection_.State() == kStateOpen) {
    return true;
  }
  if (!connection_.OpenExisting(connectionString_)) {
    reason = connection_.lastError();
    return false;
  }
  const std::lock_guard lock(interrupterMutex_);
  interrupter_ = connection_.interrupter();
  return true;
}
