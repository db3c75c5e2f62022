#pragma once

#include <QElapsedTimer>
#include <QHash>
#include <QHostAddress>
#include <QMutex>

// How many requests an address may make: a bucket of `burst` requests per address that refills
// at `perSecond` a second, so a person paging through results never meets it and a script that
// hammers the catalogue is told to wait. Safe to call from several threads.
class RateLimit {
 public:
  RateLimit(double perSecond, double burst);

  /** Takes one request from the address's bucket; false when it is empty. */
  bool admit(const QHostAddress& peer);

 private:
  struct Bucket {
    double tokens;
    qint64 filledAtMs;
  };
  void forgetFullBuckets(qint64 nowMs);

  const double perSecond_;
  const double burst_;
  QElapsedTimer clock_;
  QMutex mutex_;
  QHash<QHostAddress, Bucket> buckets_;
};
