#include "web/web_params.h"

#include <limits>

#include "search/search_names.h"

using namespace Qt::StringLiterals;

namespace {

// Only digits, so "+3", " 3" and "3.0" are refused as a browser would never send them.
std::optional<qint64> wholeNumber(const QString& text, qint64 highest) {
  if (text.isEmpty() || text.size() > 18 || !std::all_of(text.cbegin(), text.cend(), [](QChar c) {
        return c.isDigit() && c < u'\x80';
      })) {
    return std::nullopt;
  }
  const qint64 value = text.toLongLong();
  return value >= 1 && value <= highest ? std::optional(value) : std::nullopt;
}

}  // namespace

std::optional<qint64> pageParameter(const WebRequest& request, QString& error) {
  if (!request.query.hasQueryItem(u"pagina"_s)) {
    return 1;
  }
  const QString text = queryValue(request, u"pagina"_s);
  std::optional<qint64> page = wholeNumber(text, std::numeric_limits<qint64>::max());
  if (!page) {
    error = u"Número de página no válido: %1 (ha de ser un número mayor que 0)"_s.arg(text);
  }
  return page;
}

bool pageInRange(qint64 page, qint64 pages, QString& error) {
  if (page <= pages) {
    return true;
  }
  error = u"No hay página %1: el resultado tiene %2"_s.arg(page).arg(
      pages == 1 ? u"una sola página"_s : u"%1 páginas"_s.arg(pages));
  return false;
}

qint64 pageCount(qint64 rows, int perPage) {
  return std::max<qint64>(1, (rows + perPage - 1) / perPage);
}

std::optional<SearchField> fieldParameter(const WebRequest& request, QString& error) {
  const QString name = queryValue(request, u"en"_s);
  if (name.isEmpty()) {
    return SearchField::Todo;
  }
  std::optional<SearchField> field = searchFieldNamed(name);
  if (!field) {
    error = u"Campo no válido: %1 (ha de ser %2)"_s.arg(name, searchFieldNames().join(u", "_s));
  }
  return field;
}

std::optional<SearchMedium> mediumParameter(const WebRequest& request, QString& error) {
  const QString name = queryValue(request, u"medio"_s);
  if (name.isEmpty() || name == u"todos"_s) {
    return SearchMedium::Todos;
  }
  std::optional<SearchMedium> medium = searchMediumNamed(name);
  if (!medium) {
    error = u"Medio no válido: %1 (ha de ser todos, cd o dir)"_s.arg(name);
  }
  return medium;
}

QString mediumValue(SearchMedium medium) {
  switch (medium) {
    case SearchMedium::CDs:
      return u"cd"_s;
    case SearchMedium::Directorios:
      return u"dir"_s;
    case SearchMedium::Todos:
      break;
  }
  return {};
}

std::optional<int> listingNumberOf(const QString& piece, QString& error) {
  std::optional<qint64> number = wholeNumber(piece, std::numeric_limits<int>::max());
  if (!number) {
    error = u"Número de listado no válido: %1"_s.arg(piece);
    return std::nullopt;
  }
  return static_cast<int>(*number);
}
