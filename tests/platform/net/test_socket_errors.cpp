// Qt's socket errors as the classic numbers the tool's handlers compare with.
#include <QHostAddress>
#include <gtest/gtest.h>

#include "platform/net/NetInternal.h"

TEST(SocketErrors, ClassicNumbers) {
    using QS = QAbstractSocket;
    EXPECT_EQ(net::ClassicSocketError(QS::ConnectionRefusedError, {}), 10061);
    EXPECT_EQ(net::ClassicSocketError(QS::HostNotFoundError, {}), 11001);
    EXPECT_EQ(net::ClassicSocketError(QS::SocketTimeoutError, {}), 10060);
    EXPECT_EQ(net::ClassicSocketError(QS::AddressInUseError, {}), 10048);
    EXPECT_EQ(net::ClassicSocketError(QS::SocketAccessError, {}), 10013);
    EXPECT_EQ(net::ClassicSocketError(QS::NetworkError, "Network unreachable"), 10065);
    EXPECT_EQ(net::ClassicSocketError(QS::NetworkError, "Host unreachable"), 10065);
    EXPECT_EQ(net::ClassicSocketError(QS::NetworkError, "Connection timed out"), 10060);
    EXPECT_EQ(net::ClassicSocketError(QS::NetworkError, "Something else"), 10050);
    EXPECT_EQ(net::ClassicSocketError(QS::SocketResourceError, {}), 10050);
    EXPECT_EQ(net::ClassicSocketError(QS::UnknownSocketError, {}), 10050);
}

TEST(SocketErrors, MessagesNameTheNumberAndTheCall) {
    EXPECT_EQ(SocketErrorMessage(10061, "connect"), "Socket error: Connection refused (10061), on API 'connect'");
    EXPECT_EQ(SocketErrorMessage(11001, "lookup"), "Socket error: Host not found (11001), on API 'lookup'");
    EXPECT_EQ(SocketErrorText(12345), "Unknown error");
}

TEST(SocketErrors, AddressesOfIpv4PeersAreDotted) {
    EXPECT_EQ(net::AddressText(QHostAddress("::ffff:10.1.2.3")), "10.1.2.3");
    EXPECT_EQ(net::AddressText(QHostAddress("192.168.0.7")), "192.168.0.7");
    EXPECT_EQ(net::AddressText(QHostAddress("::1")), "::1");
    EXPECT_EQ(net::AddressText(QHostAddress("fd00::2")), "fd00::2");
    EXPECT_EQ(net::AddressText(QHostAddress()), "");
}
