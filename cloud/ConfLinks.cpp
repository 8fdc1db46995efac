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
    FRoom.push_back({link, address});
    return evicted;
}

std::vector<TConfLinks::TWaiter>::iterator TConfLinks::Oldest(const std::string& address) {
    auto from = [&](const TWaiter& w) { return address.empty() || w.Address == address; };
    auto it = std::find_if(FRoom.begin(), FRoom.end(), [&](const TWaiter& w) { return from(w) && !w.Claiming; });
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
    FProbeHeard = true;
    return true;
}

TConfFrame TConfLinks::Frame(TConfLink link, bool identifies) {
    if (link == nullptr) return TConfFrame::Ignore;
    if (link == FServed) {
        if (FProbeReplyDue && identifies) {
            FProbeReplyDue = false;
            return TConfFrame::Ignore;
        }
        return TConfFrame::Dispatch;
    }
    const auto it = std::find_if(FRoom.begin(), FRoom.end(), [link](const TWaiter& w) { return w.Link == link; });
    if (it == FRoom.end() || it->Claiming || !identifies) return TConfFrame::Ignore;
    if (FServed == nullptr) {
        FRoom.erase(it);
        FServed = link;
        FSilence = FProbeLeft = 0;
        FProbeHeard = FProbeReplyDue = false;
        return TConfFrame::Serve;
    }
    it->Claiming = true;
    if (FProbeLeft != 0) return TConfFrame::Ignore;  // the served one is asked already
    FProbeLeft = kConfProbeTicks;
    FProbeHeard = false;
    FProbeReplyDue = true;
    return TConfFrame::Probe;
}

TConfLink TConfLinks::LoseServed() {
    const TConfLink lost = FServed;
    FServed = nullptr;
    FSilence = FProbeLeft = 0;
    FProbeHeard = FProbeReplyDue = false;
    ReleaseClaimants();
    return lost;
}

void TConfLinks::ReleaseClaimants() {
    for (TWaiter& w : FRoom) {
        if (!w.Claiming) continue;
        w.Claiming = false;
        w.Age = 0;
        w.AskIn = 1;
    }
}

TConfTick TConfLinks::Tick(bool awaitingServed) {
    TConfTick tick;
    if (FServed != nullptr) {
        if (awaitingServed) ++FSilence;
        if (FSilence >= kConfLinkLostTicks) {
            tick.Lost = LoseServed();
        } else if (FProbeLeft != 0 && FProbeHeard) {
            FProbeLeft = 0;
            for (const TWaiter& w : FRoom)
                if (w.Claiming) tick.TurnAway.push_back(w.Link);
            std::erase_if(FRoom, [](const TWaiter& w) { return w.Claiming; });
        } else if (FProbeLeft != 0 && --FProbeLeft == 0) {
            tick.Lost = LoseServed();
        }
    }
    for (TWaiter& w : FRoom) {
        if (w.Claiming) continue;
        if (++w.Age >= kConfIdentifyTicks) {
            tick.Close.push_back(w.Link);
        } else if (--w.AskIn == 0) {
            w.AskIn = kIdentifyRetrySeconds;
            tick.Ask.push_back(w.Link);
        }
    }
    std::erase_if(FRoom, [](const TWaiter& w) { return !w.Claiming && w.Age >= kConfIdentifyTicks; });
    return tick;
}

void TConfLinks::Clear() {
    FRoom.clear();
    FServed = nullptr;
    FSilence = FProbeLeft = 0;
    FProbeHeard = FProbeReplyDue = false;
}

TConfState TConfLinks::StateOf(TConfLink link) const {
    if (link != nullptr && link == FServed) return TConfState::Served;
    for (const TWaiter& w : FRoom)
        if (w.Link == link) return w.Claiming ? TConfState::Claiming : TConfState::Waiting;
    return TConfState::None;
}

std::size_t TConfLinks::WaitingFrom(const std::string& address) const {
    return static_cast<std::size_t>(
        std::count_if(FRoom.begin(), FRoom.end(), [&](const TWaiter& w) { return w.Address == address; }));
}
