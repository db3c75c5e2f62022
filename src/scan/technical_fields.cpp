#include "scan/listing_model.h"

const AudioProperties* TechnicalFields::of(int file) const {
  if (file < 0 || static_cast<std::size_t>(file) >= byFile_.size()) {
    return nullptr;
  }
  const std::optional<AudioProperties>& properties = byFile_[static_cast<std::size_t>(file)];
  return properties ? &*properties : nullptr;
}

void TechnicalFields::set(int file, const AudioProperties& properties) {
  if (file < 0) {
    return;
  }
  const auto slot = static_cast<std::size_t>(file);
  if (slot >= byFile_.size()) {
    byFile_.resize(slot + 1);
  }
  byFile_[slot] = properties;
}

void TechnicalFields::clear() {
  present = false;
  byFile_.clear();
}
