#include "accessories/shell_open.h"

#include "base/app_info.h"
#include "platform/desktop_opener.h"

using namespace Qt::StringLiterals;

void ShellOpen(const QString& target) {
  openOnDesktop(target);
}

void OpenHistory() {
  ShellOpen(ProgramFile(u"history.html"_s));
}

void OpenReference() {
  ShellOpen(ProgramFile(u"reference.html"_s));
}
