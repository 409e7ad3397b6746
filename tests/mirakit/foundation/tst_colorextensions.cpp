#include <mirakit/foundation/ColorExtensions.h>

#include <QTest>

#include <limits>

namespace {
// Channels as 8-bit numbers plus alpha in thousandths: compact to compare
// and immune to the colour's internal 16-bit rounding.
QString describe(const QColor &color)
{
    if (!color.isValid())
        return QStringLiteral("invalid");
    return QStringLiteral("%1,%2,%3@%4")
        .arg(color.red())
        .arg(color.green())
        .arg(color.blue())
        .arg(qRound(color.alphaF() * 1000));
}
} // namespace

class ColorExtensionsTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void rgbFromNumber_data()
    {
        QTest::addColumn<quint32>("hex");
        QTest::addColumn<qreal>("alpha");
        QTest::addColumn<QString>("expected");
        QTest::newRow("green accent") << quint32(0x3BE5A2) << 1.0 << QStringLiteral("59,229,162@1000");
        QTest::newRow("half alpha") << quint32(0xFF0000) << 0.5 << QStringLiteral("255,0,0@500");
        QTest::newRow("top byte ignored") << quint32(0xAB0000FF) << 1.0 << QStringLiteral("0,0,255@1000");
        QTest::newRow("alpha above one") << quint32(0x00FF00) << 2.0 << QStringLiteral("0,255,0@1000");
        QTest::newRow("negative alpha") << quint32(0x00FF00) << -3.0 << QStringLiteral("0,255,0@0");
        QTest::newRow("nan alpha") << quint32(0x000000) << std::numeric_limits<qreal>::quiet_NaN()
                                   << QStringLiteral("0,0,0@1000");
    }
    void rgbFromNumber()
    {
        QFETCH(quint32, hex);
        QFETCH(qreal, alpha);
        QFETCH(QString, expected);
        QCOMPARE(describe(mira::rgb(hex, alpha)), expected);
    }

    void rgbDefaultsToOpaque()
    {
        QCOMPARE(describe(mira::rgb(0x102030)), QStringLiteral("16,32,48@1000"));
        QCOMPARE(describe(mira::rgb(QStringLiteral("102030"))), QStringLiteral("16,32,48@1000"));
    }

    void rgbFromText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<qreal>("alpha");
        QTest::addColumn<QString>("expected");
        QTest::newRow("short white half alpha") << QStringLiteral("#FFF") << 0.5 << QStringLiteral("255,255,255@500");
        QTest::newRow("0x prefix, alpha clamped")
            << QStringLiteral("0x00ff00") << 2.0 << QStringLiteral("0,255,0@1000");
        QTest::newRow("upper-case prefix") << QStringLiteral("0X3BE5A2") << 1.0 << QStringLiteral("59,229,162@1000");
        QTest::newRow("no prefix") << QStringLiteral("3be5a2") << 0.25 << QStringLiteral("59,229,162@250");
        QTest::newRow("three digits doubled") << QStringLiteral("f80") << 1.0 << QStringLiteral("255,136,0@1000");
        QTest::newRow("every hash removed") << QStringLiteral("#12#34#56") << 1.0 << QStringLiteral("18,52,86@1000");
        QTest::newRow("every 0x removed") << QStringLiteral("0x120x3456") << 1.0 << QStringLiteral("18,52,86@1000");
        QTest::newRow("surrounding space") << QStringLiteral("  #0000ff\n") << 1.0 << QStringLiteral("0,0,255@1000");
        QTest::newRow("short number reads as low bytes")
            << QStringLiteral("ff") << 1.0 << QStringLiteral("0,0,255@1000");
        QTest::newRow("eight digits keep the low bytes")
            << QStringLiteral("#ff8800cc") << 1.0 << QStringLiteral("136,0,204@1000");
        QTest::newRow("leading zeros do not count")
            << QStringLiteral("0000000000000000ff0000") << 1.0 << QStringLiteral("255,0,0@1000");
        QTest::newRow("negative alpha clamped") << QStringLiteral("#000") << -1.0 << QStringLiteral("0,0,0@0");
        // Fallback: opaque white whatever the alpha.
        QTest::newRow("not hex") << QStringLiteral("zz") << 0.5 << QStringLiteral("255,255,255@1000");
        QTest::newRow("empty") << QString() << 0.5 << QStringLiteral("255,255,255@1000");
        QTest::newRow("only a hash") << QStringLiteral("#") << 0.2 << QStringLiteral("255,255,255@1000");
        QTest::newRow("hex prefix of garbage") << QStringLiteral("12zz") << 0.5 << QStringLiteral("255,255,255@1000");
        QTest::newRow("sign") << QStringLiteral("-ff") << 0.5 << QStringLiteral("255,255,255@1000");
        QTest::newRow("inner space") << QStringLiteral("ff 00 00") << 0.5 << QStringLiteral("255,255,255@1000");
        QTest::newRow("hash after 0x kept") << QStringLiteral("0x#fff") << 0.5 << QStringLiteral("255,255,255@1000");
        QTest::newRow("wider than 32 bits") << QStringLiteral("1ffffffff") << 0.5 << QStringLiteral("255,255,255@1000");
        QTest::newRow("non-latin digits")
            << QStringLiteral("\u0661\u0662\u0663") << 0.5 << QStringLiteral("255,255,255@1000");
        QTest::newRow("huge") << QString(1 << 20, QLatin1Char('f')) << 0.5 << QStringLiteral("255,255,255@1000");
    }
    void rgbFromText()
    {
        QFETCH(QString, text);
        QFETCH(qreal, alpha);
        QFETCH(QString, expected);
        QCOMPARE(describe(mira::rgb(text, alpha)), expected);
    }

    void rgbaFromNumber()
    {
        QCOMPARE(describe(mira::rgba(quint64(0x11223380))), QStringLiteral("17,34,51@502"));
        QCOMPARE(describe(mira::rgba(quint64(0xFFFFFFFF00000000) | 0xFF0000FF)), QStringLiteral("255,0,0@1000"));
    }

    void rgbaFromText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected");
        QTest::newRow("four digits doubled") << QStringLiteral("f80c") << QStringLiteral("255,136,0@800");
        QTest::newRow("full") << QStringLiteral("#3BE5A280") << QStringLiteral("59,229,162@502");
        QTest::newRow("0x prefix") << QStringLiteral("0x000000ff") << QStringLiteral("0,0,0@1000");
        QTest::newRow("three digits read as 00RRGGBB") << QStringLiteral("fff") << QStringLiteral("0,255,255@1000");
        QTest::newRow("five digits not doubled") << QStringLiteral("fffff") << QStringLiteral("0,15,255@1000");
        QTest::newRow("sixteen digits") << QStringLiteral("ffffffff11223344") << QStringLiteral("17,34,51@267");
        QTest::newRow("empty") << QString() << QStringLiteral("255,255,255@0");
        QTest::newRow("not hex") << QStringLiteral("#gg00") << QStringLiteral("255,255,255@0");
        QTest::newRow("wider than 64 bits") << QStringLiteral("1ffffffffffffffff") << QStringLiteral("255,255,255@0");
    }
    void rgbaFromText()
    {
        QFETCH(QString, text);
        QFETCH(QString, expected);
        QCOMPARE(describe(mira::rgba(text)), expected);
    }

    void argbFromNumber()
    {
        QCOMPARE(describe(mira::argb(0x80FF0000)), QStringLiteral("255,0,0@502"));
        QCOMPARE(describe(mira::argb(0x0000FF00)), QStringLiteral("0,255,0@0"));
    }

    void argbFromText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected");
        QTest::newRow("full") << QStringLiteral("#FF3BE5A2") << QStringLiteral("59,229,162@1000");
        QTest::newRow("six digits have alpha 0") << QStringLiteral("0x3BE5A2") << QStringLiteral("59,229,162@0");
        QTest::newRow("short not doubled") << QStringLiteral("fff") << QStringLiteral("0,15,255@0");
        QTest::newRow("empty") << QString() << QStringLiteral("255,255,255@0");
        QTest::newRow("not hex") << QStringLiteral("white") << QStringLiteral("255,255,255@0");
        QTest::newRow("wider than 32 bits") << QStringLiteral("1ff3be5a2") << QStringLiteral("255,255,255@0");
    }
    void argbFromText()
    {
        QFETCH(QString, text);
        QFETCH(QString, expected);
        QCOMPARE(describe(mira::argb(text)), expected);
    }

    void componentAccessors()
    {
        const QColor color = mira::rgb(0x336699, 0.5);
        QVERIFY(qAbs(mira::redValue(color) - 0x33 / 255.0) < 1e-6);
        QVERIFY(qAbs(mira::greenValue(color) - 0x66 / 255.0) < 1e-6);
        QVERIFY(qAbs(mira::blueValue(color) - 0x99 / 255.0) < 1e-6);
        QVERIFY(qAbs(mira::alphaValue(color) - 0.5) < 1e-4);

        // Other colour models are read through their RGB form.
        const QColor hsv = QColor::fromHsv(0, 255, 255);
        QCOMPARE(mira::redValue(hsv), 1.0);
        QCOMPARE(mira::greenValue(hsv), 0.0);

        const QColor invalid;
        QCOMPARE(mira::redValue(invalid), 0.0);
        QCOMPARE(mira::alphaValue(invalid), 0.0);
    }

    void interpolation_data()
    {
        QTest::addColumn<qreal>("progress");
        QTest::addColumn<QString>("expected");
        QTest::newRow("start") << 0.0 << QStringLiteral("0,0,0@0");
        QTest::newRow("middle") << 0.5 << QStringLiteral("128,64,0@500");
        QTest::newRow("end") << 1.0 << QStringLiteral("255,128,0@1000");
        QTest::newRow("beyond the end is capped") << 7.0 << QStringLiteral("255,128,0@1000");
        QTest::newRow("before the start is capped") << -2.0 << QStringLiteral("0,0,0@0");
        QTest::newRow("nan reads as start") << std::numeric_limits<qreal>::quiet_NaN() << QStringLiteral("0,0,0@0");
    }
    void interpolation()
    {
        QFETCH(qreal, progress);
        QFETCH(QString, expected);
        const QColor from(0, 0, 0, 0);
        const QColor to(255, 128, 0, 255);
        QCOMPARE(describe(mira::fromColor(from, to, progress)), expected);
    }

    void interpolationWithInvalidColour()
    {
        const QColor result = mira::fromColor(QColor(), QColor(255, 255, 255), 0.5);
        QVERIFY(result.isValid());
        QCOMPARE(describe(result), QStringLiteral("128,128,128@500"));
    }
};

QTEST_GUILESS_MAIN(ColorExtensionsTest)
#include "tst_colorextensions.moc"
