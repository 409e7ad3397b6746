#include "ResponseHead_p.h"

#include <QTest>

using platform::net::ResponseHead;

class ResponseHeadTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // Only a well-formed range that lies inside its length says where a partial answer starts.
    void readsTheRangeStart_data()
    {
        QTest::addColumn<QByteArray>("contentRange");
        QTest::addColumn<qint64>("start"); // -1: none
        QTest::newRow("whole form") << QByteArray("bytes 100-199/200") << qint64(100);
        QTest::newRow("unknown length") << QByteArray("bytes 0-9/*") << qint64(0);
        QTest::newRow("no last byte") << QByteArray("bytes 100-/200") << qint64(-1);
        QTest::newRow("no length") << QByteArray("bytes 100-199") << qint64(-1);
        QTest::newRow("length not a number") << QByteArray("bytes 100-199/2x") << qint64(-1);
        QTest::newRow("reversed") << QByteArray("bytes 200-100/300") << qint64(-1);
        QTest::newRow("past the length") << QByteArray("bytes 100-199/150") << qint64(-1);
        QTest::newRow("unsatisfied") << QByteArray("bytes */300") << qint64(-1);
        QTest::newRow("19 digits") << QByteArray("bytes 1000000000000000000-1000000000000000001/*") << qint64(-1);
    }

    void readsTheRangeStart()
    {
        QFETCH(QByteArray, contentRange);
        QFETCH(qint64, start);
        ResponseHead head;
        head.addLine("HTTP/1.1 206 Partial Content\r\n");
        head.addLine("Content-Range: " + contentRange + "\r\n");
        QCOMPARE(head.rangeStart().value_or(-1), start);
    }

    void statusLineStartsANewHead()
    {
        ResponseHead head;
        for (const char *line : { "HTTP/1.1 302 Found\r\n", "ETag: \"old\"\r\n", "Content-Range: bytes 0-1/2\r\n",
                 "\r\n", "HTTP/1.1 200 OK\r\n", "Last-Modified: Wed, 21 Oct 2015 07:28:00 GMT\r\n" })
            head.addLine(line);
        QCOMPARE(head.status(), 200);
        QCOMPARE(head.validator(), QByteArray("Wed, 21 Oct 2015 07:28:00 GMT"));
        QVERIFY(!head.rangeStart());
    }
};

QTEST_GUILESS_MAIN(ResponseHeadTest)
#include "tst_responsehead.moc"
