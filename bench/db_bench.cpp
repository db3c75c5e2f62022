// Times storing and loading a listing at the model's limits (500 directories, 1000 files) on
// an SQLite file made from the built blank template. Exits 1 when a median misses its target.

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>
#include <vector>

#include "base/app_info.h"
#include "base/log.h"
#include "db/listing_load.h"
#include "db/listing_store.h"
#include "db/mod_bd.h"
#include "session/catalogue_composition.h"
#include "support/listing_db_fixture.h"

using namespace Qt::StringLiterals;

namespace {

constexpr int kRuns = 7;
constexpr double kStoreTargetMs = 500;
constexpr double kLoadTargetMs = 300;

double timedMs(const std::function<bool()>& work) {
  QElapsedTimer clock;
  clock.start();
  if (!work()) {
    std::fprintf(stderr, "failed\n");
    std::exit(2);
  }
  return clock.nsecsElapsed() / 1e6;
}

double median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

void print(const char* what, const std::vector<double>& ms, double target) {
  std::printf("%-6s median %7.1f ms  min %7.1f ms  max %7.1f ms  (target < %.0f ms)\n", what,
              median(ms), *std::min_element(ms.begin(), ms.end()),
              *std::max_element(ms.begin(), ms.end()), target);
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  composeCatalogue();
  QTemporaryDir dir;
  // The shipped files come from the build's program directory; the benchmark lives outside it.
  setProgramDir(QStringLiteral(QUILLET_BIN_DIR));
  for (const QString& name : {u"bd-acces2k.blank"_s, u"config.ini"_s}) {
    if (!dir.isValid() || !QFile::copy(ProgramFile(name), dir.filePath(name))) {
      std::fprintf(stderr, "cannot copy %s\n", qPrintable(ProgramFile(name)));
      return 2;
    }
  }
  setProgramDir(dir.path());
  setLogFilePath(dir.filePath(u"bench.log"_s));
  if (const QString failure = OpenBd(); !failure.isEmpty()) {
    std::fprintf(stderr, "%s\n", qPrintable(failure));
    return 2;
  }
  const auto model = makeListing(
      u"BENCH_CD"_s, kMedioCd, std::vector<int>(kMaxDirectorios, kMaxCanciones / kMaxDirectorios));
  std::vector<double> stores;
  std::vector<double> loads;
  for (int run = 0; run < kRuns; ++run) {
    int rpId = 0;
    stores.push_back(timedMs([&] {
      const StoreResult result = Save2bd(*model);
      rpId = result.rp_id;
      return result.ok();
    }));
    auto loaded = std::make_unique<ListingModel>();
    loads.push_back(timedMs(
        [&] { return Load4bd(rpId, *loaded).found && loaded->NumCancionesMP3 == kMaxCanciones; }));
  }
  CloseBd();
  std::printf("Listing of %d directories and %d files, %d runs, database growing to %d listings\n",
              kMaxDirectorios, kMaxCanciones, kRuns, kRuns);
  print("store", stores, kStoreTargetMs);
  print("load", loads, kLoadTargetMs);
  return median(stores) < kStoreTargetMs && median(loads) < kLoadTargetMs ? 0 : 1;
}
