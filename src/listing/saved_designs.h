#pragma once

#include <QString>

/** The two line designs: one for directory lines, one for file lines. */
struct LineDesigns {
  QString directory;
  QString file;
};

/** The designs last saved by a refresh, or the defaults "{#D} {TD}" and "{#F} {TF}". */
LineDesigns LoadSavedDesigns();

/** Saves the directory design, then the file design, as a refresh does. */
void SaveDesigns(const LineDesigns& designs);
