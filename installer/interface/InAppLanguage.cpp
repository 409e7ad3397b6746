#include "InAppLanguage.h"

#include <platform/NotificationCenter.h>
#include <platform/UserDefaults.h>

#include <QGuiApplication>
#include <QLocale>
#include <QRegularExpression>

namespace {

constexpr std::array<const char *, 8> codes = { "en", "fr", "de", "ja", "es", "ar", "it", "pt" };

const QString textDirectionKey = QStringLiteral("AppleTextDirection");
const QString forceRightToLeftKey = QStringLiteral("NSForceRightToLeftWritingDirection");

struct LanguageState {
    std::optional<QString> current;
    InAppLanguage::PreferredLanguagesSource source;
};

LanguageState &state()
{
    static LanguageState languageState;
    return languageState;
}

} // namespace

QString InAppLanguage::code() const
{
    return QString::fromLatin1(codes[index()]);
}

std::array<InAppLanguage, 8> InAppLanguage::allCases()
{
    return { English, French, German, Japanese, Spanish, Arabic, Italian, Portuguese };
}

InAppLanguage InAppLanguage::fromCode(const QString &code)
{
    for (const InAppLanguage language : allCases()) {
        if (code == QLatin1String(codes[language.index()]))
            return language;
    }
    return English;
}

QString InAppLanguage::detectSystemLanguageCode()
{
    const QStringList preferred = preferredLanguages();
    if (preferred.isEmpty())
        return QStringLiteral("en");
    // Locale names come both as "pt-BR" and in the POSIX form "pt_BR".
    static const QRegularExpression separators(QStringLiteral("[-_]"));
    const QString language = preferred.first().trimmed().section(separators, 0, 0);
    return language.isEmpty() ? QStringLiteral("en") : language.toLower();
}

std::optional<QString> InAppLanguage::currentLanguage()
{
    return state().current;
}

InAppLanguage InAppLanguage::resolve()
{
    if (state().current)
        return fromCode(*state().current);
    const InAppLanguage language = fromCode(detectSystemLanguageCode());
    setLanguage(language);
    return language;
}

void InAppLanguage::setLanguage(InAppLanguage language)
{
    state().current = language.code();

    auto &defaults = platform::UserDefaults::standard();
    if (language.isRightToLeft()) {
        defaults.setValue(textDirectionKey, true);
        defaults.setValue(forceRightToLeftKey, true);
    } else {
        defaults.removeObject(textDirectionKey);
        defaults.removeObject(forceRightToLeftKey);
    }
    defaults.synchronize();

    applyLayoutDirection();
    platform::NotificationCenter::defaultCenter().post(languageDidChangedNotification());
}

void InAppLanguage::applyLayoutDirection()
{
    // qGuiApp is a plain cast; a console QCoreApplication must not pass.
    if (!state().current || !qobject_cast<QGuiApplication *>(QCoreApplication::instance()))
        return;
    QGuiApplication::setLayoutDirection(fromCode(*state().current).isRightToLeft() ? Qt::RightToLeft : Qt::LeftToRight);
}

QString InAppLanguage::languageDidChangedNotification()
{
    return QStringLiteral("InAppLanguage.languageDidChangedNotification");
}

QStringList InAppLanguage::preferredLanguages()
{
    if (state().source)
        return state().source();
    return QLocale::system().uiLanguages();
}

void InAppLanguage::setPreferredLanguagesSource(PreferredLanguagesSource source)
{
    state().source = std::move(source);
}

void InAppLanguage::resetForTesting()
{
    state().current.reset();
}
