#pragma once

#include <QString>

/** Every apostrophe becomes the acute accent U+00B4, so no stored text needs SQL quoting. */
QString QuoteToAcute(const QString& s);

/** Every acute accent U+00B4 becomes an apostrophe again. */
QString AcuteToQuote(const QString& s);
