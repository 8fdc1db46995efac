#include "platform/ui/WebBrowser.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QPointer>
#include <QTextBrowser>
#include <QUrl>

#include "platform/ui/ControlWidget.h"

namespace {

QString Q(const std::string& s) { return QString::fromUtf8(s.data(), qsizetype(s.size())); }

// Pages larger than this are not news; the fetch is dropped as failed.
constexpr qint64 kMaxPageBytes = 4 * 1024 * 1024;

}  // namespace

struct TWebBrowser::Impl {
    QNetworkAccessManager manager;
    QPointer<QNetworkReply> reply;
};

TWebBrowser::TWebBrowser(TComponent* AOwner)
    : TWinControl(AOwner, new QTextBrowser), FImpl(std::make_unique<Impl>()) {
    auto* view = static_cast<QTextBrowser*>(GetWidget());
    view->setOpenLinks(false);
    view->setReadOnly(true);
    SetColor(clWindow);
    SetBounds(0, 0, 300, 150);
}

TWebBrowser::~TWebBrowser() { Stop(); }

void TWebBrowser::Stop() {
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
    static_cast<QTextBrowser*>(GetWidget())->setHtml(Q(html));
}

void TWebBrowser::Navigate(const std::string& url) {
    Stop();
    FLocationURL = url;
    const QUrl qurl(Q(url));
    auto fail = [this, url](int status) {
        bool cancel = false;
        ui::SafeCall([&] {
            if (OnNavigateError) OnNavigateError(this, url, status, cancel);
        });
    };
    if (!qurl.isValid() || (qurl.scheme() != "http" && qurl.scheme() != "https")) {
        // As the browser does, the error arrives after Navigate has returned.
        QMetaObject::invokeMethod(
            GetWidget(), [alive = TControlGuard(this), fail] { if (alive.Alive()) fail(0); }, Qt::QueuedConnection);
        return;
    }
    QNetworkRequest request(qurl);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::NoLessSafeRedirectPolicy);
    request.setTransferTimeout(30000);
    QNetworkReply* reply = FImpl->manager.get(request);
    FImpl->reply = reply;
    QObject::connect(reply, &QNetworkReply::downloadProgress, reply, [reply](qint64 got, qint64) {
        if (got > kMaxPageBytes) reply->abort();
    });
    QObject::connect(reply, &QNetworkReply::finished, GetWidget(), [this, reply, url, fail, alive = TControlGuard(this)] {
        if (!alive.Alive() || FImpl->reply != reply) return;
        FImpl->reply = nullptr;
        reply->deleteLater();
        const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        if (reply->error() != QNetworkReply::NoError || status >= 400) {
            fail(status);
            return;
        }
        const QByteArray body = reply->readAll();
        static_cast<QTextBrowser*>(GetWidget())->setHtml(QString::fromUtf8(body));
        ui::SafeCall([&] {
            if (OnDocumentComplete) OnDocumentComplete(this, url);
        });
    });
}
