#include "monitor/downloader.h"

#include <QEventLoop>
#include <QFile>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QSslConfiguration>
#include <QUrl>

#include "store/file_system.h"

namespace tarvo {
namespace {

FetchResult Failed(FetchResult::Outcome outcome, std::string reason) {
  FetchResult result;
  result.outcome = outcome;
  result.reason = std::move(reason);
  return result;
}

}  // namespace

Downloader::Downloader(QNetworkAccessManager& network, DownloadOptions options, QObject* parent)
    : QObject(parent), network_(network), options_(std::move(options)) {}

void Downloader::cancel() {
  cancelled_ = true;
  if (reply_ != nullptr) reply_->abort();
}

template <typename Sink>
FetchResult Downloader::run(const std::string& address, qint64 maxBytes, Sink&& sink) {
  const QUrl url(QString::fromStdString(address), QUrl::StrictMode);
  const QString scheme = url.scheme().toLower();
  if (!url.isValid() || (scheme != "http" && scheme != "https") || url.host().isEmpty()) {
    return Failed(FetchResult::Outcome::NoConnection, "not an http:// or https:// address: " + address);
  }
  QNetworkRequest request(url);
  request.setTransferTimeout(options_.timeoutMilliseconds);
  // Redirects may not go from https:// down to http://.
  request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::NoLessSafeRedirectPolicy);
  if (!options_.extraTrust.isEmpty()) {
    QSslConfiguration tls = QSslConfiguration::defaultConfiguration();
    tls.addCaCertificates(options_.extraTrust);
    request.setSslConfiguration(tls);
  }
  cancelled_ = false;
  QNetworkReply* reply = network_.get(request);
  reply_ = reply;
  emit started(QString::fromStdString(address));
  bool tooLarge = false;
  bool sinkFailed = false;
  qint64 received = 0;
  QEventLoop loop;
  // Progress is counted here, from the bytes taken, so it is told as each block arrives.
  connect(reply, &QNetworkReply::readyRead, this, [&] {
    const QByteArray bytes = reply->readAll();
    received += bytes.size();
    const qint64 total = reply->header(QNetworkRequest::ContentLengthHeader).toLongLong();
    if (received > maxBytes || total > maxBytes) {
      tooLarge = true;
      reply->abort();
      return;
    }
    if (!sink(bytes)) {
      sinkFailed = true;
      reply->abort();
      return;
    }
    emit progress(received, total);
  });
  connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
  // User input goes on, so the progress window's cancel button works during the transfer.
  if (!reply->isFinished()) loop.exec();
  disconnect(reply, nullptr, this, nullptr);  // the handlers above hold this call's locals
  reply_ = nullptr;
  reply->deleteLater();
  emit ended();

  const QVariant status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
  if (cancelled_) return Failed(FetchResult::Outcome::Cancelled, "cancelled by the user");
  if (tooLarge) return Failed(FetchResult::Outcome::NoFile, "larger than " + std::to_string(maxBytes) + " bytes");
  if (sinkFailed) return Failed(FetchResult::Outcome::NoFile, "the received bytes cannot be kept");
  if (reply->error() == QNetworkReply::OperationCanceledError || reply->error() == QNetworkReply::TimeoutError) {
    // Only the transfer time-out aborts a reply besides the user and the checks above.
    return Failed(status.isValid() ? FetchResult::Outcome::NoFile : FetchResult::Outcome::NoConnection,
                  "timed out: no data for " + std::to_string(options_.timeoutMilliseconds) + " ms");
  }
  if (!status.isValid()) {
    return Failed(FetchResult::Outcome::NoConnection, reply->errorString().toStdString());
  }
  if (reply->error() != QNetworkReply::NoError || status.toInt() < 200 || status.toInt() > 299) {
    return Failed(FetchResult::Outcome::NoFile,
                  "the server answered " + std::to_string(status.toInt()) + " " +
                      reply->attribute(QNetworkRequest::HttpReasonPhraseAttribute).toString().toStdString());
  }
  if (!sink(reply->readAll())) return Failed(FetchResult::Outcome::NoFile, "the received bytes cannot be kept");
  FetchResult result;
  result.outcome = FetchResult::Outcome::Delivered;
  return result;
}

FetchResult Downloader::fetchToMemory(const std::string& address, qint64 maxBytes) {
  QByteArray body;
  FetchResult result = run(address, maxBytes, [&body](const QByteArray& bytes) {
    body += bytes;
    return true;
  });
  if (result.delivered() && body.isEmpty()) return Failed(FetchResult::Outcome::NoFile, "the file is empty");
  if (result.delivered()) result.body = std::move(body);
  return result;
}

FetchResult Downloader::fetchToFile(const std::string& address, const std::string& temporaryPath,
                                    qint64 maxBytes) {
  // A leftover of an earlier attempt (even a planted link) goes first; the file is made anew.
  (void)fileSystem().remove(temporaryPath);  // absent is the usual case
  QFile file(QString::fromStdString(temporaryPath));
  if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
    return Failed(FetchResult::Outcome::NoFile,
                  "cannot make " + temporaryPath + ": " + file.errorString().toStdString());
  }
  FetchResult result = run(address, maxBytes, [&file](const QByteArray& bytes) {
    return bytes.isEmpty() || file.write(bytes) == bytes.size();
  });
  const bool kept = file.flush() && file.size() > 0;
  file.close();
  if (result.delivered() && !kept) result = Failed(FetchResult::Outcome::NoFile, "nothing arrived");
  if (!result.delivered() && fileSystem().exists(temporaryPath)) {
    // Never kept half: only the temporary name ever held it, and it goes too.
    if (Result removed = fileSystem().remove(temporaryPath); !removed) result.reason += "; " + removed.reason();
  }
  return result;
}

}  // namespace tarvo
