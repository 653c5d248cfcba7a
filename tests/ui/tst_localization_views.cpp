// The localization check under the language picker with its report sheet, and the Privacy
// pane's preview of what will be sent, bound to real models.
#include "UiTestFixture.h"
#include "launcher/LocalizationCheckModel.h"
#include "metadata/AppLanguages.h"
#include "metadata/BundleFixture.h"
#include "ui/ContentView.h"
#include "ui/LocalizationReportSheet.h"
#include "ui/LocalizationSummaryRow.h"
#include "usage/views/PendingUsagePreview.h"
#include "usage/views/UsageStatisticsSettings.h"

#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTextDocument>

namespace {

// What a label or tooltip puts on screen: Qt reads a text as markup unless told it is plain,
// and a tooltip whenever it looks like markup.
QString shownText(const QString &text, Qt::TextFormat format = Qt::AutoText) {
    if (format == Qt::PlainText || (format == Qt::AutoText && !Qt::mightBeRichText(text)))
        return text;
    QTextDocument document;
    document.setHtml(text);
    return document.toPlainText();
}

} // namespace

class LocalizationViewsTest : public QObject {
    Q_OBJECT

    std::optional<UiTestModels> models;

private Q_SLOTS:
    void init() {
        models.emplace();
        QVERIFY(models->deviceSet.isValid());
    }

    // The sample Mac editor: French lacks two menu titles, Japanese five strings.
    void summaryAndReportOfTheMacApp() {
        Launcher *launcher = models->launcher.get();
        launcher->setMacMode(true);
        launcher->setMacApp(QUrl::fromLocalFile(models->deviceSet.macApp()));
        ContentView view(launcher, models->statistics.get());
        view.resize(640, 900);
        view.show();
        auto *row = view.findChild<LocalizationSummaryRow *>();
        QVERIFY(row);
        QTRY_COMPARE(row->summary(), "2 problems — fr: 2 strings missing; ja: 5 strings missing");
        QVERIFY(row->isVisible());

        QTRY_VERIFY(!launcher->busy()); // the start-up refresh disables the form meanwhile
        row->findChild<QPushButton *>("showLocalizationReport")->click();
        auto *sheet = view.window()->findChild<LocalizationReportSheet *>();
        QVERIFY(sheet);
        QTRY_VERIFY(sheet->isVisible());
        auto *languages = sheet->findChild<QListWidget *>("reportLanguages");
        QCOMPARE(languages->count(), 5);
        // Opens on the first language with a problem: French, whose menu table lacks two.
        QCOMPARE(languages->currentItem()->text(), AppLanguages::label("fr"));
        auto *tables = sheet->findChild<QTableWidget *>("reportTables");
        QCOMPARE(tables->rowCount(), 2);
        QCOMPARE(tables->item(1, 0)->text(), "MainMenu");
        QCOMPARE(tables->item(1, 1)->text(), "3 of 5");
        QCOMPARE(tables->item(1, 3)->text(), "en.lproj");
        QCOMPARE(tables->item(1, 4)->text(), "menu.help, menu.window");

        sheet->findChild<QPushButton *>("copyReport")->click();
        const QString copied = QApplication::clipboard()->text();
        QVERIFY(copied.contains("ja: 5 of 11 strings missing in Localizable"));
        QVERIFY(copied.contains("fr: 2 of 5 strings missing in MainMenu"));

        // Another app: the old report goes away while the new one is read.
        sheet->close();
        launcher->setMacApp(QUrl());
        QTRY_VERIFY(!row->isVisible());
    }

    // A table file whose name looks like markup is shown by its name, wherever it appears.
    void namesFromTheBundleStayPlainText() {
        QTemporaryDir bundle;
        const QByteArray hello = "\"hello\" = \"Hello\";";
        QVERIFY(BundleFixture::writeFile(
            bundle.filePath("Info.plist"),
            "<plist><dict><key>CFBundleDevelopmentRegion</key><string>en</string></dict></plist>"));
        QVERIFY(BundleFixture::writeFile(bundle.filePath("en.lproj/Localizable.strings"), hello));
        QVERIFY(BundleFixture::writeFile(bundle.filePath("de.lproj/Localizable.strings"), hello));
        QVERIFY(BundleFixture::writeFile(bundle.filePath("de.lproj/<u>Menu.strings"), "{"));
        const QString name = "<u>Menu.strings";

        LocalizationCheckModel check;
        LocalizationSummaryRow row(&check);
        row.resize(900, 20);
        row.show();
        QCoro::waitFor(check.check(bundle.path()));
        auto *line = row.findChild<QLabel *>("localizationSummaryText");
        QTRY_COMPARE(shownText(line->text(), line->textFormat()),
                     "1 problem — de: " + name + " could not be read");
        QVERIFY(shownText(line->toolTip()).contains(name));

        LocalizationReportSheet sheet(*check.report());
        auto *languages = sheet.findChild<QListWidget *>("reportLanguages");
        QCOMPARE(languages->currentItem()->text(), AppLanguages::label("de"));
        for (const char *labelName : {"reportSummary", "languageProblems"}) {
            auto *label = sheet.findChild<QLabel *>(labelName);
            QVERIFY2(shownText(label->text(), label->textFormat()).contains(name), labelName);
        }
        auto *tables = sheet.findChild<QTableWidget *>("reportTables");
        QCOMPARE(tables->item(0, 0)->text(), "<u>Menu");
        QVERIFY(shownText(tables->item(0, 4)->toolTip()).startsWith(name + " could not be read"));
    }

    // The chosen app by its folder's name, however it looks.
    void appNameStaysPlainText() {
        QTemporaryDir root;
        const QString app = root.filePath("<u>Notes.app");
        QVERIFY(QDir().mkpath(app + "/Contents/Resources/en.lproj"));
        Launcher *launcher = models->launcher.get();
        launcher->setMacMode(true);
        launcher->setMacApp(QUrl::fromLocalFile(app));
        ContentView view(launcher, models->statistics.get());
        auto *name = view.findChild<QLabel *>("macAppName");
        QCOMPARE(shownText(name->text(), name->textFormat()), "<u>Notes.app");
    }

    // Live: the session's body appears when it is queued, changes with each click, and goes
    // away with consent.
    void privacyPreviewFollowsTheQueue() {
        UsageStatistics *statistics = models->statistics.get();
        UsageStatisticsSettings pane(statistics);
        pane.show();
        auto *preview = pane.findChild<PendingUsagePreview *>();
        QVERIFY(preview);
        auto *nothing = preview->findChild<QLabel *>("nothingWaiting");
        auto *bodies = preview->findChild<QPlainTextEdit *>("pendingBodies");
        QCOMPARE(preview->findChild<QLabel *>("pendingUsageEndpoint")->text(),
                 "POST https://127.0.0.1:9/usage/receive.php");
        QVERIFY(nothing->isVisible());
        QCOMPARE(nothing->text(), "Nothing is waiting to be sent.");

        statistics->begin(); // undecided: nothing is queued
        QVERIFY(nothing->isVisible());
        statistics->setConsent(true);
        const QString body = R"({"action_count":%2,"app":"Quillmarch","session_id":"%1"})";
        QCOMPARE(preview->bodies(), QStringList{body.arg(statistics->sessionID()).arg(0)});
        QVERIFY(bodies->isVisible());
        QCOMPARE(bodies->toPlainText(), body.arg(statistics->sessionID()).arg(0));

        statistics->recordAction();
        statistics->recordAction();
        QCOMPARE(bodies->toPlainText(), body.arg(statistics->sessionID()).arg(2));
        // Exactly the bytes the request carries.
        QCOMPARE(bodies->toPlainText().toUtf8(), statistics->pending().first().report.encoded());

        statistics->setConsent(false);
        QVERIFY(nothing->isVisible());
        QVERIFY(preview->bodies().isEmpty());
    }
};

QTEST_MAIN(LocalizationViewsTest)
#include "tst_localization_views.moc"
