#include <installer/interface/DesignableProperties.h>
#include <installer/interface/PoppinsFont.h>

#include <QAction>
#include <QApplication>
#include <QFontInfo>
#include <QGraphicsDropShadowEffect>
#include <QLabel>
#include <QLineEdit>
#include <QTest>

namespace {
QString bracket(const QString &key)
{
    return QLatin1Char('[') + key + QLatin1Char(']');
}

// A control that declares a designable property itself.
class OwnRadius : public QWidget {
    Q_OBJECT
    Q_PROPERTY(double cornerRadiusIB MEMBER radius)
public:
    double radius = 0;
};
} // namespace

class DesignablePropertiesTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void cornerBits_data()
    {
        QTest::addColumn<QString>("property");
        QTest::addColumn<int>("flipped");
        QTest::addColumn<int>("unflipped");
        QTest::newRow("top left") << QStringLiteral("cornerTopLeftIB") << 1 << 4;
        QTest::newRow("top right") << QStringLiteral("cornerTopRightIB") << 2 << 8;
        QTest::newRow("bottom left") << QStringLiteral("cornerBottomLeftIB") << 4 << 1;
        QTest::newRow("bottom right") << QStringLiteral("cornerBottomRightIB") << 8 << 2;
        QTest::newRow("unknown") << QStringLiteral("cornerMiddleIB") << 0 << 0;
    }

    void cornerBits()
    {
        QFETCH(QString, property);
        QFETCH(int, flipped);
        QFETCH(int, unflipped);
        QCOMPARE(DesignableProperties::cornerBit(property, true), flipped);
        QCOMPARE(DesignableProperties::cornerBit(property, false), unflipped);
    }

    void onlyTheNamedCornersRound()
    {
        QWidget panel;
        panel.setObjectName(QStringLiteral("panel"));
        QCOMPARE(DesignableProperties::maskedCorners(&panel), 15);
        panel.setProperty("cornerRadiusIB", 8.0);
        panel.setProperty("cornerBottomLeftIB", false);
        panel.setProperty("cornerBottomRightIB", false);
        QCOMPARE(DesignableProperties::maskedCorners(&panel), 3);
        const QString style = DesignableProperties::layerStyleSheet(&panel);
        QVERIFY(style.startsWith(QStringLiteral("#panel {")));
        QVERIFY(style.contains(QStringLiteral("border-top-left-radius: 8px;")));
        QVERIFY(style.contains(QStringLiteral("border-bottom-right-radius: 0px;")));
    }

    void layerAttributesBecomeTheLook()
    {
        QWidget window;
        window.setProperty("backgroundColorIB", QColor(0x12, 0x34, 0x56));
        auto *card = new QWidget(&window);
        card->setProperty("backgroundColorIB", QColor(Qt::white));
        card->setProperty("borderWidthIB", 1.0);
        card->setProperty("borderColorIB", QColor(0xD8, 0xDE, 0xE4));
        card->setProperty("shadowRadiusIB", 6.0);
        card->setProperty("shadowOpacityIB", 0.5);
        card->setProperty("shadowOffsetIB", QSizeF(0, -2));
        auto *caption = new QLabel(QStringLiteral("caption"), card);
        caption->setProperty("textColorIB", QColor(0x34, 0x29, 0x29));
        DesignableProperties::apply(&window, bracket);
        QCOMPARE(caption->palette().color(QPalette::WindowText), QColor(0x34, 0x29, 0x29));

        QCOMPARE(window.palette().color(QPalette::Window), QColor(0x12, 0x34, 0x56));
        QVERIFY(card->styleSheet().contains(QStringLiteral("background-color: rgba(255, 255, 255, 1.000);")));
        QVERIFY(card->styleSheet().contains(QStringLiteral("border: 1px solid rgba(216, 222, 228, 1.000);")));
        auto *shadow = qobject_cast<QGraphicsDropShadowEffect *>(card->graphicsEffect());
        QVERIFY(shadow);
        QCOMPARE(shadow->blurRadius(), 12.0);
        QCOMPARE(shadow->offset(), QPointF(0, 2));
        QCOMPARE(shadow->color().alpha(), 128);
    }

    void keysBecomeLookedUpTexts()
    {
        QWidget page;
        auto *label = new QLabel(QStringLiteral("design-time text"), &page);
        label->setProperty("localizedKeyIB", QStringLiteral("Install_Installing"));
        auto *untouched = new QLabel(QStringLiteral("keep"), &page);
        auto *action = new QAction(&page);
        action->setProperty("localizedKeyIB", QStringLiteral("Dialog_Button_OK"));
        page.addAction(action);
        DesignableProperties::apply(&page, bracket);
        QCOMPARE(label->text(), QStringLiteral("[Install_Installing]"));
        QCOMPARE(untouched->text(), QStringLiteral("keep"));
        QCOMPARE(action->text(), QStringLiteral("[Dialog_Button_OK]"));
    }

    void placeholderIsColouredWhicheverComesFirst()
    {
        for (const bool keyFirst : { true, false }) {
            QLineEdit edit;
            if (keyFirst) {
                edit.setProperty("placeholderLocalizedKeyIB", QStringLiteral("Search"));
                edit.setProperty("placeholderColorIB", QColor(Qt::red));
            } else {
                edit.setProperty("placeholderColorIB", QColor(Qt::red));
                edit.setProperty("placeholderLocalizedKeyIB", QStringLiteral("Search"));
            }
            DesignableProperties::apply(&edit, bracket);
            QCOMPARE(edit.placeholderText(), QStringLiteral("[Search]"));
            QCOMPARE(edit.palette().color(QPalette::PlaceholderText), QColor(Qt::red));
        }
    }

    void declaredPropertiesAreLeftToTheControl()
    {
        OwnRadius control;
        control.setProperty("cornerRadiusIB", 8.0);
        DesignableProperties::apply(&control, bracket);
        QCOMPARE(control.radius, 8.0);
        QVERIFY(control.styleSheet().isEmpty());
    }

    void poppinsIsBundled()
    {
        const QFont regular = poppinsFont(14, PoppinsWeight::regular);
        QCOMPARE(QFontInfo(regular).family(), QStringLiteral("Poppins"));
        QCOMPARE(regular.pixelSize(), 14);
        QCOMPARE(poppinsFont(20, PoppinsWeight::bold).weight(), QFont::Bold);
        const QFont italic = poppinsFont(12, PoppinsWeight::semiBoldItalic);
        QVERIFY(italic.italic());
        QCOMPARE(italic.weight(), QFont::DemiBold);
        QCOMPARE(poppinsFontName(PoppinsWeight::semiBoldItalic), QStringLiteral("Poppins-SemiBoldItalic"));
    }
};

QTEST_MAIN(DesignablePropertiesTest)
#include "tst_designableproperties.moc"
