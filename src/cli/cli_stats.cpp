#include "cli/cli_stats.h"

#include "cli/cli_database.h"
#include "cli/cli_search.h"
#include "cli/cli_stored.h"
#include "output/table_export.h"
#include "stats/stats_sources.h"

using namespace Qt::StringLiterals;

namespace {

struct Figure {
  QString key;
  qint64 value;
};

std::vector<Figure> figuresOf(const CollectionStats& stats) {
  std::vector<Figure> figures;
  if (stats.listings) {
    figures.push_back({u"listados"_s, *stats.listings});
  }
  figures.insert(figures.end(), {{u"directorios"_s, stats.directories},
                                 {u"archivos"_s, stats.files},
                                 {u"artistas"_s, stats.artists},
                                 {u"albumes"_s, stats.albums}});
  for (size_t i = 0; i < kHealthChecks.size(); ++i) {
    figures.push_back({healthKey(kHealthChecks[i]), stats.health[i]});
  }
  return figures;
}

// One "clave<TAB>valor" line per figure, then each chart as a block headed by its key.
QString statsText(const CollectionStats& stats) {
  QString text;
  for (const Figure& figure : figuresOf(stats)) {
    text += figure.key + u'\t' + QString::number(figure.value) + u'\n';
  }
  for (const NamedChart& chart : chartsOf(stats)) {
    text += u'\n' + chart.key + u'\n';
    for (const StatsBar& bar : *chart.bars) {
      text += onOneLine(bar.label) + u'\t' + QString::number(bar.count) + u'\n';
    }
  }
  return text;
}

QByteArray statsJson(const CollectionStats& stats) {
  QByteArray json = "{";
  for (const Figure& figure : figuresOf(stats)) {
    json += (json.size() > 1 ? ",\n " : "") + jsonString(figure.key) + ": " +
            QByteArray::number(figure.value);
  }
  for (const NamedChart& chart : chartsOf(stats)) {
    json += ",\n " + jsonString(chart.key) + ": [";
    for (size_t i = 0; i < chart.bars->size(); ++i) {
      const StatsBar& bar = (*chart.bars)[i];
      json += (i > 0 ? ", " : "") + jsonObject({u"etiqueta"_s, u"cuenta"_s},
                                               {{bar.label}, ExportCell::number(bar.count)});
    }
    json += ']';
  }
  return json + "}\n";
}

int printStats(const StatsScope& scope, bool json) {
  if (scope.rpId) {
    if (const int missing = requireStoredListing(*scope.rpId); missing != kExitOk) {
      return missing;
    }
  }
  QString error;
  const TagCounts counts = countsOfCatalogue(scope, error);
  if (!error.isEmpty()) {
    printError(error);
    return kExitFailure;
  }
  const CollectionStats stats = collectionStats(counts);
  if (json) {
    printText(QString::fromUtf8(statsJson(stats)));
  } else {
    printText(statsText(stats));
  }
  if (scope.rpId) {
    warnIfIncomplete(*scope.rpId);
  }
  return kExitOk;
}

}  // namespace

OptionNames statsOptions() {
  return {{"--medium", "--format"}};
}

int runStatsVerb(const ParsedArguments& parsed) {
  StatsScope scope;
  QString error;
  if (!parsed.positional.empty()) {
    int number = 0;
    error = listingNumberFrom(parsed, number);
    scope.rpId = number;
  }
  const std::optional<SearchMedium> medium = mediumFrom(parsed, error);
  scope.medium = medium.value_or(SearchMedium::Todos);
  const auto format = parsed.options.find("--format");
  const bool json = format != parsed.options.end() && format->second == "json";
  if (error.isEmpty() && format != parsed.options.end() && !json && format->second != "txt") {
    error = u"formato desconocido: %1 (se admite txt o json)"_s.arg(argumentText(format->second));
  }
  if (!error.isEmpty()) {
    return usageError("stats", error);
  }
  return withDatabase([&] { return printStats(scope, json); });
}

QString statsHelp() {
  return u"Uso: quillet stats [N] [--medium cd|dir] [--format txt|json]\n"
         u"\n"
         u"Escribe las estadísticas de todos los listados almacenados o, con N, del listado\n"
         u"almacenado N: una línea «clave<TAB>valor» por cifra (listados, directorios,\n"
         u"archivos, artistas, albumes y los archivos sin_artista, sin_titulo, sin_album,\n"
         u"sin_anyo y sin_etiqueta) y, tras una línea en blanco, cada gráfico (generos,\n"
         u"decadas, top_artistas) con su nombre en una línea y una línea «etiqueta<TAB>cuenta»\n"
         u"por barra; los gráficos van separados por una línea en blanco.\n"
         u"\n"
         u"Opciones:\n"_s +
         mediumHelp() +
         u"  --format txt|json    txt (por omisión) o un documento JSON con las mismas cifras\n"_s +
         helpOptionLine() +
         u"\n"
         u"Salida: 0 si todo fue bien, 1 si no hay ningún listado N o la base de datos no se\n"
         u"puede usar, 2 si la orden está mal escrita.\n"_s;
}
