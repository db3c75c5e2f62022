#pragma once

#include <QString>

#include <functional>

class DbConnection;

// Moving a catalogue: every stored listing of one database copied to another (a file or a
// server), each in a transaction of its own on the target.

/** What happened to one source listing. */
struct CopiedListing {
  int from = 0;
  int to = 0;            // its number in the target; 0 when it failed
  bool already = false;  // an identical listing was already there (to is its number)
  QString error;         // why it was not copied, in Spanish
};

/** The file a connection string names when its engine keeps a file and it does not exist. */
QString missingDatabaseFile(const QString& connectionString);

/**
 * Opens the database to copy from, named by a full connection string; a file that is missing is
 * not made. Empty text, else the whole Spanish line saying why.
 */
QString openCopySource(DbConnection& connection, const QString& connectionString);

/**
 * Opens a database named by a full connection string, for copying: a file that is missing is
 * made from the blank template first. Empty text, else the reason.
 */
QString openCopyTarget(DbConnection& connection, const QString& connectionString);

/**
 * Copies every listing of source, in number order, to target: its number kept when the
 * target has it free, else the target's highest plus one; a listing identical to one in the
 * target (name, medium and every row) is left out. Each result is reported as it happens.
 * False when the source cannot be read at all (reason set).
 */
bool copyCatalogue(DbConnection& source, DbConnection& target,
                   const std::function<void(const CopiedListing&)>& report, QString& reason);
