// Times the search index on a catalogue of 1,000 stored listings of 1,000 files each, in a
// temporary program directory: searches in-process and through `quillet search`, duplicates,
// storing a full listing with and without the index, indexing the whole catalogue as the first
// open of an older database does, and the file's size. Exits 1 when a target is missed.
// --store-only times the store alone.

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>
#include <vector>

#include "base/app_info.h"
#include "base/log.h"
#include "db/listing_store.h"
#include "db/mod_bd.h"
#include "search/catalogue_search.h"
#include "search/search_index.h"

#include "bench_catalogue.h"
#include "session/catalogue_composition.h"

using namespace Qt::StringLiterals;

namespace {

bool missed = false;

void verdict(const char* what, double value, double target, const char* unit) {
  const bool ok = value < target;
  missed = missed || !ok;
  std::printf("%-44s %10.1f %s  (target < %.0f %s) %s\n", what, value, unit, target, unit,
              ok ? "ok" : "MISSED");
  std::fflush(stdout);
}

double fileMb() {
  (void)BdConnection().Execute(u"VACUUM"_s);
  return QFileInfo(BdPath()).size() / 1e6;
}

// The median of a few runs of the search, labelled with what it found.
double searchMs(const char* what, const SearchRequest& request, int runs, char (&label)[96]) {
  std::vector<double> ms;
  std::size_t found = 0;
  for (int run = 0; run < runs; ++run) {
    ms.push_back(timedMs([&] { found = searchCatalogue(request).files.size(); }));
  }
  std::snprintf(label, sizeof label, "search %s (%zu files), median", what, found);
  return medianOf(ms);
}

void timeSearch(const char* what, const SearchRequest& request) {
  char label[96];
  const double ms = searchMs(what, request, 15, label);
  verdict(label, ms, 20, "ms");
}

// Queries that match a large part of the catalogue, as the window asks them (its first 10,000
// rows and one more): reported, with no target.
void reportBroadSearch(const char* what, const QString& text) {
  char label[96];
  const double ms = searchMs(what, {text, SearchField::Todo, SearchMedium::Todos, 10001}, 3, label);
  std::printf("%-44s %10.1f ms  (reported)\n", label, ms);
  std::fflush(stdout);
}

void timeCommandLine(const QString& program, const QString& text) {
  std::vector<double> ms;
  for (int run = 0; run < 7; ++run) {
    ms.push_back(timedMs([&] {
      QProcess process;
      process.start(program, {u"search"_s, text});
      if (!process.waitForFinished(60000) || process.exitCode() != 0) {
        fail(u"quillet search failed"_s);
      }
    }));
  }
  verdict("quillet search end to end, median", medianOf(ms), 150, "ms");
}

struct StoreTimes {
  double store = 0;    // what the program does when it stores
  double catchUp = 0;  // indexing what the store noted, as the next search does first
};

// Stores the listing into a fresh database with or without the index.
StoreTimes storeMs(const QString& programDir, const ListingModel& model, bool withIndex) {
  QFile::remove(programDir + u"/quillet.mdb"_s);
  if (!OpenBd().isEmpty()) {
    fail(u"cannot open"_s);
  }
  if (!withIndex) {
    dropSearchIndex();
  }
  StoreTimes times;
  times.store = timedMs([&] {
    if (!Save2bd(model, {}).ok()) {
      fail(u"store failed"_s);
    }
  });
  if (withIndex) {
    times.catchUp = timedMs([] {
      if (!updateSearchIndex().isEmpty()) {
        fail(u"indexing failed"_s);
      }
    });
  }
  CloseBd();
  return times;
}

// Side by side, one store without the index and one with it at a time, so a slow moment of the
// machine weighs on both.
void timeStore(const QString& programDir) {
  const std::unique_ptr<ListingModel> model = fullListing();
  std::vector<double> without;
  std::vector<double> with;
  std::vector<double> catchUp;
  for (int run = 0; run < 15; ++run) {
    without.push_back(storeMs(programDir, *model, false).store);
    const StoreTimes indexed = storeMs(programDir, *model, true);
    with.push_back(indexed.store);
    catchUp.push_back(indexed.catchUp);
  }
  std::printf(
      "store a full listing (%d files), medians: %.1f ms without the index, %.1f ms "
      "with it; indexing it before the next search, %.1f ms more (%.1fx in all)\n",
      kFilesPerListing, medianOf(without), medianOf(with), medianOf(catchUp),
      (medianOf(with) + medianOf(catchUp)) / medianOf(without));
  verdict("store with index / without, ratio x100", 100 * medianOf(with) / medianOf(without), 200,
          "%");
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  composeCatalogue();
  QTemporaryDir dir;
  // The built program and what ships with it live in the program directory, not beside us.
  setProgramDir(QStringLiteral(QUILLET_BIN_DIR));
  for (const QString& name : {u"bd-acces2k.blank"_s, u"config.ini"_s, u"quillet"_s}) {
    if (!dir.isValid() || !QFile::copy(ProgramFile(name), dir.filePath(name))) {
      fail(u"cannot copy "_s + ProgramFile(name));
    }
  }
  setProgramDir(dir.path());
  setLogFilePath(dir.filePath(u"quillet.log"_s));

  timeStore(dir.path());
  if (app.arguments().contains(u"--store-only"_s)) {
    return missed ? 1 : 0;
  }

  QFile::remove(dir.filePath(u"quillet.mdb"_s));
  if (!OpenBd().isEmpty()) {
    fail(u"cannot open"_s);
  }
  dropSearchIndex();
  std::printf("generating %d listings of %d files...\n", kListings, kFilesPerListing);
  std::fflush(stdout);
  generateCatalogue();
  const double withoutMb = fileMb();
  const double indexS = timedMs([] {
                          if (!createSearchIndex().isEmpty()) {
                            fail(u"indexing failed"_s);
                          }
                        }) /
                        1000;
  verdict("index the catalogue from scratch", indexS, 60, "s");
  const double withMb = fileMb();
  std::printf("database file: %.0f MB without the index, %.0f MB with it\n", withoutMb, withMb);

  timeSearch("a word", {u"REMASTERIZADA"_s});
  timeSearch("a phrase", {u"\"edicion remaster\""_s});
  timeSearch("a two-letter word", {u"u2"_s});
  timeSearch("a miss", {u"xyzzy"_s});
  reportBroadSearch("one letter", u"a"_s);
  reportBroadSearch("two common words", u"mar sol"_s);
  reportBroadSearch("two words, six short ones", u"mar sol ca mi ra te su ve"_s);
  CloseBd();
  timeCommandLine(dir.filePath(u"quillet"_s), u"u2"_s);
  if (!OpenBd().isEmpty()) {
    fail(u"cannot open"_s);
  }
  std::vector<double> dupMs;
  std::size_t groups = 0;
  for (int run = 0; run < 3; ++run) {
    dupMs.push_back(timedMs([&] { groups = findDuplicates(SearchMedium::Todos).groups.size(); }));
  }
  char label[96];
  std::snprintf(label, sizeof label, "duplicates (%zu groups), median", groups);
  verdict(label, medianOf(dupMs) / 1000, 3, "s");
  CloseBd();
  return missed ? 1 : 0;
}
