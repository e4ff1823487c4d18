#include "device/json.h"

#include <QRandomGenerator>
#include <QTest>

class TstJson : public QObject
{
    Q_OBJECT

private slots:
    void generatesCompactTextWithEscapes();
    void generatesNumbersInShortestForm();
    void looksUpMembersByNameAndPosition();
    void parsesLeniently_data();
    void parsesLeniently();
    void rejectsInvalidText_data();
    void rejectsInvalidText();
    void readsValuesAsText();
    void survivesHostileInput();
};

void TstJson::generatesCompactTextWithEscapes()
{
    TlkJSONobject o;
    o.Add(QStringLiteral("method"), "setLoftInfo");
    auto params = std::make_unique<TlkJSONobject>();
    params->Add(QStringLiteral("City"), "Brno");
    params->Add(QStringLiteral("Year"), 2016);
    o.Add(QStringLiteral("params"), std::move(params));
    QCOMPARE(TlkJSON::GenerateText(&o),
             QStringLiteral("{\"method\":\"setLoftInfo\",\"params\":{\"City\":\"Brno\",\"Year\":2016}}"));

    TlkJSONlist l;
    l.Add(QStringLiteral("a/b"));
    l.Add(QStringLiteral("t\tx"));
    l.Add(QString(QChar(1)));
    l.Add(QStringLiteral("q\"\\\b\f\n\r"));
    l.Add(QStringLiteral("Žluťoučký"));
    l.Add(true);
    l.Add(std::make_unique<TlkJSONnull>());
    QCOMPARE(TlkJSON::GenerateText(&l),
             QStringLiteral(
                 "[\"a\\/b\",\"t\\tx\",\"\\u0001\",\"q\\\"\\\\\\b\\f\\n\\r\",\"Žluťoučký\",true,null]"));

    // Round trip of every control character.
    QString all;
    for (int c = 0; c < 40; ++c)
        all += QChar(c);
    TlkJSONstring s(all);
    const auto back = TlkJSON::ParseText(TlkJSON::GenerateText(&s));
    QVERIFY(back);
    QCOMPARE(back->Value().toString(), all);
}

void TstJson::generatesNumbersInShortestForm()
{
    QCOMPARE(TlkJSON::NumberText(120000), QStringLiteral("120000"));
    QCOMPARE(TlkJSON::NumberText(-7), QStringLiteral("-7"));
    QCOMPARE(TlkJSON::NumberText(0.5), QStringLiteral("0.5"));
    QCOMPARE(TlkJSON::NumberText(0.1 + 0.2), QStringLiteral("0.3")); // 15 significant digits at most
    QCOMPARE(TlkJSON::NumberText(1700000000123.0), QStringLiteral("1700000000123"));
    QVERIFY(TlkJSON::NumberText(1e20).contains(QLatin1Char('e')));
    QVERIFY(TlkJSON::NumberText(1e-12).contains(QLatin1Char('e')));
    TlkJSONlist l;
    l.Add(std::numeric_limits<double>::infinity()); // not representable: never invalid output
    QCOMPARE(TlkJSON::GenerateText(&l), QStringLiteral("[null]"));
}

void TstJson::looksUpMembersByNameAndPosition()
{
    auto v = TlkJSON::ParseText(QStringLiteral("{\"error\":0,\"result\":{\"a\":1}}"));
    QVERIFY(v);
    QCOMPARE(v->SelfType(), TlkJSONtypes::jsObject);
    QCOMPARE(v->SelfTypeName(), QStringLiteral("jsObject"));
    QCOMPARE(v->Count(), 2);
    const TlkJSONbase *error = v->Field(QStringLiteral("error"));
    QVERIFY(error);
    QCOMPARE(error->SelfTypeName(), QStringLiteral("jsNumber"));
    QCOMPARE(error->Value().toDouble(), 0.0);
    const TlkJSONbase *result = v->Field(QStringLiteral("result"));
    QVERIFY(result && result->Field(QStringLiteral("a")));
    QCOMPARE(result->Field(QStringLiteral("a"))->Value().toDouble(), 1.0);
    QVERIFY(!result->Field(QStringLiteral("b")));
    QVERIFY(!v->Field(QStringLiteral("Error"))); // names keep their case
    QCOMPARE(v->Field(1), result);
    QVERIFY(!v->Field(2));
    QVERIFY(!error->Field(QStringLiteral("x"))); // look-up on a scalar gives none

    auto dup = TlkJSON::ParseText(QStringLiteral("{\"a\":1,\"a\":2}"));
    QVERIFY(dup);
    QCOMPARE(dup->Count(), 2);
    QCOMPARE(dup->Field(QStringLiteral("a"))->Value().toDouble(), 1.0);
    QCOMPARE(TlkJSON::GenerateText(dup.get()), QStringLiteral("{\"a\":1,\"a\":2}"));
}

void TstJson::parsesLeniently_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QString>("regenerated");
    QTest::newRow("list without commas") << QByteArray("[1 2 3]") << "[1,2,3]";
    QTest::newRow("trailing text ignored") << QByteArray("{\"a\":1} trailing text") << "{\"a\":1}";
    QTest::newRow("only first value") << QByteArray("[1][2]") << "[1]";
    QTest::newRow("white space up to 32")
        << QByteArray("\x01\x1f{ \"a\"\t:\n1 ,\r\"b\" :[ ] }") << "{\"a\":1,\"b\":[]}";
    QTest::newRow("byte order mark") << QByteArray("\xEF\xBB\xBF[true,false,null]") << "[true,false,null]";
    QTest::newRow("unicode escape") << QByteArray("\"\\u0041\"") << "\"A\"";
    QTest::newRow("surrogate pair") << QByteArray("\"\\uD83D\\uDE00\"") << QString::fromUtf8("\"😀\"");
    QTest::newRow("single quote escape") << QByteArray("\"it\\'s\"") << "\"it's\"";
    QTest::newRow("utf8 content") << QByteArray("\"Brn\xC4\x9B\"") << QString::fromUtf8("\"Brně\"");
    QTest::newRow("invalid utf8 kept as single-byte")
        << QByteArray("\"caf\xE9\"") << QString::fromUtf8("\"café\"");
    QTest::newRow("plus sign and exponent") << QByteArray("[+5,-2.5e1,3E+2]") << "[5,-25,300]";
    QTest::newRow("trailing comma") << QByteArray("[1,2,]") << "[1,2]";
    QTest::newRow("number then dot") << QByteArray("1.") << "1";
    QTest::newRow("nested") << QByteArray("{\"a\":{\"b\":[{\"c\":\"d\"}]}}")
                            << "{\"a\":{\"b\":[{\"c\":\"d\"}]}}";
}

void TstJson::parsesLeniently()
{
    QFETCH(QByteArray, text);
    QFETCH(QString, regenerated);
    const auto v = TlkJSON::ParseText(text);
    QVERIFY2(v, text.constData());
    QCOMPARE(TlkJSON::GenerateText(v.get()), regenerated);
}

void TstJson::rejectsInvalidText_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::newRow("empty") << QByteArray("");
    QTest::newRow("white only") << QByteArray("   ");
    QTest::newRow("member without value") << QByteArray("{\"a\":}");
    QTest::newRow("member without colon") << QByteArray("{\"a\" 1}");
    QTest::newRow("name not a string") << QByteArray("{a:1}");
    QTest::newRow("unclosed object") << QByteArray("{\"a\":1");
    QTest::newRow("unclosed list") << QByteArray("[1,2");
    QTest::newRow("unclosed string") << QByteArray("\"abc");
    QTest::newRow("truncated escape") << QByteArray("\"ab\\");
    QTest::newRow("short unicode escape") << QByteArray("\"\\u12\"");
    QTest::newRow("bad unicode escape") << QByteArray("\"\\uZZZZ\"");
    QTest::newRow("unknown escape") << QByteArray("\"\\q\"");
    QTest::newRow("bad element") << QByteArray("[1,?]");
    QTest::newRow("double comma") << QByteArray("[1,,2]");
    QTest::newRow("sign only") << QByteArray("-");
    QTest::newRow("number too large") << QByteArray("1e999");
    QTest::newRow("deep nesting") << QByteArray(TlkJSON::MaxDepth + 1, '[') +
                                         QByteArray(TlkJSON::MaxDepth + 1, ']');
}

void TstJson::rejectsInvalidText()
{
    QFETCH(QByteArray, text);
    QVERIFY(!TlkJSON::ParseText(text));
}

void TstJson::readsValuesAsText()
{
    const auto v = TlkJSON::ParseText(QStringLiteral("[12,1.5,\"x\",true,false,null,1700000000000,-3]"));
    QVERIFY(v);
    const QStringList expected = {"12", "1.5", "x", "True", "False", "", "1700000000000", "-3"};
    for (int i = 0; i < expected.size(); ++i)
        QCOMPARE(v->Child(i)->AsText(), expected.at(i));
    QCOMPARE(v->Child(0)->AsInteger(), 12);
    QCOMPARE(v->Child(6)->AsInteger(), Q_INT64_C(1700000000000));
    bool ok = true;
    v->Child(3)->AsInteger(&ok);
    QVERIFY(!ok);
    // Nesting just inside the limit still parses.
    const QByteArray deep = QByteArray(TlkJSON::MaxDepth, '[') + QByteArray(TlkJSON::MaxDepth, ']');
    QVERIFY(TlkJSON::ParseText(deep));
}

void TstJson::survivesHostileInput()
{
    QList<QByteArray> corpus = {
        QByteArray(1000000, '['),
        QByteArray(500000, '{'),
        QByteArray("{\"a\":").repeated(200000),
        QByteArray("[\"\\u"),
        QByteArray("\"\\uD800\""),
        QByteArray("\"\\uDC00\\uD800\""),
        QByteArray("\"\xFF\xFE\xC0\x80\xED\xA0\x80\""),
        QByteArray("1") + QByteArray(100000, '0'),
        QByteArray("0.") + QByteArray(100000, '1') + "e-99999999999999999999",
        QByteArray("-") + QByteArray(5000, '9') + ".9e+" + QByteArray(400, '9'),
        QByteArray("[") + QByteArray("1,").repeated(100000) + "]",
        QByteArray("\0\0\0", 3),
        QByteArray("tru"),
        QByteArray("nul"),
    };
    QRandomGenerator rng(20240501);
    static const char alpha[] = "{}[]\":,\\u0123456789abcdefE+-. truefalsnl\x00\xff\xc3";
    const QByteArray alphabet(alpha, sizeof alpha - 1);
    for (int i = 0; i < 3000; ++i) {
        QByteArray b;
        const int len = int(rng.bounded(60));
        for (int j = 0; j < len; ++j)
            b += alphabet.at(int(rng.bounded(int(alphabet.size()))));
        corpus << b;
    }
    int parsed = 0;
    for (const QByteArray &text : corpus) {
        const auto v = TlkJSON::ParseText(text);
        if (v) {
            ++parsed;
            // Whatever parses must regenerate into text that parses again.
            QVERIFY(TlkJSON::ParseText(TlkJSON::GenerateText(v.get())));
        }
    }
    QVERIFY(parsed > 0);
    QVERIFY(!TlkJSON::ParseText(corpus.at(0)));
}

QTEST_GUILESS_MAIN(TstJson)
#include "tst_json.moc"
