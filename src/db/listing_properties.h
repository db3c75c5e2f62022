#pragma once

#include <QString>

#include <optional>

#include "db/catalogue_parts.h"

// What the user keeps of each stored listing (the side table propiedades): where the disc is
// kept, its category, a comment, whom it is lent to and since when. Only the user writes it, so
// a store of a listing, new or again, leaves it alone; it goes with the listing when deleted
// and copy-db carries it.

const CataloguePart& listingPropertiesPart();

struct ListingProperties {
  QString ubicacion = {};
  QString categoria = {};
  QString comentario = {};
  QString prestadoA = {};
  QString prestadoEl = {};  // the date it was lent, ISO 8601 (2026-12-09); empty when not lent

  bool operator==(const ListingProperties&) const = default;
};

/**
 * The fields of listing rpId; all empty when it has none (or the catalogue keeps none); nothing,
 * with reason set, when the catalogue could not be read.
 */
std::optional<ListingProperties> readListingProperties(int rpId, QString& reason);

/** The fields a change sets; those left out keep what they hold. */
struct PropertyChanges {
  std::optional<QString> ubicacion = {};
  std::optional<QString> categoria = {};
  std::optional<QString> comentario = {};
  std::optional<QString> prestadoA = {};
};

/**
 * Sets the given fields of listing rpId in one transaction (an empty text clears one). A new
 * «Prestado a» records today as the date lent; clearing it clears the date. Refused while a
 * store or a delete runs. Empty text on success, else the reason.
 */
QString writeListingProperties(int rpId, const PropertyChanges& changes);

/**
 * « (Ubicación: Caja 3)» for a listing kept somewhere, else nothing: what follows its name
 * where the user is asked for it or told it is already catalogued.
 */
QString locationSuffix(const QString& ubicacion);
