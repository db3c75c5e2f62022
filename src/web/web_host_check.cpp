#include "web/web_host_check.h"

#include <QHostInfo>
#include <QNetworkInterface>

using namespace Qt::StringLiterals;

namespace {

struct HostAndPort {
  QString host;
  QString port;  // empty when the header gives none
};

// "name:8642", "192.168.1.4:8642" or "[fe80::1]:8642"; the port may be absent.
HostAndPort splitHost(const QString& header) {
  if (header.startsWith(u'[')) {
    const qsizetype close = header.indexOf(u']');
    if (close < 0) {
      return {};
    }
    const QString rest = header.mid(close + 1);
    if (!rest.isEmpty() && !rest.startsWith(u':')) {
      return {};
    }
    return {header.mid(1, close - 1), rest.mid(1)};
  }
  const qsizetype colon = header.lastIndexOf(u':');
  if (colon < 0) {
    return {header, QString()};
  }
  return {header.left(colon), header.mid(colon + 1)};
}

}  // namespace

bool listensEverywhere(const QHostAddress& address) {
  return address == QHostAddress::Any || address == QHostAddress::AnyIPv4 ||
         address == QHostAddress::AnyIPv6;
}

HostCheck::HostCheck(const QHostAddress& listened, quint16 port) : port_(port) {
  addresses_ = listensEverywhere(listened) ? QNetworkInterface::allAddresses()
                                           : QList<QHostAddress>{listened};
  const QString machine = QHostInfo::localHostName().toLower();
  names_ = {u"localhost"_s};
  if (!machine.isEmpty()) {
    names_ << machine << machine + u".local"_s;
  }
}

bool HostCheck::allows(QByteArrayView host) const {
  const HostAndPort parts = splitHost(QString::fromLatin1(host).trimmed());
  if (parts.host.isEmpty()) {
    return false;
  }
  const bool portMatches =
      parts.port.isEmpty() ? port_ == 80 : parts.port == QString::number(port_);
  return portMatches && namesThisMachine(parts.host);
}

bool HostCheck::namesThisMachine(const QString& name) const {
  if (names_.contains(name.toLower())) {
    return true;
  }
  const QHostAddress address(name);
  if (address.isNull()) {
    return false;
  }
  for (const QHostAddress& own : addresses_) {
    if (own.isEqual(address, QHostAddress::ConvertV4MappedToIPv4)) {
      return true;
    }
  }
  return false;
}
