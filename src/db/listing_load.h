#pragma once

#include <QString>

#include "scan/listing_model.h"

struct LoadResult {
  /** False when no listing has the number (deleted meanwhile) or it cannot be read: the caller
   *  closes the window it opened for it. */
  bool found = false;
  /** The listing window's title: "[CD] name" or "[DIR] name". */
  QString title;
  /** The stored listing's name and medium, which the load leaves out of the model. */
  QString name;
  int medio = 0;
};

/**
 * Fills an empty model and its tree with stored listing rpId: one directory node per directory
 * below a root keyed "[DIR]" + name, and the files below their directories. Directories and
 * files are numbered by counting, within the model's limits, and each directory's songfrom and
 * songto become the numbers its files got. Logs the listing's name and its counts. Only file
 * names get their apostrophes back. With tree Skip the tree stays empty.
 */
LoadResult Load4bd(int rpId, ListingModel& model, TreeNodes tree = TreeNodes::Build);

/** The tree key of a file's node: its directory, "/", and its name as the listing shows it. */
QString fileNodeKey(const QString& dirname, const QString& filename);
