#include "output/listing_table.h"

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

// The technical fields (duration, bit rate, sample rate, size); absent while the listing
// does not carry them.
const QStringList kTechnicalColumns = {u"duracion_ms"_s, u"kbps"_s, u"hz"_s, u"bytes"_s};

// A file without technical fields (a listing without them, or a file that could not be read)
// leaves them absent.
void appendTechnicalCells(ExportRow& row, const AudioProperties* audio) {
  if (!audio) {
    row.insert(row.end(), kTechnicalColumns.size(), ExportCell::absent());
    return;
  }
  for (const qint64 value :
       {audio->durationMs, qint64(audio->kbps), qint64(audio->hz), audio->bytes}) {
    row.push_back(ExportCell::number(value));
  }
}

ExportRow fileRow(const ListingModel& model, const ListingName& name, const DirectoryRange& dir,
                  int f) {
  const SongRecord& song = model.Canciones[f];
  ExportRow row = {{name.name},
                   {mediumText(name.medio)},
                   ExportCell::number(dir.number),
                   {model.Directorios[dir.number].dirname},
                   ExportCell::number(f),
                   ExportCell::numberOrText(song.fileorder),
                   {song.filename},
                   {song.artist},
                   {song.title},
                   {song.album},
                   {song.year},
                   {song.track},
                   {song.genre},
                   {song.comment}};
  appendTechnicalCells(row, model.technical.of(f));
  return row;
}

}  // namespace

ListingName listingNameOf(const ListingModel& model) {
  return {model.FinalName, model.FinalType};
}

std::vector<DirectoryRange> directoryRanges(const ListingModel& model) {
  std::vector<DirectoryRange> ranges;
  const int dirs = std::clamp(model.NumDirectoriosMP3, 0, model.lastDirectorySlot());
  for (int d = 1; d <= dirs; ++d) {
    const DirRecord& dir = model.Directorios[d];
    ranges.push_back({d, std::max(dir.songfrom, 1), std::min(dir.songto, model.lastSongSlot())});
  }
  return ranges;
}

QString mediumText(int medio) {
  return medio == kMedioCd ? u"CD"_s : medio == kMedioDirectorio ? u"DIR"_s : u"?"_s;
}

QStringList listingColumns() {
  return QStringList{u"listado"_s,     u"medio"_s,     u"num_directorio"_s, u"directorio"_s,
                     u"num_archivo"_s, u"orden"_s,     u"archivo"_s,        u"artista"_s,
                     u"titulo"_s,      u"album"_s,     u"anyo"_s,           u"pista"_s,
                     u"genero"_s,      u"comentario"_s} +
         kTechnicalColumns;
}

ExportTable listingTable(const ListingModel& model, const ListingName& name) {
  ExportTable table{listingColumns(), {}};
  for (const DirectoryRange& dir : directoryRanges(model)) {
    for (int f = dir.first; f <= dir.last; ++f) {
      table.rows.push_back(fileRow(model, name, dir, f));
    }
  }
  return table;
}

QByteArray listingJsonBytes(const ListingModel& model, const ListingName& name) {
  const QList<QByteArray> columns = jsonKeys(listingColumns());
  QByteArray out = "{\"listado\": " + jsonValue({name.name}) +
                   ", \"medio\": " + jsonString(mediumText(name.medio));
  const std::vector<DirectoryRange> ranges = directoryRanges(model);
  qint64 files = 0;
  QByteArray directories;
  for (const DirectoryRange& dir : ranges) {
    directories += directories.isEmpty() ? "\n  " : ",\n  ";
    directories += "{\"num_directorio\": " + QByteArray::number(dir.number) +
                   ", \"directorio\": " + jsonValue({model.Directorios[dir.number].dirname}) +
                   ", \"archivo\": [";
    for (int f = dir.first; f <= dir.last; ++f) {
      directories += (f == dir.first ? "\n    " : ",\n    ") +
                     jsonObject(columns, fileRow(model, name, dir, f));
      ++files;
    }
    directories += dir.first <= dir.last ? "\n  ]}" : "]}";
  }
  out += ", \"directorios\": " + QByteArray::number(static_cast<qint64>(ranges.size())) +
         ", \"archivos\": " + QByteArray::number(files) + ", \"directorio\": [" + directories +
         (ranges.empty() ? "]}\n" : "\n]}\n");
  return out;
}
