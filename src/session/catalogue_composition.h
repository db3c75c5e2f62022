#pragma once

/**
 * Hands the engines the parts of the catalogue kept beside its three tables: the technical
 * fields, the search index and the statistics' totals, in the order their objects are made.
 * Every front end calls it once, before it opens a catalogue.
 */
void composeCatalogue();
