#pragma once

#include <QStringView>

#include <optional>

#include "output/export_writer.h"
#include "platform/code_pages.h"
#include "scan/listing_model.h"
#include "tags/tag_sources.h"

// The user's choices of the options window, kept in the settings store (section "cfg"). This
// is the one place that reads and writes them; an absent or unknown value is the program's own
// behaviour, so a user who never opens the window gets it unchanged.

struct ProgramOptions {
  TagReading tags;
  ExportEncoding exportEncoding = ExportEncoding::Windows1252;
  ListingLimits limits = ListingLimits::Classic;
  CsvSeparator csvSeparator = CsvSeparator::Comma;

  /** How the listing window writes its exports. */
  ExportChoices exportChoices() const { return {exportEncoding, csvSeparator}; }

  bool operator==(const ProgramOptions&) const = default;
};

ProgramOptions LoadProgramOptions();

void SaveProgramOptions(const ProgramOptions& options);

/** "on" or "off", as the command line and the settings store name a choice that is either. */
QString onOffKey(bool on);

std::optional<bool> onOffFromKey(QStringView key);
