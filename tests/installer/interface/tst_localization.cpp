#include "TestHome.h"

#include <installer/interface/InAppLanguage.h>
#include <installer/interface/LocalizeManager.h>
#include <installer/interface/LocalizedFormat.h>
#include <installer/interface/LocalizedString.h>
#include <installer/interface/PoppinsFont.h>

#include <platform/Bundle.h>
#include <platform/NotificationCenter.h>
#include <platform/StringsTable.h>
#include <platform/UserDefaults.h>

#include <QApplication>
#include <QDir>
#include <QHBoxLayout>
#include <QImage>
#include <QLabel>
#include <QPainter>
#include <QRegularExpression>
#include <QTest>
#include <QTextLayout>
#include <QUrl>

using platform::StringsTable;

namespace {

const QString textDirectionKey = QStringLiteral("AppleTextDirection");
const QString forceRightToLeftKey = QStringLiteral("NSForceRightToLeftWritingDirection");

// The keys the installer's code and pages look up; every table must hold them.
const QStringList requiredKeys = {
    QStringLiteral("Application_Name"),
    QStringLiteral("ExitTip"),
    QStringLiteral("Dialog_Button_OK"),
    QStringLiteral("Dialog_Button_Cancel"),
    QStringLiteral("Button_Cancel"),
    QStringLiteral("Button_Replace"),
    QStringLiteral("Alert_Existed_Should_Replace"),
    QStringLiteral("AgreeTip"),
    QStringLiteral("TermsOfUse_Title"),
    QStringLiteral("URL_User_License"),
    QStringLiteral("Install_Downloading"),
    QStringLiteral("Install_Installing"),
    QStringLiteral("Alert_Existed_Delete_Manually"),
    QStringLiteral("AD1_Title"),
    QStringLiteral("AD2_Title"),
    QStringLiteral("AD3_Title"),
    QStringLiteral("AD4_Title"),
    QStringLiteral("URL_Install_Complete"),
    QStringLiteral("Install_Error_No_NetWork"),
    QStringLiteral("Install_Error_No_Enough_Space"),
    // Page texts.
    QStringLiteral("Window_Title"),
    QStringLiteral("Welcome_Title"),
    QStringLiteral("Welcome_Subtitle"),
    QStringLiteral("Agreement_Text"),
    QStringLiteral("Button_Install"),
    QStringLiteral("Install_Launching"),
    QStringLiteral("AD1_Desc"),
    QStringLiteral("AD2_Desc"),
    QStringLiteral("AD3_Desc"),
    QStringLiteral("AD4_Desc"),
    QStringLiteral("Failed_Title"),
    QStringLiteral("Install_Error_Server"),
    QStringLiteral("Install_Error_Install"),
    QStringLiteral("Install_Error_Launch"),
    QStringLiteral("Install_Error_Unknown"),
    QStringLiteral("Button_Retry"),
};

// Texts that are the same in every language.
const QStringList untranslated = { QStringLiteral("Application_Name"), QStringLiteral("URL_User_License"),
    QStringLiteral("URL_Install_Complete"), QStringLiteral("Dialog_Button_OK") };

void usePreferredLanguages(const QStringList &languages)
{
    InAppLanguage::setPreferredLanguagesSource([languages] { return languages; });
}

StringsTable::Table embeddedTable(const QString &code)
{
    const QString folder = platform::Bundle::main().pathForResource(code, QStringLiteral("lproj"));
    if (folder.isEmpty())
        return {};
    QString error;
    const auto table = StringsTable::load(folder + QStringLiteral("/Localizable.strings"), &error);
    if (!table)
        qWarning().noquote() << error;
    return table.value_or(StringsTable::Table());
}

// A bundle in a temporary folder with the given tables.
class TemporaryBundle {
public:
    void addTable(const QString &language, const QByteArray &contents)
    {
        const QString folder
            = m_dir.filePath(QStringLiteral("Contents/Resources/") + language + QStringLiteral(".lproj"));
        QDir().mkpath(folder);
        QFile file(folder + QStringLiteral("/Localizable.strings"));
        if (file.open(QIODevice::WriteOnly))
            file.write(contents);
    }
    platform::Bundle bundle() const { return platform::Bundle(m_dir.path()); }

private:
    QTemporaryDir m_dir;
};

} // namespace

class LocalizationTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init()
    {
        InAppLanguage::resetForTesting();
        usePreferredLanguages({ QStringLiteral("en-US") });
    }

    void cleanup()
    {
        InAppLanguage::setPreferredLanguagesSource({});
        QLocale::setDefault(QLocale::c());
    }

    void choosesTheLanguageFromTheFirstPreference_data()
    {
        QTest::addColumn<QStringList>("preferred");
        QTest::addColumn<QString>("expected");
        QTest::newRow("pt-BR") << QStringList { QStringLiteral("pt-BR") } << QStringLiteral("pt");
        QTest::newRow("zh-Hant-TW") << QStringList { QStringLiteral("zh-Hant-TW") } << QStringLiteral("en");
        QTest::newRow("empty list") << QStringList() << QStringLiteral("en");
        QTest::newRow("de-DE") << QStringList { QStringLiteral("de-DE"), QStringLiteral("fr-FR") }
                               << QStringLiteral("de");
        QTest::newRow("ar") << QStringList { QStringLiteral("ar") } << QStringLiteral("ar");
        QTest::newRow("ja-JP") << QStringList { QStringLiteral("ja-JP") } << QStringLiteral("ja");
        QTest::newRow("only the first counts")
            << QStringList { QStringLiteral("ko-KR"), QStringLiteral("ja-JP") } << QStringLiteral("en");
        QTest::newRow("posix form") << QStringList { QStringLiteral("it_IT") } << QStringLiteral("it");
        QTest::newRow("upper case") << QStringList { QStringLiteral("ES-mx") } << QStringLiteral("es");
        QTest::newRow("C locale") << QStringList { QStringLiteral("C") } << QStringLiteral("en");
        QTest::newRow("no language part") << QStringList { QStringLiteral("-BR") } << QStringLiteral("en");
        QTest::newRow("blank") << QStringList { QStringLiteral("  ") } << QStringLiteral("en");
        QTest::newRow("garbage") << QStringList { QStringLiteral("\u00ff\u0000%@../x") } << QStringLiteral("en");
    }

    void choosesTheLanguageFromTheFirstPreference()
    {
        QFETCH(QStringList, preferred);
        QFETCH(QString, expected);
        usePreferredLanguages(preferred);
        QVERIFY(!InAppLanguage::currentLanguage());
        QCOMPARE(InAppLanguage::resolve().code(), expected);
        QCOMPARE(InAppLanguage::currentLanguage().value_or(QString()), expected);
    }

    void mapsCodesExactly()
    {
        const auto all = InAppLanguage::allCases();
        QStringList codes;
        for (int i = 0; i < int(all.size()); ++i) {
            QCOMPARE(all[i].index(), i);
            QCOMPARE(InAppLanguage::fromCode(all[i].code()), all[i]);
            codes << all[i].code();
        }
        QCOMPARE(codes.join(QLatin1Char(',')), QStringLiteral("en,fr,de,ja,es,ar,it,pt"));
        QCOMPARE(InAppLanguage::fromCode(QStringLiteral("DE")), InAppLanguage(InAppLanguage::English));
        QCOMPARE(InAppLanguage::fromCode(QStringLiteral("ko")), InAppLanguage(InAppLanguage::English));
    }

    void languageIsFixedAtTheFirstLookupAndAnnouncedOnce()
    {
        auto &center = platform::NotificationCenter::defaultCenter();
        QObject context;
        int posts = 0;
        center.addObserver(
            InAppLanguage::languageDidChangedNotification(), &context, [&posts](const platform::Notification &note) {
                QVERIFY(!note.object);
                QVERIFY(note.userInfo.isEmpty());
                ++posts;
            });
        usePreferredLanguages({ QStringLiteral("de-DE") });
        QCOMPARE(localizedString(QStringLiteral("Button_Install")), QStringLiteral("Installieren"));
        usePreferredLanguages({ QStringLiteral("fr-FR") });
        for (int i = 0; i < 5; ++i)
            QCOMPARE(localizedString(QStringLiteral("Button_Replace")), QStringLiteral("Ersetzen"));
        QCOMPARE(LocalizeManager::LocalizedString(QStringLiteral("Button_Retry"), QStringLiteral("retry button")),
            QStringLiteral("Erneut versuchen"));
        QCOMPARE(posts, 1);
        QCOMPARE(InAppLanguage::languageDidChangedNotification(),
            QStringLiteral("InAppLanguage.languageDidChangedNotification"));
    }

    void arabicTurnsRightToLeftOn()
    {
        auto &defaults = platform::UserDefaults::standard();
        QVERIFY(defaults.filePath().startsWith(m_home.path()));

        usePreferredLanguages({ QStringLiteral("ar-EG") });
        QCOMPARE(localizedString(QStringLiteral("Button_Install")), QStringLiteral("تثبيت"));
        QVERIFY(defaults.contains(textDirectionKey));
        QCOMPARE(defaults.value(textDirectionKey).toBool(), true);
        QCOMPARE(defaults.value(forceRightToLeftKey).toBool(), true);
        QCOMPARE(QGuiApplication::layoutDirection(), Qt::RightToLeft);

        // A window made afterwards lays its row out from the right.
        QWidget window;
        auto *layout = new QHBoxLayout(&window);
        auto *first = new QLabel(localizedString(QStringLiteral("Button_Cancel")));
        auto *second = new QLabel(localizedString(QStringLiteral("Button_Replace")));
        layout->addWidget(first);
        layout->addWidget(second);
        window.resize(400, 60);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QCOMPARE(window.layoutDirection(), Qt::RightToLeft);
        QVERIFY(first->geometry().left() > second->geometry().left());
        const QString shots = qEnvironmentVariable("SCREENSHOT_DIR", QDir::tempPath());
        QDir().mkpath(shots);
        QVERIFY(window.grab().save(QDir(shots).filePath(QStringLiteral("localization-arabic-row.png"))));

        // The next process picks another language: both keys go away again.
        InAppLanguage::resetForTesting();
        usePreferredLanguages({ QStringLiteral("fr-CA") });
        QCOMPARE(InAppLanguage::resolve().code(), QStringLiteral("fr"));
        QVERIFY(!defaults.contains(textDirectionKey));
        QVERIFY(!defaults.contains(forceRightToLeftKey));
        QCOMPARE(QGuiApplication::layoutDirection(), Qt::LeftToRight);
        QWidget later;
        QCOMPARE(later.layoutDirection(), Qt::LeftToRight);
    }

    void keysAreWrittenToDiskOnSynchronise()
    {
        usePreferredLanguages({ QStringLiteral("ar") });
        InAppLanguage::resolve();
        platform::UserDefaults reread(platform::UserDefaults::standard().suiteName());
        QVERIFY(reread.boolValue(textDirectionKey));
        QVERIFY(reread.boolValue(forceRightToLeftKey));
    }

    void missingKeyAnswersTheKeyOrTheValue()
    {
        usePreferredLanguages({ QStringLiteral("ja-JP") });
        QCOMPARE(localizedString(QStringLiteral("No_Such_Key")), QStringLiteral("No_Such_Key"));
        QCOMPARE(localizedString(
                     QStringLiteral("No_Such_Key"), QString(), platform::Bundle::main(), QStringLiteral("fallback")),
            QStringLiteral("fallback"));
        QCOMPARE(localizedString(QStringLiteral("Button_Retry"), QStringLiteral("NoSuchTable")),
            QStringLiteral("Button_Retry"));
        QCOMPARE(localizedString(QString()), QString());
    }

    void missingFolderFallsBackToThePreferredLocalization()
    {
        TemporaryBundle temporary;
        temporary.addTable(QStringLiteral("en"), "\"Hello\" = \"Hello\";");
        temporary.addTable(QStringLiteral("fr"), "\"Hello\" = \"Bonjour\";");
        const platform::Bundle bundle = temporary.bundle();

        // German is chosen, the bundle has no de.lproj, the system prefers French.
        QLocale::setDefault(QLocale(QStringLiteral("fr_FR")));
        usePreferredLanguages({ QStringLiteral("de-DE") });
        QCOMPARE(localizedString(QStringLiteral("Hello"), QString(), bundle), QStringLiteral("Bonjour"));
        QCOMPARE(localizedString(QStringLiteral("Absent"), QString(), bundle), QStringLiteral("Absent"));

        QLocale::setDefault(QLocale(QStringLiteral("ko_KR")));
        QCOMPARE(localizedString(QStringLiteral("Hello"), QString(), bundle), QStringLiteral("Hello"));

        // No usable table anywhere: the key, or the given value.
        TemporaryBundle empty;
        QCOMPARE(localizedString(QStringLiteral("Hello"), QString(), empty.bundle()), QStringLiteral("Hello"));
        QCOMPARE(localizedString(QStringLiteral("Hello"), QString(), empty.bundle(), QStringLiteral("Hi")),
            QStringLiteral("Hi"));
    }

    void malformedTableIsNeverHalfUsed()
    {
        TemporaryBundle temporary;
        temporary.addTable(QStringLiteral("en"), "\"Hello\" = \"Hello\";\n\"Bye\" = \"Goodbye\";");
        // The first entry is fine, the second is cut off.
        temporary.addTable(QStringLiteral("de"), "\"Hello\" = \"Hallo\";\n\"Bye\" = \"Tschüs");
        QLocale::setDefault(QLocale(QStringLiteral("en_GB")));
        usePreferredLanguages({ QStringLiteral("de") });
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("rejected.*unterminated string")));
        QCOMPARE(localizedString(QStringLiteral("Hello"), QString(), temporary.bundle()), QStringLiteral("Hello"));
        QCOMPARE(localizedString(QStringLiteral("Bye"), QString(), temporary.bundle()), QStringLiteral("Goodbye"));
    }

    void missingKeyDoesNotFallBackToAnotherLanguage()
    {
        TemporaryBundle temporary;
        temporary.addTable(QStringLiteral("en"), "\"Hello\" = \"Hello\"; \"Only_English\" = \"English\";");
        temporary.addTable(QStringLiteral("it"), "\"Hello\" = \"Ciao\";");
        QLocale::setDefault(QLocale(QStringLiteral("en_US")));
        usePreferredLanguages({ QStringLiteral("it-IT") });
        QCOMPARE(localizedString(QStringLiteral("Hello"), QString(), temporary.bundle()), QStringLiteral("Ciao"));
        QCOMPARE(localizedString(QStringLiteral("Only_English"), QString(), temporary.bundle()),
            QStringLiteral("Only_English"));
    }

    void everyTableHoldsEveryKey()
    {
        const StringsTable::Table english = embeddedTable(QStringLiteral("en"));
        for (const QString &key : requiredKeys)
            QVERIFY2(english.contains(key), qPrintable(QStringLiteral("en lacks ") + key));

        for (const InAppLanguage language : InAppLanguage::allCases()) {
            const QString code = language.code();
            const StringsTable::Table table = embeddedTable(code);
            QVERIFY2(!table.isEmpty(), qPrintable(code + QStringLiteral(".lproj has no readable table")));
            for (auto it = english.cbegin(); it != english.cend(); ++it) {
                const QString where = code + QLatin1Char(' ') + it.key();
                QVERIFY2(table.contains(it.key()), qPrintable(where + QStringLiteral(" is missing")));
                const QString text = table.value(it.key());
                QVERIFY2(!text.trimmed().isEmpty(), qPrintable(where + QStringLiteral(" is empty")));
                QVERIFY2(text.count(QStringLiteral("%@")) == it.value().count(QStringLiteral("%@")),
                    qPrintable(where + QStringLiteral(" has another number of placeholders")));
                if (code != QLatin1String("en") && !untranslated.contains(it.key()))
                    QVERIFY2(text != it.value(), qPrintable(where + QStringLiteral(" is not translated")));
            }
            for (auto it = table.cbegin(); it != table.cend(); ++it)
                QVERIFY2(
                    english.contains(it.key()), qPrintable(code + QStringLiteral(" has the stray key ") + it.key()));
        }
    }

    void everyLanguageAnswersThroughTheLookup()
    {
        for (const InAppLanguage language : InAppLanguage::allCases()) {
            InAppLanguage::resetForTesting();
            InAppLanguage::setLanguage(language);
            const QString where = language.code();
            QCOMPARE(localizedString(QStringLiteral("Application_Name")), QStringLiteral("Prismora"));
            QCOMPARE(localizedString(QStringLiteral("Button_Retry")),
                embeddedTable(where).value(QStringLiteral("Button_Retry")));

            const QString noSpace
                = localizedFormat(QStringLiteral("Install_Error_No_Enough_Space"), { QStringLiteral("/Applications") });
            QVERIFY2(noSpace.contains(QStringLiteral("/Applications")) && !noSpace.contains(QLatin1Char('%')),
                qPrintable(where + QLatin1Char(' ') + noSpace));

            const QString product = localizedString(QStringLiteral("Application_Name"));
            const QString manual
                = localizedFormat(QStringLiteral("Alert_Existed_Delete_Manually"), { product, product });
            QVERIFY2(manual.count(product) == 2 && !manual.contains(QLatin1Char('%')), qPrintable(where));

            for (const QString &key : { QStringLiteral("URL_User_License"), QStringLiteral("URL_Install_Complete") }) {
                const QUrl url(localizedString(key), QUrl::StrictMode);
                QVERIFY2(url.isValid() && url.scheme() == QLatin1String("https")
                        && url.host() == QLatin1String("www.prismora.com"),
                    qPrintable(where + QLatin1Char(' ') + key));
            }
        }
        InAppLanguage::resetForTesting();
        InAppLanguage::setLanguage(InAppLanguage::English);
        QCOMPARE(localizedFormat(QStringLiteral("Install_Error_No_Enough_Space"), { QStringLiteral("/Applications") }),
            QStringLiteral("There is not enough free space in \u2068/Applications\u2069. Please free up some space "
                           "and try again."));
        QCOMPARE(localizedString(QStringLiteral("URL_Install_Complete")),
            QStringLiteral("https://www.prismora.com/install-complete"));
    }

    // An inserted path or name is isolated, and nothing inside it can end the
    // isolation early or leave it open for the rest of the sentence.
    void insertedTextIsIsolated_data()
    {
        QTest::addColumn<QString>("argument");
        QTest::addColumn<QString>("inserted");
        const QString fsi(QChar(0x2068));
        const QString pdi(QChar(0x2069));
        const QString rli(QChar(0x2067));
        QTest::newRow("path") << QStringLiteral("/Applications") << fsi + QStringLiteral("/Applications") + pdi;
        QTest::newRow("empty") << QString() << fsi + pdi;
        QTest::newRow("balanced isolate kept") << QStringLiteral("a") + rli + QStringLiteral("b") + pdi
                                               << fsi + QStringLiteral("a") + rli + QStringLiteral("b") + pdi + pdi;
        QTest::newRow("stray closer dropped")
            << QStringLiteral("/a") + pdi + QStringLiteral("b") << fsi + QStringLiteral("/ab") + pdi;
        QTest::newRow("open isolate closed") << QStringLiteral("/a") + rli + QStringLiteral("b")
                                             << fsi + QStringLiteral("/a") + rli + QStringLiteral("b") + pdi + pdi;
    }

    void insertedTextIsIsolated()
    {
        QFETCH(QString, argument);
        QFETCH(QString, inserted);
        QCOMPARE(localizedFormat(QStringLiteral("Install_Error_No_Enough_Space"), { argument }),
            QStringLiteral("There is not enough free space in ") + inserted
                + QStringLiteral(". Please free up some space and try again."));
    }

    // Regression: in Arabic the path was drawn as "Applications/".
    void arabicSentenceDrawsThePathAsWritten()
    {
        usePreferredLanguages({ QStringLiteral("ar") });
        const QString path = QStringLiteral("/Applications");
        const QString text = localizedFormat(QStringLiteral("Install_Error_No_Enough_Space"), { path });
        QTextLayout layout(text, poppinsFont(18, PoppinsWeight::regular));
        QTextOption option;
        option.setTextDirection(Qt::RightToLeft);
        layout.setTextOption(option);
        layout.beginLayout();
        layout.createLine().setLineWidth(1000);
        layout.endLayout();
        // The columns where the characters at [start, start + length) are drawn.
        const auto columns = [&layout](int start, int length) {
            QTextCharFormat red;
            red.setForeground(Qt::red);
            QImage image(1020, 40, QImage::Format_RGB32);
            image.fill(Qt::white);
            QPainter painter(&image);
            layout.draw(&painter, QPointF(10, 5), { { start, length, red } });
            painter.end();
            std::pair<int, int> span { image.width(), -1 };
            for (int x = 0; x < image.width(); ++x) {
                for (int y = 0; y < image.height(); ++y) {
                    const QColor c = image.pixelColor(x, y);
                    if (c.red() > 200 && c.green() < 100 && c.blue() < 100)
                        span = { std::min(span.first, x), std::max(span.second, x) };
                }
            }
            return span;
        };
        const int slash = int(text.indexOf(path));
        const auto [slashLeft, slashRight] = columns(slash, 1);
        const auto [nameLeft, nameRight] = columns(slash + 1, int(path.size()) - 1);
        QVERIFY(slashLeft <= slashRight && nameLeft <= nameRight);
        QVERIFY2(slashRight < nameLeft,
            qPrintable(QStringLiteral("slash at %1, name from %2").arg(slashRight).arg(nameLeft)));
    }

    void isolatesLeaveLeftToRightTextAsItWas()
    {
        const QFontMetricsF metrics(poppinsFont(14, PoppinsWeight::regular));
        const QString text
            = localizedFormat(QStringLiteral("Install_Error_No_Enough_Space"), { QStringLiteral("/Applications") });
        QCOMPARE(metrics.horizontalAdvance(text),
            metrics.horizontalAdvance(formatLocalized(localizedString(QStringLiteral("Install_Error_No_Enough_Space")),
                { QStringLiteral("/Applications") })));
    }

    void registersObjectsWeaklyAndOnce()
    {
        LocalizeManager *manager = LocalizeManager::shared();
        QCOMPARE(LocalizeManager::shared(), manager);

        QObject kept;
        auto *gone = new QObject;
        QObject other;
        manager->localizeWithObj(&kept);
        manager->localizeWithObj(gone);
        manager->localizeWithObj(&kept);
        manager->localizeWithObj(nullptr);
        QCOMPARE(manager->localizedViews().size(), 2);

        delete gone;
        QCOMPARE(manager->localizedViews().size(), 2);
        QVERIFY(manager->localizedViews().at(1).isNull());

        // Registering again prunes the gone box and keeps the order.
        manager->localizeWithObj(&other);
        const auto views = manager->localizedViews();
        QCOMPARE(views.size(), 2);
        QCOMPARE(views.at(0).data(), &kept);
        QCOMPARE(views.at(1).data(), &other);
    }

    // A new object that happens to reuse a destroyed one's address is a
    // different object and gets its own box.
    void reusedAddressIsANewObject()
    {
        LocalizeManager *manager = LocalizeManager::shared();
        QObject kept;
        manager->localizeWithObj(&kept);
        alignas(QObject) unsigned char storage[sizeof(QObject)];
        auto *first = new (storage) QObject;
        manager->localizeWithObj(first);
        first->~QObject();
        auto *second = new (storage) QObject;
        manager->localizeWithObj(second);
        const auto views = manager->localizedViews();
        QCOMPARE(views.size(), 2);
        QCOMPARE(views.at(0).data(), &kept);
        QCOMPARE(views.at(1).data(), second);
        second->~QObject();
    }

private:
    TestHome m_home;
};

QTEST_MAIN(LocalizationTest)
#include "tst_localization.moc"
