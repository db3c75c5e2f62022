#include "web/web_listen_socket.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

using namespace Qt::StringLiterals;

namespace {

constexpr int kBacklog = 64;

struct SocketAddress {
  sockaddr_storage storage{};
  socklen_t length = 0;
  int family = AF_INET;
};

SocketAddress socketAddressOf(const QHostAddress& address, quint16 port) {
  SocketAddress result;
  if (address.protocol() == QAbstractSocket::IPv4Protocol) {
    auto* ipv4 = reinterpret_cast<sockaddr_in*>(&result.storage);
    ipv4->sin_family = AF_INET;
    ipv4->sin_port = htons(port);
    ipv4->sin_addr.s_addr = htonl(address.toIPv4Address());
    result.length = sizeof(sockaddr_in);
    return result;
  }
  // IPv6, or Any: the IPv6 wildcard, which also takes IPv4 once V6ONLY is off.
  auto* ipv6 = reinterpret_cast<sockaddr_in6*>(&result.storage);
  ipv6->sin6_family = AF_INET6;
  ipv6->sin6_port = htons(port);
  const Q_IPV6ADDR bytes = address == QHostAddress::Any ? Q_IPV6ADDR{} : address.toIPv6Address();
  std::memcpy(&ipv6->sin6_addr, &bytes, sizeof(bytes));
  result.length = sizeof(sockaddr_in6);
  result.family = AF_INET6;
  return result;
}

QString bindFailure(int code, const QHostAddress& address, quint16 port) {
  const QString where = address.toString();
  switch (code) {
    case EADDRINUSE:
      return u"El puerto %1 ya está en uso en %2: cierre el otro programa o elija otro puerto."_s
          .arg(port)
          .arg(where);
    case EADDRNOTAVAIL:
      return u"La dirección %1 no es de este equipo."_s.arg(where);
    case EACCES:
      return u"Hace falta ser administrador para escuchar en el puerto %1; elija uno por encima "
             u"de 1024."_s.arg(port);
    default:
      return u"No se pudo escuchar en %1, puerto %2: %3."_s.arg(where).arg(port).arg(
          QString::fromLocal8Bit(std::strerror(code)));
  }
}

}  // namespace

int openListeningSocket(const QHostAddress& address, quint16 port, QString& error) {
  const SocketAddress where = socketAddressOf(address, port);
  const int socket = ::socket(where.family, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
  if (socket < 0) {
    error = bindFailure(errno, address, port);
    return -1;
  }
  const int yes = 1;
  const int no = 0;
  ::setsockopt(socket, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof(yes));
  if (address == QHostAddress::Any) {
    ::setsockopt(socket, IPPROTO_IPV6, IPV6_V6ONLY, &no, sizeof(no));
  }
  if (::bind(socket, reinterpret_cast<const sockaddr*>(&where.storage), where.length) != 0 ||
      ::listen(socket, kBacklog) != 0) {
    error = bindFailure(errno, address, port);
    ::close(socket);
    return -1;
  }
  return socket;
}

quint16 boundPort(int socket) {
  sockaddr_storage storage{};
  socklen_t length = sizeof(storage);
  if (::getsockname(socket, reinterpret_cast<sockaddr*>(&storage), &length) != 0) {
    return 0;
  }
  const auto* ipv4 = reinterpret_cast<const sockaddr_in*>(&storage);
  return ntohs(ipv4->sin_port);  // sin_port and sin6_port lie at the same offset
}
