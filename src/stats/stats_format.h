#pragma once

#include <QString>

// Numbers as Spanish readers expect them: thousands grouped with a point from five digits on
// ("1234", "12.345": the Spanish norm leaves four-digit numbers whole), a decimal comma.

QString spanishNumber(qint64 value);

/**
 * part of whole as a percentage with one decimal ("12,5 %"); "0,0 %" of nothing, "< 0,1 %" for a
 * share that is more than nothing and less than 0,1 %.
 */
QString spanishShare(qint64 part, qint64 whole);
