#pragma once

// The shell's answers to what windows ask of windows of other folders. The main window
// installs them as it is made; a test that opens windows without it installs them itself.
void installShellRoutes();

class QMdiArea;

/**
 * Stored listing rpId was updated in place: «Gestión Informes en BD» reads its tree again and
 * the windows of area that show the listing open it anew, in its new state.
 */
void showUpdatedListing(QMdiArea& area, int rpId);
