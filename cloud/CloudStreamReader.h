#pragma once
// The cloud connection carries two kinds of content mixed: device frames tunnelled from
// the device ("SLMX", length, marker, command, data, CRC) and the server's JSON replies,
// each ended by "}" LF CR. The reader separates them across reads: a frame or a reply cut
// between two reads is put together again, frame bytes never reach the JSON collector,
// and a reply is handed over only once, when its terminator has arrived. A reader without
// a reply handler reads frames only (the local configuration server's clients): bytes
// outside frames are dropped.
//
// A tag whose length says that its frame is still arriving holds back what follows it: the
// frame's data may hold anything, a reply's "{" and terminator and whole frames too, and none
// of it is read on its own. It is held until its length has arrived (its marker and CRC then
// decide), or its owner's clock gives it up: a frame cut short for good holds what follows
// for kStreamHeldTicks at most. Nothing else decides a tag, so one stream gives the same
// frames and replies however the reads cut it. Its cost stays linear in the input whatever
// a peer sends: a held tag is looked at once a read, and a candidate frame's CRC is taken
// from the running CRC register at a fixed cost.
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "device/DeviceFrame.h"

// The longest reply kept; the rest of a longer reply is not stored.
inline constexpr std::size_t kJsonCollectorSize = 8192;
// The most taken from a socket in one read event: a flood is read over several turns of the
// event loop, so that the window answers in between.
inline constexpr int kStreamReadSlice = 256 * 1024;
// Ticks of the owner's clock (a second each) a frame still arriving is waited for: longer
// than a GPRS line stalls inside one frame.
inline constexpr std::size_t kStreamHeldTicks = 10;

class TCloudStreamReader {
public:
    // A frame that passed the length, CRC and marker checks: frame points at its length
    // field, available is the length field, marker, command, data and CRC.
    std::function<void(const std::uint8_t* frame, std::size_t available)> OnFrame;
    // One reply as received (Windows-1251), from its "{" to the "}" of the terminator.
    // cut is true when the reply was longer than the collector: text is then its start only.
    std::function<void(const std::string& text, bool cut)> OnReply;

    void Feed(const std::uint8_t* data, std::size_t n);
    void Feed(const std::string& bytes) {
        Feed(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
    }
    // A new connection starts with nothing held.
    void Reset();
    // One tick of the owner's clock: a frame still arriving whose tag came before the tick
    // kStreamHeldTicks - 1 ticks ago is taken for none, and what follows it is read.
    void Tick();
    // The connection has ended: no frame held can be completed now; what follows is read.
    void EndOfStream();

    bool Collecting() const { return FCollecting; }
    // Bytes held back until the next read decides them (a tag's start, a frame arriving).
    std::size_t Held() const { return FPending.size(); }
    // How many more the tag held needs before it can be decided (1 when none is held).
    std::size_t Wanted() const;

private:
    enum class TTagCheck { NotAFrame, Wait, Frame };
    TTagCheck CheckTag(std::size_t at, std::size_t& frameSize) const;
    // Marker first, then the CRC: at and frameSize index FPending, the tag included.
    bool IsReplyFrame(std::size_t at, std::size_t frameSize) const;
    struct TEvent {
        bool Frame = false;
        bool Cut = false;
        std::string Bytes;
    };
    void JsonByte(std::uint8_t b, std::vector<TEvent>& events);
    void GiveUpBefore(std::uint64_t offset);

    std::vector<std::uint8_t> FPending;
    TCrcTrail FCrc;                // parallel to FPending
    std::uint64_t FBase = 0;       // stream offset of FPending[0]
    // The stream's end at each of the last ticks; tags before the oldest are given up.
    std::deque<std::uint64_t> FTickEnds;
    std::uint64_t FGiveUpBefore = 0;
    std::string FCollector;
    bool FCollecting = false;
    bool FCut = false;
    std::uint8_t FPrev1 = 0, FPrev2 = 0;  // the last two bytes outside frames
};

// The block as the traffic window shows it: up to its first NUL byte, as UTF-8.
std::string ReceivedBlockText(const std::uint8_t* data, std::size_t n);
