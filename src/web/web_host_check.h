#pragma once

#include <QHostAddress>
#include <QList>
#include <QStringList>

/** Whether the address is a wildcard: every address of the machine. */
bool listensEverywhere(const QHostAddress& address);

// The Host header of a request must name this server: an address it listens on, the machine's
// host name or localhost, with its port. A page of another site that has made its own name
// point at this machine (DNS rebinding) sends that name, and is refused.
class HostCheck {
 public:
  HostCheck(const QHostAddress& listened, quint16 port);

  bool allows(QByteArrayView host) const;

 private:
  bool namesThisMachine(const QString& name) const;

  QList<QHostAddress> addresses_;
  QStringList names_;
  quint16 port_;
};
