#pragma once

#include <QString>

#include <vector>

#include "listing/saved_designs.h"
#include "scan/listing_model.h"

/**
 * One entry of a rendered listing, marker included ("D-", "F-" or the two-blank separator).
 * text is the plain line (the list, the text export, printing); html is the same line with every
 * value that comes from the listing (names, tag texts) HTML-escaped, while the design's own text
 * stays as typed, so a design may carry markup but a tag never can.
 */
struct RenderedEntry {
  QString text;
  QString html;
};

/**
 * Renders the model with the two designs: per directory a "D-" line (only when the directory
 * design is not empty), an "F-" line per file and a separator. Placeholders are replaced one
 * after another in a fixed order, so text inserted by one step is seen by the later steps.
 * Indices are kept within the model's arrays whatever its counters say, and a line stops growing
 * at 16,384 characters however many placeholders its values bring in.
 */
std::vector<RenderedEntry> renderListing(const ListingModel& model, const LineDesigns& designs);
