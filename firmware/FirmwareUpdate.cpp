#include "firmware/FirmwareUpdate.h"

#include <algorithm>

#include "device/DeviceFrame.h"
#include "platform/rtl/Format.h"
#include "platform/rtl/Streams.h"

namespace {
void PutU32(std::vector<std::uint8_t>& v, std::uint32_t x) {
    for (int i = 0; i < 4; ++i) v.push_back(static_cast<std::uint8_t>(x >> (8 * i)));
}
TFwAction Act(TFwActionKind kind) {
    TFwAction a;
    a.Kind = kind;
    return a;
}
void PutU16(std::vector<std::uint8_t>& v, std::uint16_t x) {
    v.push_back(static_cast<std::uint8_t>(x));
    v.push_back(static_cast<std::uint8_t>(x >> 8));
}
}  // namespace

std::vector<std::uint8_t> FwSizeData(std::uint32_t totalSize) {
    std::vector<std::uint8_t> d;
    PutU32(d, totalSize);
    return d;
}

std::vector<std::uint8_t> FwHeaderData(const FirmwareHeader& header) {
    std::vector<std::uint8_t> d;
    d.reserve(2 + kFirmwareHeaderSize);
    PutU16(d, static_cast<std::uint16_t>(kFirmwareHeaderSize));
    d.insert(d.end(), header.Bytes.begin(), header.Bytes.end());
    return d;
}

std::vector<std::uint8_t> FwBlockData(std::uint32_t offset, const std::uint8_t* bytes,
                                      std::uint16_t n) {
    std::vector<std::uint8_t> d;
    d.reserve(6u + n);
    PutU32(d, offset);
    PutU16(d, n);
    if (bytes != nullptr) d.insert(d.end(), bytes, bytes + n);
    else d.resize(6u + n, 0);
    return d;
}

std::string BootloaderVersionText(std::uint8_t version) {
    return Format("Bootloader version: v%d.%d", version / 16, version % 16);
}

bool IsBootloaderOnly(std::uint8_t version, std::uint8_t type) {
    return type == 250 || (version >> 4 == 2 && type == 0);
}

void TFirmwareUpdate::Load(const FirmwareHeader& header, std::unique_ptr<TStream> file) {
    Close();
    FHeader = header;
    FFile = std::move(file);
    FOffset = FConfirmed = 0;
}

void TFirmwareUpdate::Close() {
    FFile.reset();
    Abandon();
}

std::uint32_t TFirmwareUpdate::Whole() const {
    return FHeader.BodySize() + (FRemote ? static_cast<std::uint32_t>(kFirmwareHeaderSize) : 0);
}

int TFirmwareUpdate::Percent() const {
    const std::uint64_t whole = Whole();
    if (whole == 0) return 100;
    return static_cast<int>(std::min<std::uint64_t>(100, std::uint64_t{FOffset} * 100 / whole));
}

TFwAction TFirmwareUpdate::Program(TFwRoute route) {
    FActive = true;
    FRemote = route == TFwRoute::ConfServer;
    // Every attempt starts from the first byte: a retry that went on from where a failed
    // one stopped would write a body with a hole in it.
    FOffset = FConfirmed = 0;
    FTimeout = 0;
    FAwaited = false;
    FQuiet = 0;
    if (!FFile) return Fail(TFwActionKind::NoFile);
    switch (route) {
        case TFwRoute::ConfServer:
            FStep = TStep::Remote;
            return SendRemoteBlock();
        case TFwRoute::CableWorking:
            FStep = TStep::AwaitBootloader;
            return Act(TFwActionKind::RestartIntoBootloader);
        case TFwRoute::CableBootloader:
            break;
    }
    return Send(CmdFwStart, {}, TStep::Start);
}

TFwAction TFirmwareUpdate::OnReply(std::uint8_t command, std::uint8_t result) {
    if (command == CmdRemoteFwBlock) return OnRemoteReply(result);
    // Late replies of an update that ended, and replies to a step other than the one in
    // flight, would start a second stream of blocks beside the first.
    if (!FActive) return {};
    static constexpr struct {
        TStep step;
        std::uint8_t command;
    } kAwaited[] = {{TStep::Start, CmdFwStart},       {TStep::Size, CmdFwSize},
                    {TStep::HeaderSent, CmdFwHeader}, {TStep::Block, CmdFwBlock},
                    {TStep::Finish, CmdFwFinish},     {TStep::Remote, CmdRemoteFwBlock}};
    const auto it = std::find_if(std::begin(kAwaited), std::end(kAwaited),
                                 [&](const auto& a) { return a.step == FStep; });
    if (it == std::end(kAwaited) || it->command != command) return {};

    if (result != 0) {
        FStep = TStep::Stalled;
        TFwAction a = Act(TFwActionKind::Rejected);
        a.Result = result;
        if (command != CmdRemoteFwBlock) a.Prefix = Format("0x%.2X ", command);
        return a;
    }
    switch (FStep) {
        case TStep::Start:
            return Send(CmdFwSize, FwSizeData(FHeader.BodySize() + static_cast<std::uint32_t>(kFirmwareHeaderSize)),
                        TStep::Size);
        case TStep::Size:
            return Send(CmdFwHeader, FwHeaderData(FHeader), TStep::HeaderSent);
        case TStep::HeaderSent:
            return SendBlock();
        case TStep::Block:
            FConfirmed = FOffset;
            if (FOffset >= FHeader.BodySize()) return Send(CmdFwFinish, {}, TStep::Finish);
            return SendBlock();
        case TStep::Finish:
            Close();
            return Act(TFwActionKind::Finished);
        default:
            return {};
    }
}

TFwAction TFirmwareUpdate::OnRemoteReply(std::uint8_t result) {
    const bool sending = FActive && FStep == TStep::Remote;
    if (result != 0) {
        // Nothing more is sent; the watchdog ends the update. A refusal that comes after the
        // update was over (its acknowledgement was a copy of another) is told all the same.
        if (sending) {
            FStep = TStep::Stalled;
            FQuiet = 0;
        }
        TFwAction a = Act(TFwActionKind::Rejected);
        a.Result = result;
        return a;
    }
    if (!sending) return {};
    if (!FAwaited) {
        // No block awaits an answer: a copy of the last acknowledgement. The quiet starts again.
        if (FQuiet > 0) FQuiet = kRemoteAckQuietTicks;
        return {};
    }
    FAwaited = false;
    FConfirmed = FOffset;
    FQuiet = kRemoteAckQuietTicks;
    return {};
}

TFwAction TFirmwareUpdate::QuietTick() {
    if (FQuiet <= 0 || --FQuiet > 0) return {};
    if (!FActive || FStep != TStep::Remote) return {};
    return SendRemoteBlock();
}

void TFirmwareUpdate::Heard() {
    if (FQuiet > 0) FQuiet = kRemoteAckQuietTicks;
}

TFwAction TFirmwareUpdate::Tick() {
    if (FTimeout <= 0 || !FActive) return {};
    if (--FTimeout > 0) return {};
    Abandon();
    return Act(TFwActionKind::TimedOut);
}

void TFirmwareUpdate::Abandon() {
    FActive = false;
    FTimeout = 0;
    FQuiet = 0;
    FStep = TStep::Idle;
}

TFwAction TFirmwareUpdate::Send(std::uint8_t command, std::vector<std::uint8_t> data, TStep next) {
    FStep = next;
    TFwAction a = Act(TFwActionKind::Send);
    a.Command = command;
    a.Data = std::move(data);
    return a;
}

TFwAction TFirmwareUpdate::Fail(TFwActionKind kind) {
    Close();
    return Act(kind);
}

std::uint16_t TFirmwareUpdate::ReadAt(std::uint64_t position, std::uint8_t* buf, std::uint32_t max) {
    std::uint32_t got = 0;
    try {
        FFile->SetPosition(static_cast<std::int64_t>(position));
        while (got < max) {
            const std::int64_t n = FFile->Read(buf + got, max - got);
            if (n <= 0) break;
            got += static_cast<std::uint32_t>(n);
        }
    } catch (const Exception&) {
    }
    return static_cast<std::uint16_t>(got);
}

TFwAction TFirmwareUpdate::SendBlock() {
    std::uint8_t buf[kCableBlockSize];
    // Bytes after the announced body are not the device's: the size it was given is final.
    const std::uint32_t left = FHeader.BodySize() - std::min(FOffset, FHeader.BodySize());
    const std::uint32_t want = std::min(kCableBlockSize, left);
    const std::uint16_t n = ReadAt(kFirmwareHeaderSize + std::uint64_t{FOffset}, buf, want);
    // A file cut short would send empty blocks at the same offset for ever.
    if (n == 0 && want > 0) return Fail(TFwActionKind::ReadFailed);
    TFwAction a = Send(CmdFwBlock, FwBlockData(FOffset, buf, n), TStep::Block);
    FOffset += n;
    FTimeout = kCableBlockSeconds;
    return a;
}

TFwAction TFirmwareUpdate::SendRemoteBlock() {
    if (!FFile) return Fail(TFwActionKind::NoFile);
    const std::uint64_t whole = std::uint64_t{FHeader.BodySize()} + kFirmwareHeaderSize;
    if (FOffset >= whole) {
        Close();
        return Act(TFwActionKind::Finished);
    }
    std::uint8_t buf[kRemoteBlockSize];
    const std::uint32_t want =
        static_cast<std::uint32_t>(std::min<std::uint64_t>(kRemoteBlockSize, whole - FOffset));
    const std::uint16_t n = ReadAt(FOffset, buf, want);
    if (n == 0) return Fail(TFwActionKind::ReadFailed);
    TFwAction a = Send(CmdRemoteFwBlock, FwBlockData(FOffset, buf, n), TStep::Remote);
    FOffset += n;
    FTimeout = kRemoteBlockSeconds;
    FAwaited = true;
    return a;
}

std::string FirmwareConfirmedText(std::uint32_t confirmed, std::uint32_t whole) {
    const std::string n = std::to_string(confirmed), m = std::to_string(whole);
    return "Устройство подтвердило приём " + n + " из " + m + " байт файла прошивки: обновление не завершено.//\\ "
           "The device confirmed " + n + " of " + m + " bytes of the firmware file: the update is not complete.";
}

std::string FirmwareCutText(std::uint32_t confirmed, std::uint32_t whole) {
    const std::string n = std::to_string(confirmed), m = std::to_string(whole);
    return "Обновление прошивки прервано (устройство подтвердило приём " + n + " из " + m +
           " байт). Повторите обновление, когда устройство снова подключится.//\\ The firmware update was cut "
           "short (the device confirmed " + n + " of " + m + " bytes). Update it again once the device is "
           "connected again.";
}
