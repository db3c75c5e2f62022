#include "support/http_client.h"

#include <QDeadlineTimer>

namespace {

constexpr int kWaitMs = 5000;

std::unique_ptr<QTcpSocket> connectedSocket(quint16 port, const QHostAddress& from) {
  auto socket = std::make_unique<QTcpSocket>();
  socket->bind(from);
  socket->connectToHost(QHostAddress::LocalHost, port);
  socket->waitForConnected(kWaitMs);
  return socket;
}

HttpReply parseReply(const QByteArray& bytes) {
  HttpReply reply;
  const qsizetype end = bytes.indexOf("\r\n\r\n");
  if (!bytes.startsWith("HTTP/1.") || end < 0) {
    return reply;
  }
  reply.head = bytes.left(end);
  reply.body = bytes.mid(end + 4);
  reply.status = bytes.mid(9, 3).toInt();
  return reply;
}

}  // namespace

QByteArray HttpReply::header(const QByteArray& name) const {
  for (const QByteArray& line : head.split('\n')) {
    const qsizetype colon = line.indexOf(':');
    if (colon > 0 && line.left(colon).trimmed().compare(name, Qt::CaseInsensitive) == 0) {
      return line.mid(colon + 1).trimmed();
    }
  }
  return {};
}

QByteArray httpRequest(const QByteArray& method, const QByteArray& target, quint16 port,
                       const QByteArray& extraHeaders) {
  return method + ' ' + target + " HTTP/1.1\r\nHost: 127.0.0.1:" + QByteArray::number(port) +
         "\r\nConnection: close\r\n" + extraHeaders + "\r\n";
}

HttpReply httpExchange(quint16 port, const QByteArray& request, const QHostAddress& from) {
  const auto socket = connectedSocket(port, from);
  socket->write(request);
  QByteArray answer;
  const QDeadlineTimer deadline(kWaitMs);
  while (socket->state() == QAbstractSocket::ConnectedState && !deadline.hasExpired()) {
    socket->waitForReadyRead(static_cast<int>(deadline.remainingTime()));
    answer += socket->readAll();
  }
  answer += socket->readAll();
  return parseReply(answer);
}

std::unique_ptr<QTcpSocket> halfOpenConnection(quint16 port, const QHostAddress& from) {
  auto socket = connectedSocket(port, from);
  socket->write("GET / HTTP/1.1\r\n");
  socket->waitForBytesWritten(kWaitMs);
  return socket;
}
