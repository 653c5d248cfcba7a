#include "tools/PropertyList.h"

#include <QDateTime>
#include <QFile>
#include <QStringEncoder>
#include <QTest>
#include <QTimeZone>

#include <plist/plist.h>

#include <cstdlib>

using PropertyList::ParseError;

namespace {

const QString malformed =
    QStringLiteral("The data couldn’t be read because it isn’t in the correct format.");

QVariantMap map(std::initializer_list<std::pair<const QString, QVariant>> entries) {
    return QVariantMap(entries);
}

QByteArray bigEndian(quint64 value, int size) {
    QByteArray out(size, '\0');
    for (int i = size - 1; i >= 0; --i, value >>= 8)
        out[i] = char(value & 0xFF);
    return out;
}

// A binary property list with 4-byte offsets and references; the trailer's object count can
// be forced to lie.
QByteArray binaryPlist(const QList<QByteArray> &objects, quint64 claimedCount = 0) {
    QByteArray out = "bplist00";
    QList<quint64> offsets;
    for (const QByteArray &object : objects) {
        offsets << quint64(out.size());
        out += object;
    }
    const quint64 table = quint64(out.size());
    for (quint64 offset : offsets)
        out += bigEndian(offset, 4);
    out += QByteArray(6, '\0') + char(4) + char(4);
    out += bigEndian(claimedCount ? claimedCount : quint64(objects.size()), 8);
    out += bigEndian(0, 8) + bigEndian(table, 8);
    return out;
}

QByteArray arrayObject(const QList<quint64> &references) {
    QByteArray out(1, char(0xA0 | references.size()));
    for (quint64 reference : references)
        out += bigEndian(reference, 4);
    return out;
}

QByteArray dictionaryObject(quint64 key, quint64 value) {
    return QByteArray(1, char(0xD1)) + bigEndian(key, 4) + bigEndian(value, 4);
}

// Every value type libplist writes, built once and written as XML or binary by the tests.
plist_t sampleTree() {
    plist_t root = plist_new_dict();
    plist_dict_set_item(root, "name", plist_new_string("Café 微信"));
    plist_dict_set_item(root, "negative", plist_new_uint(uint64_t(-5)));
    plist_dict_set_item(root, "big", plist_new_uint(9223372036854775807ull));
    plist_dict_set_item(root, "real", plist_new_real(2.5));
    plist_dict_set_item(root, "yes", plist_new_bool(1));
    plist_dict_set_item(root, "date", plist_new_date(599529600, 0)); // 2020-01-01
    plist_dict_set_item(root, "data", plist_new_data("\x00\x01\xFF", 3));
    plist_t array = plist_new_array();
    plist_array_append_item(array, plist_new_string("a"));
    plist_array_append_item(array, plist_new_dict());
    plist_dict_set_item(root, "array", array);
    return root;
}

QVariantMap sampleValue() {
    return map({{"name", QStringLiteral("Café 微信")},
                {"negative", qint64(-5)},
                {"big", qint64(9223372036854775807ll)},
                {"real", 2.5},
                {"yes", true},
                {"date", QDateTime(QDate(2020, 1, 1), QTime(0, 0), QTimeZone::utc())},
                {"data", QByteArray("\x00\x01\xFF", 3)},
                {"array", QVariantList{QStringLiteral("a"), QVariantMap()}}});
}

QByteArray written(plist_t tree, bool binary) {
    char *bytes = nullptr;
    uint32_t length = 0;
    if (binary)
        plist_to_bin(tree, &bytes, &length);
    else
        plist_to_xml(tree, &bytes, &length);
    QByteArray out(bytes, length);
    std::free(bytes);
    return out;
}

QByteArray dataFile(const char *name) {
    QFile file(QStringLiteral(TOOLS_TEST_DATA "/plist/") + QLatin1String(name));
    if (!file.open(QIODevice::ReadOnly))
        qFatal("missing test data %s", name);
    return file.readAll();
}

} // namespace

class TestPropertyList : public QObject {
    Q_OBJECT

private slots:
    void textForm_data();
    void textForm();
    void textErrors_data();
    void textErrors();
    void appReport();
    void xmlAndBinary();
    void xmlFile();
    void integersBeyondQint64();
    void hostileLibplistInput_data();
    void hostileLibplistInput();
};

void TestPropertyList::textForm_data() {
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<QVariant>("expected");
    const QVariant ab = map({{"a", QStringLiteral("b")}});

    QTest::newRow("empty document") << QByteArray() << QVariant(QVariantMap());
    QTest::newRow("only comments") << QByteArray(" // x\n /* y */ \n") << QVariant(QVariantMap());
    QTest::newRow("dictionary") << QByteArray("{ a = b; }") << ab;
    QTest::newRow("quotes") << QByteArray("{ \"a\" = 'b'; }") << ab;
    QTest::newRow("key alone") << QByteArray("{ a; }") << QVariant(map({{"a", "a"}}));
    QTest::newRow("later duplicate wins") << QByteArray("{ a = x; a = b; }") << ab;
    QTest::newRow("strings file") << QByteArray("\"a\" = \"b\";\n c; ")
                                  << QVariant(map({{"a", "b"}, {"c", "c"}}));
    QTest::newRow("root string") << QByteArray(" hello ") << QVariant(QStringLiteral("hello"));
    QTest::newRow("arrays") << QByteArray("( a, (), ( b, ), {} )")
                            << QVariant(QVariantList{"a", QVariantList(), QVariantList{"b"},
                                                     QVariantMap()});
    QTest::newRow("unquoted characters")
        << QByteArray("( /usr/bin:x.y-z_$9 )") << QVariant(QVariantList{"/usr/bin:x.y-z_$9"});
    QTest::newRow("comments between tokens")
        << QByteArray("{ a /* c */ = // c\r b; } // end") << ab;
    QTest::newRow("comment markers in strings")
        << QByteArray("( \"/* x */ // y\" )") << QVariant(QVariantList{"/* x */ // y"});
    QTest::newRow("raw newline and UTF-8") << QByteArray("( \"Caf\xC3\xA9\nOl\xC3\xA9\" )")
                                           << QVariant(QVariantList{QStringLiteral("Café\nOlé")});
    QTest::newRow("letter escapes") << QByteArray(R"(( "\a\b\f\n\r\t\v\"\\\q\'" ))")
                                    << QVariant(QVariantList{"\a\b\f\n\r\t\v\"\\q'"});
    QTest::newRow("backslash newline")
        << QByteArray("( \"a\\\nb\" )") << QVariant(QVariantList{"a\nb"});
    QTest::newRow("octal") << QByteArray(R"(( "\101\0005\351" ))")
                           << QVariant(QVariantList{QString(QChar(u'A')) + QChar(0) +
                                                    QStringLiteral("5Ø")});
    QTest::newRow("unicode escapes") << QByteArray(R"(( "\U00e9\U41\U00412" ))")
                                     << QVariant(QVariantList{QStringLiteral("éAA2")});
    QTest::newRow("Chinese") << QByteArray(R"(( "\U5fae\U4fe1" ))")
                             << QVariant(QVariantList{QStringLiteral("微信")});
    QTest::newRow("emoji surrogate pair") << QByteArray(R"(( "Go \Ud83d\Ude80!" ))")
                                          << QVariant(QVariantList{QStringLiteral("Go 🚀!")});
    QTest::newRow("lone surrogates")
        << QByteArray(R"(( "\Ud83dx", "\Ude80", "\Ud83d\Ud83d\Ude80" ))")
        << QVariant(QVariantList{QStringLiteral("\uFFFDx"), QStringLiteral("\uFFFD"),
                                 QStringLiteral("\uFFFD🚀")});
    QTest::newRow("data") << QByteArray("( <0fbd 77\n0A>, <> )")
                          << QVariant(QVariantList{QByteArray("\x0F\xBD\x77\x0A"), QByteArray()});
    QTest::newRow("UTF-8 byte-order mark") << QByteArray("\xEF\xBB\xBF{ a = b; }") << ab;
    QStringEncoder utf16(QStringConverter::Utf16LE);
    QTest::newRow("UTF-16 with byte-order mark")
        << QByteArray("\xFF\xFE") + QByteArray(utf16.encode(u"{ a = b; }")) << ab;
    QTest::newRow("line separator is white space") << QByteArray("{ a\xE2\x80\xA8= b; }") << ab;
    QTest::newRow(qPrintable(QStringLiteral("nesting %1 deep").arg(PropertyList::maximumNesting)))
        << QByteArray(PropertyList::maximumNesting, '(') +
               QByteArray(PropertyList::maximumNesting, ')')
        << QVariant([] {
               QVariant value = QVariantList();
               for (int i = 1; i < PropertyList::maximumNesting; ++i)
                   value = QVariantList{value};
               return value;
           }());
}

void TestPropertyList::textForm() {
    QFETCH(QByteArray, input);
    QFETCH(QVariant, expected);
    QCOMPARE(PropertyList::read(input), expected);
}

void TestPropertyList::textErrors_data() {
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<QString>("detail");

    QTest::newRow("unexpected character")
        << QByteArray("{\n  a = b;\n  c = ];\n}") << "Unexpected character ']' at line 3.";
    QTest::newRow("missing semicolon")
        << QByteArray("{ a = b }") << "Unexpected character '}' at line 1.";
    QTest::newRow("missing value")
        << QByteArray("{ a = ; }") << "Unexpected character ';' at line 1.";
    QTest::newRow("key is not a string")
        << QByteArray("{\r\n(a) = b; }") << "Unexpected character '(' at line 2.";
    QTest::newRow("empty array element")
        << QByteArray("( a, , b )") << "Unexpected character ',' at line 1.";
    QTest::newRow("after the root")
        << QByteArray("{ }\n\n( )") << "Unexpected character '(' at line 3.";
    QTest::newRow("strings file without semicolon")
        << QByteArray("a = b") << "Unexpected end of data at line 1; expected ';'.";
    QTest::newRow("truncated array")
        << QByteArray("{ a = ( b,\n c") << "Unexpected end of data at line 2; expected ')'.";
    QTest::newRow("truncated dictionary")
        << QByteArray("{ a = b;") << "Unexpected end of data at line 1; expected '}'.";
    QTest::newRow("only a key") << QByteArray("{ a = ") << "Unexpected end of data at line 1.";
    QTest::newRow("unterminated string")
        << QByteArray("{\n a = \"b;\n }") << "Unterminated quoted string starting at line 2.";
    QTest::newRow("unterminated after escape")
        << QByteArray("( 'a\\") << "Unterminated quoted string starting at line 1.";
    QTest::newRow("unterminated comment")
        << QByteArray("{ a = b; }\n/* x") << "Unterminated comment starting at line 2.";
    QTest::newRow("odd hex digits")
        << QByteArray("( <abc> )") << "Data at line 1 has an odd number of hex digits.";
    QTest::newRow("space inside a byte")
        << QByteArray("( <a b> )") << "Data at line 1 has an odd number of hex digits.";
    QTest::newRow("not hex") << QByteArray("( <zz> )") << "Unexpected character 'z' at line 1.";
    QTest::newRow("unterminated data")
        << QByteArray("( <ab") << "Unterminated data starting at line 1.";
    QTest::newRow("embedded NUL") << QByteArray("{ a = b;\n\0 }", 12)
                                  << "Unexpected character U+0000 at line 2.";
    QTest::newRow("garbage bytes")
        << QByteArray("\x80\x81") << "Unexpected character byte 0x80 at line 1.";
    QTest::newRow("non-ASCII outside quotes")
        << QByteArray("( caf\xC3\xA9 )") << "Unexpected character 'é' at line 1.";
    QTest::newRow("too deep") << QByteArray(PropertyList::maximumNesting + 1, '(')
                              << "Nesting deeper than 512 levels at line 1.";
    QTest::newRow("far too deep") << QByteArray("{a=").repeated(1'000'000)
                                  << "Nesting deeper than 512 levels at line 1.";
}

void TestPropertyList::textErrors() {
    QFETCH(QByteArray, input);
    QFETCH(QString, detail);
    try {
        const QVariant value = PropertyList::read(input);
        QFAIL(qPrintable(QStringLiteral("parsed as %1").arg(QDebug::toString(value))));
    } catch (const ParseError &error) {
        QCOMPARE(error.description(), malformed + QLatin1Char(' ') + detail);
    }
}

void TestPropertyList::appReport() {
    const QVariantMap apps = PropertyList::read(dataFile("listapps.txt")).toMap();
    QCOMPARE(apps.keys(),
             QStringList({"com.apple.mobilesafari", "com.example.rocket", "com.tencent.xin"}));
    const QVariantMap rocket = apps.value("com.example.rocket").toMap();
    QCOMPARE(rocket.value("CFBundleDisplayName"), QVariant(QStringLiteral("Rocket 🚀")));
    QCOMPARE(rocket.value("CFBundleVersion"), QVariant(QStringLiteral("42")));
    QCOMPARE(rocket.value("SBAppTags"), QVariant(QVariantList{"hidden", "watch-companion"}));
    QCOMPARE(rocket.value("GroupContainers"), QVariant(QVariantMap()));
    QCOMPARE(apps.value("com.tencent.xin").toMap().value("CFBundleDisplayName"),
             QVariant(QStringLiteral("微信")));
    QVERIFY(apps.value("com.apple.mobilesafari")
                .toMap()
                .value("Path")
                .toString()
                .contains(QStringLiteral("iOS 18.1.simruntime")));
}

void TestPropertyList::xmlAndBinary() {
    plist_t tree = sampleTree();
    const QByteArray xml = written(tree, false);
    const QByteArray binary = written(tree, true);
    plist_free(tree);
    QVERIFY(binary.startsWith("bplist00"));
    QCOMPARE(PropertyList::read(xml), QVariant(sampleValue()));
    QCOMPARE(PropertyList::read(binary), QVariant(sampleValue()));
    QCOMPARE(PropertyList::read("\xEF\xBB\xBF  \n" + xml), QVariant(sampleValue()));
}

void TestPropertyList::xmlFile() {
    const QVariantMap info = PropertyList::read(dataFile("Info.xml")).toMap();
    QCOMPARE(info.value("CFBundleDisplayName"), QVariant(QStringLiteral("Café & Bar")));
    QCOMPARE(info.value("CFBundleLocalizations"), QVariant(QVariantList{"en", "zh-Hans"}));
    QCOMPARE(info.value("LSRequiresIPhoneOS"), QVariant(true));
    QCOMPARE(info.value("UIDeviceFamily"), QVariant(QVariantList{qint64(1), qint64(2)}));
    QCOMPARE(info.value("CFBundleIcons")
                 .toMap()
                 .value("CFBundlePrimaryIcon")
                 .toMap()
                 .value("CFBundleIconFiles"),
             QVariant(QVariantList{"AppIcon60x60"}));
}

void TestPropertyList::integersBeyondQint64() {
    const QVariant value =
        PropertyList::read("<plist><array><integer>-9223372036854775808</integer>"
                           "<integer>18446744073709551615</integer></array></plist>");
    const QVariantList items = value.toList();
    QCOMPARE(items.size(), 2);
    QCOMPARE(items[0].typeId(), QMetaType::LongLong);
    QCOMPARE(items[0].toLongLong(), std::numeric_limits<qint64>::min());
    QCOMPARE(items[1].typeId(), QMetaType::ULongLong);
    QCOMPARE(items[1].toULongLong(), std::numeric_limits<quint64>::max());
}

void TestPropertyList::hostileLibplistInput_data() {
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<QString>("detail");

    plist_t tree = sampleTree();
    const QByteArray binary = written(tree, true);
    const QByteArray xml = written(tree, false);
    plist_free(tree);
    const QString tooDeep = QStringLiteral("Containers are nested more than 512 levels deep.");

    QTest::newRow("truncated binary") << binary.left(binary.size() / 2) << QString();
    QTest::newRow("binary magic only") << QByteArray("bplist00") << QString();
    QTest::newRow("binary garbage") << QByteArray("bplist00") + QByteArray(64, '\xFF') << QString();
    QTest::newRow("huge object count")
        << binaryPlist({arrayObject({})}, quint64(1) << 62) << QString();
    QTest::newRow("binary contains itself")
        << binaryPlist({arrayObject({0})}) << QStringLiteral("An object contains itself.");
    QList<QByteArray> chain;
    for (quint64 i = 0; i < 100'000; ++i)
        chain << arrayObject({i + 1});
    chain << arrayObject({});
    QTest::newRow("binary nested 100000 deep") << binaryPlist(chain) << tooDeep;
    QList<QByteArray> doubling;
    for (quint64 i = 0; i < 64; ++i)
        doubling << arrayObject({i + 1, i + 1});
    doubling << arrayObject({});
    QTest::newRow("binary shared objects doubling 64 times")
        << binaryPlist(doubling) << QStringLiteral("It expands into more than 4194304 values.");
    QTest::newRow("binary key with NUL")
        << binaryPlist({dictionaryObject(1, 2),
                        QByteArray("\x53"
                                   "a\0b",
                                   4),
                        "\x51x"})
        << QStringLiteral("A dictionary key contains a NUL character.");
    QTest::newRow("binary UTF-16 key with NUL")
        << binaryPlist({dictionaryObject(1, 2), QByteArray("\x62\0a\0\0", 5), "\x51x"})
        << QStringLiteral("A dictionary key contains a NUL character.");
    QTest::newRow("truncated XML") << xml.left(xml.size() / 2) << QString();
    QTest::newRow("XML garbage") << QByteArray("<plist><dict><key>a</key><strin") << QString();
    QTest::newRow("XML nested 100000 deep")
        << "<plist>" + QByteArray("<array>").repeated(100'000) +
               QByteArray("</array>").repeated(100'000) + "</plist>"
        << tooDeep;
    QTest::newRow("XML unbalanced 100000 deep")
        << "<plist>" + QByteArray("<dict>").repeated(100'000) << tooDeep;
    QTest::newRow("XML closing tags hidden in a comment")
        << "<plist><!--" + QByteArray("</array>").repeated(600) + "-->" +
               QByteArray("<array>").repeated(600) + QByteArray("</array>").repeated(600) +
               "</plist>"
        << tooDeep;
}

void TestPropertyList::hostileLibplistInput() {
    QFETCH(QByteArray, input);
    QFETCH(QString, detail);
    try {
        PropertyList::read(input);
        QFAIL("hostile input was accepted");
    } catch (const ParseError &error) {
        QCOMPARE(error.description(),
                 detail.isEmpty() ? malformed : malformed + QLatin1Char(' ') + detail);
    }
}

QTEST_GUILESS_MAIN(TestPropertyList)
#include "tst_propertylist.moc"
