#pragma once
// The local configuration server's connections and the rules they follow, all in one place.
//
// A connection is in one of four states:
//
//   Waiting   connected, not yet identified as a controller; nothing it sends reaches the
//             window. It is asked to identify on the next tick and every kIdentifyRetrySeconds
//             after, and closed without a word once kConfIdentifyTicks have passed without
//             an identify reply (a controller answers within a few seconds even on GPRS),
//             however much else it sends.
//   Claiming  identified while another controller is served and nothing runs with it. The
//             served one is asked its status (one such probe at a time) and has kConfProbeTicks
//             to answer with a status naming the IMEI it was served under (the identify reply
//             names none); nothing else it sends answers, a flood no more than a byte now and
//             then. When it answers, every claimant is turned away, one naming that IMEI too;
//             when it does not, it is lost and the claimants wait again, asked at once, their
//             time afresh: the first to answer is served.
//   Held      identified (or claiming) while a transfer or a wait runs with the served one,
//             whose patience is then the transfer's own: no probe runs, and it is lost only
//             when silent for kConfLinkLostTicks. The claimant is asked its status, which names
//             it. When the transfer ends it waits again and is asked at once: one that names
//             the served one's IMEI is then a claimant as above (that controller dialled in
//             again can only be told from a forger by the served one's silence); any other
//             takes the seat when it identifies, the served one letting it go. One held for
//             kConfHoldTicks is turned away.
//   Served    identified while none was, or after waiting through a transfer: the one
//             controller whose frames reach the window. It is asked its status at once: the
//             IMEI that names is the one it is served under, unless it named one waiting. It
//             is lost when it stays silent for kConfLinkLostTicks while the window waits on
//             it, or when it does not answer a probe in time. No identify reply of it is news
//             to the window, nor a status the server asked for before its login. When it is
//             lost or gone, the claimants wait again as above.
//
// The waiting room (all but Served) holds at most kConfWaitingRoom connections, and
// at most kConfWaitingPerAddress from one remote address. A newcomer is always let in and
// asked: when its address has its share, the connection of that address that has waited
// longest makes room for it; otherwise, when the room is full, the one that has waited
// longest of all. Waiting ones go before claimants, which have shown themselves controllers.
//
// The type sends and closes nothing itself. It names the connections to ask and to close,
// and forgets a connection as it names it to be closed; the caller closes it.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// Find_device ticks (seconds). A served controller silent this long while the tool waits on
// it (its status is asked twice a second once logged in; no wait of a transfer on this link
// is longer) is lost.
inline constexpr int kConfLinkLostTicks = 60;
// A served controller asked its status because another one has identified must answer
// within this (GPRS takes a second or two), or it loses its place.
inline constexpr int kConfProbeTicks = 5;
// A connection that has not identified within this is no controller: three identify
// requests go out meanwhile.
inline constexpr int kConfIdentifyTicks = 10;
// A claimant waits this long at most for a transfer with the served controller to end; a
// controller turned away dials in again later.
inline constexpr int kConfHoldTicks = 60;
// Connections that wait to identify, in all and from one remote address.
inline constexpr std::size_t kConfWaitingRoom = 16;
inline constexpr std::size_t kConfWaitingPerAddress = 4;

// The caller's handle of a connection (its socket); only compared.
using TConfLink = void*;

enum class TConfState { None, Waiting, Claiming, Held, Served };

// What a frame of a connection means to the window.
enum class TConfFrame {
    Ignore,    // nothing for the window
    Dispatch,  // a frame of the served controller
    Serve,     // the connection identified and is served from now on; its frame is dispatched,
               // then it is asked its status (which names the IMEI it is served under)
    Answer,    // the served one's status answering the server's own question: news to the
               // window only while the window asks for its status too
    Probe,     // the connection claims the served one's place: ask that one its status
    Hold,      // it claims while a transfer runs: log that it waits, ask its status
    Handover,  // it waited through a transfer and is served from now on: the served one (as
               // it was before the call) is let go; its frame is dispatched as with Serve
};

// What a tick asks of the caller, to be done in field order.
struct TConfTick {
    TConfLink Lost = nullptr;         // the served controller is lost: close its link, tell
    std::vector<TConfLink> TurnAway;  // claimants the served controller keeps out: close, log
    std::vector<TConfLink> Hold;      // claimants that wait for a transfer: as TConfFrame::Hold
    std::vector<TConfLink> Close;     // never identified in time: close without a word
    std::vector<TConfLink> Ask;       // send the identify request
};

class TConfLinks {
public:
    // A new connection from address; the connection that makes room for it (to be closed),
    // or nullptr.
    TConfLink Connect(TConfLink link, const std::string& address);
    // The connection has gone (closed by the peer, reset, or closed here); true when it was
    // the served one.
    bool Gone(TConfLink link);
    // Bytes arrived on it; true when it is the served one.
    bool Heard(TConfLink link);
    // A whole frame of it; identifies: the frame is an identify reply of a controller; imei:
    // the IMEI a status reply names, else empty. transferRuns: a transfer or a wait runs with the
    // served one now, whatever the last tick said.
    TConfFrame Frame(TConfLink link, bool identifies, const std::string& imei = {}, bool transferRuns = false);
    // One Find_device tick; awaitingServed: the window waits on the served controller (its
    // status once logged in, a transfer, a firmware update); transferRuns: a transfer or a
    // wait runs with it, until the next tick says otherwise.
    TConfTick Tick(bool awaitingServed, bool transferRuns = false);
    void Clear();

    TConfLink Served() const { return FServed; }
    TConfState StateOf(TConfLink link) const;
    std::size_t WaitingFrom(const std::string& address) const;
    std::size_t Waiting() const { return FRoom.size(); }
    // Claimants that wait for a transfer with the served one to end.
    std::size_t Held() const;

private:
    struct TWaiter {
        TConfLink Link = nullptr;
        std::string Address;
        TConfState State = TConfState::Waiting;
        int Age = 0;    // ticks without identifying; held: ticks waited
        int AskIn = 1;  // ticks to the next identify request
        std::string Imei;     // what its status named
        bool Waited = false;  // it was held through the served one's transfer
        bool Claims() const { return State != TConfState::Waiting; }
        // Asked at once, its time afresh.
        void WaitAgain() { *this = {Link, Address, TConfState::Waiting, 0, 1, Imei, Waited}; }
    };
    enum class TProbe { None, Due, Answered };
    // The one to make room among those of address ("" any): the oldest waiting, else the
    // oldest claimant.
    std::vector<TWaiter>::iterator Oldest(const std::string& address);
    // The served controller has gone: claimants wait again and are asked at once.
    void ReleaseClaimants();
    TConfLink LoseServed();
    // The waiter takes the seat: it leaves the room, which no longer waits on the one before.
    void Serve(std::vector<TWaiter>::iterator waiter);
    bool NamesServed(const TWaiter& w) const { return !w.Imei.empty() && w.Imei == FServedImei; }
    // all: every claimant, as the served one has answered; else the held ones whose time is up.
    void TurnAwayClaimants(TConfTick& tick, bool all);

    std::vector<TWaiter> FRoom;  // in order of arrival
    TConfLink FServed = nullptr;
    std::string FServedImei;  // what it was served under: its first status, or the one it named waiting
    bool FAsked = false;      // it was asked its status as it was served, and has not answered
    int FSilence = 0;         // ticks the window waited on the served one without a byte
    TProbe FProbe = TProbe::None;
    int FProbeLeft = 0;       // ticks left for its answer while due
    bool FTransfer = false;   // as the last tick said
};
