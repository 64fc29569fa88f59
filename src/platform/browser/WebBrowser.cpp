#include "platform/WebBrowser.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <mutex>

#include "platform/Error.h"
#include "platform/EventLoop.h"
#include "platform/MemberTable.h"
#include "platform/TextCodec.h"

namespace tavixTGCL2 {

namespace {

std::mutex& defaultFetcherMutex() {
    static std::mutex m;
    return m;
}
std::shared_ptr<IWebFetcher>& defaultFetcherSlot() {
    static std::shared_ptr<IWebFetcher> f;
    return f;
}

char lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

std::string toLower(std::string_view s) {
    std::string out(s);
    for (char& c : out) c = lower(c);
    return out;
}

int hexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

const char* const kBlankPage = "<html><head></head><body></body></html>";

std::string errorPage(const std::string& url, std::int32_t status) {
    return "<html><head><title>This page cannot be displayed</title></head><body>"
           "<h1>This page cannot be displayed</h1><p>" +
           html::escape(url) + "</p><p>" + html::escape(WebBrowser::statusText(status)) + "</p></body></html>";
}

std::string lowerExtension(const std::string& path) {
    std::string name = std::filesystem::path(path).filename().string();
    std::size_t dot = name.rfind('.');
    return dot == std::string::npos ? std::string() : toLower(name.substr(dot + 1));
}

// UTF-16 pages (a byte-order mark tells them) become UTF-8; their zero
// bytes would otherwise make them look like binary data.
bool decodeUtf16WithBom(std::string& body) {
    if (body.size() < 2) return false;
    auto b0 = static_cast<unsigned char>(body[0]), b1 = static_cast<unsigned char>(body[1]);
    bool le = b0 == 0xFF && b1 == 0xFE, be = b0 == 0xFE && b1 == 0xFF;
    if (!le && !be) return false;
    std::string out;
    out.reserve(body.size());
    char32_t pendingHigh = 0;
    for (std::size_t i = 2; i + 1 < body.size(); i += 2) {
        auto lo = static_cast<unsigned char>(body[i + (le ? 0 : 1)]);
        auto hi = static_cast<unsigned char>(body[i + (le ? 1 : 0)]);
        char32_t unit = (static_cast<char32_t>(hi) << 8) | lo;
        if (unit >= 0xD800 && unit <= 0xDBFF) {
            if (pendingHigh) textcodec::appendUtf8(out, textcodec::kReplacement);
            pendingHigh = unit;
            continue;
        }
        if (unit >= 0xDC00 && unit <= 0xDFFF) {
            textcodec::appendUtf8(out, pendingHigh ? 0x10000 + ((pendingHigh - 0xD800) << 10) + (unit - 0xDC00)
                                                   : textcodec::kReplacement);
            pendingHigh = 0;
            continue;
        }
        if (pendingHigh) textcodec::appendUtf8(out, textcodec::kReplacement);
        pendingHigh = 0;
        textcodec::appendUtf8(out, unit);
    }
    if (pendingHigh) textcodec::appendUtf8(out, textcodec::kReplacement);
    body = std::move(out);
    return true;
}

enum class ContentKind { Html, Text, Binary };

ContentKind classify(const std::string& body, const std::string& contentType, const std::string& ext) {
    if (body.find('\0') != std::string::npos) return ContentKind::Binary;
    std::string type = toLower(contentType.substr(0, contentType.find(';')));
    if (!type.empty()) {
        if (type.find("html") != std::string::npos) return ContentKind::Html;
        if (type.rfind("text/", 0) == 0 || type.find("xml") != std::string::npos ||
            type.find("json") != std::string::npos || type.find("javascript") != std::string::npos)
            return ContentKind::Text;
        return ContentKind::Binary;
    }
    static const char* const kHtml[] = {"htm", "html", "xhtml", "shtml", "hta"};
    static const char* const kText[] = {"txt", "log", "csv", "ini", "cfg", "md",
                                        "xml", "json", "css", "js", "tsv"};
    for (auto* e : kHtml)
        if (ext == e) return ContentKind::Html;
    for (auto* e : kText)
        if (ext == e) return ContentKind::Text;
    std::size_t first = body.find_first_not_of(" \t\r\n");
    return first != std::string::npos && body[first] == '<' ? ContentKind::Html : ContentKind::Text;
}

}  // namespace

// --- addresses -------------------------------------------------------------

namespace weburl {

std::string scheme(const std::string& url) {
    std::size_t i = 0;
    while (i < url.size()) {
        char c = url[i];
        bool letter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
        bool other = (c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.';
        if (!(letter || (i > 0 && other))) break;
        ++i;
    }
    // One letter before ':' is a drive, not a scheme.
    if (i < 2 || i >= url.size() || url[i] != ':') return {};
    return toLower(url.substr(0, i));
}

std::string percentDecode(const std::string& s) {
    std::string out;
    out.reserve(s.size());
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '%' && i + 2 < s.size() && hexValue(s[i + 1]) >= 0 && hexValue(s[i + 2]) >= 0) {
            out += static_cast<char>(hexValue(s[i + 1]) * 16 + hexValue(s[i + 2]));
            i += 2;
        } else {
            out += s[i];
        }
    }
    return out;
}

std::string localPath(const std::string& url) {
    std::string path;
    std::string sch = scheme(url);
    if (sch.empty()) {
        if (url.empty() || url.front() != '/') return {};
        path = url;  // a plain path is taken literally, '%' included
    } else if (sch == "file") {
        std::string rest = url.substr(5);
        if (rest.rfind("//", 0) == 0) rest.erase(0, 2);
        if (toLower(rest.substr(0, 10)) == "localhost/") rest.erase(0, 9);
        rest = rest.substr(0, rest.find_first_of("?#"));
        path = percentDecode(rest);
    } else {
        return {};
    }
    if (path.empty() || path.find('\0') != std::string::npos) return {};
    return path;
}

std::string canonical(const std::string& url) {
    std::string sch = scheme(url);
    if (sch.empty() && !url.empty() && url.front() == '/') {
        // Only what would change the path's meaning is escaped, so the
        // address still reads like the path it came from.
        std::string out = "file://";
        for (char c : url) {
            auto u = static_cast<unsigned char>(c);
            if (c == '%' || c == '#' || c == '?' || u < 0x20 || u == 0x7F) {
                char buf[4];
                std::snprintf(buf, sizeof buf, "%%%02X", u);
                out += buf;
            } else {
                out += c;
            }
        }
        return out;
    }
    if (sch.empty()) return "http://" + url;
    return url;
}

}  // namespace weburl

// --- the pending load --------------------------------------------------------

struct WebBrowser::Load {
    std::string url;       // as the caller gave it; the events report this
    std::string location;  // what LocationURL shows once the page is in
    LoadKind kind = LoadKind::Navigate;
    std::int32_t historyTarget = -1;
    std::shared_ptr<HtmlDocument> document;
};

// --- WebBrowser --------------------------------------------------------------

namespace {
[[maybe_unused]] const bool kRegistered = (WebBrowser::registerClass(), true);
}

WebBrowser::WebBrowser(std::string name) : Control(kClassName, std::move(name)) {
    setBackColor(0x80000005);
}

WebBrowser::~WebBrowser() {
    *m_alive = false;
    m_documentConnection.disconnect();
}

void WebBrowser::registerClass() {
    ControlFactory::registerClass(kClassName, [] { return std::make_shared<WebBrowser>(); });
}

void WebBrowser::setDefaultFetcher(std::shared_ptr<IWebFetcher> f) {
    std::lock_guard lock(defaultFetcherMutex());
    defaultFetcherSlot() = std::move(f);
}

std::shared_ptr<IWebFetcher> WebBrowser::defaultFetcher() {
    std::lock_guard lock(defaultFetcherMutex());
    return defaultFetcherSlot();
}

std::string WebBrowser::statusText(std::int32_t status) {
    switch (status) {
        case navErrInvalidUrl: return "The address cannot be read.";
        case navErrResourceNotFound: return "The file or page does not exist.";
        case navErrDownloadFailure: return "The page could not be read completely, or it is too large.";
        case navErrUnknownProtocol: return "No loader is installed for this kind of address.";
        case navErrCannotLoadData: return "The content is not a page or text that can be shown.";
        default: break;
    }
    if (status >= 100 && status <= 999) return "The server answered with status " + std::to_string(status) + ".";
    char code[16];
    std::snprintf(code, sizeof code, "0x%08X", static_cast<unsigned>(status));
    return std::string("The page could not be loaded (error ") + code + ").";
}

void WebBrowser::Navigate2(const std::string& url) {
    if (url.empty()) throw Error(errGeneric, "Navigate2: the address is empty");
    begin(url, LoadKind::Navigate, -1);
}

void WebBrowser::Stop() {
    ++m_requests;
    if (!m_load) return;
    ++m_serial;
    m_load.reset();
    m_busy = false;
    raiseProgressChange(0, 0);
}

void WebBrowser::Refresh() {
    if (m_historyIndex < 0) return;
    begin(m_history[static_cast<std::size_t>(m_historyIndex)], LoadKind::Refresh, m_historyIndex);
}

void WebBrowser::GoBack() {
    if (!canGoBack()) throw Error(errGeneric, "GoBack: there is no earlier page");
    std::int32_t target = m_historyIndex - 1;
    begin(m_history[static_cast<std::size_t>(target)], LoadKind::History, target);
}

void WebBrowser::GoForward() {
    if (!canGoForward()) throw Error(errGeneric, "GoForward: there is no later page");
    std::int32_t target = m_historyIndex + 1;
    begin(m_history[static_cast<std::size_t>(target)], LoadKind::History, target);
}

std::string WebBrowser::LocationName() const {
    if (m_document) {
        std::string t = m_document->title();
        if (!t.empty()) return t;
    }
    return m_locationUrl;
}

void WebBrowser::ExecWB(std::int32_t cmd, std::int32_t, const Variant* in, Variant* out) {
    if (cmd != OLECMDID_ZOOM) throw Error(errNotSupported, "ExecWB: command " + std::to_string(cmd) + " is not supported");
    if (in && !in->isEmpty()) {
        std::int32_t level;
        try {
            level = in->toInt32();
        } catch (const Error&) {
            throw Error(errInvalidProperty, "ExecWB: the zoom level must be a number from 0 to 4");
        }
        if (level < 0 || level > 4)
            throw Error(errInvalidProperty, "ExecWB: zoom level " + std::to_string(level) + " is outside 0 to 4");
        if (level != m_zoom) {
            m_zoom = level;
            changed(Change::Zoom);
        }
    }
    if (out) *out = Variant(m_zoom);
}

// --- loading steps -------------------------------------------------------
//
// begin ──BeforeNavigate2──► [post] startFetch ──ProgressChange(0,100)──► fetch
//   ► fetched ──ProgressChange(50,100)──► [post] commit ──NavigateComplete2──►
//   [post] complete ──ProgressChange(100,100), Busy false, DocumentComplete,
//   ProgressChange(0,0).
// A failure goes to fail (NavigateError); not cancelled, it goes on to commit
// with an error page. Every step first checks that its load is still the
// pending one, so Stop and a newer navigation silence it.

void WebBrowser::begin(std::string url, LoadKind kind, std::int32_t historyTarget) {
    std::weak_ptr<bool> alive = m_alive;
    std::uint64_t request = ++m_requests;
    if (kind != LoadKind::Refresh) {
        bool cancel = raiseBeforeNavigate2(url);
        if (alive.expired() || request != m_requests || cancel) return;
    }
    auto load = std::make_unique<Load>();
    load->url = std::move(url);
    load->location = weburl::canonical(load->url);
    load->kind = kind;
    load->historyTarget = historyTarget;
    m_load = std::move(load);
    std::uint64_t serial = ++m_serial;
    m_busy = true;
    post(serial, &WebBrowser::startFetch);
}

void WebBrowser::post(std::uint64_t serial, void (WebBrowser::*step)(std::uint64_t)) {
    std::weak_ptr<bool> alive = m_alive;
    EventLoop::current().post([alive, this, serial, step] {
        if (alive.expired()) return;
        (this->*step)(serial);
    });
}

void WebBrowser::startFetch(std::uint64_t serial) {
    if (!current(serial)) return;
    std::weak_ptr<bool> alive = m_alive;
    raiseProgressChange(0, 100);
    if (alive.expired() || !current(serial)) return;

    const std::string url = m_load->url;
    std::string sch = weburl::scheme(url);
    if (sch == "about") {
        std::string what = toLower(url.substr(6));
        what = what.substr(0, what.find('#'));
        if (what != "blank") return fail(serial, navErrResourceNotFound);
        FetchResult r;
        r.body = kBlankPage;
        r.contentType = "text/html";
        m_load->location = "about:blank";
        return fetched(serial, std::move(r), 0);
    }

    if (sch == "file" || (sch.empty() && !url.empty() && url.front() == '/')) {
        std::string path = weburl::localPath(url);
        if (path.empty()) return fail(serial, navErrInvalidUrl);
        std::error_code ec;
        auto st = std::filesystem::status(path, ec);
        if (ec || !std::filesystem::exists(st) || std::filesystem::is_directory(st))
            return fail(serial, navErrResourceNotFound);
        // Devices, pipes and sockets are never opened: reading one could
        // block the loop or never end.
        if (!std::filesystem::is_regular_file(st)) return fail(serial, navErrCannotLoadData);
        auto size = std::filesystem::file_size(path, ec);
        if (ec || size > m_maxBytes) return fail(serial, navErrDownloadFailure);
        std::ifstream in(path, std::ios::binary);
        if (!in) return fail(serial, navErrResourceNotFound);
        FetchResult r;
        r.body.resize(m_maxBytes < size + 1 ? m_maxBytes + 1 : static_cast<std::size_t>(size) + 1);
        in.read(r.body.data(), static_cast<std::streamsize>(r.body.size()));
        if (in.bad()) return fail(serial, navErrDownloadFailure);
        r.body.resize(static_cast<std::size_t>(in.gcount()));
        // The file may have grown since its size was read.
        if (r.body.size() > m_maxBytes) return fail(serial, navErrDownloadFailure);
        return fetched(serial, std::move(r), 0);
    }

    if (sch.empty() && url.size() >= 2 && url[1] == ':') return fail(serial, navErrResourceNotFound);
    std::shared_ptr<IWebFetcher> fetcher = m_fetcher ? m_fetcher : defaultFetcher();
    if (!fetcher) return fail(serial, navErrUnknownProtocol);
    auto called = std::make_shared<bool>(false);
    auto done = [alive, this, serial, called](FetchResult r) {
        if (alive.expired() || *called) return;
        *called = true;
        fetched(serial, std::move(r), 0);
    };
    try {
        const std::string location = m_load->location;  // the load may end while fetch runs
        fetcher->fetch(location, done);
    } catch (...) {
        reportContained();
        if (alive.expired() || *called) return;
        *called = true;
        fail(serial, navErrDownloadFailure);
    }
}

void WebBrowser::fetched(std::uint64_t serial, FetchResult result, std::int32_t errorStatus) {
    if (!current(serial)) return;
    if (errorStatus != 0) return fail(serial, errorStatus);
    if (result.statusCode < 200 || result.statusCode > 299) return fail(serial, result.statusCode);
    if (result.body.size() > m_maxBytes) return fail(serial, navErrDownloadFailure);

    std::string body = std::move(result.body);
    if (!decodeUtf16WithBom(body) && body.rfind("\xEF\xBB\xBF", 0) == 0) body.erase(0, 3);
    std::string ext = lowerExtension(weburl::localPath(m_load->location));
    switch (classify(body, result.contentType, ext)) {
        case ContentKind::Binary:
            return fail(serial, navErrCannotLoadData);
        case ContentKind::Text:
            body = "<html><head></head><body><pre>" + html::escape(textcodec::sanitizeUtf8(body)) +
                   "</pre></body></html>";
            break;
        case ContentKind::Html:
            break;
    }
    m_load->document = std::make_shared<HtmlDocument>(m_load->location, body);

    std::weak_ptr<bool> alive = m_alive;
    raiseProgressChange(50, 100);
    if (alive.expired() || !current(serial)) return;
    post(serial, &WebBrowser::commit);
}

void WebBrowser::fail(std::uint64_t serial, std::int32_t status) {
    if (!current(serial)) return;
    std::weak_ptr<bool> alive = m_alive;
    // Handlers may stop or replace the load, and the load with it.
    const std::string url = m_load->url;
    bool cancel = raiseNavigateError(url, status);
    if (alive.expired() || !current(serial)) return;
    if (cancel) return finishWithoutPage();
    m_load->document = std::make_shared<HtmlDocument>(m_load->location, errorPage(url, status));
    post(serial, &WebBrowser::commit);
}

void WebBrowser::finishWithoutPage() {
    ++m_serial;
    m_load.reset();
    m_busy = false;
    raiseProgressChange(0, 0);
}

void WebBrowser::commit(std::uint64_t serial) {
    if (!current(serial)) return;
    installDocument(m_load->document, m_load->location);
    if (!current(serial)) return;  // an observer of the new page moved on
    switch (m_load->kind) {
        case LoadKind::Navigate: pushHistory(m_load->url); break;
        case LoadKind::History:
            if (m_load->historyTarget >= 0 &&
                static_cast<std::size_t>(m_load->historyTarget) < m_history.size())
                setHistoryIndex(m_load->historyTarget);
            break;
        case LoadKind::Refresh: break;
    }
    if (!current(serial)) return;  // a CommandStateChange handler moved on
    std::weak_ptr<bool> alive = m_alive;
    const std::string url = m_load->url;
    if (m_load->kind != LoadKind::Refresh) raiseNavigateComplete2(url);
    if (alive.expired() || !current(serial)) return;
    post(serial, &WebBrowser::complete);
}

void WebBrowser::complete(std::uint64_t serial) {
    if (!current(serial)) return;
    std::weak_ptr<bool> alive = m_alive;
    raiseProgressChange(100, 100);
    if (alive.expired() || !current(serial)) return;
    std::string url = m_load->url;
    m_load.reset();
    m_busy = false;
    raiseDocumentComplete(url);
    // A handler that started another load owns the progress display now.
    if (alive.expired() || m_serial != serial || m_load) return;
    raiseProgressChange(0, 0);
}

void WebBrowser::installDocument(std::shared_ptr<HtmlDocument> doc, const std::string& location) {
    m_documentConnection.disconnect();
    m_document = std::move(doc);
    m_locationUrl = location;
    if (m_document) m_documentConnection = m_document->Changed.connect([this] { changed(Change::Document); });
    changed(Change::Document);
}

void WebBrowser::pushHistory(const std::string& url) {
    bool back = canGoBack(), forward = canGoForward();
    m_history.resize(static_cast<std::size_t>(m_historyIndex + 1));
    m_history.push_back(url);
    if (m_history.size() > kMaxHistory) m_history.erase(m_history.begin());
    m_historyIndex = static_cast<std::int32_t>(m_history.size()) - 1;
    std::weak_ptr<bool> alive = m_alive;
    if (forward != canGoForward()) raiseCommandStateChange(CSC_NAVIGATEFORWARD, canGoForward());
    if (alive.expired()) return;
    if (back != canGoBack()) raiseCommandStateChange(CSC_NAVIGATEBACK, canGoBack());
}

void WebBrowser::setHistoryIndex(std::int32_t index) {
    bool back = canGoBack(), forward = canGoForward();
    m_historyIndex = index;
    std::weak_ptr<bool> alive = m_alive;
    if (forward != canGoForward()) raiseCommandStateChange(CSC_NAVIGATEFORWARD, canGoForward());
    if (alive.expired()) return;
    if (back != canGoBack()) raiseCommandStateChange(CSC_NAVIGATEBACK, canGoBack());
}

// --- events --------------------------------------------------------------

Variant WebBrowser::self() {
    return Variant(ObjectPtr(std::static_pointer_cast<Object>(weak_from_this().lock())));
}

bool WebBrowser::raiseBeforeNavigate2(const std::string& url) {
    std::weak_ptr<bool> alive = m_alive;
    bool cancel = false;
    resumeNext([&] { BeforeNavigate2(this, url, 0, std::string(), Variant(), std::string(), cancel); });
    if (alive.expired()) return true;
    VariantList args{self(), Variant(url), Variant(std::int32_t{0}), Variant(""), Variant(), Variant(""),
                     Variant(cancel)};
    resumeNext([&] { ObjectEvent("BeforeNavigate2", args); });
    resumeNext([&] { cancel = args[6].toBool(); });
    return cancel;
}

void WebBrowser::raiseProgressChange(std::int32_t progress, std::int32_t max) {
    std::weak_ptr<bool> alive = m_alive;
    resumeNext([&] { ProgressChange(progress, max); });
    if (alive.expired()) return;
    VariantList args{Variant(progress), Variant(max)};
    resumeNext([&] { ObjectEvent("ProgressChange", args); });
}

void WebBrowser::raiseCommandStateChange(std::int32_t command, bool enable) {
    std::weak_ptr<bool> alive = m_alive;
    resumeNext([&] { CommandStateChange(command, enable); });
    if (alive.expired()) return;
    VariantList args{Variant(command), Variant(enable)};
    resumeNext([&] { ObjectEvent("CommandStateChange", args); });
}

void WebBrowser::raiseNavigateComplete2(const std::string& url) {
    std::weak_ptr<bool> alive = m_alive;
    resumeNext([&] { NavigateComplete2(this, url); });
    if (alive.expired()) return;
    VariantList args{self(), Variant(url)};
    resumeNext([&] { ObjectEvent("NavigateComplete2", args); });
}

void WebBrowser::raiseDocumentComplete(const std::string& url) {
    std::weak_ptr<bool> alive = m_alive;
    resumeNext([&] { DocumentComplete(this, url); });
    if (alive.expired()) return;
    VariantList args{self(), Variant(url)};
    resumeNext([&] { ObjectEvent("DocumentComplete", args); });
}

bool WebBrowser::raiseNavigateError(const std::string& url, std::int32_t status) {
    std::weak_ptr<bool> alive = m_alive;
    bool cancel = false;
    resumeNext([&] { NavigateError(this, url, std::string(), status, cancel); });
    if (alive.expired()) return true;
    VariantList args{self(), Variant(url), Variant(""), Variant(status), Variant(cancel)};
    resumeNext([&] { ObjectEvent("NavigateError", args); });
    resumeNext([&] { cancel = args[4].toBool(); });
    return cancel;
}

// --- late binding ------------------------------------------------------------

const MemberTable<WebBrowser>& WebBrowser::members() {
    using M = MemberTable<WebBrowser>;
    static const M table(
        MemberTables::of<Control>(),
        {
            M::method("Navigate2", [](WebBrowser& w, MemberCall& c) { w.Navigate2(c.arg(0).toString()); }),
            M::method("Stop", [](WebBrowser& w, MemberCall&) { w.Stop(); }),
            M::method("Refresh", [](WebBrowser& w, MemberCall&) { w.Refresh(); }),
            M::method("GoBack", [](WebBrowser& w, MemberCall&) { w.GoBack(); }),
            M::method("GoForward", [](WebBrowser& w, MemberCall&) { w.GoForward(); }),
            M::method("ExecWB",
                      [](WebBrowser& w, MemberCall& c) {
                          std::int32_t cmd = c.arg(0).toInt32();
                          std::int32_t opt = c.arg(1).toInt32();
                          const Variant* in = c.args.size() > 2 ? &c.args[2] : nullptr;
                          Variant out;
                          w.ExecWB(cmd, opt, in, &out);
                          if (c.args.size() > 3) c.args[3] = out;
                          return out;
                      }),
            M::readOnly("Busy", &WebBrowser::Busy),
            M::readOnly("Document",
                        [](WebBrowser& w) {
                            return w.m_document ? Variant(ObjectPtr(w.m_document)) : Variant();
                        }),
            M::readOnly("LocationURL", &WebBrowser::LocationURL),
            M::readOnly("LocationName", &WebBrowser::LocationName),
        });
    return table;
}

Variant WebBrowser::invoke(const std::string& member, VariantList& args) {
    return members().invoke(*this, member, args);
}

}  // namespace tavixTGCL2
