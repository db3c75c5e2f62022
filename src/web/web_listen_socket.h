#pragma once

#include <QHostAddress>
#include <QString>

/** A socket listening on address and port (0: a free one), or -1 with a Spanish reason in
 *  error. QHostAddress::Any listens on IPv6 and IPv4 at once. */
int openListeningSocket(const QHostAddress& address, quint16 port, QString& error);

/** The port a listening socket has, as chosen by the system when 0 was asked for. */
quint16 boundPort(int socket);
