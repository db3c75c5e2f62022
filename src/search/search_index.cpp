#include "search/search_index.h"

#include <QElapsedTimer>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

#include <vector>

#include "app/log.h"
#include "db/mod_bd.h"
#include "search/search_fold.h"
#include "search/search_sql.h"

using namespace Qt::StringLiterals;

namespace {

// Every indexed text ends so that its last one- and two-letter pieces still start a trigram.
const QString kTextEnd = u"\u0001\u0001"_s;

constexpr int kFileTexts = 9;  // artist ... report_name, in the index's column order

class IndexWriter {
 public:
  IndexWriter()
      : db_(BdConnection().driverConnection()),
        files_(db_),
        text_(db_),
        key_(db_),
        forgetText_(db_),
        forgetKey_(db_) {}

  bool prepare() {
    const QStringList forget = sqlForgetListing();
    return prepared(files_, sqlFilesToIndex()) && prepared(text_, sqlIndexText()) &&
           prepared(key_, sqlIndexKey()) && prepared(forgetText_, forget[0]) &&
           prepared(forgetKey_, forget[1]);
  }

  // Forgets what the index holds of the listing; true when done.
  bool forget(const QVariant& rpId) {
    return ran(forgetText_, {{u":rp_id"_s, rpId}}) && ran(forgetKey_, {{u":rp_id"_s, rpId}});
  }

  // Indexes the listing's files as they are stored now.
  bool index(const QVariant& rpId) {
    if (!ran(files_, {{u":rp_id"_s, rpId}})) {
      return false;
    }
    QString listingName;
    QString listingFolded;
    QString dirName;
    QString dirFolded;
    while (files_.next()) {
      // rowid, rp_id, medio, report_name, dirname, filename, artist, title, album, year,
      // track, genre, comment, filegenorder
      const QString report = files_.value(3).toString();
      if (report != listingName || listingFolded.isEmpty()) {
        listingName = report;
        listingFolded = foldText(report) + kTextEnd;
      }
      const QString dir = files_.value(4).toString();
      if (dir != dirName || dirFolded.isEmpty()) {
        dirName = dir;
        dirFolded = foldText(dir) + kTextEnd;
      }
      const QString artist = files_.value(6).toString();
      const QString title = files_.value(7).toString();
      const QString filename = files_.value(5).toString();
      const QVariant rowid = files_.value(0);
      text_.bindValue(0, rowid);
      const int sources[] = {6, 7, 8, 12, 11, 9, 5};  // artist title album comment genre year file
      for (int column = 0; column < 7; ++column) {
        text_.bindValue(column + 1, foldText(files_.value(sources[column]).toString()) + kTextEnd);
      }
      text_.bindValue(8, dirFolded);
      text_.bindValue(9, listingFolded);
      key_.bindValue(0, rowid);
      key_.bindValue(1, files_.value(1));
      const QString dupkey = duplicateKey(artist, title, filename);
      key_.bindValue(2, dupkey.isEmpty() ? QVariant() : QVariant(dupkey));
      if (!text_.exec() || !key_.exec()) {
        reason_ = reasonOf(text_.lastError().isValid() ? text_.lastError() : key_.lastError());
        return false;
      }
      ++filesIndexed_;
    }
    files_.finish();
    return true;
  }

  const QString& reason() const { return reason_; }
  int filesIndexed() const { return filesIndexed_; }

 private:
  bool prepared(QSqlQuery& query, const QString& sql) {
    query.setForwardOnly(true);
    if (!query.prepare(sql)) {
      reason_ = reasonOf(query.lastError());
      return false;
    }
    return true;
  }

  bool ran(QSqlQuery& query, const std::vector<std::pair<QString, QVariant>>& values) {
    for (const auto& [name, value] : values) {
      query.bindValue(name, value);
    }
    if (!query.exec()) {
      reason_ = reasonOf(query.lastError());
      return false;
    }
    return true;
  }

  QSqlDatabase db_;
  QSqlQuery files_;
  QSqlQuery text_;
  QSqlQuery key_;
  QSqlQuery forgetText_;
  QSqlQuery forgetKey_;
  QString reason_;
  int filesIndexed_ = 0;
};

std::vector<QVariant> pendingListings(QString& reason) {
  std::vector<QVariant> listings;
  QSqlQuery query(BdConnection().driverConnection());
  query.setForwardOnly(true);
  if (!query.exec(sqlPendingListings())) {
    reason = reasonOf(query.lastError());
    return {};
  }
  while (query.next()) {
    listings.push_back(query.value(0));
  }
  return listings;
}

bool execute(const QString& sql, QString& reason) {
  if (!BdConnection().Execute(sql)) {
    reason = BdConnection().lastError();
    return false;
  }
  return true;
}

// Indexes the noted listings inside the caller's transaction; every old row of them goes first,
// so a rowid a deleted file leaves behind can be taken by a new one.
QString indexPending(IndexWriter& writer, const StoreProgressFn& progress) {
  QString reason;
  const std::vector<QVariant> listings = pendingListings(reason);
  if (!reason.isEmpty()) {
    return reason;
  }
  if (!writer.prepare()) {
    return writer.reason();
  }
  for (const QVariant& rpId : listings) {
    if (!writer.forget(rpId)) {
      return writer.reason();
    }
  }
  StoreProgress step{u"Indexando listados"_s, 1, static_cast<int>(listings.size()), 0};
  for (const QVariant& rpId : listings) {
    if (!writer.index(rpId)) {
      return writer.reason();
    }
    ++step.stepValue;
    if (progress) {
      progress(step);
    }
  }
  execute(sqlClearPending(), reason);
  return reason;
}

QString createInTransaction(const StoreProgressFn& progress, int& files) {
  ScopedTransaction transaction(BdConnection());
  if (!transaction.started()) {
    return BdConnection().lastError();
  }
  QString reason;
  const QStringList statements = sqlCreateSearchIndex();
  if (statements.isEmpty()) {
    return u"falta la definición del índice de búsqueda en el programa"_s;
  }
  for (const QString& statement : statements) {
    if (!execute(statement, reason)) {
      return reason;
    }
  }
  if (!execute(sqlNoteEveryListing(), reason)) {
    return reason;
  }
  IndexWriter writer;
  if (reason = indexPending(writer, progress); !reason.isEmpty()) {
    return reason;
  }
  files = writer.filesIndexed();
  return transaction.Commit() ? QString() : BdConnection().lastError();
}

}  // namespace

bool hasSearchIndex() {
  QSqlQuery query(BdConnection().driverConnection());
  if (!query.exec(sqlSchemaVersion()) || !query.next() ||
      query.value(0).toInt() < kSearchSchemaVersion) {
    return false;
  }
  return query.exec(sqlSearchIndexPresent()) && query.next() && query.value(0).toInt() == 4;
}

QString createSearchIndex(const StoreProgressFn& progress) {
  QElapsedTimer clock;
  clock.start();
  int files = 0;
  const QString reason = createInTransaction(progress, files);
  if (!reason.isEmpty()) {
    WriteLog(u"No se ha podido crear el índice de búsqueda de la BD: "_s + reason);
    return reason;
  }
  WriteLog(u"Creado el índice de búsqueda de la BD: %1 archivos en %2 s"_s.arg(files).arg(
      clock.elapsed() / 1000.0, 0, 'f', 1));
  return {};
}

QString updateSearchIndex() {
  if (!hasSearchIndex()) {
    return createSearchIndex();
  }
  // Most searches find nothing noted, and need not write at all.
  QSqlQuery noted(BdConnection().driverConnection());
  if (noted.exec(sqlPendingListings()) && !noted.next() && !noted.lastError().isValid()) {
    return {};
  }
  noted.finish();
  ScopedTransaction transaction(BdConnection());
  if (!transaction.started()) {
    return BdConnection().lastError();
  }
  IndexWriter writer;
  if (const QString reason = indexPending(writer, {}); !reason.isEmpty()) {
    return reason;
  }
  return transaction.Commit() ? QString() : BdConnection().lastError();
}

QString duplicateKey(const QString& artist, const QString& title, const QString& filename) {
  const QString foldedArtist = foldText(artist).trimmed();
  const QString foldedTitle = foldText(title).trimmed();
  if (!foldedArtist.isEmpty() && !foldedTitle.isEmpty()) {
    return foldedArtist + u'\u001F' + foldedTitle;
  }
  return foldText(filename);
}
