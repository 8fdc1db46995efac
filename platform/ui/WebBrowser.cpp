#include "platform/ui/WebBrowser.h"

#include <QImage>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QPointer>
#include <QTextBrowser>
#include <QUrl>
#include <utility>

#include "platform/sys/Timer.h"
#include "platform/ui/ControlWidget.h"
#include "platform/ui/WebBrowserPage.h"

namespace {

QString Q(const std::string& s) { return QString::fromUtf8(s.data(), qsizetype(s.size())); }

bool WebScheme(const QUrl& url) { return url.scheme() == "http" || url.scheme() == "https"; }

class TPageView : public QTextBrowser {
protected:
    // Nothing a page names is loaded. A null answer would make the document read the name
    // as a local file, and a null image would make the image handler do so: every image is
    // an empty picture, anything else empty.
    QVariant loadResource(int type, const QUrl&) override {
        if (type != QTextDocument::ImageResource) return QByteArray();
        QImage none(1, 1, QImage::Format_ARGB32);
        none.fill(Qt::transparent);
        return none;
    }
};

}  // namespace

struct TWebBrowser::Impl {
    QNetworkAccessManager manager;
    QPointer<QNetworkReply> reply;
    QByteArray body;
    // Takes what has arrived; false once the page is over its bound.
    bool Take(QNetworkReply* r) {
        if (r->isOpen()) body += r->read(qint64(ui::kWebPageMaxBytes) + 1 - body.size());
        return std::size_t(body.size()) <= ui::kWebPageMaxBytes;
    }
};

TWebBrowser::TWebBrowser(TComponent* AOwner)
    : TWinControl(AOwner, new TPageView), FImpl(std::make_unique<Impl>()), FDeadline(new TTimer(this)) {
    auto* view = static_cast<QTextBrowser*>(GetWidget());
    view->setOpenLinks(false);
    view->setReadOnly(true);
    FDeadline->SetEnabled(false);
    FDeadline->SetInterval(ui::kWebPageMaxMs);
    FDeadline->OnTimer = [this](TObject*) {
        FDeadline->SetEnabled(false);
        if (!FImpl->reply) return;
        FLimit = TWebPageLimit::TooSlow;
        FImpl->reply->abort();
    };
    SetColor(clWindow);
    SetBounds(0, 0, 300, 150);
}

TWebBrowser::~TWebBrowser() { Stop(); }

void TWebBrowser::Stop() {
    FDeadline->SetEnabled(false);
    FImpl->body.clear();
    if (!FImpl->reply) return;
    QNetworkReply* r = FImpl->reply;
    FImpl->reply = nullptr;
    r->disconnect();
    r->abort();
    r->deleteLater();
}

bool TWebBrowser::GetBusy() const { return !FImpl->reply.isNull(); }

std::string TWebBrowser::GetDocumentHtml() const {
    return static_cast<QTextBrowser*>(GetWidget())->toHtml().toStdString();
}

void TWebBrowser::LoadHtml(const std::string& url, const std::string& html) {
    FLocationURL = url;
    Show(html);
}

// Gives the view what it may lay out quickly; false when that is nothing.
bool TWebBrowser::Show(const std::string& html) {
    const ui::TWebPage page = ui::MakeWebPage(html);
    auto* view = static_cast<QTextBrowser*>(GetWidget());
    FLimit = page.Form == ui::TWebPageForm::Html   ? TWebPageLimit::None
             : page.Form == ui::TWebPageForm::Text ? TWebPageLimit::TextOnly
                                                   : TWebPageLimit::TooLarge;
    if (page.Form == ui::TWebPageForm::Html) view->setHtml(Q(page.Body));
    else if (page.Form == ui::TWebPageForm::Text) view->setPlainText(Q(page.Body));
    else view->clear();
    return page.Form != ui::TWebPageForm::None;
}

void TWebBrowser::Failed(int status) {
    bool cancel = false;
    const std::string url = FLocationURL;
    ui::SafeCall([&] {
        if (OnNavigateError) OnNavigateError(this, url, status, cancel);
    });
}

void TWebBrowser::Navigate(const std::string& url) {
    Stop();
    FLocationURL = url;
    FLimit = TWebPageLimit::None;
    const QUrl qurl(Q(url));
    if (!qurl.isValid() || !WebScheme(qurl)) {
        // As the browser does, the error arrives after Navigate has returned.
        QMetaObject::invokeMethod(
            GetWidget(), [this, alive = TControlGuard(this)] { if (alive.Alive()) Failed(0); }, Qt::QueuedConnection);
        return;
    }
    QNetworkRequest request(qurl);
    // Every hop is checked: a page never leads to a file.
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::UserVerifiedRedirectPolicy);
    request.setMaximumRedirectsAllowed(5);
    // A compressed body would be inflated before its size could be checked.
    request.setRawHeader("Accept-Encoding", "identity");
    QNetworkReply* reply = FImpl->manager.get(request);
    FImpl->reply = reply;
    reply->setReadBufferSize(64 * 1024);
    QObject::connect(reply, &QNetworkReply::redirected, reply, [reply](const QUrl& to) {
        if (WebScheme(to)) emit reply->redirectAllowed();
        else reply->abort();
    });
    QObject::connect(reply, &QIODevice::readyRead, GetWidget(), [this, reply] {
        if (FImpl->reply != reply) return;
        if (FImpl->Take(reply)) return;
        FLimit = TWebPageLimit::TooLarge;
        reply->abort();
    });
    QObject::connect(reply, &QNetworkReply::finished, GetWidget(), [this, reply, alive = TControlGuard(this)] {
        if (alive.Alive() && FImpl->reply == reply) Finished();
    });
    FDeadline->SetEnabled(true);
}

void TWebBrowser::Finished() {
    QNetworkReply* reply = FImpl->reply;
    FImpl->reply = nullptr;
    FDeadline->SetEnabled(false);
    reply->deleteLater();
    if (!FImpl->Take(reply)) FLimit = TWebPageLimit::TooLarge;
    const QByteArray body = std::exchange(FImpl->body, {});
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (FLimit != TWebPageLimit::None || reply->error() != QNetworkReply::NoError || status >= 400 ||
        !Show(body.toStdString())) {
        Failed(status);
        return;
    }
    const std::string url = FLocationURL;
    ui::SafeCall([&] {
        if (OnDocumentComplete) OnDocumentComplete(this, url);
    });
}
