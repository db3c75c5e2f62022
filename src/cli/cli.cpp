#include "cli/cli.h"

int runCommandLine(int, char**) {
  return 2;
}
