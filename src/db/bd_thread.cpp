#include "db/bd_thread.h"

#include <QPointer>

#include "db/mod_bd.h"

using namespace Qt::StringLiterals;

// Lives on the thread: its connection is made, used and closed there.
class BdThreadWorker : public QObject {
 public:
  QString openFailure() {
    if (connection_.State() == kStateOpen || connection_.OpenExisting(BdConnectionString())) {
      return {};
    }
    return connection_.lastError();
  }
  DbConnection& connection() { return connection_; }

 private:
  DbConnection connection_;
};

BdThread::BdThread(QObject* parent) : QObject(parent), worker_(new BdThreadWorker) {
  worker_->moveToThread(&thread_);
  connect(&thread_, &QThread::finished, worker_, &QObject::deleteLater);
  thread_.setObjectName(u"actualización"_s);
  thread_.start();
}

BdThread::~BdThread() {
  // Jobs already asked run first: one may drop what holds a listing on the thread's connection.
  QMetaObject::invokeMethod(
      worker_, [] {}, Qt::BlockingQueuedConnection);
  thread_.quit();
  thread_.wait();
}

void BdThread::run(std::function<QString()> work, QObject* context,
                   std::function<void(const QString& failure)> done) {
  QMetaObject::invokeMethod(
      worker_,
      [self = this, worker = worker_, work = std::move(work), context = QPointer<QObject>(context),
       done = std::move(done)] {
        QString failure = worker->openFailure();
        if (failure.isEmpty()) {
          const BdConnectionScope scope(worker->connection());
          failure = work();
        }
        // Back on the thread that asked, which alone may look at context; this object outlives
        // the job, as its destructor waits for it.
        QMetaObject::invokeMethod(
            self,
            [context, done, failure] {
              if (context) {
                done(failure);
              }
            },
            Qt::QueuedConnection);
      },
      Qt::QueuedConnection);
}
