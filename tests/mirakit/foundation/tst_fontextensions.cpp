#include <mirakit/foundation/FontExtensions.h>

#include <QFontDatabase>
#include <QFontInfo>
#include <QTest>

#include <limits>

using mira::HelveticaNeueWeight;

Q_DECLARE_METATYPE(mira::HelveticaNeueWeight)

class FontExtensionsTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void cuts_data()
    {
        QTest::addColumn<HelveticaNeueWeight>("weight");
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("fontWeight");
        QTest::addColumn<bool>("italic");
        QTest::newRow("regular") << HelveticaNeueWeight::regular << QStringLiteral("HelveticaNeue")
                                 << int(QFont::Normal) << false;
        QTest::newRow("italic") << HelveticaNeueWeight::italic << QStringLiteral("HelveticaNeue-Italic")
                                << int(QFont::Normal) << true;
        QTest::newRow("light") << HelveticaNeueWeight::light << QStringLiteral("HelveticaNeue-Light")
                               << int(QFont::Light) << false;
        QTest::newRow("lightItalic") << HelveticaNeueWeight::lightItalic << QStringLiteral("HelveticaNeue-LightItalic")
                                     << int(QFont::Light) << true;
        QTest::newRow("thin") << HelveticaNeueWeight::thin << QStringLiteral("HelveticaNeue-Thin") << int(QFont::Thin)
                              << false;
        QTest::newRow("thinItalic") << HelveticaNeueWeight::thinItalic << QStringLiteral("HelveticaNeue-ThinItalic")
                                    << int(QFont::Thin) << true;
        QTest::newRow("bold") << HelveticaNeueWeight::bold << QStringLiteral("HelveticaNeue-Bold") << int(QFont::Bold)
                              << false;
        QTest::newRow("boldItalic") << HelveticaNeueWeight::boldItalic << QStringLiteral("HelveticaNeue-BoldItalic")
                                    << int(QFont::Bold) << true;
        QTest::newRow("medium") << HelveticaNeueWeight::medium << QStringLiteral("HelveticaNeue-Medium")
                                << int(QFont::Medium) << false;
        QTest::newRow("mediumItalic") << HelveticaNeueWeight::mediumItalic
                                      << QStringLiteral("HelveticaNeue-MediumItalic") << int(QFont::Medium) << true;
    }
    void cuts()
    {
        QFETCH(HelveticaNeueWeight, weight);
        QFETCH(QString, name);
        QFETCH(int, fontWeight);
        QFETCH(bool, italic);
        QCOMPARE(mira::fontName(weight), name);
        QCOMPARE(mira::helveticaNeueWeight(name), std::optional<HelveticaNeueWeight>(weight));
        const QFont font = mira::helveticaNeue(14.5, weight);
        QCOMPARE(int(font.weight()), fontWeight);
        QCOMPARE(font.italic(), italic);
        QCOMPARE(font.pointSizeF(), 14.5);
        QCOMPARE(font.families().value(0), QStringLiteral("Helvetica Neue"));
    }

    void unknownNamesHaveNoCut()
    {
        QCOMPARE(mira::helveticaNeueWeight(QStringLiteral("helveticaneue-bold")), std::nullopt);
        QCOMPARE(mira::helveticaNeueWeight(QStringLiteral("HelveticaNeue-Heavy")), std::nullopt);
        QCOMPARE(mira::helveticaNeueWeight(QString()), std::nullopt);
    }

    void oddSizesKeepTheDefault_data()
    {
        QTest::addColumn<qreal>("size");
        QTest::newRow("zero") << 0.0;
        QTest::newRow("negative") << -12.0;
        QTest::newRow("nan") << std::numeric_limits<qreal>::quiet_NaN();
        QTest::newRow("infinite") << std::numeric_limits<qreal>::infinity();
    }
    void oddSizesKeepTheDefault()
    {
        QFETCH(qreal, size);
        QCOMPARE(mira::helveticaNeue(size).pointSizeF(), QFont().pointSizeF());
    }

    void fallsBackToAnInstalledFamily()
    {
        const QStringList installed = QFontDatabase::families();
        QStringList candidates = QStringList { QStringLiteral("Helvetica Neue") } + mira::fallbackFamilies();
        candidates.erase(std::remove_if(candidates.begin(), candidates.end(),
                             [&](const QString &family) { return !installed.contains(family); }),
            candidates.end());
        const QFontInfo info(mira::helveticaNeue(12, HelveticaNeueWeight::bold));
        QVERIFY(!info.family().isEmpty());
        if (candidates.isEmpty())
            QSKIP("none of the preferred families is installed here");
        QCOMPARE(info.family(), candidates.first());
    }
};

QTEST_MAIN(FontExtensionsTest)
#include "tst_fontextensions.moc"
