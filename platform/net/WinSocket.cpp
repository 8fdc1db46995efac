// One connection on a Qt socket. Qt may report a connect, an error or a close from inside
// a call (a loopback connect that completes at once, a write to a reset peer); the original
// always posted its events, so every Qt signal is re-posted and handled from the event
// loop, never inside the application's own call.
#include <QCoreApplication>
#include <QMetaObject>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <climits>
#include <cstring>

#include "platform/net/NetInternal.h"

namespace {

std::atomic<int> g_GatherMs{kReceiveGatherMs};
// No device frame is longer; the system caps it at half its receive buffer anyway.
constexpr int kMaxThreshold = 16384;

const char* ApiOf(TErrorEvent event) {
    switch (event) {
    case eeLookup: return "lookup";
    case eeConnect: return "connect";
    case eeSend: return "send";
    case eeReceive: return "recv";
    case eeDisconnect: return "closesocket";
    case eeAccept: return "accept";
    default: return "select";
    }
}

}  // namespace

void SetReceiveGatherMsForTests(int ms) { g_GatherMs = ms > 0 ? ms : kReceiveGatherMs; }

TCustomWinSocket::TCustomWinSocket() : FImpl(std::make_unique<Impl>(this)) {}

TCustomWinSocket::~TCustomWinSocket() = default;

TCustomWinSocket::Impl::~Impl() { Retire(true); }

void TCustomWinSocket::Impl::Attach(QTcpSocket* s) {
    Qt = s;
    Input.clear();
    Taken = false;
    ReadPosted = false;
    ConnectingSeen = false;
    LowWater = 1;
    RemoteAddress.clear();
    RemoteHost.clear();
    LocalAddress.clear();
    RemotePort = LocalPort = 0;
    std::weak_ptr<int> life = Life;
    auto post = [this, life, s](auto fn) {
        QMetaObject::invokeMethod(
            s,
            [this, life, s, fn] {
                if (!Current(this, life, s)) return;
                net::Guarded(fn);
            },
            Qt::QueuedConnection);
    };
    Links.push_back(QObject::connect(s, &QAbstractSocket::connected, s, [this, s, post] {
        post([this, s] { OnConnected(s); });
    }));
    Links.push_back(QObject::connect(s, &QIODevice::readyRead, s, [this, s, post] {
        post([this, s] { OnReadyRead(s); });
    }));
    Links.push_back(QObject::connect(s, &QAbstractSocket::disconnected, s, [this, s, post] {
        post([this, s] { OnDisconnected(s); });
    }));
    Links.push_back(QObject::connect(s, &QAbstractSocket::errorOccurred, s,
                                     [this, s, post](QAbstractSocket::SocketError error) {
                                         post([this, s, error] { OnError(s, error); });
                                     }));
    Links.push_back(QObject::connect(s, &QAbstractSocket::stateChanged, s,
                                     [this, s, post](QAbstractSocket::SocketState state) {
                                         post([this, s, state] { OnState(s, state); });
                                     }));
}

void TCustomWinSocket::Impl::WatchConnection() {
    if (Watch >= 0 || !Qt) return;
    const qintptr fd = Qt->socketDescriptor();
    if (fd >= 0) Watch = ::fcntl(static_cast<int>(fd), F_DUPFD_CLOEXEC, 0);
}

bool TCustomWinSocket::Impl::TakeReset() {
    if (Watch < 0) return false;
    tcp_info info{};
    socklen_t size = sizeof info;
    // A close by the peer leaves the socket waiting for ours; a reset leaves it closed.
    const bool reset = ::getsockopt(Watch, IPPROTO_TCP, TCP_INFO, &info, &size) == 0 && info.tcpi_state == TCP_CLOSE;
    ::close(Watch);
    Watch = -1;
    return reset;
}

void TCustomWinSocket::Impl::Retire(bool flush) {
    if (Watch >= 0) {
        ::close(Watch);  // Qt's own descriptor carries the connection on, or its close
        Watch = -1;
    }
    QTcpSocket* s = Qt;
    if (!s) return;
    if (Gather) Gather->stop();
    Qt = nullptr;
    ReadPosted = false;
    for (auto& link : Links) QObject::disconnect(link);
    Links.clear();
    // Left to finish on its own; the application frees it at the latest.
    s->setParent(QCoreApplication::instance());
    if (flush && s->state() == QAbstractSocket::ConnectedState) {
        s->flush();
        QObject::connect(s, &QAbstractSocket::disconnected, s, &QObject::deleteLater);
        QObject::connect(s, &QAbstractSocket::errorOccurred, s, &QObject::deleteLater);
        s->disconnectFromHost();  // sends what is still queued, then the close
        if (s->state() == QAbstractSocket::UnconnectedState) s->deleteLater();
    } else {
        s->abort();
        s->deleteLater();
    }
}

bool TCustomWinSocket::Impl::Pull() {
    if (!Qt) return false;
    QByteArray bytes = Qt->readAll();
    if (bytes.isEmpty()) return false;
    Input.append(bytes.constData(), static_cast<std::size_t>(bytes.size()));
    return true;
}

void TCustomWinSocket::Impl::SetThreshold(int bytes) {
    if (!Qt) return;
    bytes = std::clamp(bytes, 1, kMaxThreshold);
    if (bytes == 1) {
        if (Gather) Gather->stop();
        SetLowWater(1);
        return;
    }
    if (!Gather) {
        Gather = std::make_unique<QTimer>();
        Gather->setSingleShot(true);
        // Whatever has come by now is read: any byte wakes the connection again.
        QObject::connect(Gather.get(), &QTimer::timeout, [this] { SetLowWater(1); });
    }
    SetLowWater(bytes);
    Gather->start(g_GatherMs.load());
}

void TCustomWinSocket::Impl::SetLowWater(int bytes) {
    if (bytes == LowWater || !Qt) return;
    const qintptr fd = Qt->socketDescriptor();
    if (fd >= 0 && ::setsockopt(static_cast<int>(fd), SOL_SOCKET, SO_RCVLOWAT, &bytes, sizeof bytes) == 0) LowWater = bytes;
}

void TCustomWinSocket::Impl::CacheAddresses() {
    if (!Qt) return;
    RemoteAddress = net::AddressText(Qt->peerAddress());
    RemoteHost = Qt->peerName().isEmpty() ? RemoteAddress : Qt->peerName().toStdString();
    RemotePort = Qt->peerPort();
    LocalAddress = net::AddressText(Qt->localAddress());
    LocalPort = Qt->localPort();
}

void TCustomWinSocket::Impl::OnState(QTcpSocket* s, QAbstractSocket::SocketState state) {
    if (state != QAbstractSocket::ConnectingState || ConnectingSeen || Owner->FConnected) return;
    if (s->state() != QAbstractSocket::ConnectingState) return;  // already past it
    ConnectingSeen = true;
    Owner->Event(seConnecting);
}

void TCustomWinSocket::Impl::OnConnected(QTcpSocket* s) {
    if (Owner->FConnected || s->state() != QAbstractSocket::ConnectedState) return;
    std::weak_ptr<int> life = Life;
    Owner->FConnected = true;
    CacheAddresses();
    WatchConnection();
    Owner->Event(seConnect);
    if (!Current(this, life, s)) return;
    Owner->Event(seWrite);  // ready for writing, as after every connect
    if (!Current(this, life, s)) return;
    if (Pull()) FireRead(s);
}

void TCustomWinSocket::Impl::OnReadyRead(QTcpSocket* s) {
    if (!Owner->FConnected) return;  // the connect event comes first
    // New bytes arrived, even if a ReceiveLength outside the event already moved them in.
    Pull();
    FireRead(s);
}

void TCustomWinSocket::Impl::FireRead(QTcpSocket* s) {
    if (Input.empty()) return;
    std::weak_ptr<int> life = Life;
    Taken = false;
    Owner->Event(seRead);
    if (!Current(this, life, s)) return;
    Pull();
    if (Taken && !Input.empty()) PostRead(s);
}

void TCustomWinSocket::Impl::PostRead(QTcpSocket* s) {
    if (ReadPosted) return;
    ReadPosted = true;
    std::weak_ptr<int> life = Life;
    QMetaObject::invokeMethod(
        s,
        [this, life, s] {
            if (!Current(this, life, s)) return;
            ReadPosted = false;
            net::Guarded([&] {
                Pull();
                FireRead(s);
            });
        },
        Qt::QueuedConnection);
}

void TCustomWinSocket::Impl::OnDisconnected(QTcpSocket* s) {
    if (!Owner->FConnected) return;  // a failed connect is reported by its error
    std::weak_ptr<int> life = Life;
    // What came with the close is read first.
    if (Pull()) {
        FireRead(s);
        if (!Current(this, life, s)) return;
    }
    Lost(s);
}

void TCustomWinSocket::Impl::Lost(QTcpSocket* s) {
    if (TakeReset()) {
        // Reported as the error it is; the disconnect follows.
        Fail(s, eeDisconnect, seConnectionReset);
        return;
    }
    std::weak_ptr<int> life = Life;
    Retire(false);
    Owner->FConnected = false;
    try {
        Owner->Event(seDisconnect);
    } catch (...) {
        if (!life.expired()) Owner->Dropped();
        throw;
    }
    if (!life.expired()) Owner->Dropped();
}

void TCustomWinSocket::Impl::OnError(QTcpSocket* s, QAbstractSocket::SocketError error) {
    if (error == QAbstractSocket::RemoteHostClosedError && Owner->FConnected) {
        // A close or a reset by the peer: the disconnect follows, no error. Should Qt not
        // report it, the state says so.
        if (s->state() == QAbstractSocket::UnconnectedState) OnDisconnected(s);
        return;
    }
    int code = net::ClassicSocketError(error, s->errorString());
    TErrorEvent event = eeGeneral;
    if (!Owner->FConnected) event = error == QAbstractSocket::HostNotFoundError ? eeLookup : eeConnect;
    Fail(s, event, code);
}

void TCustomWinSocket::Impl::Fail(QTcpSocket* s, TErrorEvent event, int code) {
    std::weak_ptr<int> life = Life;
    bool connected = Owner->FConnected;
    // This error is the one reported: the disconnect that follows is no second one (a
    // connection dead for another reason also reads as closed).
    if (connected && code != seConnectionReset) TakeReset();
    if (!connected) Retire(false);  // a failed connect leaves the socket closed, no disconnect
    Owner->Error(event, code);
    if (connected && Current(this, life, s) && s->state() == QAbstractSocket::UnconnectedState) {
        QMetaObject::invokeMethod(
            s,
            [this, life, s] {
                if (!Current(this, life, s) || !Owner->FConnected) return;
                net::Guarded([&] { Lost(s); });
            },
            Qt::QueuedConnection);
    }
    if (code != 0) throw ESocketError(SocketErrorMessage(code, ApiOf(event)), code);
}

void TCustomWinSocket::Impl::FailLater(QTcpSocket* s, TErrorEvent event, int code) {
    std::weak_ptr<int> life = Life;
    QMetaObject::invokeMethod(
        s,
        [this, life, s, event, code] {
            if (!Current(this, life, s)) return;
            net::Guarded([&] { Fail(s, event, code); });
        },
        Qt::QueuedConnection);
}

void TCustomWinSocket::Impl::Shut(bool notify) {
    if (!Qt) return;
    std::weak_ptr<int> life = Life;
    Retire(true);
    Owner->FConnected = false;
    Input.clear();
    if (!notify) return;
    try {
        Owner->Event(seDisconnect);
    } catch (...) {
        if (!life.expired()) Owner->Dropped();
        throw;
    }
    if (!life.expired()) Owner->Dropped();
}

// ---- the connection as the handlers see it ----------------------------------------------

int TCustomWinSocket::SendBuf(const void* buf, int count) {
    if (!FConnected || !FImpl->Qt || !buf || count <= 0) return 0;
    qint64 n = FImpl->Qt->write(static_cast<const char*>(buf), count);
    if (n < 0) return -1;
    FImpl->Qt->flush();  // to the system now, as a send does; a failure is posted
    return static_cast<int>(n);
}

int TCustomWinSocket::SendText(const std::string& text) {
    if (text.size() > static_cast<std::size_t>(INT_MAX)) return 0;
    return SendBuf(text.data(), static_cast<int>(text.size()));
}

int TCustomWinSocket::ReceiveLength() {
    FImpl->Pull();
    return static_cast<int>(std::min<std::size_t>(FImpl->Input.size(), INT_MAX));
}

int TCustomWinSocket::ReceiveBuf(void* buf, int count) {
    if (!buf || count == 0) return 0;
    FImpl->Pull();
    std::string& in = FImpl->Input;
    std::size_t n = in.size();
    if (count > 0) n = std::min(n, static_cast<std::size_t>(count));
    n = std::min<std::size_t>(n, INT_MAX);
    if (n == 0) return 0;
    std::memcpy(buf, in.data(), n);
    in.erase(0, n);
    FImpl->Taken = true;
    return static_cast<int>(n);
}

std::string TCustomWinSocket::ReceiveText() {
    FImpl->Pull();
    std::string text;
    text.swap(FImpl->Input);
    if (!text.empty()) FImpl->Taken = true;
    return text;
}

void TCustomWinSocket::SetReceiveThreshold(int bytes) { FImpl->SetThreshold(bytes); }

std::string TCustomWinSocket::GetRemoteAddress() const { return FImpl->RemoteAddress; }
std::string TCustomWinSocket::GetRemoteHost() const { return FImpl->RemoteHost; }
int TCustomWinSocket::GetRemotePort() const { return FImpl->RemotePort; }
std::string TCustomWinSocket::GetLocalAddress() const { return FImpl->LocalAddress; }
int TCustomWinSocket::GetLocalPort() const { return FImpl->LocalPort; }

void TCustomWinSocket::Close() { FImpl->Shut(true); }
