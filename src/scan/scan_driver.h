#pragma once

#include "scan/directory_walker.h"
#include "scan/listing_model.h"
#include "scan/walk_path.h"

/**
 * The directory scan of a listing: resets and roots the model, walks start and logs the
 * summary, exactly as a listing window's scan does, so the window and the command line share it.
 * Sets RutaInicial, FinalName (start as given), FinalType, both counters and the Num* totals.
 * start should already be absolute (WalkPath::absolute). The model must outlive the call; the
 * pump may stop the walk, and then "Proceso interrumpido" replaces the summary.
 */
WalkStop RunDirectoryScan(ListingModel& model, const WalkPath& start, const WalkPump& pump = {});
