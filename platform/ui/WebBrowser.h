#pragma once
// The embedded browser: a simple HTML view of a page fetched with HTTP GET. Navigate returns
// at once; the document-complete or navigate-error event follows on the GUI thread.
#include <functional>
#include <memory>
#include <string>

#include "platform/ui/Controls.h"

class TWebBrowser : public TWinControl {
public:
    explicit TWebBrowser(TComponent* AOwner);
    ~TWebBrowser() override;

    void Navigate(const std::string& url);
    // Abandons a fetch in progress; no event follows for it.
    void Stop();
    bool GetBusy() const;
    const std::string& GetLocationURL() const { return FLocationURL; }
    // The page's HTML as shown (also how tests show a page without a server).
    std::string GetDocumentHtml() const;
    void LoadHtml(const std::string& url, const std::string& html);

    using TDocumentCompleteEvent = std::function<void(TObject* Sender, const std::string& URL)>;
    using TNavigateErrorEvent =
        std::function<void(TObject* Sender, const std::string& URL, int StatusCode, bool& Cancel)>;
    TDocumentCompleteEvent OnDocumentComplete;
    TNavigateErrorEvent OnNavigateError;

    struct Impl;

private:
    std::unique_ptr<Impl> FImpl;
    std::string FLocationURL;
};
