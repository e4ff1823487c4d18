#include "device/desencrypt.h"
#include "rig.h"
#include "store/appclock.h"

class TstVerify : public QObject
{
    Q_OBJECT

private slots:
    void desMatchesPublishedVectors_data();
    void desMatchesPublishedVectors();
    void derivesPasswordFromDeviceNumber();
    void digests();
    void verifiesAndTakesKeyFromDigestBytes5To12();
    void wrongPasswordFailsAtProof();
    void shortVerificationReplyFails();
    void challengeBytesStayBelow255();
    void initialisesOwnerAndPassword();
    void nowUtcFollowsAppClock();
};

void TstVerify::desMatchesPublishedVectors_data()
{
    QTest::addColumn<QByteArray>("key");
    QTest::addColumn<QByteArray>("plain");
    QTest::addColumn<QByteArray>("cipher");
    // The classic worked example, FIPS 81 / NBS SP 500-20 vectors.
    QTest::newRow("worked example") << QByteArray::fromHex("133457799BBCDFF1")
                                    << QByteArray::fromHex("0123456789ABCDEF")
                                    << QByteArray::fromHex("85E813540F0AB405");
    QTest::newRow("zero cipher") << QByteArray::fromHex("0E329232EA6D0D73")
                                 << QByteArray::fromHex("8787878787878787")
                                 << QByteArray::fromHex("0000000000000000");
    QTest::newRow("sp500-20 plaintext bit 1")
        << QByteArray::fromHex("0101010101010101") << QByteArray::fromHex("8000000000000000")
        << QByteArray::fromHex("95F8A5E5DD31D900");
    QTest::newRow("sp500-20 key bit 1")
        << QByteArray::fromHex("8001010101010101") << QByteArray::fromHex("0000000000000000")
        << QByteArray::fromHex("95A8D72813DAA94D");
    QTest::newRow("fips81 text") << QByteArray::fromHex("0123456789ABCDEF") << QByteArray("Now is t")
                                 << QByteArray::fromHex("3FA40E8A984D4815");
}

void TstVerify::desMatchesPublishedVectors()
{
    QFETCH(QByteArray, key);
    QFETCH(QByteArray, plain);
    QFETCH(QByteArray, cipher);
    unsigned char out[8] = {};
    QCOMPARE(DesEncrypt(out, 8, reinterpret_cast<const uchar *>(plain.constData()), 8,
                        reinterpret_cast<const uchar *>(key.constData()), 8),
             0);
    QCOMPARE(QByteArray(reinterpret_cast<const char *>(out), 8), cipher);
    // Wrong sizes are refused and leave the output alone.
    unsigned char untouched[8] = {};
    QCOMPARE(DesEncrypt(untouched, 7, reinterpret_cast<const uchar *>(plain.constData()), 8,
                        reinterpret_cast<const uchar *>(key.constData()), 8),
             -1);
    QCOMPARE(QByteArray(reinterpret_cast<const char *>(untouched), 8), QByteArray(8, '\0'));
}

void TstVerify::derivesPasswordFromDeviceNumber()
{
    // The data block is the device number's characters, the key "57460318".
    unsigned char out[8];
    DesEncrypt(out, 8, reinterpret_cast<const uchar *>("1A2B3C4D"), 8,
               reinterpret_cast<const uchar *>("57460318"), 8);
    const QString expected =
        QString::fromLatin1(QByteArray(reinterpret_cast<const char *>(out), 8).toHex().toUpper());
    QCOMPARE(TWinApiV8::DiverseKey(QStringLiteral("1A2B3C4D")), expected);
    QCOMPARE(expected.size(), 16);
    QVERIFY(TWinApiV8::DiverseKey(QStringLiteral("1A2B3C4E")) != expected);
}

void TstVerify::digests()
{
    QCOMPARE(TWinApiV8::DoMD5Array(QByteArray("abc")).toHex(),
             QByteArray("900150983cd24fb0d6963f7d28e17f72"));
    QCOMPARE(TWinApiV8::DoMD5Array(QByteArray("a\0b", 3)).size(), 16); // bytes as passed, NUL included
    QVERIFY(TWinApiV8::DoMD5Array(QByteArray("a\0b", 3)) != TWinApiV8::DoMD5Array(QByteArray("a")));
    QCOMPARE(TWinApiV8::DoMD5(QStringLiteral("abc")), QStringLiteral("90015098"));
    QCOMPARE(TWinApiV8::DoMD5(QString()), QStringLiteral("D41D8CD9"));
}

void TstVerify::verifiesAndTakesKeyFromDigestBytes5To12()
{
    Rig rig;
    QString no, owner;
    QVERIFY(rig.api->GetDeviceNo(no, owner));
    const QString password = TWinApiV8::DiverseKey(no);
    QByteArray rdev, rpc, key;
    QVERIFY(rig.api->ComVerify(no, password, rdev, rpc, key));
    QCOMPARE(rpc.size(), 4);
    QCOMPARE(rdev.size(), 4);
    QCOMPARE(rig.sim.lastRequestFrame().mid(4, 4), rpc);
    const QByteArray d =
        TWinApiV8::DoMD5Array(rpc + rdev + QByteArray::fromHex("1A2B3C4D") + password.toLatin1());
    QCOMPARE(key, d.mid(4, 8));
    QVERIFY(key != d.left(8));
    QCOMPARE(key, rig.sim.sessionKey());
    QCOMPARE(rig.sim.lastReplyFrame().mid(9, 4), d.left(4)); // the device's proof
}

void TstVerify::wrongPasswordFailsAtProof()
{
    Rig rig;
    QString password = TWinApiV8::DiverseKey(rig.deviceNo);
    password[15] = password[15] == QLatin1Char('0') ? QLatin1Char('1') : QLatin1Char('0');
    rig.clock().password = password; // the device holds another password
    QByteArray rdev, rpc, key = "old";
    QVERIFY(!rig.api->ComVerify(rig.deviceNo, TWinApiV8::DiverseKey(rig.deviceNo), rdev, rpc, key));
    QCOMPARE(key, QByteArray("old"));
    QCOMPARE(rpc.size(), 4);
    QCOMPARE(rdev.size(), 4);
    QVERIFY(rig.api->ComVerify(rig.deviceNo, password, rdev, rpc, key));
    // A device number that is not hexadecimal never reaches the device.
    const int sent = rig.sim.requestCount();
    QVERIFY(!rig.api->ComVerify(QStringLiteral("XYZ"), password, rdev, rpc, key));
    QCOMPARE(rig.sim.requestCount(), sent);
}

void TstVerify::shortVerificationReplyFails()
{
    Rig rig;
    rig.sim.injectFault(QStringLiteral("reply:1234567@ComVerify")); // a 7-byte body
    QByteArray rdev = "keep", rpc, key = "keep";
    QVERIFY(!rig.api->ComVerify(rig.deviceNo, TWinApiV8::DiverseKey(rig.deviceNo), rdev, rpc, key));
    QCOMPARE(rdev, QByteArray("keep"));
    QCOMPARE(key, QByteArray("keep"));
    QCOMPARE(rpc.size(), 4);
    QVERIFY(rig.api->lastError().contains(QLatin1String("short")));
}

void TstVerify::challengeBytesStayBelow255()
{
    int counts[256] = {};
    for (int i = 0; i < 40000; ++i)
        for (const char b : TWinApiV8::RandomChallenge())
            ++counts[uchar(b)];
    QCOMPARE(counts[255], 0);
    QVERIFY(counts[0] > 0);
    QVERIFY(counts[254] > 0);
}

void TstVerify::initialisesOwnerAndPassword()
{
    Rig rig;
    const QString password = TWinApiV8::DiverseKey(rig.deviceNo);
    rig.clock().owner = QStringLiteral("factory");
    rig.clock().password = QStringLiteral("0000000000000000");
    QString reply = QStringLiteral("untouched");
    QVERIFY(rig.api->DeviceInit(rig.deviceNo, QStringLiteral("001"), password, reply));
    QCOMPARE(reply, QStringLiteral("untouched"));
    const QByteArray body = rig.sim.lastRequestFrame().mid(4, 24);
    QCOMPARE(rig.sim.lastRequestFrame().size(), 24 + 5);
    QCOMPARE(body.left(20), QByteArray("001,") + password.toLatin1());
    QCOMPARE(rig.clock().owner, QStringLiteral("001"));
    QCOMPARE(rig.clock().password, password);
    QString no, owner;
    QVERIFY(rig.api->GetDeviceNo(no, owner));
    QCOMPARE(owner, QStringLiteral("001"));
    QVERIFY(rig.verify());

    // A wrong authenticator (randoms of another challenge) is refused by the device.
    rig.sim.injectFault(QStringLiteral("silence@ComVerify"));
    QVERIFY(!rig.api->DeviceInit(rig.deviceNo, QStringLiteral("002"), password, reply));
    QCOMPARE(rig.clock().owner, QStringLiteral("001"));
}

void TstVerify::nowUtcFollowsAppClock()
{
    const QDateTime fixed(QDate(2024, 5, 1), QTime(12, 0), Qt::UTC);
    AppClock::setFixed(fixed.toLocalTime());
    QCOMPARE(TWinApiV8::NowUTC(), fixed);
    QCOMPARE(TWinApiV8::NowUTC().timeSpec(), Qt::UTC);
    AppClock::setFixed({});
}

QTEST_GUILESS_MAIN(TstVerify)
#include "tst_verify.moc"
