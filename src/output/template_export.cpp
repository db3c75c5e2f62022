#include "output/template_export.h"

#include "base/text_helpers.h"
#include "db/listing_properties.h"
#include "listing/renderer.h"

using namespace Qt::StringLiterals;

// The rendered design lines by directory and file number, only when the template names them.
struct TemplateExport::Lines {
  std::vector<QString> directories;
  std::vector<QString> files;

  const QString* of(const std::vector<QString>& lines, int number) const {
    return std::size_t(number) < lines.size() ? &lines[std::size_t(number)] : nullptr;
  }
};

namespace {

constexpr std::size_t kBodyChunkBytes = 1 << 20;

// Walks the renderer's entries as it made them: per directory its "D-" line (when the design
// has one), its "F-" lines and a separator.
void takeLines(const ListingModel& model, const LineDesigns& designs,
               std::vector<QString>& directories, std::vector<QString>& files) {
  const std::vector<RenderedEntry> entries = renderListing(model, designs);
  directories.assign(std::size_t(model.lastDirectorySlot()) + 1, QString());
  files.assign(std::size_t(model.lastSongSlot()) + 1, QString());
  std::size_t at = 0;
  const int lastDir = std::clamp(model.DirActualNum, 0, model.lastDirectorySlot());
  for (int d = 1; d <= lastDir && at < entries.size(); ++d) {
    const DirRecord& dir = model.Directorios[d];
    if (!designs.directory.isEmpty()) {
      directories[std::size_t(d)] = entries[at++].text.sliced(2);
    }
    const int lastFile = std::min(dir.songto, model.lastSongSlot());
    for (int f = std::max(dir.songfrom, 1); f <= lastFile && at < entries.size(); ++f) {
      files[std::size_t(f)] = entries[at++].text.sliced(2);
    }
    ++at;
  }
}

TemplateTotals directoryTotals(const ListingModel& model, const DirectoryRange& dir) {
  TemplateTotals totals;
  totals.directories = 1;
  for (int f = dir.first; f <= dir.last; ++f) {
    totals.addFile(model.technical.of(f));
  }
  return totals;
}

// Each directory's sums, which also make the listing's.
std::vector<TemplateTotals> directoryTotals(const ListingModel& model,
                                            const std::vector<DirectoryRange>& dirs,
                                            TemplateTotals& listing) {
  std::vector<TemplateTotals> each;
  each.reserve(dirs.size());
  listing.listings = 1;
  for (const DirectoryRange& dir : dirs) {
    listing.add(each.emplace_back(directoryTotals(model, dir)));
  }
  return each;
}

}  // namespace

TemplateExport::TemplateExport(const CompiledTemplate& tmpl, int listings,
                               const LineDesigns& designs, const QString& outputDir)
    : template_(tmpl),
      listings_(listings),
      designs_(designs),
      paths_{QString(), outputDir},
      exportRecord_(&tmpl.usedFields()),
      directoryRecord_(&tmpl.usedFields()),
      fileRecord_(&tmpl.usedFields()) {}

void TemplateExport::addListing(const ListingModel& model, const ListingName& name, int number) {
  const std::vector<DirectoryRange> dirs = directoryRanges(model);
  TemplateTotals totals;
  const std::vector<TemplateTotals> dirTotals = directoryTotals(model, dirs, totals);
  const int index = totals_.listings;
  totals_.add(totals);
  TemplateRecord listing(&template_.usedFields());
  TemplateListing fields{name.name, name.medio, number, index == 0, index + 1 == listings_};
  if (number > 0 && (listing.wants("listado_ubicacion") || listing.wants("listado_categoria"))) {
    // A catalogue that cannot say leaves them empty, as for a listing without them.
    QString reason;
    const ListingProperties kept =
        readListingProperties(number, reason).value_or(ListingProperties{});
    fields.ubicacion = kept.ubicacion;
    fields.categoria = kept.categoria;
  }
  putListingFields(listing, fields, totals);
  template_.render(TemplatePart::Listado, {&exportRecord_, &listing}, body());
  if (!template_.has(TemplatePart::Directorio) && !template_.has(TemplatePart::Archivo)) {
    return;
  }
  paths_.root = listingRoot(model);
  Lines lines;
  if (listing.wants("dir_linea") || listing.wants("archivo_linea")) {
    takeLines(model, designs_, lines.directories, lines.files);
  }
  for (std::size_t i = 0; i < dirs.size(); ++i) {
    addDirectory(model, dirs[i], dirTotals[i], i + 1 == dirs.size(), listing, lines);
  }
}

void TemplateExport::addDirectory(const ListingModel& model, const DirectoryRange& dir,
                                  const TemplateTotals& totals, bool last,
                                  const TemplateRecord& listing, const Lines& lines) {
  const QString path = AcuteToQuote(model.Directorios[dir.number].dirname);
  putDirectoryFields(
      directoryRecord_,
      {dir.number, path, dir.number == 1, last, totals, lines.of(lines.directories, dir.number)},
      paths_);
  template_.render(TemplatePart::Directorio, {&exportRecord_, &listing, &directoryRecord_}, body());
  if (!template_.has(TemplatePart::Archivo)) {
    return;
  }
  for (int f = dir.first; f <= dir.last; ++f) {
    putFileFields(fileRecord_,
                  {model, f, ++position_, f - dir.first + 1, f == dir.first, f == dir.last, path,
                   lines.of(lines.files, f)},
                  paths_);
    template_.render(TemplatePart::Archivo,
                     {&exportRecord_, &listing, &directoryRecord_, &fileRecord_}, body());
  }
}

std::string& TemplateExport::body() {
  if (body_.empty() || body_.back().size() >= kBodyChunkBytes) {
    body_.emplace_back().reserve(kBodyChunkBytes + kBodyChunkBytes / 4);
  }
  return body_.back();
}

QByteArray TemplateExport::finish(ExportEncoding optionsEncoding) {
  putExportFields(exportRecord_, totals_);
  std::string head;
  std::string foot;
  template_.render(TemplatePart::Cabecera, {&exportRecord_}, head);
  template_.render(TemplatePart::Pie, {&exportRecord_}, foot);
  std::size_t size = head.size() + foot.size();
  for (const std::string& chunk : body_) {
    size += chunk.size();
  }
  QByteArray whole;
  whole.reserve(qsizetype(size));
  whole.append(head.data(), qsizetype(head.size()));
  for (std::string& chunk : body_) {
    whole.append(chunk.data(), qsizetype(chunk.size()));
    std::string().swap(chunk);
  }
  body_.clear();
  whole.append(foot.data(), qsizetype(foot.size()));
  const ExportEncoding encoding =
      template_.source().optionsEncoding ? optionsEncoding : ExportEncoding::Utf8;
  return encoding == ExportEncoding::Utf8 ? whole
                                          : encodeExportText(encoding, QString::fromUtf8(whole));
}

QByteArray templateListingBytes(const CompiledTemplate& tmpl, const ListingModel& model,
                                const ListingName& name, int number, const LineDesigns& designs,
                                const QString& outputDir, ExportEncoding optionsEncoding) {
  TemplateExport exported(tmpl, 1, designs, outputDir);
  exported.addListing(model, name, number);
  return exported.finish(optionsEncoding);
}
