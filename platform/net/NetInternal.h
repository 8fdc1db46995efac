#pragma once
// What the socket components share inside the layer: the Qt side of a connection and the
// mapping of Qt's socket errors to the classic numbers.
#include <QAbstractSocket>
#include <QHostAddress>
#include <QString>
#include <QTcpSocket>
#include <QTimer>
#include <memory>
#include <string>
#include <vector>

#include "platform/net/ScktComp.h"
#include "platform/sys/GuiThread.h"

namespace net {

// The classic number for a Qt socket error; text is Qt's description, which tells the
// network errors apart (unreachable, timed out).
int ClassicSocketError(QAbstractSocket::SocketError error, const QString& text);

// Dotted IPv4 for an IPv4 peer, also when it reached a dual-stack socket as ::ffff:a.b.c.d.
std::string AddressText(const QHostAddress& address);

// Runs a handler from the event loop; an exception goes to the application's display.
template <class F>
void Guarded(F&& f);

}  // namespace net

struct TCustomWinSocket::Impl {
    explicit Impl(TCustomWinSocket* owner) : Owner(owner) {}
    ~Impl();

    TCustomWinSocket* Owner;
    QTcpSocket* Qt = nullptr;        // the current connection; null when closed
    std::string Input;               // received and not yet taken
    bool Taken = false;              // the read handler took bytes
    bool ReadPosted = false;         // a further read event is queued
    bool ConnectingSeen = false;     // OnConnecting was raised for this connection
    std::shared_ptr<int> Life = std::make_shared<int>(0);
    std::vector<QMetaObject::Connection> Links;
    // Copied when the connection is made, so that a disconnect handler can still read them.
    std::string RemoteAddress, RemoteHost, LocalAddress;
    int RemotePort = 0, LocalPort = 0;
    // A second descriptor of the connected socket: Qt lets go of its own as it meets a close
    // or a reset by the peer and tells them apart to nobody; this one still says which.
    int Watch = -1;
    // The reader's threshold, held by the system: the connection reads as readable only once
    // that many bytes are in (or it closes); the gather timer lowers it for what came short.
    int LowWater = 1;
    std::unique_ptr<QTimer> Gather;

    // Takes over a fresh Qt socket and listens to it.
    void Attach(QTcpSocket* s);
    // Stops listening to the current Qt socket and lets it finish on its own: pending
    // output is sent before the close when flush is set, otherwise it is dropped.
    void Retire(bool flush);
    // Moves what Qt has received into Input; true when something came.
    bool Pull();

    // The socket object is still there and s is still its connection. Static, so that it
    // may be asked after a handler freed the object.
    static bool Current(const Impl* self, const std::weak_ptr<int>& life, const QTcpSocket* s) {
        return !life.expired() && self->Qt == s;
    }

    void SetThreshold(int bytes);
    void SetLowWater(int bytes);

    void CacheAddresses();
    // Takes the second descriptor of a connection just made.
    void WatchConnection();
    // True when the peer reset the connection (not closed it); lets go of the watch.
    bool TakeReset();
    // New bytes raise the read event; a handler that took bytes and left some gets another.
    void FireRead(QTcpSocket* s);

    // Local close: flush, then the disconnect once (when notify).
    void Shut(bool notify);
    // Reports an error for socket s, as the event loop does; raises ESocketError when the
    // handler leaves the code set.
    void Fail(QTcpSocket* s, TErrorEvent event, int code);
    // Delivers a failure later, from the event loop.
    void FailLater(QTcpSocket* s, TErrorEvent event, int code);

private:
    void OnConnected(QTcpSocket* s);
    void OnReadyRead(QTcpSocket* s);
    void OnDisconnected(QTcpSocket* s);
    void OnError(QTcpSocket* s, QAbstractSocket::SocketError error);
    void OnState(QTcpSocket* s, QAbstractSocket::SocketState state);
    void PostRead(QTcpSocket* s);
    // The connection went away without a local close.
    void Lost(QTcpSocket* s);

};

namespace net {
template <class F>
void Guarded(F&& f) {
    try {
        f();
    } catch (...) {
        sys::HandleException(std::current_exception());
    }
}
}  // namespace net
