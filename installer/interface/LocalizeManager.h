#pragma once

#include <QList>
#include <QObject>
#include <QPointer>

/**
 * The process-wide entry point for localisation offered to code outside the
 * installer's pages.
 *
 * It answers texts like localizedString() and keeps a registry of objects
 * that want to be told about their texts. The registry holds its objects
 * weakly: an object that is destroyed simply drops out the next time the
 * registry is pruned, and registering never extends an object's life.
 *
 * @code
 * LocalizeManager::shared()->localizeWithObj(myLabel);
 * const QString ok = LocalizeManager::LocalizedString(QStringLiteral("Dialog_Button_OK"), QString());
 * @endcode
 *
 * Main thread only.
 */
class LocalizeManager : public QObject {
    Q_OBJECT
public:
    /// The one instance, made on first use; lives for the process.
    static LocalizeManager *shared();

    /// The text of @p key in the interface language, from the main bundle's
    /// default table (localizedString() with no table and no value).
    /// @p comment is for translators only.
    static QString LocalizedString(const QString &key, const QString &comment);

    /**
     * Registers @p obj:
     * 1. an object already registered is left where it is (nothing else
     *    happens);
     * 2. otherwise the boxes of destroyed objects are removed, the others
     *    keeping their order, and @p obj is appended.
     * A null object is ignored.
     */
    void localizeWithObj(QObject *obj);

    /// The registered boxes, oldest first; a box whose object has been
    /// destroyed holds null until the next registration prunes it.
    /// Empty at creation.
    QList<QPointer<QObject>> localizedViews() const;

private:
    LocalizeManager();

    QList<QPointer<QObject>> m_localizedViews;
};
