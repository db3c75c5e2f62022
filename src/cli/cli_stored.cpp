#include "cli/cli_stored.h"

#include <algorithm>
#include <limits>
#include <memory>

#include "cli/cli_database.h"
#include "cli/cli_listing_output.h"
#include "db/listing_details.h"
#include "db/listing_load.h"
#include "db/stored_listings.h"
#include "output/listing_table.h"

using namespace Qt::StringLiterals;

namespace {

// A listing number as typed: decimal digits only, within the numbers a listing can have.
std::optional<int> listingNumberOf(const QByteArray& text) {
  const bool digits = !text.isEmpty() && std::all_of(text.cbegin(), text.cend(),
                                                     [](char c) { return c >= '0' && c <= '9'; });
  bool ok = false;
  const int number = digits ? text.toInt(&ok) : 0;
  if (!ok || number < 1) {
    return std::nullopt;
  }
  return number;
}

// The one positional argument of show and delete; a Spanish usage error otherwise.
}  // namespace

QString listingNumberFrom(const ParsedArguments& parsed, int& number) {
  if (parsed.positional.empty()) {
    return u"falta el número del listado"_s;
  }
  if (parsed.positional.size() > 1) {
    return u"sobra el argumento %1"_s.arg(argumentText(parsed.positional[1]));
  }
  const std::optional<int> parsedNumber = listingNumberOf(parsed.positional.front());
  if (!parsedNumber) {
    return u"número de listado no válido: %1 (ha de ser un número del 1 al %2)"_s.arg(
        argumentText(parsed.positional.front()), QString::number(std::numeric_limits<int>::max()));
  }
  number = *parsedNumber;
  return {};
}

namespace {

struct ListLine {
  int number;
  QString medium;
  QString name;
};

QString listText(const StoredListings& listings) {
  std::vector<ListLine> lines;
  for (const StoredListing& cd : listings.cds) {
    lines.push_back({cd.rp_id, u"CD"_s, cd.report_name});
  }
  for (const StoredListing& dir : listings.directories) {
    lines.push_back({dir.rp_id, u"DIR"_s, dir.report_name});
  }
  std::sort(lines.begin(), lines.end(),
            [](const ListLine& a, const ListLine& b) { return a.number < b.number; });
  QString text;
  for (const ListLine& line : lines) {
    text +=
        QString::number(line.number) + u'\t' + line.medium + u'\t' + onOneLine(line.name) + u'\n';
  }
  return text;
}

QString longLine(const ListingOverview& listing) {
  const QStringList fields = {QString::number(listing.rpId),
                              mediumText(listing.medium),
                              onOneLine(listing.name),
                              onOneLine(listing.ubicacion),
                              onOneLine(listing.categoria),
                              QString::number(listing.files),
                              listing.updated,
                              listing.incomplete ? u"incompleto"_s : QString()};
  return fields.join(u'\t') + u'\n';
}

int listListingsLong() {
  QString error;
  const std::vector<ListingOverview> listings = readListingOverview(error);
  if (!error.isEmpty()) {
    printError(u"no se pueden leer los listados de la base de datos: "_s + error);
    return kExitFailure;
  }
  QString text;
  for (const ListingOverview& listing : listings) {
    text += longLine(listing);
  }
  printText(text);
  return kExitOk;
}

int showListing(int number, const ListingOutput& output) {
  if (const int missing = requireStoredListing(number); missing != kExitOk) {
    return missing;
  }
  const auto model = std::make_unique<ListingModel>();
  // Written, never shown as a tree.
  const LoadResult loaded = Load4bd(number, *model, TreeNodes::Skip);
  if (!loaded.found) {
    printError(u"no se puede leer el listado número %1 de la base de datos"_s.arg(number));
    return kExitFailure;
  }
  const int written = writeListing(output, *model, {loaded.name, loaded.medio}, number);
  if (written == kExitOk) {
    warnIfIncomplete(number);
  }
  return written;
}

int deleteListing(int number) {
  if (const int missing = requireStoredListing(number); missing != kExitOk) {
    return missing;
  }
  if (const QString error = deleteStoredListing(number); !error.isEmpty()) {
    printError(u"no se ha podido borrar el listado número %1 de la base de datos: %2"_s.arg(
        QString::number(number), error));
    return kExitFailure;
  }
  return kExitOk;
}

int listListings() {
  const StoredListings listings = readStoredListings();
  if (!listings.error.isEmpty()) {
    printError(u"no se pueden leer los listados de la base de datos: "_s + listings.error);
    return kExitFailure;
  }
  printText(listText(listings));
  return kExitOk;
}

}  // namespace

int runListVerb(const ParsedArguments& parsed) {
  if (!parsed.positional.empty()) {
    return usageError("list",
                      u"sobra el argumento %1"_s.arg(argumentText(parsed.positional.front())));
  }
  return withDatabase(parsed.flags.contains("--long") ? listListingsLong : listListings);
}

OptionNames listOptions() {
  return {{}, {"--long"}};
}

int runShowVerb(const ParsedArguments& parsed) {
  int number = 0;
  ListingOutput output;
  QString error = listingNumberFrom(parsed, number);
  if (error.isEmpty()) {
    error = listingOutputFrom(parsed, output);
  }
  if (!error.isEmpty()) {
    return usageError("show", error);
  }
  return withDatabase([&] { return showListing(number, output); });
}

int runDeleteVerb(const ParsedArguments& parsed) {
  int number = 0;
  if (const QString error = listingNumberFrom(parsed, number); !error.isEmpty()) {
    return usageError("delete", error);
  }
  return withDatabase([&] { return deleteListing(number); });
}

QString listHelp() {
  return u"Uso: quillet list\n"
         u"     quillet list --long\n"
         u"\n"
         u"Muestra los listados almacenados en la base de datos, uno por línea y por orden de\n"
         u"número: el número, un tabulador, CD o DIR, un tabulador y el nombre.\n"
         u"\n"
         u"Opciones:\n"
         u"  --long               además, separados por tabuladores: la ubicación, la categoría,\n"
         u"                       cuántos archivos tiene, la fecha de su última actualización\n"
         u"                       y «incompleto» si su escaneo se detuvo antes del final\n"_s +
         helpOptionLine() +
         u"\n"
         u"Salida: 0 si todo fue bien, 1 si la base de datos no se puede usar, 2 si la orden\n"
         u"está mal escrita.\n"_s;
}

QString showHelp() {
  return u"Uso: quillet show N [--dir-design TEXTO] [--file-design TEXTO] [--format FORMATO]\n"
         u"                    [--encoding cp1252|utf8] [--csv-separator comma|semicolon]\n"
         u"                    [--template NOMBRE|ARCHIVO] [--output ARCHIVO]\n"
         u"\n"
         u"Escribe el listado almacenado con el número N (véase «quillet list») con los dos\n"
         u"diseños de línea, con los mismos bytes que su exportación (en un terminal UTF-8,\n"
         u"en UTF-8), como «quillet scan».\n"
         u"\n"
         u"Opciones:\n"_s +
         listingOutputHelp() + helpOptionLine() +
         u"\n"
         u"Salida: 0 si todo fue bien, 1 si no hay ningún listado N, el listado no se puede\n"
         u"escribir o la base de datos no se puede usar, 2 si la orden está mal escrita.\n"_s;
}

QString deleteHelp() {
  return u"Uso: quillet delete N\n"
         u"\n"
         u"Borra de la base de datos el listado almacenado con el número N (véase «quillet\n"
         u"list»), como el botón «Borrar» de la gestión de informes en BD, sin preguntar.\n"
         u"\n"
         u"Opciones:\n"_s +
         helpOptionLine() +
         u"\n"
         u"Salida: 0 si todo fue bien, 1 si no hay ningún listado N o la base de datos no se\n"
         u"puede usar o no deja borrar, 2 si la orden está mal escrita.\n"_s;
}
