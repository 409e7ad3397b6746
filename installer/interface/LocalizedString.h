#pragma once

#include <platform/Bundle.h>

#include <QString>

/**
 * The text shown for @p key in the installer's interface language.
 *
 * Every user-visible text of the installer goes through this lookup:
 *
 * @code
 * button->setText(localizedString(QStringLiteral("Dialog_Button_OK")));
 * @endcode
 *
 * 1. The interface language is resolved (InAppLanguage::resolve(); the
 *    first lookup of the process fixes it).
 * 2. The table @p table ("Localizable" when empty) is read from the folder
 *    @c <code>.lproj of @p bundle. When that table exists and is well
 *    formed, the answer is its entry for @p key; a key the table lacks
 *    answers @p value when it is not empty, else @p key itself.
 * 3. Otherwise (no folder for the language, or its table is missing or
 *    rejected as malformed) the default lookup answers: the same table in
 *    the bundle's preferred localisation (Bundle::preferredLocalizations(),
 *    which follows the system's own language choice), and when that is
 *    unavailable too, @p value or @p key as above.
 *
 * @p comment is for translators only. Failures are never reported: the
 * worst answer is the key itself. Main thread only.
 */
QString localizedString(const QString &key, const QString &table = QString(),
    const platform::Bundle &bundle = platform::Bundle::main(), const QString &value = QString(),
    const QString &comment = QString());
