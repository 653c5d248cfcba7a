#include "metadata/AppLanguages.h"
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
    return {{"com.example.QuillNotes", "Quill Notes", {}},
            {"com.apple.mobilesafari", "Safari", {}},
            {"com.example.CafeCreme", "Café Crème", {}}};
}

} // namespace

class PickersTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // App rows load the sample apps with the listed identifiers, language rows the listed codes.
    void labels_data() {
        QTest::addColumn<bool>("app");
        QTest::addColumn<QStringList>("items");
        QTest::addColumn<QString>("selection");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("enabled");
        const QStringList all = {"com.example.QuillNotes", "com.apple.mobilesafari"};
        // clang-format off
        QTest::newRow("no apps, stale selection") << true << QStringList{} << "com.apple.mobilesafari" << "No apps available" << false;
        QTest::newRow("app elsewhere") << true << all << "com.typed.Other" << "Choose an app" << true;
        QTest::newRow("no app chosen") << true << all << "" << "Choose an app" << true;
        QTest::newRow("chosen app") << true << all << "com.apple.mobilesafari" << "Safari" << true;
        QTest::newRow("chosen language") << false << QStringList{"de", "en"} << "de" << AppLanguages::label("de") << true;
        QTest::newRow("whole code only") << false << QStringList{"en-GB"} << "en" << "No languages available" << true;
        QTest::newRow("no languages") << false << QStringList{} << "" << "No languages available" << false;
        // clang-format on
    }
    void labels() {
        QFETCH(bool, app);
        QFETCH(QStringList, items);
        QFETCH(QString, selection);
        QList<InstalledApp> apps;
        for (const InstalledApp &sample : sampleApps())
            if (items.contains(sample.id))
                apps << sample;
        InstalledAppPicker appPicker;
        appPicker.setApps(apps);
        appPicker.setSelection(selection);
        LanguagePicker languagePicker;
        languagePicker.setLanguages(items);
        languagePicker.setSelection(selection);
        PickerButton *picker = app ? static_cast<PickerButton *>(&appPicker) : &languagePicker;
        QTEST(picker->text(), "text");
        QTEST(picker->isEnabled(), "enabled");
    }

    // Typing narrows the list; Return picks only a single match; otherwise the panel stays.
    void searchAndReturn_data() {
        QTest::addColumn<QString>("query");
        QTest::addColumn<int>("matches");
        QTest::addColumn<QString>("picked"); // empty: nothing picked, panel still open
        QTest::newRow("one") << "safa" << 1 << "com.apple.mobilesafari";
        QTest::newRow("two") << "com.example" << 2 << "";
        QTest::newRow("none") << "xyz" << 0 << "";
    }
    void searchAndReturn() {
        QFETCH(QString, query);
        QFETCH(int, matches);
        QFETCH(QString, picked);
        QWidget window;
        auto *picker = new InstalledAppPicker(&window);
        picker->setApps(sampleApps());
        picker->setSelection("com.example.QuillNotes");
        window.show();
        QSignalSpy picks(picker, &InstalledAppPicker::picked);

        QTest::mouseClick(picker, Qt::LeftButton);
        SearchPopup *popup = picker->popup();
        QVERIFY(popup->isVisible());
        QTest::keyClicks(popup->searchField(), query);
        QCOMPARE(popup->matchCount(), matches);
        bool named = false;
        for (QLabel *label : popup->findChildren<QLabel *>())
            named |= label->isVisible() && label->text() == "No Results for “" + query + "”";
        QCOMPARE(named, matches == 0);
        QTest::keyClick(popup->searchField(), Qt::Key_Return);

        QCOMPARE(popup->isVisible(), picked.isEmpty());
        QCOMPARE(picks.count(), picked.isEmpty() ? 0 : 1);
        QCOMPARE(picker->selection(), picked.isEmpty() ? "com.example.QuillNotes" : picked);
    }

    // Escape closes without picking; the next opening starts with an empty query, and a click
    // anywhere on a row picks it.
    void escapeThenClickAnywhereOnARow() {
        QWidget window;
        auto *picker = new LanguagePicker(&window);
        picker->setLanguages({"fr", "de", "en"});
        picker->setSelection("en");
        window.show();
        QSignalSpy picks(picker, &LanguagePicker::picked);
        SearchPopup *popup = picker->popup();
        QTest::mouseClick(picker, Qt::LeftButton);
        QVERIFY(popup->isVisible() && popup->searchField()->hasFocus());
        QTest::keyClicks(popup->searchField(), "ger");
        QTest::keyClick(popup->searchField(), Qt::Key_Escape);
        QVERIFY(!popup->isVisible() && picks.isEmpty() && picker->selection() == "en");

        QTest::mouseClick(picker, Qt::LeftButton);
        QCOMPARE(popup->matchCount(), 3); // the query starts empty
        QVERIFY(QTest::qWaitForWindowExposed(popup));
        // Click the far end of French's row.
        const QAbstractItemModel *rows = popup->list()->model();
        const QString french = AppLanguages::label("fr");
        const QModelIndex index =
            rows->match(rows->index(0, 0), Qt::DisplayRole, french, 1, Qt::MatchExactly).value(0);
        QVERIFY(index.isValid());
        const QRect row = popup->list()->visualRect(index);
        QTest::mouseClick(popup->list()->viewport(), Qt::LeftButton, {},
                          QPoint(row.right() - 3, row.center().y()));
        QCOMPARE(picks.count(), 1);
        QCOMPARE(picker->text(), french);
        QVERIFY(!popup->isVisible());
    }
};

QTEST_MAIN(PickersTest)
#include "tst_pickers.moc"
