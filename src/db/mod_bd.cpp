#include "db/mod_bd.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <memory>

#include "base/app_info.h"
#include "base/ini_reader.h"
#include "base/log.h"
#include "db/catalogue_parts.h"
#include "db/db_engine.h"
#include "platform/output_file.h"
#include "platform/posix_file.h"

using namespace Qt::StringLiterals;

namespace {

struct BdState {
  QString path;
  QString prefix;
  std::unique_ptr<DbConnection> connection;
  std::unique_ptr<DbRecordset> recordset;
};

BdState& state() {
  static BdState s;
  return s;
}

// Released when the application object goes, while Qt SQL's own registry still exists; a
// static destructor would run after it, on a program that never reached CloseBd.
void releaseQuietly() {
  state().recordset.reset();
  state().connection.reset();
}

void releaseAtApplicationEnd() {
  static const bool registered = [] {
    qAddPostRoutine(releaseQuietly);
    return true;
  }();
  Q_UNUSED(registered);
}

QString logged(const QString& reason) {
  WriteLog(reason);
  return reason;
}

// The configured engine: a file beside the program, or a server.
const DbEngine& engineOfPrefix(const QString& prefix) {
  return engineFor(parseConnectionString(prefix).provider);
}

const DbEngine& configuredEngine() {
  return engineOfPrefix(state().prefix);
}

QString connectionStringOf(const QString& prefix, const QString& path) {
  return engineOfPrefix(prefix).keepsFile() ? prefix + u" Data Source="_s + path : prefix;
}

// The database as messages name it: the file, or the server and database.
QString whatIsConnected() {
  return configuredEngine().keepsFile()
             ? state().path
             : configuredEngine().describe(parseConnectionString(state().prefix));
}

QString connect() {
  DbConnection& connection = BdConnection();
  const QString connectionString = BdConnectionString();
  QString reason;
  if (!connection.Open(connectionString)) {
    reason = connection.lastError();
  } else if (const QString table = missingCatalogueTable(connection); !table.isEmpty()) {
    connection.Close();
    reason = notACatalogueText(whatIsConnected(), table);
  }
  if (connection.State() == kStateOpen) {
    WriteLog(u"Conexión satisfactoria!"_s);
    return {};
  }
  WriteLog(u"Imposible conectar"_s);
  return reason.isEmpty() ? u"buuu"_s : logged(reason);
}

QString backUpExistingDatabase() {
  const QString backup = UserFile(kBdBackupName.toString());
  QFile::remove(backup);
  QFile database(state().path);
  if (!database.copy(backup)) {
    return u"No se puede hacer la copia de seguridad %1: %2"_s.arg(backup, database.errorString());
  }
  QCoreApplication::processEvents();
  if (!database.remove()) {
    return u"No se puede sustituir %1: %2"_s.arg(state().path, database.errorString());
  }
  return {};
}

// The copy is made whole beside the database and only then takes its name, and only while the
// name is free: two programs starting together on a missing database both end up using the
// one copy that got there first, and neither ever replaces a database that appeared meanwhile.
QString copyTemplate() {
  QFile blank(ProgramFile(kBdTemplateName.toString()));
  if (!blank.exists()) {
    return u"No se encuentra la plantilla de base de datos vacía %1"_s.arg(blank.fileName());
  }
  const auto cannotCopy = [&](const QString& why) {
    return u"No se puede copiar %1 a %2: %3"_s.arg(blank.fileName(), state().path, why);
  };
  if (!blank.open(QIODevice::ReadOnly)) {
    return cannotCopy(blank.errorString());
  }
  const QByteArray bytes = blank.readAll();
  if (blank.error() != QFileDevice::NoError) {
    return cannotCopy(blank.errorString());
  }
  const int error = createFileWhole(QFile::encodeName(state().path), bytes);
  if (error == EEXIST) {
    WriteLog(u"Otro programa acaba de crear %1; se usa esa base de datos"_s.arg(state().path));
    return {};
  }
  if (error != 0) {
    return cannotCopy(systemErrorText(error));
  }
  WriteLog(u"Nueva base de datos vacia generada correctamente (bd-acces2k.blank)"_s);
  return {};
}

}  // namespace

QString BdPath() {
  return state().path;
}

QString BdConnectionPrefix() {
  return state().prefix;
}

QString BdConnectionString() {
  return connectionStringOf(state().prefix, state().path);
}

QString ConfiguredBdConnectionString() {
  return connectionStringOf(ReadConfig(u"bd"_s, u"cadcon"_s), UserFile(kBdFileName.toString()));
}

// A database that opens but lacks one of the tables is not ours, or is damaged.
QString missingCatalogueTable(const DbConnection& connection) {
  const QStringList present = connection.tables();
  for (const QString& table : {u"reports"_s, u"estructdir"_s, u"infoMP3"_s}) {
    if (!present.contains(table, Qt::CaseInsensitive)) {
      return table;
    }
  }
  return {};
}

QString notACatalogueText(const QString& database, const QString& table) {
  return u"%1 no es una base de datos de listados válida o está dañada (no se puede leer "
         u"la tabla %2)"_s.arg(database, table);
}

std::optional<QSqlQuery> BdBoundQuery(const QString& sql, const QVariantList& values,
                                      QString& reason) {
  QSqlQuery query(BdConnection().driverConnection());
  query.setForwardOnly(true);
  query.prepare(sql);
  for (const QVariant& value : values) {
    query.addBindValue(value);
  }
  if (!query.exec()) {
    reason = reasonOf(BdConnection().noteFailure(query.lastError()));
    return std::nullopt;
  }
  return query;
}

DbConnection& BdConnection() {
  if (!state().connection) {
    releaseAtApplicationEnd();
    state().connection = std::make_unique<DbConnection>();
  }
  return *state().connection;
}

DbRecordset& BdRecordset() {
  if (!state().recordset) {
    state().recordset = std::make_unique<DbRecordset>();
  }
  return *state().recordset;
}

QString OpenBd() {
  WriteLog(u"Inicializando conexion BD..."_s);
  state().prefix = ReadConfig(u"bd"_s, u"cadcon"_s);
  if (!configuredEngine().keepsFile()) {
    // A server has no file steps: nothing to copy, nothing to back up.
    state().path.clear();
    BdRecordset().Close();
    WriteLog(u"Conectando con "_s + whatIsConnected());
    WriteLog(u"mediante "_s + configuredEngine().loggable(state().prefix));
    return connect();
  }
  state().path = UserFile(kBdFileName.toString());
  // Not NewBlankBd: a database another program creates meanwhile must be used, not replaced.
  if (!QFileInfo::exists(state().path)) {
    if (const QString failure = copyTemplate(); !failure.isEmpty()) {
      return logged(failure);
    }
  }
  QCoreApplication::processEvents();
  BdRecordset().Close();
  WriteLog(u"Conectando con "_s + state().path);
  WriteLog(u"mediante "_s + state().prefix);
  const QString failure = connect();
  if (failure.isEmpty()) {
    for (const CataloguePart* part : catalogueParts()) {
      part->programCatalogueOpened();
    }
  }
  return failure;
}

QString NewBlankBd() {
  state().path = UserFile(kBdFileName.toString());
  if (QFileInfo::exists(state().path)) {
    if (const QString failure = backUpExistingDatabase(); !failure.isEmpty()) {
      return logged(failure);
    }
  }
  if (const QString failure = copyTemplate(); !failure.isEmpty()) {
    return logged(failure);
  }
  return {};
}

QString OpenBdAtStartUp() {
  if (const QString failure = OpenBd(); !failure.isEmpty()) {
    return failure;
  }
  if (!configuredEngine().keepsFile()) {
    return {};
  }
  return QFileInfo::exists(BdPath()) ? QString() : NewBlankBd();
}

void CloseBd() {
  WriteLog(u"Cerrando posible conjunto de registros abierto"_s);
  if (state().recordset) {
    state().recordset->Close();
    state().recordset.reset();
  }
  WriteLog(u"Cerrando conexion BD"_s);
  if (state().connection) {
    state().connection->Close();
    state().connection.reset();
  }
  WriteLog(u"Conexion BD cerrada satisfactoriamente"_s);
}
