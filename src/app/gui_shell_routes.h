#pragma once

// The shell's answers to what windows ask of windows of other folders. The main window
// installs them as it is made; a test that opens windows without it installs them itself.
void installShellRoutes();
