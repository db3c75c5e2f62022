#include "output/template_catalogue.h"

#include <algorithm>
#include <memory>

#include "db/listing_load.h"
#include "db/stored_listings.h"

using namespace Qt::StringLiterals;

namespace {

std::vector<StoredListing> listingsOf(const StoredListings& stored, CatalogueMedium medium) {
  std::vector<StoredListing> chosen;
  if (medium != CatalogueMedium::Directory) {
    chosen.insert(chosen.end(), stored.cds.begin(), stored.cds.end());
  }
  if (medium != CatalogueMedium::Cd) {
    chosen.insert(chosen.end(), stored.directories.begin(), stored.directories.end());
  }
  std::sort(chosen.begin(), chosen.end(),
            [](const StoredListing& a, const StoredListing& b) { return a.rp_id < b.rp_id; });
  return chosen;
}

}  // namespace

std::optional<QByteArray> catalogueTemplateBytes(const CompiledTemplate& tmpl,
                                                 CatalogueMedium medium, const LineDesigns& designs,
                                                 const QString& outputDir,
                                                 ExportEncoding optionsEncoding, QString& error) {
  const StoredListings stored = readStoredListings();
  if (!stored.error.isEmpty()) {
    error = u"no se pueden leer los listados de la base de datos: "_s + stored.error;
    return std::nullopt;
  }
  const std::vector<StoredListing> listings = listingsOf(stored, medium);
  TemplateExport exported(tmpl, int(listings.size()), designs, outputDir);
  for (const StoredListing& listing : listings) {
    const auto model = std::make_unique<ListingModel>();
    const LoadResult loaded = Load4bd(listing.rp_id, *model);
    if (!loaded.found) {
      error = u"no se puede leer el listado número %1 de la base de datos"_s.arg(listing.rp_id);
      return std::nullopt;
    }
    exported.addListing(*model, {loaded.name, loaded.medio}, listing.rp_id);
  }
  return exported.finish(optionsEncoding);
}
