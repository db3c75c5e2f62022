#include "session/program_options.h"

#include "platform/settings_store.h"

using namespace Qt::StringLiterals;

namespace {

const QString kSection = u"cfg"_s;
const QString kTagSource = u"tag_source"_s;
const QString kCodePage = u"id3v1_codepage"_s;
const QString kExportEncoding = u"export_encoding"_s;
const QString kAudioFiles = u"audio_files"_s;
const QString kAudioProperties = u"audio_properties"_s;
const QString kListingLimits = u"listing_limits"_s;
const QString kCsvSeparator = u"csv_separator"_s;

QString stored(const QString& key) {
  return GetSetting(kSection, key, QString());
}

}  // namespace

ProgramOptions LoadProgramOptions() {
  ProgramOptions options;
  options.tags.source = tagSourceFromKey(stored(kTagSource)).value_or(options.tags.source);
  options.tags.id3v1CodePage =
      codePageFromName(stored(kCodePage)).value_or(options.tags.id3v1CodePage);
  options.exportEncoding =
      exportEncodingFromKey(stored(kExportEncoding)).value_or(options.exportEncoding);
  options.tags.files = audioFilesFromKey(stored(kAudioFiles)).value_or(options.tags.files);
  options.tags.properties =
      onOffFromKey(stored(kAudioProperties)).value_or(options.tags.properties);
  options.limits = listingLimitsFromKey(stored(kListingLimits)).value_or(options.limits);
  options.csvSeparator = csvSeparatorFromKey(stored(kCsvSeparator)).value_or(options.csvSeparator);
  return options;
}

void SaveProgramOptions(const ProgramOptions& options) {
  SaveSetting(kSection, kTagSource, tagSourceKey(options.tags.source));
  SaveSetting(kSection, kCodePage, codePageName(options.tags.id3v1CodePage));
  SaveSetting(kSection, kExportEncoding, exportEncodingKey(options.exportEncoding));
  SaveSetting(kSection, kAudioFiles, audioFilesKey(options.tags.files));
  SaveSetting(kSection, kAudioProperties, onOffKey(options.tags.properties));
  SaveSetting(kSection, kListingLimits, listingLimitsKey(options.limits));
  SaveSetting(kSection, kCsvSeparator, csvSeparatorKey(options.csvSeparator));
}

QString onOffKey(bool on) {
  return on ? u"on"_s : u"off"_s;
}

std::optional<bool> onOffFromKey(QStringView key) {
  if (key == u"on") {
    return true;
  }
  if (key == u"off") {
    return false;
  }
  return std::nullopt;
}
