#include "search/search_index.h"

#include <QElapsedTimer>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

#include <algorithm>
#include <memory>
#include <optional>
#include <vector>

#include "base/log.h"
#include "db/catalogue_parts.h"
#include "db/mod_bd.h"
#include "db/rows_in_place.h"
#include "search/search_engine.h"
#include "search/search_sql.h"

using namespace Qt::StringLiterals;

namespace {

// A statement of the index on the driver's connection: none of them is the catalogue's own.
bool execute(const QString& sql, QString& reason) {
  QSqlQuery query(searchConnection().driverConnection());
  if (!query.exec(sql)) {
    reason = reasonOf(query.lastError());
    return false;
  }
  return true;
}

thread_local DbConnection* threadConnection = nullptr;

// Folds and writes a listing's texts in SQL, through the functions the writer gives the
// connection, so no row of it passes through the program.
class IndexWriter {
 public:
  IndexWriter()
      : db_(searchConnection().driverConnection()),
        texts_(db_),
        keys_(db_),
        forgetTexts_(db_),
        forgetKeys_(db_) {}

  bool prepare() {
    reason_ = registerSearchFunctions(db_);
    const QStringList forget = sqlForgetListing();
    return reason_.isEmpty() && execute(sqlIndexWriteBuffer(), reason_) &&
           prepared(texts_, sqlIndexTexts()) && prepared(keys_, sqlIndexKeys()) &&
           prepared(forgetTexts_, forget[0]) && prepared(forgetKeys_, forget[1]);
  }

  // Forgets what the index holds of the listing; true when done.
  bool forget(const QVariant& rpId) { return ran(forgetTexts_, rpId) && ran(forgetKeys_, rpId); }

  // Indexes the listing's files as they are stored now; a listing without its row has none.
  bool index(const QVariant& rpId) {
    if (!ran(texts_, rpId)) {
      return false;
    }
    // Counted at once: the connection keeps the count of its latest statement only.
    filesIndexed_ += texts_.numRowsAffected();
    return ran(keys_, rpId);
  }

  // Indexes, or forgets, the listing's files numbered in numbers (IN lists).
  bool indexNumbered(const QVariant& rpId, const QStringList& numbers) {
    return std::all_of(numbers.begin(), numbers.end(), [&](const QString& list) {
      return runOnce(sqlIndexTexts(list), rpId) && runOnce(sqlIndexKeys(list), rpId);
    });
  }
  bool forgetNumbered(const QVariant& rpId, const QStringList& numbers) {
    return std::all_of(numbers.begin(), numbers.end(), [&](const QString& list) {
      const QStringList statements = sqlForgetFilesNumbered(list);
      return std::all_of(statements.begin(), statements.end(),
                         [&](const QString& sql) { return runOnce(sql, rpId); });
    });
  }

  bool noted(const QVariant& rpId) {
    QSqlQuery query(db_);
    return prepared(query, sqlListingNoted()) && ran(query, rpId) && query.next();
  }

  bool forgetNotes(const QVariant& rpId) { return runOnce(sqlForgetListingNotes(), rpId); }

  const QString& reason() const { return reason_; }
  int filesIndexed() const { return filesIndexed_; }

 private:
  bool prepared(QSqlQuery& query, const QString& sql) {
    if (!query.prepare(sql)) {
      reason_ = reasonOf(query.lastError());
      return false;
    }
    return true;
  }

  bool runOnce(const QString& sql, const QVariant& rpId) {
    QSqlQuery query(db_);
    return prepared(query, sql) && ran(query, rpId);
  }

  bool ran(QSqlQuery& query, const QVariant& rpId) {
    query.bindValue(u":rp_id"_s, rpId);
    if (!query.exec()) {
      reason_ = reasonOf(query.lastError());
      return false;
    }
    return true;
  }

  QSqlDatabase db_;
  QSqlQuery texts_;
  QSqlQuery keys_;
  QSqlQuery forgetTexts_;
  QSqlQuery forgetKeys_;
  QString reason_;
  int filesIndexed_ = 0;
};

// The per-listing refreshes of the catalogue's parts that keep something on this file.
std::vector<std::unique_ptr<ListingRefresh>> partRefreshes() {
  std::vector<std::unique_ptr<ListingRefresh>> refreshes;
  for (const CataloguePart* part : catalogueParts()) {
    if (std::unique_ptr<ListingRefresh> refresh =
            part->fileListingRefresh(searchConnection().driverConnection())) {
      refreshes.push_back(std::move(refresh));
    }
  }
  return refreshes;
}

// Runs each part's refresh of the listing; empty text, else the first failure.
QString refreshParts(const std::vector<std::unique_ptr<ListingRefresh>>& refreshes,
                     const QVariant& rpId) {
  for (const std::unique_ptr<ListingRefresh>& refresh : refreshes) {
    if (QString failure = refresh->refresh(rpId); !failure.isEmpty()) {
      return failure;
    }
  }
  return {};
}

// Follows an update that keeps a listing's unchanged rows where they are, and so their index
// rows: those of the rows deleted go, the rows inserted are indexed, the other parts' totals
// are made again, and the notes the writes left are dropped. A listing noted before the update
// is indexed whole first, so the notes dropped are only the update's own.
class IndexRewrite : public ListingRewrite {
 public:
  explicit IndexRewrite(int rpId) : rpId_(rpId) {}

  // The kept rows are only renumbered, which changes nothing the index holds: noting the
  // listing twice for each of them would cost more than the rest of the rewrite. The trigger is
  // back before the transaction ends, whatever ends it.
  bool start() {
    return writer_.prepare() &&
           (!writer_.noted(rpId_) || (writer_.forget(rpId_) && writer_.index(rpId_))) &&
           execute(sqlPauseFileChanges(), reason_);
  }
  const QString& reason() const { return reason_.isEmpty() ? writer_.reason() : reason_; }

  QString rowsGoing(const std::vector<int>& going) override {
    return writer_.forgetNumbered(rpId_, numberLists(going)) ? QString() : reason();
  }

  // The parts that keep something per listing follow the rewrite themselves.
  QString rowsAdded(const std::vector<int>& added) override {
    return execute(sqlResumeFileChanges(), reason_) &&
                   writer_.indexNumbered(rpId_, numberLists(added)) && writer_.forgetNotes(rpId_)
               ? QString()
               : reason();
  }

 private:
  const QVariant rpId_;
  IndexWriter writer_;
  QString reason_;
};

// Indexes the noted listings inside the caller's transaction; every old row of them goes first,
// so a rowid a deleted file leaves behind can be taken by a new one.
QString indexPending(IndexWriter& writer, const StoreProgressFn& progress) {
  QString reason;
  const std::vector<QVariant> listings =
      listingNumbersOf(searchConnection().driverConnection(), sqlPendingListings(), reason);
  if (!reason.isEmpty()) {
    return reason;
  }
  if (listings.empty()) {
    return {};
  }
  if (!writer.prepare()) {
    return writer.reason();
  }
  for (const QVariant& rpId : listings) {
    if (!writer.forget(rpId)) {
      return writer.reason();
    }
  }
  // What the other parts keep per listing (the statistics' totals) holds only while the listing
  // has no note: it is made again with the notes' clearing, in their transaction.
  const std::vector<std::unique_ptr<ListingRefresh>> refreshes = partRefreshes();
  StoreProgress step{u"Indexando listados"_s, 1, static_cast<int>(listings.size()), 0};
  for (const QVariant& rpId : listings) {
    if (!writer.index(rpId)) {
      return writer.reason();
    }
    if (const QString failure = refreshParts(refreshes, rpId); !failure.isEmpty()) {
      return failure;
    }
    ++step.stepValue;
    if (progress) {
      progress(step);
    }
  }
  execute(sqlClearPending(), reason);
  return reason;
}

// Runs every statement, stopping at the first that fails; empty text, else its reason.
QString executeAll(const QStringList& statements) {
  QString reason;
  for (const QString& statement : statements) {
    if (!execute(statement, reason)) {
      break;
    }
  }
  return reason;
}

// The version of the index the database holds; 0 when it has none.
int schemaVersion() {
  QSqlQuery query(searchConnection().driverConnection());
  return query.exec(sqlSchemaVersion()) && query.next() ? query.value(0).toInt() : 0;
}

// An older version of the index goes first, so its objects are all made again; a database
// without one may hold nothing of ours, so nothing of it is dropped.
QString createInTransaction(const StoreProgressFn& progress, std::optional<int>& files) {
  ScopedTransaction transaction(searchConnection());
  if (!transaction.started()) {
    return searchConnection().lastError();
  }
  // The other page's search, on a connection of its own, may have made it while this one
  // waited for the lock.
  if (fileHasSearchIndex()) {
    return {};
  }
  QStringList statements = sqlCreateSearchIndex();
  if (statements.isEmpty()) {
    return u"falta la definición del índice de búsqueda en el programa"_s;
  }
  const int version = schemaVersion();
  if (version > 0) {
    statements = sqlDropSearchIndex() + statements;
  }
  // The index's script names its own version; a later one (the technical fields') stays.
  if (version > kSearchSchemaVersion) {
    statements.append(sqlSchemaVersion() + u" = "_s + QString::number(version));
  }
  QString reason = executeAll(statements + QStringList{sqlNoteEveryListing()});
  if (!reason.isEmpty()) {
    return reason;
  }
  IndexWriter writer;
  if (reason = indexPending(writer, progress); !reason.isEmpty()) {
    return reason;
  }
  files = writer.filesIndexed();
  return transaction.Commit() ? QString() : searchConnection().lastError();
}

}  // namespace

DbConnection& searchConnection() {
  return threadConnection ? *threadConnection : BdConnection();
}

SearchConnectionScope::SearchConnectionScope(DbConnection& connection)
    : previous_(threadConnection) {
  threadConnection = &connection;
}

SearchConnectionScope::~SearchConnectionScope() {
  threadConnection = previous_;
}

bool fileHasSearchIndex() {
  if (schemaVersion() < kSearchSchemaVersion) {
    return false;
  }
  QSqlQuery query(searchConnection().driverConnection());
  return query.exec(sqlSearchIndexPresent()) && query.next() && query.value(0).toInt() == 4;
}

QString fileCreateSearchIndex(const StoreProgressFn& progress) {
  QElapsedTimer clock;
  clock.start();
  std::optional<int> files;
  const QString reason = createInTransaction(progress, files);
  if (!reason.isEmpty()) {
    WriteLog(u"No se ha podido crear el índice de búsqueda de la BD: "_s + reason);
    return reason;
  }
  if (!files) {
    return {};
  }
  WriteLog(u"Creado el índice de búsqueda de la BD: %1 archivos en %2 s"_s.arg(*files).arg(
      clock.elapsed() / 1000.0, 0, 'f', 1));
  return {};
}

QString fileUpdateSearchIndex() {
  if (!fileHasSearchIndex()) {
    return fileCreateSearchIndex();
  }
  // Most searches find nothing noted, and need not write at all.
  QSqlQuery noted(searchConnection().driverConnection());
  if (noted.exec(sqlPendingListings()) && !noted.next() && !noted.lastError().isValid()) {
    return {};
  }
  noted.finish();
  ScopedTransaction transaction(searchConnection());
  if (!transaction.started()) {
    return searchConnection().lastError();
  }
  IndexWriter writer;
  if (const QString reason = indexPending(writer, {}); !reason.isEmpty()) {
    return reason;
  }
  return transaction.Commit() ? QString() : searchConnection().lastError();
}

std::unique_ptr<ListingRewrite> fileFollowRewrite(int rpId, QString& reason) {
  // A file the program has not indexed yet is indexed whole when it is.
  if (!fileHasSearchIndex()) {
    return nullptr;
  }
  auto rewrite = std::make_unique<IndexRewrite>(rpId);
  if (!rewrite->start()) {
    reason = rewrite->reason();
    return nullptr;
  }
  return rewrite;
}

bool hasSearchIndex() {
  return searchEngine().hasIndex();
}

QString createSearchIndex(const StoreProgressFn& progress) {
  return searchEngine().createIndex(progress);
}

QString updateSearchIndex() {
  return searchEngine().updateIndex();
}

void indexStoredListing() {
  // An older database is given its index at start-up or by its first search, not here.
  if (!hasSearchIndex()) {
    return;
  }
  if (const QString reason = updateSearchIndex(); !reason.isEmpty()) {
    WriteLog(
        u"No se ha podido poner al día el índice de búsqueda de la BD (se hará en la próxima "
        u"búsqueda): "_s +
        reason);
  }
}

std::vector<QVariant> listingNumbersOf(const QSqlDatabase& db, const QString& sql,
                                       QString& reason) {
  std::vector<QVariant> listings;
  QSqlQuery query(db);
  query.setForwardOnly(true);
  if (!query.exec(sql)) {
    reason = reasonOf(query.lastError());
    return {};
  }
  while (query.next()) {
    listings.push_back(query.value(0));
  }
  return listings;
}
