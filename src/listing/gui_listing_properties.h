#pragma once

class frm_report;

/**
 * Gives the window of stored listing rpId a context menu on its tree with «Propiedades...»,
 * which the shell answers with the listing's properties.
 */
void offerListingProperties(frm_report& window, int rpId);
