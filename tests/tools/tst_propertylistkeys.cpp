#include "tools/PropertyList.h"
#include "tools/PropertyListKeys.h"

#include <QStringEncoder>
#include <QTest>
#include <QVariantMap>

namespace {

// What a reader made of the bytes: the sorted keys, "not a dictionary" or "refused: <reason>".
QString outcome(const std::function<std::optional<QSet<QString>>()> &read) {
    try {
        const std::optional<QSet<QString>> keys = read();
        if (!keys)
            return QStringLiteral("not a dictionary");
        QStringList sorted(keys->begin(), keys->end());
        sorted.sort();
        return sorted.join(QLatin1Char('|'));
    } catch (const PropertyList::ParseError &error) {
        return QStringLiteral("refused: ") + error.description();
    }
}

QString keysOnly(const QByteArray &bytes) {
    return outcome([&] { return PropertyListKeys::read(bytes); });
}

QString fullReader(const QByteArray &bytes) {
    return outcome([&]() -> std::optional<QSet<QString>> {
        const QVariant value = PropertyList::read(bytes);
        if (value.typeId() != QMetaType::QVariantMap)
            return std::nullopt;
        const QVariantMap map = value.toMap();
        return QSet<QString>(map.keyBegin(), map.keyEnd());
    });
}

QByteArray utf16(const QString &text) {
    QStringEncoder encoder(QStringConverter::Utf16LE, QStringConverter::Flag::WriteBom);
    return encoder.encode(text);
}

QByteArray xml(const QByteArray &body) {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\">" + body +
           "</plist>\n";
}

// A binary list with one-byte references and two-byte offsets; object 0 is the root.
QByteArray binary(const QList<QByteArray> &objects, const QByteArray &version = "00") {
    QByteArray out = "bplist" + version;
    QList<int> offsets;
    for (const QByteArray &object : objects) {
        offsets << int(out.size());
        out += object;
    }
    const int table = int(out.size());
    for (int offset : offsets)
        out += char(offset >> 8) + QByteArray(1, char(offset & 0xFF));
    out += QByteArray(6, '\0') + char(2) + char(1);
    const auto bigEndian = [](quint64 value) {
        QByteArray bytes(8, '\0');
        for (int i = 7; i >= 0; --i, value >>= 8)
            bytes[i] = char(value & 0xFF);
        return bytes;
    };
    return out + bigEndian(quint64(objects.size())) + bigEndian(0) + bigEndian(quint64(table));
}

QByteArray ascii(const QByteArray &text) {
    return char(0x50 | text.size()) + text;
}

QByteArray units(const QList<char16_t> &codeUnits) {
    QByteArray out(1, char(0x60 | codeUnits.size()));
    for (char16_t unit : codeUnits)
        out += char(unit >> 8) + QByteArray(1, char(unit & 0xFF));
    return out;
}

QByteArray dictionary(const QList<int> &keys, const QList<int> &values) {
    QByteArray out(1, char(0xD0 | keys.size()));
    for (int reference : keys + values)
        out += char(reference);
    return out;
}

// Any refusal, when its reason does not matter.
const QString refused = QStringLiteral("refused");
const QString malformed =
    QStringLiteral("refused: The data couldn’t be read because it isn’t in the correct format.");

} // namespace

class TestPropertyListKeys : public QObject {
    Q_OBJECT

private slots:
    void agreesWithTheFullReader_data();
    void agreesWithTheFullReader();
};

void TestPropertyListKeys::agreesWithTheFullReader_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("expected");

    // Text form.
    QTest::newRow("strings file") << QByteArray("/* a */ \"b\\U00e9\" = \"x\"; // c\n"
                                                "\"a\" = \"y\\\"z\";\nplain;")
                                  << QStringLiteral("a|bé|plain");
    QTest::newRow("UTF-16 strings file")
        << utf16(QStringLiteral("\"ключ\" = \"значение\";\n\"🎉\" = \"x\";"))
        << QStringLiteral("ключ|🎉");
    QTest::newRow("nested values")
        << QByteArray("{ a = { b = c; }; d = (e, { f = <0a0b>; }); }") << QStringLiteral("a|d");
    QTest::newRow("duplicate key") << QByteArray("a = 1; a = 2;") << QStringLiteral("a");
    QTest::newRow("empty text") << QByteArray(" \n") << QString();
    QTest::newRow("text array") << QByteArray("(a, b)") << QStringLiteral("not a dictionary");
    QTest::newRow("unterminated value")
        << QByteArray("a = \"b;\n")
        << QStringLiteral("refused: The data couldn’t be read because it isn’t in the correct "
                          "format. Unterminated quoted string starting at line 1.");
    QTest::newRow("escape at the end") << QByteArray("a = \"b\\") << refused;
    QTest::newRow("bad data value") << QByteArray("a = <0g>;") << refused;
    QTest::newRow("text nested too deep")
        << QByteArray("a = " + QByteArray(513, '(') + QByteArray(513, ')') + ";") << refused;

    // XML form.
    QTest::newRow("entities") << xml("<dict><key>a&amp;b&lt;&#x263A;&#65;&ltx;</key><true/>"
                                     "<key>&#x1F389;</key><false/></dict>")
                              << QStringLiteral("a&b<☺A<|🎉");
    QTest::newRow("CDATA and comments")
        << xml("<dict><key><![CDATA[x<y]]>z<!-- c --></key><integer>1</integer>"
               "<key>ab<!-- <key> -->cd</key><string/></dict>")
        << QStringLiteral("abcd|x<yz");
    QTest::newRow("nested dictionaries")
        << xml("<dict><key>outer</key><dict><key>inner</key><dict><key>deep</key>"
               "<string>x</string></dict></dict><key>list</key><array><dict/></array></dict>")
        << QStringLiteral("list|outer");
    QTest::newRow("key as a value")
        << xml("<dict><key>a</key><key>b</key></dict>") << QStringLiteral("a");
    QTest::newRow("key without a value")
        << xml("<dict><key>a</key><string>x</string><key>b</key></dict>") << QStringLiteral("a");
    QTest::newRow("after the root") << QByteArray("<plist><dict><key>a</key><data>AA==</data>"
                                                  "</dict></plist> <junk> & more")
                                    << QStringLiteral("a");
    QTest::newRow("empty root takes what follows")
        << xml("<dict/><key>a</key><string>x</string>") << QStringLiteral("a");
    QTest::newRow("NUL ends a key")
        << xml(QByteArray("<dict><key>ab") + '\0' + "cd</key><true/></dict>")
        << QStringLiteral("ab");
    QTest::newRow("bad entity in a value")
        << xml("<dict><key>a</key><string>&bogus;</string></dict>") << malformed;
    QTest::newRow("value without a key") << xml("<dict><string>x</string></dict>") << malformed;
    QTest::newRow("unclosed") << QByteArray("<plist><dict><key>a</key><true/>") << malformed;
    QTest::newRow("XML array") << xml("<array><string>a</string></array>")
                               << QStringLiteral("not a dictionary");
    QTest::newRow("XML nested too deep")
        << xml("<dict><key>a</key>" + QByteArray("<array>").repeated(520) +
               QByteArray("</array>").repeated(520) + "</dict>")
        << refused;

    // Binary form.
    QTest::newRow("ASCII keys") << binary({dictionary({1, 2}, {3, 3}), ascii("one"), ascii("two"),
                                           ascii("value")})
                                << QStringLiteral("one|two");
    QTest::newRow("UTF-16 key") << binary({dictionary({1}, {2}),
                                           units({0x043A, 0x043B, 0xD83C, 0xDF89}), ascii("v")})
                                << QStringLiteral("кл🎉");
    QTest::newRow("surrogates that do not pair")
        << binary({dictionary({1, 2}, {3, 3}), units({0xD800, 0x0041, 0xDC00, 0xDBFF}),
                   units({0xDC01, 0x0042, 0xD801, 0xD802, 0xDC02}), ascii("v")})
        << QStringLiteral("A𐀀|B");
    QTest::newRow("nested dictionary")
        << binary({dictionary({1}, {2}), ascii("outer"), dictionary({3}, {4}), ascii("inner"),
                   QByteArray("\x09", 1)})
        << QStringLiteral("outer");
    QTest::newRow("wide count") << binary({QByteArray("\xDF\x11\x00\x01\x01\x02", 6), ascii("k"),
                                           QByteArray("\x08", 1)})
                                << QStringLiteral("k");
    QTest::newRow("empty UTF-16 value")
        << binary({dictionary({1}, {2}), ascii("k"), QByteArray("\x60", 1)}) << malformed;
    QTest::newRow("number as a key")
        << binary({dictionary({1}, {2}), QByteArray("\x10\x05", 2), ascii("v")}) << malformed;
    QTest::newRow("large UID value")
        << binary({dictionary({1}, {2}), ascii("k"), QByteArray("\x84\x01\x00\x00\x00\x00", 6)})
        << malformed;
    QTest::newRow("reference past the objects")
        << binary({dictionary({1}, {7}), ascii("k")}) << refused;
    QTest::newRow("other version") << binary({dictionary({1}, {1}), ascii("k")}, "01") << malformed;
    QTest::newRow("binary array") << binary({QByteArray("\xA1\x01", 2), ascii("k")})
                                  << QStringLiteral("not a dictionary");
}

// Every input gives the expected outcome from the keys-only reader, and the same from the full
// reader.
void TestPropertyListKeys::agreesWithTheFullReader() {
    QFETCH(QByteArray, bytes);
    QFETCH(QString, expected);
    const QString keys = keysOnly(bytes);
    QCOMPARE(keys, fullReader(bytes));
    if (expected == refused)
        QVERIFY2(keys.startsWith(QStringLiteral("refused: ")), qPrintable(keys));
    else
        QCOMPARE(keys, expected);
}

QTEST_GUILESS_MAIN(TestPropertyListKeys)
#include "tst_propertylistkeys.moc"
