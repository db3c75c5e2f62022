#include "db/listing_hold.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QLockFile>
#include <QSqlQuery>
#include <QVariant>

#include <mutex>
#include <set>
#include <utility>

#include "db/db_connection.h"
#include "db/db_engine.h"

using namespace Qt::StringLiterals;

namespace {

// The key of the server's advisory locks that hold listings; the listing's number is the second.
constexpr int kUpdateLockKey = 4711028;

class FileHold : public ListingHold {
 public:
  explicit FileHold(const QString& path) : lock_(path) { lock_.setStaleLockTime(0); }
  bool take() { return lock_.tryLock(0); }

 private:
  QLockFile lock_;
};

class ServerHold : public ListingHold {
 public:
  ServerHold(const QSqlDatabase& db, int rpId) : db_(db), rpId_(rpId) {}
  ~ServerHold() override {
    if (held_) {
      (void)run(u"SELECT pg_advisory_unlock(?, ?)"_s);
    }
  }
  bool take() {
    held_ = run(u"SELECT pg_try_advisory_lock(?, ?)"_s);
    return held_;
  }

 private:
  bool run(const QString& sql) {
    QSqlQuery query(db_);
    query.prepare(sql);
    query.addBindValue(kUpdateLockKey);
    query.addBindValue(rpId_);
    return query.exec() && query.next() && query.value(0).toBool();
  }

  QSqlDatabase db_;
  int rpId_;
  bool held_ = false;
};

// A server's lock is its session's, which takes it again as often as asked: the listings this
// process holds are kept here too.
class ProcessHold : public ListingHold {
 public:
  using Key = std::pair<QString, int>;
  explicit ProcessHold(Key key) : key_(std::move(key)) {}
  ~ProcessHold() override {
    const std::lock_guard lock(mutex());
    if (taken_) {
      held().erase(key_);
    }
  }
  bool take() {
    const std::lock_guard lock(mutex());
    taken_ = held().insert(key_).second;
    return taken_;
  }
  std::unique_ptr<ListingHold> engineHold;

 private:
  static std::mutex& mutex() {
    static std::mutex guard;
    return guard;
  }
  static std::set<Key>& held() {
    static std::set<Key> keys;
    return keys;
  }
  Key key_;
  bool taken_ = false;
};

}  // namespace

// Defined here, beside the holds it takes, so the connection's own file stays about connecting.
std::unique_ptr<ListingHold> DbConnection::holdListing(int rpId) {
  auto hold =
      std::make_unique<ProcessHold>(ProcessHold::Key{driverConnection().databaseName(), rpId});
  if (!engine_ || !hold->take()) {
    return nullptr;
  }
  hold->engineHold = engine_->holdListing(driverConnection(), rpId);
  return hold->engineHold ? std::move(hold) : nullptr;
}

std::unique_ptr<ListingHold> fileListingHold(const QString& databasePath, int rpId) {
  // Named by the file wherever it is reached from, and never beside it: its directory may be
  // one the user can read only.
  const QString canonical = QFileInfo(databasePath).canonicalFilePath();
  const QByteArray key = QCryptographicHash::hash(
      (canonical.isEmpty() ? databasePath : canonical).toUtf8(), QCryptographicHash::Sha1);
  auto hold = std::make_unique<FileHold>(QDir::temp().filePath(
      u"quillet-%1-%2.lock"_s.arg(QString::fromLatin1(key.toHex().left(16))).arg(rpId)));
  return hold->take() ? std::move(hold) : nullptr;
}

std::unique_ptr<ListingHold> serverListingHold(const QSqlDatabase& db, int rpId) {
  auto hold = std::make_unique<ServerHold>(db, rpId);
  return hold->take() ? std::move(hold) : nullptr;
}

QString listingHeldText(int rpId, const QString& name) {
  return u"Ya se está actualizando el listado nº %1 «%2»: espere a que termine"_s.arg(rpId).arg(
      name);
}
