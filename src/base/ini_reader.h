#pragma once

#include <QString>

#include <optional>

/**
 * Value of key in [section] of the INI file at iniPath, or empty text when the file, the
 * section or the key is missing. Sections and keys match whatever their case; the value is
 * trimmed, one pair of surrounding quotes is removed, and the result is cut to 749 characters,
 * what a 750-character buffer with its terminating NUL holds.
 */
QString ReadIni(const QString& section, const QString& key, const QString& iniPath);

/** The same, but nothing when the file, the section or the key is missing. */
std::optional<QString> ReadIniEntry(const QString& section, const QString& key,
                                    const QString& iniPath);
