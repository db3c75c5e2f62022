// Times the statistics and the table exports: the catalogue's figures (1,000 stored listings of
// 1,000 files) as the statistics window fills itself and through `quillet stats`, a full
// listing's figures and CSV and JSON exports, and what keeping the statistics' per-listing
// totals adds to storing a 100,000-file listing. Run it on the offscreen platform
// (QT_QPA_PLATFORM=offscreen). Exits 1 when a target is missed. STATS_BENCH_KEEP=1 keeps the
// temporary directory (its path is printed); STATS_BENCH_DB=FILE works on a kept catalogue;
// --catalogue-only times the catalogue's figures alone.

#include <QApplication>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <cstdio>
#include <functional>
#include <vector>

#include "base/app_info.h"
#include "base/log.h"
#include "bench_catalogue.h"
#include "db/listing_store.h"
#include "db/mod_bd.h"
#include "output/listing_export.h"
#include "search/search_index.h"
#include "session/catalogue_composition.h"
#include "stats/frm_stats.h"
#include "stats/stats_sources.h"
#include "stats/stats_totals.h"

using namespace Qt::StringLiterals;

namespace {

bool missed = false;

double medianMs(int runs, const std::function<void()>& work) {
  std::vector<double> ms;
  for (int run = 0; run < runs; ++run) {
    ms.push_back(timedMs(work));
  }
  return medianOf(ms);
}

void verdict(const char* what, double value, double target) {
  const bool ok = value < target;
  missed = missed || !ok;
  std::printf("%-48s %10.1f ms  (target < %.0f ms) %s\n", what, value, target,
              ok ? "ok" : "MISSED");
  std::fflush(stdout);
}

// A whole-collection listing: the full listing's directories and files copied times over.
std::unique_ptr<ListingModel> wholeListing(int times) {
  const auto full = fullListing();
  auto model = std::make_unique<ListingModel>();
  model->FinalName = full->FinalName;
  model->FinalType = full->FinalType;
  for (int t = 0; t < times; ++t) {
    for (int d = 1; d <= full->NumDirectoriosMP3; ++d) {
      DirRecord dir = full->Directorios[d];
      dir.songfrom += t * full->NumCancionesMP3;
      dir.songto += t * full->NumCancionesMP3;
      model->directorySlot(++model->NumDirectoriosMP3) = dir;
    }
    for (int f = 1; f <= full->NumCancionesMP3; ++f) {
      model->songSlot(++model->NumCancionesMP3) = full->Canciones[f];
    }
  }
  return model;
}

void timeWholeListingExports() {
  const auto model = wholeListing(100);
  for (const ExportFormat format : {ExportFormat::Csv, ExportFormat::Json}) {
    qsizetype bytes = 0;
    const double ms = medianMs(5, [&] {
      bytes = listingExportBytes(format, *model, listingNameOf(*model), {}, {}).size();
    });
    char label[96];
    std::snprintf(label, sizeof label, "%s export of %d files (%lld MB), median",
                  format == ExportFormat::Csv ? "CSV" : "JSON", model->NumCancionesMP3,
                  static_cast<long long>(bytes >> 20));
    verdict(label, ms, 1500);
  }
}

void timeListing() {
  const auto model = fullListing();
  const ListingName name = listingNameOf(*model);
  qint64 files = 0;
  verdict("figures of a full listing, median",
          medianMs(21, [&] { files = collectionStats(countsOfListing(*model)).files; }), 50);
  for (const ExportFormat format : {ExportFormat::Csv, ExportFormat::Json}) {
    qsizetype bytes = 0;
    const double ms =
        medianMs(21, [&] { bytes = listingExportBytes(format, *model, name, {}, {}).size(); });
    char label[96];
    std::snprintf(label, sizeof label, "%s export of it (%lld files, %lld KB), median",
                  format == ExportFormat::Csv ? "CSV" : "JSON", static_cast<long long>(files),
                  static_cast<long long>(bytes / 1024));
    verdict(label, ms, 50);
  }
}

// One store of the listing into a fresh database, and the catch-up that follows it (the search
// index and, unless dropped, the statistics' totals); times in ms.
std::pair<double, double> storeAndCatchUp(const QString& programDir, const ListingModel& model,
                                          bool withTotals) {
  QFile::remove(programDir + u"/quillet.mdb"_s);
  if (!OpenBd().isEmpty()) {
    fail(u"cannot open"_s);
  }
  if (!withTotals) {
    for (const char* sql : {"DROP TRIGGER stats_listing_removed", "DROP TABLE stats_listings",
                            "DROP TABLE stats_pairs", "DROP TABLE stats_values"}) {
      if (!BdConnection().Execute(QString::fromLatin1(sql))) {
        fail(u"cannot drop the totals"_s);
      }
    }
  }
  const double store = timedMs([&] {
    if (!Save2bd(model, {}).ok()) {
      fail(u"store failed"_s);
    }
  });
  const double catchUp = timedMs([] { indexStoredListing(); });
  if (withTotals) {
    // The totals' own share of the catch-up: the same statements once more.
    ScopedTransaction transaction(BdConnection());
    TotalsWriter totals(BdConnection().driverConnection());
    std::printf("  making the totals of the stored listing again: %.0f ms\n", timedMs([&] {
                  if (!totals.refresh(1).isEmpty()) {
                    fail(u"totals failed"_s);
                  }
                }));
  }
  CloseBd();
  return {store, catchUp};
}

// Side by side, with and without the totals, so a slow moment of the machine weighs on both.
void timeStoreWithTotals(const QString& programDir) {
  const auto model = wholeListing(100);
  std::vector<double> without;
  std::vector<double> with;
  for (int run = 0; run < 3; ++run) {
    const auto [storeWithout, catchUpWithout] = storeAndCatchUp(programDir, *model, false);
    const auto [storeWith, catchUpWith] = storeAndCatchUp(programDir, *model, true);
    without.push_back(storeWithout + catchUpWithout);
    with.push_back(storeWith + catchUpWith);
    std::printf(
        "store + catch-up of %d files: %.0f + %.0f ms without the totals, %.0f + %.0f ms "
        "with them\n",
        model->NumCancionesMP3, storeWithout, catchUpWithout, storeWith, catchUpWith);
    std::fflush(stdout);
  }
  std::printf("store + catch-up, medians: %.0f ms without the totals, %.0f ms with them\n",
              medianOf(without), medianOf(with));
}

void timeCatalogue(const QString& program) {
  verdict("catalogue figures in the window (fill), median",
          medianMs(5,
                   [] {
                     frm_stats* window = frm_stats::showCatalogue(nullptr);
                     window->close();
                     QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
                   }),
          1000);
  QString error;
  verdict("catalogue figures, core only, median",
          medianMs(5, [&] { collectionStats(countsOfCatalogue({}, error)); }), 1000);
  if (!error.isEmpty()) {
    fail(error);
  }
  CloseBd();
  verdict("quillet stats end to end, median",
          medianMs(5,
                   [&] {
                     QProcess process;
                     process.start(program, {u"stats"_s});
                     if (!process.waitForFinished(60000) || process.exitCode() != 0) {
                       fail(u"quillet stats failed"_s);
                     }
                   }),
          1500);
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  composeCatalogue();
  QTemporaryDir dir;
  if (qEnvironmentVariableIsSet("STATS_BENCH_KEEP")) {
    dir.setAutoRemove(false);
    std::printf("keeping %s\n", qPrintable(dir.path()));
  }
  setProgramDir(QStringLiteral(QUILLET_BIN_DIR));
  for (const QString& name : {u"bd-acces2k.blank"_s, u"config.ini"_s, u"quillet"_s}) {
    if (!dir.isValid() || !QFile::copy(ProgramFile(name), dir.filePath(name))) {
      fail(u"cannot copy "_s + ProgramFile(name));
    }
  }
  setProgramDir(dir.path());
  setLogFilePath(dir.filePath(u"quillet.log"_s));

  const bool catalogueOnly = app.arguments().contains(u"--catalogue-only"_s);
  if (!catalogueOnly) {
    timeListing();
    timeWholeListingExports();
    timeStoreWithTotals(dir.path());
  }
  // A catalogue kept from an earlier run (STATS_BENCH_KEEP) saves generating it again.
  const QString kept = qEnvironmentVariable("STATS_BENCH_DB");
  QFile::remove(dir.filePath(u"quillet.mdb"_s));
  if (!kept.isEmpty() && !QFile::copy(kept, dir.filePath(u"quillet.mdb"_s))) {
    fail(u"cannot copy "_s + kept);
  }
  if (!OpenBd().isEmpty()) {
    fail(u"cannot open"_s);
  }
  if (kept.isEmpty()) {
    std::printf("generating %d listings of %d files...\n", kListings, kFilesPerListing);
    std::fflush(stdout);
    generateCatalogue();
    // What the program does with a catalogue another program wrote, before its first search
    // or statistics: the index and the totals of every noted listing.
    std::printf("catch-up of the generated catalogue: %.1f s\n",
                timedMs([] {
                  if (!updateSearchIndex().isEmpty()) {
                    fail(u"catch-up failed"_s);
                  }
                }) / 1000);
  }
  timeCatalogue(dir.filePath(u"quillet"_s));
  return missed ? 1 : 0;
}
