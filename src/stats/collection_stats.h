#pragma once

#include <QString>
#include <QStringList>

#include <array>
#include <map>
#include <optional>
#include <vector>

// The figures of a collection (one listing, or the stored catalogue): totals, three bar charts
// and the health of its tags. Each figure is one function over the same grouped counts, which
// a listing gives by counting its files and the catalogue by SQL aggregates, so both roads
// share every rule.

/** How many files carry each combination of texts the figures look at. */
struct TagCounts {
  std::optional<qint64> listings;  // the catalogue's only
  qint64 directories = 0;
  qint64 files = 0;
  std::map<std::pair<QString, QString>, qint64> artistAlbums;  // (artist, album) as held
  std::map<QString, qint64> genres;
  std::map<QString, qint64> years;
  qint64 withoutTitle = 0;
  qint64 withoutTag = 0;
};

struct StatsBar {
  QString label;
  qint64 count = 0;

  bool operator==(const StatsBar&) const = default;
};

/** The tag-health checks, in the order the window and the command line show them. */
enum class HealthCheck { SinArtista, SinTitulo, SinAlbum, SinAnyo, SinEtiqueta };
inline constexpr std::array kHealthChecks = {HealthCheck::SinArtista, HealthCheck::SinTitulo,
                                             HealthCheck::SinAlbum, HealthCheck::SinAnyo,
                                             HealthCheck::SinEtiqueta};

/** "sin_artista", ...: the key of the command line. */
QString healthKey(HealthCheck check);
/** "Sin artista", ...: the window's text. */
QString healthText(HealthCheck check);

/** The year tag as four digits, which alone give a decade. */
bool isFourDigitYear(const QString& year);
/** Whether a file with these texts fails the check; a track "0" means it had no tag. */
bool failsCheck(HealthCheck check, const QString& artist, const QString& title,
                const QString& album, const QString& year, const QString& track);

inline constexpr int kTopGenres = 12;
inline constexpr int kTopArtists = 20;

/** Distinct non-empty artists, folded as the search folds them. */
qint64 distinctArtists(const TagCounts& counts);
/** Distinct pairs of folded artist and non-empty folded album. */
qint64 distinctAlbums(const TagCounts& counts);
/** The kTopGenres genres with most files, then "Otros" for the rest (files without a genre are
 *  left out). */
std::vector<StatsBar> genreBars(const TagCounts& counts);
/** Files by decade of four-digit years ("1990-1999"), oldest first, then "Sin año". */
std::vector<StatsBar> decadeBars(const TagCounts& counts);
/** The kTopArtists artists with most files, under the spelling most of their files have. */
std::vector<StatsBar> topArtists(const TagCounts& counts);
qint64 healthCount(const TagCounts& counts, HealthCheck check);

struct CollectionStats {
  std::optional<qint64> listings;
  qint64 directories = 0;
  qint64 files = 0;
  qint64 artists = 0;
  qint64 albums = 0;
  std::vector<StatsBar> genres;
  std::vector<StatsBar> decades;
  std::vector<StatsBar> artistsTop;
  std::array<qint64, kHealthChecks.size()> health{};
};

CollectionStats collectionStats(const TagCounts& counts);

/** The three charts' names and bars, in the order they are shown. */
struct NamedChart {
  QString key;    // "generos", "decadas", "top_artistas"
  QString title;  // "Archivos por género", ...
  const std::vector<StatsBar>* bars;
};
std::vector<NamedChart> chartsOf(const CollectionStats& stats);
/** The charts' keys, in that order. */
QStringList chartKeys();
