#include "LocalMirror.h"
#include "PageDriver.h"
#include "PointerInput.h"
#include "TestHome.h"
#include "installer/analytics/FakeTransport.h"

#include <installer/analytics/Analytics.h>
#include <installer/app/AppDelegate.h>
#include <installer/app/RootWindowController.h>
#include <installer/install/DownLoader.h>
#include <installer/interface/InAppLanguage.h>
#include <installer/interface/LocalizedFormat.h>
#include <installer/interface/LocalizedString.h>
#include <installer/pages/FailedViewController.h>
#include <installer/pages/InstallerAlertViewController.h>
#include <installer/pages/LoadingViewController.h>
#include <installer/pages/Storyboard.h>
#include <installer/pages/ViewController.h>
#include <mirakit/interactive/InteractiveButton.h>
#include <mirakit/interactive/InteractiveLabel.h>
#include <mirakit/interactive/LineProgressView.h>
#include <mirakit/windows/SheetWindow.h>
#include <mirakit/windows/WindowPresentation.h>
#include <platform/ManualScheduler.h>
#include <platform/NotificationCenter.h>
#include <platform/Workspace.h>

#include <QAccessible>
#include <QBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QSignalSpy>
#include <QTest>

using namespace std::chrono_literals;

namespace {

QString text(const char *key)
{
    return localizedString(QString::fromLatin1(key));
}

QString product()
{
    return text("Application_Name");
}

} // namespace

// The three pages in a real window: welcome, progress (against a mirror
// that never finishes sending) and failure.
class PagesTest : public QObject {
    Q_OBJECT
private:
    TestHome m_home;
    LocalMirror m_mirror;
    PageDriver m_driver { std::chrono::milliseconds(0) };
    platform::ManualScheduler &m_scheduler = m_driver.scheduler;
    FakeTransport m_transport;
    QuietWorkspace m_workspace;
    pointer::ParkedPointer m_pointer;
    std::unique_ptr<RootWindowController> m_window;

    void showWindow(QWidget *page = nullptr)
    {
        m_window.reset(Storyboard::instantiateInitialController());
        if (page)
            m_window->setContentViewController(page);
        m_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    }

    template <typename Page> Page *page() const { return qobject_cast<Page *>(m_window->contentViewController()); }

    static QStringList events()
    {
        QStringList found;
        for (const Analytics::Record &event : Analytics::eventQueue())
            found << event->params.value(QStringLiteral("ea")).toString() + QLatin1Char('/')
                    + event->params.value(QStringLiteral("el")).toString();
        return found;
    }

    /// Lays out what changed: nested layouts ask their parents one level at a time.
    static void settleLayouts()
    {
        for (int level = 0; level < 8; ++level)
            QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
    }

    /// The window as a person sees it, sheets included, at the screen's pixel ratio.
    void screenshot(const QString &name)
    {
        const QString folder = qEnvironmentVariable("SCREENSHOT_DIR");
        if (folder.isEmpty())
            return;
        QDir().mkpath(folder);
        settleLayouts();
        const QPixmap picture = m_window->grab();
        const qreal ratio = m_window->devicePixelRatioF();
        QCOMPARE(picture.size(), m_window->size() * ratio);
        const QString scale = ratio > 1 ? QStringLiteral("@%1x").arg(ratio) : QString();
        picture.save(QStringLiteral("%1/%2-%3%4.png").arg(folder, name, InAppLanguage::resolve().code(), scale));
    }

private Q_SLOTS:
    void initTestCase()
    {
        qputenv("PRISMORA_APPLICATIONS_DIR", QFile::encodeName(m_home.filePath(QStringLiteral("Applications"))));
        qputenv("PRISMORA_LOG_DIR", QFile::encodeName(m_home.filePath(QStringLiteral("logs"))));
        qputenv("TMPDIR", QFile::encodeName(m_home.path()));
        QDir().mkpath(m_home.filePath(QStringLiteral("Applications")));
        const QString archive = m_home.filePath(QStringLiteral("served.zip"));
        QFile file(archive);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(QByteArray(256 * 1024, 'z'));
        file.close();
        QVERIFY(m_mirror.start(archive));
        qputenv("PRISMORA_CA_FILE", QFile::encodeName(m_mirror.caFile()));
        // Sends a little, then nothing: the progress page stays on show.
        qputenv("PRISMORA_DOWNLOAD_HOSTS",
            QStringList(4, m_mirror.base(QStringLiteral("stall"))).join(QLatin1Char(',')).toUtf8());

        platform::Workspace::setShared(&m_workspace);
        Analytics::setTransport(&m_transport);
        Analytics::configureWithMeasurement_id(QStringLiteral("G-PAGES"), QStringLiteral("secret"));
        InAppLanguage::setLanguage(InAppLanguage::English);
    }

    void cleanup()
    {
        m_window.reset();
        m_scheduler.runPending();
    }

    void cleanupTestCase()
    {
        DownLoader::shared().stopTransfers();
        platform::Workspace::setShared(nullptr);
        Analytics::setTransport(nullptr);
    }

    void agreementIsOneStateWhateverTogglesIt_data()
    {
        QTest::addColumn<QString>("way");
        QTest::newRow("accessible toggle action") << QAccessibleActionInterface::toggleAction();
        QTest::newRow("accessible press action") << QAccessibleActionInterface::pressAction();
        QTest::newRow("Space") << QStringLiteral("space");
    }

    void agreementIsOneStateWhateverTogglesIt()
    {
        QFETCH(QString, way);
        showWindow();
        auto *welcome = page<ViewController>();
        mira::InteractiveButton *box = welcome->agreementButton();
        QAccessibleInterface *accessible = QAccessible::queryAccessibleInterface(box);
        QVERIFY(accessible && accessible->actionInterface());
        const auto toggle = [&] {
            if (way == QLatin1String("space"))
                QTest::keyClick(box, Qt::Key_Space);
            else
                accessible->actionInterface()->doAction(way);
        };
        for (const bool expected : { false, true, false }) {
            toggle();
            QTRY_COMPARE(box->isChecked(), expected);
            QCOMPARE(box->isSelected(), expected);
            QCOMPARE(bool(accessible->state().checked), expected);
        }
        // Unchecked however it happened: Install explains instead of starting.
        welcome->installEvent();
        QVERIFY(m_driver.pump([] { return PageDriver::notice() != nullptr; }));
        QVERIFY(m_driver.choose(0));
        QVERIFY(page<ViewController>() == welcome);
    }

    void welcomeAgreementAndKeyboard()
    {
        showWindow();
        auto *welcome = page<ViewController>();
        QVERIFY(welcome);
        QCOMPARE(m_window->windowTitle(), text("Window_Title"));
        mira::InteractiveButton *box = welcome->agreementButton();
        QVERIFY(box->isSelected());
        QVERIFY(box->hasFocus());

        // Tab order: box, terms link, Install.
        QTest::keyClick(box, Qt::Key_Tab);
        QVERIFY(welcome->protoclButton()->hasFocus());
        QTest::keyClick(welcome->protoclButton(), Qt::Key_Tab);
        QVERIFY(welcome->installBtn()->hasFocus());
        box->setFocus();

        // Space toggles the box; without the agreement Return only explains.
        QTest::keyClick(box, Qt::Key_Space);
        QVERIFY(!box->isSelected());
        QTest::keyClick(box, Qt::Key_Return);
        QVERIFY(m_driver.pump([] { return PageDriver::notice() != nullptr; }));
        QCOMPARE(PageDriver::notice()->descLabel()->text(), localizedFormat(QStringLiteral("AgreeTip"), { product() }));
        QVERIFY(PageDriver::notice()->button(0));
        QVERIFY(!PageDriver::notice()->button(1));
        screenshot(QStringLiteral("page-welcome-agreement-notice"));
        QVERIFY(m_driver.choose(0));
        QVERIFY(page<ViewController>() == welcome);

        QTest::mouseClick(box, Qt::LeftButton, {}, box->rect().center());
        QVERIFY(box->isSelected());

        // Return on the focused link opens it rather than installing.
        welcome->protoclButton()->setFocus();
        QTest::keyClick(welcome->protoclButton(), Qt::Key_Return);
        QCOMPARE(m_workspace.opened.size(), 1);
        QVERIFY(!PageDriver::notice());
        m_workspace.opened.clear();
        QVERIFY(!box->accessibleName().isEmpty());
        QVERIFY(!welcome->installBtn()->accessibleName().isEmpty());
    }

    void welcomeTermsLink()
    {
        showWindow();
        auto *link = page<ViewController>()->protoclButton();
        const auto underlined = [link] {
            const mira::AttributedText title = link->attributedTitle();
            return !title.formats.isEmpty() && title.formats.first().format.fontUnderline();
        };
        QCOMPARE(link->title(), text("TermsOfUse_Title"));
        QVERIFY(!underlined());
        pointer::enter(link, link->rect().center());
        QVERIFY(underlined());
        QCOMPARE(link->attributedTitle().formats.first().format.foreground().color(), QColor(0x36D395));
        QTest::mousePress(link, Qt::LeftButton, {}, link->rect().center());
        QCOMPARE(link->attributedTitle().formats.first().format.foreground().color(), QColor(0x2FB782));
        QVERIFY(underlined());
        QTest::mouseRelease(link, Qt::LeftButton, {}, link->rect().center());
        QCOMPARE(m_workspace.opened, QList<QUrl> { QUrl(text("URL_User_License")) });
        pointer::leave(link);
        QVERIFY(!underlined());
    }

    void welcomeQuitPrompt()
    {
        showWindow();
        m_window->close();
        QVERIFY(m_window->isVisible());
        QVERIFY(m_driver.pump([] { return PageDriver::notice() != nullptr; }));
        QCOMPARE(PageDriver::notice()->descLabel()->text(), localizedFormat(QStringLiteral("ExitTip"), { product() }));
        QVERIFY(m_driver.choose(1)); // Cancel
        QVERIFY(events().endsWith(QStringLiteral("Cancel_Close/Success")));
        QVERIFY(!AppDelegate::isTerminating());
    }

    void progressCarouselAndPercentages()
    {
        showWindow();
        auto *loading
            = qobject_cast<LoadingViewController *>(Storyboard::instantiateController(QStringLiteral("loading")));
        m_window->setContentViewController(loading);
        // The page that held focus is gone; the bar, named by the status, takes it.
        QCOMPARE(m_window->focusWidget(), loading->progressView());
        QVERIFY(
            m_driver.pump([] { return DownLoader::shared().zip() && DownLoader::shared().zip()->currentSize > 0; }));
        QCOMPARE(
            loading->loadingLabel()->text(), localizedFormat(QStringLiteral("Install_Downloading"), { product() }));

        auto *dots = static_cast<QBoxLayout *>(loading->dotStackView()->layout());
        QCOMPARE(dots->indexOf(loading->greenDot()), 0);
        QCOMPARE(loading->introlductionLabel()->text(), text("AD1_Title"));
        screenshot(QStringLiteral("page-progress"));

        // Every three seconds the next illustration, the dot following it.
        const auto title
            = [](int illustration) { return text(qPrintable(QStringLiteral("AD%1_Title").arg(illustration))); };
        int shown = 1;
        for (int illustration : { 2, 3, 4, 1, 2 }) {
            m_scheduler.advanceBy(2999ms);
            QCOMPARE(loading->introlductionLabel()->text(), title(shown));
            m_scheduler.advanceBy(1ms);
            QCOMPARE(loading->introlductionLabel()->text(), title(illustration));
            QCOMPARE(dots->indexOf(loading->greenDot()), illustration - 1);
            shown = illustration;
        }

        // The page reads the shared downloader's counts at every notification.
        const auto zip = DownLoader::shared().zip();
        const auto showProgress = [&zip](std::int64_t current, std::int64_t total) {
            zip->currentSize = current;
            zip->totalSize = total;
            platform::NotificationCenter::defaultCenter().post(InstallerNotification::downloaderProgress);
        };
        showProgress(500, 0);
        QCOMPARE(loading->progressLabel()->text(), QStringLiteral("0.00%"));
        QCOMPARE(loading->progressView()->progress(), 0.0f);
        showProgress(5, 1000);
        QCOMPARE(loading->progressLabel()->text(), QStringLiteral("0.50%"));
        showProgress(425, 1000);
        QCOMPARE(loading->progressLabel()->text(), LoadingViewController::percentText(42.5));
        showProgress(2000, 1000);
        QCOMPARE(loading->progressLabel()->text(), QStringLiteral("100%"));
        QCOMPARE(loading->progressView()->progress(), 1.0f);
    }

    void percentText_data()
    {
        QTest::addColumn<double>("percent");
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("expected");
        QTest::newRow("below one, two decimals") << 0.5 << "en_US"
                                                 << "0.50%";
        QTest::newRow("below one, the locale's separator") << 0.25 << "de_DE" << QStringLiteral("0,25%");
        QTest::newRow("whole") << 42.0 << "en_US"
                               << "42%";
        QTest::newRow("one decimal") << 42.5 << "en_US"
                                     << "42.5%";
        QTest::newRow("rounded to two") << 42.456 << "en_US"
                                        << "42.46%";
        QTest::newRow("rounding up to whole") << 99.999 << "en_US"
                                              << "100%";
        QTest::newRow("locale separator") << 42.5 << "de_DE"
                                          << "42,5%";
        QTest::newRow("no grouping") << 1234.5 << "en_US"
                                     << "1234.5%";
        QTest::newRow("German whole") << 100.0 << "de_DE" << QStringLiteral("100%");
        // Regression: Arabic switched from Latin digits to its own at one percent.
        // The locale's sign is ARABIC PERCENT SIGN followed by ARABIC LETTER MARK.
        const QString arabicPercent = QStringLiteral("\u066A\u061C");
        QTest::newRow("Arabic zero") << 0.0 << "ar_EG" << QStringLiteral("٠٫٠٠") + arabicPercent;
        QTest::newRow("Arabic below one") << 0.5 << "ar_EG" << QStringLiteral("٠٫٥٠") + arabicPercent;
        QTest::newRow("Arabic one decimal") << 42.5 << "ar_EG" << QStringLiteral("٤٢٫٥") + arabicPercent;
        QTest::newRow("Arabic whole") << 100.0 << "ar_EG" << QStringLiteral("١٠٠") + arabicPercent;
        QTest::newRow("Arabic no grouping") << 1234.5 << "ar" << QStringLiteral("١٢٣٤٫٥") + arabicPercent;
    }

    void percentText()
    {
        QFETCH(double, percent);
        QFETCH(QString, locale);
        QFETCH(QString, expected);
        QCOMPARE(LoadingViewController::percentText(percent, QLocale(locale)), expected);
    }

    void progressCloseRequestPausesAndResumes()
    {
        showWindow();
        auto *loading
            = qobject_cast<LoadingViewController *>(Storyboard::instantiateController(QStringLiteral("loading")));
        m_window->setContentViewController(loading);
        QVERIFY(m_driver.pump([] { return DownLoader::shared().zip() && DownLoader::shared().zip()->task.load(); }));
        const auto task = DownLoader::shared().zip()->task.load();
        QCOMPARE(task->state(), platform::net::DownloadTask::State::Running);
        m_window->close();
        QVERIFY(m_window->isVisible());
        QCOMPARE(task->state(), platform::net::DownloadTask::State::Suspended);
        QVERIFY(m_driver.pump([] { return PageDriver::notice() != nullptr; }));
        // The product's name is filled in, never shown as a placeholder.
        QCOMPARE(PageDriver::notice()->descLabel()->text(), localizedFormat(QStringLiteral("ExitTip"), { product() }));
        QVERIFY(!PageDriver::notice()->descLabel()->text().contains(QLatin1String("%@")));
        screenshot(QStringLiteral("page-progress-quit-prompt"));
        m_window->close(); // one prompt at a time: Cancel must not resume under a second one
        QCOMPARE(mira::attachedSheets(m_window.get()).size(), 1);
        QVERIFY(m_driver.choose(1));
        QCOMPARE(task->state(), platform::net::DownloadTask::State::Running);
        QVERIFY(events().endsWith(QStringLiteral("Cancel_Download_Close/Success")));
        QVERIFY(page<LoadingViewController>() == loading);
    }

    void failureDescriptions_data()
    {
        QTest::addColumn<FailedReason>("reason");
        QTest::addColumn<QString>("expected");
        QTest::newRow("no network") << FailedReason::withoutNetwork << text("Install_Error_No_NetWork");
        QTest::newRow("no space") << FailedReason::write
                                  << localizedFormat(QStringLiteral("Install_Error_No_Enough_Space"),
                                         { m_home.filePath(QStringLiteral("Applications")) });
        QTest::newRow("server keeps the page's text") << FailedReason::server << text("Install_Error_Unknown");
        QTest::newRow("install keeps the page's text") << FailedReason::install << text("Install_Error_Unknown");
    }

    void failureDescriptions()
    {
        QFETCH(FailedReason, reason);
        QFETCH(QString, expected);
        auto *failed = new FailedViewController;
        failed->setReason(reason);
        showWindow(failed);
        QCOMPARE(failed->descriptionLabel()->stringValue(), expected);
        if (reason == FailedReason::write)
            QVERIFY(
                failed->descriptionLabel()->stringValue().contains(m_home.filePath(QStringLiteral("Applications"))));
        QVERIFY(failed->retryBtn()->hasFocus());
        // Focus on Retry says what went wrong.
        QCOMPARE(failed->retryBtn()->accessibleDescription(), text("Failed_Title") + QLatin1Char('\n') + expected);
        if (reason == FailedReason::write)
            screenshot(QStringLiteral("page-failure"));
    }

    void failureQuitPromptAndRetry()
    {
        auto *failed = new FailedViewController;
        failed->setReason(FailedReason::server);
        showWindow(failed);
        m_window->close();
        QVERIFY(m_driver.pump([] { return PageDriver::notice() != nullptr; }));
        QCOMPARE(PageDriver::notice()->descLabel()->text(), localizedFormat(QStringLiteral("ExitTip"), { product() }));
        QTest::keyClick(PageDriver::notice(), Qt::Key_Escape); // the badge: stays, reports, resumes
        QVERIFY(m_driver.pump([] { return PageDriver::notice() == nullptr; }));
        QVERIFY(events().endsWith(QStringLiteral("Cancel_Close/Success")));
        QVERIFY(page<FailedViewController>() == failed);

        QSignalSpy switched(m_window.get(), &RootWindowController::contentViewControllerChanged);
        QTest::mouseClick(failed->retryBtn(), Qt::LeftButton, {}, failed->retryBtn()->rect().center());
        auto *loading = page<LoadingViewController>();
        QVERIFY(loading);
        QCOMPARE(loading->downType(), DownloadType::retry);
        QCOMPARE(switched.size(), 1);
    }

    // The pages in the four languages with the widest, tallest and right-to-left texts.
    void screenshotsInFourLanguages()
    {
        for (const InAppLanguage::Language language :
            { InAppLanguage::German, InAppLanguage::Japanese, InAppLanguage::Arabic, InAppLanguage::English }) {
            InAppLanguage::resetForTesting();
            InAppLanguage::setLanguage(language);
            showWindow();
            QCOMPARE(m_window->layoutDirection(),
                InAppLanguage(language).isRightToLeft() ? Qt::RightToLeft : Qt::LeftToRight);
            auto *welcome = page<ViewController>();
            // Nothing of the footer clips: every control gets its full width.
            for (QWidget *control : { static_cast<QWidget *>(welcome->agreementButton()),
                     welcome->findChild<QWidget *>(QStringLiteral("agreementLabel")),
                     static_cast<QWidget *>(welcome->protoclButton()), static_cast<QWidget *>(welcome->installBtn()) })
                QVERIFY2(control->width() >= control->sizeHint().width(), qPrintable(control->objectName()));
            screenshot(QStringLiteral("page-welcome"));
            welcome->agreementButton()->setChecked(false);
            welcome->installEvent();
            QVERIFY(m_driver.pump([] { return PageDriver::notice() != nullptr; }));
            screenshot(QStringLiteral("page-welcome-agreement-notice"));
            QVERIFY(m_driver.choose(0));

            auto *failed = new FailedViewController;
            failed->setReason(FailedReason::write);
            m_window->setContentViewController(failed);
            settleLayouts();
            QVERIFY(failed->descriptionLabel()->height()
                >= failed->descriptionLabel()->heightForWidth(failed->descriptionLabel()->width()));
            screenshot(QStringLiteral("page-failure"));

            auto *loading
                = qobject_cast<LoadingViewController *>(Storyboard::instantiateController(QStringLiteral("loading")));
            m_window->setContentViewController(loading);
            settleLayouts();
            screenshot(QStringLiteral("page-progress"));
            m_window.reset();
        }
    }
};

QTEST_MAIN(PagesTest)
#include "tst_pages.moc"
