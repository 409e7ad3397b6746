#include <mirakit/interactive/InteractiveLabel.h>
#include <mirakit/interactive/InteractiveView.h>
#include <mirakit/windows/NibClassRegistry.h>
#include <mirakit/windows/NibDesignView.h>
#include <mirakit/windows/NibInstantiate.h>

#include <platform/KSTLogManager.h>

#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace mira;

class ProfileCard : public QWidget {
    Q_OBJECT
public:
    using QWidget::QWidget;
};

class Wrapped : public QWidget {
    Q_OBJECT
public:
    using QWidget::QWidget;
};

class Mismatch : public QWidget {
    Q_OBJECT
public:
    using QWidget::QWidget;
};

class Missing : public QWidget {
    Q_OBJECT
public:
    using QWidget::QWidget;
};

class Recursive : public QWidget {
    Q_OBJECT
public:
    using QWidget::QWidget;
};

MIRA_REGISTER_NIB_CLASS(ProfileCard)
MIRA_REGISTER_NIB_CLASS(Recursive)
MIRA_REGISTER_NIB_CLASS(Wrapped)
MIRA_REGISTER_NIB_CLASS(Mismatch)
MIRA_REGISTER_NIB_CLASS(Missing)

class NibViewTest : public QObject {
    Q_OBJECT
private:
    QTemporaryDir m_logDir;

    QString lastLogLine() const
    {
        QFile file(platform::KSTLogManager::singleton().logFilePath());
        if (!file.open(QIODevice::ReadOnly))
            return {};
        const QList<QByteArray> lines = file.readAll().trimmed().split('\n');
        return QString::fromUtf8(lines.last());
    }

private Q_SLOTS:
    void initTestCase() { qputenv("PRISMORA_LOG_DIR", QFile::encodeName(m_logDir.path())); }

    void namesLoadOrFailWithTheirMessage_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("message");
        const QString nibError = QString::fromLatin1(NibInstantiate::nibNameErrorMessage);
        QTest::newRow("root of the class") << QStringLiteral("ProfileCard") << QString();
        QTest::newRow("child of a form, others ignored") << QStringLiteral("Wrapped") << QString();
        QTest::newRow("empty") << QString() << QStringLiteral("nib name is emtpy");
        QTest::newRow("missing file") << QStringLiteral("Missing") << nibError;
        QTest::newRow("unknown class") << QStringLiteral("Unregistered") << QStringLiteral("class name error");
        QTest::newRow("no widget of the class") << QStringLiteral("Mismatch") << nibError;
        QTest::newRow("parent folder") << QStringLiteral("../nibs/ProfileCard") << nibError;
        QTest::newRow("sub folder") << QStringLiteral("nibs/ProfileCard") << nibError;
        QTest::newRow("resource path") << QStringLiteral(":/nibs/ProfileCard") << nibError;
        QTest::newRow("backslash") << QStringLiteral("nibs\\ProfileCard") << nibError;
        QTest::newRow("extension") << QStringLiteral("ProfileCard.ui") << nibError;
        QTest::newRow("trailing newline") << QStringLiteral("ProfileCard\n") << nibError;
    }

    void namesLoadOrFailWithTheirMessage()
    {
        QFETCH(QString, name);
        QFETCH(QString, message);
        QWidget parent;
        QString error;
        QWidget *view = NibInstantiate::instantiate(name, &parent, &error);
        QCOMPARE(error, message);
        QCOMPARE(view == nullptr, !message.isEmpty());
        if (view) {
            QCOMPARE(view->parentWidget(), &parent);
            QCOMPARE(NibInstantiate::unqualifiedName(*view->metaObject()), name);
            // Everything else in the file went away with the form.
            QCOMPARE(parent.children().size(), 1);
        } else {
            QVERIFY(lastLogLine().endsWith(message));
        }
    }

    void customWidgetsComeFromTheRegistryWithTheirProperties()
    {
        std::unique_ptr<ProfileCard> card(NibInstantiate::instantiate<ProfileCard>());
        QVERIFY(card);
        auto *label = card->findChild<InteractiveLabel *>(QStringLiteral("nameLabel"));
        QVERIFY(label);
        QCOMPARE(label->stringValue(), QStringLiteral("Ada Lovelace"));
        auto *badge = card->findChild<InteractiveView *>(QStringLiteral("badge"));
        QVERIFY(badge);
        QCOMPARE(badge->cornerRadius(), 6.0);
        QCOMPARE(card->objectName(), QStringLiteral("ProfileCard"));
    }

    // A well-formed file outside the resources must stay out of reach, however the name points at it.
    void filesOutsideTheResourcesAreNeverLoaded()
    {
        QTemporaryDir outside;
        QVERIFY(
            QFile::copy(QStringLiteral(":/nibs/ProfileCard.ui"), outside.filePath(QStringLiteral("ProfileCard.ui"))));
        const QString absolute = outside.filePath(QStringLiteral("ProfileCard"));
        QString error;
        QVERIFY(!NibInstantiate::instantiate(absolute, &ProfileCard::staticMetaObject, nullptr, &error));
        QCOMPARE(error, QString::fromLatin1(NibInstantiate::nibNameErrorMessage));
        NibDesignView container;
        container.setNibName(absolute);
        QVERIFY(!container.contentView());
    }

    void designViewFillsItselfAndReplacesItsContent()
    {
        QWidget window;
        window.resize(300, 200);
        NibDesignView container(&window);
        container.setGeometry(10, 10, 260, 120);
        QWidget overlay(&container);
        QSignalSpy nameChanges(&container, &NibDesignView::nibNameChanged);
        QSignalSpy contentChanges(&container, &NibDesignView::contentViewChanged);
        container.setNibName(QStringLiteral("ProfileCard"));
        container.setNibName(QStringLiteral("ProfileCard"));
        QCOMPARE(nameChanges.count(), 1);
        QCOMPARE(contentChanges.count(), 1);
        QPointer<QWidget> first = container.contentView();
        QVERIFY(qobject_cast<ProfileCard *>(first));
        QCOMPARE(first->geometry(), QRect(0, 0, 260, 120));
        // Lowest child: what the container already held stays in front.
        QCOMPARE(container.children().indexOf(first), 0);
        window.show();
        container.resize(200, 90);
        QCOMPARE(first->geometry(), QRect(0, 0, 200, 90));

        container.setNibName(QStringLiteral("Wrapped"));
        QVERIFY(first.isNull());
        QVERIFY(qobject_cast<Wrapped *>(container.contentView()));
        QCOMPARE(container.contentView()->geometry(), QRect(0, 0, 200, 90));
    }

    void aFailedLoadKeepsTheContentAndSaysWhy()
    {
        NibDesignView container;
        container.setNibName(QStringLiteral("ProfileCard"));
        QWidget *content = container.contentView();
        QSignalSpy failures(&container, &NibDesignView::loadFailed);
        container.setNibName(QString());
        container.setNibName(QStringLiteral("Unregistered"));
        QCOMPARE(failures.count(), 2);
        QCOMPARE(failures.at(0).at(0).toString(), QStringLiteral("nib name is emtpy"));
        QCOMPARE(failures.at(1).at(0).toString(), QStringLiteral("class name error"));
        QCOMPARE(container.contentView(), content);
        QCOMPARE(container.nibName(), QStringLiteral("Unregistered"));
    }

    // A file whose design view names the file itself must not load forever.
    void aFileThatHoldsItselfLoadsOnce()
    {
        std::unique_ptr<QWidget> view(NibInstantiate::instantiate(QStringLiteral("Recursive")));
        QVERIFY(view);
        auto *inner = view->findChild<NibDesignView *>(QStringLiteral("inner"));
        QVERIFY(inner);
        QCOMPARE(inner->nibName(), QStringLiteral("Recursive"));
        QVERIFY(!inner->contentView());
        QVERIFY(lastLogLine().endsWith(QLatin1String(NibInstantiate::nibNameErrorMessage)));
    }

    void registryKnowsMiraKitWidgetsAndNibNamesWithoutNamespace()
    {
        QVERIFY(NibClassRegistry::contains(QStringLiteral("mira::InteractiveView")));
        QVERIFY(NibClassRegistry::contains(QStringLiteral("mira::NibDesignView")));
        QCOMPARE(NibClassRegistry::classForNibName(QStringLiteral("InteractiveButton")),
            NibClassRegistry::classForNibName(QStringLiteral("mira::InteractiveButton")));
        QVERIFY(!NibClassRegistry::classForNibName(QStringLiteral("Nothing")));
        QVERIFY(!NibClassRegistry::create(QStringLiteral("Nothing"), nullptr));
        QVERIFY(!NibClassRegistry::registerClass(QString(), nullptr, {}));
    }
};

QTEST_MAIN(NibViewTest)
#include "tst_nibview.moc"
