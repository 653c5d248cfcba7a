#pragma once

#include <QImage>
#include <QObject>
#include <QSize>
#include <QString>

// Reads captured screenshots on worker threads, scaled down to fit a box, so that neither the
// decoding of a large PNG nor its scaling ever holds up the main thread. Results arrive on the
// main thread; a loader destroyed meanwhile receives nothing.
class ShotImageLoader : public QObject {
    Q_OBJECT

public:
    explicit ShotImageLoader(QObject *parent = nullptr);
    ~ShotImageLoader() override;

    // Reads `file` and, when `box` is valid and the image is larger, scales it to fit `box`
    // with its aspect ratio kept. Emits loaded() or failed() with `key`.
    void load(const QString &key, const QString &file, QSize box = {});
    // Requests issued and not yet answered.
    int pending() const { return m_pending; }

    // The work of load(), for any thread.
    static QImage read(const QString &file, QSize box, QString *error, QSize *sourceSize = nullptr);

Q_SIGNALS:
    // `sourceSize` is the file's own size in pixels, before any scaling.
    void loaded(const QString &key, const QImage &image, QSize sourceSize);
    void failed(const QString &key, const QString &reason);
    // Every request has been answered.
    void idle();

private:
    void deliver(const QString &key, const QImage &image, QSize sourceSize, const QString &error);

    int m_pending = 0;
};
