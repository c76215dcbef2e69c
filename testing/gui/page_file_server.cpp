#include "testing/gui/page_file_server.h"

#include <QTcpSocket>

namespace brivano::testing {

PageFileServer::PageFileServer() {
  listen(QHostAddress::LocalHost, 0);
}

QString PageFileServer::BaseUrl() const {
  return QStringLiteral("http://127.0.0.1:%1").arg(serverPort());
}

void PageFileServer::incomingConnection(qintptr descriptor) {
  auto* socket = new QTcpSocket(this);
  socket->setSocketDescriptor(descriptor);
  connect(socket, &QTcpSocket::readyRead, socket, [this, socket] {
    QByteArray request = socket->property("request").toByteArray() + socket->readAll();
    if (!request.contains("\r\n\r\n")) {
      socket->setProperty("request", request);
      return;
    }
    const bool page = request.split(' ').value(1) == target_;
    requests_ += page ? 1 : 0;
    const int status = page ? status_ : 404;
    const QByteArray body = page ? body_ : QByteArray();
    // No charset in the header: the page's own meta tag decides, as it did
    // when the engine sent it.
    socket->write("HTTP/1.1 " + QByteArray::number(status) + (status == 200 ? " OK" : " Error") +
                  "\r\nContent-Type: text/html\r\nContent-Length: " +
                  QByteArray::number(body.size()) + "\r\nConnection: close\r\n\r\n" + body);
    socket->disconnectFromHost();
  });
  connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
}

void LocalOnlyInterceptor::interceptRequest(QWebEngineUrlRequestInfo& info) {
  const QString host = info.requestUrl().host();
  const bool local = host == QLatin1String("127.0.0.1") || info.requestUrl().scheme() == "data";
  info.block(!local);
}

}  // namespace brivano::testing
