#include "cli/cli_props.h"

#include <array>

#include "cli/cli_database.h"
#include "cli/cli_stored.h"
#include "db/listing_details.h"
#include "db/listing_properties.h"

using namespace Qt::StringLiterals;

namespace {

// Each option that sets a field, and the field it sets.
struct PropertyOption {
  const char* name;
  std::optional<QString> PropertyChanges::*field;
};

constexpr std::array kPropertyOptions = {
    PropertyOption{"--ubicacion", &PropertyChanges::ubicacion},
    PropertyOption{"--categoria", &PropertyChanges::categoria},
    PropertyOption{"--comentario", &PropertyChanges::comentario},
    PropertyOption{"--prestado-a", &PropertyChanges::prestadoA},
};

// The changes the options ask for; nothing when none is given.
std::optional<PropertyChanges> changesFrom(const ParsedArguments& parsed) {
  PropertyChanges changes;
  bool any = false;
  for (const PropertyOption& option : kPropertyOptions) {
    if (const auto given = parsed.options.find(option.name); given != parsed.options.end()) {
      changes.*option.field = argumentText(given->second);
      any = true;
    }
  }
  return any ? std::optional(changes) : std::nullopt;
}

QString line(const QString& key, const QString& value) {
  return key + u'\t' + onOneLine(value) + u'\n';
}

QString fieldsText(const ListingProperties& fields) {
  return line(u"ubicacion"_s, fields.ubicacion) + line(u"categoria"_s, fields.categoria) +
         line(u"comentario"_s, fields.comentario) + line(u"prestado_a"_s, fields.prestadoA) +
         line(u"prestado_el"_s, fields.prestadoEl);
}

// The recorded source's lines; none, with an aviso, when the catalogue cannot say.
QString sourceText(int number) {
  QString error;
  const std::optional<StoredSource> source = storedSourceOf(number, error);
  if (!error.isEmpty()) {
    printError(u"aviso: no se puede leer el origen del listado número %1: %2"_s.arg(
        QString::number(number), error));
  }
  QString text;
  for (const SourceDetail& detail : source ? sourceDetails(*source) : std::vector<SourceDetail>()) {
    text += line(detail.key, detail.value);
  }
  return text;
}

int showProperties(int number) {
  QString error;
  const std::optional<ListingProperties> fields = readListingProperties(number, error);
  if (!fields) {
    printError(u"no se pueden leer las propiedades del listado número %1: %2"_s.arg(
        QString::number(number), error));
    return kExitFailure;
  }
  printText(line(u"numero"_s, QString::number(number)) + fieldsText(*fields) + sourceText(number));
  return kExitOk;
}

int setProperties(int number, const PropertyChanges& changes) {
  if (const QString error = writeListingProperties(number, changes); !error.isEmpty()) {
    printError(u"no se han podido guardar las propiedades del listado número %1: %2"_s.arg(
        QString::number(number), error));
    return kExitFailure;
  }
  return kExitOk;
}

}  // namespace

int runPropsVerb(const ParsedArguments& parsed) {
  int number = 0;
  if (const QString error = listingNumberFrom(parsed, number); !error.isEmpty()) {
    return usageError("props", error);
  }
  const std::optional<PropertyChanges> changes = changesFrom(parsed);
  return withDatabase([&] {
    if (const int missing = requireStoredListing(number); missing != kExitOk) {
      return missing;
    }
    return changes ? setProperties(number, *changes) : showProperties(number);
  });
}

OptionNames propsOptions() {
  OptionNames names;
  for (const PropertyOption& option : kPropertyOptions) {
    names.values.emplace_back(option.name);
  }
  return names;
}

QString propsHelp() {
  return u"Uso: quillet props N [--ubicacion TEXTO] [--categoria TEXTO] [--comentario TEXTO]\n"
         u"                     [--prestado-a TEXTO]\n"
         u"\n"
         u"Sin opciones, escribe las propiedades del listado almacenado con el número N (véase\n"
         u"«quillet list»), una por línea: la clave, un tabulador y el valor. Primero numero,\n"
         u"ubicacion, categoria, comentario, prestado_a y prestado_el (la fecha del préstamo);\n"
         u"después, si se guardó el origen del listado, sus fechas (catalogado, actualizado) y\n"
         u"su identidad (ruta, tipo_fs, etiqueta, uuid, tamano, ruta_relativa, firma, opciones,\n"
         u"version_lectores).\n"
         u"\n"
         u"Con alguna opción, guarda esas propiedades y deja las demás como están; un TEXTO\n"
         u"vacío (--ubicacion \"\") la borra. Dar a quién se presta anota la fecha de hoy como\n"
         u"la del préstamo.\n"
         u"\n"
         u"Opciones:\n"
         u"  --ubicacion TEXTO    dónde se guarda el disco («Caja 3»)\n"
         u"  --categoria TEXTO    su categoría\n"
         u"  --comentario TEXTO   un comentario\n"
         u"  --prestado-a TEXTO   a quién se ha prestado\n"_s +
         helpOptionLine() +
         u"\n"
         u"Salida: 0 si todo fue bien, 1 si no hay ningún listado N o la base de datos no se\n"
         u"puede usar, 2 si la orden está mal escrita.\n"_s;
}
