// The socket components over loopback: event order, closes from either side, errors with
// their classic numbers, several clients, and output that a close must not lose.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/net/ScktComp.h"
#include "platform/sys/GuiThread.h"
#include "support/TestSupport.h"

using testsupport::WaitUntil;

namespace {

// A server on a port of the system's choosing, recording its events.
struct Server {
    TServerSocket sock{nullptr};
    std::vector<std::string> log;
    std::string received;

    Server() {
        sock.OnAccept = [this](TObject*, TCustomWinSocket*) { log.push_back("accept"); };
        sock.OnClientConnect = [this](TObject*, TCustomWinSocket*) { log.push_back("connect"); };
        sock.OnClientWrite = [this](TObject*, TCustomWinSocket*) { log.push_back("write"); };
        sock.OnClientRead = [this](TObject*, TCustomWinSocket* s) {
            log.push_back("read");
            received += s->ReceiveText();
        };
        sock.OnClientDisconnect = [this](TObject*, TCustomWinSocket*) { log.push_back("disconnect"); };
        sock.OnClientError = [this](TObject*, TCustomWinSocket*, TErrorEvent, int& code) {
            log.push_back("error " + std::to_string(code));
            code = 0;
        };
        sock.SetPort(0);
        sock.Open();
    }
    int Port() { return sock.GetSocket()->GetLocalPort(); }
};

// A client recording its events.
struct Client {
    TClientSocket sock{nullptr};
    std::vector<std::string> log;
    std::string received;
    int errors = 0;
    int lastError = 0;
    TErrorEvent lastEvent = eeGeneral;
    bool clearErrors = true;

    Client() {
        sock.OnConnecting = [this](TObject*, TCustomWinSocket*) { log.push_back("connecting"); };
        sock.OnConnect = [this](TObject*, TCustomWinSocket*) { log.push_back("connect"); };
        sock.OnWrite = [this](TObject*, TCustomWinSocket*) { log.push_back("write"); };
        sock.OnRead = [this](TObject*, TCustomWinSocket* s) {
            log.push_back("read");
            received += s->ReceiveText();
        };
        sock.OnDisconnect = [this](TObject*, TCustomWinSocket*) { log.push_back("disconnect"); };
        sock.OnError = [this](TObject*, TCustomWinSocket*, TErrorEvent e, int& code) {
            log.push_back("error " + std::to_string(code));
            ++errors;
            lastError = code;
            lastEvent = e;
            if (clearErrors) code = 0;
        };
    }
    void Connect(int port, const std::string& host = "127.0.0.1") {
        sock.SetHost(host);
        sock.SetPort(port);
        sock.Open();
    }
    bool Connected() { return sock.GetSocket()->GetConnected(); }
};

int Count(const std::vector<std::string>& log, const std::string& what) {
    int n = 0;
    for (const auto& s : log) n += s == what;
    return n;
}

// A port that nothing listens on: bound for a moment, then released.
int FreePort() {
    int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a);
    socklen_t len = sizeof a;
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&a), &len);
    ::close(fd);
    return ntohs(a.sin_port);
}

// Catches what the application would show.
struct ShownErrors {
    std::vector<int> codes;
    std::vector<std::string> texts;
    ShownErrors() {
        sys::SetExceptionHandler([this](std::exception_ptr e) {
            try {
                std::rethrow_exception(e);
            } catch (const ESocketError& err) {
                codes.push_back(err.ErrorCode);
                texts.push_back(err.what());
            } catch (const std::exception& err) {
                codes.push_back(-1);
                texts.push_back(err.what());
            }
        });
    }
    ~ShownErrors() { sys::SetExceptionHandler(nullptr); }
};

}  // namespace

TEST(Sockets, ConnectWriteReadInOrderBothWays) {
    Server server;
    ASSERT_TRUE(server.sock.GetActive());
    ASSERT_GT(server.Port(), 0);
    Client client;
    client.Connect(server.Port());
    EXPECT_TRUE(client.sock.GetActive());
    EXPECT_FALSE(client.Connected());
    EXPECT_TRUE(client.log.empty()) << "events come from the event loop, never inside Open";

    ASSERT_TRUE(WaitUntil([&] { return client.Connected() && server.sock.GetSocket()->GetActiveConnections() == 1; }));
    ASSERT_TRUE(WaitUntil([&] { return client.log.size() >= 3; }));
    EXPECT_EQ(client.log, (std::vector<std::string>{"connecting", "connect", "write"}));
    EXPECT_EQ(server.log, (std::vector<std::string>{"accept", "connect", "write"}));

    EXPECT_EQ(client.sock.GetSocket()->SendText("Get_CONFUPD:Zentor#"), 19);
    ASSERT_TRUE(WaitUntil([&] { return server.received.size() == 19; }));
    EXPECT_EQ(server.received, "Get_CONFUPD:Zentor#");

    TCustomWinSocket* peer = server.sock.GetSocket()->GetConnections(0);
    ASSERT_NE(peer, nullptr);
    EXPECT_EQ(server.sock.GetSocket()->GetConnections(1), nullptr);
    const unsigned char bytes[] = {'S', 'L', 'M', 'X', 0x00, 0xFF, 0x0A};
    EXPECT_EQ(peer->SendBuf(bytes, sizeof bytes), 7);
    ASSERT_TRUE(WaitUntil([&] { return client.received.size() == 7; }));
    EXPECT_EQ(client.received, std::string(reinterpret_cast<const char*>(bytes), 7));
    EXPECT_EQ(client.errors, 0);
}

TEST(Sockets, PeerAddressesAreDottedAndPortsMatch) {
    Server server;
    Client client;
    client.Connect(server.Port());
    ASSERT_TRUE(WaitUntil([&] { return client.Connected() && server.sock.GetSocket()->GetActiveConnections() == 1; }));
    TCustomWinSocket* peer = server.sock.GetSocket()->GetConnections(0);
    // The server listens dual-stack; an IPv4 peer still reads as a.b.c.d.
    EXPECT_EQ(peer->GetRemoteAddress(), "127.0.0.1");
    EXPECT_EQ(peer->GetRemotePort(), client.sock.GetSocket()->GetLocalPort());
    EXPECT_EQ(client.sock.GetSocket()->GetRemoteAddress(), "127.0.0.1");
    EXPECT_EQ(client.sock.GetSocket()->GetRemotePort(), server.Port());
}

TEST(Sockets, RemoteCloseIsOneDisconnectAndNoError) {
    Server server;
    Client client;
    client.Connect(server.Port());
    ASSERT_TRUE(WaitUntil([&] { return server.sock.GetSocket()->GetActiveConnections() == 1 && client.Connected(); }));
    TCustomWinSocket* peer = server.sock.GetSocket()->GetConnections(0);
    peer->SendText("bye");
    peer->Close();
    // A local close raises the disconnect at once, and once.
    EXPECT_EQ(Count(server.log, "disconnect"), 1);
    EXPECT_EQ(server.sock.GetSocket()->GetActiveConnections(), 0);

    ASSERT_TRUE(WaitUntil([&] { return Count(client.log, "disconnect") == 1; }));
    testsupport::Pump(50);
    EXPECT_EQ(client.received, "bye") << "bytes sent before the close arrive before the disconnect";
    EXPECT_EQ(Count(client.log, "disconnect"), 1);
    EXPECT_EQ(client.errors, 0);
    EXPECT_FALSE(client.sock.GetActive());
    EXPECT_EQ(Count(server.log, "disconnect"), 1);
}

TEST(Sockets, ResetByThePeerIs10054ThenOneDisconnect) {
    int lfd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ASSERT_EQ(::bind(lfd, reinterpret_cast<sockaddr*>(&a), sizeof a), 0);
    ASSERT_EQ(::listen(lfd, 1), 0);
    socklen_t len = sizeof a;
    ::getsockname(lfd, reinterpret_cast<sockaddr*>(&a), &len);

    ShownErrors shown;
    Client client;
    client.clearErrors = false;  // left set: the application shows it
    client.Connect(ntohs(a.sin_port));
    ASSERT_TRUE(WaitUntil([&] { return client.Connected(); }));
    int cfd = ::accept(lfd, nullptr, nullptr);
    ASSERT_GE(cfd, 0);
    linger hard{1, 0};  // close with a reset
    ::setsockopt(cfd, SOL_SOCKET, SO_LINGER, &hard, sizeof hard);
    ::close(cfd);
    ::close(lfd);
    ASSERT_TRUE(WaitUntil([&] { return Count(client.log, "disconnect") == 1; }));
    testsupport::Pump(50);
    EXPECT_EQ(client.log.back(), "disconnect");
    EXPECT_EQ(Count(client.log, "disconnect"), 1);
    EXPECT_EQ(client.errors, 1);
    EXPECT_EQ(client.lastError, seConnectionReset);
    EXPECT_EQ(client.lastEvent, eeDisconnect);
    ASSERT_EQ(shown.codes, std::vector<int>{seConnectionReset});
    EXPECT_EQ(shown.texts[0], "Socket error: Connection reset by peer (10054), on API 'closesocket'");
    EXPECT_FALSE(client.sock.GetActive());
    EXPECT_EQ(client.sock.GetSocket()->SendText("x"), 0);

    // A client that the server's side resets is told the same way.
    Server server;
    int c = ::socket(AF_INET, SOCK_STREAM, 0);
    a.sin_port = htons(static_cast<std::uint16_t>(server.Port()));
    ASSERT_EQ(::connect(c, reinterpret_cast<sockaddr*>(&a), sizeof a), 0);
    ASSERT_TRUE(WaitUntil([&] { return Count(server.log, "connect") == 1; }));
    ::setsockopt(c, SOL_SOCKET, SO_LINGER, &hard, sizeof hard);
    ::close(c);
    ASSERT_TRUE(WaitUntil([&] { return Count(server.log, "disconnect") == 1; }));
    EXPECT_EQ(Count(server.log, "error 10054"), 1);
}

TEST(Sockets, RefusedConnectIs10061AndLeavesTheClientInactive) {
    ShownErrors shown;
    Client client;
    client.Connect(FreePort());
    ASSERT_TRUE(WaitUntil([&] { return client.errors == 1; }));
    EXPECT_EQ(client.lastError, 10061);
    EXPECT_EQ(client.lastEvent, eeConnect);
    EXPECT_FALSE(client.sock.GetActive());
    testsupport::Pump(30);
    EXPECT_EQ(Count(client.log, "disconnect"), 0);
    EXPECT_EQ(Count(client.log, "connect"), 0);
    EXPECT_TRUE(shown.codes.empty()) << "a cleared error raises nothing";
}

TEST(Sockets, AnErrorLeftSetIsRaisedForTheApplication) {
    ShownErrors shown;
    Client client;
    client.clearErrors = false;
    client.Connect(FreePort());
    ASSERT_TRUE(WaitUntil([&] { return shown.codes.size() == 1; }));
    EXPECT_EQ(shown.codes[0], 10061);
    EXPECT_EQ(shown.texts[0], "Socket error: Connection refused (10061), on API 'connect'");
    EXPECT_FALSE(client.sock.GetActive());
}

TEST(Sockets, UnknownHostIs11001) {
    Client client;
    std::vector<std::string> order;
    client.sock.OnLookup = [&](TObject*, TCustomWinSocket*) { order.push_back("lookup"); };
    client.Connect(1234, "no-such-host.invalid");
    EXPECT_EQ(order, std::vector<std::string>{"lookup"});
    ASSERT_TRUE(WaitUntil([&] { return client.errors == 1; }, 10000));
    EXPECT_EQ(client.lastError, 11001);
    EXPECT_EQ(client.lastEvent, eeLookup);
    EXPECT_FALSE(client.sock.GetActive());
}

TEST(Sockets, ServerAcceptsTwoClientsAndKeepsTheirOrder) {
    Server server;
    Client one, two;
    one.Connect(server.Port());
    ASSERT_TRUE(WaitUntil([&] { return server.sock.GetSocket()->GetActiveConnections() == 1; }));
    two.Connect(server.Port());
    ASSERT_TRUE(WaitUntil([&] { return server.sock.GetSocket()->GetActiveConnections() == 2 && one.Connected() && two.Connected(); }));
    TServerWinSocket* s = server.sock.GetSocket();
    EXPECT_EQ(s->GetConnections(0)->GetRemotePort(), one.sock.GetSocket()->GetLocalPort());
    EXPECT_EQ(s->GetConnections(1)->GetRemotePort(), two.sock.GetSocket()->GetLocalPort());

    s->GetConnections(0)->SendText("first");
    s->GetConnections(1)->SendText("second");
    ASSERT_TRUE(WaitUntil([&] { return one.received == "first" && two.received == "second"; }));

    one.sock.Close();
    EXPECT_EQ(Count(one.log, "disconnect"), 1);
    ASSERT_TRUE(WaitUntil([&] { return s->GetActiveConnections() == 1; }));
    EXPECT_EQ(s->GetConnections(0)->GetRemotePort(), two.sock.GetSocket()->GetLocalPort());
    EXPECT_EQ(Count(server.log, "disconnect"), 1);

    // Stopping the server closes the rest, each with its disconnect.
    server.sock.Close();
    EXPECT_FALSE(server.sock.GetActive());
    EXPECT_EQ(s->GetActiveConnections(), 0);
    EXPECT_EQ(Count(server.log, "disconnect"), 2);
    ASSERT_TRUE(WaitUntil([&] { return Count(two.log, "disconnect") == 1; }));
    EXPECT_EQ(two.errors, 0);
}

TEST(Sockets, LocalCloseSendsEverythingQueuedThenOneDisconnect) {
    Server server;
    Client client;
    client.Connect(server.Port());
    ASSERT_TRUE(WaitUntil([&] { return client.Connected() && server.sock.GetSocket()->GetActiveConnections() == 1; }));
    std::string big(3 * 1024 * 1024, '\0');
    for (std::size_t i = 0; i < big.size(); ++i) big[i] = static_cast<char>(i * 7 + i / 251);
    EXPECT_EQ(client.sock.GetSocket()->SendText(big), static_cast<int>(big.size()));
    client.sock.Close();
    EXPECT_EQ(Count(client.log, "disconnect"), 1);
    EXPECT_FALSE(client.sock.GetActive());
    ASSERT_TRUE(WaitUntil([&] { return Count(server.log, "disconnect") == 1; }, 10000));
    EXPECT_EQ(server.received.size(), big.size());
    EXPECT_TRUE(server.received == big);
    testsupport::Pump(30);
    EXPECT_EQ(Count(client.log, "disconnect"), 1);
}

TEST(Sockets, EveryReconnectIsAFreshConnection) {
    Server server;
    Client client;
    std::vector<int> localPorts;
    client.sock.OnConnect = [&](TObject*, TCustomWinSocket* s) { localPorts.push_back(s->GetLocalPort()); };
    client.Connect(server.Port());
    ASSERT_TRUE(WaitUntil([&] { return localPorts.size() == 1; }));
    client.sock.GetSocket()->SendText("old");
    // Closing and opening at once, as the tool's reconnect does.
    client.sock.Close();
    client.sock.Open();
    ASSERT_TRUE(WaitUntil([&] { return localPorts.size() == 2; }));
    EXPECT_NE(localPorts[0], localPorts[1]);
    ASSERT_TRUE(WaitUntil([&] { return Count(server.log, "accept") == 2 && Count(server.log, "disconnect") == 1; }));
    EXPECT_EQ(server.received, "old");
    EXPECT_EQ(server.sock.GetSocket()->GetActiveConnections(), 1);
    EXPECT_EQ(Count(client.log, "disconnect"), 1);
}

TEST(Sockets, ReadEventsFollowWhatTheHandlerTakes) {
    Server server;
    TClientSocket client(nullptr);
    std::vector<int> seen;
    bool takeAll = false;
    client.OnRead = [&](TObject*, TCustomWinSocket* s) {
        seen.push_back(s->ReceiveLength());
        char buf[4];
        if (takeAll)
            s->ReceiveText();
        else
            s->ReceiveBuf(buf, sizeof buf);
    };
    client.SetAddress("127.0.0.1");
    client.SetPort(server.Port());
    client.Open();
    ASSERT_TRUE(WaitUntil([&] { return server.sock.GetSocket()->GetActiveConnections() == 1 && client.GetSocket()->GetConnected(); }));
    server.sock.GetSocket()->GetConnections(0)->SendText("0123456789");
    // A handler that takes part of the bytes is called again for the rest.
    ASSERT_TRUE(WaitUntil([&] { return seen.size() == 3; }));
    EXPECT_EQ(seen, (std::vector<int>{10, 6, 2}));

    // A handler that takes nothing is not called again for the same bytes.
    seen.clear();
    client.OnRead = [&](TObject*, TCustomWinSocket* s) { seen.push_back(s->ReceiveLength()); };
    server.sock.GetSocket()->GetConnections(0)->SendText("abc");
    ASSERT_TRUE(WaitUntil([&] { return !seen.empty(); }));
    testsupport::Pump(50);
    EXPECT_EQ(seen, std::vector<int>{3});
    char none = 0;
    EXPECT_EQ(client.GetSocket()->ReceiveBuf(nullptr, 3), 0);
    EXPECT_EQ(client.GetSocket()->ReceiveBuf(&none, 1), 1);
    EXPECT_EQ(none, 'a');
    EXPECT_EQ(client.GetSocket()->ReceiveText(), "bc");
}

// A reader waiting for more bytes is called once they are all in, not for every piece a slow
// peer sends; what comes short of them reaches it a gather later.
TEST(Sockets, AReceiveThresholdGathersASlowPeersPieces) {
    Server server;
    Client client;
    std::vector<std::size_t> reads;
    server.sock.OnClientRead = [&](TObject*, TCustomWinSocket* s) {
        reads.push_back(s->ReceiveText().size());
        s->SetReceiveThreshold(100);
    };
    client.Connect(server.Port());
    ASSERT_TRUE(WaitUntil([&] { return client.Connected(); }));
    TCustomWinSocket* peer = client.sock.GetSocket();
    SetReceiveGatherMsForTests(60000);  // only the threshold decides
    peer->SendText("0123456789");
    ASSERT_TRUE(WaitUntil([&] { return reads.size() == 1; }));
    for (int piece = 0; piece < 9; ++piece) {  // 99 bytes, the event loop running between them
        peer->SendText(std::string(11, 'x'));
        testsupport::Pump(5);
    }
    EXPECT_EQ(reads.size(), 1u);
    SetReceiveGatherMsForTests(0);
    peer->SendText("y");
    ASSERT_TRUE(WaitUntil([&] { return reads.size() == 2; }));
    EXPECT_EQ(reads.back(), 100u);
    peer->SendText("short");
    ASSERT_TRUE(WaitUntil([&] { return reads.size() == 3; }));
    EXPECT_EQ(reads.back(), 5u);
}

TEST(Sockets, HandlersMayCloseOrFreeTheirOwnSocket) {
    ShownErrors shown;
    Server server;
    // The server closes a client from inside that client's read event.
    server.sock.OnClientRead = [&](TObject*, TCustomWinSocket* s) {
        server.received += s->ReceiveText();
        s->Close();
    };
    auto* client = new TClientSocket(nullptr);
    int disconnects = 0;
    client->OnDisconnect = [&](TObject*, TCustomWinSocket*) {
        ++disconnects;
        delete client;  // freed inside its own event
        client = nullptr;
    };
    client->SetHost("127.0.0.1");
    client->SetPort(server.Port());
    client->OnConnect = [](TObject*, TCustomWinSocket* s) { s->SendText("hello"); };
    client->Open();
    ASSERT_TRUE(WaitUntil([&] { return disconnects == 1; }));
    EXPECT_EQ(server.received, "hello");
    EXPECT_EQ(server.sock.GetSocket()->GetActiveConnections(), 0);
    testsupport::Pump(30);
    EXPECT_TRUE(shown.codes.empty());
}

TEST(Sockets, AHandlerExceptionIsShownAndEventsGoOn) {
    ShownErrors shown;
    Server server;
    int reads = 0;
    server.sock.OnClientRead = [&](TObject*, TCustomWinSocket* s) {
        ++reads;
        s->ReceiveText();
        throw Exception("handler failed");
    };
    Client client;
    client.Connect(server.Port());
    ASSERT_TRUE(WaitUntil([&] { return client.Connected(); }));
    client.sock.GetSocket()->SendText("a");
    ASSERT_TRUE(WaitUntil([&] { return reads == 1; }));
    client.sock.GetSocket()->SendText("b");
    ASSERT_TRUE(WaitUntil([&] { return reads == 2; }));
    EXPECT_EQ(shown.texts, (std::vector<std::string>{"handler failed", "handler failed"}));
}

TEST(Sockets, PortInUseRaisesAtOpenAndTheServerStaysInactive) {
    Server first;
    TServerSocket second(nullptr);
    second.SetPort(first.Port());
    try {
        second.Open();
        FAIL() << "no error";
    } catch (const ESocketError& e) {
        EXPECT_EQ(e.ErrorCode, 10048);
        EXPECT_STREQ(e.what(), ("Socket error: Address already in use (10048), on API 'bind'"));
    }
    EXPECT_FALSE(second.GetActive());
    TServerSocket bad(nullptr);
    bad.SetPort(70000);
    EXPECT_THROW(bad.Open(), ESocketError);
    EXPECT_FALSE(bad.GetActive());
}

TEST(Sockets, OwnerFreesItsSocketsWithoutEvents) {
    Server server;
    int events = 0;
    {
        TComponent owner(nullptr);
        auto* client = new TClientSocket(&owner);
        client->OnDisconnect = [&](TObject*, TCustomWinSocket*) { ++events; };
        client->SetHost("127.0.0.1");
        client->SetPort(server.Port());
        client->Open();
        ASSERT_TRUE(WaitUntil([&] { return client->GetSocket()->GetConnected(); }));
        client->GetSocket()->SendText("last words");
    }
    ASSERT_TRUE(WaitUntil([&] { return Count(server.log, "disconnect") == 1; }));
    EXPECT_EQ(server.received, "last words");
    EXPECT_EQ(events, 0);
}
