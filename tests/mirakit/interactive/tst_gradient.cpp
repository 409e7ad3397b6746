#include "PointerInput.h"

#include <mirakit/interactive/GradientButton.h>
#include <mirakit/interactive/GradientView.h>

#include <QTest>

using namespace mira;
using S = Interactive::State;
using D = Interactive::GradientDirection;

class GradientTest : public QObject {
    Q_OBJECT
private:
    std::unique_ptr<pointer::ParkedPointer> m_pointer;
    std::unique_ptr<QWidget> m_window;
    GradientView *m_view = nullptr;
    GradientButton *m_button = nullptr;

private Q_SLOTS:
    void init()
    {
        m_pointer = std::make_unique<pointer::ParkedPointer>();
        m_window = std::make_unique<QWidget>();
        m_window->resize(300, 200);
        m_view = new GradientView(m_window.get());
        m_view->setGeometry(10, 10, 100, 100);
        m_button = new GradientButton(m_window.get());
        m_button->setGeometry(120, 10, 160, 40);
        m_button->setTitle(QStringLiteral("Start"));
        m_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    }
    void cleanup()
    {
        m_window.reset();
        m_pointer.reset();
    }

    void normalColoursHoldInEveryState()
    {
        m_button->setColors({ Qt::red, Qt::blue }, S::normal);
        m_button->setBackgroundColor(Qt::green, S::normal); // the gradient paints the background
        QCOMPARE(m_button->layer().colors, (QList<QColor> { Qt::red, Qt::blue }));
        QVERIFY(!m_button->layer().backgroundColor.isValid());
        m_button->setSelected(true);
        pointer::enter(m_button);
        m_button->setEnabled(false);
        QCOMPARE(m_button->interactiveState(), S::selected | S::disabled | S::hovered);
        QCOMPARE(m_button->layer().colors, (QList<QColor> { Qt::red, Qt::blue }));
        QCOMPARE(m_button->layer().startPoint, QPointF(0, 0.5));
        QCOMPARE(m_button->layer().endPoint, QPointF(1, 0.5));
    }

    void hoverSwitchesColoursAndKeepsDirectionPoints()
    {
        m_view->setDirection(D::obliqueDescent);
        m_view->setColors({ Qt::red, Qt::blue }, S::normal);
        m_view->setColors({ Qt::yellow, Qt::black, Qt::white }, S::hovered);
        pointer::enter(m_view);
        QCOMPARE(m_view->layer().colors.size(), 3);
        QCOMPARE(m_view->layer().locations, (QList<qreal> { 0, 1 }));
        QCOMPARE(m_view->layer().startPoint, QPointF(0, 1));
        QCOMPARE(m_view->layer().endPoint, QPointF(1, 0));
        pointer::leave(m_view);
        QCOMPARE(m_view->layer().colors, (QList<QColor> { Qt::red, Qt::blue }));
    }

    void verticalRunsFromTopToBottom()
    {
        m_view->setDirection(D::vertical);
        m_view->setColors({ QColor(255, 0, 0), QColor(0, 0, 255) }, S::normal);
        const QColor top = pointer::pixel(m_view, QPoint(50, 1));
        const QColor bottom = pointer::pixel(m_view, QPoint(50, 98));
        QVERIFY2(top.red() > 240 && top.blue() < 15, qPrintable(top.name()));
        QVERIFY2(bottom.blue() > 240 && bottom.red() < 15, qPrintable(bottom.name()));
        pointer::saveScreenshot(m_view, QStringLiteral("gradientview-vertical"));
    }

    void registeredPointsAndStopsApply()
    {
        m_view->setColors({ Qt::red, Qt::blue }, S::normal);
        m_view->setPoints({ QPointF(0, 0), QPointF(0, 1) }, S::hovered);
        m_view->setLocation({ 0.2, 0.8 }, S::hovered);
        pointer::enter(m_view);
        QCOMPARE(m_view->layer().startPoint, QPointF(0, 0));
        QCOMPARE(m_view->layer().endPoint, QPointF(0, 1));
        QCOMPARE(m_view->layer().locations, (QList<qreal> { 0.2, 0.8 }));
        // Bottom to top: the bottom row is red.
        QVERIFY(pointer::pixel(m_view, QPoint(50, 98)).red() > 240);
    }

    void directionShowsOnlyAtTheNextRecomputation()
    {
        m_view->setColors({ Qt::red, Qt::blue }, S::normal);
        m_view->setDirection(D::obliqueUpward);
        QCOMPARE(m_view->layer().endPoint, QPointF(1, 0.5));
        pointer::enter(m_view);
        QCOMPARE(m_view->layer().endPoint, QPointF(1, 1));
    }

    void withoutColoursNothingIsPainted()
    {
        m_view->setPoints({ QPointF(0, 0), QPointF(1, 1) }, S::normal);
        m_view->setLocation({ 0, 0.5 }, S::normal);
        QVERIFY(m_view->layer().colors.isEmpty());
        m_view->setColors({ Qt::red }, S::hovered);
        pointer::enter(m_view);
        pointer::leave(m_view);
        // Nothing resolves for normal: the hovered gradient stays.
        QCOMPARE(m_view->layer().colors, QList<QColor> { Qt::red });
    }

    void designableColourPairs()
    {
        QVERIFY(m_button->setProperty("hoveredStartColor", QColor(0x3BE5A2)));
        QCOMPARE(m_button->colors(S::hovered), std::optional(QList<QColor> { QColor(0x3BE5A2), QColor(0x3BE5A2) }));
        QVERIFY(m_button->setProperty("hoveredEndColor", QColor(0x2FB782)));
        QCOMPARE(m_button->property("hoveredStartColor").value<QColor>(), QColor(0x3BE5A2));
        QCOMPARE(m_button->property("hoveredEndColor").value<QColor>(), QColor(0x2FB782));
        QVERIFY(!m_button->property("normalEndColor").value<QColor>().isValid());
        // The clicked pair starts from the one that applies (clicked falls back to hovered).
        QVERIFY(m_button->setProperty("clickedStartColor", QColor(Qt::black)));
        QCOMPARE(m_button->colors(S::clicked), std::optional(QList<QColor> { Qt::black, QColor(0x2FB782) }));

        QVERIFY(m_view->setProperty("isVerticalDirection", true));
        QCOMPARE(m_view->direction(), D::vertical);
        QVERIFY(m_view->setProperty("isVerticalDirection", false));
        QCOMPARE(m_view->direction(), D::vertical);
        QVERIFY(m_view->property("isVerticalDirection").toBool());
        QVERIFY(!m_view->property("isHorizontalDirection").toBool());
    }

    void screenshots()
    {
        m_button->setCornerRadius(6);
        m_button->setColors({ QColor(0x3BE5A2), QColor(0x36C5D3) }, S::normal);
        m_button->setTextColor(QColor(0x342929), S::normal);
        pointer::saveScreenshot(m_button, QStringLiteral("gradientbutton-normal"));
        QCOMPARE(pointer::pixel(m_button, QPoint(1, 20)).green(), 0xE5);
    }
};

QTEST_MAIN(GradientTest)
#include "tst_gradient.moc"
