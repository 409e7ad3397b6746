// mirakit-foundation-tour: the foundation services of MiraKit in one short
// program. It chains background work, digests a text, and keeps values in
// the keychain and the user defaults, printing what it does. It exits with 1
// when a store does not give back what was put in.

#include <mirakit/foundation/Keychained.h>
#include <mirakit/foundation/Notificated.h>
#include <mirakit/foundation/Pace.h>
#include <mirakit/foundation/Setter.h>
#include <mirakit/foundation/StringDigests.h>
#include <mirakit/foundation/UserDefaultCodabled.h>
#include <mirakit/foundation/UserDefaulted.h>

#include <QCoreApplication>
#include <QTextStream>

#include <stdexcept>

namespace {

QTextStream out(stdout);

/// Work that finishes on a pool thread, as a download or a file scan would.
mira::Pace<int> countOnPool(int from, int to)
{
    return mira::Pace<int>([from, to](auto done) {
        done(mira::PaceResult<int>::success(to - from));
    }).schedule(mira::PaceQueue::background());
}

struct Profile {
    QString name;
    int level = 0;
};

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("MiraKitExamples"));
    QCoreApplication::setApplicationName(QStringLiteral("mirakit-foundation-tour"));
    int failures = 0;

    // Digests and random text.
    const QString name = QStringLiteral("mirakit");
    out << "md5 of " << name << ": " << mira::encryptMD5(name, mira::MD5EncryptType::lowercase32) << '\n';
    out << "sha1 of " << name << ": " << mira::sha1(name) << '\n';
    out << "a token: " << mira::random(12) << ", a pin: " << mira::randomNumberString(6) << '\n';

    // User defaults: a plain counter and a codable list.
    mira::UserDefaulted<int> launches(QStringLiteral("launches"), 0);
    launches.setWrappedValue(launches.wrappedValue() + 1);
    out << "launch number " << launches.wrappedValue() << " (stored in " << launches.defaults().filePath() << ")\n";
    mira::UserDefaultCodabled<QStringList> recent(QStringLiteral("recent"), {});
    recent.setWrappedValue({ QStringLiteral("/tmp/a.txt"), QStringLiteral("/tmp/b.txt") });
    failures += recent.wrappedValue().size() != 2;

    // The keychain.
    mira::Keychained<QString> token(QStringLiteral("apiToken"), QStringLiteral("(none)"));
    QString error;
    if (!token.setWrappedValue(QStringLiteral("s3cret"), &error) || token.wrappedValue() != u"s3cret") {
        out << "keychain: " << error << '\n';
        ++failures;
    } else {
        out << "keychain holds the token\n";
    }
    mira::KeyChainManager::removeAll();

    // A value that announces its changes.
    mira::Notificated<int> unread(0, QStringLiteral("com.example.unreadChanged"));
    platform::NotificationCenter::defaultCenter().addObserver(unread.projectedValue(), &app,
        [](const platform::Notification &n) { out << "unread is now " << n.value.toInt() << '\n'; });
    unread.setWrappedValue(3);
    unread.modify([](int &count) { ++count; });

    // Several members in one expression.
    const Profile profile = mira::Setter(Profile()).set(&Profile::name, name).set(&Profile::level, 2).subject();
    out << "profile " << profile.name << " at level " << profile.level << '\n';

    // A chain: two counts on the pool, joined, checked, delivered on the main thread.
    mira::zip(countOnPool(0, 40), countOnPool(40, 42))
        .map([](const std::tuple<int, int> &counts) {
            const int total = std::get<0>(counts) + std::get<1>(counts);
            if (total != 42)
                throw std::runtime_error("the counts do not add up");
            return total;
        })
        .schedule(mira::PaceQueue::main())
        .excute([&](const mira::PaceResult<int> &result) {
            if (result.isSuccess()) {
                out << "chain delivered " << result.value() << '\n';
            } else {
                out << "chain failed: " << result.errorString() << '\n';
                ++failures;
            }
            QCoreApplication::quit();
        });
    app.exec();
    out.flush();
    return failures == 0 ? 0 : 1;
}
