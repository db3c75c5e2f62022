#pragma once

#include <QByteArray>
#include <QHostAddress>
#include <QTcpSocket>
#include <memory>

// A plain HTTP/1.1 client on real sockets, for the web server's tests: it sends exactly the
// bytes it is given, from the loopback address it is told to bind, and reads to the close.

struct HttpReply {
  int status = 0;  // 0: the connection closed without an answer
  QByteArray head;
  QByteArray body;

  /** A header's value (name without case), empty when absent. */
  QByteArray header(const QByteArray& name) const;
};

/** "GET target HTTP/1.1" with Host 127.0.0.1:port, Connection: close and the extra lines. */
QByteArray httpRequest(const QByteArray& method, const QByteArray& target, quint16 port,
                       const QByteArray& extraHeaders = {});

/** Sends request from the given local address and reads the whole answer. */
HttpReply httpExchange(quint16 port, const QByteArray& request,
                       const QHostAddress& from = QHostAddress::LocalHost);

/** A connection from `from` that has sent only the first line of a request and waits. */
std::unique_ptr<QTcpSocket> halfOpenConnection(quint16 port, const QHostAddress& from);
