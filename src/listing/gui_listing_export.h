#pragma once

#include <vector>

#include "output/listing_export.h"

class QWidget;

/**
 * The listing window's export: writes the listing in format to its fixed file (lista.txt,
 * lista.html, lista.csv or lista.json) with the saved choices, the listing named name, and opens it
 * on the desktop. A failure is logged and shown over window, which stays as it was.
 */
void exportOnDesktop(QWidget& window, ExportFormat format, const ListingModel& model,
                     const ListingName& name, const std::vector<RenderedEntry>& entries);
