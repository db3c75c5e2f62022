#pragma once

#include <optional>

#include "scan/directory_walker.h"
#include "scan/walk_path.h"

class QMdiArea;
class ScanRun;
class frm_report;

// The scan commands of the main window, and the steps of a listing window's scan (Gouu) that
// need a window: the folder chooser, the drive and stored-CD messages, the live event pump.

/**
 * Opens a new listing window in area and scans into it: the CD drive, or in directoryMode the
 * folder the user chooses. Cancelling the chooser closes the new window; nothing is scanned.
 */
void OpenListingWindow(QMdiArea& area, bool directoryMode);

/**
 * Names the listing and roots its tree, the directory RutaInicial or, when it is empty, the CD
 * drive, and sets the window's caption. Returns the path to walk, or nothing when there is
 * nothing to walk: no optical drive (the user is told, and the window closes) or a CD already
 * stored that the user chose to load instead.
 */
std::optional<WalkPath> nameAndRootScan(frm_report& report);

/**
 * A listing window's scan (Gouu) from its first log line: names and roots the listing, walks it
 * with the saved options while the window shows its progress, and leaves what the user should
 * know about the result (a listing cut at its limits, or stopped) in the window's notices.
 */
void scanIntoWindow(frm_report& report);

/**
 * Lets events run about every 20 ms during the walk and shows its progress; stops it once the
 * window was closed or "Detener" pressed.
 */
WalkPump scanPump(frm_report& report, const ScanRun& run);
