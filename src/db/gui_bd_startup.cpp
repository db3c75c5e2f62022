#include "db/gui_bd_startup.h"

#include <QFileInfo>

#include <cstdio>
#include <cstdlib>

#include "app/app_info.h"
#include "db/mod_bd.h"
#include "platform/gui_message_box.h"

using namespace Qt::StringLiterals;

namespace {

QString openDatabase() {
  if (const QString failure = OpenBd(); !failure.isEmpty()) {
    return failure;
  }
  return QFileInfo::exists(BdPath()) ? QString() : NewBlankBd();
}

}  // namespace

void endProgramAtOnce() {
  std::fflush(nullptr);
  std::_Exit(EXIT_FAILURE);
}

bool openDatabaseOrQuit(QWidget* parent, const std::function<void()>& endProgram) {
  const QString failure = openDatabase();
  if (failure.isEmpty()) {
    return true;
  }
  showMessage({parent, AppTitle(), failure, MessageIcon::Critical, MessageButtons::Ok});
  endProgram();
  return false;
}
