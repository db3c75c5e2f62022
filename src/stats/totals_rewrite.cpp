#include "stats/totals_rewrite.h"

#include <QSqlError>
#include <QSqlQuery>

#include <array>
#include <map>
#include <optional>
#include <utility>
#include <vector>

#include "db/bound_query.h"
#include "db/db_failure.h"
#include "db/rows_in_place.h"
#include "search/search_index.h"
#include "search/search_sql.h"
#include "stats/stats_sql.h"
#include "stats/stats_totals.h"

using namespace Qt::StringLiterals;

namespace {

std::optional<QString> textOf(const QVariant& value) {
  return value.isNull() ? std::nullopt : std::optional(value.toString());
}

QVariant valueOf(const std::optional<QString>& text) {
  return text ? QVariant(*text) : QVariant(QMetaType::fromType<QString>());
}

// The rows of one totals table of the listing, by the two texts that name them (a null apart
// from an empty text, as the grouping that made them keeps it).
class TotalsTable {
 public:
  explicit TotalsTable(TotalsTableSql sql) : sql_(std::move(sql)) {}

  QString read(const QSqlDatabase& db, int rpId) {
    QSqlQuery rows(db);
    rows.setForwardOnly(true);
    if (!rows.exec(sql_.rowsOf(rpId))) {
      return reasonOf(rows.lastError());
    }
    while (rows.next()) {
      Row& row = rows_[keyOf(rows, 1)];
      row.rowid = rows.value(0).toLongLong();
      row.counts = countsOf(rows, 3);
    }
    return {};
  }

  // Adds sign times what the files numbered in numbers count.
  QString count(const QSqlDatabase& db, int rpId, const QString& numbers, int sign) {
    QSqlQuery groups(db);
    groups.setForwardOnly(true);
    if (!groups.exec(sql_.ofFiles(rpId, numbers))) {
      return reasonOf(groups.lastError());
    }
    while (groups.next()) {
      Row& row = rows_[keyOf(groups, 0)];
      const std::array<qint64, 3> counts = countsOf(groups, 2);
      for (std::size_t at = 0; at < counts.size(); ++at) {
        row.counts[at] += sign * counts[at];
      }
      row.changed = true;
    }
    return {};
  }

  // The rows changed: updated, inserted, or deleted when no file is left in them (files, the
  // first count, is never 0 in a row kept).
  QString write(const QSqlDatabase& db, int rpId) const {
    QSqlQuery update(db);
    QSqlQuery insert(db);
    QSqlQuery remove(db);
    for (auto [query, sql] : {std::pair{&update, sql_.update()}, std::pair{&insert, sql_.insert()},
                              std::pair{&remove, sql_.remove()}}) {
      if (!query->prepare(sql)) {
        return reasonOf(query->lastError());
      }
    }
    QString reason;
    const auto run = [&reason](QSqlQuery& query, const QVariantList& values) {
      if (!execBound(query, values)) {
        reason = reasonOf(query.lastError());
      }
      return reason.isEmpty();
    };
    for (const auto& [key, row] : rows_) {
      if (!row.changed || (row.rowid == 0 && row.counts[0] == 0)) {
        continue;
      }
      const QVariantList named{rpId, valueOf(key.first), valueOf(key.second)};
      const bool ran = row.counts[0] == 0 ? run(remove, {row.rowid})
                       : row.rowid == 0   ? run(insert, named + countsOf(row))
                                          : run(update, countsOf(row) + QVariantList{row.rowid});
      if (!ran) {
        return reason;
      }
    }
    return {};
  }

 private:
  struct Row {
    qint64 rowid = 0;
    std::array<qint64, 3> counts{};
    bool changed = false;
  };
  using Key = std::pair<std::optional<QString>, std::optional<QString>>;

  static Key keyOf(const QSqlQuery& row, int at) {
    return {textOf(row.value(at)), textOf(row.value(at + 1))};
  }

  QVariantList countsOf(const Row& row) const {
    QVariantList counts;
    for (qsizetype at = 0; at < sql_.counts.size(); ++at) {
      counts.append(row.counts[static_cast<std::size_t>(at)]);
    }
    return counts;
  }

  std::array<qint64, 3> countsOf(const QSqlQuery& row, int at) const {
    std::array<qint64, 3> counts{};
    for (int column = 0; column < sql_.counts.size(); ++column) {
      counts[static_cast<std::size_t>(column)] = row.value(at + column).toLongLong();
    }
    return counts;
  }

  const TotalsTableSql sql_;
  std::map<Key, Row> rows_;
};

class TotalsRewrite : public ListingRewrite {
 public:
  explicit TotalsRewrite(int rpId) : rpId_(rpId), db_(searchConnection().driverConnection()) {
    for (TotalsTableSql& sql : sqlTotalsTables()) {
      tables_.emplace_back(std::move(sql));
    }
  }

  QString start() {
    QSqlQuery current(db_);
    if (!current.exec(sqlListingTotalsCurrent(rpId_, sqlPendingListings()))) {
      return reasonOf(current.lastError());
    }
    const bool standing = current.next();
    current.finish();
    if (!standing) {
      if (const QString reason = TotalsWriter(db_).refresh(rpId_); !reason.isEmpty()) {
        return reason;
      }
    }
    for (TotalsTable& table : tables_) {
      if (const QString reason = table.read(db_, rpId_); !reason.isEmpty()) {
        return reason;
      }
    }
    return {};
  }

  QString rowsGoing(const std::vector<int>& going) override { return count(going, -1); }

  QString rowsAdded(const std::vector<int>& added) override {
    QString reason = count(added, 1);
    for (auto table = tables_.begin(); reason.isEmpty() && table != tables_.end(); ++table) {
      reason = table->write(db_, rpId_);
    }
    // The directories are written again whole: their count is read again.
    for (const QString& sql : sqlRefreshListingRow(QString::number(rpId_))) {
      QSqlQuery query(db_);
      if (reason.isEmpty() && !query.exec(sql)) {
        reason = reasonOf(query.lastError());
      }
    }
    return reason;
  }

 private:
  QString count(const std::vector<int>& numbers, int sign) {
    for (const QString& list : numberLists(numbers)) {
      for (TotalsTable& table : tables_) {
        if (const QString reason = table.count(db_, rpId_, list, sign); !reason.isEmpty()) {
          return reason;
        }
      }
    }
    return {};
  }

  const int rpId_;
  const QSqlDatabase db_;
  std::vector<TotalsTable> tables_;
};

}  // namespace

std::unique_ptr<ListingRewrite> followTotalsRewrite(int rpId, QString& reason) {
  if (!totalsKeptByProgram() || !TotalsWriter(searchConnection().driverConnection()).present()) {
    return nullptr;
  }
  auto rewrite = std::make_unique<TotalsRewrite>(rpId);
  reason = rewrite->start();
  return reason.isEmpty() ? std::move(rewrite) : nullptr;
}
