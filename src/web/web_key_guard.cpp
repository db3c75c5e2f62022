#include "web/web_key_guard.h"

#include <QMutexLocker>

#include "web/web_secret.h"

namespace {

// Sessions and failure counts are kept in bounded tables: the oldest sessions go first (their
// browsers simply need the key again), and when too many addresses have failed, those not locked
// out at the moment are forgotten.
constexpr qsizetype kSessionsKept = 512;
constexpr qsizetype kFailuresKept = 1024;
constexpr int kTokenBytes = 32;

}  // namespace

KeyGuard::KeyGuard(QByteArray key, int attemptsAllowed, int lockoutSeconds)
    : key_(std::move(key)), attemptsAllowed_(attemptsAllowed), lockoutMs_(lockoutSeconds * 1000) {
  clock_.start();
}

int KeyGuard::secondsLockedOut(const QHostAddress& peer) {
  const QMutexLocker lock(&mutex_);
  const auto found = failures_.constFind(peer);
  if (found == failures_.constEnd()) {
    return 0;
  }
  const qint64 left = found->lockedUntilMs - clock_.elapsed();
  return left > 0 ? static_cast<int>((left + 999) / 1000) : 0;
}

QByteArray KeyGuard::openSession(const QHostAddress& peer, QByteArrayView offered) {
  if (!sameSecret(offered, key_)) {
    countFailure(peer);
    return {};
  }
  const QByteArray token = makeSecret(kTokenBytes);
  const QMutexLocker lock(&mutex_);
  if (sessions_.size() >= kSessionsKept) {
    const auto oldest = std::min_element(sessions_.begin(), sessions_.end());
    sessions_.erase(oldest);
  }
  sessions_.insert(token, clock_.elapsed());
  failures_.remove(peer);
  return token;
}

bool KeyGuard::hasSession(QByteArrayView token) {
  if (token.isEmpty()) {
    return false;
  }
  const QMutexLocker lock(&mutex_);
  return sessions_.contains(token.toByteArray());
}

void KeyGuard::countFailure(const QHostAddress& peer) {
  const QMutexLocker lock(&mutex_);
  const qint64 now = clock_.elapsed();
  if (failures_.size() > kFailuresKept) {
    forgetStaleEntries(now);
  }
  Failures& failures = failures_[peer];
  if (failures.lockedUntilMs != 0 && failures.lockedUntilMs <= now) {
    failures = Failures{};
  }
  if (++failures.count >= attemptsAllowed_) {
    failures.lockedUntilMs = now + lockoutMs_;
  }
}

void KeyGuard::forgetStaleEntries(qint64 nowMs) {
  failures_.removeIf([nowMs](QHash<QHostAddress, Failures>::iterator entry) {
    return entry->lockedUntilMs <= nowMs;
  });
}
