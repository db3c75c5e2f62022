#pragma once

#include <QString>

#include <set>

#include "db/catalogue_parts.h"

// The marks of listings whose scan stopped before the end of their tree, at the classic limits
// or at the user's word (the side table incompletos): written with the listing, deleted with it,
// read wherever a stored listing is shown. Listings stored before the marks existed have none.

const CataloguePart& incompleteListingsPart();

/**
 * Marks listing rpId incomplete, inside the caller's transaction; a mark left behind under the
 * number by a program that deleted without the trigger is replaced. Empty text, else the reason.
 */
QString markListingIncomplete(int rpId);

/** Whether listing rpId is marked; false, logged, when the database cannot say. */
bool isListingIncomplete(int rpId);

/** The numbers of the listings marked; none, logged, when the database cannot say. */
std::set<int> incompleteListings();

/** What the user is told of a stored listing that is marked. */
QString incompleteListingText();
