#pragma once

class frm_report;

// What the listing window asks of windows of other folders (the print window, the statistics,
// a stored listing's properties and its update).
// The shell, the one place that knows every window, answers; windows never include each other.

class ListingWindowRoutes {
 public:
  virtual ~ListingWindowRoutes() = default;
  /** "imprime": the print window, for the lines window shows. */
  virtual void openPrintWindow(frm_report& window) = 0;
  /** "estadisticas": the figures of window's listing; their files choose its nodes. */
  virtual void openListingStats(frm_report& window) = 0;
  /** «Con plantilla...»: window's listing through a template the user chooses. */
  virtual void exportWithTemplate(frm_report& window) = 0;
  /** «Plantillas...»: the templates window, previewing window's listing. */
  virtual void openTemplates(frm_report& window) = 0;
  /** «Propiedades...»: the user's fields and the source of stored listing rpId, to edit. */
  virtual void openListingProperties(frm_report& window, int rpId) = 0;
  /** «Actualizar...»: stored listing rpId brought up to date with its source, after a review. */
  virtual void updateStoredListing(frm_report& window, int rpId) = 0;
};

/** The shell's answer; until the shell installs it, those buttons open nothing. */
ListingWindowRoutes* listingWindowRoutes();
void setListingWindowRoutes(ListingWindowRoutes* routes);
