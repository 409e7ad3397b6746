#pragma once

#include <QDir>
#include <QTemporaryDir>

/**
 * Points HOME and the XDG folders at a fresh temporary folder for the life
 * of the object, so a test never reads or writes the real user's files.
 */
class TestHome {
public:
    TestHome()
    {
        const QString root = m_dir.path();
        qputenv("HOME", QFile::encodeName(root));
        qputenv("XDG_DATA_HOME", QFile::encodeName(root + QStringLiteral("/.local/share")));
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(root + QStringLiteral("/.config")));
        qputenv("XDG_STATE_HOME", QFile::encodeName(root + QStringLiteral("/.local/state")));
        qputenv("XDG_CACHE_HOME", QFile::encodeName(root + QStringLiteral("/.cache")));
        qunsetenv("XDG_DOCUMENTS_DIR");
    }

    QString path() const { return m_dir.path(); }
    QString filePath(const QString &name) const { return m_dir.filePath(name); }

private:
    QTemporaryDir m_dir;
};
