#pragma once

#include <QObject>
#include <QUrl>
#include <vector>

namespace builder::testing {

// Stands in for the system's viewer: receives the URLs the program asks to open.
class UrlCatcher : public QObject {
    Q_OBJECT

  public:
    std::vector<QUrl> opened;

  public slots:
    void open(const QUrl& url) { opened.push_back(url); }
};

} // namespace builder::testing
