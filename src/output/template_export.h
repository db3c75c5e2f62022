#pragma once

#include <QByteArray>
#include <QString>

#include <string>
#include <vector>

#include "listing/saved_designs.h"
#include "output/listing_table.h"
#include "output/template_engine.h"
#include "output/template_fields.h"
#include "platform/code_pages.h"

// An export through a template, record by record: the listings are given one after another
// (a listing is never needed again once rendered), and the head, which may name the whole
// export's totals, is rendered last and put in front.

class TemplateExport {
 public:
  /**
   * listings is how many listings will be added (for listado_es_ultimo); designs give the
   * linea fields; outputDir is the folder of the file written (archivo_ruta_lista).
   */
  TemplateExport(const CompiledTemplate& tmpl, int listings, const LineDesigns& designs,
                 const QString& outputDir);

  /** Renders the listing's parts; number is its number in the catalogue, 0 when not stored. */
  void addListing(const ListingModel& model, const ListingName& name, int number = 0);

  /** The whole export in the template's encoding: UTF-8, or optionsEncoding when it says so. */
  QByteArray finish(ExportEncoding optionsEncoding);

 private:
  struct Lines;
  void addDirectory(const ListingModel& model, const DirectoryRange& dir,
                    const TemplateTotals& totals, bool last, const TemplateRecord& listing,
                    const Lines& lines);

  const CompiledTemplate& template_;
  const int listings_;
  const LineDesigns designs_;
  TemplatePaths paths_;
  TemplateTotals totals_;
  int position_ = 0;
  /** Where the next record goes: the last chunk of the body, or a new one once it is full. */
  std::string& body();

  // The body in chunks, so it is never copied whole while it grows or when it is joined.
  std::vector<std::string> body_;
  TemplateRecord exportRecord_;
  TemplateRecord directoryRecord_;
  TemplateRecord fileRecord_;
};

/**
 * A single listing through the template: the bytes of the export. The template is compiled
 * by the caller, who has told its warnings.
 */
QByteArray templateListingBytes(const CompiledTemplate& tmpl, const ListingModel& model,
                                const ListingName& name, int number, const LineDesigns& designs,
                                const QString& outputDir, ExportEncoding optionsEncoding);
