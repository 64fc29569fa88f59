#pragma once
// Loads the embedded browser's http and https pages through Qt Network, on
// the thread of the loop, answering when the reply has finished.
#include <QNetworkAccessManager>

#include "platform/WebBrowser.h"

namespace tavixTGCL2::qt {

class QtWebFetcher final : public IWebFetcher {
public:
    // Replies larger than this end the load as failed downloads.
    static constexpr qint64 kMaxBytes = 16 * 1024 * 1024;
    void fetch(const std::string& url, std::function<void(FetchResult)> done) override;

private:
    QNetworkAccessManager m_network;
};

}  // namespace tavixTGCL2::qt
