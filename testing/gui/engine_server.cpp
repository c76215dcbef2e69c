#include "testing/gui/engine_server.h"

#include <QTcpSocket>
#include <QUrl>
#include <QUrlQuery>

#include "base/text.h"
#include "extract/extractors.h"
#include "testing/recording_sink.h"

namespace brivano::testing {

EngineServer::EngineServer(int pagesPerKeyword) : pagesPerKeyword_(pagesPerKeyword) {
  listen(QHostAddress::LocalHost, 0);
}

QString EngineServer::BaseUrl() const {
  return QStringLiteral("http://127.0.0.1:%1").arg(serverPort());
}

QByteArray EngineServer::PageFor(const QString& path, const QString& query, int pageNumber,
                                 bool last) {
  // The pager as each engine shows it in its rendered text.
  QString pager;
  if (!last) {
    if (path == QLatin1String("/s") && query == QLatin1String("wd")) {
      pager = QStringLiteral("<p><a href='#'>上一页</a> 1 2 3 <a href='#'>下一页&gt;</a></p>");
    } else if (path == QLatin1String("/tx")) {
      pager = QStringLiteral("<div><a href='#'>下一页</a></div><div>上一页 相关</div>");
    } else if (path == QLatin1String("/s")) {
      pager = QStringLiteral("<p>上一页 1 2 3 <a href='#'>下一页</a></p>");
    } else {
      pager = QStringLiteral("<div><a href='#'>下一页</a></div>");
    }
  } else {
    pager = QStringLiteral("<p>上一页 1 2 3 相关搜索</p>");
  }
  const QString n = QString::number(pageNumber);
  QString body = QStringLiteral(
                     "<html><head><meta charset='utf-8'><title>结果</title></head><body>"
                     "<h3>深圳旅行社 第%1页</h3>"
                     "<div>手机：1380000000%1 电话：0755-8888000%1</div>"
                     "<div>邮箱：sales%1@example.com</div>"
                     "<div>QQ：1234500%1</div>"
                     "<div>传真：0755-2222000%1</div>")
                     .arg(n) +
                 pager + QStringLiteral("</body></html>");
  return body.toUtf8();
}

std::string BlockPageValue(int page, int block) {
  return "1390000" + std::to_string(page) + "00" + std::to_string(block);
}
std::string BlockCompany(int block) {
  return block == 1 ? "深圳市甲乙旅行社有限公司" : "广州丙丁国际旅行社有限公司";
}
std::string BlockSite(int block) {
  return block == 1 ? "www.jiayi.example" : "www.bingding.example";
}

QByteArray EngineServer::BlockPageFor(const QString& path, const QString& query, int pageNumber,
                                      bool last, const QStringList& targets) {
  // Each engine's block: its element, the title link and where the site
  // shows; %1 title, %2 snippet, %3 site, %4 the result's own address.
  QString block;
  QString open;
  QString close;
  if (path == QLatin1String("/s") && query == QLatin1String("wd")) {
    open = QStringLiteral("<div id='content_left'>");
    close = QStringLiteral("</div>");
    block = QStringLiteral(
        "<div class='result c-container' mu='%4'><h3 class='t'>"
        "<a href='/link?url=abc'>%1</a></h3><div class='c-abstract'>%2</div>"
        "<a class='c-showurl'>%3/</a></div>");
  } else if (path == QLatin1String("/tx")) {
    open = QStringLiteral("<div class='results'>");
    close = QStringLiteral("</div>");
    block = QStringLiteral(
        "<div class='vrwrap'><h3><a href='/link?url=abc'>%1</a></h3><p>%2</p>"
        "<div class='fb'><cite>%3</cite></div></div>");
  } else if (path == QLatin1String("/s")) {
    open = QStringLiteral("<ul id='m-result'>");
    close = QStringLiteral("</ul>");
    block = QStringLiteral(
        "<li class='res-list'><h3 class='res-title'><a href='%4' "
        "data-mdurl='%4'>%1</a></h3><p class='res-desc'>%2</p>"
        "<p class='res-linkinfo'><cite>%3</cite></p></li>");
  } else {
    open = QStringLiteral("<ol id='b_results'>");
    close = QStringLiteral("</ol>");
    block = QStringLiteral(
        "<li class='b_algo'><h2><a href='%4'>%1</a></h2><p>%2</p>"
        "<div class='b_attribution'><cite>https://%3/about</cite></div></li>");
  }
  QString body = QStringLiteral(
                     "<html><head><meta charset='utf-8'><title>结果</title></head><body>"
                     "<div id='side'>热线：%1</div>")
                     .arg(QString::fromStdString(BlockPageValue(pageNumber, 0))) +
                 open;
  for (int b = 1; b <= 2; ++b) {
    const QString site = QString::fromStdString(BlockSite(b));
    body += block.arg(
        QString::fromStdString(BlockCompany(b)) + QStringLiteral("_官网"),
        QStringLiteral("欢迎来电 手机：") + QString::fromStdString(BlockPageValue(pageNumber, b)),
        site, b <= targets.size() ? targets[b - 1] : QStringLiteral("https://%1/").arg(site));
  }
  body += close;
  body += last ? QStringLiteral("<p>上一页 相关搜索</p>")
               : QStringLiteral("<div><a id='next' href='#'>下一页</a></div>");
  return (body + QStringLiteral("</body></html>")).toUtf8();
}

void EngineServer::incomingConnection(qintptr descriptor) {
  auto* socket = new QTcpSocket(this);
  socket->setSocketDescriptor(descriptor);
  // A request may arrive in pieces: answer once its header is complete.
  connect(socket, &QTcpSocket::readyRead, socket, [this, socket] {
    QByteArray request = socket->property("request").toByteArray() + socket->readAll();
    if (!request.contains("\r\n\r\n")) {
      socket->setProperty("request", request);
      return;
    }
    const QList<QByteArray> firstLine = request.split('\r').value(0).split(' ');
    const QByteArray target = firstLine.value(1);
    const QUrl url = QUrl::fromEncoded(target);
    requests_ << QString::fromLatin1(target);
    if (qEnvironmentVariableIsSet("BRIVANO_TEST_TRACE")) qDebug("request %s", target.constData());
    const QUrlQuery query(url);
    struct Form {
      const char* path;
      const char* queryKey;
      const char* pageKey;
      int (*pageOf)(int value);
    };
    static const Form forms[] = {
        {"/s", "wd", "pn", [](int pn) { return pn / 10 + 1; }},
        {"/tx", "query", "page", [](int page) { return page; }},
        {"/s", "q", "pn", [](int pn) { return pn; }},
        {"/search", "q", "first", [](int first) { return (first - 1) / 10 + 1; }},
    };
    const Form* form = nullptr;
    for (const Form& candidate : forms) {
      if (url.path() == QLatin1String(candidate.path) &&
          query.hasQueryItem(QLatin1String(candidate.queryKey)) &&
          query.hasQueryItem(QLatin1String(candidate.pageKey))) {
        form = &candidate;
        break;
      }
    }
    // Two keywords misbehave: "hang" is never answered, "huge" gets 10 MB.
    const QByteArray rawQuery = url.query(QUrl::FullyEncoded).toLatin1();
    if (rawQuery.contains("hang")) {
      hanging_.append(socket);
      return;
    }
    QByteArray body;
    QByteArray status = "200 OK";
    QByteArray extraHeaders;
    if (form != nullptr) ++resultRequests_;
    if (form != nullptr && wallFrom_ > 0 && resultRequests_ >= wallFrom_ && !solved_ &&
        (wallTimes_ == 0 || walled_ < wallTimes_)) {
      ++walled_;
      wallBack_ = target;
      status = "302 Found";
      extraHeaders = "Location: /wappass/static/captcha/tuxing.html\r\n";
    } else if (url.path() == QLatin1String("/wappass/static/captcha/tuxing.html")) {
      body =
          "<html><head><meta charset='utf-8'><title>百度安全验证</title></head><body>"
          "<h2>百度安全验证</h2><p>请完成下方验证后继续操作</p>"
          "<p><a id='solve' href='/solved' style='display:block;font-size:40px'>完成验证</a></p>"
          "</body></html>";
    } else if (url.path() == QLatin1String("/solved")) {
      solved_ = true;
      status = "302 Found";
      extraHeaders = "Location: " + wallBack_ + "\r\n";
    } else if (form == nullptr) {
      status = "404 Not Found";
    } else {
      const int pageNumber =
          form->pageOf(query.queryItemValue(QLatin1String(form->pageKey)).toInt());
      const bool last = pageNumber >= pagesPerKeyword_;
      QStringList targets;
      for (int b = 0; b < 2 && !targets_.isEmpty(); ++b) {
        targets << targets_[((resultRequests_ - 1) * 2 + b) % targets_.size()];
      }
      body = blocks_ ? BlockPageFor(url.path(), QLatin1String(form->queryKey), pageNumber, last,
                                    targets)
                     : PageFor(url.path(), QLatin1String(form->queryKey), pageNumber, last);
      if (rawQuery.contains("huge")) {
        QByteArray filler = "<div>13912345678 ";
        filler.append(QByteArray(100, 'x'));
        filler.append("</div>");
        body.insert(body.indexOf("<body>") + 6, filler.repeated(10 * 1024 * 1024 / filler.size()));
      }
    }
    socket->write("HTTP/1.1 " + status + "\r\n" + extraHeaders +
                  "Content-Type: text/html; charset=utf-8\r\nContent-Length: " +
                  QByteArray::number(body.size()) + "\r\nConnection: close\r\n\r\n" + body);
    socket->disconnectFromHost();
  });
  connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
}

std::vector<std::string> ServerPageLines(int page, bool last) {
  const std::string n = std::to_string(page);
  std::vector<std::string> lines = {
      "深圳旅行社 第" + n + "页", "手机：1380000000" + n + " 电话：0755-8888000" + n,
      "邮箱：sales" + n + "@example.com", "QQ：1234500" + n, "传真：0755-2222000" + n};
  lines.push_back(last ? "上一页 1 2 3 相关搜索" : "下一页");
  std::vector<std::string> gbk;
  for (const auto& line : lines) gbk.push_back(Utf8ToGbk(line));
  return gbk;
}

std::vector<std::string> ExpectedHarvest(ContactKind kind, int keywords, int pages) {
  RecordingSink sink;
  for (int k = 0; k < keywords; ++k) {
    for (int page = 1; page <= pages; ++page) {
      ExtractPage(kind, ServerPageLines(page, page == pages), sink);
    }
  }
  return sink.values;
}

}  // namespace brivano::testing
