#pragma once

class QAbstractItemView;
class QHeaderView;

/**
 * Sizes the columns of view (header is its horizontal header) to what the header and the first
 * sampleRows rows show in them, each column at most about forty characters wide, and lets the
 * last column take the rest of the width. Rows that hold other rows (the groups of a tree)
 * are headings and are not measured; their rows are. Measuring a sample, not every row, keeps
 * a result of thousands of rows quick to show.
 */
void fitColumnsToSample(QAbstractItemView& view, QHeaderView& header, int sampleRows = 100);

/** Runs fitColumnsToSample each time view's model is reset (a new result); call after setModel. */
void fitColumnsOnEveryReset(QAbstractItemView& view, QHeaderView& header);
