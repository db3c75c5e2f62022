#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>

struct DirRecord;
struct SongRecord;

// Every SQL text the program sends. The texts are part of the stored format, so they are
// composed here and nowhere else. Texts pasted into a statement go through QuoteToAcute here,
// which leaves no apostrophe inside the quoted values.

QString sqlStoredCdCheck(const QString& label);
QString sqlHighestNumber();
/** The values of a directory's row, "(...)", for sqlInsertRows. */
QString sqlDirectoryValues(int rpId, const DirRecord& dir);
/** The values of a file's row, "(...)", for sqlInsertRows. */
QString sqlFileValues(int rpId, const SongRecord& song, int fileorder, int filegenorder);
inline constexpr QStringView kDirectoriesTable = u"estructdir";
inline constexpr QStringView kFilesTable = u"infoMP3";
/** One INSERT of rows into a table, each given by its values. */
QString sqlInsertRows(QStringView table, const QStringList& rows);
QString sqlListingRow(int rpId, const QString& name, int medium);
QString sqlListingByNumber(int rpId);
QString sqlDirectoriesOf(int rpId);
QString sqlFilesOf(int rpId);
/** The listings of one medium (1 CD, 2 directory) in number order. */
QString sqlListingsOfMedium(int medium);
QString sqlDeleteListing(int rpId);
QString sqlDeleteDirectories(int rpId);
QString sqlDeleteFiles(int rpId);

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
