#include "db/sql_catalogue.h"

#include "app/text_helpers.h"
#include "scan/listing_model.h"

using namespace Qt::StringLiterals;

// Plain concatenation throughout: QString::arg would rescan inserted texts for "%1" markers.
namespace {

QString quoted(const QString& text) {
  return u'\'' + QuoteToAcute(text) + u'\'';
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

QString sqlDirectoryRow(int rpId, const DirRecord& dir) {
  return u"INSERT INTO estructdir VALUES ("_s + n(rpId) + u',' + quoted(dir.dirname) + u',' +
         n(dir.songfrom) + u',' + n(dir.songto) + u')';
}

QString sqlFileRow(int rpId, const SongRecord& song, int fileorder, int filegenorder) {
  const QStringList texts = {quoted(song.album), quoted(song.artist),  quoted(song.comment),
                             quoted(song.genre), quoted(song.title),   quoted(song.track),
                             quoted(song.year),  quoted(song.filename)};
  return u"INSERT INTO infoMP3 VALUES ("_s + n(rpId) + u',' + texts.join(u',') + u',' +
         n(fileorder) + u',' + n(filegenorder) + u')';
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
