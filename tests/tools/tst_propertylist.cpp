#include "tools/PropertyList.h"
#include "tools/PropertyListStructureCheck.h"

#include <QDateTime>
#include <QStringEncoder>
#include <QTest>
#include <QTimeZone>

#include <plist/plist.h>

#include <cstdlib>

namespace {

const QString malformed =
    QStringLiteral("The data couldn’t be read because it isn’t in the correct format.");

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

// Every value type, written by libplist as XML or binary; sampleValue() is what it reads as.
QByteArray sample(bool binary) {
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
    char *bytes = nullptr;
    uint32_t length = 0;
    (binary ? plist_to_bin : plist_to_xml)(root, &bytes, &length);
    QByteArray out(bytes, length);
    std::free(bytes);
    plist_free(root);
    return out;
}

QVariant sampleValue() {
    return QVariantMap{{"name", QStringLiteral("Café 微信")},
                       {"negative", qint64(-5)},
                       {"big", qint64(9223372036854775807ll)},
                       {"real", 2.5},
                       {"yes", true},
                       {"date", QDateTime(QDate(2020, 1, 1), QTime(0, 0), QTimeZone::utc())},
                       {"data", QByteArray("\x00\x01\xFF", 3)},
                       {"array", QVariantList{QStringLiteral("a"), QVariantMap()}}};
}

} // namespace

class TestPropertyList : public QObject {
    Q_OBJECT

private slots:
    void reads_data() {
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<QVariant>("expected");
        const auto reads = [](const char *name, const QByteArray &input, const QVariant &value) {
            QTest::newRow(name) << input << value;
        };
        const auto list = [](const QString &text) { return QVariant(QVariantList{text}); };
        const QVariant ab = QVariantMap{{"a", QStringLiteral("b")}};

        // The text form.
        reads("empty document", QByteArray(), QVariantMap());
        reads("only comments", " // x\n /* y */ \n", QVariantMap());
        reads("comments do not nest", "( a /* /* */, b )", QVariantList{"a", "b"});
        reads("quotes, key alone, later duplicate wins", "{ \"a\" = 'x'; k; a = b; }",
              QVariantMap{{"a", "b"}, {"k", "k"}});
        reads("strings file", "\"a\" = \"b\";\n c; ", QVariantMap{{"a", "b"}, {"c", "c"}});
        reads("root string", " hello ", QStringLiteral("hello"));
        reads("arrays, trailing comma", "( a, (), ( b, ), {} )",
              QVariantList{"a", QVariantList(), QVariantList{"b"}, QVariantMap()});
        reads("unquoted characters", "( /usr/bin:x.y-z_$9 )", list("/usr/bin:x.y-z_$9"));
        reads("comments between tokens, not in strings", "{ a /* c */ = // c\r '/* x */ // y'; }",
              QVariantMap{{"a", "/* x */ // y"}});
        reads("raw newline and UTF-8", "( \"Caf\xC3\xA9\nOl\xC3\xA9\" )", list("Café\nOlé"));
        reads("letter escapes, backslash newline",
              "( \"\\a\\b\\f\\n\\r\\t\\v\\\"\\\\\\q\\'\\\n\" )", list("\a\b\f\n\r\t\v\"\\q'\n"));
        reads("octal", R"(( "\101\0005\351" ))", list(QStringLiteral("A") + QChar(0) + "5Ø"));
        reads("unicode escapes", R"(( "\U00e9\U41\U00412\U5fae\U4fe1" ))", list("éAA2微信"));
        reads("surrogate pairs, lone surrogates",
              R"(( "\Ud83d\Ude80!\Ud83dx\Ude80\Ud83d\Ud83d\Ude80" ))",
              list(QStringLiteral("🚀!\uFFFDx\uFFFD\uFFFD🚀")));
        reads("data", "( <0fbd 77\n0A>, <> )",
              QVariantList{QByteArray("\x0F\xBD\x77\x0A"), QByteArray()});
        reads("UTF-8 byte-order mark", "\xEF\xBB\xBF{ a = b; }", ab);
        QStringEncoder utf16(QStringConverter::Utf16LE);
        reads("UTF-16 with byte-order mark", "\xFF\xFE" + QByteArray(utf16.encode(u"{ a = b; }")),
              ab);
        reads("line separator is white space", "{ a\xE2\x80\xA8= b; }", ab);
        QVariant deepest = QVariantList();
        for (int i = 1; i < PropertyList::maximumNesting; ++i)
            deepest = QVariantList{deepest};
        reads("nesting at the bound",
              QByteArray(PropertyList::maximumNesting, '(') +
                  QByteArray(PropertyList::maximumNesting, ')'),
              deepest);

        // XML and binary, through libplist.
        reads("XML", sample(false), sampleValue());
        reads("binary", sample(true), sampleValue());
        reads("XML after byte-order mark and white space", "\xEF\xBB\xBF  \n" + sample(false),
              sampleValue());
        reads("XML with doctype, comment and entities",
              "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<!DOCTYPE plist PUBLIC \"-//Apple//DTD "
              "PLIST 1.0//EN\" \"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">\n<plist "
              "version=\"1.0\"><dict><!-- c --><key>a</key><string>Caf&#233; &amp; "
              "Bar</string></dict></plist>",
              QVariantMap{{"a", QStringLiteral("Café & Bar")}});
        reads(
            "integers beyond qint64",
            "<plist><array><integer>-9223372036854775808</integer>"
            "<integer>18446744073709551615</integer></array></plist>",
            QVariantList{std::numeric_limits<qint64>::min(), std::numeric_limits<quint64>::max()});
    }

    void reads() {
        QFETCH(QByteArray, input);
        QFETCH(QVariant, expected);
        // The debug text names every nested value's type, so integer kinds must match too.
        QCOMPARE(QDebug::toString(PropertyList::read(input)), QDebug::toString(expected));
    }

    void rejects_data() {
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<QString>("detail");
        const auto fails = [](const char *name, const QByteArray &input, const QString &detail) {
            QTest::newRow(name) << input << detail;
        };

        // The text form, with the line of the fault.
        fails("unexpected character", "{\n  a = b;\n  c = ];\n}",
              "Unexpected character ']' at line 3.");
        fails("missing semicolon", "{ a = b }", "Unexpected character '}' at line 1.");
        fails("missing value", "{ a = ; }", "Unexpected character ';' at line 1.");
        fails("key is not a string", "{\r\n(a) = b; }", "Unexpected character '(' at line 2.");
        fails("empty array element", "( a, , b )", "Unexpected character ',' at line 1.");
        fails("after the root", "{ }\n\n( )", "Unexpected character '(' at line 3.");
        fails("strings file without semicolon", "a = b",
              "Unexpected end of data at line 1; expected ';'.");
        fails("truncated array", "{ a = ( b,\n c",
              "Unexpected end of data at line 2; expected ')'.");
        fails("truncated dictionary", "{ a = b;",
              "Unexpected end of data at line 1; expected '}'.");
        fails("only a key", "{ a = ", "Unexpected end of data at line 1.");
        fails("unterminated string", "{\n a = \"b;\n }",
              "Unterminated quoted string starting at line 2.");
        fails("unterminated after escape", "( 'a\\",
              "Unterminated quoted string starting at line 1.");
        fails("unterminated comment", "{ a = b; }\n/* x",
              "Unterminated comment starting at line 2.");
        fails("odd hex digits", "( <abc> )", "Data at line 1 has an odd number of hex digits.");
        fails("space inside a byte", "( <a b> )",
              "Data at line 1 has an odd number of hex digits.");
        fails("not hex", "( <zz> )", "Unexpected character 'z' at line 1.");
        fails("unterminated data", "( <ab", "Unterminated data starting at line 1.");
        fails("embedded NUL", QByteArray("{ a = b;\n\0 }", 12),
              "Unexpected character U+0000 at line 2.");
        fails("garbage bytes", "\x80\x81", "Unexpected character byte 0x80 at line 1.");
        fails("non-ASCII outside quotes", "( caf\xC3\xA9 )", "Unexpected character 'é' at line 1.");
        const QString textTooDeep = QStringLiteral("Nesting deeper than 512 levels at line 1.");
        fails("one past the bound", QByteArray(PropertyList::maximumNesting + 1, '('), textTooDeep);
        fails("far too deep", QByteArray("{a=").repeated(1'000'000), textTooDeep);

        // XML and binary: hostile input gets a clear error before libplist could crash or hang.
        const QByteArray binary = sample(true), xml = sample(false);
        const QString tooDeep = QStringLiteral("Containers are nested more than 512 levels deep.");
        fails("truncated binary", binary.left(binary.size() / 2), QString());
        fails("binary magic only", "bplist00", QString());
        fails("binary garbage", "bplist00" + QByteArray(64, '\xFF'), QString());
        fails("huge object count", binaryPlist({arrayObject({})}, quint64(1) << 62), QString());
        fails("binary contains itself", binaryPlist({arrayObject({0})}),
              "An object contains itself.");
        QList<QByteArray> chain, doubling;
        for (quint64 i = 0; i < 100'000; ++i)
            chain << arrayObject({i + 1});
        for (quint64 i = 0; i < 64; ++i)
            doubling << arrayObject({i + 1, i + 1});
        fails("binary nested 100000 deep", binaryPlist(chain << arrayObject({})), tooDeep);
        const auto expandsBeyondLimit = [](const QByteArray &input) {
            return QStringLiteral("It expands into more than %1 values.")
                .arg(PropertyListStructureCheck::expansionLimit(input.size()));
        };
        const QByteArray doubled64 = binaryPlist(doubling << arrayObject({}));
        fails("binary shared objects doubling 64 times", doubled64, expandsBeyondLimit(doubled64));
        // Found by fuzzing: 207 bytes that took libplist 21 seconds and a gigabyte to expand.
        const QByteArray doubled40 = QByteArray::fromHex(
            "62706c6973743030a20101a20202a20303a20404a20505a20606a20707a20808a20909a20a0aa20b0ba2"
            "0c0ca20d0da20e0ea20f0fa21010a21111a21212a21313a21414118000a21616a21717a21818a21919a2"
            "1a1aa21b1bab1c1ca21d1da21e1ea21f1fa22020a2ee21a22222a22323a22424a22525a22626a22727a2"
            "28285576616c7565080b0e1114171a1d202326292c2f3235383b3e4144474a4d505356595c5f6265686b"
            "6e7174777a7d800000000000000101000000000000002900000000000000000000000000000086");
        fails("binary shared objects in a small input", doubled40, expandsBeyondLimit(doubled40));
        const QByteArray dictionary = QByteArray(1, char(0xD1)) + bigEndian(1, 4) + bigEndian(2, 4);
        fails("binary key with NUL",
              binaryPlist({dictionary, char(0x53) + QByteArray("a\0b", 3), "\x51x"}),
              "A dictionary key contains a NUL character.");
        fails("binary UTF-16 key with NUL",
              binaryPlist({dictionary, QByteArray("\x62\0a\0\0", 5), "\x51x"}),
              "A dictionary key contains a NUL character.");
        fails("truncated XML", xml.left(xml.size() / 2), QString());
        fails("XML nested 100000 deep",
              "<plist>" + QByteArray("<array>").repeated(100'000) +
                  QByteArray("</array>").repeated(100'000) + "</plist>",
              tooDeep);
        fails("XML unbalanced 100000 deep", "<plist>" + QByteArray("<dict>").repeated(100'000),
              tooDeep);
        fails("XML closing tags hidden in a comment",
              "<plist><!--" + QByteArray("</array>").repeated(600) + "-->" +
                  QByteArray("<array>").repeated(600) + QByteArray("</array>").repeated(600) +
                  "</plist>",
              tooDeep);
    }

    void rejects() {
        QFETCH(QByteArray, input);
        QFETCH(QString, detail);
        try {
            const QVariant value = PropertyList::read(input);
            QFAIL(qPrintable(QStringLiteral("parsed as %1").arg(QDebug::toString(value))));
        } catch (const PropertyList::ParseError &error) {
            QCOMPARE(error.description(), detail.isEmpty() ? malformed : malformed + ' ' + detail);
        }
    }
};

QTEST_GUILESS_MAIN(TestPropertyList)
#include "tst_propertylist.moc"
