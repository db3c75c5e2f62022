#pragma once

#include <QStringView>

#include <optional>

#include "platform/code_pages.h"
#include "tags/tag_sources.h"

// The user's choices of the options window, kept in the settings store (section "cfg"). This
// is the one place that reads and writes them; an absent or unknown value is the program's own
// behaviour, so a user who never opens the window gets it unchanged.

struct ProgramOptions {
  TagReading tags;
  ExportEncoding exportEncoding = ExportEncoding::Windows1252;

  bool operator==(const ProgramOptions&) const = default;
};

ProgramOptions LoadProgramOptions();

void SaveProgramOptions(const ProgramOptions& options);

/** "on" or "off", as the command line and the settings store name a choice that is either. */
QString onOffKey(bool on);

std::optional<bool> onOffFromKey(QStringView key);
