#include <QHostAddress>
#include <QTcpSocket>

#include "platform/net/NetInternal.h"

void TClientWinSocket::Open(const std::string& host, const std::string& address, int port) {
    if (FImpl->Qt) return;  // already connecting or connected
    FConnected = false;
    auto* s = new QTcpSocket();
    FImpl->Attach(s);
    if (port < 1 || port > 65535) {
        FImpl->FailLater(s, eeConnect, seOther);
        return;
    }
    QHostAddress literal;
    if (!host.empty()) {
        if (!literal.setAddress(QString::fromStdString(host))) {
            std::weak_ptr<int> life = FImpl->Life;
            Event(seLookup);
            if (!Impl::Current(FImpl.get(), life, s)) return;
        }
        s->connectToHost(QString::fromStdString(host), static_cast<quint16>(port));
    } else if (literal.setAddress(QString::fromStdString(address))) {
        s->connectToHost(literal, static_cast<quint16>(port));
    } else {
        FImpl->FailLater(s, eeLookup, seHostNotFound);
    }
}

bool TClientWinSocket::IsOpen() const { return FImpl->Qt != nullptr; }

void TClientWinSocket::Event(TSocketEvent event) {
    TSocketNotifyEvent handler;
    switch (event) {
    case seLookup: handler = FOwner->OnLookup; break;
    case seConnecting: handler = FOwner->OnConnecting; break;
    case seConnect: handler = FOwner->OnConnect; break;
    case seDisconnect: handler = FOwner->OnDisconnect; break;
    case seRead: handler = FOwner->OnRead; break;
    case seWrite: handler = FOwner->OnWrite; break;
    default: break;
    }
    if (handler) handler(FOwner, this);
}

void TClientWinSocket::Error(TErrorEvent event, int& code) {
    TSocketErrorEvent handler = FOwner->OnError;
    if (handler) handler(FOwner, this, event, code);
}

TClientSocket::TClientSocket(TComponent* AOwner) : TComponent(AOwner) {}

// The connection is closed without events; pending output still goes out.
TClientSocket::~TClientSocket() = default;

bool TClientSocket::GetActive() const { return FSocket.IsOpen(); }

void TClientSocket::SetActive(bool active) {
    if (active)
        FSocket.Open(FHost, FAddress, FPort);
    else
        FSocket.Close();
}
