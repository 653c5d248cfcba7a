#include "ui/InstalledAppPicker.h"
#include "ui/LanguagePicker.h"
#include "ui/SearchPopup.h"

#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QSignalSpy>
#include <QTest>

namespace {

QList<InstalledApp> sampleApps() {
    QList<InstalledApp> apps;
    apps << InstalledApp{QStringLiteral("com.example.QuillNotes"),
                         QStringLiteral("Quill Notes"),
                         {}}
         << InstalledApp{QStringLiteral("com.apple.mobilesafari"), QStringLiteral("Safari"), {}}
         << InstalledApp{QStringLiteral("com.example.CafeCreme"), QStringLiteral("Café Crème"), {}};
    return apps;
}

} // namespace

class PickersTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void appLabel_data() {
        QTest::addColumn<QList<InstalledApp>>("apps");
        QTest::addColumn<QString>("selection");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("enabled");
        QTest::newRow("no apps") << QList<InstalledApp>{} << QString()
                                 << QStringLiteral("No apps available") << false;
        QTest::newRow("no apps, stale selection")
            << QList<InstalledApp>{} << QStringLiteral("com.apple.mobilesafari")
            << QStringLiteral("No apps available") << false;
        QTest::newRow("selection elsewhere") << sampleApps() << QStringLiteral("com.typed.Other")
                                             << QStringLiteral("Choose an app") << true;
        QTest::newRow("nothing chosen")
            << sampleApps() << QString() << QStringLiteral("Choose an app") << true;
        QTest::newRow("chosen app") << sampleApps() << QStringLiteral("com.apple.mobilesafari")
                                    << QStringLiteral("Safari") << true;
    }
    void appLabel() {
        QFETCH(QList<InstalledApp>, apps);
        QFETCH(QString, selection);
        InstalledAppPicker picker;
        picker.setApps(apps);
        picker.setSelection(selection);
        QTEST(picker.text(), "text");
        QTEST(picker.isEnabled(), "enabled");
    }

    void languageLabel_data() {
        QTest::addColumn<QStringList>("languages");
        QTest::addColumn<QString>("selection");
        QTest::addColumn<QString>("text");
        QTest::newRow("chosen") << QStringList{"de", "en"} << QStringLiteral("de")
                                << QStringLiteral("German (de)");
        QTest::newRow("not among them") << QStringList{"de", "en"} << QStringLiteral("fr")
                                        << QStringLiteral("No languages available");
        QTest::newRow("whole code only") << QStringList{"en-GB"} << QStringLiteral("en")
                                         << QStringLiteral("No languages available");
        QTest::newRow("empty") << QStringList{} << QString()
                               << QStringLiteral("No languages available");
    }
    void languageLabel() {
        QFETCH(QStringList, languages);
        QFETCH(QString, selection);
        LanguagePicker picker;
        picker.setLanguages(languages);
        picker.setSelection(selection);
        QTEST(picker.text(), "text");
        QCOMPARE(picker.isEnabled(), !languages.isEmpty());
    }

    // Typing narrows the list; Return picks only a single match; otherwise the panel stays.
    void searchAndReturn_data() {
        QTest::addColumn<QString>("query");
        QTest::addColumn<int>("matches");
        QTest::addColumn<QString>("picked"); // empty: nothing picked, panel still open
        QTest::newRow("one by name")
            << QStringLiteral("safa") << 1 << QStringLiteral("com.apple.mobilesafari");
        QTest::newRow("one by bundle id")
            << QStringLiteral("CafeCreme") << 1 << QStringLiteral("com.example.CafeCreme");
        QTest::newRow("two") << QStringLiteral("com.example") << 2 << QString();
        QTest::newRow("none") << QStringLiteral("xyz") << 0 << QString();
    }
    void searchAndReturn() {
        QFETCH(QString, query);
        QFETCH(int, matches);
        QFETCH(QString, picked);
        QWidget window;
        auto *picker = new InstalledAppPicker(&window);
        picker->setApps(sampleApps());
        picker->setSelection(QStringLiteral("com.example.QuillNotes"));
        window.show();
        QSignalSpy pickedSpy(picker, &InstalledAppPicker::picked);

        QTest::mouseClick(picker, Qt::LeftButton);
        SearchPopup *popup = picker->popup();
        QVERIFY(popup->isVisible());
        QCOMPARE(popup->matchCount(), 3);
        QTest::keyClicks(popup->searchField(), query);
        QCOMPARE(popup->matchCount(), matches);
        if (matches == 0) {
            bool named = false;
            for (QLabel *label : popup->findChildren<QLabel *>())
                named |= label->isVisible() && label->text() == QStringLiteral("No Results for “") +
                                                                    query + QStringLiteral("”");
            QVERIFY(named);
        }
        QTest::keyClick(popup->searchField(), Qt::Key_Return);

        if (picked.isEmpty()) {
            QVERIFY(popup->isVisible());
            QCOMPARE(pickedSpy.count(), 0);
            QCOMPARE(picker->selection(), QStringLiteral("com.example.QuillNotes"));
        } else {
            QVERIFY(!popup->isVisible());
            QCOMPARE(pickedSpy.count(), 1);
            QCOMPARE(pickedSpy.at(0).at(0).toString(), picked);
            QCOMPARE(picker->selection(), picked);
        }
    }

    void escapeClosesWithoutPicking() {
        QWidget window;
        auto *picker = new LanguagePicker(&window);
        picker->setLanguages({QStringLiteral("de"), QStringLiteral("en")});
        picker->setSelection(QStringLiteral("en"));
        window.show();
        QSignalSpy pickedSpy(picker, &LanguagePicker::picked);
        QTest::mouseClick(picker, Qt::LeftButton);
        QVERIFY(picker->popup()->isVisible());
        QVERIFY(picker->popup()->searchField()->hasFocus());
        QTest::keyClicks(picker->popup()->searchField(), QStringLiteral("ger"));
        QTest::keyClick(picker->popup()->searchField(), Qt::Key_Escape);
        QVERIFY(!picker->popup()->isVisible());
        QCOMPARE(pickedSpy.count(), 0);
        QCOMPARE(picker->selection(), QStringLiteral("en"));

        // Opening again starts with an empty query.
        QTest::mouseClick(picker, Qt::LeftButton);
        QVERIFY(picker->popup()->query().isEmpty());
        QCOMPARE(picker->popup()->matchCount(), 2);
    }

    void clickingAnywhereOnARowPicksIt() {
        QWidget window;
        auto *picker = new LanguagePicker(&window);
        picker->setLanguages({QStringLiteral("fr"), QStringLiteral("de"), QStringLiteral("en")});
        picker->setSelection(QStringLiteral("en"));
        window.show();
        QSignalSpy pickedSpy(picker, &LanguagePicker::picked);
        QTest::mouseClick(picker, Qt::LeftButton);
        QListView *list = picker->popup()->list();
        QVERIFY(QTest::qWaitForWindowExposed(picker->popup()));
        // Rows are ordered by label: English, French, German. Click the far end of French.
        const QModelIndex french = list->model()->index(1, 0);
        QCOMPARE(french.data().toString(), QStringLiteral("French (fr)"));
        const QRect row = list->visualRect(french);
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                          QPoint(row.right() - 3, row.center().y()));
        QCOMPARE(pickedSpy.count(), 1);
        QCOMPARE(picker->selection(), QStringLiteral("fr"));
        QCOMPARE(picker->text(), QStringLiteral("French (fr)"));
        QVERIFY(!picker->popup()->isVisible());
    }
};

QTEST_MAIN(PickersTest)
#include "tst_pickers.moc"
