#include <installer/install/TreeCopy.h>
#include <installer/install/TreeRemoval.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>
#include <unistd.h>

namespace {

QByteArray encoded(const QString &path)
{
    return QFile::encodeName(path);
}

mode_t modeOf(const QString &path)
{
    struct stat info { };
    return ::lstat(encoded(path).constData(), &info) == 0 ? info.st_mode : 0;
}

bool writeFile(const QString &path, const QByteArray &content, mode_t mode)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(content) == content.size()
        && ::chmod(encoded(path).constData(), mode) == 0;
}

} // namespace

class TestTreeCopy : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        m_dir.reset(new QTemporaryDir);
        m_source = m_dir->filePath(QStringLiteral("source"));
        m_target = m_dir->filePath(QStringLiteral("target"));
    }

    void cleanup()
    {
        for (const QString &root : { m_source, m_target })
            ::chmod(encoded(root + QStringLiteral("/locked")).constData(), 0755);
    }

    // Deeper than the walk keeps folders open, with a folder the owner may
    // not write, modes without set-id bits, links copied as links.
    void copiesFoldersFilesLinksAndModes()
    {
        QString deep = m_source;
        for (int level = 0; level < 40; ++level)
            deep += QStringLiteral("/d");
        QVERIFY(QDir().mkpath(deep));
        QVERIFY(writeFile(deep + QStringLiteral("/leaf"), "leaf", 04750));
        QVERIFY(writeFile(m_source + QStringLiteral("/top"), "top!", 0644));
        QVERIFY(QDir().mkpath(m_source + QStringLiteral("/locked")));
        QVERIFY(writeFile(m_source + QStringLiteral("/locked/inside"), "x", 0600));
        QCOMPARE(::chmod(encoded(m_source + QStringLiteral("/locked")).constData(), 0555), 0);
        QCOMPARE(::symlink("nowhere/at/all", encoded(m_source + QStringLiteral("/link")).constData()), 0);

        QCOMPARE(TreeCopy::size(m_source), 9u);
        QVERIFY(!TreeCopy::copy(m_source, m_target));
        QCOMPARE(modeOf(deep.replace(m_source, m_target) + QStringLiteral("/leaf")), mode_t(S_IFREG | 0750));
        QCOMPARE(modeOf(m_target + QStringLiteral("/locked")), mode_t(S_IFDIR | 0555));
        QCOMPARE(modeOf(m_target + QStringLiteral("/locked/inside")), mode_t(S_IFREG | 0600));
        QCOMPARE(
            QFile::symLinkTarget(m_target + QStringLiteral("/link")), m_target + QStringLiteral("/nowhere/at/all"));
        QCOMPARE(TreeCopy::size(m_target), 9u);

        QVERIFY(!TreeRemoval::remove(m_target + QStringLiteral("/d")));
        QVERIFY(!QFileInfo::exists(m_target + QStringLiteral("/d")));
    }

    void refusesWhatItCannotCopy_data()
    {
        QTest::addColumn<bool>("fifo");
        QTest::addColumn<int>("errorNumber");
        QTest::addColumn<QString>("path");
        QTest::newRow("a named pipe") << true << EINVAL << QStringLiteral("source/pipe");
        QTest::newRow("a target that exists") << false << EEXIST << QStringLiteral("target");
    }

    void refusesWhatItCannotCopy()
    {
        QFETCH(bool, fifo);
        QFETCH(int, errorNumber);
        QFETCH(QString, path);
        QVERIFY(QDir().mkpath(m_source));
        if (fifo)
            QCOMPARE(::mkfifo(encoded(m_source + QStringLiteral("/pipe")).constData(), 0644), 0);
        else
            QVERIFY(QDir().mkpath(m_target));
        const auto failure = TreeCopy::copy(m_source, m_target);
        QVERIFY(failure);
        QCOMPARE(failure->errorNumber, errorNumber);
        QCOMPARE(failure->path, m_dir->filePath(path));
    }

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_source;
    QString m_target;
};

QTEST_GUILESS_MAIN(TestTreeCopy)
#include "tst_treecopy.moc"
