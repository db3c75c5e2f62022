#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

#include "output/export_writer.h"
#include "output/listing_table.h"

// Every export of a listing, by format: the rendered lines as text or HTML, or the listing's
// files as CSV or JSON for other programs.

/** "txt", "html", "csv", "json": the names of the export menu and of --format. */
QStringList exportFormatKeys();
std::optional<ExportFormat> exportFormatFromKey(const QString& key);

/** The format of an export menu entry ("export_" + its key); nothing for other keys. */
std::optional<ExportFormat> exportFormatOfMenuKey(const QString& menuKey);

/** True for the formats written from the listing itself, which are never re-encoded. */
bool isTableFormat(ExportFormat format);

QByteArray listingExportBytes(ExportFormat format, const ListingModel& model,
                              const ListingName& name, const std::vector<RenderedEntry>& entries,
                              const ExportChoices& choices);

/** Writes it to path through the one output writer; empty text, or the reason in Spanish. */
QString writeListingExport(const QString& path, ExportFormat format, const ListingModel& model,
                           const ListingName& name, const std::vector<RenderedEntry>& entries,
                           const ExportChoices& choices);
