#include <installer/install/DesktopEntry.h>

#include <platform/Bundle.h>

#include <QDir>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

namespace {

/// Splits an Exec value the way a launcher does: string escapes, then quoting, then "%%".
QStringList execArguments(const QString &value)
{
    QString unescaped;
    for (qsizetype i = 0; i < value.size(); ++i) {
        if (value[i] == QLatin1Char('\\') && i + 1 < value.size()) {
            const QChar next = value[++i];
            unescaped += next == QLatin1Char('s') ? QChar(QLatin1Char(' ')) : next;
        } else {
            unescaped += value[i];
        }
    }
    QStringList arguments;
    QString current;
    bool quoted = false;
    for (qsizetype i = 0; i < unescaped.size(); ++i) {
        const QChar c = unescaped[i];
        if (quoted && c == QLatin1Char('\\') && i + 1 < unescaped.size())
            current += unescaped[++i];
        else if (c == QLatin1Char('"'))
            quoted = !quoted;
        else if (c == QLatin1Char('%') && i + 1 < unescaped.size() && unescaped[i + 1] == QLatin1Char('%'))
            current += unescaped[++i];
        else if (c == QLatin1Char(' ') && !quoted)
            arguments << std::exchange(current, QString());
        else
            current += c;
    }
    arguments << current;
    return arguments;
}

/// The key lines of an entry, in order ("Name", "Exec", ...).
QStringList keys(const QByteArray &entry)
{
    QStringList names;
    for (const QByteArray &line : entry.split('\n')) {
        if (const qsizetype equals = line.indexOf('='); equals > 0)
            names << QString::fromUtf8(line.left(equals));
    }
    return names;
}

QString value(const QByteArray &entry, const QString &key)
{
    for (const QByteArray &line : entry.split('\n')) {
        if (line.startsWith(key.toUtf8() + '='))
            return QString::fromUtf8(line.mid(key.size() + 1));
    }
    return QString();
}

} // namespace

class TestDesktopEntry : public QObject {
    Q_OBJECT

private:
    /// A bundle at @p folder/<bundle> whose executable writes its first argument's marker file.
    QString makeBundle(const QString &bundle, const QString &identifier, const QString &name,
        const QString &executable = QStringLiteral("Prismora"), const QString &icon = QString())
    {
        const QString root = m_dir.filePath(bundle);
        [&] {
            QVERIFY(QDir().mkpath(root + QStringLiteral("/Contents/MacOS")));
            QVERIFY(QDir().mkpath(root + QStringLiteral("/Contents/Resources")));
            QString plist
                = QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\"><dict>\n");
            const auto add = [&](const QString &key, const QString &text) {
                plist += QStringLiteral("<key>%1</key><string>%2</string>\n").arg(key, text.toHtmlEscaped());
            };
            add(QStringLiteral("CFBundleIdentifier"), identifier);
            add(QStringLiteral("CFBundleName"), name);
            add(QStringLiteral("CFBundleExecutable"), executable);
            if (!icon.isEmpty())
                add(QStringLiteral("CFBundleIconFile"), icon);
            plist += QStringLiteral("</dict></plist>\n");
            QFile info(root + QStringLiteral("/Contents/Info.plist"));
            QVERIFY(info.open(QIODevice::WriteOnly));
            info.write(plist.toUtf8());
            QFile program(root + QStringLiteral("/Contents/MacOS/") + executable);
            QVERIFY(program.open(QIODevice::WriteOnly));
            program.write("#!/bin/sh\nprintf started > \"$PRISMORA_TEST_MARKER\"\n");
            program.setPermissions(program.permissions() | QFile::ExeOwner);
        }();
        return root;
    }

    /// What desktop-file-validate says about the entry at @p path: empty when valid (or not installed).
    static QString validation(const QString &path)
    {
        const QString validate = QStandardPaths::findExecutable(QStringLiteral("desktop-file-validate"));
        if (validate.isEmpty())
            return QString();
        QProcess process;
        process.start(validate, { path });
        process.waitForFinished();
        return QString::fromUtf8(process.readAll()) + (process.exitCode() ? QStringLiteral("failed") : QString());
    }

    QTemporaryDir m_dir;

private Q_SLOTS:
    void fileNameAcceptsOnlyReverseDomainNames_data()
    {
        QTest::addColumn<QString>("identifier");
        QTest::addColumn<QString>("expected");
        QTest::newRow("plain") << "com.kestrum.prismora"
                               << "com.kestrum.prismora.desktop";
        QTest::newRow("dash and underscore") << "org.my-app._x"
                                             << "org.my-app._x.desktop";
        QTest::newRow("empty") << ""
                               << "";
        QTest::newRow("one element") << "prismora"
                                     << "";
        QTest::newRow("slash") << "com/kestrum.prismora"
                               << "";
        QTest::newRow("climbs") << "../../.bashrc"
                                << "";
        QTest::newRow("dot dot inside") << "com..prismora"
                                        << "";
        QTest::newRow("trailing dot") << "com.kestrum."
                                      << "";
        QTest::newRow("digit first") << "com.7zip"
                                     << "";
        QTest::newRow("newline") << "com.kestrum\nExec=sh"
                                 << "";
        QTest::newRow("trailing newline") << "com.kestrum.prismora\n"
                                          << "";
        QTest::newRow("space") << "com.kestrum prismora"
                               << "";
        QTest::newRow("non-ascii") << QStringLiteral("com.k\u00e9strum") << "";
        QTest::newRow("too long") << QStringLiteral("com.") + QString(250, QLatin1Char('a')) << "";
    }

    void fileNameAcceptsOnlyReverseDomainNames()
    {
        QFETCH(QString, identifier);
        QFETCH(QString, expected);
        QCOMPARE(DesktopEntry::fileName(identifier), expected);
    }

    void defaultFolderFollowsXdgDataHome()
    {
        qputenv("HOME", "/home/u");
        qputenv("XDG_DATA_HOME", "/data");
        QCOMPARE(DesktopEntry::defaultFolder(), QStringLiteral("/data/applications"));
        qputenv("XDG_DATA_HOME", "relative/data");
        QCOMPARE(DesktopEntry::defaultFolder(), QStringLiteral("/home/u/.local/share/applications"));
        qunsetenv("XDG_DATA_HOME");
        QCOMPARE(DesktopEntry::defaultFolder(), QStringLiteral("/home/u/.local/share/applications"));
    }

    void execStartsTheExecutableWhateverItsPath_data()
    {
        QTest::addColumn<QString>("bundle");
        QTest::addColumn<QString>("executable");
        QTest::newRow("plain") << "plain/Prismora.app"
                               << "Prismora";
        QTest::newRow("spaces") << "My Apps/Prismora.app"
                                << "Prismora Beta";
        QTest::newRow("shell characters") << "a\"b`c$HOME'd;e|f&g(h)/P.app"
                                          << "run*?<>~#";
        QTest::newRow("backslashes") << "back\\slash\\\\/P.app"
                                     << "x\\s";
        QTest::newRow("field codes") << "100%/P.app"
                                     << "%f%u%%";
        QTest::newRow("non-ascii") << QStringLiteral("Programme/\u30d7\u30ea\u30ba.app") << QStringLiteral("\u00e9");
    }

    void execStartsTheExecutableWhateverItsPath()
    {
        QFETCH(QString, bundle);
        QFETCH(QString, executable);
        const QString root
            = makeBundle(bundle, QStringLiteral("com.kestrum.prismora"), QStringLiteral("P"), executable);
        const auto entry = DesktopEntry::contents(platform::Bundle(root));
        QVERIFY(entry);
        const QString folder = m_dir.filePath(QStringLiteral("exec/") + QTest::currentDataTag());
        QCOMPARE(DesktopEntry::write(root, folder).value_or(QString()), QString());
        QCOMPARE(validation(folder + QStringLiteral("/com.kestrum.prismora.desktop")), QString());

        const QStringList arguments = execArguments(value(*entry, QStringLiteral("Exec")));
        QCOMPARE(arguments, QStringList { root + QStringLiteral("/Contents/MacOS/") + executable });
        const QString marker = m_dir.filePath(QStringLiteral("started"));
        QFile::remove(marker);
        qputenv("PRISMORA_TEST_MARKER", QFile::encodeName(marker));
        QCOMPARE(QProcess::execute(arguments.first(), {}), 0);
        QVERIFY(QFile::exists(marker));
    }

    void hostileNamesStayInTheirValue_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("shown");
        QTest::newRow("plain") << "Prismora"
                               << "Prismora";
        QTest::newRow("newline key") << "Evil\nExec=/bin/sh -c id"
                                     << "Evil Exec=/bin/sh -c id";
        QTest::newRow("carriage return") << "A\r[Desktop Action x]"
                                         << "A [Desktop Action x]";
        QTest::newRow("tab and bell") << "A\tB\aC"
                                      << "A B C";
        QTest::newRow("backslash") << "A\\nB"
                                   << "A\\\\nB";
        QTest::newRow("only controls") << "\n\n"
                                       << "Named";
        QTest::newRow("empty") << ""
                               << "Named";
    }

    void hostileNamesStayInTheirValue()
    {
        QFETCH(QString, name);
        QFETCH(QString, shown);
        const QString root
            = makeBundle(QStringLiteral("names/Named.app"), QStringLiteral("com.kestrum.prismora"), name);
        const auto entry = DesktopEntry::contents(platform::Bundle(root));
        QVERIFY(entry);
        QCOMPARE(keys(*entry), (QStringList { "Type", "Name", "Exec", "Terminal" }));
        QCOMPARE(value(*entry, QStringLiteral("Name")), shown);
        QVERIFY(entry->startsWith("[Desktop Entry]\n"));
    }

    void iconComesFromTheBundleResources_data()
    {
        QTest::addColumn<QString>("iconFile");
        QTest::addColumn<QString>("present");
        QTest::addColumn<bool>("expected");
        QTest::newRow("name without type") << "AppIcon"
                                           << "AppIcon.png" << true;
        QTest::newRow("name with type") << "AppIcon.svg"
                                        << "AppIcon.svg" << true;
        QTest::newRow("only a mac icon") << "AppIcon"
                                         << "AppIcon.icns" << false;
        QTest::newRow("missing") << "AppIcon"
                                 << "" << false;
        QTest::newRow("climbs out") << "../../../outside.png"
                                    << "" << false;
    }

    void iconComesFromTheBundleResources()
    {
        QFETCH(QString, iconFile);
        QFETCH(QString, present);
        QFETCH(bool, expected);
        const QString root = makeBundle(QStringLiteral("icons/%1.app").arg(QTest::currentDataTag()),
            QStringLiteral("com.kestrum.prismora"), QStringLiteral("P"), QStringLiteral("P"), iconFile);
        QFile(m_dir.filePath(QStringLiteral("outside.png"))).open(QIODevice::WriteOnly);
        if (!present.isEmpty())
            QFile(root + QStringLiteral("/Contents/Resources/") + present).open(QIODevice::WriteOnly);
        const auto entry = DesktopEntry::contents(platform::Bundle(root));
        QVERIFY(entry);
        QCOMPARE(value(*entry, QStringLiteral("Icon")),
            expected ? root + QStringLiteral("/Contents/Resources/") + present : QString());
    }

    void writeReplacesTheEntryAndValidates()
    {
        const QString folder = m_dir.filePath(QStringLiteral("share/applications"));
        const QString path = folder + QStringLiteral("/com.kestrum.prismora.desktop");
        const QString first = makeBundle(
            QStringLiteral("first/Prismora.app"), QStringLiteral("com.kestrum.prismora"), QStringLiteral("First"));
        QCOMPARE(DesktopEntry::write(first, folder).value_or(QString()), QString());
        const QString second = makeBundle(QStringLiteral("second/Prismora.app"), QStringLiteral("com.kestrum.prismora"),
            QStringLiteral("Second"), QStringLiteral("Prismora"), QStringLiteral("AppIcon"));
        QFile(second + QStringLiteral("/Contents/Resources/AppIcon.png")).open(QIODevice::WriteOnly);
        QCOMPARE(DesktopEntry::write(second, folder).value_or(QString()), QString());

        QFile written(path);
        QVERIFY(written.open(QIODevice::ReadOnly));
        QCOMPARE(value(written.readAll(), QStringLiteral("Name")), QStringLiteral("Second"));
        // Only the entry (and the database beside it) is in the folder: no temporary file is left.
        QStringList entries = QDir(folder).entryList(QDir::Files | QDir::Hidden);
        entries.removeAll(QStringLiteral("mimeinfo.cache"));
        QCOMPARE(entries, QStringList { QStringLiteral("com.kestrum.prismora.desktop") });

        QCOMPARE(validation(path), QString());
    }

    void noEntryForAHostileIdentifierOrExecutable_data()
    {
        QTest::addColumn<QString>("identifier");
        QTest::addColumn<QString>("executable");
        QTest::newRow("climbing identifier") << "../../evil"
                                             << "P";
        QTest::newRow("identifier with slash") << "com.kestrum/../../x"
                                               << "P";
        QTest::newRow("newline in executable") << "com.kestrum.prismora"
                                               << "P\nX";
    }

    void noEntryForAHostileIdentifierOrExecutable()
    {
        QFETCH(QString, identifier);
        QFETCH(QString, executable);
        const QString folder = m_dir.filePath(QStringLiteral("hostile/share/applications"));
        const QString root = makeBundle(
            QStringLiteral("hostile/%1.app").arg(QTest::currentDataTag()), identifier, QStringLiteral("P"), executable);
        QVERIFY(DesktopEntry::write(root, folder).has_value());
        QVERIFY(QDir(m_dir.filePath(QStringLiteral("hostile"))).entryList({ QStringLiteral("*evil*") }).isEmpty());
        QVERIFY(QDir(folder).entryList(QDir::Files).isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestDesktopEntry)
#include "tst_desktopentry.moc"
