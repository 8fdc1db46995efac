#pragma once
// The embedded browser: a simple HTML view of a page fetched with HTTP GET. Navigate returns
// at once; the document-complete or navigate-error event follows on the GUI thread. The
// fetch is bounded in size and time, and the page is shown as WebBrowserPage.h rewrites it.
#include <functional>
#include <memory>
#include <string>

#include "platform/ui/Controls.h"

class TTimer;

// Why the last page was not shown whole.
enum class TWebPageLimit { None, TextOnly, TooLarge, TooSlow };

class TWebBrowser : public TWinControl {
public:
    explicit TWebBrowser(TComponent* AOwner);
    ~TWebBrowser() override;

    void Navigate(const std::string& url);
    // Abandons a fetch in progress; no event follows for it.
    void Stop();
    bool GetBusy() const;
    const std::string& GetLocationURL() const { return FLocationURL; }
    // The page's HTML as shown.
    std::string GetDocumentHtml() const;
    // Shows a page as a fetched one is shown; no event follows.
    void LoadHtml(const std::string& url, const std::string& html);
    // Read in the document-complete and navigate-error events.
    TWebPageLimit GetPageLimit() const { return FLimit; }

    using TDocumentCompleteEvent = std::function<void(TObject* Sender, const std::string& URL)>;
    using TNavigateErrorEvent =
        std::function<void(TObject* Sender, const std::string& URL, int StatusCode, bool& Cancel)>;
    TDocumentCompleteEvent OnDocumentComplete;
    TNavigateErrorEvent OnNavigateError;

    struct Impl;

private:
    bool Show(const std::string& html);
    void Finished();
    void Failed(int status);

    std::unique_ptr<Impl> FImpl;
    std::string FLocationURL;
    TWebPageLimit FLimit = TWebPageLimit::None;
    TTimer* FDeadline = nullptr;
};
