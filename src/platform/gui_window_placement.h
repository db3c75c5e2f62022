#pragma once

class QMdiArea;
class QMdiSubWindow;
class QWidget;

/**
 * Moves a top-level window that is about to be shown so that it is centred over another
 * window, kept inside the screen that window is on. Nothing happens without the other window.
 */
void centreOverWindow(QWidget* window, const QWidget* over);

/**
 * Moves a subwindow just added to area down and to the right of the one added before it, by a
 * caption's height, so a new window never hides the last one exactly; it starts again at the
 * top left corner when its caption would leave the visible area.
 */
void placeCascaded(QMdiArea& area, QMdiSubWindow& window);

/**
 * Tiles the subwindows of area in a grid of as many columns as rows, or one more, that fills
 * the visible area, then moves each window that keeps a larger size of its own (a minimum it
 * will not go below) back inside it: every window shows, however many there are, overlapping
 * its neighbours when the area cannot hold them side by side. The main window keeps its size.
 */
void tileInside(QMdiArea& area);
