#include "listing/technical_texts.h"

#include <QtMath>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

QString twoDigits(qint64 value) {
  return u"%1"_s.arg(value, 2, 10, QChar(u'0'));
}

// One decimal, with the decimal comma.
QString oneDecimal(qint64 tenths) {
  return u"%1,%2"_s.arg(tenths / 10).arg(tenths % 10);
}

}  // namespace

QString durationText(qint64 milliseconds) {
  const qint64 seconds = (std::max<qint64>(milliseconds, 0) + 500) / 1000;
  const qint64 minutes = seconds / 60;
  if (minutes < 60) {
    return u"%1:%2"_s.arg(minutes).arg(twoDigits(seconds % 60));
  }
  return u"%1:%2:%3"_s.arg(minutes / 60).arg(twoDigits(minutes % 60)).arg(twoDigits(seconds % 60));
}

QString kilohertzText(int hertz) {
  const qint64 tenths = qRound64(std::max(hertz, 0) / 100.0);
  return tenths % 10 == 0 ? QString::number(tenths / 10) : oneDecimal(tenths);
}

QString megabytesText(qint64 bytes) {
  return oneDecimal(qRound64(static_cast<double>(std::max<qint64>(bytes, 0)) / 100000.0));
}

qint64 durationOfFiles(const ListingModel& model, int first, int last) {
  qint64 total = 0;
  for (int file = std::max(first, 1); file <= last; ++file) {
    if (const AudioProperties* properties = model.technical.of(file)) {
      total += properties->durationMs;
    }
  }
  return total;
}

QString listingTotalText(const ListingModel& model) {
  if (!model.technical.present) {
    return {};
  }
  qint64 bytes = 0;
  for (int file = 1; file <= model.NumCancionesMP3; ++file) {
    if (const AudioProperties* properties = model.technical.of(file)) {
      bytes += properties->bytes;
    }
  }
  return u"Duración total: %1; tamaño total: %2 MB"_s.arg(
      durationText(durationOfFiles(model, 1, model.NumCancionesMP3)), megabytesText(bytes));
}
