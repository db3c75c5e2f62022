// Makes the catalogue that serve_catalogue_bench.sh serves: LISTINGS listings of 1,000 files
// and a larger one of LARGE_FILES after them, on the engine the config.ini of PROGRAM_DIR
// names, with the search index built as the program keeps it. Prints how long each step took.
// Usage: serve_catalogue PROGRAM_DIR LISTINGS LARGE_FILES

#include <QCoreApplication>
#include <QSqlDatabase>

#include <cstdio>

#include "base/app_info.h"
#include "base/log.h"
#include "db/mod_bd.h"
#include "search/search_index.h"
#include "stats/stats_totals.h"

#include "bench_catalogue.h"
#include "session/catalogue_composition.h"

using namespace Qt::StringLiterals;

namespace {

// The file is written without the search index and indexed at the end, as search_bench does.
void generateFileCatalogue(CatalogueSize size) {
  dropSearchIndex();
  const double loadS = timedMs([&] { generateCatalogue(1, size); }) / 1000;
  const double indexS = timedMs([] {
                          if (!createSearchIndex().isEmpty()) {
                            fail(u"indexing failed"_s);
                          }
                        }) /
                        1000;
  std::printf("catálogo en el archivo: %.0f s escribiéndolo, %.0f s indexándolo\n", loadS, indexS);
}

void generateOnServer(CatalogueSize size) {
  const ServerLoadTimes times = generateServerCatalogue(size);
  std::printf(
      "catálogo en el servidor: %.0f s escribiéndolo, %.0f s indexándolo, %.0f s "
      "VACUUM ANALYZE\n",
      times.loadS, times.indexS, times.analyzeS);
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  const QStringList args = app.arguments();
  if (args.size() != 4) {
    std::fprintf(stderr, "usage: serve_catalogue PROGRAM_DIR LISTINGS LARGE_FILES\n");
    return 2;
  }
  composeCatalogue();
  setProgramDir(args[1]);
  setLogFilePath(args[1] + u"/quillet.log"_s);
  if (const QString failure = OpenBd(); !failure.isEmpty()) {
    fail(failure);
  }
  const CatalogueSize size{args[2].toInt(), args[3].toInt()};
  if (BdConnection().driverConnection().driverName() == u"QPSQL"_s) {
    generateOnServer(size);
  } else {
    generateFileCatalogue(size);
  }
  // As after a store: the per-listing totals the statistics and the home page read.
  const double totalsS = timedMs([] { catchUpStatsTotals(); }) / 1000;
  std::printf("totales por listado: %.0f s\n", totalsS);
  CloseBd();
  return 0;
}
