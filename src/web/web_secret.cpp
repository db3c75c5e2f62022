#include "web/web_secret.h"

#include <QRandomGenerator>

QByteArray makeSecret(int bytes) {
  QByteArray raw(bytes, Qt::Uninitialized);
  auto* system = QRandomGenerator::system();
  for (char& byte : raw) {
    byte = static_cast<char>(system->generate() & 0xff);
  }
  return raw.toBase64(QByteArray::Base64UrlEncoding | QByteArray::OmitTrailingEquals);
}

bool sameSecret(QByteArrayView a, QByteArrayView b) {
  // Every byte of the longer text is visited whatever the others hold, so the time a wrong key
  // takes tells nothing of how much of it was right.
  const qsizetype length = std::max(a.size(), b.size());
  unsigned difference = a.size() == b.size() ? 0u : 1u;
  for (qsizetype i = 0; i < length; ++i) {
    const auto left = i < a.size() ? static_cast<unsigned char>(a[i]) : 0u;
    const auto right = i < b.size() ? static_cast<unsigned char>(b[i]) : 0u;
    difference |= left ^ right;
  }
  return difference == 0;
}
