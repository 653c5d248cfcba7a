// The localization check against real bundles on disk, with string tables in all three
// property-list forms.
#include "BundleFixture.h"

#include "metadata/BundleFile.h"
#include "metadata/LocalizationCheck.h"
#include "tools/Error.h"

#include <QDeadlineTimer>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QTest>

#include <plist/plist.h>

#include <atomic>
#include <cstdlib>
#include <fcntl.h>
#include <future>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QByteArray xmlPlist(const QString &body) {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<!DOCTYPE plist PUBLIC \"-//Apple//DTD "
           "PLIST 1.0//EN\" \"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">\n"
           "<plist version=\"1.0\">" +
           body.toUtf8() + "</plist>\n";
}

// An Info.plist: the development region and, unless empty, CFBundleLocalizations.
QByteArray infoPlist(const QString &development, const QStringList &listed) {
    QString body = QStringLiteral("<dict><key>CFBundleDevelopmentRegion</key><string>%1</string>")
                       .arg(development);
    if (!listed.isEmpty()) {
        body += QStringLiteral("<key>CFBundleLocalizations</key><array>");
        for (const QString &language : listed)
            body += QStringLiteral("<string>%1</string>").arg(language);
        body += QStringLiteral("</array>");
    }
    return xmlPlist(body + QStringLiteral("</dict>"));
}

// A plural table with the given keys, as XML or binary.
QByteArray stringsdict(const QStringList &keys, bool binary) {
    QString body = QStringLiteral("<dict>");
    for (const QString &key : keys)
        body += QStringLiteral("<key>%1</key><dict><key>NSStringLocalizedFormatKey</key>"
                               "<string>%#@n@</string></dict>")
                    .arg(key);
    const QByteArray xml = xmlPlist(body + QStringLiteral("</dict>"));
    if (!binary)
        return xml;
    plist_t root = nullptr;
    plist_from_xml(xml.constData(), uint32_t(xml.size()), &root);
    char *bytes = nullptr;
    uint32_t length = 0;
    plist_to_bin(root, &bytes, &length);
    const QByteArray result(bytes, length);
    std::free(bytes); // libplist 2.2 allocates with malloc
    plist_free(root);
    return result;
}

QByteArray utf16Strings(const QString &text) {
    QStringEncoder encoder(QStringConverter::Utf16LE, QStringConverter::Flag::WriteBom);
    return encoder.encode(text);
}

// Files of an iOS bundle (flat): path → contents.
using Files = QList<std::pair<QString, QByteArray>>;

const QByteArray englishStrings = "/* Greeting */\n\"hello\" = \"Hello\";\n\"bye\" = \"Bye\";\n"
                                  "\"thanks\" = \"Thanks\";\n";

void writeFiles(const QString &root, const Files &files) {
    for (const auto &[path, bytes] : files) {
        if (path.endsWith(QLatin1Char('/')))
            BundleFixture::createEntries(root, {path});
        else
            QVERIFY(BundleFixture::writeFile(root + QLatin1Char('/') + path, bytes));
    }
}

// Keeps a read that does not stop from taking the machine's memory: the address space may grow
// by a gigabyte at most while it lives.
class AddressSpaceLimit {
public:
    AddressSpaceLimit() {
        QFile statm(QStringLiteral("/proc/self/statm"));
        if (!statm.open(QIODevice::ReadOnly) || ::getrlimit(RLIMIT_AS, &m_saved) != 0)
            return;
        const qint64 used = statm.readAll().split(' ').value(0).toLongLong() * ::getpagesize();
        rlimit limited = m_saved;
        limited.rlim_cur = rlim_t(used + (qint64(1) << 30));
        m_active = ::setrlimit(RLIMIT_AS, &limited) == 0;
    }
    ~AddressSpaceLimit() {
        if (m_active)
            ::setrlimit(RLIMIT_AS, &m_saved);
    }

private:
    rlimit m_saved{};
    bool m_active = false;
};

// Runs the check on another thread. One still running after ten seconds waits on a named pipe:
// the pipes are then opened for writing until it ends, and the check counts as stuck.
std::optional<LocalizationReport> checkUnlessStuck(const QString &bundle,
                                                   const QStringList &pipes) {
    const AddressSpaceLimit limit;
    std::future<LocalizationReport> check =
        std::async(std::launch::async, [bundle] { return LocalizationCheck::run(bundle); });
    const bool stuck = check.wait_for(std::chrono::seconds(10)) != std::future_status::ready;
    while (check.wait_for(std::chrono::milliseconds(10)) != std::future_status::ready) {
        for (const QString &pipe : pipes) {
            const int writer = ::open(QFile::encodeName(pipe).constData(), O_WRONLY | O_NONBLOCK);
            if (writer >= 0)
                ::close(writer);
        }
    }
    LocalizationReport report = check.get();
    return stuck ? std::nullopt : std::optional(std::move(report));
}

} // namespace

class LocalizationCheckTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void problemsOfBundles_data();
    void problemsOfBundles();
    void comparesTablesAcrossForms();
    void eachTableNamesItsReferenceFolder();
    void unreadableTableIsNamedNotFatal();
    void hostileEntriesAreRefusedPromptly_data();
    void hostileEntriesAreRefusedPromptly();
    void stopEndsTheCheck_data();
    void stopEndsTheCheck();
    void summaryAndText();
    void notABundleThrows();
};

void LocalizationCheckTest::problemsOfBundles_data() {
    QTest::addColumn<Files>("files");
    QTest::addColumn<QStringList>("problems");

    const QByteArray base = englishStrings;
    QTest::newRow("listed without folder, folder not listed")
        << Files{{"Info.plist", infoPlist("en", {"en", "de", "nb"})},
                 {"en.lproj/Localizable.strings", base},
                 {"de.lproj/Localizable.strings", base},
                 {"fr.lproj/Localizable.strings", base}}
        << QStringList{"fr: not listed in CFBundleLocalizations", "nb: no .lproj folder"};
    QTest::newRow("no CFBundleLocalizations: folders are not judged against it")
        << Files{{"Info.plist", infoPlist("en", {})},
                 {"en.lproj/Localizable.strings", base},
                 {"fr.lproj/Localizable.strings", base}}
        << QStringList{};
    QTest::newRow("development language without folder, Base is the reference")
        << Files{{"Info.plist", infoPlist("en", {})},
                 {"Base.lproj/Localizable.strings", base},
                 {"de.lproj/Localizable.strings", "\"hello\" = \"Hallo\";"}}
        << QStringList{"de: 2 strings missing", "en: development language has no .lproj folder"};
    QTest::newRow("a whole table missing counts every key")
        << Files{{"Info.plist", infoPlist("en", {})},
                 {"en.lproj/Localizable.strings", base},
                 {"en.lproj/InfoPlist.strings", "\"CFBundleDisplayName\" = \"Notes\";"},
                 {"ja.lproj/Localizable.strings", base}}
        << QStringList{"ja: 1 string missing"};
    QTest::newRow("an empty folder lacks everything; Base is never a language")
        << Files{{"Info.plist", infoPlist("en", {})},
                 {"en.lproj/Localizable.strings", base},
                 {"Base.lproj/Main.strings", "\"x\" = \"y\";"},
                 {"ko.lproj/", {}}}
        << QStringList{"ko: 4 strings missing"};
    QTest::newRow("a table the development language lacks is compared with Base's")
        << Files{{"Info.plist", infoPlist("en", {})},
                 {"en.lproj/InfoPlist.strings", "\"CFBundleName\" = \"Notes\";"},
                 {"Base.lproj/Localizable.strings", base},
                 {"de.lproj/InfoPlist.strings", "\"CFBundleName\" = \"Notizen\";"},
                 {"de.lproj/Localizable.strings", "\"hello\" = \"Hallo\"; \"bye\" = \"Tschüss\";"},
                 {"fr.lproj/InfoPlist.strings", "\"CFBundleName\" = \"Notes\";"}}
        << QStringList{"de: 1 string missing", "fr: 3 strings missing"};
    QTest::newRow("the development language's table wins over Base's")
        << Files{{"Info.plist", infoPlist("en", {})},
                 {"en.lproj/Localizable.strings", "\"hello\" = \"Hello\";"},
                 {"Base.lproj/Localizable.strings", base},
                 {"de.lproj/Localizable.strings", "\"hello\" = \"Hallo\";"}}
        << QStringList{};
    // Listed in the file system's order, in which the table may come after any of them.
    Files withOtherFiles{{"Info.plist", infoPlist("en", {})},
                         {"en.lproj/Localizable.strings", base},
                         {"de.lproj/Localizable.strings", base}};
    for (int i = 0; i < 20; ++i)
        withOtherFiles.append({QStringLiteral("de.lproj/View%1.nib").arg(i), "nib"});
    QTest::newRow("files other than tables are passed over") << withOtherFiles << QStringList{};
    QTest::newRow("a partly unreadable table counts what can be read")
        << Files{{"Info.plist", infoPlist("en", {})},
                 {"en.lproj/Localizable.strings", base},
                 {"de.lproj/Localizable.strings", "\"hello\" = \"Hallo\";"},
                 {"de.lproj/Localizable.stringsdict", xmlPlist("<array/>")}}
        << QStringList{"de: 2 strings missing (comparison incomplete)",
                       "de: Localizable.stringsdict could not be read"};
    QTest::newRow("a partly unreadable table of Base makes its comparisons incomplete")
        << Files{{"Info.plist", infoPlist("en", {})},
                 {"en.lproj/InfoPlist.strings", "\"CFBundleName\" = \"Notes\";"},
                 {"Base.lproj/Localizable.strings", base},
                 {"Base.lproj/Localizable.stringsdict", "{"},
                 {"de.lproj/InfoPlist.strings", "\"CFBundleName\" = \"Notizen\";"},
                 {"de.lproj/Localizable.strings", base}}
        << QStringList{"de: comparison incomplete"};
    QTest::newRow("an unlistable development folder leaves Base's tables incomplete")
        << Files{{"Info.plist", infoPlist("en", {})},
                 {"en.lproj", "not a folder"},
                 {"Base.lproj/Localizable.strings", base},
                 {"de.lproj/Localizable.strings", base}}
        << QStringList{"de: comparison incomplete", "en: en.lproj could not be read"};
    QTest::newRow("a partly unreadable reference makes every comparison incomplete")
        << Files{{"Info.plist", infoPlist("en", {})},
                 {"en.lproj/Localizable.strings", base},
                 {"en.lproj/Localizable.stringsdict", "{"},
                 {"de.lproj/Localizable.strings", "\"hello\" = \"Hallo\";"},
                 {"fr.lproj/Localizable.strings", base}}
        << QStringList{"de: 2 strings missing (comparison incomplete)",
                       "en: Localizable.stringsdict could not be read",
                       "fr: comparison incomplete"};
}

void LocalizationCheckTest::problemsOfBundles() {
    QFETCH(Files, files);
    QFETCH(QStringList, problems);
    QTemporaryDir bundle;
    writeFiles(bundle.path(), files);
    QCOMPARE(LocalizationCheck::run(bundle.path()).problems(), problems);
}

void LocalizationCheckTest::comparesTablesAcrossForms() {
    // Text strings in UTF-8 and UTF-16, plural tables as XML and binary: one table per name.
    QTemporaryDir bundle;
    writeFiles(
        bundle.path(),
        {{"Info.plist", infoPlist("en", {})},
         {"en.lproj/Localizable.strings", englishStrings},
         {"en.lproj/Localizable.stringsdict", stringsdict({"files.count", "notes.count"}, false)},
         {"fr.lproj/Localizable.strings", utf16Strings("\"hello\" = \"Bonjour\";\n")},
         {"fr.lproj/Localizable.stringsdict", stringsdict({"notes.count"}, true)},
         {"fr.lproj/Extra.strings", "\"a\" = \"b\";"}});

    const LocalizationReport report = LocalizationCheck::run(bundle.path());
    QCOMPARE(report.referenceFolders, QStringList{"en"});
    QCOMPARE(report.languages.size(), 2);
    const LanguageLocalization &french = report.languages[1];
    QCOMPARE(french.language, QStringLiteral("fr"));
    QCOMPARE(french.tables.size(), 2);
    QCOMPARE(french.tables[0].name, QStringLiteral("Extra"));
    QCOMPARE(french.tables[0].referenceKeyCount, 0);
    QVERIFY(report.text().contains(QStringLiteral("Extra: 1 string (no table to compare with)")));
    const LocalizationTable &localizable = french.tables[1];
    QCOMPARE(localizable.keyCount, 2);
    QCOMPARE(localizable.referenceKeyCount, 5);
    QCOMPARE(localizable.missingKeys, (QStringList{"bye", "files.count", "thanks"}));
    QVERIFY(report.text().contains(QStringLiteral("fr: 3 of 5 strings missing in Localizable")));
    // The development language is compared with itself.
    QCOMPARE(report.languages[0].missingCount(), 0);
    QCOMPARE(report.languages[0].tables[0].referenceKeyCount, 5);
    QCOMPARE(report.languages[0].tables[0].referenceFolder, QStringLiteral("en"));
}

void LocalizationCheckTest::unreadableTableIsNamedNotFatal() {
    QTemporaryDir bundle;
    // A missing semicolon, and a plural table that is an array.
    writeFiles(bundle.path(),
               {{"Info.plist", infoPlist("en", {})},
                {"en.lproj/Localizable.strings", englishStrings},
                {"en.lproj/Menu.strings", "\"m\" = \"M\";"},
                {"de.lproj/Localizable.strings", "\"hello\" = \"Hallo\"\n\"bye\" = \"Tschüss\";"},
                {"de.lproj/Menu.stringsdict", xmlPlist("<array/>")}});

    const LocalizationReport report = LocalizationCheck::run(bundle.path());
    // What the app cannot read is missing for its users as well.
    QCOMPARE(report.problems(), (QStringList{"de: 4 strings missing (comparison incomplete)",
                                             "de: Localizable.strings could not be read",
                                             "de: Menu.stringsdict could not be read"}));
    const LocalizationTable &table = report.languages[0].tables[0];
    QCOMPARE(table.unreadableFiles.size(), 1);
    QVERIFY(table.incomplete);
    QVERIFY2(table.unreadableFiles[0].reason.contains(QStringLiteral("line 2")),
             qPrintable(table.unreadableFiles[0].reason));
}

void LocalizationCheckTest::eachTableNamesItsReferenceFolder() {
    QTemporaryDir bundle;
    writeFiles(bundle.path(), {{"Info.plist", infoPlist("en", {})},
                               {"en.lproj/InfoPlist.strings", "\"CFBundleName\" = \"Notes\";"},
                               {"Base.lproj/Localizable.strings", englishStrings},
                               {"fr.lproj/InfoPlist.strings", "\"CFBundleName\" = \"Notes\";"},
                               {"fr.lproj/Localizable.strings", "\"hello\" = \"Bonjour\";"}});
    const LocalizationReport report = LocalizationCheck::run(bundle.path());
    QCOMPARE(report.referenceFolders, (QStringList{"en", "Base"}));
    const QList<LocalizationTable> &french = report.languages[1].tables;
    QCOMPARE(french[0].referenceFolder, QStringLiteral("en"));
    QCOMPARE(french[1].referenceFolder, QStringLiteral("Base"));
    const QString text = report.text();
    QVERIFY2(text.contains("String tables compared with: en.lproj, else Base.lproj"),
             qPrintable(text));
    QVERIFY2(text.contains("fr: 2 of 3 strings missing in Localizable, compared with Base.lproj"),
             qPrintable(text));
    QVERIFY2(text.contains("InfoPlist: 1 string, complete\n"), qPrintable(text));
}

void LocalizationCheckTest::hostileEntriesAreRefusedPromptly_data() {
    QTest::addColumn<QString>("entry"); // made in the bundle of a development language en
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QStringList>("problems");
    QTest::addColumn<QString>("reason"); // why fr's entry could not be read

    const QStringList unreadableTable{"fr: 3 strings missing (comparison incomplete)",
                                      "fr: Localizable.strings could not be read"};
    const QString notRegular = "isn’t a regular file";
    const QString table = "fr.lproj/Localizable.strings";
    QTest::newRow("named pipe as a table") << table << "pipe" << unreadableTable << notRegular;
    QTest::newRow("table linked to /dev/zero") << table << "zero" << unreadableTable << notRegular;
    QTest::newRow("table over the size limit")
        << table << "sparse" << unreadableTable << "larger than 32 MB";
    QTest::newRow("table at the size limit is read")
        << table << "limit" << unreadableTable << "Unexpected character U+0000 at line 1.";
    QTest::newRow("table linked to nothing") << table << "dangling" << unreadableTable
                                             << "The file “Localizable.strings” doesn’t exist.";
    QTest::newRow("table linked to itself")
        << table << "tableloop" << unreadableTable << "its links lead in a circle";
    // sysfs states a size of a page for a few bytes: the read ends where the file does.
    QTest::newRow("table shorter than its stated size")
        << table << "short" << unreadableTable << "The file holds no table of strings.";
    QTest::newRow("UTF-16 without a byte-order mark")
        << table << "utf16" << unreadableTable << "UTF-16 without a byte-order mark";
    const QStringList unreadableFolder{"fr: fr.lproj could not be read"};
    QTest::newRow("folder linked to itself")
        << "fr.lproj"
        << "selflink" << unreadableFolder << "“fr.lproj” is a link that leads in a circle.";
    QTest::newRow("plain file named like a folder")
        << "fr.lproj"
        << "file" << unreadableFolder << "“fr.lproj” is not a folder.";
    // Read as a bundle without an information property list: no development language.
    QTest::newRow("named pipe as Info.plist") << "Info.plist"
                                              << "pipe" << QStringList{} << QString();
}

void LocalizationCheckTest::hostileEntriesAreRefusedPromptly() {
    QFETCH(QString, entry);
    QFETCH(QString, kind);
    QFETCH(QString, reason);
    QTemporaryDir bundle;
    writeFiles(bundle.path(), {{"en.lproj/Localizable.strings", englishStrings}});
    if (entry != "Info.plist")
        writeFiles(bundle.path(), {{"Info.plist", infoPlist("en", {})}, {"fr.lproj/", {}}});
    const QString path = bundle.filePath(entry);
    const QByteArray native = QFile::encodeName(path);
    QDir().rmdir(path); // the entry replaces the folder
    if (kind == "pipe")
        QCOMPARE(::mkfifo(native.constData(), 0600), 0);
    else if (kind == "zero")
        QVERIFY(QFile::link("/dev/zero", path));
    else if (kind == "selflink")
        QCOMPARE(::symlink("fr.lproj", native.constData()), 0);
    else if (kind == "file")
        QVERIFY(BundleFixture::writeFile(path, "\"hello\" = \"Bonjour\";"));
    else if (kind == "dangling")
        QVERIFY(QFile::link("Missing.strings", path));
    else if (kind == "short") {
        const QString online = "/sys/devices/system/cpu/online"; // "0-1", a text-form string
        if (!QFileInfo(online).isFile())
            QSKIP("no sysfs here");
        QVERIFY(QFile::link(online, path));
    } else if (kind == "tableloop")
        QVERIFY(QFile::link("Localizable.strings", path));
    else if (kind == "sparse" || kind == "limit") {
        QVERIFY(BundleFixture::writeFile(path, QByteArray()));
        QCOMPARE(::truncate(native.constData(), (off_t(32) << 20) + (kind == "sparse")), 0);
    } else if (kind == "utf16") {
        QStringEncoder withoutMark(QStringConverter::Utf16LE);
        QVERIFY(BundleFixture::writeFile(path, withoutMark.encode(u"\"hello\" = \"Bonjour\";")));
    }

    const std::optional<LocalizationReport> report =
        checkUnlessStuck(bundle.path(), kind == "pipe" ? QStringList{path} : QStringList{});
    QVERIFY2(report, "the check waited on a named pipe");
    QTEST(report->problems(), "problems");
    QString found;
    for (const LanguageLocalization &language : report->languages) {
        if (language.language != "fr")
            continue;
        found = language.folderFailure;
        for (const LocalizationTable &table : language.tables)
            for (const UnreadableFile &file : table.unreadableFiles)
                found += file.reason;
    }
    QVERIFY2(found.contains(reason), qPrintable(found));
}

void LocalizationCheckTest::stopEndsTheCheck_data() {
    QTest::addColumn<int>("answersBeforeStop"); // how often the stop request is denied first
    QTest::addColumn<bool>("stops");
    QTest::newRow("before anything is read") << 0 << true;
    QTest::newRow("within a file's read") << 1 << true;
    QTest::newRow("never") << 1000 << false;
}

void LocalizationCheckTest::stopEndsTheCheck() {
    QFETCH(int, answersBeforeStop);
    QFETCH(bool, stops);
    // One table of three megabytes, read in several pieces.
    QByteArray strings;
    for (int i = 0; strings.size() < 3 * 1024 * 1024; ++i)
        strings += "\"key." + QByteArray::number(i) + "\" = \"A string of some length\";\n";
    QTemporaryDir bundle;
    writeFiles(bundle.path(),
               {{"Info.plist", infoPlist("en", {})}, {"en.lproj/Localizable.strings", strings}});
    std::atomic_int asked = 0;
    const auto stopRequested = [&] { return asked++ >= answersBeforeStop; };
    if (stops)
        QVERIFY_THROWS_EXCEPTION(BundleFile::ReadStopped,
                                 LocalizationCheck::run(bundle.path(), stopRequested));
    else
        QCOMPARE(LocalizationCheck::run(bundle.path(), stopRequested).languages.size(), 1);
}

void LocalizationCheckTest::summaryAndText() {
    QTemporaryDir bundle;
    QString english;
    QString french;
    for (int i = 0; i < 240; ++i) {
        english += QStringLiteral("\"k%1\" = \"v\";\n").arg(i);
        if (i >= 12)
            french += QStringLiteral("\"k%1\" = \"v\";\n").arg(i);
    }
    writeFiles(bundle.path(), {{"Info.plist", infoPlist("en", {"en", "fr", "nb"})},
                               {"en.lproj/Localizable.strings", english.toUtf8()},
                               {"fr.lproj/Localizable.strings", french.toUtf8()}});
    const LocalizationReport report = LocalizationCheck::run(bundle.path());
    QCOMPARE(report.summary(),
             QStringLiteral("2 problems — fr: 12 strings missing; nb: no .lproj folder"));
    QVERIFY(report.text().contains(QStringLiteral("fr: 12 of 240 strings missing in Localizable")));

    QTemporaryDir clean;
    writeFiles(clean.path(), {{"Info.plist", infoPlist("en", {})},
                              {"en.lproj/Localizable.strings", "\"a\"=\"b\";"}});
    QCOMPARE(LocalizationCheck::run(clean.path()).summary(),
             QStringLiteral("No localization problems found."));
}

void LocalizationCheckTest::notABundleThrows() {
    QTemporaryDir folder;
    QVERIFY_THROWS_EXCEPTION(PlatformError, LocalizationCheck::run(folder.filePath("missing.app")));
}

QTEST_GUILESS_MAIN(LocalizationCheckTest)
#include "tst_localizationcheck.moc"
