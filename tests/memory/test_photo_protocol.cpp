// Photo requests, the camera's chunk replies read within their frame, the photo file's
// bounds and the event-picture retry counter, against bytes laid out by hand; where a
// picture fits among a page's controls.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "memory/PhotoFile.h"
#include "memory/PhotoPlacement.h"
#include "memory/PhotoProtocol.h"
#include "support/TestSupport.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

TEST(PhotoProtocol, RequestData) {
    EXPECT_EQ(CameraTakeRequest(), (Bytes{0x00, 0x00, 0x05}));
    EXPECT_EQ(PhotoNextChunkRequest(), (Bytes{0x01, 0x00}));
    // "861_Вход.jpg": the name goes out in Windows-1251 between 0x00 and 0x00.
    EXPECT_EQ(EventPhotoByNameRequest(EventPhotoFileName("861", "Вход")),
              (Bytes{0x00, '8', '6', '1', '_', 0xC2, 0xF5, 0xEE, 0xE4, '.', 'j', 'p', 'g', 0x00}));
    EXPECT_EQ(EventPhotoAtOffsetRequest(0x00012C00), (Bytes{0x05, 0x00, 0x2C, 0x01, 0x00}));
    EXPECT_EQ(EventPhotoAtOffsetRequest(0xA1B2C3D4), (Bytes{0x05, 0xD4, 0xC3, 0xB2, 0xA1}));
}

TEST(PhotoProtocol, CameraReplies) {
    const Bytes size = {0x00, 0x00, 0x2C, 0x01};
    TCameraReply r = DecodeCameraReply(size.data(), size.size());
    EXPECT_EQ(r.Kind, TCameraReplyKind::Size);
    EXPECT_EQ(r.Size, 76800u);

    const Bytes chunk = {0x01, 0x03, 0x00, 0xAA, 0xBB, 0xCC};
    r = DecodeCameraReply(chunk.data(), chunk.size());
    ASSERT_EQ(r.Kind, TCameraReplyKind::Chunk);
    EXPECT_EQ(r.ChunkSize, 3u);
    EXPECT_EQ(r.Chunk, chunk.data() + 3);

    // Announcing four bytes with three present: the chunk is not whole.
    const Bytes shortChunk = {0x01, 0x04, 0x00, 0xAA, 0xBB, 0xCC};
    EXPECT_EQ(DecodeCameraReply(shortChunk.data(), shortChunk.size()).Kind, TCameraReplyKind::Damaged);
    const Bytes noLength = {0x01, 0x04};
    EXPECT_EQ(DecodeCameraReply(noLength.data(), noLength.size()).Kind, TCameraReplyKind::Damaged);
    const Bytes noSize = {0x00, 0x01};
    EXPECT_EQ(DecodeCameraReply(noSize.data(), noSize.size()).Kind, TCameraReplyKind::Ignored);

    const std::pair<std::uint8_t, int> errors[] = {{2, 74}, {3, 75}, {4, 76}, {5, 77}, {250, 78}};
    for (auto [code, message] : errors) {
        r = DecodeCameraReply(&code, 1);
        EXPECT_EQ(r.Kind, TCameraReplyKind::Error);
        EXPECT_EQ(r.Message, message);
    }
    const std::uint8_t ended = 10, other = 7;
    EXPECT_EQ(DecodeCameraReply(&ended, 1).Kind, TCameraReplyKind::Ended);
    EXPECT_EQ(DecodeCameraReply(&other, 1).Kind, TCameraReplyKind::Ignored);
    EXPECT_EQ(DecodeCameraReply(nullptr, 0).Kind, TCameraReplyKind::Ignored);
}

TEST(PhotoProtocol, ChunksStopAtTheAnnouncedSize) {
    EXPECT_EQ(BoundedChunk(76800, 76000, 800), 800u);
    EXPECT_EQ(BoundedChunk(76800, 76000, 801), 800u);  // the surplus byte is dropped
    EXPECT_EQ(BoundedChunk(76800, 76800, 10), 0u);
    EXPECT_EQ(BoundedChunk(0, 0, 10), 0u);
}

TEST(PhotoProtocol, RetriesEveryThreeSecondsFiveRequestsInAll) {
    std::uint8_t ticks = kPhotoRetrySeconds, attempts = kPhotoAttempts;
    std::vector<int> resentAt;
    int gaveUpAt = -1;
    for (int second = 1; second <= 30; ++second) {
        switch (PhotoRetryTick(ticks, attempts)) {
            case TPhotoRetryAction::SendAgain: resentAt.push_back(second); break;
            case TPhotoRetryAction::GiveUp:
                EXPECT_EQ(gaveUpAt, -1);
                gaveUpAt = second;
                break;
            case TPhotoRetryAction::None: break;
        }
    }
    EXPECT_EQ(resentAt, (std::vector<int>{3, 6, 9, 12}));
    EXPECT_EQ(gaveUpAt, 15);
    // Stopped counters do nothing.
    ticks = attempts = 0;
    EXPECT_EQ(PhotoRetryTick(ticks, attempts), TPhotoRetryAction::None);
}

TEST(PhotoFile, RecreatedEmptyAndBounded) {
    const std::string dir = testsupport::TempDir("photo-file");
    const std::string path = dir + "/sub/image.jpg";
    TPhotoFile file;
    ASSERT_TRUE(file.Recreate(path));
    const Bytes a = {1, 2, 3};
    EXPECT_EQ(file.Write(a.data(), a.size()), 3u);
    // A new picture starts from an empty file.
    ASSERT_TRUE(file.Recreate(path));
    EXPECT_EQ(file.Write(a.data() + 1, 2), 2u);
    EXPECT_EQ(file.Written(), 2u);
    ASSERT_TRUE(file.Commit());
    EXPECT_FALSE(file.IsOpen());
    EXPECT_EQ(file.Write(a.data(), 1), 0u);
    std::ifstream in(path, std::ios::binary);
    EXPECT_EQ(std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>()),
              std::string("\x02\x03", 2));

    // The file never grows past what a 24-bit size announces.
    ASSERT_TRUE(file.Recreate(path));
    const Bytes big(1 << 20, 0x5A);
    std::size_t total = 0;
    for (int i = 0; i < 17; ++i) total += file.Write(big.data(), big.size());
    EXPECT_EQ(total, static_cast<std::size_t>(kMaxPhotoBytes));
    ASSERT_TRUE(file.Commit());
    EXPECT_EQ(std::filesystem::file_size(path), kMaxPhotoBytes);
    // A picture dropped half way leaves the last whole one.
    ASSERT_TRUE(file.Recreate(path));
    EXPECT_EQ(file.Write(a.data(), 1), 1u);
    file.Close();
    EXPECT_EQ(std::filesystem::file_size(path), kMaxPhotoBytes);
}

// The log page's box, 861 x 120: a 4:3 picture at its top right corner, clear of the
// operation filter (400..660 x 22..44) and the progress bar (470..850 x 88..110) by 5.
TEST(PhotoPlacement, PictureKeepsClearOfControlsAndShowsLargest) {
    TPictureFit fit;
    fit.Corner = TPoint(856, 14);
    fit.Kind = TPictureCorner::TopRight;
    fit.MaxWidth = 410;
    fit.MaxHeight = 310;
    fit.Bounds = TRect(5, 5, 856, 115);
    fit.Gap = 5;
    const std::vector<TRect> box = {TRect(400, 22, 660, 44), TRect(470, 88, 850, 110)};
    // Beside the filter and above the bar (191 x 69 shows the picture 92 x 69), not the
    // strip above the filter (410 x 3) nor past the bar (1 pixel wide).
    EXPECT_EQ(FitPictureRect(fit, box), TRect(665, 14, 856, 83));

    // The status page: from (420, 164) down to 5 above the buttons at 424.
    fit.Corner = TPoint(420, 164);
    fit.Kind = TPictureCorner::TopLeft;
    fit.Bounds = TRect(5, 5, 858, 645);
    const std::vector<TRect> status = {TRect(380, 424, 560, 454), TRect(570, 424, 750, 454), TRect(440, 470, 850, 630)};
    EXPECT_EQ(FitPictureRect(fit, status), TRect(420, 164, 830, 419));
    // A corner on a control leaves no room.
    EXPECT_TRUE(FitPictureRect(fit, {TRect(400, 150, 500, 200)}).IsEmpty());
}

}  // namespace
