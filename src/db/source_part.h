#pragma once

#include "db/catalogue_parts.h"

// The source identity's tables (origen, origen_archivos) as a part of the catalogue: a file
// written before they existed gains them when opened, without a new version (their presence is
// all a reader needs), and a listing's rows go with the listing by a trigger of the file's own;
// a server is given them with the catalogue's tables. A file that cannot gain them (read-only,
// say) is read as one whose listings have no recorded source.

const CataloguePart& sourceIdentityPart();
