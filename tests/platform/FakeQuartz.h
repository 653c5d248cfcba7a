#pragma once

// A stand-in for the macOS system calls behind MacDesktopServices. Permissions, screens and the
// tap are what the test sets; captures answer on threads of their own, as macOS does, after the
// main loop has turned (so a main thread that waited for a capture would show), with images
// whose pixels name their own position on the display (see pixelAt()).

#include "platform/QuartzSystem.h"

#include <QMutex>
#include <QMutexLocker>
#include <QThread>

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

namespace FakeQuartzPixels {
// The colour of the display pixel (x, y): low bytes in red and green, high nibbles in blue.
inline QRgb encode(int x, int y) {
    return qRgb(x & 0xff, y & 0xff, ((x >> 8) << 4) | (y >> 8));
}
inline QPoint decode(QRgb pixel) {
    return {qRed(pixel) | ((qBlue(pixel) >> 4) << 8), qGreen(pixel) | ((qBlue(pixel) & 0xf) << 8)};
}
// An image of the display pixels from `corner`, of `size`.
inline QImage pixels(QPoint corner, QSize size) {
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < size.height(); ++y) {
        for (int x = 0; x < size.width(); ++x)
            image.setPixel(x, y, encode(corner.x() + x, corner.y() + y));
    }
    return image;
}
} // namespace FakeQuartzPixels

struct FakeTapState {
    quint64 mask = 0;
    QuartzSystem::TapHandler handler;
    bool enabled = false;
    int switchedOn = 0;
    bool destroyed = false;
};

class FakeTap : public QuartzTap {
public:
    explicit FakeTap(FakeTapState &state)
        : m_state(state) {}
    ~FakeTap() override { m_state.destroyed = true; }
    void setEnabled(bool enabled) override {
        m_state.enabled = enabled;
        m_state.switchedOn += enabled ? 1 : 0;
    }

private:
    FakeTapState &m_state;
};

class FakeQuartz : public QuartzSystem {
public:
    // Permissions: held now, and the answer a request gives (which then holds).
    bool captureAccess = false, captureGranted = false, listenAccess = false, listenGranted = false,
         tapAllowed = true;
    int version = 14;
    QList<QuartzScreen> screenList;
    qreal height = 900;
    QPointF cursor;
    FakeTapState tap;
    QList<qint64> levels;
    quint64 behavior = 0;
    QStringList calls; // the permission calls, in order

    // Captures: what was asked, and whether the main loop ran while each was pending.
    struct Request {
        quint32 displayId;
        QRectF rect;
        QSize pixelSize; // empty for CoreGraphics
    };
    QMutex mutex;
    QList<Request> requests;
    QList<bool> mainLoopRanMeanwhile;
    QList<bool> answeredOffMainThread;
    std::atomic<int> *heartbeat = nullptr; // advanced by a timer on the main thread
    QString captureError;

    ~FakeQuartz() override {
        for (std::thread &thread : m_threads)
            thread.join();
    }

    bool preflightScreenCaptureAccess() override { return ask("preflightScreen", captureAccess); }
    bool requestScreenCaptureAccess() override {
        captureAccess = captureGranted;
        return ask("requestScreen", captureGranted);
    }
    bool preflightListenEventAccess() override { return ask("preflightListen", listenAccess); }
    bool requestListenEventAccess() override {
        listenAccess = listenGranted;
        return ask("requestListen", listenGranted);
    }
    int majorSystemVersion() const override { return version; }
    QList<QuartzScreen> screens() const override { return screenList; }
    qreal mainDisplayHeight() const override { return height; }
    QPointF cursorLocation() const override { return cursor; }
    std::unique_ptr<QuartzTap> listenOnlyTap(quint64 mask, TapHandler handler) override {
        if (!tapAllowed)
            return nullptr;
        tap.mask = mask;
        tap.handler = std::move(handler);
        return std::make_unique<FakeTap>(tap);
    }
    void setWindowLevel(QWindow &, qint64 level, quint64 collectionBehavior) override {
        levels.append(level);
        behavior = collectionBehavior;
    }

    void shareableContent(ShareableHandler done) override {
        QuartzShareableContent content;
        for (const QuartzScreen &screen : std::as_const(screenList)) {
            if (screen.displayId)
                content.displays.append(
                    {*screen.displayId, std::make_shared<Source>(*this, *screen.displayId)});
        }
        answerLater([done, content] { done(content); });
    }

    QList<quint32> activeDisplays() const override {
        QList<quint32> ids;
        for (const QuartzScreen &screen : screenList) {
            if (screen.displayId)
                ids.append(*screen.displayId);
        }
        return ids;
    }

    QImage displayImage(quint32 displayId, const QRect &rect) const override {
        auto *self = const_cast<FakeQuartz *>(this);
        self->noteRequest({displayId, QRectF(rect), QSize()});
        self->noteAnswer(self->waitForMainLoop());
        const qreal scale = scaleOf(displayId);
        return FakeQuartzPixels::pixels(
            QPoint(qRound(rect.x() * scale), qRound(rect.y() * scale)),
            QSize(qRound(rect.width() * scale), qRound(rect.height() * scale)));
    }

private:
    class Source : public QuartzScreenshotSource {
    public:
        Source(FakeQuartz &quartz, quint32 displayId)
            : m_quartz(quartz)
            , m_displayId(displayId) {}
        void capture(const QRectF &sourceRect, const QSize &pixelSize, Handler done) override {
            m_quartz.noteRequest({m_displayId, sourceRect, pixelSize});
            const qreal scale = m_quartz.scaleOf(m_displayId);
            const QPoint corner(qRound(sourceRect.x() * scale), qRound(sourceRect.y() * scale));
            const QString error = m_quartz.captureError;
            m_quartz.answerLater([done, corner, pixelSize, error] {
                if (!error.isEmpty())
                    done(QuartzImage{{}, error});
                else
                    done(QuartzImage{FakeQuartzPixels::pixels(corner, pixelSize), {}});
            });
        }

    private:
        FakeQuartz &m_quartz;
        quint32 m_displayId;
    };

    bool ask(const char *call, bool answer) {
        calls.append(QString::fromLatin1(call));
        return answer;
    }

    qreal scaleOf(quint32 displayId) const {
        for (const QuartzScreen &screen : screenList) {
            if (screen.displayId == displayId)
                return screen.backingScale;
        }
        return 1.0;
    }

    void noteRequest(const Request &request) {
        const QMutexLocker lock(&mutex);
        requests.append(request);
    }

    void noteAnswer(bool mainLoopRan) {
        const QMutexLocker lock(&mutex);
        mainLoopRanMeanwhile.append(mainLoopRan);
        answeredOffMainThread.append(QThread::currentThread() != m_mainThread);
    }

    // Whether the main loop's heartbeat advanced twice within two seconds.
    bool waitForMainLoop() {
        if (!heartbeat)
            return true;
        const int start = heartbeat->load();
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(2);
        while (heartbeat->load() < start + 2) {
            if (std::chrono::steady_clock::now() > deadline)
                return false;
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        return true;
    }

    template <typename Answer> void answerLater(Answer answer) {
        m_threads.emplace_back([this, answer] {
            noteAnswer(waitForMainLoop());
            answer();
        });
    }

    QThread *m_mainThread = QThread::currentThread();
    std::vector<std::thread> m_threads;
};
