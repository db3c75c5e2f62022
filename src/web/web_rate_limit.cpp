#include "web/web_rate_limit.h"

#include <QMutexLocker>

namespace {

// Beyond this many addresses the buckets that have filled up again are dropped: they hold
// nothing a new bucket would not, and the table stays small whoever knocks.
constexpr qsizetype kBucketsKept = 1024;

}  // namespace

RateLimit::RateLimit(double perSecond, double burst) : perSecond_(perSecond), burst_(burst) {
  clock_.start();
}

bool RateLimit::admit(const QHostAddress& peer) {
  const QMutexLocker lock(&mutex_);
  const qint64 now = clock_.elapsed();
  if (buckets_.size() > kBucketsKept) {
    forgetFullBuckets(now);
  }
  auto found = buckets_.find(peer);
  if (found == buckets_.end()) {
    found = buckets_.insert(peer, Bucket{burst_, now});
  }
  Bucket& bucket = found.value();
  bucket.tokens = std::min(burst_, bucket.tokens + (now - bucket.filledAtMs) * perSecond_ / 1000.0);
  bucket.filledAtMs = now;
  if (bucket.tokens < 1.0) {
    return false;
  }
  bucket.tokens -= 1.0;
  return true;
}

void RateLimit::forgetFullBuckets(qint64 nowMs) {
  buckets_.removeIf([&](QHash<QHostAddress, Bucket>::iterator entry) {
    const Bucket& bucket = entry.value();
    return bucket.tokens + (nowMs - bucket.filledAtMs) * perSecond_ / 1000.0 >= burst_;
  });
}
