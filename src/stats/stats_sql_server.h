#pragma once

#include <QStringList>

// The statistics' per-listing totals on a database server (PostgreSQL): the same tables as on
// the file, kept by the server's own statement triggers in the transaction of every change to
// a listing, whoever makes it, so they always match the files.

/**
 * The statements that give a server catalogue the totals' tables, their function and
 * triggers, and the totals of every listing that has none. Each may run again: what exists is
 * kept or replaced by the same.
 */
QStringList sqlCreateServerTotals();
