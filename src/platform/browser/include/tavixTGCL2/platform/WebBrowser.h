#pragma once
// The embedded web browser, known to containers as "Shell.Explorer.2". It
// offers the automation members and events a browser view is driven by and
// loads pages itself: "about:blank", "file://" pages (and plain paths) from
// disk, and every other scheme through a pluggable fetcher. Loading always
// finishes through the event loop, one posted step at a time, so Busy and
// the order of the events are those of a real browser (docs/browser.md).
#include <tavixTGCL2/Export.h>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <tavixTGCL2/platform/Control.h>
#include <tavixTGCL2/platform/Event.h>
#include <tavixTGCL2/platform/HtmlDocument.h>
#include <tavixTGCL2/platform/Variant.h>

namespace tavixTGCL2 {

// Command numbers of ExecWB and CommandStateChange, as the automation
// interface numbers them.
enum OleCommandId : std::int32_t { OLECMDID_ZOOM = 19 };
enum OleCommandExecOpt : std::int32_t {
    OLECMDEXECOPT_DODEFAULT = 0,
    OLECMDEXECOPT_PROMPTUSER = 1,
    OLECMDEXECOPT_DONTPROMPTUSER = 2,
    OLECMDEXECOPT_SHOWHELP = 3
};
enum CommandStateChangeConstants : std::int32_t { CSC_NAVIGATEFORWARD = 1, CSC_NAVIGATEBACK = 2 };

// Status codes of NavigateError when no server answered with one of its own
// (a fetcher's HTTP status, 404 and the like, is passed on as it is).
enum NavigateErrorStatus : std::int32_t {
    navErrInvalidUrl = static_cast<std::int32_t>(0x800C0002),      // the address cannot be read
    navErrResourceNotFound = static_cast<std::int32_t>(0x800C0005), // no such file
    navErrDownloadFailure = static_cast<std::int32_t>(0x800C0008),  // read failed or too large
    navErrUnknownProtocol = static_cast<std::int32_t>(0x800C000D),  // no fetcher for the scheme
    navErrCannotLoadData = static_cast<std::int32_t>(0x800C000F)    // binary data, not a page
};

// What a fetcher hands back for one address.
struct TGCL_API FetchResult {
    std::int32_t statusCode = 200;  // 2xx is a page; anything else ends in NavigateError
    std::string body;
    std::string contentType;        // "text/html", "text/plain"...; empty: guessed from the body
};

// Loads addresses of schemes the browser does not read itself (http,
// https, ...). fetch() may call done at once or later, but on the thread of
// the browser's event loop; a second call of done is ignored, and so is a
// call for a load that was stopped or superseded in the meantime. An
// exception thrown by fetch() ends the load in NavigateError.
class TGCL_API IWebFetcher {
public:
    virtual ~IWebFetcher() = default;
    virtual void fetch(const std::string& url, std::function<void(FetchResult)> done) = 0;
};

class TGCL_API WebBrowser : public Control {
public:
    static constexpr const char* kClassName = "Shell.Explorer.2";
    // Pages larger than this are refused with navErrDownloadFailure, so a
    // link to a huge file cannot exhaust memory.
    static constexpr std::size_t kDefaultMaxDocumentBytes = 16u * 1024u * 1024u;
    // Older entries fall off the history's front beyond this many.
    static constexpr std::size_t kMaxHistory = 256;
    static constexpr std::int32_t kDefaultZoom = 2;

    explicit WebBrowser(std::string name = {});
    ~WebBrowser() override;

    // Registers the class with ControlFactory (done once at library load;
    // calling it again is harmless).
    static void registerClass();

    // --- navigation ------------------------------------------------------
    // Starts loading url: BeforeNavigate2 is raised at once (its Cancel
    // stops the navigation before anything changes); the rest of the load
    // runs on the event loop. A navigation supersedes any load still
    // pending. An empty address throws Error(errGeneric).
    void Navigate2(const std::string& url);
    // Cancels a pending load (no further events of it; ProgressChange(0, 0)
    // reports the end). Nothing happens when no load is pending.
    void Stop();
    // Loads the current page again, without BeforeNavigate2 or
    // NavigateComplete2 and without touching the history; Busy, progress and
    // DocumentComplete as for a navigation. Nothing happens before the first
    // page.
    void Refresh();
    // Throw Error(errGeneric) when there is no entry to go to.
    void GoBack();
    void GoForward();
    bool canGoBack() const { return m_historyIndex > 0; }
    bool canGoForward() const {
        return m_historyIndex >= 0 && static_cast<std::size_t>(m_historyIndex) + 1 < m_history.size();
    }
    // Visited addresses, oldest first; the current one is at historyIndex().
    const std::vector<std::string>& history() const { return m_history; }
    std::int32_t historyIndex() const { return m_historyIndex; }

    // True from an accepted Navigate2 (or Refresh, GoBack, GoForward) until
    // just before its DocumentComplete, or until Stop or a failed load ends it.
    bool Busy() const { return m_busy; }
    // The current page; nullptr before the first page arrived. A new page
    // replaces it when NavigateComplete2 is raised.
    std::shared_ptr<HtmlDocument> Document() const { return m_document; }
    // The current page's address in URL form ("file:///dir/page.html" for a
    // page read from a path); empty before the first page.
    const std::string& LocationURL() const { return m_locationUrl; }
    // The page title, or the address when the page has none.
    std::string LocationName() const;

    // OLECMDID_ZOOM: text zoom levels 0 (smallest) to 4 (largest), 2 by
    // default. A non-empty *in sets the level (outside 0..4, or not a
    // number, throws Error and changes nothing); out, when given, receives
    // the level in force afterwards. Other commands throw
    // Error(errNotSupported).
    void ExecWB(std::int32_t cmd, std::int32_t opt, const Variant* in, Variant* out);
    std::int32_t zoomLevel() const { return m_zoom; }

    // --- loading policy --------------------------------------------------
    // This browser's fetcher; nullptr falls back to the process-wide one.
    void setFetcher(std::shared_ptr<IWebFetcher> f) { m_fetcher = std::move(f); }
    // The fetcher of every browser without its own; none by default, so
    // other schemes end in NavigateError(navErrUnknownProtocol).
    static void setDefaultFetcher(std::shared_ptr<IWebFetcher> f);
    static std::shared_ptr<IWebFetcher> defaultFetcher();
    // A sentence for a NavigateError status, as the error page shows it.
    static std::string statusText(std::int32_t status);
    std::size_t maxDocumentBytes() const { return m_maxBytes; }
    void setMaxDocumentBytes(std::size_t n) { m_maxBytes = n; }

    // --- events (also raised as ObjectEvent with the same name and args) --
    Event<Object*, const std::string& /*URL*/, std::int32_t /*Flags*/,
          const std::string& /*TargetFrameName*/, const Variant& /*PostData*/,
          const std::string& /*Headers*/, bool& /*Cancel*/>
        BeforeNavigate2;
    Event<std::int32_t /*Progress*/, std::int32_t /*ProgressMax*/> ProgressChange;
    Event<std::int32_t /*Command*/, bool /*Enable*/> CommandStateChange;
    Event<Object*, const std::string& /*URL*/> NavigateComplete2;
    Event<Object*, const std::string& /*URL*/> DocumentComplete;
    Event<Object*, const std::string& /*URL*/, const std::string& /*Frame*/,
          std::int32_t /*StatusCode*/, bool& /*Cancel*/>
        NavigateError;

    // By name: the automation members above (see members() in
    // WebBrowser.cpp; ExecWB's result is the output value), and those of
    // Control.
    Variant invoke(const std::string& member, VariantList& args) override;

private:
    friend struct MemberTables;
    static const MemberTable<WebBrowser>& members();

    enum class LoadKind { Navigate, History, Refresh };
    struct Load;

    void begin(std::string url, LoadKind kind, std::int32_t historyTarget);
    void startFetch(std::uint64_t serial);
    void fetched(std::uint64_t serial, FetchResult result, std::int32_t errorStatus);
    void commit(std::uint64_t serial);
    void complete(std::uint64_t serial);
    void fail(std::uint64_t serial, std::int32_t status);
    void finishWithoutPage();
    void post(std::uint64_t serial, void (WebBrowser::*step)(std::uint64_t));
    bool current(std::uint64_t serial) const { return m_load && m_serial == serial; }
    void pushHistory(const std::string& url);
    void setHistoryIndex(std::int32_t index);
    void installDocument(std::shared_ptr<HtmlDocument> doc, const std::string& location);

    // Raise the typed event, then the generic one; a failing handler is
    // contained like any failing statement.
    bool raiseBeforeNavigate2(const std::string& url);
    void raiseProgressChange(std::int32_t progress, std::int32_t max);
    void raiseCommandStateChange(std::int32_t command, bool enable);
    void raiseNavigateComplete2(const std::string& url);
    void raiseDocumentComplete(const std::string& url);
    bool raiseNavigateError(const std::string& url, std::int32_t status);
    Variant self();

    std::shared_ptr<bool> m_alive = std::make_shared<bool>(true);
    std::uint64_t m_serial = 0;        // bumped by every accepted load and by Stop
    std::uint64_t m_requests = 0;      // bumped by every request, accepted or not
    std::unique_ptr<Load> m_load;      // the pending load, if any
    bool m_busy = false;
    std::shared_ptr<HtmlDocument> m_document;
    Connection m_documentConnection;
    std::string m_locationUrl;
    std::vector<std::string> m_history;
    std::int32_t m_historyIndex = -1;
    std::int32_t m_zoom = kDefaultZoom;
    std::size_t m_maxBytes = kDefaultMaxDocumentBytes;
    std::shared_ptr<IWebFetcher> m_fetcher;
};

// How the browser reads addresses; exposed so hosts and tests can check an
// address the way the browser will.
namespace weburl {

// The scheme in lower case ("http", "file"), or empty when the text has
// none (a plain path, or a drive-letter path like "C:\x").
TGCL_API std::string scheme(const std::string& url);
// Decodes %XX escapes; a '%' not followed by two hex digits stays as it is.
TGCL_API std::string percentDecode(const std::string& s);
// The local path a "file:" address (or a plain absolute path) names, with
// query and fragment removed and escapes decoded; empty when the address
// is not a local file (another scheme, another host, a NUL byte).
TGCL_API std::string localPath(const std::string& url);
// The address in URL form as LocationURL reports it.
TGCL_API std::string canonical(const std::string& url);

}  // namespace weburl

}  // namespace tavixTGCL2
