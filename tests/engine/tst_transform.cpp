// The lossless transform against its peer: for every transform code and every kind of
// source, the result must be byte for byte what jpegtran -copy all writes.

#include "engine/transform.h"
#include "tests/support/jpeg_fixtures.h"

#include <QDir>
#include <QFile>
#include <QMap>
#include <QTemporaryDir>
#include <QTest>

using engine::TransformStatus;
using namespace testsupport;

namespace {

const int kAllCodes[] = {engine::kFlipHorizontal, engine::kFlipVertical, engine::kRotate90, engine::kRotate180,
                         engine::kRotate270};

engine::TransformOptions Quiet()
{
    engine::TransformOptions options;
    options.printMessages = false;
    return options;
}

QByteArray Narrow(const QString& path)
{
    return engine::ToNarrowPath(path);
}

} // namespace

class TestTransform : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_work;
    QTemporaryDir m_temp; // the temporary folder the engine sees
    QMap<QString, QString> m_sources; // fixture name -> file
    int m_outputs = 0;

    QString AddSource(const QString& name, const QByteArray& jpeg)
    {
        const QString path = m_work.filePath(QStringLiteral("src%1.jpg").arg(m_sources.size()));
        if (jpeg.isEmpty() || !WriteFile(path, jpeg))
            return {};
        m_sources.insert(name, path);
        return path;
    }
    QString NewOutput() { return m_work.filePath(QStringLiteral("out%1.jpg").arg(m_outputs++)); }
    QStringList TempFolderEntries() const
    {
        return QDir(m_temp.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries | QDir::Hidden | QDir::System);
    }

private Q_SLOTS:
    void initTestCase()
    {
        for (const char* tool : {"cjpeg", "jpegtran", "exiftool"}) {
            if (FindTool(QString::fromLatin1(tool)).isEmpty())
                QSKIP(qPrintable(QStringLiteral("%1 is not installed (scripts/bootstrap installs it)").arg(QString::fromLatin1(tool))));
        }
        QVERIFY(m_work.isValid() && m_temp.isValid());
        qputenv("TMPDIR", m_temp.path().toLocal8Bit());

        const QStringList q{QStringLiteral("-quality"), QStringLiteral("85")};
        const auto cjpeg = [&](int w, int h, QStringList args, bool gray = false) {
            return EncodeWithCjpeg(w, h, q + args, gray);
        };
        const auto s = [](const char* text) { return QString::fromLatin1(text); };
        AddSource(s("baseline 4:2:0 643x481"), cjpeg(643, 481, {s("-sample"), s("2x2")}));
        AddSource(s("baseline 4:2:2 641x479"), cjpeg(641, 479, {s("-sample"), s("2x1")}));
        AddSource(s("baseline 4:4:0 333x257"), cjpeg(333, 257, {s("-sample"), s("1x2")}));
        AddSource(s("baseline 4:4:4 100x75"), cjpeg(100, 75, {s("-sample"), s("1x1")}));
        AddSource(s("aligned 4:2:0 256x128"), cjpeg(256, 128, {s("-sample"), s("2x2")}));
        AddSource(s("tiny 4:2:0 7x5"), cjpeg(7, 5, {s("-sample"), s("2x2")}));
        AddSource(s("grayscale 99x65"), cjpeg(99, 65, {s("-grayscale")}, true));
        AddSource(s("progressive 4:2:0 250x170"), cjpeg(250, 170, {s("-progressive")}));
        AddSource(s("progressive grayscale 90x61"), cjpeg(90, 61, {s("-progressive"), s("-grayscale")}, true));
        AddSource(s("restart markers 200x120"), cjpeg(200, 120, {s("-restart"), s("1")}));
        AddSource(s("Adobe RGB 120x90"), cjpeg(120, 90, {s("-rgb")}));
        AddSource(s("Adobe CMYK 64x40"), EncodeFourComponent(64, 40, false));
        AddSource(s("Adobe YCCK 70x50"), EncodeFourComponent(70, 50, true));

        const QByteArray photo = cjpeg(640, 480, {s("-sample"), s("2x2")});
        AddSource(s("Exif first, big-endian 640x480"), WithSegmentsAfterSoi(photo, ExifSegment(640, 480, 6, true), true));
        AddSource(s("Exif first, little-endian 640x480"), WithSegmentsAfterSoi(photo, ExifSegment(640, 480, 8, false), true));
        const int jfifLength = (uchar(photo[4]) << 8) | uchar(photo[5]);
        const QByteArray jfif = photo.mid(2, 2 + jfifLength);
        const QByteArray extra = Segment(0xFE, QByteArrayLiteral("a comment")) + Segment(0xED, QByteArrayLiteral("Photoshop 3.0\0x8BIM"));
        AddSource(s("JFIF with COM and APP13"), WithSegmentsAfterSoi(photo, jfif + extra, true));

        const QByteArray whole = cjpeg(320, 240, {s("-sample"), s("2x2")});
        AddSource(s("truncated"), whole.left(whole.size() * 3 / 5));

        QCOMPARE(m_sources.size(), 17);
    }

    void matchesJpegtran_data()
    {
        QTest::addColumn<QString>("source");
        QTest::addColumn<int>("code");
        for (auto it = m_sources.cbegin(); it != m_sources.cend(); ++it) {
            for (const int code : kAllCodes)
                QTest::addRow("%s, code %d", qPrintable(it.key()), code) << it.value() << code;
        }
    }
    void matchesJpegtran()
    {
        QFETCH(QString, source);
        QFETCH(int, code);
        const QString ours = NewOutput();
        const QString peer = NewOutput();
        QVERIFY(JpegtranTransform(source, peer, JpegtranArgsForCode(code)));
        const engine::TransformResult result = engine::TransformJpegFile(Narrow(source), Narrow(ours), code, Quiet());
        QVERIFY2(result.ok(), qPrintable(result.message));
        const QByteArray expected = ReadFile(peer);
        const QByteArray actual = ReadFile(ours);
        QVERIFY(!expected.isEmpty());
        QVERIFY2(actual == expected, qPrintable(QStringLiteral("%1 bytes written, jpegtran wrote %2").arg(actual.size()).arg(expected.size())));
    }

    void twoPassesMatchTwoJpegtranRuns_data()
    {
        QTest::addColumn<int>("flip");
        QTest::addColumn<int>("rotation");
        for (const int flip : {1, 2}) {
            for (const int rotation : {1, 2, 3, 4})
                QTest::addRow("flip %d, rotation %d", flip, rotation) << flip << rotation;
        }
    }
    void twoPassesMatchTwoJpegtranRuns()
    {
        QFETCH(int, flip);
        QFETCH(int, rotation);
        const QString source = m_sources.value(QStringLiteral("baseline 4:2:0 643x481"));
        const std::vector<engine::TransformCode> passes = engine::PassesFor({flip, rotation});
        QCOMPARE(passes.size(), std::size_t(2));
        const QString between = NewOutput();
        const QString peer = NewOutput();
        QVERIFY(JpegtranTransform(source, between, JpegtranArgsForCode(passes[0])));
        QVERIFY(JpegtranTransform(between, peer, JpegtranArgsForCode(passes[1])));

        const QString ours = NewOutput();
        const engine::TransformResult result = engine::SaveWithSettings(source, ours, {flip, rotation}, Quiet());
        QVERIFY2(result.ok(), qPrintable(result.message));
        QVERIFY(ReadFile(ours) == ReadFile(peer));
        QCOMPARE(TempFolderEntries(), QStringList()); // the .tmp2 file is gone
    }

    void passesForSettings_data()
    {
        QTest::addColumn<int>("flip");
        QTest::addColumn<int>("rotation");
        QTest::addColumn<QList<int>>("codes");
        QTest::newRow("nothing") << 0 << 0 << QList<int>{};
        QTest::newRow("rotate 90") << 0 << 1 << QList<int>{5};
        QTest::newRow("rotate 180") << 0 << 2 << QList<int>{6};
        QTest::newRow("rotate 270 as 4") << 0 << 4 << QList<int>{7};
        QTest::newRow("rotate 270 as 3") << 0 << 3 << QList<int>{7};
        QTest::newRow("flip horizontal") << 1 << 0 << QList<int>{1};
        QTest::newRow("flip vertical") << 2 << 0 << QList<int>{2};
        QTest::newRow("other flip means vertical") << 7 << 0 << QList<int>{2};
        QTest::newRow("flip before turn") << 2 << 4 << QList<int>{2, 7};
    }
    void passesForSettings()
    {
        QFETCH(int, flip);
        QFETCH(int, rotation);
        QFETCH(QList<int>, codes);
        const std::vector<engine::TransformCode> passes = engine::PassesFor({flip, rotation});
        QCOMPARE(QList<int>(passes.begin(), passes.end()), codes);
    }

    void exifDimensionsFollowTheTurn()
    {
        const QString ours = NewOutput();
        QVERIFY(engine::TransformJpegFile(Narrow(m_sources.value(QStringLiteral("Exif first, big-endian 640x480"))),
                                          Narrow(ours), engine::kRotate90, Quiet()));
        const QByteArray result = ReadFile(ours);
        QCOMPARE(FrameSize(result), std::make_optional(std::make_pair(480, 640)));
        const std::vector<unsigned char> markers = HeaderMarkers(result);
        QVERIFY(markers.size() > 2);
        QCOMPARE(int(markers[1]), 0xE1); // Exif stays first; no JFIF header is added
        QVERIFY(std::find(markers.begin(), markers.end(), 0xE0) == markers.end());
        const ToolRun exif = RunTool(FindTool(QStringLiteral("exiftool")),
                                     {QStringLiteral("-n"), QStringLiteral("-s3"), QStringLiteral("-ExifImageWidth"),
                                      QStringLiteral("-ExifImageHeight"), QStringLiteral("-Orientation"), ours});
        QCOMPARE(exif.exitCode, 0);
        QCOMPARE(exif.out, QByteArrayLiteral("480\n640\n6\n"));
    }

    void markersAreKeptInOrder()
    {
        const QString ours = NewOutput();
        QVERIFY(engine::TransformJpegFile(Narrow(m_sources.value(QStringLiteral("JFIF with COM and APP13"))), Narrow(ours),
                                          engine::kFlipHorizontal, Quiet()));
        const std::vector<unsigned char> markers = HeaderMarkers(ReadFile(ours));
        QVERIFY(markers.size() >= 4);
        QCOMPARE(int(markers[1]), 0xE0);
        QCOMPARE(int(markers[2]), 0xFE);
        QCOMPARE(int(markers[3]), 0xED);
        QCOMPARE(std::count(markers.begin(), markers.end(), 0xE0), 1);
    }

    void progressiveBecomesSequential()
    {
        const QString ours = NewOutput();
        QVERIFY(engine::TransformJpegFile(Narrow(m_sources.value(QStringLiteral("progressive 4:2:0 250x170"))),
                                          Narrow(ours), engine::kRotate180, Quiet()));
        const std::vector<unsigned char> markers = HeaderMarkers(ReadFile(ours));
        QVERIFY(std::find(markers.begin(), markers.end(), 0xC0) != markers.end());
        QVERIFY(std::find(markers.begin(), markers.end(), 0xC2) == markers.end());
    }

    void truncatedSourceIsWrittenWithAWarning()
    {
        const QString ours = NewOutput();
        const engine::TransformResult result = engine::TransformJpegFile(
            Narrow(m_sources.value(QStringLiteral("truncated"))), Narrow(ours), engine::kRotate90, Quiet());
        QCOMPARE(result.status, TransformStatus::WrittenWithWarnings);
        QVERIFY(!result.message.isEmpty());
        QCOMPARE(FrameSize(ReadFile(ours)), std::make_optional(std::make_pair(240, 320)));
    }

    void failuresWriteNothing_data()
    {
        QTest::addColumn<QByteArray>("content"); // empty: no source file at all
        QTest::addColumn<bool>("destinationFolderExists");
        const QByteArray photo = EncodeWithCjpeg(64, 48, {});
        QTest::newRow("not a JPEG") << QByteArrayLiteral("this is text, not a picture\n") << true;
        QTest::newRow("empty file") << QByteArray("", 0) << true;
        QTest::newRow("missing source") << QByteArray() << true;
        QTest::newRow("destination folder missing") << photo << false;
        QTest::newRow("uncommon sampling factors")
            << EncodeWithCjpeg(64, 48, {QStringLiteral("-sample"), QStringLiteral("2x1,1x2,1x1")}) << true;
        QTest::newRow("absurd dimensions") << WithFrameSize(photo, 65000, 65000) << true;
    }
    void failuresWriteNothing()
    {
        QFETCH(QByteArray, content);
        QFETCH(bool, destinationFolderExists);
        QTemporaryDir dir(m_work.filePath(QStringLiteral("case-XXXXXX")));
        const QString source = dir.filePath(QStringLiteral("source.jpg"));
        if (!content.isNull())
            QVERIFY(WriteFile(source, content));
        const QString destination = destinationFolderExists ? dir.filePath(QStringLiteral("out.jpg"))
                                                            : dir.filePath(QStringLiteral("missing/out.jpg"));
        for (const int code : kAllCodes) {
            const engine::TransformResult result = engine::TransformJpegFile(Narrow(source), Narrow(destination), code, Quiet());
            QCOMPARE(result.status, TransformStatus::Failed);
            QVERIFY(!result.message.isEmpty());
            QVERIFY2(!QFile::exists(destination), qPrintable(QStringLiteral("code %1 left %2").arg(code).arg(destination)));
        }
        // Two passes fail in the first and leave no intermediate file either.
        QVERIFY(!engine::SaveWithSettings(source, destination, {1, 1}, Quiet()));
        QVERIFY(!QFile::exists(destination));
        QCOMPARE(TempFolderEntries(), QStringList());
    }

    void sizeLimitIsAnOption()
    {
        engine::TransformOptions options = Quiet();
        options.maxSourcePixels = 643 * 481 - 1;
        const QString ours = NewOutput();
        const engine::TransformResult result = engine::TransformJpegFile(
            Narrow(m_sources.value(QStringLiteral("baseline 4:2:0 643x481"))), Narrow(ours), engine::kRotate90, options);
        QCOMPARE(result.status, TransformStatus::Failed);
        QVERIFY(!QFile::exists(ours));
    }

    void existingNamesAreNeverOpened()
    {
        QTemporaryDir dir(m_work.filePath(QStringLiteral("case-XXXXXX")));
        const QByteArray source = Narrow(m_sources.value(QStringLiteral("baseline 4:4:4 100x75")));
        const QString existing = dir.filePath(QStringLiteral("taken.jpg"));
        QVERIFY(WriteFile(existing, QByteArrayLiteral("keep me")));
        QCOMPARE(engine::TransformJpegFile(source, Narrow(existing), engine::kFlipVertical, Quiet()).status,
                 TransformStatus::DestinationExists);
        QCOMPARE(ReadFile(existing), QByteArrayLiteral("keep me"));

        // A link planted under the name must not redirect the write to its target.
        const QString target = dir.filePath(QStringLiteral("target"));
        const QString planted = dir.filePath(QStringLiteral("planted.jpg"));
        QVERIFY(QFile::link(target, planted));
        QCOMPARE(engine::TransformJpegFile(source, Narrow(planted), engine::kFlipVertical, Quiet()).status,
                 TransformStatus::DestinationExists);
        QVERIFY(!QFile::exists(target));
    }

    void saveToFreeNameTakesTheNextName()
    {
        QTemporaryDir dir(m_work.filePath(QStringLiteral("case-XXXXXX")));
        const QString wanted = dir.filePath(QStringLiteral("IMG.JPG"));
        QVERIFY(WriteFile(wanted, QByteArrayLiteral("first")));
        QString written;
        const engine::TransformResult result = engine::SaveToFreeName(
            m_sources.value(QStringLiteral("tiny 4:2:0 7x5")), wanted, {0, 2}, &written, Quiet());
        QVERIFY2(result.ok(), qPrintable(result.message));
        QCOMPARE(written, dir.filePath(QStringLiteral("IMG_0.JPG")));
        QCOMPARE(ReadFile(wanted), QByteArrayLiteral("first"));
        QCOMPARE(FrameSize(ReadFile(written)), std::make_optional(std::make_pair(7, 5)));
    }

    void noSettingsIsRefused()
    {
        const QString ours = NewOutput();
        QVERIFY(!engine::SaveWithSettings(m_sources.first(), ours, {0, 0}, Quiet()));
        QVERIFY(!QFile::exists(ours));
    }
};

QTEST_GUILESS_MAIN(TestTransform)
#include "tst_transform.moc"
