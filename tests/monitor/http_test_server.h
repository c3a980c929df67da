#pragma once

// A small HTTP/1.1 server on 127.0.0.1 for the monitor's tests: it serves fixed answers by
// path, plain or over TLS with a certificate the test made, and can stall a transfer half way
// to show what a time-out leaves behind. It runs on the test's event loop.

#include <QByteArray>
#include <QMap>
#include <QObject>
#include <QSslCertificate>
#include <QSslKey>
#include <QString>
#include <memory>

class QTcpServer;
class QTcpSocket;

namespace tarvo::test {

struct HttpAnswer {
  int status = 200;
  QByteArray body;
  // Send the headers and this many bytes of the body, then nothing more (the connection
  // stays open); -1: send everything.
  qsizetype stallAfter = -1;
};

class HttpTestServer : public QObject {
  Q_OBJECT

 public:
  HttpTestServer();
  ~HttpTestServer() override;

  // Plain HTTP on a free port of 127.0.0.1.
  bool listen();
  // HTTPS with this certificate and key.
  bool listenTls(const QSslCertificate& certificate, const QSslKey& key);
  // "http://127.0.0.1:<port>" or "https://127.0.0.1:<port>".
  [[nodiscard]] QString base() const;
  [[nodiscard]] std::string address(const QString& path) const { return (base() + path).toStdString(); }

  void serve(const QString& path, HttpAnswer answer) { answers_[path] = std::move(answer); }
  [[nodiscard]] int requestsFor(const QString& path) const { return requests_.value(path); }

 private:
  void accept();
  void answer(QTcpSocket* socket);

  std::unique_ptr<QTcpServer> server_;
  bool tls_ = false;
  QMap<QString, HttpAnswer> answers_;
  QMap<QString, int> requests_;
};

}  // namespace tarvo::test
