#include "monitor/http_test_server.h"

#include <QHostAddress>
#include <QSslConfiguration>
#include <QSslServer>
#include <QSslSocket>
#include <QTcpServer>
#include <QTcpSocket>

namespace tarvo::test {

HttpTestServer::HttpTestServer() = default;
HttpTestServer::~HttpTestServer() = default;

bool HttpTestServer::listen() {
  server_ = std::make_unique<QTcpServer>();
  connect(server_.get(), &QTcpServer::pendingConnectionAvailable, this, &HttpTestServer::accept);
  return server_->listen(QHostAddress::LocalHost, 0);
}

bool HttpTestServer::listenTls(const QSslCertificate& certificate, const QSslKey& key) {
  auto server = std::make_unique<QSslServer>();
  QSslConfiguration configuration = QSslConfiguration::defaultConfiguration();
  configuration.setLocalCertificate(certificate);
  configuration.setPrivateKey(key);
  configuration.setPeerVerifyMode(QSslSocket::VerifyNone);
  server->setSslConfiguration(configuration);
  tls_ = true;
  server_ = std::move(server);
  connect(server_.get(), &QTcpServer::pendingConnectionAvailable, this, &HttpTestServer::accept);
  return server_->listen(QHostAddress::LocalHost, 0);
}

QString HttpTestServer::base() const {
  return QString("%1://127.0.0.1:%2").arg(tls_ ? "https" : "http").arg(server_->serverPort());
}

void HttpTestServer::accept() {
  while (QTcpSocket* socket = server_->nextPendingConnection()) {
    socket->setParent(this);
    connect(socket, &QTcpSocket::readyRead, this, [this, socket] { answer(socket); });
    connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
  }
}

void HttpTestServer::answer(QTcpSocket* socket) {
  QByteArray request = socket->property("request").toByteArray() + socket->readAll();
  socket->setProperty("request", request);
  if (!request.contains("\r\n\r\n") || socket->property("answered").toBool()) return;
  socket->setProperty("answered", true);
  const QList<QByteArray> words = request.left(request.indexOf("\r\n")).split(' ');
  const QString path = words.size() >= 2 ? QString::fromUtf8(words[1]) : QString();
  requests_[path] += 1;
  const HttpAnswer found = answers_.value(path, HttpAnswer{404, "not here", -1});
  const QByteArray reason = found.status == 200 ? "OK" : found.status == 404 ? "Not Found" : "Error";
  QByteArray reply = "HTTP/1.1 " + QByteArray::number(found.status) + " " + reason + "\r\n" +
                     "Content-Length: " + QByteArray::number(found.body.size()) + "\r\n" +
                     "Connection: close\r\n\r\n";
  if (found.stallAfter >= 0) {
    socket->write(reply + found.body.left(found.stallAfter));
    return;  // and nothing more: the client must give up by itself
  }
  socket->write(reply + found.body);
  socket->disconnectFromHost();
}

}  // namespace tarvo::test
