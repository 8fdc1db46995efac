#include "cloud/ConfLinks.h"

#include <algorithm>

#include "device/DeviceLink.h"

TConfLink TConfLinks::Connect(TConfLink link, const std::string& address) {
    Gone(link);  // a handle used again is a new connection
    TConfLink evicted = nullptr;
    auto out = FRoom.end();
    if (WaitingFrom(address) >= kConfWaitingPerAddress) out = Oldest(address);
    else if (FRoom.size() >= kConfWaitingRoom) out = Oldest({});
    if (out != FRoom.end()) {
        evicted = out->Link;
        FRoom.erase(out);
    }
    FRoom.push_back({link, address, TConfState::Waiting, 0, 1, {}, false});
    return evicted;
}

std::vector<TConfLinks::TWaiter>::iterator TConfLinks::Oldest(const std::string& address) {
    auto from = [&](const TWaiter& w) { return address.empty() || w.Address == address; };
    auto it = std::find_if(FRoom.begin(), FRoom.end(), [&](const TWaiter& w) { return from(w) && !w.Claims(); });
    return it != FRoom.end() ? it : std::find_if(FRoom.begin(), FRoom.end(), from);
}

bool TConfLinks::Gone(TConfLink link) {
    if (link != nullptr && link == FServed) {
        LoseServed();
        return true;
    }
    std::erase_if(FRoom, [link](const TWaiter& w) { return w.Link == link; });
    return false;
}

bool TConfLinks::Heard(TConfLink link) {
    if (link == nullptr || link != FServed) return false;
    FSilence = 0;
    return true;
}

TConfFrame TConfLinks::Frame(TConfLink link, bool identifies, const std::string& imei, bool transferRuns) {
    if (link == nullptr) return TConfFrame::Ignore;
    FTransfer = FTransfer || transferRuns;
    if (link == FServed) {
        if (!imei.empty()) {
            if (FServedImei.empty()) FServedImei = imei;
            const bool asked = FAsked || FProbe == TProbe::Due;
            FAsked = false;
            if (FProbe == TProbe::Due && imei == FServedImei) FProbe = TProbe::Answered;
            if (asked) return TConfFrame::Answer;
        }
        return identifies ? TConfFrame::Ignore : TConfFrame::Dispatch;
    }
    const auto it = std::find_if(FRoom.begin(), FRoom.end(), [link](const TWaiter& w) { return w.Link == link; });
    if (it == FRoom.end()) return TConfFrame::Ignore;
    if (it->Imei.empty()) it->Imei = imei;  // its status, asked while it was held
    if (it->Claims() || !identifies) return TConfFrame::Ignore;
    if (FServed == nullptr) {
        Serve(it);
        return TConfFrame::Serve;
    }
    it->Age = 0;
    if (FTransfer) {
        it->State = TConfState::Held;
        return TConfFrame::Hold;
    }
    if (it->Waited && !NamesServed(*it)) {
        Serve(it);  // its turn: it waited through the served one's transfer
        return TConfFrame::Handover;
    }
    it->State = TConfState::Claiming;
    if (FProbe != TProbe::None) return TConfFrame::Ignore;  // the served one is asked already
    FProbe = TProbe::Due;
    FProbeLeft = kConfProbeTicks;
    return TConfFrame::Probe;
}

void TConfLinks::Serve(std::vector<TWaiter>::iterator waiter) {
    FServed = waiter->Link;
    FServedImei = waiter->Imei;
    FRoom.erase(waiter);
    FAsked = true;
    FSilence = FProbeLeft = 0;
    FProbe = TProbe::None;
    // Those still here waited for the one before; they claim afresh.
    ReleaseClaimants();
    for (TWaiter& w : FRoom) w.Waited = false;
}

TConfLink TConfLinks::LoseServed() {
    const TConfLink lost = FServed;
    FServed = nullptr;
    FServedImei.clear();
    FAsked = false;
    FSilence = FProbeLeft = 0;
    FProbe = TProbe::None;
    ReleaseClaimants();
    return lost;
}

void TConfLinks::ReleaseClaimants() {
    for (TWaiter& w : FRoom)
        if (w.Claims()) w.WaitAgain();
}

void TConfLinks::TurnAwayClaimants(TConfTick& tick, bool all) {
    const auto out = [all](const TWaiter& w) {
        return all ? w.Claims() : w.State == TConfState::Held && w.Age >= kConfHoldTicks;
    };
    for (const TWaiter& w : FRoom)
        if (out(w)) tick.TurnAway.push_back(w.Link);
    std::erase_if(FRoom, out);
}

TConfTick TConfLinks::Tick(bool awaitingServed, bool transferRuns) {
    TConfTick tick;
    FTransfer = transferRuns;
    if (FServed != nullptr) {
        if (awaitingServed) ++FSilence;
        if (FSilence >= kConfLinkLostTicks) {
            tick.Lost = LoseServed();
        } else if (FProbe == TProbe::Answered) {
            FProbe = TProbe::None;
            TurnAwayClaimants(tick, true);
        } else if (transferRuns) {
            // The transfer's patience holds: a probe under way ends, its claimants wait.
            FProbe = TProbe::None;
            for (TWaiter& w : FRoom) {
                if (w.State == TConfState::Claiming) {
                    w.State = TConfState::Held;
                    w.Age = 0;
                    tick.Hold.push_back(w.Link);
                } else if (w.State == TConfState::Held) {
                    ++w.Age;
                }
            }
            TurnAwayClaimants(tick, false);
        } else {
            for (TWaiter& w : FRoom) {
                if (w.State != TConfState::Held) continue;
                w.WaitAgain();  // asked below
                w.Waited = true;
            }
            if (FProbe == TProbe::Due && --FProbeLeft == 0) tick.Lost = LoseServed();
        }
    }
    for (TWaiter& w : FRoom) {
        if (w.Claims()) continue;
        if (++w.Age >= kConfIdentifyTicks) {
            tick.Close.push_back(w.Link);
        } else if (--w.AskIn == 0) {
            w.AskIn = kIdentifyRetrySeconds;
            tick.Ask.push_back(w.Link);
        }
    }
    std::erase_if(FRoom, [](const TWaiter& w) { return !w.Claims() && w.Age >= kConfIdentifyTicks; });
    return tick;
}

void TConfLinks::Clear() {
    FRoom.clear();
    FServed = nullptr;
    FServedImei.clear();
    FAsked = false;
    FSilence = FProbeLeft = 0;
    FProbe = TProbe::None;
    FTransfer = false;
}

TConfState TConfLinks::StateOf(TConfLink link) const {
    if (link != nullptr && link == FServed) return TConfState::Served;
    for (const TWaiter& w : FRoom)
        if (w.Link == link) return w.State;
    return TConfState::None;
}

std::size_t TConfLinks::Held() const {
    return static_cast<std::size_t>(
        std::count_if(FRoom.begin(), FRoom.end(), [](const TWaiter& w) { return w.State == TConfState::Held; }));
}

std::size_t TConfLinks::WaitingFrom(const std::string& address) const {
    return static_cast<std::size_t>(
        std::count_if(FRoom.begin(), FRoom.end(), [&](const TWaiter& w) { return w.Address == address; }));
}
