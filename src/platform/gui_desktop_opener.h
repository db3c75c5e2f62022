#pragma once

/** Makes openOnDesktop use the desktop's own opener (xdg-open through QDesktopServices). */
void installDesktopOpener();
