#include "db/catalogue_parts.h"

namespace {

CatalogueParts& installed() {
  static CatalogueParts parts;
  return parts;
}

}  // namespace

void CataloguePart::prepareFile(QSqlDatabase&) const {}

QString CataloguePart::prepareFileWrite(QSqlDatabase&) const {
  return {};
}

void CataloguePart::programCatalogueOpened() const {}

QStringList CataloguePart::serverObjects(QSqlDatabase&, QString&) const {
  return {};
}

std::unique_ptr<ListingRefresh> CataloguePart::fileListingRefresh(const QSqlDatabase&) const {
  return nullptr;
}

std::unique_ptr<ListingRewrite> CataloguePart::listingRewrite(int, QString&) const {
  return nullptr;
}

const CatalogueParts& catalogueParts() {
  return installed();
}

void setCatalogueParts(CatalogueParts parts) {
  installed() = std::move(parts);
}
