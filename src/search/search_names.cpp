#include "search/search_names.h"

#include <array>

using namespace Qt::StringLiterals;

namespace {

struct FieldName {
  QStringView name;
  SearchField field;
  QStringView label;  // as the search window offers it
};

constexpr std::array kFieldNames = {
    FieldName{u"todo", SearchField::Todo, u"Todo"},
    FieldName{u"artista", SearchField::Artista, u"Artista"},
    FieldName{u"titulo", SearchField::Titulo, u"Título"},
    FieldName{u"album", SearchField::Album, u"Álbum"},
    FieldName{u"comentario", SearchField::Comentario, u"Comentario"},
    FieldName{u"genero", SearchField::Genero, u"Género"},
    FieldName{u"anyo", SearchField::Anyo, u"Año"},
    FieldName{u"archivo", SearchField::Archivo, u"Archivo"},
    FieldName{u"directorio", SearchField::Directorio, u"Directorio"},
    FieldName{u"listado", SearchField::Listado, u"Listado"},
};

}  // namespace

std::optional<SearchField> searchFieldNamed(QStringView name) {
  for (const FieldName& field : kFieldNames) {
    if (name == field.name) {
      return field.field;
    }
  }
  return std::nullopt;
}

QString searchFieldName(SearchField field) {
  for (const FieldName& named : kFieldNames) {
    if (named.field == field) {
      return named.name.toString();
    }
  }
  return {};
}

QStringList searchFieldNames() {
  QStringList names;
  for (const FieldName& field : kFieldNames) {
    names.append(field.name.toString());
  }
  return names;
}

QStringList searchFieldLabels() {
  QStringList labels;
  for (const FieldName& field : kFieldNames) {
    labels.append(field.label.toString());
  }
  return labels;
}

std::optional<SearchMedium> searchMediumNamed(QStringView name) {
  if (name == u"cd") {
    return SearchMedium::CDs;
  }
  if (name == u"dir") {
    return SearchMedium::Directorios;
  }
  return std::nullopt;
}
