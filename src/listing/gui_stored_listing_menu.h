#pragma once

class frm_report;

/**
 * Gives the window of stored listing rpId a context menu on its tree: «Propiedades...» and
 * «Actualizar...», which the shell answers with the listing's properties and its update, and
 * «Ir al original», which opens the chosen
 * node's folder on its disc or folder, asking for the disc while it is not there.
 */
void offerStoredListingActions(frm_report& window, int rpId);
