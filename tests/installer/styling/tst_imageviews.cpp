#include <installer/interface/ClickableImageView.h>

#include <QSignalSpy>
#include <QTest>

namespace {
QPixmap filled(Qt::GlobalColor color)
{
    QPixmap pixmap(8, 8);
    pixmap.fill(color);
    return pixmap;
}

QRgb shownColor(const QLabel &label)
{
    return label.pixmap().toImage().pixel(0, 0);
}

void hover(QWidget *widget, bool inside)
{
    if (inside) {
        QEnterEvent enter(QPointF(2, 2), QPointF(2, 2), widget->mapToGlobal(QPointF(2, 2)));
        QCoreApplication::sendEvent(widget, &enter);
    } else {
        QEvent leave(QEvent::Leave);
        QCoreApplication::sendEvent(widget, &leave);
    }
}
} // namespace

class ImageViewsTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void offImageOnlyNeverTogglesButStillClicks()
    {
        ClickableImageView view;
        view.resize(20, 20);
        view.setOffImage(filled(Qt::red));
        QSignalSpy clicks(&view, &ClickableImageView::clicked);
        QTest::mouseClick(&view, Qt::LeftButton);
        QCOMPARE(clicks.count(), 1);
        QVERIFY(!view.isOn());
        QCOMPARE(shownColor(view), QColor(Qt::red).rgb());
    }

    void bothImagesToggleWithHoverVariants()
    {
        ClickableImageView view;
        view.resize(20, 20);
        view.setOffImage(filled(Qt::red));
        view.setOffHoverImage(filled(Qt::darkRed));
        view.setOnImage(filled(Qt::green));
        view.setOnHoverImage(filled(Qt::darkGreen));
        QSignalSpy toggles(&view, &ClickableImageView::toggled);

        hover(&view, true);
        QVERIFY(view.isEntered());
        QCOMPARE(shownColor(view), QColor(Qt::darkRed).rgb());
        QTest::mouseClick(&view, Qt::LeftButton);
        QVERIFY(view.isOn());
        QCOMPARE(toggles.count(), 1);
        QCOMPARE(shownColor(view), QColor(Qt::darkGreen).rgb());
        hover(&view, false);
        QCOMPARE(shownColor(view), QColor(Qt::green).rgb());
        QTest::mouseClick(&view, Qt::LeftButton);
        QVERIFY(!view.isOn());
        QCOMPARE(shownColor(view), QColor(Qt::red).rgb());
    }

    void releaseWithoutPressSendsNothing()
    {
        ClickableImageView view;
        view.resize(20, 20);
        QSignalSpy clicks(&view, &ClickableImageView::clicked);
        QTest::mouseRelease(&view, Qt::LeftButton);
        QCOMPARE(clicks.count(), 0);
    }
};

QTEST_MAIN(ImageViewsTest)
#include "tst_imageviews.moc"
