#include "db/bd_reconnect.h"

#include <QObject>
#include <QThread>

#include <memory>

#include "db/mod_bd.h"

namespace {

QString openNow() {
  return BdConnection().ensureOpen() ? QString() : BdConnection().lastError();
}

}  // namespace

void whenBdOpen(QObject* context, BdReady then) {
  if (BdConnection().State() == kStateOpen || !BdConnection().reconnects()) {
    then(openNow());
    return;
  }
  // A connection of the trial's own: a driver's connection belongs to the thread that made it.
  // Once the server answers it, the program's opens at once on this thread.
  auto failure = std::make_shared<QString>();
  QThread* trial = QThread::create([connectionString = BdConnectionString(), failure] {
    DbConnection connection;
    if (!connection.OpenExisting(connectionString)) {
      *failure = connection.lastError();
    }
  });
  QObject::connect(trial, &QThread::finished, trial, &QObject::deleteLater);
  QObject::connect(trial, &QThread::finished, context, [failure, then = std::move(then)] {
    then(failure->isEmpty() ? openNow() : *failure);
  });
  trial->start();
}

void readWhenBdOpen(QObject* context, std::function<QString()> read, BdReady done) {
  whenBdOpen(context, [context, read, done](const QString& failure) {
    if (!failure.isEmpty()) {
      done(failure);
      return;
    }
    const QString readFailure = read();
    if (readFailure.isEmpty() || !BdConnection().reconnects() ||
        BdConnection().State() == kStateOpen) {
      done(readFailure);
      return;
    }
    whenBdOpen(context,
               [read, done](const QString& again) { done(again.isEmpty() ? read() : again); });
  });
}
