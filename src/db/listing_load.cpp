#include "db/listing_load.h"

#include <QSqlRecord>

#include <algorithm>
#include <vector>

#include "base/log.h"
#include "base/text_helpers.h"
#include "db/incomplete_listings.h"
#include "db/mod_bd.h"
#include "db/sql_catalogue.h"
#include "db/technical_store.h"

using namespace Qt::StringLiterals;

namespace {

struct ListingHeader {
  QString name;
  QString rootKey;
  int medio = 0;
};

// Reads the listing's row and roots the tree; nothing when the row cannot be had.
std::optional<ListingHeader> readHeader(int rpId, ListingModel& model, QString& title,
                                        TreeNodes tree) {
  DbRecordset& recordset = BdRecordset();
  recordset.Close();
  if (!recordset.Open(sqlListingByNumber(rpId), BdConnection())) {
    WriteLog(u"No se puede leer el listado número %1 de la BD: %2"_s.arg(
        QString::number(rpId), BdConnection().lastError()));
    return std::nullopt;
  }
  if (recordset.RecordCount() == 0) {
    recordset.Close();
    WriteLog(u"El listado número %1 ya no existe en la BD"_s.arg(rpId));
    return std::nullopt;
  }
  const QString name = recordset.Fields(u"report_name"_s).toString();
  const int medio = toInt32(recordset.Fields(u"medio"_s)).value_or(0);
  const ListingHeader header{name, u"[DIR]"_s + name, medio};
  if (medio == kMedioCd) {
    title = u"[CD]"_s;
  } else if (medio == kMedioDirectorio) {
    title = u"[DIR]"_s;
  }
  if (!title.isEmpty() && tree == TreeNodes::Build) {
    model.tree.addRoot(header.rootKey, header.name, medio == kMedioCd ? kImageCd : kImageDirectory);
  }
  title += u' ' + header.name;
  WriteLog(u"Abierto desde bd, el listado: "_s + header.name);
  recordset.Close();
  return header;
}

void readDirectoryRecord(const DbRecordset& rows, DirRecord& dir) {
  dir.dirname = rows.Fields(u"dirname"_s).toString();
  dir.songfrom = toInt32(rows.Fields(u"songfrom"_s)).value_or(dir.songfrom);
  dir.songto = toInt32(rows.Fields(u"songto"_s)).value_or(dir.songto);
}

void readSongRecord(const QSqlRecord& row, SongRecord& song) {
  song.filename = AcuteToQuote(row.value(u"filename"_s).toString());
  song.fileorder = row.value(u"fileorder"_s).toString();
  song.album = row.value(u"album"_s).toString();
  song.artist = row.value(u"artist"_s).toString();
  song.comment = row.value(u"comment"_s).toString();
  song.genre = row.value(u"genre"_s).toString();
  song.title = row.value(u"title"_s).toString();
  song.track = row.value(u"track"_s).toString();
  song.year = row.value(u"year"_s).toString();
}

// A stored file row with its number in the listing.
struct StoredSong {
  int filegenorder = 0;
  SongRecord record;
};

class BodyLoad {
 public:
  BodyLoad(int rpId, ListingModel& model, const QString& rootKey, TreeNodes tree)
      : rpId_(rpId), model_(model), rootKey_(rootKey), tree_(tree) {}

  void run();

 private:
  void readSongs();
  void loadSongs(DirRecord& dir);
  void passOver(const QString& what);

  const int rpId_;
  ListingModel& model_;
  const QString rootKey_;
  const TreeNodes tree_;
  std::vector<StoredSong> songs_;  // by filegenorder
};

// From here on a failure is passed over: the rows that can be read are loaded. A stored
// listing comes back whole, however many rows it has.
void BodyLoad::run() {
  readSongs();
  DbRecordset& dirRows = BdRecordset();
  model_.CancionActualNum = 0;
  int dirCount = 0;
  if (dirRows.Open(sqlDirectoriesOf(rpId_), BdConnection())) {
    for (int row = 0; row < dirRows.RecordCount(); ++row) {
      DirRecord& dir = model_.directorySlot(++dirCount);
      readDirectoryRecord(dirRows, dir);
      if (tree_ == TreeNodes::Build) {
        model_.tree.addChild(rootKey_, dir.dirname, dir.dirname, kImageDirectory);
      }
      loadSongs(dir);
      dirRows.MoveNext();
    }
  } else {
    passOver(u"sus directorios"_s);
  }
  model_.NumDirectoriosMP3 = dirCount;
  model_.DirActualNum = dirCount;
  dirRows.Close();
  model_.NumCancionesMP3 = model_.CancionActualNum;
}

// All the listing's files in one query, read as they come: a query per directory would scan
// the files' table once per directory.
void BodyLoad::readSongs() {
  const bool read = BdConnection().ForEachRow(sqlFilesOf(rpId_), [this](const QSqlRecord& row) {
    StoredSong song{row.value(u"filegenorder"_s).toInt(), {}};
    readSongRecord(row, song.record);
    songs_.push_back(std::move(song));
  });
  if (!read) {
    songs_.clear();
    passOver(u"sus archivos"_s);
  }
  // Numbers that are not numbers read as 0 and may come in any order from the engine.
  std::stable_sort(songs_.begin(), songs_.end(), [](const StoredSong& a, const StoredSong& b) {
    return a.filegenorder < b.filegenorder;
  });
}

// The files whose numbers fall in the directory's stored range, in number order.
void BodyLoad::loadSongs(DirRecord& dir) {
  const auto byNumber = [](const StoredSong& song, int number) {
    return song.filegenorder < number;
  };
  auto song = std::lower_bound(songs_.cbegin(), songs_.cend(), dir.songfrom, byNumber);
  const int last = dir.songto;
  // The directory's range becomes the numbers its files get here: stored ranges that run
  // backwards, overlap or skip rows would otherwise render other directories' files, or a
  // thousand empty ones.
  dir.songfrom = model_.CancionActualNum + 1;
  dir.songto = model_.CancionActualNum;
  for (; song != songs_.cend() && song->filegenorder <= last; ++song) {
    SongRecord& record = model_.songSlot(++model_.CancionActualNum);
    record = song->record;
    dir.songto = model_.CancionActualNum;
    if (tree_ == TreeNodes::Build) {
      model_.tree.addChild(dir.dirname, fileNodeKey(dir.dirname, record.filename), record.filename,
                           kImageMp3);
    }
  }
}

void BodyLoad::passOver(const QString& what) {
  WriteLog(u"No se pueden leer de la BD %1 (listado número %2): %3"_s.arg(
      what, QString::number(rpId_), BdConnection().lastError()));
}

}  // namespace

QString fileNodeKey(const QString& dirname, const QString& filename) {
  return dirname + u'/' + filename;
}

LoadResult Load4bd(int rpId, ListingModel& model, TreeNodes tree) {
  LoadResult result;
  const std::optional<ListingHeader> header = readHeader(rpId, model, result.title, tree);
  if (!header) {
    return {};
  }
  BodyLoad(rpId, model, header->rootKey, tree).run();
  loadTechnicalFields(rpId, model);
  model.notices.incomplete = isListingIncomplete(rpId);
  WriteLog(u"con %1 directorios y %2 archivos MP3"_s.arg(model.NumDirectoriosMP3)
               .arg(model.NumCancionesMP3));
  result.found = true;
  result.name = header->name;
  result.medio = header->medio;
  return result;
}
