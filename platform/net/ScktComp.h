#pragma once
// The form library's non-blocking socket components. Every event arrives on the GUI thread
// from its event loop, as the window messages of the original did.
//
// Rules kept on every platform:
// - a remote close (FIN) is a disconnect, never an error; a reset by the peer is the error
//   10054, then the disconnect;
// - Close() hands pending output to the system to be sent, then raises the disconnect,
//   once; the disconnect is raised for a socket that was connecting or connected;
// - every Open() uses a fresh connection; a failed connect leaves the component inactive
//   without a disconnect;
// - peer addresses are dotted IPv4 where the peer is IPv4 (also over a dual-stack listener);
// - errors carry the classic socket error numbers (TSocketErrorCode); an error that
//   OnError leaves nonzero raises ESocketError, which the application shows.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/rtl/Classes.h"
#include "platform/rtl/SysUtils.h"

// A reader that waits for more bytes (SetReceiveThreshold) hears of what has come short of
// them at most this often, so that a slow peer's link still counts as heard.
inline constexpr int kReceiveGatherMs = 200;
// Tests: another gather (0: kReceiveGatherMs), so that only the threshold decides.
void SetReceiveGatherMsForTests(int ms);

// The classic socket error numbers the tool's handlers see.
enum TSocketErrorCode : int {
    seAccessDenied = 10013,      // WSAEACCES
    seAddressInUse = 10048,      // WSAEADDRINUSE
    seOther = 10050,             // WSAENETDOWN: anything without a closer number
    seConnectionReset = 10054,   // WSAECONNRESET: raised for a connection the peer reset
    seTimedOut = 10060,          // WSAETIMEDOUT
    seRefused = 10061,           // WSAECONNREFUSED
    seHostUnreachable = 10065,   // WSAEHOSTUNREACH
    seHostNotFound = 11001,      // WSAHOST_NOT_FOUND
};

enum TErrorEvent { eeGeneral, eeSend, eeReceive, eeConnect, eeDisconnect, eeAccept, eeLookup };

enum TSocketEvent { seLookup, seConnecting, seConnect, seDisconnect, seListen, seAccept, seWrite, seRead };

class ESocketError : public Exception {
public:
    ESocketError(std::string message, int code) : Exception(std::move(message)), ErrorCode(code) {}
    int ErrorCode;
};

// "Socket error: Connection refused (10061), on API 'connect'"
std::string SocketErrorMessage(int code, const std::string& api);
// The system's short text for a classic error number.
std::string SocketErrorText(int code);

class TCustomWinSocket;
class TServerWinSocket;

using TSocketNotifyEvent = std::function<void(TObject* Sender, TCustomWinSocket* Socket)>;
using TSocketErrorEvent =
    std::function<void(TObject* Sender, TCustomWinSocket* Socket, TErrorEvent ErrorEvent, int& ErrorCode)>;

// One connection: what the handlers receive as Socket.
class TCustomWinSocket {
public:
    virtual ~TCustomWinSocket();
    TCustomWinSocket(const TCustomWinSocket&) = delete;
    TCustomWinSocket& operator=(const TCustomWinSocket&) = delete;

    bool GetConnected() const { return FConnected; }

    // Queues count bytes to send; returns count, 0 when not connected or buf is null.
    int SendBuf(const void* buf, int count);
    // The text's bytes as they stand (the caller converts code pages).
    int SendText(const std::string& text);
    // Bytes received and not yet taken.
    int ReceiveLength();
    // Takes up to count bytes (all waiting when count < 0); returns how many were taken.
    int ReceiveBuf(void* buf, int count);
    // Takes everything waiting.
    std::string ReceiveText();
    // The bytes the reader waits for (1, the default: any). Until that many have come the
    // read event is raised once they are in, or a gather after the last one for what came
    // short of them, not for every piece a slow peer sends.
    void SetReceiveThreshold(int bytes);

    std::string GetRemoteAddress() const;
    std::string GetRemoteHost() const;
    int GetRemotePort() const;
    std::string GetLocalAddress() const;
    int GetLocalPort() const;

    // Flushes, closes and raises the disconnect once.
    void Close();

    void* Data = nullptr;  // free for the application

    struct Impl;

protected:
    TCustomWinSocket();
    // The component (client) or the server decides what an event means.
    virtual void Event(TSocketEvent event) = 0;
    virtual void Error(TErrorEvent event, int& code) = 0;
    // After a close, a failed connect or a remote close: the connection is gone.
    virtual void Dropped() {}

    friend struct Impl;
    bool FConnected = false;
    std::unique_ptr<Impl> FImpl;
};

class TClientSocket;

class TClientWinSocket : public TCustomWinSocket {
public:
    explicit TClientWinSocket(TClientSocket* owner) : FOwner(owner) {}
    // Begins connecting to host (looked up) or, without a host, to the dotted address.
    void Open(const std::string& host, const std::string& address, int port);
    bool IsOpen() const;

protected:
    void Event(TSocketEvent event) override;
    void Error(TErrorEvent event, int& code) override;

private:
    TClientSocket* FOwner;
};

class TClientSocket : public TComponent {
public:
    explicit TClientSocket(TComponent* AOwner);
    ~TClientSocket() override;

    const std::string& GetHost() const { return FHost; }
    void SetHost(const std::string& host) { FHost = host; }
    const std::string& GetAddress() const { return FAddress; }
    void SetAddress(const std::string& address) { FAddress = address; }
    int GetPort() const { return FPort; }
    void SetPort(int port) { FPort = port; }
    // Connecting or connected.
    bool GetActive() const;
    void SetActive(bool active);
    void Open() { SetActive(true); }
    void Close() { SetActive(false); }

    TClientWinSocket* GetSocket() { return &FSocket; }

    TSocketNotifyEvent OnLookup;
    TSocketNotifyEvent OnConnecting;
    TSocketNotifyEvent OnConnect;
    TSocketNotifyEvent OnDisconnect;
    TSocketNotifyEvent OnRead;
    TSocketNotifyEvent OnWrite;
    TSocketErrorEvent OnError;

private:
    friend class TClientWinSocket;
    std::string FHost;
    std::string FAddress;
    int FPort = 0;
    TClientWinSocket FSocket{this};
};

class TServerSocket;

// A connection accepted by a server; owned and freed by the server's listening socket.
class TServerClientWinSocket : public TCustomWinSocket {
public:
    TServerWinSocket* GetServerWinSocket() const { return FServer; }

protected:
    void Event(TSocketEvent event) override;
    void Error(TErrorEvent event, int& code) override;
    void Dropped() override;

private:
    friend class TServerWinSocket;
    explicit TServerClientWinSocket(TServerWinSocket* server) : FServer(server) {}
    TServerWinSocket* FServer;
};

// The listening socket of a server: its accepted connections.
class TServerWinSocket {
public:
    explicit TServerWinSocket(TServerSocket* owner);
    ~TServerWinSocket();
    TServerWinSocket(const TServerWinSocket&) = delete;
    TServerWinSocket& operator=(const TServerWinSocket&) = delete;

    int GetActiveConnections() const { return static_cast<int>(FConnections.size()); }
    // In the order accepted; null out of range.
    TCustomWinSocket* GetConnections(int index) const;
    bool GetListening() const;
    // The port actually bound (a server opened on port 0 gets one from the system).
    int GetLocalPort() const;

    struct Impl;

private:
    friend class TServerSocket;
    friend class TServerClientWinSocket;
    void Listen(int port);  // raises ESocketError
    void Close(bool notify);
    void AcceptPending();
    void PostCleanup();
    void ClientEvent(TServerClientWinSocket* client, TSocketEvent event);
    void ClientError(TServerClientWinSocket* client, TErrorEvent event, int& code);
    void ClientDropped(TServerClientWinSocket* client);

    TServerSocket* FOwner;
    std::vector<TServerClientWinSocket*> FConnections;
    std::unique_ptr<Impl> FImpl;
};

class TServerSocket : public TComponent {
public:
    explicit TServerSocket(TComponent* AOwner);
    ~TServerSocket() override;

    int GetPort() const { return FPort; }
    void SetPort(int port) { FPort = port; }
    bool GetActive() const { return FSocket.GetListening(); }
    // Listening on every address; a port that cannot be bound raises ESocketError and the
    // server stays inactive. Deactivating closes every connection (each raises its
    // OnClientDisconnect) and stops listening.
    void SetActive(bool active);
    void Open() { SetActive(true); }
    void Close() { SetActive(false); }

    TServerWinSocket* GetSocket() { return &FSocket; }

    TSocketNotifyEvent OnAccept;
    TSocketNotifyEvent OnClientConnect;
    TSocketNotifyEvent OnClientDisconnect;
    TSocketNotifyEvent OnClientRead;
    TSocketNotifyEvent OnClientWrite;
    TSocketErrorEvent OnClientError;

private:
    friend class TServerWinSocket;
    int FPort = 0;
    TServerWinSocket FSocket{this};
};
