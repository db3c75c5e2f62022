#pragma once

#include "db/catalogue_parts.h"

// The statistics' per-listing totals as a part of the catalogue: an older file gains their
// tables when the program opens it, and the totals of a changed listing are made again as the
// search index catches it up; a server is given them with their triggers, which keep them.

const CataloguePart& statsTotalsPart();
