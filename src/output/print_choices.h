#pragma once

#include <QString>
#include <QStringList>

// The print window's preselections, kept apart from the widgets so that the rules stay plain.

/**
 * Index of the printer to preselect among names (in the platform's order): the last one equal
 * to the current printer's name or to the saved name (exact, case-sensitive); 0 when none is.
 */
int PreselectedPrinter(const QStringList& names, const QString& currentName,
                       const QString& savedName);

/**
 * The font family that listings print in by default: "Small Fonts" when installed, otherwise
 * the closest small face among families (narrow sans faces first, then plain sans faces), and
 * failing all of them the first family. Empty only when families is empty.
 */
QString ListingFontFamily(const QStringList& families);
