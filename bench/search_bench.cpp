// Times the search index on a catalogue of 1,000 stored listings of 1,000 files each, in a
// temporary program directory: searches in-process and through `quillet search`, duplicates,
// storing a full listing with and without the index, indexing the whole catalogue as the first
// open of an older database does, and the file's size. Exits 1 when a target is missed.

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRandomGenerator>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

#include "app/app_info.h"
#include "app/log.h"
#include "db/listing_store.h"
#include "db/mod_bd.h"
#include "search/catalogue_search.h"
#include "search/search_index.h"
#include "support/listing_db_fixture.h"

using namespace Qt::StringLiterals;

namespace {

constexpr int kListings = 1000;
constexpr int kFilesPerListing = 1000;
constexpr int kFilesPerDirectory = 12;
bool missed = false;

double median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

double timedMs(const std::function<void()>& work) {
  QElapsedTimer clock;
  clock.start();
  work();
  return clock.nsecsElapsed() / 1e6;
}

void verdict(const char* what, double value, double target, const char* unit) {
  const bool ok = value < target;
  missed = missed || !ok;
  std::printf("%-44s %10.1f %s  (target < %.0f %s) %s\n", what, value, unit, target, unit,
              ok ? "ok" : "MISSED");
  std::fflush(stdout);
}

void fail(const QString& why) {
  std::fprintf(stderr, "search_bench: %s\n", qPrintable(why));
  std::exit(2);
}

// Syllables with accents, so names and words are varied and fold to other texts.
QString word(QRandomGenerator& random, int syllables) {
  static const QStringList pieces = {u"ca"_s,  u"mi"_s,  u"ño"_s, u"ló"_s, u"ra"_s,  u"té"_s,
                                     u"su"_s,  u"ve"_s,  u"dá"_s, u"ri"_s, u"go"_s,  u"ba"_s,
                                     u"lú"_s,  u"ne"_s,  u"zo"_s, u"pí"_s, u"cha"_s, u"tro"_s,
                                     u"mar"_s, u"sol"_s, u"ár"_s, u"en"_s, u"qui"_s, u"fe"_s};
  QString text;
  for (int s = 0; s < syllables; ++s) {
    text += pieces[random.bounded(pieces.size())];
  }
  text[0] = text[0].toUpper();
  return text;
}

struct Vocabulary {
  QStringList artists;
  QStringList words;
  QStringList genres = {u"Rock"_s,  u"Pop"_s,   u"Jazz"_s,  u"Flamenco"_s, u"Clásica"_s,
                        u"Blues"_s, u"Metal"_s, u"Salsa"_s, u"Tango"_s,    u"Folk"_s};
};

Vocabulary vocabulary(QRandomGenerator& random) {
  Vocabulary v;
  for (int a = 0; a < 3000; ++a) {
    v.artists.append(a == 7 ? u"U2"_s : word(random, 2) + u' ' + word(random, 3));
  }
  for (int w = 0; w < 5000; ++w) {
    v.words.append(word(random, 2 + random.bounded(2)).toLower());
  }
  return v;
}

// Every row by plain SQL in one transaction, as fast as the engine takes them.
void generateCatalogue() {
  QRandomGenerator random(12);
  const Vocabulary v = vocabulary(random);
  QSqlDatabase db = BdConnection().driverConnection();
  QSqlQuery file(db);
  QSqlQuery dir(db);
  QSqlQuery listing(db);
  file.prepare(u"INSERT INTO infoMP3 VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"_s);
  dir.prepare(u"INSERT INTO estructdir VALUES (?, ?, ?, ?)"_s);
  listing.prepare(u"INSERT INTO reports VALUES (?, ?, ?, ?)"_s);
  if (!db.transaction()) {
    fail(u"no transaction"_s);
  }
  QStringList previousTitles;
  for (int rp = 1; rp <= kListings; ++rp) {
    const QString name = u"Disco %1 "_s.arg(rp) + word(random, 2);
    listing.addBindValue(rp);
    listing.addBindValue(name);
    listing.addBindValue(rp % 3 == 0 ? 2 : 1);
    listing.addBindValue(name);
    listing.exec();
    QString artist;
    QString album;
    for (int f = 1; f <= kFilesPerListing; ++f) {
      if ((f - 1) % kFilesPerDirectory == 0) {
        artist = v.artists[random.bounded(v.artists.size())];
        album = v.words[random.bounded(v.words.size())] + u' ' +
                v.words[random.bounded(v.words.size())];
        dir.addBindValue(rp);
        dir.addBindValue(u"/música/"_s + artist + u'/' + album);
        dir.addBindValue(f);
        dir.addBindValue(std::min(f + kFilesPerDirectory - 1, kFilesPerListing));
        dir.exec();
      }
      // One file in thirty is a copy of an earlier one.
      QString title = v.words[random.bounded(v.words.size())] + u' ' +
                      v.words[random.bounded(v.words.size())] + u"´s"_s;
      if (!previousTitles.isEmpty() && random.bounded(30) == 0) {
        title = previousTitles[random.bounded(previousTitles.size())];
      } else if (random.bounded(100) == 0) {
        previousTitles.append(title);
      }
      const QVariantList values = {
          rp,
          album,
          artist,
          random.bounded(1000) == 0 ? u"Edición remasterizada"_s : QString(),
          v.genres[random.bounded(v.genres.size())],
          title,
          QString::number(f % kFilesPerDirectory + 1),
          QString::number(1960 + random.bounded(60)),
          u"%1 %2.mp3"_s.arg(f % kFilesPerDirectory + 1).arg(title),
          f % kFilesPerDirectory + 1,
          f};
      for (const QVariant& value : values) {
        file.addBindValue(value);
      }
      if (!file.exec()) {
        fail(u"insert failed"_s);
      }
    }
  }
  if (!db.commit()) {
    fail(u"commit failed"_s);
  }
}

// The database as it was before the index existed.
void dropSearchIndex() {
  for (const QString& sql :
       {u"DROP TABLE search_index"_s, u"DROP TABLE search_terms"_s, u"DROP TABLE search_files"_s,
        u"DROP TABLE search_pending"_s, u"PRAGMA user_version = 0"_s}) {
    if (!BdConnection().Execute(sql)) {
      fail(sql + u": "_s + BdConnection().lastError());
    }
  }
  QSqlQuery triggers(BdConnection().driverConnection());
  triggers.exec(u"SELECT name FROM sqlite_master WHERE type = 'trigger'"_s);
  QStringList names;
  while (triggers.next()) {
    names.append(triggers.value(0).toString());
  }
  for (const QString& name : names) {
    (void)BdConnection().Execute(u"DROP TRIGGER "_s + name);
  }
}

double fileMb() {
  (void)BdConnection().Execute(u"VACUUM"_s);
  return QFileInfo(BdPath()).size() / 1e6;
}

void timeSearch(const char* what, const SearchRequest& request) {
  std::vector<double> ms;
  std::size_t found = 0;
  for (int run = 0; run < 15; ++run) {
    ms.push_back(timedMs([&] { found = searchCatalogue(request).files.size(); }));
  }
  char label[96];
  std::snprintf(label, sizeof label, "search %s (%zu files), median", what, found);
  verdict(label, median(ms), 20, "ms");
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
  verdict("quillet search end to end, median", median(ms), 150, "ms");
}

// Stores a full listing into a fresh database with or without the index; with it, the store
// is only done once the listing is indexed.
double storeMs(const QString& programDir, bool withIndex) {
  QFile::remove(programDir + u"/quillet.mdb"_s);
  if (!OpenBd().isEmpty()) {
    fail(u"cannot open"_s);
  }
  if (!withIndex) {
    dropSearchIndex();
  }
  const auto model = makeListing(u"Lleno"_s, 2, std::vector<int>(500, 2));
  const double ms = timedMs([&] {
    if (!Save2bd(*model, {}).ok() || (withIndex && !updateSearchIndex().isEmpty())) {
      fail(u"store failed"_s);
    }
  });
  CloseBd();
  return ms;
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
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

  std::vector<double> with;
  std::vector<double> without;
  for (int run = 0; run < 5; ++run) {
    without.push_back(storeMs(dir.path(), false));
    with.push_back(storeMs(dir.path(), true));
  }
  std::printf("store a full listing: %.1f ms without the index, %.1f ms with it (medians)\n",
              median(without), median(with));
  verdict("store with index / without, ratio x100", 100 * median(with) / median(without), 200, "%");

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
  verdict(label, median(dupMs) / 1000, 3, "s");
  CloseBd();
  return missed ? 1 : 0;
}
