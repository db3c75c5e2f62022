#include "support/test_server.h"

#include <QCoreApplication>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

#include <atomic>

using namespace Qt::StringLiterals;

namespace {

QString host() {
  return qEnvironmentVariable("QUILLET_TEST_PGHOST");
}

QString port() {
  return qEnvironmentVariable("QUILLET_TEST_PGPORT", u"5432"_s);
}

QSqlDatabase serverConnection(const QString& connectionName, const QString& database) {
  QSqlDatabase db = QSqlDatabase::addDatabase(u"QPSQL"_s, connectionName);
  db.setHostName(host());
  db.setPort(port().toInt());
  db.setUserName(u"quillet"_s);
  db.setDatabaseName(database);
  db.setConnectOptions(u"connect_timeout=5"_s);
  return db;
}

// Runs sql on database on a connection of its own; the rows, or a test failure.
QStringList runOn(const QString& database, const QStringList& statements, bool* ok = nullptr) {
  static std::atomic<int> counter = 0;
  const QString name = u"test-server-%1"_s.arg(++counter);
  QStringList result;
  bool succeeded = true;
  {
    QSqlDatabase db = serverConnection(name, database);
    if (!db.open()) {
      ADD_FAILURE() << "cannot connect: " << db.lastError().text().toStdString();
      succeeded = false;
    }
    QSqlQuery query(db);
    for (const QString& sql : statements) {
      if (!succeeded) {
        break;
      }
      if (!query.exec(sql)) {
        ADD_FAILURE() << sql.toStdString() << ": " << query.lastError().text().toStdString();
        succeeded = false;
        break;
      }
      while (query.isSelect() && query.next()) {
        QStringList values;
        for (int i = 0; i < query.record().count(); ++i) {
          values.append(query.value(i).toString());
        }
        result.append(values.join(u'|'));
      }
    }
  }
  QSqlDatabase::removeDatabase(name);
  if (ok) {
    *ok = succeeded;
  }
  return result;
}

}  // namespace

QString testServerProblem() {
  if (host().isEmpty()) {
    return u"QUILLET_TEST_PGHOST is not set (scripts/test.sh starts a private server)"_s;
  }
  if (!QSqlDatabase::isDriverAvailable(u"QPSQL"_s)) {
    return u"the QPSQL driver is not installed (libqt6sql6-psql)"_s;
  }
  return {};
}

QString testServerItems() {
  return u"Provider=QPSQL;Host=%1;Port=%2;User ID=quillet;"_s.arg(host(), port());
}

bool execOnServer(const QStringList& statements) {
  bool ok = false;
  runOn(u"postgres"_s, statements, &ok);
  return ok;
}

ServerDatabase::ServerDatabase() {
  static std::atomic<int> counter = 0;
  name_ = u"quillet_test_%1_%2"_s.arg(QCoreApplication::applicationPid()).arg(++counter);
  execOnServer({u"CREATE DATABASE "_s + name_ + u" TEMPLATE template0 ENCODING 'UTF8'"_s});
}

ServerDatabase::~ServerDatabase() {
  execOnServer({u"DROP DATABASE IF EXISTS "_s + name_ + u" WITH (FORCE)"_s});
}

QString ServerDatabase::cadcon() const {
  return testServerItems() + u"Database="_s + name_ + u';';
}

QStringList ServerDatabase::rows(const QString& sql) const {
  return runOn(name_, {sql});
}

bool ServerDatabase::exec(const QStringList& statements) const {
  bool ok = false;
  runOn(name_, statements, &ok);
  return ok;
}

QSqlDatabase ServerDatabase::connection(const QString& connectionName) const {
  return serverConnection(connectionName, name_);
}
