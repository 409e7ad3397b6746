#include "PointerInput.h"

#include "ControlsGalleryPage.h"

#include <mirakit/interactive/InteractiveButton.h>
#include <mirakit/interactive/LineProgressView.h>

#include <QTest>

using namespace mira;
using S = Interactive::State;

class GalleryTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void everyStateIsShownAndSaved()
    {
        pointer::ParkedPointer parked;
        std::unique_ptr<QWidget> page(gallery::createControlsPage());
        page->resize(800, 760);
        page->show();
        QVERIFY(QTest::qWaitForWindowExposed(page.get()));
        const auto primaryStates = [&page] {
            QList<S> states;
            for (auto *button : page->findChildren<InteractiveButton *>()) {
                if (button->title() == QLatin1String("Install"))
                    states << button->interactiveState();
            }
            return states;
        };
        const QList<S> expected { S::normal, S::hovered, S::clicked | S::hovered, S::selected, S::disabled };
        // The sample states are put back after the tracking renewals of showing and layout.
        QTRY_COMPARE(primaryStates(), expected);
        QCOMPARE(page->findChildren<LineProgressView *>().size(), 4);
        pointer::saveScreenshot(page.get(), QStringLiteral("mirakit-gallery"));
    }
};

QTEST_MAIN(GalleryTest)
#include "tst_gallery.moc"
