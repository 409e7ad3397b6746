#pragma once

#include <mirakit/mirakit_export.h>

#include <QString>
#include <QStringList>

#include <functional>

class QWidget;
struct QMetaObject;

namespace mira {

/**
 * The widget classes that views designed in files may use, by name.
 *
 * C++ cannot create a class from its name, so every class that a `.ui` file
 * names (the file's root class and any custom widget inside) is registered
 * here with a factory, under the name the `.ui` file uses: its meta-object's
 * class name, namespace included ("mira::InteractiveView", "ProfileCard").
 * MiraKit's own widgets (InteractiveView, InteractiveButton, InteractiveLabel,
 * GradientView, GradientButton, LineProgressView, NibDesignView) are
 * registered from the start. Registering is one line in any source file:
 *
 * @code
 * MIRA_REGISTER_NIB_CLASS(ProfileCard) // ProfileCard(QWidget *parent) must exist
 * @endcode
 *
 * Main thread only (static initialisers run there before main()).
 */
class MIRAKIT_EXPORT NibClassRegistry {
public:
    using Factory = std::function<QWidget *(QWidget *parent)>;

    /// Registers (or replaces) @p className; returns true so that it can initialise a static.
    static bool registerClass(const QString &className, const QMetaObject *metaObject, Factory factory);

    /// Registers @p T under its meta-object's class name.
    template <typename T> static bool registerClass()
    {
        return registerClass(QString::fromLatin1(T::staticMetaObject.className()), &T::staticMetaObject,
            [](QWidget *parent) -> QWidget * { return new T(parent); });
    }

    static bool contains(const QString &className);
    /**
     * The registered class that a file named @p nibName must hold: the one
     * registered as @p nibName, else the only one whose name ends in
     * "::" + @p nibName. nullptr when there is none (or more than one).
     */
    static const QMetaObject *classForNibName(const QString &nibName);
    /// A new widget of @p className under @p parent, or nullptr when it is not registered.
    static QWidget *create(const QString &className, QWidget *parent);
    static QStringList classNames();
};

} // namespace mira

#define MIRA_NIB_CONCAT_INNER(a, b) a##b
#define MIRA_NIB_CONCAT(a, b) MIRA_NIB_CONCAT_INNER(a, b)
/// Registers @p Type with mira::NibClassRegistry when the program (or library) loads.
#define MIRA_REGISTER_NIB_CLASS(Type)                                                                                  \
    namespace {                                                                                                        \
    const bool MIRA_NIB_CONCAT(miraNibClassRegistered_, __COUNTER__)                                                   \
        = ::mira::NibClassRegistry::registerClass<Type>();                                                             \
    }
