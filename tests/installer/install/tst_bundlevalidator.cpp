#include <installer/install/BundleValidator.h>
#include <platform/PropertyList.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using platform::PropertyList;

namespace {

QByteArray infoWithExecutable(const QString &name)
{
    return PropertyList::toXml(QVariantMap { { QStringLiteral("CFBundleExecutable"), name } });
}

bool writeFile(const QString &path, const QByteArray &content, QFile::Permissions permissions)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(content) == content.size()
        && file.setPermissions(permissions);
}

constexpr auto executable = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner;

} // namespace

class TestBundleValidator : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void validate_data()
    {
        // Each change is "verb path [argument]"; "@bundle" stands for the bundle's absolute path.
        QTest::addColumn<QStringList>("changes");
        QTest::addColumn<QString>("problem"); // part of the description; empty when the bundle passes
        const QByteArray deep = "<plist><dict><key>k</key>" + QByteArray("<array>").repeated(64)
            + QByteArray("</array>").repeated(64) + "</dict></plist>";
        QTest::newRow("complete") << QStringList() << QString();
        QTest::newRow("framework links") << QStringList { "file Contents/Frameworks/Kit.framework/Versions/A/Kit",
            "link Contents/Frameworks/Kit.framework/Versions/Current A",
            "link Contents/Frameworks/Kit.framework/Kit Versions/Current/Kit", "link Contents/Resources/Top ../.." }
                                         << QString();
        QTest::newRow("dangling link inside")
            << QStringList { "link Contents/gone missing/../Resources/x" } << QString();
        QTest::newRow("bundle is a link") << QStringList { "relink" } << "Prismora.app is not a folder";
        QTest::newRow("no Info.plist") << QStringList { "remove Contents/Info.plist" } << "Info.plist";
        QTest::newRow("Info.plist is a link")
            << QStringList { "move Contents/Info.plist Contents/Real.plist", "link Contents/Info.plist Real.plist" }
            << "Info.plist is not a regular file";
        QTest::newRow("Info.plist too large") << QStringList { "pad Contents/Info.plist" } << "larger than";
        QTest::newRow("Info.plist too deep") << QStringList { "plist " + deep } << "deeper than 64";
        QTest::newRow("Info.plist not a dictionary") << QStringList { "plist <plist><array/></plist>" } << "dictionary";
        QTest::newRow("no executable named") << QStringList { "plist <plist><dict/></plist>" } << "CFBundleExecutable";
        QTest::newRow("executable missing") << QStringList { "remove Contents/MacOS/Prismora" } << "MacOS/Prismora";
        QTest::newRow("executable is a link") << QStringList { "remove Contents/MacOS/Prismora",
            "file Contents/Resources/tool", "link Contents/MacOS/Prismora ../Resources/tool" }
                                              << "MacOS/Prismora is not a regular file";
        QTest::newRow("executable is a folder") << QStringList { "remove Contents/MacOS/Prismora",
            "file Contents/MacOS/Prismora/x" } << "MacOS/Prismora is not a regular file";
        QTest::newRow("executable not executable")
            << QStringList { "chmod Contents/MacOS/Prismora" } << "is not executable";
        QTest::newRow("executable ../x") << QStringList { "name ../x", "file Contents/x" } << "\"../x\"";
        QTest::newRow("executable a/b") << QStringList { "name a/b", "file Contents/MacOS/a/b" } << "\"a/b\"";
        QTest::newRow("executable ..") << QStringList { "name .." } << "\"..\"";
        QTest::newRow("executable empty") << QStringList { "name " } << "\"\"";
        QTest::newRow("executable with a tab")
            << QStringList { "name Pris\tmora", "file Contents/MacOS/Pris\tmora" } << "not a plain file name";
        QTest::newRow("link out") << QStringList { "link Contents/Resources/out ../../.." } << "Resources/out";
        QTest::newRow("absolute link") << QStringList { "link Contents/Resources/etc /etc" } << "Resources/etc";
        QTest::newRow("absolute link inside")
            << QStringList { "link Contents/self @bundle/Contents" } << "absolute target";
        QTest::newRow("link to the parent") << QStringList { "link up .." } << "up is refused";
        QTest::newRow("chain out through a link") << QStringList { "link Contents/Resources/top ../..",
            "link Contents/out Resources/top/.." } << "Contents/out is refused";
        QTest::newRow("link loop") << QStringList { "link Contents/a b", "link Contents/b a" } << "links in a row";
        QTest::newRow("too many items") << QStringList { "items 5" } << "more than 5 items";
    }

    void validate()
    {
        QFETCH(QStringList, changes);
        QFETCH(QString, problem);
        QTemporaryDir dir;
        const QString bundle = dir.filePath(QStringLiteral("Prismora.app"));
        QVERIFY(writeFile(bundle + "/Contents/Info.plist", infoWithExecutable("Prismora"), QFile::ReadOwner));
        QVERIFY(writeFile(bundle + "/Contents/MacOS/Prismora", "#!/bin/sh\n", executable));
        QVERIFY(writeFile(bundle + "/Contents/Resources/en.lproj/Localizable.strings", "", QFile::ReadOwner));

        BundleValidator::Limits limits;
        for (const QString &change : changes) {
            const QString verb = change.section(' ', 0, 0);
            const QString path = bundle + '/' + change.section(' ', 1, 1);
            const QString argument = change.section(' ', 2).replace("@bundle", bundle);
            bool done = true;
            if (verb == "file")
                done = writeFile(path, "x", executable);
            else if (verb == "link")
                done = QFile::link(argument, path);
            else if (verb == "remove")
                done = QFile::remove(path) || QDir(path).removeRecursively();
            else if (verb == "move")
                done = QFile::rename(path, bundle + '/' + argument);
            else if (verb == "chmod")
                done = QFile::setPermissions(path, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
            else if (verb == "pad")
                done = writeFile(path, infoWithExecutable("Prismora").leftJustified(limits.maxInfoPlistBytes + 1, ' '),
                    QFile::ReadOwner);
            else if (verb == "plist")
                done = writeFile(bundle + "/Contents/Info.plist", change.section(' ', 1).toUtf8(), QFile::ReadOwner);
            else if (verb == "name")
                done = writeFile(
                    bundle + "/Contents/Info.plist", infoWithExecutable(change.section(' ', 1)), QFile::ReadOwner);
            else if (verb == "relink")
                done = QFile::rename(bundle, bundle + ".real") && QFile::link(bundle + ".real", bundle);
            else if (verb == "items")
                limits.maxItems = change.section(' ', 1).toULongLong();
            QVERIFY2(done, qPrintable(change));
        }

        const auto failure = BundleValidator::validate(bundle, limits);
        if (problem.isEmpty()) {
            QVERIFY2(!failure, failure ? qPrintable(failure->description) : "");
            return;
        }
        QVERIFY(failure);
        QCOMPARE(failure->localizedDescription, QStringLiteral("The downloaded application is damaged."));
        QVERIFY2(failure->description.contains(problem), qPrintable(failure->description));
    }
};

QTEST_GUILESS_MAIN(TestBundleValidator)
#include "tst_bundlevalidator.moc"
