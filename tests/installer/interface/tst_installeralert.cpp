#include "TestHome.h"
#include "VirtualTime.h"

#include <installer/interface/InAppLanguage.h>
#include <installer/interface/LocalizedFormat.h>
#include <installer/interface/LocalizedString.h>
#include <installer/interface/PoppinsFont.h>
#include <installer/interface/ThemeButton.h>
#include <installer/pages/InstallerAlertViewController.h>
#include <installer/pages/InstalllerAlertProtocol.h>

#include <mirakit/interactive/InteractiveButton.h>
#include <mirakit/windows/SheetCloseButton.h>
#include <mirakit/windows/SheetWindow.h>
#include <mirakit/windows/WindowPresentation.h>

#include <QAccessible>
#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QLayout>
#include <QTest>

using B = ButtonStorage::ButtonStyle;

namespace {

// A page that shows notices, as the installer's pages do.
class NoticePage : public QWidget, public InstalllerAlertProtocol { };

QList<mira::SheetWindow *> shownSheets()
{
    QList<mira::SheetWindow *> sheets;
    for (QWidget *window : QApplication::topLevelWidgets()) {
        for (auto *sheet : window->findChildren<mira::SheetWindow *>()) {
            if (sheet->isVisible())
                sheets << sheet;
        }
    }
    return sheets;
}

InstallerAlertViewController *pageOf(mira::SheetWindow *sheet)
{
    return sheet ? qobject_cast<InstallerAlertViewController *>(sheet->contentViewController()) : nullptr;
}

// Whether @p child lies wholly inside @p area (both in @p root's coordinates).
bool inside(const QWidget *child, const QWidget *root, const QRect &area)
{
    return area.contains(QRect(child->mapTo(root, QPoint(0, 0)), child->size()));
}

struct Notice {
    QString name;
    NoticePageConfiger configer;
    QList<ChooseAlertAction> options;
};

// The installer's six notices, in the current language.
QList<Notice> installerNotices()
{
    const QString product = localizedString(QStringLiteral("Application_Name"));
    const auto choice = [](const char *key, B style) {
        return ChooseAlertAction::choice(localizedString(QLatin1String(key)), style);
    };
    const QList<ChooseAlertAction> quit
        = { choice("Dialog_Button_OK", B::border), choice("Dialog_Button_Cancel", B::theme) };
    return {
        { QStringLiteral("welcome-quit"),
            NoticePageConfiger::installerNotice(localizedFormat(QStringLiteral("ExitTip"), { product })), quit },
        { QStringLiteral("progress-quit"),
            NoticePageConfiger::installerNotice(localizedString(QStringLiteral("ExitTip"))), quit },
        { QStringLiteral("failure-quit"),
            NoticePageConfiger::installerNotice(localizedFormat(QStringLiteral("ExitTip"), { product })), quit },
        { QStringLiteral("replace"),
            NoticePageConfiger::installerNotice(
                localizedFormat(QStringLiteral("Alert_Existed_Should_Replace"), { product })),
            { choice("Button_Cancel", B::border), choice("Button_Replace", B::theme) } },
        { QStringLiteral("terms"),
            NoticePageConfiger::installerNotice(localizedFormat(QStringLiteral("AgreeTip"), { product })),
            { choice("Dialog_Button_OK", B::theme) } },
        { QStringLiteral("delete-manually"),
            NoticePageConfiger::installerNotice(
                localizedFormat(QStringLiteral("Alert_Existed_Delete_Manually"), { product, product })),
            { choice("Button_Cancel", B::border), choice("Dialog_Button_OK", B::theme) } },
    };
}

} // namespace

class InstallerAlertTest : public QObject {
    Q_OBJECT
private:
    TestHome m_home;
    VirtualTime m_time;
    std::unique_ptr<NoticePage> m_host;

    // Presents a notice over a shown 800 × 520 host and answers its page.
    InstallerAlertViewController *present(const NoticePageConfiger &configer, const QList<ChooseAlertAction> &options)
    {
        m_host->presentNotice(configer, options, m_host.get());
        const auto sheets = shownSheets();
        if (sheets.size() != 1)
            return nullptr;
        QTest::qWaitForWindowExposed(sheets.first());
        sheets.first()->activateWindow();
        QTest::qWaitForWindowActive(sheets.first());
        return pageOf(sheets.first());
    }

    static NoticePageConfiger notice(const QString &desc, std::function<void()> willClose = {})
    {
        return NoticePageConfiger::installerNotice(desc, std::move(willClose));
    }

private Q_SLOTS:
    void initTestCase()
    {
        InAppLanguage::resetForTesting();
        InAppLanguage::setLanguage(InAppLanguage::English);
    }

    void init()
    {
        m_host = std::make_unique<NoticePage>();
        m_host->resize(800, 520);
        m_host->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_host.get()));
    }

    void cleanup()
    {
        for (mira::SheetWindow *sheet : shownSheets())
            mira::dismiss(sheet);
        m_host.reset();
        m_time.clock.runPending();
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    void titleWithoutDescriptionHidesTheDescription()
    {
        InstallerAlertViewController page;
        NoticePageConfiger configer;
        configer.title = QStringLiteral("Heads up");
        configer.alertStyle = AlertStyle::center;
        page.setConfiger(configer);
        page.loadViewIfNeeded();
        QVERIFY(!page.titleLabel()->isHidden());
        QCOMPARE(page.titleLabel()->text(), QStringLiteral("Heads up"));
        QVERIFY(page.descLabel()->isHidden());
        QCOMPARE(page.descLabel()->text(), QString());
        QVERIFY(page.imageView()->pixmap().isNull());
        QVERIFY(page.actionStackView()->isHidden()); // no choices, no buttons
        QCOMPARE(page.button(0), nullptr);
    }

    void warningImageComesFromTheBundle()
    {
        InstallerAlertViewController page;
        NoticePageConfiger configer;
        configer.image = NoticeImage::warning();
        page.setConfiger(configer);
        page.loadViewIfNeeded();
        QVERIFY(!page.imageView()->isHidden());
        QCOMPARE(page.imageView()->pixmap().deviceIndependentSize().toSize(), QSize(64, 64));
    }

    void styleSetsTheLayout()
    {
        InstallerAlertViewController vertical;
        NoticePageConfiger configer;
        configer.desc = QStringLiteral("Short.");
        configer.alertStyle = AlertStyle::vertical;
        vertical.setConfiger(configer);
        const mira::LayoutConstraint original = vertical.aspectConstraint();
        vertical.loadViewIfNeeded();
        QVERIFY(!vertical.widthConstraint().isActive());
        QVERIFY(vertical.aspectConstraint().isActive());
        QVERIFY(!original.isActive()); // replaced, not changed in place
        QCOMPARE(vertical.aspectConstraint().multiplier(), 328.0 / 379.0);
        vertical.show();
        QCOMPARE(vertical.size(), QSize(328, 379));

        InstallerAlertViewController nature;
        nature.setConfiger(notice(QStringLiteral("Short.")));
        nature.loadViewIfNeeded();
        QVERIFY(!nature.aspectConstraint().isActive());
        QVERIFY(nature.widthConstraint().isActive());
        QCOMPARE(nature.widthConstraint().constant(), 384.0);
        QCOMPARE(nature.stackViewTopConstraint().constant(), 42.0);
        QCOMPARE(nature.stackViewLeadingConstraint().constant(), 32.0);
        QCOMPARE(nature.stackViewTrailingConstraint().constant(), -32.0);
        QCOMPARE(nature.stackView()->layout()->spacing(), 8);
        QCOMPARE(nature.descLabel()->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignLeft);
        nature.show();
        QCOMPARE(nature.width(), 384);
        QCOMPARE(nature.stackView()->geometry().left(), 32);
        QCOMPARE(nature.stackView()->geometry().right() + 1, 384 - 32);
    }

    // Long texts make the notice taller (nature) or larger at the same ratio (vertical).
    void growsWithItsText()
    {
        const QString longText = QStringLiteral("A long description that needs many lines. ").repeated(12);
        for (const AlertStyle style : { AlertStyle::nature, AlertStyle::vertical }) {
            InstallerAlertViewController page;
            NoticePageConfiger configer = notice(longText);
            configer.alertStyle = style;
            page.setConfiger(configer);
            page.setOptions({ ChooseAlertAction::choice(QStringLiteral("OK"), B::theme) });
            page.show();
            const QLabel *desc = page.descLabel();
            QVERIFY(desc->height() >= desc->heightForWidth(desc->width()));
            QVERIFY(inside(desc, &page, page.rect()));
            QVERIFY(desc->mapTo(&page, QPoint(0, desc->height())).y() <= page.button(0)->mapTo(&page, QPoint()).y());
            if (style == AlertStyle::vertical)
                QVERIFY(qAbs(page.width() - page.height() * 328.0 / 379.0) <= 1);
        }
    }

    // Illustration, title, description and buttons stack without overlapping.
    void centredStylesStackTheirParts()
    {
        for (const AlertStyle style : { AlertStyle::center, AlertStyle::vertical }) {
            NoticePageConfiger configer;
            configer.image = NoticeImage::warning();
            configer.title = QStringLiteral("Replace the installed copy?");
            configer.desc
                = QStringLiteral("Prismora is already installed on this computer. Do you want to replace it?");
            configer.alertStyle = style;
            configer.buttonHeight = 32;
            configer.buttonMinWidth = 96;
            configer.buttonFont = poppinsFont(14, PoppinsWeight::medium);
            InstallerAlertViewController *page = present(configer,
                { ChooseAlertAction::choice(QStringLiteral("Cancel"), B::border),
                    ChooseAlertAction::choice(QStringLiteral("Replace"), B::theme) });
            QVERIFY(page);
            QCOMPARE(page->button(0)->parentWidget(), page->actionStackView());
            QCOMPARE(page->button(0)->size(), QSize(96, 32));
            const QList<const QWidget *> parts
                = { page->imageView(), page->titleLabel(), page->descLabel(), page->button(0) };
            int bottom = 0;
            for (const QWidget *part : parts) {
                QVERIFY(inside(part, page, page->rect()));
                const int top = part->mapTo(page, QPoint()).y();
                QVERIFY(top >= bottom);
                bottom = top + part->height();
            }
            // The row is centred.
            const QRect row = page->actionStackView()->geometry();
            QVERIFY(qAbs(row.center().x() - page->width() / 2) <= 1);
            const QString folder = qEnvironmentVariable("SCREENSHOT_DIR");
            if (!folder.isEmpty()) {
                QDir().mkpath(folder);
                mira::sheetWindowOf(page)->grab().save(
                    QStringLiteral("%1/alert-style-%2.png")
                        .arg(folder,
                            style == AlertStyle::center ? QStringLiteral("center") : QStringLiteral("vertical")));
            }
            mira::dismiss(page);
        }
    }

    void choicesAreTaggedInReadingOrder()
    {
        for (const Qt::LayoutDirection direction : { Qt::LeftToRight, Qt::RightToLeft }) {
            InstallerAlertViewController page;
            page.setLayoutDirection(direction);
            page.setConfiger(notice(QStringLiteral("Pick one.")));
            page.setOptions({ ChooseAlertAction::choice(QStringLiteral("One"), B::border),
                ChooseAlertAction::choice(QStringLiteral("Two"), B::title),
                ChooseAlertAction::choice(QStringLiteral("Three"), B::theme) });
            page.show();
            QList<int> xs;
            for (int tag = 0; tag < 3; ++tag) {
                QAbstractButton *button = page.button(tag);
                QVERIFY(button);
                QCOMPARE(button->property("tag").toInt(), tag);
                QCOMPARE(button->parentWidget(), page.natureActionStackView());
                QVERIFY(inside(button, &page, page.rect().adjusted(32, 0, -32, 0)));
                xs << button->mapTo(&page, QPoint()).x();
            }
            QCOMPARE(page.button(3), nullptr);
            const bool leftToRight = direction == Qt::LeftToRight;
            QVERIFY(leftToRight ? (xs[0] < xs[1] && xs[1] < xs[2]) : (xs[0] > xs[1] && xs[1] > xs[2]));
            // The row sits at the end of the reading direction, 32 from the edge.
            const QRect row = page.natureActionStackView()->geometry();
            QCOMPARE(leftToRight ? page.width() - (row.right() + 1) : row.left(), 32);
            QCOMPARE(qobject_cast<ThemeButton *>(page.button(2)) != nullptr, true);
            QCOMPARE(page.defaultTag(), 2);
        }
    }

    void touchChoiceRunsAndStays()
    {
        QList<QString> ran;
        ChooseAlertAction touch;
        touch.title = QStringLiteral("Again");
        touch.occasion = ActionBlockOccasion::touch;
        touch.isCheckedBox = true;
        touch.block = [&](const ChooseAlertAction &action) {
            ran << action.title;
            QVERIFY(action.isCheckedBox);
        };
        InstallerAlertViewController *page = present(notice(QStringLiteral("Try?")), { touch });
        QVERIFY(page);
        QTest::mouseClick(page->button(0), Qt::LeftButton);
        QCOMPARE(ran, QList<QString> { QStringLiteral("Again") });
        QVERIFY(mira::sheetWindowOf(page)->isVisible());
        QTest::mouseClick(page->button(0), Qt::LeftButton);
        QCOMPARE(ran.size(), 2);
    }

    void dismissChoiceClosesThenRuns()
    {
        QStringList ran;
        bool visibleWhenRun = true;
        QPointer<InstallerAlertViewController> page;
        const auto record = [&](const char *name) {
            return [&, name] {
                ran << QLatin1String(name);
                visibleWhenRun = page && mira::sheetWindowOf(page)->isVisible();
            };
        };
        page = present(notice(QStringLiteral("Quit?"), record("willClose")),
            { ChooseAlertAction::choice(QStringLiteral("OK"), B::border, record("ok")),
                ChooseAlertAction::choice(QStringLiteral("Cancel"), B::theme, record("cancel")) });
        QVERIFY(page);
        QWidget *sheet = mira::sheetWindowOf(page);
        QTest::mouseClick(page->button(0), Qt::LeftButton);
        QVERIFY(!sheet->isVisible());
        QVERIFY(ran.isEmpty()); // not before the next turn
        m_time.clock.runPending();
        QCOMPARE(ran, QStringList { QStringLiteral("ok") });
        QVERIFY(!visibleWhenRun);
        QVERIFY(shownSheets().isEmpty());
    }

    void closeBadgeRunsWillCloseOnly()
    {
        QStringList ran;
        InstallerAlertViewController *page
            = present(notice(QStringLiteral("Quit?"), [&] { ran << QStringLiteral("willClose"); }),
                { ChooseAlertAction::choice(QStringLiteral("OK"), B::border, [&] { ran << QStringLiteral("ok"); }),
                    ChooseAlertAction::choice(
                        QStringLiteral("Cancel"), B::theme, [&] { ran << QStringLiteral("cancel"); }) });
        QVERIFY(page);
        auto *sheet = mira::sheetWindowOf(page);
        QVERIFY(sheet && sheet->hasCloseView());
        QTest::mouseClick(sheet->closeButton(), Qt::LeftButton);
        QCOMPARE(ran, QStringList { QStringLiteral("willClose") });
        QVERIFY(!sheet->isVisible());
        m_time.clock.runPending();
        QCOMPARE(ran, QStringList { QStringLiteral("willClose") });
    }

    void keyboard()
    {
        QStringList ran;
        const auto log = [&](const QString &what) { return [&ran, what] { ran << what; }; };
        InstallerAlertViewController *page = present(notice(QStringLiteral("Quit?"), log(QStringLiteral("willClose"))),
            { ChooseAlertAction::choice(QStringLiteral("OK"), B::border, log(QStringLiteral("ok"))),
                ChooseAlertAction::choice(QStringLiteral("Later"), B::title, log(QStringLiteral("later"))),
                ChooseAlertAction::choice(QStringLiteral("Cancel"), B::theme, log(QStringLiteral("cancel"))) });
        QVERIFY(page);
        QWidget *sheet = mira::sheetWindowOf(page);
        // Focus starts on the theme choice; Tab goes on left to right.
        QCOMPARE(QApplication::focusWidget(), page->button(2));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), page->button(0));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), page->button(1));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
        QCOMPARE(QApplication::focusWidget(), page->button(0));

        for (int tag = 0; tag < 3; ++tag) {
            QAccessibleInterface *accessible = QAccessible::queryAccessibleInterface(page->button(tag));
            QVERIFY(accessible);
            QCOMPARE(accessible->text(QAccessible::Name), page->options()->at(tag).title);
        }
        QAccessibleInterface *description = QAccessible::queryAccessibleInterface(page->descLabel());
        QVERIFY(description);
        QCOMPARE(description->text(QAccessible::Name), QStringLiteral("Quit?"));

        // Return presses the focused choice, never another one behind the user's back.
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QVERIFY(!sheet->isVisible());
        m_time.clock.runPending();
        QCOMPARE(ran, QStringList { QStringLiteral("ok") });

        // Enter takes the only choice; Escape acts as the badge.
        ran.clear();
        page = present(notice(QStringLiteral("Agree first."), log(QStringLiteral("willClose"))),
            { ChooseAlertAction::choice(QStringLiteral("OK"), B::border, log(QStringLiteral("ok"))) });
        QVERIFY(page);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Enter);
        m_time.clock.runPending();
        QCOMPARE(ran, QStringList { QStringLiteral("ok") });

        ran.clear();
        page = present(notice(QStringLiteral("Quit?"), log(QStringLiteral("willClose"))),
            { ChooseAlertAction::choice(QStringLiteral("OK"), B::border, log(QStringLiteral("ok"))),
                ChooseAlertAction::choice(QStringLiteral("Cancel"), B::theme, log(QStringLiteral("cancel"))) });
        QVERIFY(page);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space); // the focused (theme) button
        m_time.clock.runPending();
        QCOMPARE(ran, QStringList { QStringLiteral("cancel") });

        ran.clear();
        page = present(notice(QStringLiteral("Quit?"), log(QStringLiteral("willClose"))),
            { ChooseAlertAction::choice(QStringLiteral("OK"), B::border, log(QStringLiteral("ok"))) });
        QVERIFY(page);
        sheet = mira::sheetWindowOf(page);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        QVERIFY(!sheet->isVisible());
        m_time.clock.runPending();
        QCOMPARE(ran, QStringList { QStringLiteral("willClose") });
    }

    void nothingIsShownWithoutAWindow()
    {
        int ran = 0;
        const NoticePageConfiger configer = notice(QStringLiteral("Quit?"), [&] { ++ran; });
        const QList<ChooseAlertAction> options
            = { ChooseAlertAction::choice(QStringLiteral("OK"), B::theme, [&] { ++ran; }) };
        // A window that is given but not shown.
        QWidget hidden;
        m_host->presentNotice(configer, options, &hidden);
        QVERIFY(shownSheets().isEmpty());

        m_host->hide();
        QTRY_VERIFY(!QApplication::activeWindow());
        QCOMPARE(InstalllerAlertProtocol::noticeWindow(), nullptr);
        m_host->presentNotice(configer, options);
        QVERIFY(shownSheets().isEmpty());
        m_time.clock.runPending();
        QCOMPARE(ran, 0);

        // With a shown window but none given, the notice goes on that window.
        m_host->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_host.get()));
        QCOMPARE(InstalllerAlertProtocol::noticeWindow(), m_host.get());
        m_host->presentNotice(configer, options);
        QCOMPARE(shownSheets().size(), 1);
        QCOMPARE(mira::sheetParent(shownSheets().first()), m_host.get());

        // The notice is part of the main window, so the next one goes there too.
        QApplication::setActiveWindow(m_host.get());
        QVERIFY(shownSheets().first()->isAncestorOf(QApplication::focusWidget()));
        QCOMPARE(InstalllerAlertProtocol::noticeWindow(), m_host.get());
    }

    // Every installer notice in every language fits its text and buttons.
    void installerNoticesFitInEveryLanguage()
    {
        const QString folder = qEnvironmentVariable("SCREENSHOT_DIR");
        const QStringList screenshotLanguages
            = { QStringLiteral("en"), QStringLiteral("de"), QStringLiteral("ja"), QStringLiteral("ar") };
        for (const InAppLanguage language : InAppLanguage::allCases()) {
            InAppLanguage::resetForTesting();
            InAppLanguage::setLanguage(language);
            m_host.reset(new NoticePage);
            m_host->resize(800, 520);
            m_host->show();
            QVERIFY(QTest::qWaitForWindowExposed(m_host.get()));
            for (const Notice &item : installerNotices()) {
                const QString where = item.name + QLatin1Char(' ') + language.code();
                InstallerAlertViewController *page = present(item.configer, item.options);
                QVERIFY2(page, qPrintable(where));
                QWidget *sheet = mira::sheetWindowOf(page);
                QCOMPARE(sheet->size(), page->size());
                QCOMPARE(page->width(), 384);
                QCOMPARE(page->layoutDirection(), language.isRightToLeft() ? Qt::RightToLeft : Qt::LeftToRight);
                const QRect area = page->rect().adjusted(32, 0, -32, 0);
                const QLabel *desc = page->descLabel();
                QVERIFY2(inside(desc, page, area), qPrintable(where));
                QVERIFY2(desc->height() >= desc->heightForWidth(desc->width()), qPrintable(where));
                QCOMPARE(desc->font().family(), poppinsFont(14, PoppinsWeight::regular).family());
                for (int tag = 0; tag < item.options.size(); ++tag) {
                    QAbstractButton *button = page->button(tag);
                    QVERIFY2(inside(button, page, area), qPrintable(where));
                    QVERIFY2(button->width() >= button->sizeHint().width(), qPrintable(where));
                    QVERIFY2(button->height() >= button->sizeHint().height(), qPrintable(where));
                    QVERIFY2(button->geometry().top() >= 0, qPrintable(where));
                }
                if (!folder.isEmpty() && screenshotLanguages.contains(language.code())) {
                    QDir().mkpath(folder);
                    sheet->grab().save(QStringLiteral("%1/alert-%2-%3.png").arg(folder, item.name, language.code()));
                }
                mira::dismiss(page);
                QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            }
        }
        InAppLanguage::resetForTesting();
        InAppLanguage::setLanguage(InAppLanguage::English);
    }
};

QTEST_MAIN(InstallerAlertTest)
#include "tst_installeralert.moc"
