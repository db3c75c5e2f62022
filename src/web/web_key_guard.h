#pragma once

#include <QByteArray>
#include <QElapsedTimer>
#include <QHash>
#include <QHostAddress>
#include <QMutex>

// The key that opens the catalogue to a browser, the sessions it has opened, and the addresses
// that guessed it wrong too often. Safe to call from several threads.
class KeyGuard {
 public:
  KeyGuard(QByteArray key, int attemptsAllowed, int lockoutSeconds);

  /** Seconds the address must still wait after too many wrong keys; 0 when it may try. */
  int secondsLockedOut(const QHostAddress& peer);
  /** Checks an offered key; right: a new session token, wrong: empty, counted against peer. */
  QByteArray openSession(const QHostAddress& peer, QByteArrayView offered);
  bool hasSession(QByteArrayView token);

 private:
  struct Failures {
    int count = 0;
    qint64 lockedUntilMs = 0;
  };
  void countFailure(const QHostAddress& peer);
  void forgetStaleEntries(qint64 nowMs);

  const QByteArray key_;
  const int attemptsAllowed_;
  const int lockoutMs_;
  QElapsedTimer clock_;
  QMutex mutex_;
  QHash<QByteArray, qint64> sessions_;  // token and when it was made
  QHash<QHostAddress, Failures> failures_;
};
