#include "db/bound_query.h"

#include <QSqlError>
#include <QSqlQuery>

#include "db/mod_bd.h"

bool execBound(QSqlQuery& query, const QVariantList& values) {
  for (const QVariant& value : values) {
    query.addBindValue(value);
  }
  return query.exec();
}

QVariant textOrNull(const QString& text) {
  return text.isEmpty() ? QVariant() : QVariant(text);
}

QString reasonOfBdQuery(const QSqlQuery& query) {
  return reasonOf(BdConnection().noteFailure(query.lastError()));
}
