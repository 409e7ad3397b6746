#include "CrashingChild.h"

#include <mirakit/foundation/ButtonExtensions.h>
#include <mirakit/foundation/ListViewRegister.h>

#include <QApplication>
#include <QListView>
#include <QPushButton>
#include <QTest>

namespace {

class Page : public QObject {
public:
    int installs = 0;
    int starts = 0;
    void install() { ++installs; }
    void start() { ++starts; }
};

} // namespace

class DownloadCell : public QWidget {
    Q_OBJECT
public:
    explicit DownloadCell(QWidget *parent = nullptr)
        : QWidget(parent)
    {
    }
};

class UnregisteredCell : public QWidget {
    Q_OBJECT
public:
    using QWidget::QWidget;
};

class ViewHelpersTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void buttonKeepsOneTargetAction()
    {
        QPushButton button;
        Page first, second;
        mira::addTarget(&button, &first, &Page::install);
        mira::addTarget(&button, &first, &Page::install);
        button.click();
        QCOMPARE(first.installs, 1);

        mira::addTarget(&button, &second, &Page::start);
        button.click();
        QCOMPARE(first.installs, 1);
        QCOMPARE(second.starts, 1);

        mira::addTarget<Page>(&button, nullptr, nullptr);
        button.click();
        QCOMPARE(second.starts, 1);

        {
            Page gone;
            mira::addTarget(&button, &gone, &Page::install);
        }
        button.click(); // must not call into the destroyed page
    }

    void registeredCellsAreMadeForTheirOwner()
    {
        QListView list;
        mira::ListViewRegister::registerCellNib<DownloadCell>(&list);
        DownloadCell *cell = mira::ListViewRegister::makeView<DownloadCell>(&list, list.viewport());
        QVERIFY(cell);
        QCOMPARE(cell->parentWidget(), list.viewport());
        QVERIFY(cell != mira::ListViewRegister::makeView<DownloadCell>(&list, list.viewport()));
    }

    void cellsOfAnotherViewOrClassStopTheProcess_data()
    {
        QTest::addColumn<QString>("call");
        QTest::addColumn<QString>("message");
        QTest::newRow("never registered")
            << QStringLiteral("unregistered") << QStringLiteral("UnregisteredCell is not registed");
        QTest::newRow("registered with another view")
            << QStringLiteral("other-view") << QStringLiteral("DownloadCell is not registed");
    }

    void cellsOfAnotherViewOrClassStopTheProcess()
    {
        QFETCH(QString, call);
        QFETCH(QString, message);
        const std::optional<QByteArray> error = crashingChildError(QStringLiteral("VIEW_HELPERS_FATAL_CALL"), call);
        QVERIFY(error);
        QVERIFY2(error->contains(message.toUtf8()), qPrintable(message));
    }
};

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    // The process-stopping checks run in a child copy of this program.
    const QString call = qEnvironmentVariable("VIEW_HELPERS_FATAL_CALL");
    if (!call.isEmpty()) {
        QListView list, other;
        mira::ListViewRegister::registerCellNib<DownloadCell>(&other);
        if (call == u"unregistered")
            mira::ListViewRegister::makeView<UnregisteredCell>(&other, nullptr);
        else
            mira::ListViewRegister::makeView<DownloadCell>(&list, nullptr);
        return 0;
    }
    ViewHelpersTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_viewhelpers.moc"
