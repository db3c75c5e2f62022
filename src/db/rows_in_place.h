#pragma once

#include <QString>

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
  /** After the rows that go are deleted. */
  bool rowsRemoved(QString& reason);
  /** Last, when every row of the listing is written. */
  bool rowsAdded(QString& reason);

 private:
  bool each(QString (ListingRewrite::*step)(), QString& reason);

  std::vector<std::unique_ptr<ListingRewrite>> followers_;
};

/**
 * How many of songs a store writes: those up to the first without a file name. 0, with reason
 * set, when one of them has an order that is not a number.
 */
std::size_t filesToStore(const std::vector<SongRecord>& songs, QString& reason);

/**
 * Brings listing rpId's rows in infoMP3 to songs (the walk's, from element 0, up to the first
 * without a file name) by rows, inside the caller's transaction, telling followers when the
 * rows that go are gone. The number of files written, or -1 with reason set.
 */
int writeRowsInPlace(int rpId, const std::vector<SongRecord>& songs, const RowsInPlace& rows,
                     RewriteFollowers& followers, QString& reason);
