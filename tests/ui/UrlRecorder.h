#pragma once
// Takes the addresses handed to the system to open, in place of a browser.

#include <QDesktopServices>
#include <QObject>
#include <QUrl>

class UrlRecorder : public QObject {
    Q_OBJECT

public:
    explicit UrlRecorder(const QString& scheme) : scheme_(scheme) {
        QDesktopServices::setUrlHandler(scheme_, this, "Open");
    }
    ~UrlRecorder() override { QDesktopServices::unsetUrlHandler(scheme_); }

    QList<QUrl> opened;

public slots:
    void Open(const QUrl& url) { opened << url; }

private:
    QString scheme_;
};
