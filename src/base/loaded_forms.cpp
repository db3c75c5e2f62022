#include "base/loaded_forms.h"

#include <vector>

namespace {

std::vector<const LoadedForm*>& registry() {
  static std::vector<const LoadedForm*> forms;
  return forms;
}

}  // namespace

LoadedForm::LoadedForm(QString name) : m_name(std::move(name)) {
  registry().push_back(this);
}

LoadedForm::~LoadedForm() {
  std::erase(registry(), this);
}

QStringList loadedFormNames() {
  QStringList names;
  names.reserve(static_cast<qsizetype>(registry().size()));
  for (const LoadedForm* form : registry()) {
    names.append(form->name());
  }
  return names;
}
