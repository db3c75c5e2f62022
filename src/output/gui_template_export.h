#pragma once

#include <QString>

#include <functional>
#include <optional>

#include "listing/saved_designs.h"
#include "output/listing_table.h"
#include "platform/code_pages.h"

class QWidget;

// Exporting through a template from the windows: the listing window's «Con plantilla...» and
// «Exportar catálogo...» of the stored listings. The user chooses the template and the file;
// a template that does not compile is shown with its line and column and nothing is written.

/** The chosen template's name, or nothing when the user cancels. */
std::optional<QString> chooseTemplate(QWidget* owner, const QString& title);

/** Tests answer the choice through this; an empty answerer brings back the real dialog. */
using TemplateChooserAnswerer = std::function<std::optional<QString>(QWidget* owner)>;
void setTemplateChooserAnswerer(TemplateChooserAnswerer answerer);

/** «Con plantilla...»: the listing (number 0 when not stored) through a chosen template. */
void exportListingWithTemplate(QWidget& owner, const ListingModel& model, const ListingName& name,
                               int number, const LineDesigns& designs,
                               ExportEncoding optionsEncoding);

/** «Exportar catálogo...»: every stored listing through a chosen template. */
void exportCatalogueWithTemplate(QWidget& owner, const LineDesigns& designs,
                                 ExportEncoding optionsEncoding);
