#include "db/gui_bd_startup.h"

#include <cstdio>
#include <cstdlib>

#include "app/app_info.h"
#include "db/mod_bd.h"
#include "platform/gui_message_box.h"

using namespace Qt::StringLiterals;

void endProgramAtOnce() {
  std::fflush(nullptr);
  std::_Exit(EXIT_FAILURE);
}

bool openDatabaseOrQuit(QWidget* parent, const std::function<void()>& endProgram) {
  const QString failure = OpenBdAtStartUp();
  if (failure.isEmpty()) {
    return true;
  }
  showMessage({parent, AppTitle(), failure, MessageIcon::Critical, MessageButtons::Ok});
  endProgram();
  return false;
}
