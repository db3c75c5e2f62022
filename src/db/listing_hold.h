#pragma once

#include <QSqlDatabase>
#include <QString>

#include <memory>

// A listing held for an update: while its hold lives, no other update of the same listing, from
// this program or another, may start. A hold ends with its process, however that ends, so a
// killed update never keeps a listing from being updated again.

class ListingHold {
 public:
  virtual ~ListingHold() = default;
};

/**
 * A catalogue file's hold on listing rpId: a lock file of the machine's temporary directory
 * named after the file, taken when no living process holds it. Null when one does.
 */
std::unique_ptr<ListingHold> fileListingHold(const QString& databasePath, int rpId);

/**
 * A server catalogue's hold: a lock of the server's own, held by db's session until the hold
 * ends or the session does. Null when another session holds it or the server cannot be asked.
 */
std::unique_ptr<ListingHold> serverListingHold(const QSqlDatabase& db, int rpId);

/** What the user is told when another update of listing rpId «name» runs. */
QString listingHeldText(int rpId, const QString& name);
