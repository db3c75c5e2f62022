#pragma once

#include <QString>

struct DirRecord;
struct SongRecord;

// Every SQL text the program sends. The texts are part of the stored format, so they are
// composed here and nowhere else. Texts pasted into a statement go through QuoteToAcute here,
// which leaves no apostrophe inside the quoted values.

QString sqlStoredCdCheck(const QString& label);
QString sqlHighestNumber();
QString sqlDirectoryRow(qint16 rpId, const DirRecord& dir);
QString sqlFileRow(qint16 rpId, const SongRecord& song, int fileorder, int filegenorder);
QString sqlListingRow(qint16 rpId, const QString& name, int medium);
QString sqlListingByNumber(qint16 rpId);
QString sqlDirectoriesOf(qint16 rpId);
QString sqlFilesOfDirectory(qint16 rpId, qint16 songfrom, qint16 songto);
/** The listings of one medium (1 CD, 2 directory) in number order. */
QString sqlListingsOfMedium(int medium);
QString sqlDeleteListing(qint16 rpId);
QString sqlDeleteDirectories(qint16 rpId);
QString sqlDeleteFiles(qint16 rpId);
