#include <QCoreApplication>
#include <QMetaObject>
#include <QTcpServer>
#include <QTcpSocket>
#include <algorithm>

#include "platform/net/NetInternal.h"

struct TServerWinSocket::Impl {
    QTcpServer* Server = nullptr;
    // Connections that went away, freed from the event loop: a handler up the stack may
    // still hold one.
    std::vector<std::unique_ptr<TServerClientWinSocket>> Gone;
    bool CleanupPosted = false;
    std::shared_ptr<int> Life = std::make_shared<int>(0);
};

void TServerClientWinSocket::Event(TSocketEvent event) {
    TServerSocket* owner = FServer->FOwner;
    TSocketNotifyEvent handler;
    switch (event) {
    case seAccept: handler = owner->OnAccept; break;
    case seConnect: handler = owner->OnClientConnect; break;
    case seDisconnect: handler = owner->OnClientDisconnect; break;
    case seRead: handler = owner->OnClientRead; break;
    case seWrite: handler = owner->OnClientWrite; break;
    default: break;
    }
    if (handler) handler(owner, this);
}

void TServerClientWinSocket::Error(TErrorEvent event, int& code) {
    TServerSocket* owner = FServer->FOwner;
    TSocketErrorEvent handler = owner->OnClientError;
    if (handler) handler(owner, this, event, code);
}

void TServerClientWinSocket::Dropped() {
    TServerWinSocket* server = FServer;
    auto& list = server->FConnections;
    auto it = std::find(list.begin(), list.end(), this);
    if (it == list.end()) return;
    list.erase(it);
    server->FImpl->Gone.emplace_back(this);
    server->PostCleanup();
}

TServerWinSocket::TServerWinSocket(TServerSocket* owner) : FOwner(owner), FImpl(std::make_unique<Impl>()) {}

TServerWinSocket::~TServerWinSocket() {
    Close(false);
    for (TServerClientWinSocket* c : FConnections) delete c;
    FConnections.clear();
}

TCustomWinSocket* TServerWinSocket::GetConnections(int index) const {
    if (index < 0 || index >= static_cast<int>(FConnections.size())) return nullptr;
    return FConnections[static_cast<std::size_t>(index)];
}

bool TServerWinSocket::GetListening() const { return FImpl->Server != nullptr; }

int TServerWinSocket::GetLocalPort() const { return FImpl->Server ? FImpl->Server->serverPort() : 0; }

void TServerWinSocket::Listen(int port) {
    if (FImpl->Server) return;
    if (port < 0 || port > 65535) throw ESocketError(SocketErrorMessage(seOther, "bind"), seOther);
    auto* server = new QTcpServer();
    // A burst of connections beyond the queue of those not yet taken is not refused: the
    // system answers them and drops them unseen, so a controller dialling in amid a flood
    // would wait for an identify request that never comes. Queue them all (the system caps
    // this at its own limit) and let the server's rules sort them out.
    server->setListenBacklogSize(1024);
    // Every address, IPv6 too where the system has it; IPv4 peers still read as dotted.
    bool ok = server->listen(QHostAddress::Any, static_cast<quint16>(port));
    if (!ok && server->serverError() == QAbstractSocket::UnsupportedSocketOperationError)
        ok = server->listen(QHostAddress::AnyIPv4, static_cast<quint16>(port));
    if (!ok) {
        int code = net::ClassicSocketError(server->serverError(), server->errorString());
        delete server;
        throw ESocketError(SocketErrorMessage(code, "bind"), code);
    }
    FImpl->Server = server;
    std::weak_ptr<int> life = FImpl->Life;
    QObject::connect(server, &QTcpServer::newConnection, server, [this, life, server] {
        QMetaObject::invokeMethod(
            server,
            [this, life, server] {
                if (life.expired() || FImpl->Server != server) return;
                net::Guarded([&] { AcceptPending(); });
            },
            Qt::QueuedConnection);
    });
}

void TServerWinSocket::AcceptPending() {
    std::weak_ptr<int> life = FImpl->Life;
    for (;;) {
        QTcpServer* server = FImpl->Server;
        if (!server || !server->hasPendingConnections()) return;
        QTcpSocket* s = server->nextPendingConnection();
        if (!s) return;
        s->setParent(nullptr);  // the connection's own object frees it
        auto* client = new TServerClientWinSocket(this);
        FConnections.push_back(client);
        client->FImpl->Attach(s);
        client->FConnected = true;
        client->FImpl->CacheAddresses();
        client->FImpl->WatchConnection();
        std::weak_ptr<int> clientLife = client->FImpl->Life;
        auto stillThere = [&] {
            return !life.expired() && TCustomWinSocket::Impl::Current(client->FImpl.get(), clientLife, s);
        };
        client->Event(seAccept);
        if (!stillThere()) continue;
        client->Event(seConnect);
        if (!stillThere()) continue;
        client->Event(seWrite);
        if (!stillThere()) continue;
        if (client->FImpl->Pull()) client->FImpl->FireRead(s);
        if (life.expired()) return;
    }
}

void TServerWinSocket::PostCleanup() {
    if (FImpl->CleanupPosted || !QCoreApplication::instance()) return;
    FImpl->CleanupPosted = true;
    std::weak_ptr<int> life = FImpl->Life;
    Impl* impl = FImpl.get();
    QMetaObject::invokeMethod(
        QCoreApplication::instance(),
        [life, impl] {
            if (life.expired()) return;
            impl->CleanupPosted = false;
            impl->Gone.clear();
        },
        Qt::QueuedConnection);
}

void TServerWinSocket::Close(bool notify) {
    if (QTcpServer* server = FImpl->Server) {
        FImpl->Server = nullptr;
        QObject::disconnect(server, nullptr, nullptr, nullptr);
        server->close();
        server->deleteLater();
    }
    std::weak_ptr<int> life = FImpl->Life;
    while (!FConnections.empty()) {
        TServerClientWinSocket* client = FConnections.front();
        if (notify)
            client->Close();
        else
            client->FImpl->Shut(false);
        if (life.expired()) return;
        if (!FConnections.empty() && FConnections.front() == client) client->Dropped();
    }
}

TServerSocket::TServerSocket(TComponent* AOwner) : TComponent(AOwner) {}

// Listening stops and connections close without events.
TServerSocket::~TServerSocket() = default;

void TServerSocket::SetActive(bool active) {
    if (active)
        FSocket.Listen(FPort);
    else
        FSocket.Close(true);
}
