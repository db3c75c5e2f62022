#include "db/listing_load.h"

#include "app/log.h"
#include "app/text_helpers.h"
#include "db/mod_bd.h"
#include "db/sql_catalogue.h"

using namespace Qt::StringLiterals;

namespace {

struct ListingHeader {
  QString name;
  QString rootKey;
  int medio = 0;
};

// Reads the listing's row and roots the tree; nothing when the row cannot be had.
std::optional<ListingHeader> readHeader(int rpId, ListingModel& model, QString& title) {
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
    model.tree.addRoot(header.rootKey, header.name, kImageCd);
  } else if (medio == kMedioDirectorio) {
    title = u"[DIR]"_s;
    model.tree.addRoot(header.rootKey, header.name, kImageDirectory);
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

void readSongRecord(const DbRecordset& rows, SongRecord& song) {
  song.filename = AcuteToQuote(rows.Fields(u"filename"_s).toString());
  song.fileorder = rows.Fields(u"fileorder"_s).toString();
  song.album = rows.Fields(u"album"_s).toString();
  song.artist = rows.Fields(u"artist"_s).toString();
  song.comment = rows.Fields(u"comment"_s).toString();
  song.genre = rows.Fields(u"genre"_s).toString();
  song.title = rows.Fields(u"title"_s).toString();
  song.track = rows.Fields(u"track"_s).toString();
  song.year = rows.Fields(u"year"_s).toString();
}

class BodyLoad {
 public:
  BodyLoad(int rpId, ListingModel& model, const QString& rootKey)
      : rpId_(rpId), model_(model), rootKey_(rootKey) {}

  void run();

 private:
  void loadSongs(DirRecord& dir);
  void passOver(const QString& what);

  const int rpId_;
  ListingModel& model_;
  const QString rootKey_;
  DbRecordset songRows_;
};

// From here on a failure is passed over: the rows that can be read are loaded. A stored
// listing comes back whole, however many rows it has.
void BodyLoad::run() {
  DbRecordset& dirRows = BdRecordset();
  model_.CancionActualNum = 0;
  int dirCount = 0;
  if (dirRows.Open(sqlDirectoriesOf(rpId_), BdConnection())) {
    for (int row = 0; row < dirRows.RecordCount(); ++row) {
      DirRecord& dir = model_.directorySlot(++dirCount);
      readDirectoryRecord(dirRows, dir);
      model_.tree.addChild(rootKey_, dir.dirname, dir.dirname, kImageDirectory);
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

void BodyLoad::loadSongs(DirRecord& dir) {
  const QString query = sqlFilesOfDirectory(rpId_, dir.songfrom, dir.songto);
  // The directory's range becomes the numbers its files get here: stored ranges that run
  // backwards, overlap or skip rows would otherwise render other directories' files, or a
  // thousand empty ones.
  dir.songfrom = model_.CancionActualNum + 1;
  dir.songto = model_.CancionActualNum;
  if (!songRows_.Open(query, BdConnection())) {
    passOver(u"los archivos de "_s + dir.dirname);
    return;
  }
  for (int row = 0; row < songRows_.RecordCount(); ++row) {
    SongRecord& song = model_.songSlot(++model_.CancionActualNum);
    dir.songto = model_.CancionActualNum;
    readSongRecord(songRows_, song);
    songRows_.MoveNext();
    model_.tree.addChild(dir.dirname, fileNodeKey(dir.dirname, song.filename), song.filename,
                         kImageMp3);
  }
  songRows_.Close();
}

void BodyLoad::passOver(const QString& what) {
  WriteLog(u"No se pueden leer de la BD %1 (listado número %2): %3"_s.arg(
      what, QString::number(rpId_), BdConnection().lastError()));
}

}  // namespace

QString fileNodeKey(const QString& dirname, const QString& filename) {
  return dirname + u'/' + filename;
}

LoadResult Load4bd(int rpId, ListingModel& model) {
  LoadResult result;
  const std::optional<ListingHeader> header = readHeader(rpId, model, result.title);
  if (!header) {
    return {};
  }
  BodyLoad(rpId, model, header->rootKey).run();
  WriteLog(u"con %1 directorios y %2 archivos MP3"_s.arg(model.NumDirectoriosMP3)
               .arg(model.NumCancionesMP3));
  result.found = true;
  result.name = header->name;
  result.medio = header->medio;
  return result;
}
