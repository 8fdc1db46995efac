#include "platform/net/NetInternal.h"

std::string SocketErrorText(int code) {
    switch (code) {
    case seAccessDenied: return "Permission denied";
    case seAddressInUse: return "Address already in use";
    case seOther: return "Network is down";
    case seConnectionReset: return "Connection reset by peer";
    case seTimedOut: return "Connection timed out";
    case seRefused: return "Connection refused";
    case seHostUnreachable: return "No route to host";
    case seHostNotFound: return "Host not found";
    default: return "Unknown error";
    }
}

std::string SocketErrorMessage(int code, const std::string& api) {
    return "Socket error: " + SocketErrorText(code) + " (" + std::to_string(code) + "), on API '" + api + "'";
}

namespace net {

int ClassicSocketError(QAbstractSocket::SocketError error, const QString& text) {
    switch (error) {
    case QAbstractSocket::ConnectionRefusedError: return seRefused;
    case QAbstractSocket::RemoteHostClosedError: return seConnectionReset;
    case QAbstractSocket::HostNotFoundError: return seHostNotFound;
    case QAbstractSocket::SocketAccessError: return seAccessDenied;
    case QAbstractSocket::AddressInUseError: return seAddressInUse;
    case QAbstractSocket::SocketTimeoutError: return seTimedOut;
    case QAbstractSocket::NetworkError:
        // Qt reports unreachable networks and hosts and connect time-outs all as one kind.
        if (text.contains(QLatin1String("unreachable"), Qt::CaseInsensitive)) return seHostUnreachable;
        if (text.contains(QLatin1String("timed out"), Qt::CaseInsensitive)) return seTimedOut;
        if (text.contains(QLatin1String("refused"), Qt::CaseInsensitive)) return seRefused;
        return seOther;
    default: return seOther;
    }
}

std::string AddressText(const QHostAddress& address) {
    if (address.isNull()) return {};
    bool isV4 = false;
    quint32 v4 = address.toIPv4Address(&isV4);
    if (isV4) return QHostAddress(v4).toString().toStdString();
    return address.toString().toStdString();
}

}  // namespace net
