#pragma once

#include <QString>
#include <QVariantList>

struct DirRecord;
struct SongRecord;

// Every SQL text the program sends. The texts are part of the stored format, so they are
// composed here and nowhere else. Texts pasted into a statement go through QuoteToAcute here,
// which leaves no apostrophe inside the quoted values.

QString sqlStoredCdCheck(const QString& label);
QString sqlHighestNumber();

/**
 * A row to insert into a table, its values in column order: whole numbers and texts, never a
 * null text (a bound null text would be stored as NULL, the literal '' as an empty text).
 */
struct SqlRow {
  QString table;
  QVariantList values;

  /** The insert with its values written in: INSERT INTO t VALUES (1,'a´b',2). */
  QString literal() const;
  /** The same insert with its values bound: INSERT INTO t VALUES (?,?,?). */
  QString prepared() const;
};

SqlRow sqlDirectoryRow(int rpId, const DirRecord& dir);
SqlRow sqlFileRow(int rpId, const SongRecord& song, int fileorder, int filegenorder);
QString sqlListingRow(int rpId, const QString& name, int medium);
QString sqlListingByNumber(int rpId);
QString sqlDirectoriesOf(int rpId);
QString sqlFilesOf(int rpId);
/**
 * The listing's files by filegenorder, each with the size and time it was stored with (null
 * when it has none): every column of its row (records), or its name, fileorder and filegenorder.
 */
QString sqlStoredFilesOf(int rpId, bool records);
/** The listings of one medium (1 CD, 2 directory) in number order. */
QString sqlListingsOfMedium(int medium);
QString sqlDeleteListing(int rpId);
QString sqlDeleteDirectories(int rpId);
QString sqlDeleteFiles(int rpId);
/** Deletes the files numbered (a comma-separated list of filegenorders) of the listing bound. */
QString sqlDeleteFilesNumbered(const QString& numbers);
/**
 * Moves the listing's files numbered from the third bound value to the fourth by the first;
 * with sign -1, to the negative of where they land.
 */
QString sqlShiftFiles(int sign);
/** Turns the listing's negative file numbers back. */
QString sqlUnnegateFiles();
/** Sets the fileorder (first bound) of the listing's file numbered (third). */
QString sqlSetFileorder();

// Copying listings between databases: the values are bound ("?"), as they are copied as stored.
QString sqlCopyListingNumbers();
QString sqlCopyListingRow();
QString sqlCopyDirectories();
QString sqlCopyFiles();
QString sqlCopySameNameAndMedium();
QString sqlCopyNumberTaken();
QString sqlCopyDirectoryRow();
QString sqlCopyFileRow();
QString sqlCopyListingInsert();

// The technical fields' side table, the listing's number bound ("?") first.
/** A listing's rows: filegenorder, duracion_ms, kbps, hz, canales, bytes, by file number. */
QString sqlTechnicalRowsOf();
/** One row: the listing's number, then the columns sqlTechnicalRowsOf() gives. */
QString sqlTechnicalRowInsert();
QString sqlForgetTechnicalRows();

// The marks of incomplete listings, the listing's number bound ("?").
QString sqlIncompleteMark();
/** One row (1) when the listing is marked, so two catalogues' marks compare alike; none else. */
QString sqlIncompleteOf();
QString sqlIncompleteListings();
QString sqlForgetIncompleteMark();

// The user's fields of each listing, the listing's number bound ("?") first.
/** ubicacion, categoria, comentario, prestado_a, prestado_el; no row when it has none. */
QString sqlPropertiesOf();
/** One row: the listing's number, then the columns sqlPropertiesOf() gives. */
QString sqlPropertiesInsert();
QString sqlForgetProperties();
/**
 * Every listing in number order: rp_id, medio, report_name, ubicacion, categoria and how many
 * files it holds.
 */
QString sqlListingOverview();
/** rp_id, actualizado of every listing whose source is recorded. */
QString sqlSourceDates();

// The source identity's side tables, the listing's number bound ("?") first.
/** A listing's source: tipo_fs, etiqueta, uuid, tamano, ruta, ruta_relativa, firma, opciones,
 *  version_lectores, catalogado, actualizado; no row when it has none. */
QString sqlSourceRowOf();
/** One row: the listing's number, then the columns sqlSourceRowOf() gives. */
QString sqlSourceRowInsert();
QString sqlForgetSourceRow();
/** The date a listing was last updated (bound first), then its number. */
QString sqlSourceUpdated();
/** A listing's file stamps: filegenorder, bytes, modificado, by file number. */
QString sqlSourceStampsOf();
/** rows rows of rp_id, filegenorder, bytes, modificado, one statement. */
QString sqlSourceStampInsert(int rows = 1);
QString sqlForgetSourceStamps();
/**
 * The sources that may be the one scanned: same UUID (bound first) or same signature (second);
 * rp_id, report_name, medio, then sqlSourceRowOf()'s columns and the listing's ubicacion, the
 * last updated first.
 */
QString sqlSourceCandidates();

// The update history's side table, the listing's number bound ("?") first.
/** A listing's updates: fecha, anadidos, quitados, cambiados, segundos, the oldest first. */
QString sqlUpdateHistoryOf();
/** One row: the listing's number, then the columns sqlUpdateHistoryOf() gives. */
QString sqlUpdateHistoryInsert();
QString sqlForgetUpdateHistory();
