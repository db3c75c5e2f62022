#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>

#include <optional>

#include "search/catalogue_search.h"

// The names a search's choices go by outside the program: the command line's --in and --medium
// and the web pages' parameters, so both front ends accept the same words.

/** "todo", "artista", ... "listado": the field a name gives; nothing for an unknown name. */
std::optional<SearchField> searchFieldNamed(QStringView name);
/** The name of a field. */
QString searchFieldName(SearchField field);
/** Every field's name, in the search window's order. */
QStringList searchFieldNames();

/** "Todo", "Artista", "Título", ...: the fields as the search window offers them, same order. */
QStringList searchFieldLabels();

/** "cd" or "dir": the medium a name gives; nothing for any other name. */
std::optional<SearchMedium> searchMediumNamed(QStringView name);
