#include "bench_catalogue.h"

#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>
#include <QVariant>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <utility>

#include "db/mod_bd.h"
#include "search/search_sql.h"

using namespace Qt::StringLiterals;

[[noreturn]] void fail(const QString& why) {
  std::fprintf(stderr, "search_bench: %s\n", qPrintable(why));
  std::exit(2);
}

double medianOf(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

double timedMs(const std::function<void()>& work) {
  QElapsedTimer clock;
  clock.start();
  work();
  return clock.nsecsElapsed() / 1e6;
}

namespace {

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
  DirRecord directory(int f, int files = kFilesPerListing) {
    artist_ = v_.artists[random_.bounded(v_.artists.size())];
    album_ = pick() + u' ' + pick();
    return {u"/música/"_s + artist_ + u'/' + album_, static_cast<int>(f),
            static_cast<int>(std::min(f + kFilesPerDirectory - 1, files))};
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

}  // namespace

// Inserts rows of one table, rowsPerStatement of them to a statement: one row a statement suits
// an engine in the same process, many a server, where each statement is a round trip.
class RowWriter {
 public:
  RowWriter(QSqlDatabase db, const QString& table, int columns, int rowsPerStatement)
      : db_(std::move(db)),
        table_(table),
        columns_(columns),
        rowsPerStatement_(rowsPerStatement),
        full_(db_) {
    full_.prepare(sql(rowsPerStatement_));
  }

  void add(const QVariantList& row) {
    pending_ += row;
    if (pending_.size() == columns_ * rowsPerStatement_) {
      run(full_);
    }
  }

  // Writes what is left, in one statement of its own size.
  void flush() {
    if (!pending_.isEmpty()) {
      QSqlQuery rest(db_);
      rest.prepare(sql(static_cast<int>(pending_.size() / columns_)));
      run(rest);
    }
  }

 private:
  QString sql(int rows) const {
    const QString row = u'(' + QStringList(columns_, u"?"_s).join(u", "_s) + u')';
    return u"INSERT INTO "_s + table_ + u" VALUES "_s + QStringList(rows, row).join(u", "_s);
  }

  void run(QSqlQuery& query) {
    for (const QVariant& value : std::as_const(pending_)) {
      query.addBindValue(value);
    }
    if (!query.exec()) {
      fail(u"insert failed: "_s + query.lastError().text());
    }
    pending_.clear();
  }

  QSqlDatabase db_;
  const QString table_;
  const int columns_;
  const int rowsPerStatement_;
  QSqlQuery full_;
  QVariantList pending_;
};

// The rows of one catalogue, each table's through a writer of its own.
class CatalogueWriter {
 public:
  explicit CatalogueWriter(int rowsPerStatement)
      : db_(BdConnection().driverConnection()),
        listing_(db_, u"reports"_s, 4, 1),
        dir_(db_, u"estructdir"_s, 4, rowsPerStatement),
        file_(db_, u"infoMP3"_s, 11, rowsPerStatement),
        technical_(db_,
                   u"infotecnica (rp_id, filegenorder, duracion_ms, kbps, hz, canales, bytes)"_s, 7,
                   rowsPerStatement) {}

  // Listing rp's directories and files, then its row, as a store writes them: on a server,
  // whose triggers index and total a listing's files once it has its row, each statement of
  // files written after the row would make the large listing's totals again from the start.
  void add(ListingGenerator& generator, int rp, int files) {
    const QString name = generator.listingName(rp);
    for (int f = 1; f <= files; ++f) {
      if ((f - 1) % kFilesPerDirectory == 0) {
        const DirRecord d = generator.directory(f, files);
        dir_.add({rp, d.dirname, d.songfrom, d.songto});
      }
      const SongRecord s = generator.file(f);
      file_.add({rp, s.album, s.artist, s.comment, s.genre, s.title, s.track, s.year, s.filename,
                 s.fileorder.toInt(), f});
      // Half the listings were stored with their durations, so searches meet both kinds.
      if (rp % 2 == 0) {
        technical_.add({rp, f, 180000 + f * 37, 192, 44100, 2, 4320000 + f * 911});
      }
    }
    dir_.flush();
    file_.flush();
    technical_.flush();
    listing_.add({rp, name, rp % 3 == 0 ? 2 : 1, name});
  }

 private:
  QSqlDatabase db_;
  RowWriter listing_;
  RowWriter dir_;
  RowWriter file_;
  RowWriter technical_;
};

// Every row by plain SQL in one transaction, as fast as the engine takes them.
void generateCatalogue(int rowsPerStatement, CatalogueSize size) {
  ListingGenerator generator(12);
  QSqlDatabase db = BdConnection().driverConnection();
  if (!db.transaction()) {
    fail(u"no transaction"_s);
  }
  {
    CatalogueWriter writer(rowsPerStatement);
    for (int rp = 1; rp <= size.listings; ++rp) {
      writer.add(generator, rp, kFilesPerListing);
    }
    if (size.largeListingFiles > 0) {
      writer.add(generator, size.listings + 1, size.largeListingFiles);
    }
  }
  if (!db.commit()) {
    fail(u"commit failed"_s);
  }
}

void execute(const QStringList& statements) {
  for (const QString& sql : statements) {
    if (!BdConnection().Execute(sql)) {
      fail(sql + u": "_s + BdConnection().lastError());
    }
  }
}

QStringList column(const QString& sql) {
  QSqlQuery query(BdConnection().driverConnection());
  if (!query.exec(sql)) {
    fail(sql + u" failed"_s);
  }
  QStringList values;
  while (query.next()) {
    values.append(query.value(0).toString());
  }
  return values;
}

void dropSearchIndex() {
  execute(sqlDropSearchIndex() + QStringList{u"PRAGMA user_version = 0"_s});
}

// As the program's triggers index it, a listing a statement, with the search table's text
// indexes built once at the end as a restore does: kept up row by row, they would make the
// set-up take an hour on a shared machine. The other indexes stay: the triggers find the rows
// they replace through them.
ServerLoadTimes generateServerCatalogue(CatalogueSize size) {
  const QString textIndexes =
      u" FROM pg_indexes WHERE tablename LIKE 'search\\_%' AND indexdef LIKE '%USING gin%'"_s;
  const QStringList indexes = column(u"SELECT indexdef"_s + textIndexes);
  execute(column(u"SELECT 'DROP INDEX ' || indexname"_s + textIndexes));
  ServerLoadTimes times;
  times.loadS = timedMs([&] { generateCatalogue(kFilesPerListing, size); }) / 1000;
  times.indexS =
      timedMs([&] { execute(QStringList{u"SET maintenance_work_mem = '1GB'"_s} + indexes); }) /
      1000;
  times.analyzeS = timedMs([] { execute({u"VACUUM ANALYZE"_s}); }) / 1000;
  return times;
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
