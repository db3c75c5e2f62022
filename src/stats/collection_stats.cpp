#include "stats/collection_stats.h"

#include <QHash>
#include <QSet>

#include <algorithm>

#include "search/search_fold.h"

using namespace Qt::StringLiterals;

namespace {

// Most files first; equal counts by label, so the order never depends on the source.
void sortByCount(std::vector<StatsBar>& bars) {
  std::sort(bars.begin(), bars.end(), [](const StatsBar& a, const StatsBar& b) {
    return a.count != b.count ? a.count > b.count : a.label < b.label;
  });
}

// The first limit bars, and what the others add up to under otherLabel when there are any.
std::vector<StatsBar> topOf(std::vector<StatsBar> bars, int limit, const QString& otherLabel) {
  sortByCount(bars);
  if (static_cast<int>(bars.size()) <= limit) {
    return bars;
  }
  qint64 others = 0;
  for (auto it = bars.begin() + limit; it != bars.end(); ++it) {
    others += it->count;
  }
  bars.resize(static_cast<size_t>(limit));
  if (!otherLabel.isEmpty()) {
    bars.push_back({otherLabel, others});
  }
  return bars;
}

// One folded artist: its files, and its spellings with theirs.
struct FoldedArtist {
  qint64 files = 0;
  std::map<QString, qint64> spellings;
};

// Pairs come sorted by artist: each artist is folded once, when it first comes.
class ArtistFolder {
 public:
  const QString& operator()(const QString& artist) {
    if (artist != last_ || key_.isNull()) {
      last_ = artist;
      key_ = foldText(artist);
    }
    return key_;
  }

 private:
  QString last_;
  QString key_;
};

QHash<QString, FoldedArtist> foldedArtists(const TagCounts& counts) {
  QHash<QString, FoldedArtist> artists;
  ArtistFolder fold;
  for (const auto& [pair, files] : counts.artistAlbums) {
    if (pair.first.isEmpty()) {
      continue;
    }
    FoldedArtist& artist = artists[fold(pair.first)];
    artist.files += files;
    artist.spellings[pair.first] += files;
  }
  return artists;
}

}  // namespace

QString healthKey(HealthCheck check) {
  switch (check) {
    case HealthCheck::SinArtista:
      return u"sin_artista"_s;
    case HealthCheck::SinTitulo:
      return u"sin_titulo"_s;
    case HealthCheck::SinAlbum:
      return u"sin_album"_s;
    case HealthCheck::SinAnyo:
      return u"sin_anyo"_s;
    case HealthCheck::SinEtiqueta:
      break;
  }
  return u"sin_etiqueta"_s;
}

QString healthText(HealthCheck check) {
  switch (check) {
    case HealthCheck::SinArtista:
      return u"Sin artista"_s;
    case HealthCheck::SinTitulo:
      return u"Sin título"_s;
    case HealthCheck::SinAlbum:
      return u"Sin álbum"_s;
    case HealthCheck::SinAnyo:
      return u"Sin año"_s;
    case HealthCheck::SinEtiqueta:
      break;
  }
  return u"Sin etiqueta"_s;
}

bool isFourDigitYear(const QString& year) {
  return year.size() == 4 &&
         std::all_of(year.cbegin(), year.cend(), [](QChar c) { return c >= u'0' && c <= u'9'; });
}

bool failsCheck(HealthCheck check, const QString& artist, const QString& title,
                const QString& album, const QString& year, const QString& track) {
  switch (check) {
    case HealthCheck::SinArtista:
      return artist.isEmpty();
    case HealthCheck::SinTitulo:
      return title.isEmpty();
    case HealthCheck::SinAlbum:
      return album.isEmpty();
    case HealthCheck::SinAnyo:
      return !isFourDigitYear(year);
    case HealthCheck::SinEtiqueta:
      break;
  }
  return track == u"0"_s;
}

qint64 distinctArtists(const TagCounts& counts) {
  return foldedArtists(counts).size();
}

qint64 distinctAlbums(const TagCounts& counts) {
  QSet<QString> albums;
  ArtistFolder fold;
  for (const auto& [pair, files] : counts.artistAlbums) {
    if (!pair.second.isEmpty()) {
      albums.insert(fold(pair.first) + u'\u001F' + foldText(pair.second));
    }
  }
  return albums.size();
}

std::vector<StatsBar> genreBars(const TagCounts& counts) {
  std::vector<StatsBar> bars;
  for (const auto& [genre, files] : counts.genres) {
    if (!genre.isEmpty()) {
      bars.push_back({genre, files});
    }
  }
  return topOf(std::move(bars), kTopGenres, u"Otros"_s);
}

std::vector<StatsBar> decadeBars(const TagCounts& counts) {
  std::map<int, qint64> decades;
  qint64 withoutYear = 0;
  for (const auto& [year, files] : counts.years) {
    if (isFourDigitYear(year)) {
      decades[year.toInt() / 10 * 10] += files;
    } else {
      withoutYear += files;
    }
  }
  std::vector<StatsBar> bars;
  for (const auto& [decade, files] : decades) {
    bars.push_back(
        {u"%1-%2"_s.arg(decade, 4, 10, QChar(u'0')).arg(decade + 9, 4, 10, QChar(u'0')), files});
  }
  if (withoutYear > 0) {
    bars.push_back({u"Sin año"_s, withoutYear});
  }
  return bars;
}

std::vector<StatsBar> topArtists(const TagCounts& counts) {
  std::vector<StatsBar> bars;
  for (const FoldedArtist& artist : foldedArtists(counts)) {
    const auto spelling =
        std::max_element(artist.spellings.begin(), artist.spellings.end(),
                         [](const auto& a, const auto& b) { return a.second < b.second; });
    bars.push_back({spelling->first, artist.files});
  }
  return topOf(std::move(bars), kTopArtists, {});
}

qint64 healthCount(const TagCounts& counts, HealthCheck check) {
  qint64 failing = 0;
  switch (check) {
    case HealthCheck::SinTitulo:
      return counts.withoutTitle;
    case HealthCheck::SinEtiqueta:
      return counts.withoutTag;
    case HealthCheck::SinAnyo:
      for (const auto& [year, files] : counts.years) {
        failing += isFourDigitYear(year) ? 0 : files;
      }
      return failing;
    case HealthCheck::SinArtista:
    case HealthCheck::SinAlbum:
      break;
  }
  const bool byArtist = check == HealthCheck::SinArtista;
  for (const auto& [pair, files] : counts.artistAlbums) {
    failing += (byArtist ? pair.first : pair.second).isEmpty() ? files : 0;
  }
  return failing;
}

CollectionStats collectionStats(const TagCounts& counts) {
  CollectionStats stats;
  stats.listings = counts.listings;
  stats.directories = counts.directories;
  stats.files = counts.files;
  stats.artists = distinctArtists(counts);
  stats.albums = distinctAlbums(counts);
  stats.genres = genreBars(counts);
  stats.decades = decadeBars(counts);
  stats.artistsTop = topArtists(counts);
  for (size_t i = 0; i < kHealthChecks.size(); ++i) {
    stats.health[i] = healthCount(counts, kHealthChecks[i]);
  }
  return stats;
}

QStringList chartKeys() {
  return {u"generos"_s, u"decadas"_s, u"top_artistas"_s};
}

std::vector<NamedChart> chartsOf(const CollectionStats& stats) {
  const QStringList keys = chartKeys();
  return {{keys[0], u"Archivos por género"_s, &stats.genres},
          {keys[1], u"Archivos por década"_s, &stats.decades},
          {keys[2], u"Artistas con más archivos"_s, &stats.artistsTop}};
}
