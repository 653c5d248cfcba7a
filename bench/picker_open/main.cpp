// Opens the app picker over 500 apps and measures the time from the click to the end of the
// list's first paint, then the time each keystroke of a search takes until the list is painted
// again. Prints medians and maxima in milliseconds.
#include "ui/InstalledAppPicker.h"
#include "ui/SearchPopup.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QListView>
#include <QPainter>
#include <QTest>

#include <algorithm>
#include <cstdio>

namespace {

constexpr int appCount = 500;
constexpr int rounds = 30;

// Names as a real device mixes them: plain, accented, ß, long and short.
QList<InstalledApp> sampleApps() {
    const QStringList words = {"Notes",  "Straße",  "Café",   "Crème",   "Maps",   "Weather",
                               "Photos", "Ärzte",   "Quill",  "Journal", "Garçon", "Kalender",
                               "Über",   "Tracker", "Safari", "Zoë"};
    QPixmap artwork(64, 64);
    artwork.fill(Qt::darkCyan);
    const QIcon icon(artwork);
    QList<InstalledApp> apps;
    for (int index = 0; index < appCount; ++index) {
        const QString name = words.at(index % words.size()) + QLatin1Char(' ') +
                             words.at((index / words.size()) % words.size()) + QLatin1Char(' ') +
                             QString::number(index);
        apps.append({QStringLiteral("com.example.app%1").arg(index), name, icon});
    }
    return apps;
}

// Counts paints of one widget.
class PaintCounter : public QObject {
public:
    int paints = 0;
    bool eventFilter(QObject *, QEvent *event) override {
        if (event->type() == QEvent::Paint)
            ++paints;
        return false;
    }
};

// Processes events until `counter` saw a paint after `before`; returns the elapsed time.
double untilPainted(const QElapsedTimer &clock, PaintCounter &counter, int before) {
    while (counter.paints == before)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    return clock.nsecsElapsed() / 1e6;
}

void print(const char *what, QList<double> times) {
    std::sort(times.begin(), times.end());
    std::printf("%-40s median %7.2f ms   max %7.2f ms   (%lld runs)\n", what,
                times.at(times.size() / 2), times.last(), static_cast<long long>(times.size()));
}

} // namespace

int main(int argc, char **argv) {
    QApplication application(argc, argv);
    QWidget window;
    window.resize(500, 120);
    auto *picker = new InstalledAppPicker(&window);
    picker->move(20, 20);
    picker->setApps(sampleApps());
    picker->setSelection(QStringLiteral("com.example.app250"));
    window.show();
    if (!QTest::qWaitForWindowExposed(&window))
        return 1;

    SearchPopup *popup = picker->popup();
    PaintCounter counter;
    popup->list()->viewport()->installEventFilter(&counter);

    QList<double> opening;
    QList<double> typing;
    const QStringList queries = {QStringLiteral("notes 1"), QStringLiteral("STRASSE")};
    for (int round = 0; round < rounds; ++round) {
        const QString query = queries.at(round % queries.size());
        const int before = counter.paints;
        QElapsedTimer clock;
        clock.start();
        QTest::mouseClick(picker, Qt::LeftButton);
        opening.append(untilPainted(clock, counter, before));

        for (const QChar character : query) {
            const int painted = counter.paints;
            QElapsedTimer keystroke;
            keystroke.start();
            QTest::keyClicks(popup->searchField(), QString(character));
            if (popup->matchCount() > 0)
                typing.append(untilPainted(keystroke, counter, painted));
        }
        QTest::keyClick(popup->searchField(), Qt::Key_Escape);
        QCoreApplication::processEvents();
    }
    std::printf("App picker with %d apps (%s platform)\n", appCount,
                qPrintable(QGuiApplication::platformName()));
    print("click to first paint of the list", opening);
    print("keystroke to repaint of the list", typing);
    for (const QString &query : queries) {
        QTest::mouseClick(picker, Qt::LeftButton);
        QTest::keyClicks(popup->searchField(), query);
        std::printf("matches for \"%s\": %d\n", qPrintable(query), popup->matchCount());
        QTest::keyClick(popup->searchField(), Qt::Key_Escape);
    }
    return 0;
}
