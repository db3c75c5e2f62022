#pragma once

#include "db/catalogue_parts.h"

// The technical fields' table (infotecnica) as a part of the catalogue: a file written before
// it existed gains it when opened, and a listing's rows go with the listing by a trigger of the
// file's own; a server is given it with the catalogue's tables. A file that cannot gain it
// (read-only, say) is logged and read as one whose listings have no technical fields.

const CataloguePart& technicalFieldsPart();
