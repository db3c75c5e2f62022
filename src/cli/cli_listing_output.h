#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

#include "cli/cli_support.h"
#include "listing/saved_designs.h"
#include "output/listing_export.h"
#include "scan/listing_model.h"

// What every verb that writes a listing shares (`scan`, `show`): the design, format and output
// options, their help, and writing the export bytes.

/** How a listing is written: with which designs, in which format, where. */
struct ListingOutput {
  LineDesigns designs;
  ExportFormat format = ExportFormat::Text;
  ExportChoices choices;
  std::optional<QByteArray> file;       // standard output when not given
  std::optional<QString> templateName;  // instead of the format, a template's export
};

/**
 * --dir-design, --file-design, --format, --template, --encoding, --csv-separator and --output,
 * each with
 * its value.
 */
OptionNames listingOutputOptions();

/**
 * Fills output from the parsed options; the designs and the encoding not given are the saved
 * ones, as a new listing window starts. Returns a Spanish usage error, or empty text.
 */
QString listingOutputFrom(const ParsedArguments& parsed, ListingOutput& output);

/** The help lines of those options, in Spanish. */
QString listingOutputHelp();

/**
 * Writes the export bytes of the format: the model rendered with the designs, or its files as
 * CSV or JSON, or the template's export (number: the listing's in the catalogue, 0 when not
 * stored). Returns the exit code; a failure has been reported on standard error and leaves no
 * file behind.
 */
int writeListing(const ListingOutput& output, const ListingModel& model, const ListingName& name,
                 int number = 0);
