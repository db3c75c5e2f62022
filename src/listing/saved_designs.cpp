#include "listing/saved_designs.h"

#include "platform/settings_store.h"

using namespace Qt::StringLiterals;

namespace {
const QString kSection = u"last_cfg"_s;
const QString kDirectoryKey = u"DisenyoDirectorio"_s;
const QString kFileKey = u"DisenyoArchivo"_s;
}  // namespace

LineDesigns LoadSavedDesigns() {
  return {GetSetting(kSection, kDirectoryKey, u"{#D} {TD}"_s),
          GetSetting(kSection, kFileKey, u"{#F} {TF}"_s)};
}

void SaveDesigns(const LineDesigns& designs) {
  SaveSetting(kSection, kDirectoryKey, designs.directory);
  SaveSetting(kSection, kFileKey, designs.file);
}
