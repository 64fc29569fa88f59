#include "QtWebFetcher.h"

#include <QNetworkReply>
#include <QUrl>

#include "QtConvert.h"

namespace tavixTGCL2::qt {

void QtWebFetcher::fetch(const std::string& url, std::function<void(FetchResult)> done) {
    QNetworkRequest request(QUrl(toQString(url)));
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::NoLessSafeRedirectPolicy);
    QNetworkReply* reply = m_network.get(request);
    QObject::connect(reply, &QNetworkReply::downloadProgress, reply, [reply](qint64 received, qint64) {
        if (received > kMaxBytes) reply->abort();
    });
    QObject::connect(reply, &QNetworkReply::finished, reply, [reply, done = std::move(done)] {
        reply->deleteLater();
        FetchResult r;
        const QVariant status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
        if (reply->error() != QNetworkReply::NoError && !status.isValid()) {
            // No answer from a server: the browser's own failure status.
            r.statusCode = static_cast<std::int32_t>(navErrDownloadFailure);
        } else {
            r.statusCode = status.isValid() ? status.toInt() : 200;
            const QByteArray body = reply->readAll();
            r.body.assign(body.constData(), static_cast<std::size_t>(body.size()));
            r.contentType = toStdString(reply->header(QNetworkRequest::ContentTypeHeader).toString());
            if (auto semi = r.contentType.find(';'); semi != std::string::npos) r.contentType.resize(semi);
        }
        done(std::move(r));
    });
}

}  // namespace tavixTGCL2::qt
