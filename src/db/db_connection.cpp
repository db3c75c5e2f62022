#include "db/db_connection.h"

#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QThread>

#include "db/connection_string.h"
#include "db/db_engine.h"
#include "db/sql_catalogue.h"

#include <atomic>
#include <limits>

using namespace Qt::StringLiterals;

namespace {

StatementHook& statementHook() {
  static StatementHook hook;
  return hook;
}

// Each connection registers under its own name, so several can live in one process.
QString newConnectionName() {
  static std::atomic<int> counter = 0;
  return u"quillet-bd-%1"_s.arg(++counter);
}

QString busyText(int waitMs) {
  const QString wait =
      waitMs % 1000 == 0 ? u"%1 segundos"_s.arg(waitMs / 1000) : u"%1 milisegundos"_s.arg(waitMs);
  return u"La BD está ocupada: otro programa la está modificando y no ha terminado en %1"_s.arg(
      wait);
}

}  // namespace

void setStatementHook(StatementHook hook) {
  statementHook() = std::move(hook);
}

DbConnection::DbConnection() : name_(newConnectionName()) {}

DbConnection::~DbConnection() {
  Close();
}

bool DbConnection::Open(const QString& connectionString) {
  Close();
  connectionString_.clear();
  ConnectionParts parts = parseConnectionString(connectionString);
  if (const QString problem = providerProblem(parts.provider); !problem.isEmpty()) {
    return fail(problem);
  }
  engine_ = &engineFor(parts.provider);
  parts.options = engine_->connectOptions(parts.options);
  busyWaitMs_ = engine_->busyWaitMs(parts.options);
  // A server that cannot be reached now may be later, and a file closed under a use is opened
  // again: the next use tries again.
  connectionString_ = connectionString;
  // The driver's handle is let go before a failed database is closed and removed.
  const QString problem = openDriver(parts);
  if (!problem.isEmpty()) {
    Close();
    return fail(problem);
  }
  return true;
}

QString DbConnection::openDriver(const ConnectionParts& parts) {
  madeOn_ = QThread::currentThread();
  QSqlDatabase db = QSqlDatabase::addDatabase(parts.provider, name_);
  if (QString problem = engine_->configure(db, parts); !problem.isEmpty()) {
    return problem;
  }
  if (!db.open()) {
    return engine_->openFailure(db.lastError(), parts);
  }
  return engine_->prepare(db);
}

void DbConnection::tuneForServing() {
  if (State() == kStateOpen) {
    QSqlDatabase db = driverConnection();
    engine_->tuneForServing(db);
  }
}

bool DbConnection::ensureOpen() {
  if (State() == kStateOpen) {
    return true;
  }
  if (connectionString_.isEmpty()) {
    return fail(u"La conexión con la BD no está abierta"_s);
  }
  const QString connectionString = connectionString_;
  return OpenExisting(connectionString);
}

bool DbConnection::OpenExisting(const QString& connectionString) {
  // The driver would make an empty file in place of one that went: the catalogue is never
  // replaced behind the user's back.
  const ConnectionParts parts = parseConnectionString(connectionString);
  if (providerProblem(parts.provider).isEmpty() && engineFor(parts.provider).keepsFile() &&
      !QFileInfo::exists(parts.dataSource)) {
    return fail(u"No se encuentra la BD %1"_s.arg(parts.dataSource));
  }
  return Open(connectionString);
}

int DbConnection::State() const {
  return QSqlDatabase::contains(name_) && QSqlDatabase::database(name_, false).isOpen()
             ? kStateOpen
             : kStateClosed;
}

bool DbConnection::Execute(const QString& sql) {
  return run(sql).has_value();
}

bool DbConnection::ForEachRow(const QString& sql,
                              const std::function<void(const QSqlRecord& row)>& row) {
  std::optional<QSqlQuery> query = run(sql);
  if (!query) {
    return false;
  }
  while (query->next()) {
    row(query->record());
  }
  return !query->lastError().isValid() || fail(query->lastError());
}

void DbConnection::Close() {
  if (!QSqlDatabase::contains(name_)) {
    return;
  }
  // Qt hands a thread only the connections it made: one another thread made (a web server's,
  // its thread gone by now) is let go unasked, and its driver closes it as it goes.
  if (madeOn_ == QThread::currentThread()) {
    QSqlDatabase::database(name_, false).close();
  }
  QSqlDatabase::removeDatabase(name_);
}

bool DbConnection::BeginTrans() {
  if (!ensureOpen()) {
    return false;
  }
  QSqlDatabase db = QSqlDatabase::database(name_, false);
  const QSqlError error = engine_->beginWrite(db);
  return !error.isValid() || fail(error);
}

bool DbConnection::CommitTrans() {
  if (State() != kStateOpen) {
    return fail(u"La conexión con la BD no está abierta"_s);
  }
  QSqlDatabase db = QSqlDatabase::database(name_, false);
  if (db.commit()) {
    return true;
  }
  const QSqlError error = db.lastError();
  fail(error);
  if (State() != kStateOpen) {
    // The commit may have reached the server before the connection went: sending the work
    // again could store it twice.
    lastError_ =
        u"Se ha perdido la conexión con el servidor de la BD al confirmar la operación: puede "
        u"que se haya hecho; compruébelo antes de repetirla (%1)"_s.arg(reasonOf(error));
  }
  return false;
}

void DbConnection::RollbackTrans() {
  if (State() == kStateOpen) {
    QSqlDatabase::database(name_, false).rollback();
  }
}

QStringList DbConnection::tables() const {
  return State() == kStateOpen ? QSqlDatabase::database(name_, false).tables() : QStringList();
}

bool DbConnection::reconnects() const {
  return !connectionString_.isEmpty() && engine_ && !engine_->keepsFile();
}

int DbConnection::rowsPerInsert() const {
  return engine_ ? engine_->rowsPerInsert() : 1;
}

std::function<void()> DbConnection::interrupter() const {
  return State() == kStateOpen ? engine_->interrupter(driverConnection()) : nullptr;
}

QSqlDatabase DbConnection::driverConnection() const {
  return QSqlDatabase::database(name_, false);
}

// The one way a statement reaches the database.
std::optional<QSqlQuery> DbConnection::run(const QString& sql) {
  if (!ensureOpen()) {
    return std::nullopt;
  }
  showToHook(sql);
  QSqlQuery query(QSqlDatabase::database(name_, false));
  query.setForwardOnly(true);
  if (!query.exec(sql)) {
    fail(query.lastError());
    return std::nullopt;
  }
  return query;
}

void DbConnection::showToHook(const QString& sql) const {
  if (statementHook()) {
    statementHook()(sql);
  }
}

bool DbConnection::fail(const QString& reason) {
  lastError_ = reason;
  return false;
}

bool DbConnection::fail(const QSqlError& error) {
  if (engine_ && QSqlDatabase::contains(name_) &&
      engine_->isConnectionLost(QSqlDatabase::database(name_, false), error)) {
    // Whatever the transaction held is gone with the connection; the next use reconnects.
    // Closed, not removed: the failed statement may still hold the driver.
    QSqlDatabase::database(name_, false).close();
    return fail(
        u"Se ha perdido la conexión con el servidor de la BD; la operación no se ha "
        u"hecho (%1)"_s.arg(reasonOf(error)));
  }
  return fail(engine_ && engine_->isBusy(error) ? busyText(busyWaitMs_) : reasonOf(error));
}

QSqlError DbConnection::noteFailure(const QSqlError& error) {
  fail(error);
  return error;
}

bool DbRecordset::Open(const QString& sql, DbConnection& connection) {
  Close();
  std::optional<QSqlQuery> query = connection.run(sql);
  if (!query) {
    return false;
  }
  while (query->next()) {
    rows_.push_back(query->record());
  }
  if (query->lastError().isValid()) {
    rows_.clear();
    return connection.fail(query->lastError());
  }
  open_ = true;
  return true;
}

QVariant DbRecordset::Fields(const QString& name) const {
  const QSqlRecord* row = currentRow();
  return row && row->contains(name) ? row->value(name) : QVariant();
}

QVariant DbRecordset::Fields(int position) const {
  const QSqlRecord* row = currentRow();
  return row && position >= 0 && position < row->count() ? row->value(position) : QVariant();
}

void DbRecordset::MoveNext() {
  if (current_ < rows_.size()) {
    ++current_;
  }
}

void DbRecordset::Close() {
  rows_.clear();
  current_ = 0;
  open_ = false;
}

const QSqlRecord* DbRecordset::currentRow() const {
  return open_ && current_ < rows_.size() ? &rows_[current_] : nullptr;
}

bool DbRowInserter::Insert(const SqlRow& row) {
  if (!connection_.ensureOpen()) {
    return false;
  }
  // Written out only for a hook: composing the text is what binding the values saves.
  if (statementHook()) {
    connection_.showToHook(row.literal());
  }
  if (rowsPerInsert_ > 1) {
    return gather(row);
  }
  if (!prepareFor(row)) {
    return false;
  }
  for (qsizetype column = 0; column < row.values.size(); ++column) {
    query_->bindValue(static_cast<int>(column), row.values[column]);
  }
  return query_->exec() || connection_.fail(query_->lastError());
}

// A row for another table first writes the rows gathered for the last one. Gathered rows are
// written in as text, as a statement a row was: what a lost connection tells comes back alike.
bool DbRowInserter::gather(const SqlRow& row) {
  if (row.table != table_ && !Flush()) {
    return false;
  }
  table_ = row.table;
  const QString literal = row.literal();
  gathered_.append(literal.mid(literal.indexOf(u'(')));
  return gathered_.size() < rowsPerInsert_ || Flush();
}

bool DbRowInserter::Flush() {
  if (gathered_.isEmpty()) {
    return true;
  }
  const QString sql = u"INSERT INTO "_s + table_ + u" VALUES "_s + gathered_.join(u',');
  gathered_.clear();
  QSqlQuery query(connection_.driverConnection());
  return query.exec(sql) || connection_.fail(query.lastError());
}

bool DbRowInserter::prepareFor(const SqlRow& row) {
  if (query_ && row.table == table_ && row.values.size() == columns_) {
    return true;
  }
  query_.emplace(connection_.driverConnection());
  if (!query_->prepare(row.prepared())) {
    const QSqlError error = query_->lastError();
    query_.reset();
    return connection_.fail(error);
  }
  table_ = row.table;
  columns_ = row.values.size();
  return true;
}

ScopedTransaction::ScopedTransaction(DbConnection& connection)
    : connection_(connection), started_(connection.BeginTrans()) {}

ScopedTransaction::~ScopedTransaction() {
  if (started_ && !committed_) {
    connection_.RollbackTrans();
  }
}

bool ScopedTransaction::Commit() {
  committed_ = started_ && connection_.CommitTrans();
  return committed_;
}

std::optional<int> toInt32(const QVariant& value) {
  bool ok = false;
  const qlonglong number = value.toLongLong(&ok);
  if (value.isNull() || !ok || number < std::numeric_limits<int>::min() ||
      number > std::numeric_limits<int>::max()) {
    return std::nullopt;
  }
  return static_cast<int>(number);
}
