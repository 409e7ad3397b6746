#include <mirakit/foundation/FontExtensions.h>

#include <QApplication>
#include <QFontDatabase>
#include <QFontInfo>
#include <QTemporaryDir>
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
        // main() shows this test only the DejaVu fonts: the last fallback is the one installed.
        QVERIFY(QFontDatabase::families().contains(QStringLiteral("DejaVu Sans")));
        QVERIFY(!QFontDatabase::families().contains(QStringLiteral("Nimbus Sans")));
        const QFontInfo info(mira::helveticaNeue(12, HelveticaNeueWeight::bold));
        QCOMPARE(info.family(), QStringLiteral("DejaVu Sans"));
        QCOMPARE(mira::fallbackFamilies().last(), QStringLiteral("DejaVu Sans"));
    }
};

/// Font matching follows whatever fonts and aliases a machine has; the test
/// sees only the DejaVu fonts (fonts-dejavu-core) through a fontconfig
/// configuration of its own, without the system's aliases.
int main(int argc, char **argv)
{
    QTemporaryDir config;
    QFile file(config.filePath(QStringLiteral("fonts.conf")));
    if (!file.open(QIODevice::WriteOnly))
        return 1;
    file.write("<?xml version=\"1.0\"?>\n<fontconfig>\n"
               "<dir>/usr/share/fonts/truetype/dejavu</dir>\n<cachedir>"
        + QFile::encodeName(config.filePath(QStringLiteral("cache"))) + "</cachedir>\n</fontconfig>\n");
    file.close();
    qputenv("FONTCONFIG_FILE", QFile::encodeName(file.fileName()));

    QApplication app(argc, argv);
    FontExtensionsTest test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}
#include "tst_fontextensions.moc"
