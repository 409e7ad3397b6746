#pragma once

#include <mirakit/mirakit_export.h>

#include <QMetaObject>
#include <QString>

class QWidget;

namespace mira {

/**
 * Creates a widget from the Qt Designer file named after its class.
 *
 * Files are looked up in the application's Qt resources under
 * resourceFolder() (":/nibs"): the file of ProfileCard is
 * ":/nibs/ProfileCard.ui". An application adds its files with
 *
 * @code
 * qt_add_resources(app "nibs" PREFIX "/nibs" BASE ui FILES ui/ProfileCard.ui)
 * @endcode
 *
 * or a `.qrc` file with `<qresource prefix="/nibs">`. Every class the file
 * names must be registered with NibClassRegistry.
 *
 * The widget returned is the first "top-level object" of the file of the
 * expected class: the file's root widget, else the first of the root's direct
 * children; the rest of the file's widgets are discarded.
 *
 * Failures are returned as nullptr, written to the log and, when @p error is
 * given, stored there, with exactly these messages: emptyNameMessage for an
 * empty name; nibNameErrorMessage for a name that is not a plain class name
 * (path components, "..", "\", a resource or absolute path), a file that is
 * missing or cannot be read, one without a widget of the expected class, or
 * one that is being loaded already (a file holding itself in a NibDesignView);
 * classNameErrorMessage when no registered class goes by the name.
 *
 * @code
 * auto *card = mira::NibInstantiate::instantiate<ProfileCard>(this);
 * @endcode
 */
class MIRAKIT_EXPORT NibInstantiate {
public:
    // Spelled as the log reader and callers expect.
    static constexpr char emptyNameMessage[] = "nib name is emtpy";
    static constexpr char nibNameErrorMessage[] = "nib name error";
    static constexpr char classNameErrorMessage[] = "class name error";

    /// ":/nibs", the resource folder that holds the files.
    static QString resourceFolder();

    /// The widget of the registered class named @p nibName, from the file of that name, or nullptr.
    static QWidget *instantiate(const QString &nibName, QWidget *parent = nullptr, QString *error = nullptr);

    /// The widget of class @p expected from the file @p nibName, or nullptr.
    static QWidget *instantiate(
        const QString &nibName, const QMetaObject *expected, QWidget *parent = nullptr, QString *error = nullptr);

    /// A @p T from the file named after T's class name without its namespace, or nullptr.
    template <typename T> static T *instantiate(QWidget *parent = nullptr, QString *error = nullptr)
    {
        return static_cast<T *>(instantiate(unqualifiedName(T::staticMetaObject), &T::staticMetaObject, parent, error));
    }

    /// The class name of @p metaObject without its namespace ("mira::InteractiveView" gives "InteractiveView").
    static QString unqualifiedName(const QMetaObject &metaObject);
};

} // namespace mira
