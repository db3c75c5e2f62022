#include "platform/code_pages.h"

#include <QStringDecoder>

#include <array>

#include "platform/ansi_codec.h"

using namespace Qt::StringLiterals;

namespace {

using HighHalf = std::array<char16_t, 128>;

// Windows-1250 (Central Europe), bytes 0x80 to 0xFF.
constexpr HighHalf kCp1250 = {
    0x20AC, 0x0081, 0x201A, 0x0083, 0x201E, 0x2026, 0x2020, 0x2021,  // 80-87
    0x0088, 0x2030, 0x0160, 0x2039, 0x015A, 0x0164, 0x017D, 0x0179,  // 88-8F
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90-97
    0x0098, 0x2122, 0x0161, 0x203A, 0x015B, 0x0165, 0x017E, 0x017A,  // 98-9F
    0x00A0, 0x02C7, 0x02D8, 0x0141, 0x00A4, 0x0104, 0x00A6, 0x00A7,  // A0-A7
    0x00A8, 0x00A9, 0x015E, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x017B,  // A8-AF
    0x00B0, 0x00B1, 0x02DB, 0x0142, 0x00B4, 0x00B5, 0x00B6, 0x00B7,  // B0-B7
    0x00B8, 0x0105, 0x015F, 0x00BB, 0x013D, 0x02DD, 0x013E, 0x017C,  // B8-BF
    0x0154, 0x00C1, 0x00C2, 0x0102, 0x00C4, 0x0139, 0x0106, 0x00C7,  // C0-C7
    0x010C, 0x00C9, 0x0118, 0x00CB, 0x011A, 0x00CD, 0x00CE, 0x010E,  // C8-CF
    0x0110, 0x0143, 0x0147, 0x00D3, 0x00D4, 0x0150, 0x00D6, 0x00D7,  // D0-D7
    0x0158, 0x016E, 0x00DA, 0x0170, 0x00DC, 0x00DD, 0x0162, 0x00DF,  // D8-DF
    0x0155, 0x00E1, 0x00E2, 0x0103, 0x00E4, 0x013A, 0x0107, 0x00E7,  // E0-E7
    0x010D, 0x00E9, 0x0119, 0x00EB, 0x011B, 0x00ED, 0x00EE, 0x010F,  // E8-EF
    0x0111, 0x0144, 0x0148, 0x00F3, 0x00F4, 0x0151, 0x00F6, 0x00F7,  // F0-F7
    0x0159, 0x016F, 0x00FA, 0x0171, 0x00FC, 0x00FD, 0x0163, 0x02D9,  // F8-FF
};
// Windows-1251 (Cyrillic), bytes 0x80 to 0xFF.
constexpr HighHalf kCp1251 = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021,  // 80-87
    0x20AC, 0x2030, 0x0409, 0x2039, 0x040A, 0x040C, 0x040B, 0x040F,  // 88-8F
    0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90-97
    0x0098, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F,  // 98-9F
    0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7,  // A0-A7
    0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407,  // A8-AF
    0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6, 0x00B7,  // B0-B7
    0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457,  // B8-BF
    0x0410, 0x0411, 0x0412, 0x0413, 0x0414, 0x0415, 0x0416, 0x0417,  // C0-C7
    0x0418, 0x0419, 0x041A, 0x041B, 0x041C, 0x041D, 0x041E, 0x041F,  // C8-CF
    0x0420, 0x0421, 0x0422, 0x0423, 0x0424, 0x0425, 0x0426, 0x0427,  // D0-D7
    0x0428, 0x0429, 0x042A, 0x042B, 0x042C, 0x042D, 0x042E, 0x042F,  // D8-DF
    0x0430, 0x0431, 0x0432, 0x0433, 0x0434, 0x0435, 0x0436, 0x0437,  // E0-E7
    0x0438, 0x0439, 0x043A, 0x043B, 0x043C, 0x043D, 0x043E, 0x043F,  // E8-EF
    0x0440, 0x0441, 0x0442, 0x0443, 0x0444, 0x0445, 0x0446, 0x0447,  // F0-F7
    0x0448, 0x0449, 0x044A, 0x044B, 0x044C, 0x044D, 0x044E, 0x044F,  // F8-FF
};

// ISO-8859-15 is Latin-1 but for these eight bytes.
struct Replacement {
  unsigned char byte;
  char16_t ch;
};
constexpr std::array<Replacement, 8> kLatin9Changes = {{{0xA4, 0x20AC},
                                                        {0xA6, 0x0160},
                                                        {0xA8, 0x0161},
                                                        {0xB4, 0x017D},
                                                        {0xB8, 0x017E},
                                                        {0xBC, 0x0152},
                                                        {0xBD, 0x0153},
                                                        {0xBE, 0x0178}}};

char16_t latin9Char(unsigned char byte) {
  for (const Replacement& change : kLatin9Changes) {
    if (change.byte == byte) {
      return change.ch;
    }
  }
  return byte;
}

// One character per byte, as charOf maps it.
template <typename CharOf>
QString decodeEach(QByteArrayView bytes, CharOf charOf) {
  QString text(bytes.size(), Qt::Uninitialized);
  QChar* out = text.data();
  for (qsizetype i = 0; i < bytes.size(); ++i) {
    out[i] = QChar(charOf(static_cast<unsigned char>(bytes[i])));
  }
  return text;
}

QString decodeHighHalf(const HighHalf& table, QByteArrayView bytes) {
  return decodeEach(bytes, [&table](unsigned char byte) {
    return byte < 0x80 ? char16_t(byte) : table[byte - 0x80];
  });
}

QString decodeUtf8OrAnsi(QByteArrayView bytes) {
  QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
  QString text = decoder.decode(bytes);
  return decoder.hasError() ? decodeAnsi(bytes) : text;
}

}  // namespace

QString codePageName(CodePage page) {
  switch (page) {
    case CodePage::Iso8859_1:
      return u"ISO-8859-1"_s;
    case CodePage::Iso8859_15:
      return u"ISO-8859-15"_s;
    case CodePage::Windows1250:
      return u"Windows-1250"_s;
    case CodePage::Windows1251:
      return u"Windows-1251"_s;
    case CodePage::Utf8:
      return u"UTF-8"_s;
    case CodePage::Windows1252:
      break;
  }
  return u"Windows-1252"_s;
}

std::optional<CodePage> codePageFromName(QStringView name) {
  struct Alias {
    QStringView name;
    CodePage page;
  };
  static constexpr Alias kAliases[] = {
      {u"cp1252", CodePage::Windows1252}, {u"cp1250", CodePage::Windows1250},
      {u"cp1251", CodePage::Windows1251}, {u"latin1", CodePage::Iso8859_1},
      {u"latin9", CodePage::Iso8859_15},  {u"utf8", CodePage::Utf8}};
  for (const CodePage page : kAllCodePages) {
    if (name.compare(codePageName(page), Qt::CaseInsensitive) == 0) {
      return page;
    }
  }
  for (const Alias& alias : kAliases) {
    if (name.compare(alias.name, Qt::CaseInsensitive) == 0) {
      return alias.page;
    }
  }
  return std::nullopt;
}

QString decodeCodePage(CodePage page, QByteArrayView bytes) {
  switch (page) {
    case CodePage::Iso8859_1:
      return QString::fromLatin1(bytes);
    case CodePage::Iso8859_15:
      return decodeEach(bytes, latin9Char);
    case CodePage::Windows1250:
      return decodeHighHalf(kCp1250, bytes);
    case CodePage::Windows1251:
      return decodeHighHalf(kCp1251, bytes);
    case CodePage::Utf8:
      return decodeUtf8OrAnsi(bytes);
    case CodePage::Windows1252:
      break;
  }
  return decodeAnsi(bytes);
}

QString exportEncodingKey(ExportEncoding encoding) {
  return encoding == ExportEncoding::Utf8 ? u"utf8"_s : u"cp1252"_s;
}

std::optional<ExportEncoding> exportEncodingFromKey(QStringView key) {
  for (const ExportEncoding encoding : {ExportEncoding::Windows1252, ExportEncoding::Utf8}) {
    if (key == exportEncodingKey(encoding)) {
      return encoding;
    }
  }
  return std::nullopt;
}

QByteArray encodeExportText(ExportEncoding encoding, QStringView text) {
  return encoding == ExportEncoding::Utf8 ? text.toUtf8() : encodeAnsi(text);
}
