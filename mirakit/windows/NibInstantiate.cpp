#include "NibInstantiate.h"

#include "NibClassRegistry.h"

#include <platform/KSTLogManager.h>

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QUiLoader>
#include <QWidget>

namespace mira {

namespace {

// Creates registered classes itself and leaves the rest to Qt's own widgets;
// plug-ins from disk are never loaded.
class RegistryUiLoader : public QUiLoader {
public:
    RegistryUiLoader()
    {
        clearPluginPaths();
        setWorkingDirectory(QDir(NibInstantiate::resourceFolder()));
    }

    QWidget *createWidget(const QString &className, QWidget *parent, const QString &name) override
    {
        if (QWidget *widget = NibClassRegistry::create(className, parent)) {
            widget->setObjectName(name);
            return widget;
        }
        return QUiLoader::createWidget(className, parent, name);
    }
};

QWidget *fail(const char *message, QString *error)
{
    const QString text = QString::fromLatin1(message);
    platform::KSTLogManager::writeInfoLog(text);
    if (error)
        *error = text;
    return nullptr;
}

// A class name and nothing else: no folder, no drive, no resource prefix.
bool isPlainName(const QString &name)
{
    static const QRegularExpression plain(QStringLiteral("^[A-Za-z_][A-Za-z0-9_]*$"));
    return plain.match(name).hasMatch();
}

QWidget *load(const QString &nibName, QString *error)
{
    if (!isPlainName(nibName))
        return fail(NibInstantiate::nibNameErrorMessage, error);
    // A file may hold a NibDesignView that names a file being loaded already;
    // following it would never end.
    static QStringList loading;
    if (loading.contains(nibName))
        return fail(NibInstantiate::nibNameErrorMessage, error);
    QFile file(QDir(NibInstantiate::resourceFolder()).filePath(nibName + QStringLiteral(".ui")));
    if (!file.open(QIODevice::ReadOnly))
        return fail(NibInstantiate::nibNameErrorMessage, error);
    loading.append(nibName);
    const auto loaded = qScopeGuard([&] { loading.removeLast(); });
    RegistryUiLoader loader;
    QWidget *root = loader.load(&file);
    if (!root)
        return fail(NibInstantiate::nibNameErrorMessage, error);
    return root;
}

QWidget *pick(QWidget *root, const QMetaObject *expected, QWidget *parent, QString *error)
{
    QWidget *found = root->metaObject() == expected ? root : nullptr;
    for (QObject *child : root->children()) {
        if (found)
            break;
        if (child->isWidgetType() && child->metaObject() == expected)
            found = static_cast<QWidget *>(child);
    }
    if (!found) {
        delete root;
        return fail(NibInstantiate::nibNameErrorMessage, error);
    }
    found->setParent(parent);
    if (found != root)
        delete root;
    return found;
}

} // namespace

QString NibInstantiate::resourceFolder()
{
    return QStringLiteral(":/nibs");
}

QWidget *NibInstantiate::instantiate(const QString &nibName, QWidget *parent, QString *error)
{
    if (nibName.isEmpty())
        return fail(emptyNameMessage, error);
    QWidget *root = load(nibName, error);
    if (!root)
        return nullptr;
    const QMetaObject *expected = NibClassRegistry::classForNibName(nibName);
    if (!expected) {
        delete root;
        return fail(classNameErrorMessage, error);
    }
    return pick(root, expected, parent, error);
}

QWidget *NibInstantiate::instantiate(
    const QString &nibName, const QMetaObject *expected, QWidget *parent, QString *error)
{
    if (nibName.isEmpty())
        return fail(emptyNameMessage, error);
    if (!expected)
        return fail(classNameErrorMessage, error);
    QWidget *root = load(nibName, error);
    return root ? pick(root, expected, parent, error) : nullptr;
}

QString NibInstantiate::unqualifiedName(const QMetaObject &metaObject)
{
    const QString name = QString::fromLatin1(metaObject.className());
    return name.mid(name.lastIndexOf(QLatin1Char(':')) + 1);
}

} // namespace mira
