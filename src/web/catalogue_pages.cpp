#include "web/catalogue_pages.h"

#include "db/db_connection.h"
#include "db/mod_bd.h"
#include "search/search_index.h"
#include "web/web_html.h"
#include "web/web_pages.h"

using namespace Qt::StringLiterals;

namespace {

// A file that is not there is never made: the driver would make an empty one.
QString openReadOnly(DbConnection& connection, const QString& connectionString) {
  if (!connection.OpenExisting(connectionString)) {
    return connection.lastError();
  }
  if (const QString table = missingCatalogueTable(connection); !table.isEmpty()) {
    connection.Close();
    return notACatalogueText(parseConnectionString(connectionString).dataSource, table);
  }
  connection.tuneForServing();
  return {};
}

// The path's piece after prefix ("/listado/" of "/listado/12"), or nothing.
std::optional<QString> pieceAfter(const QString& path, const QString& prefix) {
  return path.startsWith(prefix) ? std::optional(path.mid(prefix.size())) : std::nullopt;
}

WebResponse routed(const WebRequest& request) {
  const QString& path = request.path;
  if (path == u"/"_s) {
    return homePage(request);
  }
  if (path == u"/buscar"_s || path == u"/api/buscar"_s) {
    return searchPage(request, path.startsWith(u"/api/"_s));
  }
  if (path == u"/duplicados"_s) {
    return duplicatesPage(request);
  }
  if (path == u"/estadisticas"_s) {
    return statsPage(request);
  }
  if (const std::optional<QString> number = pieceAfter(path, u"/listado/"_s)) {
    return listingPage(request, *number, false);
  }
  if (const std::optional<QString> number = pieceAfter(path, u"/api/listado/"_s)) {
    return listingPage(request, *number, true);
  }
  return errorPage(404, u"No existe la página %1"_s.arg(path));
}

}  // namespace

CataloguePages::CataloguePages() : CataloguePages(Checked{}) {
  threadConnection(openFailure_);
}

CataloguePages::CataloguePages(Checked)
    : connectionString_(readOnlyConnectionString(ConfiguredBdConnectionString())) {}

CataloguePages::~CataloguePages() = default;

QString CataloguePages::readFailure() {
  DbConnection connection;
  return openReadOnly(connection, readOnlyConnectionString(ConfiguredBdConnectionString()));
}

DbConnection* CataloguePages::threadConnection(QString& reason) const {
  DbConnection* connection = nullptr;
  {
    const std::lock_guard lock(mutex_);
    std::unique_ptr<DbConnection>& own = connections_[std::this_thread::get_id()];
    if (!own) {
      own = std::make_unique<DbConnection>();
    }
    connection = own.get();
  }
  // Opened, or opened again after a server was lost, outside the lock: each thread's own.
  if (connection->State() != kStateOpen) {
    reason = openReadOnly(*connection, connectionString_);
  }
  return reason.isEmpty() ? connection : nullptr;
}

WebResponse CataloguePages::answer(const WebRequest& request) const {
  if (request.path == u"/estilo.css"_s) {
    return styleSheet();
  }
  QString reason;
  DbConnection* connection = threadConnection(reason);
  if (!connection) {
    const bool json = request.path.startsWith(u"/api/"_s);
    return json ? jsonError(503, reason) : errorPage(503, reason);
  }
  const SearchConnectionScope scope(*connection);
  return routed(request);
}
