#pragma once

#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <vector>

#include "db/catalogue_parts.h"
#include "db/stored_files.h"
#include "scan/listing_model.h"

// An update that keeps the rows of the files that did not change where they are stored: the
// rows of files gone or read again are deleted, the kept ones renumbered to the walk's order
// (their fileorder mended where it moved), and only new rows inserted. What a fresh store of
// the same walk would write, with a small part of its writes; the parts that follow each file
// (the search index) then follow only the rows that came and went.

/** The catalogue's parts following one listing's rewrite in place (see ListingRewrite). */
class RewriteFollowers {
 public:
  /** Before any row of listing rpId is written; false, with reason set, when a part cannot. */
  bool start(int rpId, QString& reason);
  /** Each step of ListingRewrite, to every part in turn; false, with reason set, at a failure. */
  bool rowsGoing(const std::vector<int>& going, QString& reason);
  bool rowsAdded(const std::vector<int>& added, QString& reason);

 private:
  bool each(const std::function<QString(ListingRewrite&)>& step, QString& reason);

  std::vector<std::unique_ptr<ListingRewrite>> followers_;
};

/** numbers written out for an IN list, a few hundred a list. */
QStringList numberLists(const std::vector<int>& numbers);

/**
 * How many of songs a store writes: those up to the first without a file name. 0, with reason
 * set, when one of them has an order that is not a number.
 */
std::size_t filesToStore(const std::vector<SongRecord>& songs, QString& reason);

/**
 * Brings listing rpId's rows in infoMP3 to songs (the walk's, from element 0, up to the first
 * without a file name) by rows, inside the caller's transaction, telling followers each step.
 * The number of files written, or -1 with reason set.
 */
int writeRowsInPlace(int rpId, const std::vector<SongRecord>& songs, const RowsInPlace& rows,
                     RewriteFollowers& followers, QString& reason);
