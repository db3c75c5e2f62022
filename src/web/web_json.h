#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>

#include <vector>

#include "search/catalogue_search.h"

// The JSON answers: the files with the field names of the JSON exports (searchTable), in an
// object that says which page they are.

/**
 * {"total": total, "pagina": page, "paginas": pages, <head...>, "archivos": [...]}; head's
 * values are JSON already.
 */
QByteArray pagedFilesJson(const QList<QPair<QByteArray, QByteArray>>& head, qint64 total,
                          qint64 page, qint64 pages, const std::vector<CatalogueFile>& files);
