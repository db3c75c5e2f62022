#pragma once

#include <QObject>
#include <QString>
#include <QThread>

#include <functional>

// Work on the catalogue off the window's thread: a thread with a connection of its own, opened
// there on first use and kept between jobs (a server's lock taken by one job is still held by
// the next), on which BdConnection() is that connection.

class BdThreadWorker;

class BdThread : public QObject {
  Q_OBJECT

 public:
  explicit BdThread(QObject* parent = nullptr);
  /** Waits for the jobs already asked to run. */
  ~BdThread() override;

  /**
   * Runs work on the thread, in the order asked; then done on context's thread with why the
   * connection could not be opened or what work returned (empty when it worked). done is not
   * run when context is gone by then.
   */
  void run(std::function<QString()> work, QObject* context,
           std::function<void(const QString& failure)> done);

 private:
  QThread thread_;
  BdThreadWorker* worker_;
};
