#include "output/listing_export.h"

#include <QFile>

#include "platform/output_file.h"

using namespace Qt::StringLiterals;

QStringList exportFormatKeys() {
  return {u"txt"_s, u"html"_s, u"csv"_s, u"json"_s};
}

std::optional<ExportFormat> exportFormatFromKey(const QString& key) {
  const qsizetype index = exportFormatKeys().indexOf(key);
  return index < 0 ? std::nullopt : std::optional(static_cast<ExportFormat>(index));
}

std::optional<ExportFormat> exportFormatOfMenuKey(const QString& menuKey) {
  const QString prefix = u"export_"_s;
  return menuKey.startsWith(prefix) ? exportFormatFromKey(menuKey.mid(prefix.size()))
                                    : std::nullopt;
}

bool isTableFormat(ExportFormat format) {
  return format == ExportFormat::Csv || format == ExportFormat::Json;
}

QByteArray listingExportBytes(ExportFormat format, const ListingModel& model,
                              const ListingName& name, const std::vector<RenderedEntry>& entries,
                              const ExportChoices& choices) {
  switch (format) {
    case ExportFormat::Csv:
      return csvBytes(listingTable(model, name), choices.csvSeparator, choices.byteOrderMark);
    case ExportFormat::Json:
      return listingJsonBytes(model, name);
    case ExportFormat::Text:
    case ExportFormat::Html:
      break;
  }
  return exportBytes(format, entries, choices.encoding);
}

QString writeListingExport(const QString& path, ExportFormat format, const ListingModel& model,
                           const ListingName& name, const std::vector<RenderedEntry>& entries,
                           const ExportChoices& choices) {
  return writeOutputFile(QFile::encodeName(path),
                         listingExportBytes(format, model, name, entries, choices));
}
