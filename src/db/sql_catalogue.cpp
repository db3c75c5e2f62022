#include "db/sql_catalogue.h"

#include "base/text_helpers.h"
#include "scan/listing_model.h"

using namespace Qt::StringLiterals;

// Plain concatenation throughout: QString::arg would rescan inserted texts for "%1" markers.
namespace {

QString quoted(const QString& text) {
  return u'\'' + QuoteToAcute(text) + u'\'';
}

// A text as a row stores it: apostrophes as acute accents, and empty rather than null.
QVariant storedText(const QString& text) {
  const QString stored = QuoteToAcute(text);
  return stored.isNull() ? QVariant(u""_s) : QVariant(stored);
}

QString literalOf(const QVariant& value) {
  return value.typeId() == QMetaType::QString ? u'\'' + value.toString() + u'\'' : value.toString();
}

QString n(int number) {
  return QString::number(number);
}

}  // namespace

QString sqlStoredCdCheck(const QString& label) {
  return u"select * from reports where report_name="_s + quoted(label);
}

QString sqlHighestNumber() {
  return u"select max(rp_id) from reports"_s;
}

QString SqlRow::literal() const {
  QStringList texts;
  texts.reserve(values.size());
  for (const QVariant& value : values) {
    texts.append(literalOf(value));
  }
  return u"INSERT INTO "_s + table + u" VALUES ("_s + texts.join(u',') + u')';
}

QString SqlRow::prepared() const {
  const QStringList marks(values.size(), u"?"_s);
  return u"INSERT INTO "_s + table + u" VALUES ("_s + marks.join(u',') + u')';
}

SqlRow sqlDirectoryRow(int rpId, const DirRecord& dir) {
  return {u"estructdir"_s, {rpId, storedText(dir.dirname), dir.songfrom, dir.songto}};
}

SqlRow sqlFileRow(int rpId, const SongRecord& song, int fileorder, int filegenorder) {
  return {u"infoMP3"_s,
          {rpId, storedText(song.album), storedText(song.artist), storedText(song.comment),
           storedText(song.genre), storedText(song.title), storedText(song.track),
           storedText(song.year), storedText(song.filename), fileorder, filegenorder}};
}

QString sqlListingRow(int rpId, const QString& name, int medium) {
  return u"INSERT INTO reports VALUES ("_s + n(rpId) + u',' + quoted(name) + u',' + n(medium) +
         u',' + quoted(name) + u')';
}

QString sqlListingByNumber(int rpId) {
  return u"select * from reports where rp_id = "_s + n(rpId);
}

// The loading queries name their order, so rows come back in their stored numbering whatever
// the engine's natural order.
QString sqlDirectoriesOf(int rpId) {
  return u"select * from estructdir where rp_id = "_s + n(rpId) + u" order by songfrom"_s;
}

QString sqlFilesOf(int rpId) {
  return u"select * from infomp3 where rp_id = "_s + n(rpId) + u" order by filegenorder"_s;
}

QString sqlStoredFilesOf(int rpId, bool records) {
  return u"SELECT "_s + (records ? u"i.*"_s : u"i.filename, i.fileorder, i.filegenorder"_s) +
         u", o.bytes, o.modificado FROM infoMP3 i LEFT JOIN origen_archivos o ON o.rp_id = "
         u"i.rp_id AND o.filegenorder = i.filegenorder WHERE i.rp_id = "_s +
         n(rpId) + u" ORDER BY i.filegenorder"_s;
}

QString sqlListingsOfMedium(int medium) {
  return u"select * from reports where medio="_s + n(medium) + u" order by rp_id"_s;
}

QString sqlDeleteListing(int rpId) {
  return u"delete from reports where rp_id="_s + n(rpId);
}

QString sqlDeleteDirectories(int rpId) {
  return u"delete from estructdir where rp_id="_s + n(rpId);
}

QString sqlDeleteFiles(int rpId) {
  return u"delete from infoMP3 where rp_id="_s + n(rpId);
}

QString sqlDeleteFilesNumbered(const QString& numbers) {
  return u"DELETE FROM infoMP3 WHERE rp_id = ? AND filegenorder IN ("_s + numbers + u')';
}

QString sqlShiftFiles(int sign) {
  return (sign < 0 ? u"UPDATE infoMP3 SET filegenorder = -(filegenorder + ?)"_s
                   : u"UPDATE infoMP3 SET filegenorder = filegenorder + ?"_s) +
         u" WHERE rp_id = ? AND filegenorder BETWEEN ? AND ?"_s;
}

QString sqlUnnegateFiles() {
  return u"UPDATE infoMP3 SET filegenorder = -filegenorder WHERE rp_id = ? AND filegenorder < 0"_s;
}

QString sqlSetFileorder() {
  return u"UPDATE infoMP3 SET fileorder = ? WHERE rp_id = ? AND filegenorder = ?"_s;
}

QString sqlCopyListingNumbers() {
  return u"select rp_id from reports order by rp_id"_s;
}

QString sqlCopyListingRow() {
  return u"select report_name, medio, report_desc from reports where rp_id = ?"_s;
}

QString sqlCopyDirectories() {
  return u"select dirname, songfrom, songto from estructdir where rp_id = ? order by songfrom, "
         u"songto, dirname"_s;
}

QString sqlCopyFiles() {
  return u"select album, artist, comment, genre, title, track, year, filename, fileorder, "
         u"filegenorder from infoMP3 where rp_id = ? order by filegenorder, fileorder, "
         u"filename"_s;
}

QString sqlCopySameNameAndMedium() {
  return u"select rp_id from reports where report_name = ? and medio = ? order by rp_id"_s;
}

QString sqlCopyNumberTaken() {
  return u"select rp_id from reports where rp_id = ?"_s;
}

QString sqlCopyDirectoryRow() {
  return u"INSERT INTO estructdir VALUES (?,?,?,?)"_s;
}

QString sqlCopyFileRow() {
  return u"INSERT INTO infoMP3 VALUES (?,?,?,?,?,?,?,?,?,?,?)"_s;
}

QString sqlCopyListingInsert() {
  return u"INSERT INTO reports VALUES (?,?,?,?)"_s;
}

QString sqlTechnicalRowsOf() {
  return u"SELECT filegenorder, duracion_ms, kbps, hz, canales, bytes FROM infotecnica WHERE "
         u"rp_id = ? ORDER BY filegenorder"_s;
}

QString sqlTechnicalRowInsert() {
  return u"INSERT INTO infotecnica (rp_id, filegenorder, duracion_ms, kbps, hz, canales, bytes) "
         u"VALUES (?, ?, ?, ?, ?, ?, ?)"_s;
}

QString sqlForgetTechnicalRows() {
  return u"DELETE FROM infotecnica WHERE rp_id = ?"_s;
}

QString sqlIncompleteMark() {
  return u"INSERT INTO incompletos (rp_id) VALUES (?)"_s;
}

QString sqlIncompleteOf() {
  return u"SELECT 1 FROM incompletos WHERE rp_id = ?"_s;
}

QString sqlIncompleteListings() {
  return u"SELECT rp_id FROM incompletos"_s;
}

QString sqlForgetIncompleteMark() {
  return u"DELETE FROM incompletos WHERE rp_id = ?"_s;
}

namespace {

const QString kPropertyColumns = u"ubicacion, categoria, comentario, prestado_a, prestado_el"_s;

}  // namespace

QString sqlPropertiesOf() {
  return u"SELECT %1 FROM propiedades WHERE rp_id = ?"_s.arg(kPropertyColumns);
}

QString sqlPropertiesInsert() {
  return u"INSERT INTO propiedades (rp_id, %1) VALUES (?, ?, ?, ?, ?, ?)"_s.arg(kPropertyColumns);
}

QString sqlForgetProperties() {
  return u"DELETE FROM propiedades WHERE rp_id = ?"_s;
}

QString sqlListingOverview() {
  return u"SELECT r.rp_id, r.medio, r.report_name, p.ubicacion, p.categoria, (SELECT count(*) "
         u"FROM infoMP3 i WHERE i.rp_id = r.rp_id) FROM reports r LEFT JOIN propiedades p ON "
         u"p.rp_id = r.rp_id ORDER BY r.rp_id"_s;
}

QString sqlSourceDates() {
  return u"SELECT rp_id, actualizado FROM origen"_s;
}

namespace {

const QString kSourceColumns =
    u"tipo_fs, etiqueta, uuid, tamano, ruta, ruta_relativa, firma, opciones, version_lectores, "
    u"catalogado, actualizado"_s;

}  // namespace

QString sqlSourceRowOf() {
  return u"SELECT %1 FROM origen WHERE rp_id = ?"_s.arg(kSourceColumns);
}

QString sqlSourceRowInsert() {
  return u"INSERT INTO origen (rp_id, %1) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"_s.arg(
      kSourceColumns);
}

QString sqlForgetSourceRow() {
  return u"DELETE FROM origen WHERE rp_id = ?"_s;
}

QString sqlSourceUpdated() {
  return u"UPDATE origen SET actualizado = ? WHERE rp_id = ?"_s;
}

QString sqlSourceStampsOf() {
  return u"SELECT filegenorder, bytes, modificado FROM origen_archivos WHERE rp_id = ? ORDER BY "
         u"filegenorder"_s;
}

QString sqlSourceStampInsert(int rows) {
  QStringList values;
  for (int row = 0; row < rows; ++row) {
    values.append(u"(?, ?, ?, ?)"_s);
  }
  return u"INSERT INTO origen_archivos (rp_id, filegenorder, bytes, modificado) VALUES "_s +
         values.join(u", "_s);
}

QString sqlForgetSourceStamps() {
  return u"DELETE FROM origen_archivos WHERE rp_id = ?"_s;
}

QString sqlSourceCandidates() {
  return u"SELECT r.rp_id, r.report_name, r.medio, o.tipo_fs, o.etiqueta, o.uuid, o.tamano, "
         u"o.ruta, o.ruta_relativa, o.firma, o.opciones, o.version_lectores, o.catalogado, "
         u"o.actualizado, (SELECT p.ubicacion FROM propiedades p WHERE p.rp_id = r.rp_id) FROM "
         u"origen o JOIN reports r ON r.rp_id = o.rp_id WHERE o.uuid = ? OR "
         u"o.firma = ? ORDER BY o.actualizado DESC, r.rp_id DESC"_s;
}

QString sqlUpdateHistoryOf() {
  return u"SELECT fecha, anadidos, quitados, cambiados, segundos FROM actualizaciones WHERE "
         u"rp_id = ? ORDER BY fecha"_s;
}

QString sqlUpdateHistoryInsert() {
  return u"INSERT INTO actualizaciones (rp_id, fecha, anadidos, quitados, cambiados, segundos) "
         u"VALUES (?, ?, ?, ?, ?, ?)"_s;
}

QString sqlForgetUpdateHistory() {
  return u"DELETE FROM actualizaciones WHERE rp_id = ?"_s;
}
