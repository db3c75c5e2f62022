#include "app/gui_desktop.h"
#include "cli/cli.h"
#include "session/catalogue_composition.h"

// No arguments: the desktop program. Arguments: the command line, which needs no display.
int main(int argc, char** argv) {
  composeCatalogue();
  return argc > 1 ? runCommandLine(argc, argv) : runDesktop(argc, argv);
}
