// The rules of the collection that need no window: stepping the current picture, and the
// records of the collection file.

#include "collection/collection_file.h"
#include "collection/selection_rules.h"
#include "tests/support/jpeg_fixtures.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

using collection::RowSelection;

Q_DECLARE_METATYPE(std::vector<int>)

class TestCollectionRules : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void stepping_data()
    {
        QTest::addColumn<int>("rowCount");
        QTest::addColumn<std::vector<int>>("selected");
        QTest::addColumn<int>("current");
        QTest::addColumn<int>("prev");
        QTest::addColumn<int>("next");
        const std::vector<int> none;
        const std::vector<int> three{2, 5, 9};
        QTest::newRow("empty collection") << 0 << none << -1 << -1 << -1;
        QTest::newRow("none selected, first wraps back") << 10 << none << 0 << 9 << 1;
        QTest::newRow("none selected, last wraps on") << 10 << none << 9 << 8 << 0;
        QTest::newRow("none selected, no current yet") << 10 << none << -1 << 9 << 1;
        QTest::newRow("none selected, past the end") << 10 << none << 12 << 8 << 0;
        QTest::newRow("2 5 9, current 5") << 10 << three << 5 << 2 << 9;
        QTest::newRow("2 5 9, current 9") << 10 << three << 9 << 5 << 2;
        QTest::newRow("2 5 9, current 2") << 10 << three << 2 << 9 << 5;
        QTest::newRow("2 5 9, current 4 unselected") << 10 << three << 4 << 9 << 5;
        QTest::newRow("one selected stays") << 10 << std::vector<int>{7} << 3 << 7 << 7;
        QTest::newRow("one selected, current it") << 10 << std::vector<int>{7} << 7 << 7 << 7;
    }
    void stepping()
    {
        QFETCH(int, rowCount);
        QFETCH(std::vector<int>, selected);
        QFETCH(int, current);
        const RowSelection rows{rowCount, selected};
        QTEST(collection::PrevIndex(current, rows), "prev");
        QTEST(collection::NextIndex(current, rows), "next");
    }

    void clicks_data()
    {
        QTest::addColumn<std::vector<int>>("selectedAfterClick");
        QTest::addColumn<int>("clicked");
        QTest::addColumn<bool>("makesCurrent");
        QTest::newRow("click selected a row") << std::vector<int>{3} << 3 << true;
        QTest::newRow("click deselected the only row") << std::vector<int>{} << 3 << true;
        QTest::newRow("click deselected one of several") << std::vector<int>{2, 9} << 5 << false;
    }
    void clicks()
    {
        QFETCH(std::vector<int>, selectedAfterClick);
        QFETCH(int, clicked);
        QTEST(collection::ClickMakesRowCurrent(clicked, RowSelection{10, selectedAfterClick}), "makesCurrent");
    }

    void recordsHoldPathsInOrder()
    {
        const QStringList paths{QStringLiteral("/p/a.jpg"), QStringLiteral("/写真/b.JPG"), QStringLiteral("/p/c.jpeg")};
        const collection::EncodedCollection encoded = collection::EncodeRecords(paths);
        QCOMPARE(encoded.bytes.size(), 1536);
        QVERIFY(encoded.tooLong.isEmpty());
        QStringList read;
        for (int at = 0; at + collection::kRecordSize <= encoded.bytes.size(); at += collection::kRecordSize) {
            const QByteArray record = encoded.bytes.mid(at, collection::kRecordSize);
            QVERIFY2(record.mid(int(record.indexOf('\0'))).count('\0') == record.size() - record.indexOf('\0'),
                     "the bytes after the path are not zeros");
            read.append(collection::RecordPath(encoded.bytes.constData() + at));
        }
        QCOMPARE(read, paths);
        QCOMPARE(collection::EncodeRecords({}).bytes.size(), 0);
    }

    void pathsThatDoNotFitAreNeverCut()
    {
        const QString fits = u'/' + QString(510, u'a');     // 511 bytes and the zero
        const QString tooLong = u'/' + QString(511, u'b');  // 512 bytes: no room for the zero
        const QString multiByte = u'/' + QString(200, QChar(0x5199)); // 601 bytes in UTF-8
        const collection::EncodedCollection encoded = collection::EncodeRecords({fits, tooLong, multiByte});
        QCOMPARE(encoded.bytes.size(), collection::kRecordSize);
        QCOMPARE(collection::RecordPath(encoded.bytes.constData()), fits);
        QCOMPARE(encoded.tooLong, QStringList({tooLong, multiByte}));
    }

    void recordWithoutZeroStaysInsideTheRecord()
    {
        // Two records back to back; the first has no zero byte at all.
        QByteArray bytes(collection::kRecordSize, 'x');
        bytes += QByteArray("/second.jpg").leftJustified(collection::kRecordSize, '\0');
        QCOMPARE(collection::RecordPath(bytes.constData()), QString(collection::kRecordSize, u'x'));
        QCOMPARE(collection::RecordPath(bytes.constData() + collection::kRecordSize), QStringLiteral("/second.jpg"));
    }

    void fileIsReplacedWhole()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("IMG.DAT"));
        QVERIFY(collection::WriteCollectionFile(path, QByteArray(1024, 'a')));
        QVERIFY(collection::WriteCollectionFile(path, QByteArray(512, 'b')));
        QCOMPARE(testsupport::ReadFile(path), QByteArray(512, 'b'));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("IMG.DAT")});
        // A folder that cannot hold the file: false, and nothing is left behind.
        QVERIFY(!collection::WriteCollectionFile(dir.filePath(QStringLiteral("missing/IMG.DAT")), "x"));
    }

    void fileLivesInTheProgramFolderWhenWritable()
    {
        QTemporaryDir program;
        QTemporaryDir data;
        const QString userData = data.filePath(QStringLiteral("turnwise"));
        QCOMPARE(collection::CollectionFilePath(program.path(), userData), program.filePath(QStringLiteral("IMG.DAT")));
        QCOMPARE(collection::CollectionFilePath(program.filePath(QStringLiteral("gone")), userData),
                 userData + QStringLiteral("/IMG.DAT"));
        QVERIFY(QDir(userData).exists());
    }
};

QTEST_GUILESS_MAIN(TestCollectionRules)
#include "tst_collection_rules.moc"
