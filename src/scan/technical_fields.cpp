#include "scan/listing_model.h"

namespace {

// The entry of a file, made room for when it is past the end.
template <typename Entry>
Entry& fileEntry(std::vector<Entry>& byFile, int file) {
  const auto slot = static_cast<std::size_t>(file);
  if (slot >= byFile.size()) {
    byFile.resize(slot + 1);
  }
  return byFile[slot];
}

}  // namespace

const AudioProperties* TechnicalFields::of(int file) const {
  if (file < 0 || static_cast<std::size_t>(file) >= byFile_.size()) {
    return nullptr;
  }
  const std::optional<AudioProperties>& properties = byFile_[static_cast<std::size_t>(file)];
  return properties ? &*properties : nullptr;
}

void TechnicalFields::set(int file, const AudioProperties& properties) {
  if (file >= 0) {
    fileEntry(byFile_, file) = properties;
  }
}

void TechnicalFields::clear() {
  present = false;
  byFile_.clear();
}

const FileStamp* FileStamps::of(int file) const {
  if (file < 0 || static_cast<std::size_t>(file) >= byFile_.size()) {
    return nullptr;
  }
  const FileStamp& stamp = byFile_[static_cast<std::size_t>(file)];
  return stamp.size < 0 ? nullptr : &stamp;
}

void FileStamps::set(int file, const FileStamp& stamp) {
  if (file >= 0) {
    fileEntry(byFile_, file) = stamp;
  }
}
