#pragma once

class QWidget;

/**
 * Moves a top-level window that is about to be shown so that it is centred over another
 * window, kept inside the screen that window is on. Nothing happens without the other window.
 */
void centreOverWindow(QWidget* window, const QWidget* over);
