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
#include <QRandomGenerator>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>
#include <vector>

#include "app/app_info.h"
#include "app/log.h"
#include "db/listing_store.h"
#include "db/mod_bd.h"
#include "search/catalogue_search.h"
#include "search/search_index.h"
#include "search/search_sql.h"

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

// Listings as people store them: directories of twelve files by one artist, one album each.
class ListingGenerator {
 public:
  explicit ListingGenerator(quint32 seed) : random_(seed), v_(vocabulary(random_)) {}

  QString listingName(int rp) { return u"Disco %1 "_s.arg(rp) + word(random_, 2); }

  // The directory that starts at file f, as stored: its name and its file range.
  DirRecord directory(int f) {
    artist_ = v_.artists[random_.bounded(v_.artists.size())];
    album_ = pick() + u' ' + pick();
    return {u"/música/"_s + artist_ + u'/' + album_, static_cast<int>(f),
            static_cast<int>(std::min(f + kFilesPerDirectory - 1, kFilesPerListing))};
  }

  // File f of the listing, in the directory last made.
  SongRecord file(int f) {
    // One file in thirty is a copy of an earlier one.
    QString title = pick() + u' ' + pick() + u"´s"_s;
    if (!previousTitles_.isEmpty() && random_.bounded(30) == 0) {
      title = previousTitles_[random_.bounded(previousTitles_.size())];
    } else if (random_.bounded(100) == 0) {
      previousTitles_.append(title);
    }
    const QString order = QString::number(f % kFilesPerDirectory + 1);
    return {album_,
            artist_,
            random_.bounded(1000) == 0 ? u"Edición remasterizada"_s : QString(),
            v_.genres[random_.bounded(v_.genres.size())],
            title,
            order,
            QString::number(1960 + random_.bounded(60)),
            order + u' ' + title + u".mp3"_s,
            order};
  }

 private:
  QString pick() { return v_.words[random_.bounded(v_.words.size())]; }

  QRandomGenerator random_;
  const Vocabulary v_;
  QStringList previousTitles_;
  QString artist_;
  QString album_;
};

// Every row by plain SQL in one transaction, as fast as the engine takes them.
void generateCatalogue() {
  ListingGenerator generator(12);
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
  const auto bindAll = [](QSqlQuery& query, const QVariantList& values) {
    for (const QVariant& value : values) {
      query.addBindValue(value);
    }
    if (!query.exec()) {
      fail(u"insert failed"_s);
    }
  };
  for (int rp = 1; rp <= kListings; ++rp) {
    const QString name = generator.listingName(rp);
    bindAll(listing, {rp, name, rp % 3 == 0 ? 2 : 1, name});
    for (int f = 1; f <= kFilesPerListing; ++f) {
      if ((f - 1) % kFilesPerDirectory == 0) {
        const DirRecord d = generator.directory(f);
        bindAll(dir, {rp, d.dirname, d.songfrom, d.songto});
      }
      const SongRecord s = generator.file(f);
      bindAll(file, {rp, s.album, s.artist, s.comment, s.genre, s.title, s.track, s.year,
                     s.filename, s.fileorder.toInt(), f});
    }
  }
  if (!db.commit()) {
    fail(u"commit failed"_s);
  }
}

// A full listing, of as many files as a listing holds, made like the catalogue's.
std::unique_ptr<ListingModel> fullListing() {
  ListingGenerator generator(34);
  auto model = std::make_unique<ListingModel>();
  model->FinalName = generator.listingName(kListings + 1);
  model->FinalType = kMedioCd;
  int dirs = 0;
  for (int f = 1; f <= kFilesPerListing; ++f) {
    if ((f - 1) % kFilesPerDirectory == 0) {
      model->Directorios[++dirs] = generator.directory(f);
    }
    model->Canciones[f] = generator.file(f);
  }
  model->NumDirectoriosMP3 = static_cast<int>(dirs);
  model->NumCancionesMP3 = kFilesPerListing;
  return model;
}

// The database as it was before the index existed.
void dropSearchIndex() {
  for (const QString& sql : sqlDropSearchIndex() + QStringList{u"PRAGMA user_version = 0"_s}) {
    if (!BdConnection().Execute(sql)) {
      fail(sql + u": "_s + BdConnection().lastError());
    }
  }
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
  return median(ms);
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
  verdict("quillet search end to end, median", median(ms), 150, "ms");
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
      kFilesPerListing, median(without), median(with), median(catchUp),
      (median(with) + median(catchUp)) / median(without));
  verdict("store with index / without, ratio x100", 100 * median(with) / median(without), 200, "%");
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
  verdict(label, median(dupMs) / 1000, 3, "s");
  CloseBd();
  return missed ? 1 : 0;
}
