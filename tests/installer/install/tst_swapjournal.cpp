#include <installer/install/SwapJournal.h>

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

class SwapJournalTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // A journal is untrusted: only a plain staging folder name is taken from it.
    void readsOnlyPlainStagingNames_data()
    {
        QTest::addColumn<QByteArray>("staging");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("staging folder") << QByteArray(".prismora-install-a1B2c3") << true;
        QTest::newRow("trailing newline") << QByteArray(".prismora-install-a1B2c3\\n") << false;
        QTest::newRow("outside") << QByteArray("../victim") << false;
        QTest::newRow("five characters") << QByteArray(".prismora-install-a1B2c") << false;
    }

    void readsOnlyPlainStagingNames()
    {
        QFETCH(QByteArray, staging);
        QFETCH(bool, accepted);
        QTemporaryDir applications;
        QFile file(SwapJournal::path(applications.path()));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(R"({"staging":")" + staging + R"(","device":"1","inode":"2"})");
        file.close();
        const auto entry = SwapJournal::read(applications.path());
        QCOMPARE(bool(entry), accepted);
        if (entry)
            QCOMPARE(entry->staging, QString::fromUtf8(staging));
    }
};

QTEST_GUILESS_MAIN(SwapJournalTest)
#include "tst_swapjournal.moc"
