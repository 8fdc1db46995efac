// The news page fetched at start-up from a web server on loopback that serves hostile pages.
#include <gtest/gtest.h>

#include <QImage>
#include <QWidget>
#include <atomic>
#include <fcntl.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

#include "platform/sys/Clock.h"
#include "platform/ui/WebBrowserPage.h"
#include "support/AnswerProbe.h"
#include "support/ShownWindow.h"
#include "tools/newssim/NewsSim.h"

namespace {

std::string LastLogLine() {
    TStrings* lines = Form1->MiniLOG->GetLines();
    return lines->GetCount() > 0 ? lines->Get(lines->GetCount() - 1) : "";
}

bool NewsShown() { return Form1->Button19->GetVisible() && Form1->Panel10->GetVisible(); }

// The news page as painted: how many pure red pixels it holds.
int RedPixels() {
    const QImage shot = Form1->WebBrowser1->GetWidget()->grab().toImage();
    int red = 0;
    for (int y = 0; y < shot.height(); ++y)
        for (int x = 0; x < shot.width(); ++x) red += shot.pixel(x, y) == qRgb(255, 0, 0);
    return red;
}

// Images, style sheets and backgrounds that name a device, a FIFO and a picture on the disk;
// the page and its redirect must open none of them.
TEST(NewsPage, NeverOpensALocalFileOrDevice) {
    const std::string dir = testsupport::TempDir("news-files");
    const std::string fifo = dir + "/pipe", picture = dir + "/red.png";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    QImage red(64, 64, QImage::Format_RGB32);
    red.fill(Qt::red);
    ASSERT_TRUE(red.save(QString::fromStdString(picture), "PNG"));
    const int watch = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    ASSERT_GE(inotify_add_watch(watch, dir.c_str(), IN_OPEN | IN_ACCESS), 0);
    // A reader of the FIFO would wait for ever: a writer that comes and goes notes it and
    // lets it go.
    std::atomic<bool> done{false}, fifoOpened{false};
    std::thread writer([&] {
        while (!done) {
            const int fd = open(fifo.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
            if (fd >= 0) {
                fifoOpened = true;
                close(fd);
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
    });

    newssim::NewsSim sim;
    ASSERT_TRUE(sim.Start());
    const std::string file = "file://" + picture;
    sim.Set("/news", newssim::Page("<html><head><link rel=stylesheet href=\"" + file + "\"><style>body { background: url(" +
                               picture + ") }</style></head><body background=\"" + picture +
                               "\"><p>Новости</p><img src=\"/dev/zero\"><img src=\"" + fifo + "\"><img src=\"" + file +
                               "\"><img src=\"" + picture + "\" width=300 height=200><img src=\"red.png\">"
                               "<table background=\"" + picture + "\"><tr><td style=\"background-image: url(" +
                               picture + ")\">x</td></tr></table></body></html>"));
    sim.Set("/moved", newssim::Redirect(file));
    testsupport::TShownWindow window(sim.Url("/news"));  // the page is fetched from here on
    testsupport::TAnswerProbe answer;
    ASSERT_TRUE(testsupport::WaitUntil(NewsShown));
    EXPECT_NE(Form1->WebBrowser1->GetDocumentHtml().find("Новости"), std::string::npos);
    EXPECT_EQ(RedPixels(), 0);

    // A redirect to a file is not followed.
    Form1->WebBrowser1->Navigate(sim.Url("/moved"));
    ASSERT_TRUE(testsupport::WaitUntil([] { return !Form1->Panel10->GetVisible(); }));
    EXPECT_EQ(sim.Requests(), (std::vector<std::string>{"/news", "/moved"}));

    done = true;
    writer.join();
    EXPECT_FALSE(fifoOpened);
    char events[4096];
    EXPECT_LE(read(watch, events, sizeof events), 0) << "a file of the page was opened";
    close(watch);
    EXPECT_LT(answer.LongestMs(), 1000);
}

std::string NestedTables(int n, const std::string& text) {
    std::string page;
    for (int i = 0; i < n; ++i) page += "<table><tr><td>";
    page += text;
    for (int i = 0; i < n; ++i) page += "</td></tr></table>";
    return page;
}

// A page of thousands of nested tables shows its text; one too large, one that never ends
// and one that stops half way show nothing; the log says which; the window answers
// throughout.
TEST(NewsPage, LargeOrDeeplyBuiltPagesKeepTheWindowAnswering) {
    newssim::NewsSim sim;
    ASSERT_TRUE(sim.Start());
    sim.Set("/news", newssim::Page(NestedTables(6000, "Новости дня")));
    sim.Set("/huge", newssim::Page(NestedTables(60000, "x")));
    sim.Set("/flood", newssim::Flood("<table><tr><td>"));
    sim.Set("/stalled", newssim::Stall());
    testsupport::TShownWindow window(sim.Url("/news"));  // the page is fetched from here on
    testsupport::TAnswerProbe answer;
    ASSERT_TRUE(testsupport::WaitUntil(NewsShown, 10000));
    EXPECT_EQ(LastLogLine(), "<< Страница новостей слишком сложна: показан только её текст");
    EXPECT_EQ(Form1->WebBrowser1->GetDocumentHtml().find("<table"), std::string::npos);
    EXPECT_NE(Form1->WebBrowser1->GetDocumentHtml().find("Новости дня"), std::string::npos);
    EXPECT_EQ(RedPixels(), 0);  // painted, so laid out

    for (const char* path : {"/huge", "/flood"}) {
        Form1->MiniLog("", 1);
        Form1->WebBrowser1->Navigate(sim.Url(path));
        ASSERT_TRUE(testsupport::WaitUntil([] { return !Form1->WebBrowser1->GetBusy(); }, 10000)) << path;
        EXPECT_EQ(LastLogLine(), "<< Страница новостей слишком велика: не показана") << path;
    }
    Form1->WebBrowser1->Navigate(sim.Url("/stalled"));
    ASSERT_TRUE(testsupport::WaitUntil([&] { return sim.Requests().size() == 4; }));
    sys::AdvanceMs(ui::kWebPageMaxMs - 1);
    EXPECT_TRUE(Form1->WebBrowser1->GetBusy());
    sys::AdvanceMs(1);
    ASSERT_TRUE(testsupport::WaitUntil([] { return !Form1->WebBrowser1->GetBusy(); }));
    EXPECT_EQ(LastLogLine(), "<< Страница новостей не загрузилась за 30 с: не показана");
    EXPECT_FALSE(Form1->Panel10->GetVisible());
    EXPECT_LT(answer.LongestMs(), 1000);
}

}  // namespace
