#pragma once

#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <memory>
#include <vector>

// The parts of the catalogue kept beside its three tables (the technical fields, the search
// index, the statistics' totals). Each gives its own tables, indexes and triggers, per engine,
// through this one interface; the program hands the engines its parts once, before it opens a
// catalogue, so the engines include no part above them. A new side table is one more part.

/** What a part makes again for one listing, in the transaction that catches its rows up. */
class ListingRefresh {
 public:
  virtual ~ListingRefresh() = default;
  /** Empty text, else the reason. */
  virtual QString refresh(const QVariant& rpId) = 0;
};

/**
 * What a part follows of one listing whose rows an update rewrites in place, in its transaction:
 * the rows of files gone or read again are deleted, the others kept (renumbered), new ones
 * inserted. Rows are named by their number in the listing (filegenorder) at the time of the step.
 */
class ListingRewrite {
 public:
  virtual ~ListingRewrite() = default;
  /** The rows numbered going are about to be deleted. Empty text, else the reason. */
  virtual QString rowsGoing(const std::vector<int>& going) = 0;
  /** Every row of the listing is written, those numbered added inserted. Empty text, else why. */
  virtual QString rowsAdded(const std::vector<int>& added) = 0;
};

class CataloguePart {
 public:
  virtual ~CataloguePart() = default;
  /** A database file just opened, on any connection: an older file gains the part's objects. */
  virtual void prepareFile(QSqlDatabase& db) const;
  /**
   * A write transaction just begun on a file: makes what the part could not make when the file
   * was opened, so rows written now are kept. Empty text, else the reason.
   */
  virtual QString prepareFileWrite(QSqlDatabase& db) const;
  /** The program's own catalogue (BdConnection) was just opened. */
  virtual void programCatalogueOpened() const;
  /**
   * The statements that give a server catalogue the part's objects, run in the schema's
   * transaction after the catalogue tables; each may run again. Empty, with reason set, when
   * they cannot be written.
   */
  virtual QStringList serverObjects(QSqlDatabase& db, QString& reason) const;
  /**
   * On a file, what the part keeps per listing and makes again whenever the listing's rows
   * changed; null when it keeps nothing there.
   */
  virtual std::unique_ptr<ListingRefresh> fileListingRefresh(const QSqlDatabase& db) const;
  /**
   * Before an update rewrites listing rpId's rows in place, in its transaction, before any of
   * them is written: what follows the rewrite for the part, having brought what it keeps of the
   * listing up to date; null when nothing needs to (the database keeps the part by itself, or
   * it keeps nothing per file), or, with reason set, when it cannot.
   */
  virtual std::unique_ptr<ListingRewrite> listingRewrite(int rpId, QString& reason) const;
};

using CatalogueParts = std::vector<const CataloguePart*>;

/** The parts the program was composed with, in the order their objects are made. */
const CatalogueParts& catalogueParts();
void setCatalogueParts(CatalogueParts parts);
