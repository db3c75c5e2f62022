#pragma once

#include "db/catalogue_parts.h"

// The search index as a part of the catalogue. A file gains its index when the program first
// needs it (start-up, or the first search); a server is given its search objects with the
// catalogue's tables, and its own triggers keep them.

const CataloguePart& searchIndexPart();
