#include <mirakit/foundation/StringExtensions.h>

#include <QTest>

#include <limits>

namespace {
// "e" + combining acute, a thumbs-up with a skin-tone modifier (four UTF-16
// units) and a plain letter: three characters in seven units.
const QString mixed = QStringLiteral("e\u0301\U0001F44D\U0001F3FDz");
} // namespace

class StringExtensionsTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void countsCharactersNotUnits()
    {
        QCOMPARE(mixed.size(), 7);
        QCOMPARE(mira::characterCount(mixed), 3);
        QCOMPARE(mira::characterCount(QString()), 0);
    }

    void characterAt_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<qsizetype>("offset");
        QTest::addColumn<QString>("expected");
        QTest::newRow("ascii") << QStringLiteral("hello") << qsizetype(1) << QStringLiteral("e");
        QTest::newRow("combining accent") << mixed << qsizetype(0) << QStringLiteral("e\u0301");
        QTest::newRow("emoji with modifier") << mixed << qsizetype(1) << QStringLiteral("\U0001F44D\U0001F3FD");
        QTest::newRow("after a cluster") << mixed << qsizetype(2) << QStringLiteral("z");
        QTest::newRow("past the end") << mixed << qsizetype(3) << QString();
        QTest::newRow("negative") << QStringLiteral("abc") << qsizetype(-1) << QString();
        QTest::newRow("largest offset") << QStringLiteral("abc") << std::numeric_limits<qsizetype>::max() << QString();
        QTest::newRow("empty text") << QString() << qsizetype(0) << QString();
    }
    void characterAt()
    {
        QFETCH(QString, text);
        QFETCH(qsizetype, offset);
        QFETCH(QString, expected);
        QCOMPARE(mira::characterAt(text, offset), expected);
    }

    void substringByRange_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<qsizetype>("start");
        QTest::addColumn<qsizetype>("end");
        QTest::addColumn<QString>("expected");
        QTest::newRow("middle") << QStringLiteral("installer") << qsizetype(2) << qsizetype(7)
                                << QStringLiteral("stall");
        QTest::newRow("whole") << QStringLiteral("abc") << qsizetype(0) << qsizetype(3) << QStringLiteral("abc");
        QTest::newRow("clusters kept whole")
            << mixed << qsizetype(1) << qsizetype(3) << QStringLiteral("\U0001F44D\U0001F3FDz");
        QTest::newRow("end clamped") << QStringLiteral("abc") << qsizetype(1) << qsizetype(99) << QStringLiteral("bc");
        QTest::newRow("start clamped") << QStringLiteral("abc") << qsizetype(-5) << qsizetype(2)
                                       << QStringLiteral("ab");
        QTest::newRow("reversed") << QStringLiteral("abc") << qsizetype(2) << qsizetype(1) << QString();
        QTest::newRow("empty range") << QStringLiteral("abc") << qsizetype(1) << qsizetype(1) << QString();
        QTest::newRow("beyond the end") << QStringLiteral("abc") << qsizetype(5) << qsizetype(9) << QString();
    }
    void substringByRange()
    {
        QFETCH(QString, text);
        QFETCH(qsizetype, start);
        QFETCH(qsizetype, end);
        QFETCH(QString, expected);
        QCOMPARE(mira::substring(text, mira::CharacterRange { start, end }), expected);
    }

    void substringByLength_data()
    {
        QTest::addColumn<qsizetype>("start");
        QTest::addColumn<qsizetype>("length");
        QTest::addColumn<QString>("expected");
        QTest::newRow("plain") << qsizetype(2) << qsizetype(3) << QStringLiteral("sta");
        QTest::newRow("zero length") << qsizetype(2) << qsizetype(0) << QString();
        QTest::newRow("negative length") << qsizetype(2) << qsizetype(-3) << QString();
        QTest::newRow("length past the end") << qsizetype(6) << qsizetype(100) << QStringLiteral("ler");
        QTest::newRow("largest length") << qsizetype(7) << std::numeric_limits<qsizetype>::max()
                                        << QStringLiteral("er");
        QTest::newRow("largest start") << std::numeric_limits<qsizetype>::max() << std::numeric_limits<qsizetype>::max()
                                       << QString();
    }
    void substringByLength()
    {
        QFETCH(qsizetype, start);
        QFETCH(qsizetype, length);
        QFETCH(QString, expected);
        QCOMPARE(mira::substring(QStringLiteral("installer"), start, length), expected);
    }

    void nsRange_data()
    {
        QTest::addColumn<qsizetype>("start");
        QTest::addColumn<qsizetype>("end");
        QTest::addColumn<qsizetype>("location");
        QTest::addColumn<qsizetype>("length");
        QTest::newRow("first cluster") << qsizetype(0) << qsizetype(1) << qsizetype(0) << qsizetype(2);
        QTest::newRow("emoji") << qsizetype(1) << qsizetype(2) << qsizetype(2) << qsizetype(4);
        QTest::newRow("to the end") << qsizetype(1) << qsizetype(3) << qsizetype(2) << qsizetype(5);
        QTest::newRow("clamped") << qsizetype(-1) << qsizetype(50) << qsizetype(0) << qsizetype(7);
        QTest::newRow("empty at clamped start") << qsizetype(9) << qsizetype(9) << qsizetype(7) << qsizetype(0);
    }
    void nsRange()
    {
        QFETCH(qsizetype, start);
        QFETCH(qsizetype, end);
        QFETCH(qsizetype, location);
        QFETCH(qsizetype, length);
        const mira::Utf16Range range = mira::nsRange(mixed, { start, end });
        QCOMPARE(range, (mira::Utf16Range { location, length }));
        QCOMPARE(mixed.mid(range.location, range.length), mira::substring(mixed, { start, end }));
    }

    void verification_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<bool>("expected");
        QTest::newRow("match somewhere") << QStringLiteral("build 1234 ok") << QStringLiteral("\\d{4}") << true;
        QTest::newRow("anchored miss") << QStringLiteral("build 1234") << QStringLiteral("^\\d+$") << false;
        QTest::newRow("case sensitive") << QStringLiteral("Prismora") << QStringLiteral("prismora") << false;
        QTest::newRow("empty pattern matches") << QStringLiteral("x") << QString() << true;
        QTest::newRow("empty text") << QString() << QStringLiteral("a") << false;
        QTest::newRow("unbalanced group") << QStringLiteral("(abc") << QStringLiteral("(abc") << false;
        QTest::newRow("bad repetition") << QStringLiteral("abc") << QStringLiteral("*abc") << false;
        QTest::newRow("non-ascii") << QStringLiteral("grüße") << QStringLiteral("ü") << true;
    }
    void verification()
    {
        QFETCH(QString, text);
        QFETCH(QString, pattern);
        QFETCH(bool, expected);
        QCOMPARE(mira::verification(text, pattern), expected);
    }

    void verificationGivesUpOnCatastrophicBacktracking()
    {
        // Nested quantifiers on a long non-matching text explode; the match
        // must end (as no match) instead of hanging or crashing.
        const QString text = QString(5000, QLatin1Char('a')) + QLatin1Char('!');
        QCOMPARE(mira::verification(text, QStringLiteral("^(a+)+$")), false);
    }
};

QTEST_GUILESS_MAIN(StringExtensionsTest)
#include "tst_stringextensions.moc"
