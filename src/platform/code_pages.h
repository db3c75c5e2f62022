#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

#include <optional>

// The code pages an ID3v1 block may be written in, beside the program's own Windows-1252, and
// the encodings an export may be written in. Each 8-bit page is a table of our own, so every
// byte decodes the same on every machine.

enum class CodePage { Windows1252, Iso8859_1, Iso8859_15, Windows1250, Windows1251, Utf8 };

inline constexpr CodePage kAllCodePages[] = {CodePage::Windows1252, CodePage::Iso8859_1,
                                             CodePage::Iso8859_15,  CodePage::Windows1250,
                                             CodePage::Windows1251, CodePage::Utf8};

/** "Windows-1252", "ISO-8859-1", ..., "UTF-8": the name users know the page by. */
QString codePageName(CodePage page);

/** The page of a name, case-insensitively; "cp1252", "latin1" and "utf8" are accepted too. */
std::optional<CodePage> codePageFromName(QStringView name);

/**
 * One character per byte in the 8-bit pages; bytes a Windows page leaves undefined become the
 * control character of the same value. UTF-8 text that is not valid UTF-8 decodes byte by byte
 * as Windows-1252.
 */
QString decodeCodePage(CodePage page, QByteArrayView bytes);

enum class ExportEncoding { Windows1252, Utf8 };

/** "cp1252" or "utf8", as the command line and the settings store name them. */
QString exportEncodingKey(ExportEncoding encoding);

std::optional<ExportEncoding> exportEncodingFromKey(QStringView key);

/** Windows-1252 ('?' for what it cannot hold) or UTF-8 without a byte-order mark. */
QByteArray encodeExportText(ExportEncoding encoding, QStringView text);
