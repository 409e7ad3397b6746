#pragma once

#include <QString>
#include <QStringList>

#include <array>
#include <functional>
#include <optional>

/**
 * The installer's interface language.
 *
 * Eight languages are supported; their order is the lookup index and any
 * other code maps to the first one, English. The language is chosen once
 * per process, at the first text lookup, from the user's preferred
 * languages, and never changes afterwards:
 *
 * @code
 * const InAppLanguage language = InAppLanguage::resolve(); // fixes it on first use
 * label->setText(localizedString(QStringLiteral("Install_Installing")));
 * @endcode
 *
 * Making a language current (setLanguage()) records the right-to-left
 * switch in the standard user defaults ("AppleTextDirection" and
 * "NSForceRightToLeftWritingDirection", both true for Arabic and removed
 * for every other language), switches the application's layout direction
 * when a QGuiApplication exists, and posts languageDidChangedNotification()
 * on the default notification centre with no object and no user info.
 *
 * All of this is main-thread state and is not locked.
 */
class InAppLanguage {
public:
    /// The supported languages, in lookup-index order.
    enum Language {
        English,
        French,
        German,
        Japanese,
        Spanish,
        Arabic,
        Italian,
        Portuguese,
    };

    /// English by default.
    constexpr InAppLanguage(Language language = English)
        : m_language(language)
    {
    }

    Language language() const { return m_language; }
    /// Lookup index, 0 (English) to 7 (Portuguese).
    int index() const { return int(m_language); }
    /// Two-letter code, also the name of the table folder ("en", "fr", ...).
    QString code() const;
    /// True for Arabic only.
    bool isRightToLeft() const { return m_language == Arabic; }

    bool operator==(const InAppLanguage &other) const = default;

    /// Every supported language in lookup-index order.
    static std::array<InAppLanguage, 8> allCases();

    /// The language whose code equals @p code exactly (case-sensitive);
    /// English for every other code.
    static InAppLanguage fromCode(const QString &code);

    /// The language part of the first preferred language ("de" for "de-DE",
    /// "pt" for "pt_BR", "zh" for "zh-Hant-TW"), lower-cased; "en" when the
    /// list is empty or its first entry has no language part.
    static QString detectSystemLanguageCode();

    /// The code of the language in use; none until the first resolve().
    static std::optional<QString> currentLanguage();

    /// The language in use. The first call of the process detects and maps
    /// the system language and makes it current with setLanguage().
    static InAppLanguage resolve();

    /// Makes @p language current (see the class comment for what it writes
    /// and posts). The installer calls it only through resolve().
    static void setLanguage(InAppLanguage language);

    /// Sets the layout direction of the running QGuiApplication to match the
    /// current language; does nothing without one or before a language is
    /// chosen. setLanguage() calls it; call it again if the application
    /// object is created after the first lookup.
    static void applyLayoutDirection();

    /// "InAppLanguage.languageDidChangedNotification".
    static QString languageDidChangedNotification();

    /// The user's preferred languages, most preferred first. Defaults to
    /// QLocale::system().uiLanguages(); tests substitute their own list.
    static QStringList preferredLanguages();
    using PreferredLanguagesSource = std::function<QStringList()>;
    /// Replaces the source of preferredLanguages(); an empty function
    /// restores the system's list.
    static void setPreferredLanguagesSource(PreferredLanguagesSource source);

    /// Test-only: forgets the current language so that the next resolve()
    /// detects it again, as at process start. Nothing else is undone.
    static void resetForTesting();

private:
    Language m_language;
};
