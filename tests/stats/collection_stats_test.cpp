#include "stats/collection_stats.h"
#include "stats/stats_format.h"
#include "stats/stats_sources.h"

#include <QSet>

#include <algorithm>
#include <memory>
#include <tuple>
#include <vector>

#include "db/listing_store.h"
#include "db/mod_bd.h"
#include "db/pg_engine.h"
#include "db/stored_listings.h"
#include "search/search_fold.h"
#include "stats/stats_totals.h"
#include "support/listing_db_fixture.h"
#include "support/test_env.h"

using namespace Qt::StringLiterals;

void PrintTo(const StatsBar& bar, std::ostream* os) {
  *os << '{' << bar.label.toStdString() << ", " << bar.count << '}';
}

namespace {

// Texts that fold together (case, accents, "'" and its stored "´"), blanks, and years that
// are and are not four digits, spread over files so every figure has ties and leftovers.
const QStringList kArtists = {u"Björk"_s, u"BJORK"_s, u"bjórk"_s, u"Ana d´Or"_s, u"Ana d'or"_s,
                              {},         u"Zoë"_s,   u" "_s,     u"Ñandú"_s};
const QStringList kAlbums = {u"Uno"_s, u"UNO"_s, {}, u"Dos"_s, u"Tres, ´cuatro´"_s};
const QStringList kYears = {u"1999"_s, u"2001"_s, {},         u"19x9"_s, u"199"_s,
                            u"0999"_s, u"1975"_s, u"20011"_s, u"2010"_s, u" 198"_s};

std::unique_ptr<ListingModel> generatedListing(int seed, int files, quint8 medium) {
  auto model = std::make_unique<ListingModel>();
  model->FinalName = u"Generado %1"_s.arg(seed);
  model->FinalType = medium;
  const int dirs = 3;
  for (int d = 1; d <= dirs; ++d) {
    model->Directorios[d] = {u"/m/d%1-%2"_s.arg(seed).arg(d),
                             static_cast<qint16>((d - 1) * files / dirs + 1),
                             static_cast<qint16>(d * files / dirs)};
  }
  for (int f = 1; f <= files; ++f) {
    const int k = f * 7 + seed * 13;
    SongRecord& song = model->Canciones[f];
    song.artist = kArtists[k % kArtists.size()];
    song.album = kAlbums[(k / 3) % kAlbums.size()];
    song.title = k % 5 == 0 ? QString() : u"Título %1"_s.arg(k);
    song.year = kYears[(k / 2) % kYears.size()];
    song.genre = k % 11 == 0 ? QString() : u"Género %1"_s.arg(k % 17);
    song.track = k % 6 == 0 ? u"0"_s : QString::number(k % 20 + 1);
    song.filename = u"%1.mp3"_s.arg(f);
    song.fileorder = QString::number(f);
  }
  model->NumDirectoriosMP3 = dirs;
  model->NumCancionesMP3 = static_cast<qint16>(files);
  return model;
}

// The figures counted the slow, obvious way over every file.
struct BruteForce {
  qint64 files = 0;
  QSet<QString> artists;
  QSet<QString> albums;
  std::map<QString, qint64> genres;
  std::map<QString, qint64> decades;
  std::map<QString, qint64> artistFiles;  // by folded artist
  std::array<qint64, kHealthChecks.size()> health{};

  void add(const ListingModel& model) {
    for (int f = 1; f <= model.NumCancionesMP3; ++f) {
      const SongRecord& s = model.Canciones[f];
      ++files;
      if (!s.artist.isEmpty()) {
        artists.insert(foldText(s.artist));
        ++artistFiles[foldText(s.artist)];
      }
      if (!s.album.isEmpty()) {
        albums.insert(foldText(s.artist) + u'|' + foldText(s.album));
      }
      if (!s.genre.isEmpty()) {
        ++genres[s.genre];
      }
      const bool fourDigits = s.year.size() == 4 && s.year.toUInt() < 10000 &&
                              !s.year.contains(u' ') && !s.year.contains(u'x');
      ++decades[fourDigits ? s.year.left(3) + u"0-"_s + s.year.left(3) + u'9' : u"Sin año"_s];
      const bool fails[] = {s.artist.isEmpty(), s.title.isEmpty(), s.album.isEmpty(), !fourDigits,
                            s.track == u"0"_s};
      for (size_t i = 0; i < health.size(); ++i) {
        health[i] += fails[i] ? 1 : 0;
      }
    }
  }

  static void sortRanked(std::vector<StatsBar>& bars) {
    std::stable_sort(bars.begin(), bars.end(),
                     [](const StatsBar& a, const StatsBar& b) { return a.count > b.count; });
  }

  static std::vector<StatsBar> ranked(const std::map<QString, qint64>& counts) {
    std::vector<StatsBar> bars;
    for (const auto& [label, count] : counts) {
      bars.push_back({label, count});
    }
    sortRanked(bars);
    return bars;
  }

  void expectMatches(const CollectionStats& stats) const {
    EXPECT_EQ(stats.files, files);
    EXPECT_EQ(stats.artists, artists.size());
    EXPECT_EQ(stats.albums, albums.size());
    EXPECT_EQ(stats.health, health);

    std::vector<StatsBar> genreTop = ranked(genres);
    qint64 others = 0;
    for (size_t i = kTopGenres; i < genreTop.size(); ++i) {
      others += genreTop[i].count;
    }
    ASSERT_GT(genreTop.size(), size_t{kTopGenres});
    genreTop.resize(kTopGenres);
    genreTop.push_back({u"Otros"_s, others});
    EXPECT_EQ(stats.genres, genreTop);

    std::vector<StatsBar> decadeBars;
    for (const auto& [label, count] : decades) {
      if (label != u"Sin año"_s) {
        decadeBars.push_back({label, count});
      }
    }
    decadeBars.push_back({u"Sin año"_s, decades.at(u"Sin año"_s)});
    EXPECT_EQ(stats.decades, decadeBars);

    std::vector<StatsBar> folded;
    for (const StatsBar& bar : stats.artistsTop) {
      folded.push_back({foldText(bar.label), bar.count});
    }
    // Artists with as many files may come in any order; compare them as the brute force ranks.
    std::sort(folded.begin(), folded.end(),
              [](const StatsBar& a, const StatsBar& b) { return a.label < b.label; });
    sortRanked(folded);
    EXPECT_EQ(folded, ranked(artistFiles));
  }
};

// The whole catalogue's figures against the brute force over the models stored in it.
void expectCatalogueMatches(const std::vector<std::unique_ptr<ListingModel>>& models) {
  BruteForce brute;
  for (const auto& model : models) {
    brute.add(*model);
  }
  QString error;
  brute.expectMatches(collectionStats(countsOfCatalogue({}, error)));
  EXPECT_EQ(error, QString());
}

}  // namespace

TEST(CollectionStats, ListingFiguresMatchABruteForceCount) {
  const auto model = generatedListing(1, 240, kMedioDirectorio);
  BruteForce brute;
  brute.add(*model);
  const CollectionStats stats = collectionStats(countsOfListing(*model));
  brute.expectMatches(stats);
  EXPECT_EQ(stats.directories, 3);
  EXPECT_FALSE(stats.listings.has_value());

  for (const HealthCheck check : kHealthChecks) {
    const std::vector<int> failing = listingFilesFailing(*model, check);
    EXPECT_EQ(static_cast<qint64>(failing.size()), stats.health[static_cast<size_t>(check)]);
  }
}

TEST(CollectionStats, TopTwelveGenresThenOtros) {
  TagCounts counts;
  for (int g = 1; g <= 14; ++g) {
    counts.genres[u"g%1"_s.arg(g, 2, 10, QChar(u'0'))] = g;
  }
  counts.genres[QString()] = 100;
  const std::vector<StatsBar> bars = genreBars(counts);
  ASSERT_EQ(bars.size(), 13u);
  EXPECT_EQ(bars.front(), (StatsBar{u"g14"_s, 14}));
  EXPECT_EQ(bars.back(), (StatsBar{u"Otros"_s, 3}));
}

// Three stored listings, two CDs and a directory, on either engine.
class CatalogueStatsTest : public EngineBdTest {
 protected:
  void SetUp() override {
    EngineBdTest::SetUp();
    if (IsSkipped() || HasFatalFailure()) {
      return;
    }
    const quint8 media[] = {kMedioCd, kMedioDirectorio, kMedioCd};
    for (int seed = 0; seed < 3; ++seed) {
      models_.push_back(generatedListing(seed, 150 + seed * 40, media[seed]));
      const StoreResult stored = Save2bd(*models_.back());
      ASSERT_EQ(stored.error, QString());
      numbers_.push_back(stored.rp_id);
    }
  }

  // The catalogue's figures of every scope against the brute force over the listings' models.
  void expectFiguresMatch() {
    struct Case {
      StatsScope scope;
      std::vector<size_t> listings;
    };
    for (const Case& c : {Case{{}, {0, 1, 2}}, Case{{SearchMedium::CDs, {}}, {0, 2}},
                          Case{{SearchMedium::Todos, numbers_[1]}, {1}}}) {
      BruteForce brute;
      qint64 directories = 0;
      for (const size_t i : c.listings) {
        brute.add(*models_[i]);
        directories += models_[i]->NumDirectoriosMP3;
      }
      QString error;
      const CollectionStats stats = collectionStats(countsOfCatalogue(c.scope, error));
      ASSERT_EQ(error, QString());
      brute.expectMatches(stats);
      EXPECT_EQ(stats.directories, directories);
      EXPECT_EQ(stats.listings,
                c.scope.rpId ? std::nullopt : std::optional<qint64>(c.listings.size()));
    }
  }

  // On the file database the figures come from the totals once they are made.
  void expectTotalsInUse() {
    if (!onServer()) {
      EXPECT_EQ(catalogueStatsRows({}), StatsRows::Totals);
    }
  }

  std::vector<std::unique_ptr<ListingModel>> models_;
  std::vector<qint16> numbers_;
};

TEST_P(CatalogueStatsTest, CatalogueFiguresMatchABruteForceCountForEachScope) {
  expectFiguresMatch();
  expectTotalsInUse();
}

TEST_P(CatalogueStatsTest, WhatAnotherProgramWritesCountsAtOnce) {
  expectFiguresMatch();
  // Plain SQL on a connection of its own, as any other client writes: texts changed in one
  // listing, the last directory and its files gone from another.
  const QString first = QString::number(numbers_[0]);
  const QString second = QString::number(numbers_[1]);
  rows(u"UPDATE infoMP3 SET artist = 'Otro´s', title = '', year = '1888' WHERE rp_id = "_s + first +
       u" AND filegenorder <= 20"_s);
  const int kept = models_[1]->Directorios[3].songfrom - 1;
  rows(u"DELETE FROM infoMP3 WHERE rp_id = "_s + second + u" AND filegenorder > "_s +
       QString::number(kept));
  rows(u"DELETE FROM estructdir WHERE rp_id = "_s + second + u" AND songfrom > "_s +
       QString::number(kept));
  for (int f = 1; f <= 20; ++f) {
    SongRecord& song = models_[0]->Canciones[f];
    song.artist = u"Otro´s"_s;
    song.title.clear();
    song.year = u"1888"_s;
  }
  models_[1]->NumCancionesMP3 = kept;
  models_[1]->NumDirectoriosMP3 = 2;

  expectFiguresMatch();
  expectTotalsInUse();
}

TEST_P(CatalogueStatsTest, ADeletedListingLeavesNoTotalsBehind) {
  expectFiguresMatch();
  const QString deleted = QString::number(numbers_[2]);
  ASSERT_EQ(deleteStoredListing(numbers_[2]), QString());
  models_.pop_back();
  if (!onServer()) {
    for (const QString& table : {u"stats_listings"_s, u"stats_pairs"_s, u"stats_values"_s}) {
      EXPECT_EQ(rows(u"SELECT count(*) FROM "_s + table + u" WHERE rp_id = "_s + deleted),
                QStringList{u"0"_s});
    }
  }
  // The highest number is taken again, by a listing of its own.
  models_.push_back(generatedListing(7, 60, kMedioDirectorio));
  const StoreResult stored = Save2bd(*models_.back());
  ASSERT_EQ(stored.error, QString());
  EXPECT_EQ(QString::number(stored.rp_id), deleted);
  expectCatalogueMatches(models_);
  expectTotalsInUse();
}

// A database written before the totals existed, or whose listings were copied in without them.
class OlderCatalogueStatsTest : public BdTest {
 protected:
  void SetUp() override {
    BdTest::SetUp();
    for (int seed = 0; seed < 2; ++seed) {
      models_.push_back(generatedListing(seed, 90, kMedioCd));
      ASSERT_EQ(Save2bd(*models_.back()).error, QString());
    }
  }

  void expectAllFiguresMatch() {
    expectCatalogueMatches(models_);
    EXPECT_EQ(catalogueStatsRows({}), StatsRows::Totals);
    EXPECT_EQ(rows(u"SELECT count(*) FROM stats_listings"_s), QStringList{u"2"_s});
  }

  std::vector<std::unique_ptr<ListingModel>> models_;
};

TEST_F(OlderCatalogueStatsTest, ACatalogueThatCannotBeWrittenCountsWhatChangedFromItsFiles) {
  expectAllFiguresMatch();
  rows(u"UPDATE infoMP3 SET genre = 'Otro', album = '' WHERE filegenorder <= 30"_s);
  for (const auto& model : models_) {
    for (int f = 1; f <= 30; ++f) {
      model->Canciones[f].genre = u"Otro"_s;
      model->Canciones[f].album.clear();
    }
  }
  CloseBd();
  // Read-only: the noted listings cannot be caught up, so their totals are not used.
  writeFile(programDir_ + u"/config.ini"_s,
            "[log]\r\nlogfile=quillet.log\r\n[bd]\r\ncadcon=Provider=QSQLITE;"
            "QSQLITE_OPEN_READONLY\r\n");
  ASSERT_EQ(OpenBd(), QString());
  expectCatalogueMatches(models_);
  EXPECT_EQ(catalogueStatsRows({}), StatsRows::Files);
}

TEST_F(OlderCatalogueStatsTest, ListingsWithoutTotalsAreGivenThem) {
  expectAllFiguresMatch();
  // No note is left by this: only the missing rows tell.
  rows(u"DELETE FROM stats_listings"_s);
  rows(u"DELETE FROM stats_pairs"_s);
  rows(u"DELETE FROM stats_values"_s);
  expectAllFiguresMatch();
}

TEST_P(CatalogueStatsTest, AnOlderCatalogueGainsTheTotalsInPlace) {
  CloseBd();
  // The catalogue as a Quillet before the totals left it.
  if (onServer()) {
    ASSERT_TRUE(server_->exec({u"DROP TABLE stats_listings, stats_pairs, stats_values"_s,
                               u"DROP FUNCTION quillet_stats_changed() CASCADE"_s,
                               u"DROP FUNCTION quillet_stats_listing(integer)"_s,
                               u"UPDATE quillet_schema SET version = 1"_s}));
  } else {
    for (const QString& sql :
         {u"DROP TRIGGER stats_listing_removed"_s, u"DROP TABLE stats_listings"_s,
          u"DROP TABLE stats_pairs"_s, u"DROP TABLE stats_values"_s}) {
      rows(sql);
    }
  }
  ASSERT_EQ(OpenBd(), QString());
  expectFiguresMatch();
  expectTotalsInUse();
  EXPECT_EQ(rows(u"SELECT count(*) FROM stats_listings"_s), QStringList{u"3"_s});
  if (onServer()) {
    EXPECT_EQ(rows(u"SELECT version FROM quillet_schema"_s),
              QStringList{QString::number(kServerSchemaVersion)});
    // Kept from then on by the triggers, whoever writes.
    rows(u"DELETE FROM infoMP3 WHERE rp_id = "_s + QString::number(numbers_[0]));
    models_[0]->NumCancionesMP3 = 0;
    expectFiguresMatch();
  }
}

TEST_P(CatalogueStatsTest, FailingFilesAreTheOnesTheListingCounts) {
  QString error;
  for (const HealthCheck check : kHealthChecks) {
    const std::vector<CatalogueFile> files =
        catalogueFilesFailing({SearchMedium::Todos, numbers_[2]}, check, 1000, error);
    ASSERT_EQ(error, QString());
    std::vector<int> numbers;
    for (const CatalogueFile& file : files) {
      EXPECT_EQ(file.rp_id, numbers_[2]);
      EXPECT_EQ(file.dirname.left(6), u"/m/d2-"_s);
      numbers.push_back(file.filegenorder);
    }
    EXPECT_EQ(numbers, listingFilesFailing(*models_[2], check)) << healthKey(check).toStdString();
  }
  EXPECT_EQ(catalogueFilesFailing({}, HealthCheck::SinTitulo, 5, error).size(), 5u);
}

TEST(StatsFormat, FourDigitNumbersStayWholeAndLongerOnesAreGroupedWithPoints) {
  EXPECT_EQ(spanishNumber(0), u"0"_s);
  EXPECT_EQ(spanishNumber(1234), u"1234"_s);
  EXPECT_EQ(spanishNumber(12345), u"12.345"_s);
  EXPECT_EQ(spanishNumber(1000000), u"1.000.000"_s);
  EXPECT_EQ(spanishShare(1, 8), u"12,5 %"_s);
  EXPECT_EQ(spanishShare(3, 0), u"0,0 %"_s);
}

TEST(StatsFormat, AShareUnderOneTenthOfAPercentSaysSo) {
  const std::vector<std::tuple<qint64, qint64, QString>> cases = {{0, 22500, u"0,0 %"_s},
                                                                  {1, 22500, u"< 0,1 %"_s},
                                                                  {22, 22500, u"< 0,1 %"_s},
                                                                  {23, 22500, u"0,1 %"_s},
                                                                  {1, 1000, u"0,1 %"_s}};
  for (const auto& [part, whole, text] : cases) {
    EXPECT_EQ(spanishShare(part, whole), text) << part << "/" << whole;
  }
}

INSTANTIATE_ON_BOTH_ENGINES(CatalogueStatsTest);
