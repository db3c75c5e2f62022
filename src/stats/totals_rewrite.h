#pragma once

#include <QString>

#include <memory>

#include "db/catalogue_parts.h"

// A listing's totals followed through an update in place by differences: what the rows that go
// added is taken off, what the rows that come add is added on, so a few changed files of a large
// listing do not make its totals again from every file.

/**
 * The follower of listing rpId's totals, having made them again first when they could not stand
 * for its files (noted as changed, or none); null when the program keeps no totals of the
 * catalogue, or, with reason set, when it cannot follow.
 */
std::unique_ptr<ListingRewrite> followTotalsRewrite(int rpId, QString& reason);
