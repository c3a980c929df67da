#pragma once

// Fetching an update list into memory and a setup program into a file, over http:// or
// https://, through the main window's network access manager.
//
// A fetch blocks its caller but keeps the event loop turning (the progress window repaints
// and its cancel button works); it ends when the transfer is done, fails, stalls for longer
// than the time-out or is cancelled. A file is only ever written under the temporary name it
// is given; the caller checks it and gives it its real name.
// Threading: the thread of the network access manager.

#include <QList>
#include <QObject>
#include <QSslCertificate>
#include <string>

class QNetworkAccessManager;
class QNetworkReply;

namespace tarvo {

inline constexpr int kDownloadTimeoutMilliseconds = 30000;
inline constexpr qint64 kMaxUpdateListBytes = 1 << 20;
inline constexpr qint64 kMaxSetupBytes = qint64{2} << 30;

struct FetchResult {
  enum class Outcome {
    Delivered,     // the whole resource arrived
    NoConnection,  // no answer from the server: refused, unknown host, TLS refused, silence
    NoFile,        // the server answered without the resource: an error status, an empty or
                   // too large body, a transfer that stopped half way
    Cancelled,     // the user cancelled
  };
  Outcome outcome = Outcome::NoConnection;
  std::string reason;  // why it was not delivered
  QByteArray body;     // fetches into memory only

  [[nodiscard]] bool delivered() const { return outcome == Outcome::Delivered; }
};

struct DownloadOptions {
  int timeoutMilliseconds = kDownloadTimeoutMilliseconds;
  // Certificates trusted besides the system's (a test server's own).
  QList<QSslCertificate> extraTrust;
};

class Downloader : public QObject {
  Q_OBJECT

 public:
  Downloader(QNetworkAccessManager& network, DownloadOptions options, QObject* parent = nullptr);

  FetchResult fetchToMemory(const std::string& address, qint64 maxBytes = kMaxUpdateListBytes);
  // Writes the resource to `temporaryPath` (made anew); on any failure that file is removed.
  FetchResult fetchToFile(const std::string& address, const std::string& temporaryPath,
                          qint64 maxBytes = kMaxSetupBytes);
  // Stops the fetch under way; it ends as cancelled.
  void cancel();
  [[nodiscard]] bool busy() const { return reply_ != nullptr; }

 signals:
  void started(const QString& address);
  void progress(qint64 received, qint64 total);
  void ended();

 private:
  // Runs the request until it ends; `sink` takes the bytes as they come and says false to stop.
  template <typename Sink>
  FetchResult run(const std::string& address, qint64 maxBytes, Sink&& sink);

  QNetworkAccessManager& network_;
  DownloadOptions options_;
  QNetworkReply* reply_ = nullptr;
  bool cancelled_ = false;
};

}  // namespace tarvo
