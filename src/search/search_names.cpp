#include "search/search_names.h"

#include <array>

using namespace Qt::StringLiterals;

namespace {

template <typename Value>
struct Named {
  QStringView name;
  Value value;
  QStringView label = {};  // as the search window offers it
};

constexpr std::array kFieldNames = {
    Named<SearchField>{u"todo", SearchField::Todo, u"Todo"},
    Named<SearchField>{u"artista", SearchField::Artista, u"Artista"},
    Named<SearchField>{u"titulo", SearchField::Titulo, u"Título"},
    Named<SearchField>{u"album", SearchField::Album, u"Álbum"},
    Named<SearchField>{u"comentario", SearchField::Comentario, u"Comentario"},
    Named<SearchField>{u"genero", SearchField::Genero, u"Género"},
    Named<SearchField>{u"anyo", SearchField::Anyo, u"Año"},
    Named<SearchField>{u"archivo", SearchField::Archivo, u"Archivo"},
    Named<SearchField>{u"directorio", SearchField::Directorio, u"Directorio"},
    Named<SearchField>{u"listado", SearchField::Listado, u"Listado"},
};

constexpr std::array kMediumNames = {Named<SearchMedium>{u"cd", SearchMedium::CDs},
                                     Named<SearchMedium>{u"dir", SearchMedium::Directorios}};

template <typename Value, std::size_t size>
std::optional<Value> valueNamed(const std::array<Named<Value>, size>& table, QStringView name) {
  for (const Named<Value>& entry : table) {
    if (name == entry.name) {
      return entry.value;
    }
  }
  return std::nullopt;
}

template <typename Value, std::size_t size>
QString nameOf(const std::array<Named<Value>, size>& table, Value value) {
  for (const Named<Value>& entry : table) {
    if (entry.value == value) {
      return entry.name.toString();
    }
  }
  return {};
}

}  // namespace

std::optional<SearchField> searchFieldNamed(QStringView name) {
  return valueNamed(kFieldNames, name);
}

QStringList searchFieldNames() {
  QStringList names;
  for (const Named<SearchField>& field : kFieldNames) {
    names.append(field.name.toString());
  }
  return names;
}

QStringList searchFieldLabels() {
  QStringList labels;
  for (const Named<SearchField>& field : kFieldNames) {
    labels.append(field.label.toString());
  }
  return labels;
}

std::optional<SearchMedium> searchMediumNamed(QStringView name) {
  return valueNamed(kMediumNames, name);
}

QString searchMediumName(SearchMedium medium) {
  return nameOf(kMediumNames, medium);
}
