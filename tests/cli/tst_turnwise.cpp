// The turnwise command: its arguments, and whole runs of the real program.

#include "cli/arguments.h"
#include "tests/support/jpeg_fixtures.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace testsupport;

namespace {

const QString kProgram = QStringLiteral(TURNWISE_PROGRAM);

// The files below `folder`, relative to it, sorted.
QStringList FilesBelow(const QString& folder)
{
    QStringList files;
    QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext())
        files.append(it.next().mid(folder.size() + 1));
    files.sort();
    return files;
}

} // namespace

class TestTurnwise : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QByteArray m_photo; // a small 4:2:0 JPEG, 37 x 21 pixels

    QString Make(const QString& relative, const QByteArray& bytes) const
    {
        const QString path = m_dir.filePath(relative);
        QDir().mkpath(QFileInfo(path).path());
        return WriteFile(path, bytes) ? path : QString();
    }
    ToolRun Run(const QStringList& args) const { return RunTool(kProgram, args); }

private Q_SLOTS:
    void initTestCase()
    {
        if (FindTool(QStringLiteral("cjpeg")).isEmpty() || FindTool(QStringLiteral("jpegtran")).isEmpty())
            QSKIP("cjpeg and jpegtran are not installed (scripts/bootstrap installs them)");
        QVERIFY(m_dir.isValid());
        m_photo = EncodeWithCjpeg(37, 21, {QStringLiteral("-sample"), QStringLiteral("2x2")});
        QVERIFY(!m_photo.isEmpty());
    }

    void parsesArguments_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("flip");
        QTest::addColumn<int>("rotation");
        QTest::addColumn<int>("jobs");
        QTest::addColumn<QStringList>("paths");
        QTest::newRow("rotate") << QStringList{"--rotate", "90", "-o", "out", "a.jpg"} << 0 << 1 << 0 << QStringList{"a.jpg"};
        QTest::newRow("270 is stored as 4") << QStringList{"--rotate=270", "--output=out", "a.jpg"} << 0 << 4 << 0 << QStringList{"a.jpg"};
        QTest::newRow("flip and turn") << QStringList{"--flip", "v", "--rotate", "180", "-o", "o", "x", "y"} << 2 << 2 << 0
                                       << QStringList{"x", "y"};
        QTest::newRow("jobs") << QStringList{"--flip", "h", "-j", "3", "-o", "o", "x"} << 1 << 0 << 3 << QStringList{"x"};
        QTest::newRow("paths after --") << QStringList{"--flip", "h", "-o", "o", "--", "--rotate"} << 1 << 0 << 0
                                        << QStringList{"--rotate"};
    }
    void parsesArguments()
    {
        QFETCH(QStringList, args);
        const cli::ParsedArguments parsed = cli::ParseArguments(args);
        QVERIFY2(parsed.arguments, qPrintable(parsed.error));
        QTEST(parsed.arguments->settings.m_nFlip, "flip");
        QTEST(parsed.arguments->settings.m_nRotation, "rotation");
        QTEST(parsed.arguments->jobs, "jobs");
        QTEST(parsed.arguments->paths, "paths");
    }

    void refusesBadArguments_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("complaint");
        QTest::newRow("no transform") << QStringList{"-o", "out", "a.jpg"} << "--flip or --rotate";
        QTest::newRow("no output folder") << QStringList{"--rotate", "90", "a.jpg"} << "-o FOLDER";
        QTest::newRow("no paths") << QStringList{"--rotate", "90", "-o", "out"} << "at least one";
        QTest::newRow("unknown option") << QStringList{"--rotate", "90", "--fast", "-o", "o", "a"} << "unknown option '--fast'";
        QTest::newRow("bad rotation") << QStringList{"--rotate", "45", "-o", "o", "a"} << "90, 180 or 270";
        QTest::newRow("bad flip") << QStringList{"--flip", "x", "-o", "o", "a"} << "h or v";
        QTest::newRow("zero jobs") << QStringList{"--flip", "h", "--jobs", "0", "-o", "o", "a"} << "--jobs";
        QTest::newRow("missing value") << QStringList{"--flip", "h", "a", "-o"} << "needs a value";
    }
    void refusesBadArguments()
    {
        QFETCH(QStringList, args);
        QFETCH(QString, complaint);
        const cli::ParsedArguments parsed = cli::ParseArguments(args);
        QVERIFY(!parsed.arguments);
        QVERIFY2(parsed.error.contains(complaint), qPrintable(parsed.error));

        // The program says so and ends with status 2.
        const ToolRun run = Run(args);
        QCOMPARE(run.exitCode, 2);
        QVERIFY2(run.err.contains(complaint.toUtf8()), run.err.constData());
    }

    void helpAndVersion()
    {
        const ToolRun help = Run({QStringLiteral("--help")});
        QCOMPARE(help.exitCode, 0);
        QVERIFY(help.out.startsWith("Usage: turnwise"));
        const ToolRun version = Run({QStringLiteral("--version")});
        QCOMPARE(version.exitCode, 0);
        QVERIFY2(QRegularExpression(QStringLiteral("^turnwise \\d+\\.\\d+\\.\\d+\\.\\d+\\n$"))
                     .match(QString::fromUtf8(version.out)).hasMatch(), version.out.constData());
    }

    void outputFolderMustExist()
    {
        const QString photo = Make(QStringLiteral("outcheck/a.jpg"), m_photo);
        const ToolRun missing = Run({QStringLiteral("--rotate"), QStringLiteral("90"), QStringLiteral("-o"),
                                     m_dir.filePath(QStringLiteral("nowhere")), photo});
        QCOMPARE(missing.exitCode, 2);
        QVERIFY(missing.err.contains("does not exist"));
        const ToolRun file = Run({QStringLiteral("--rotate"), QStringLiteral("90"), QStringLiteral("-o"), photo, photo});
        QCOMPARE(file.exitCode, 2);
    }

    void walksFoldersAndNamesResultsInInputOrder()
    {
        const QString in = m_dir.filePath(QStringLiteral("walk"));
        Make(QStringLiteral("walk/a.jpg"), m_photo);
        Make(QStringLiteral("walk/b.png"), m_photo);
        Make(QStringLiteral("walk/sub/c.JPEG"), m_photo);
        Make(QStringLiteral("walk/sub/a.jpg"), m_photo);
        Make(QStringLiteral("walk/_PAGE_/skipped.jpg"), m_photo);
        Make(QStringLiteral("walk/_page_/kept.jpg"), m_photo);
        const QString second = Make(QStringLiteral("other/a.jpg"), m_photo);

        QStringList firstNames;
        for (const QString& jobs : {QStringLiteral("1"), QStringLiteral("4")}) {
            QTemporaryDir out;
            const ToolRun run = Run({QStringLiteral("--flip"), QStringLiteral("h"), QStringLiteral("--rotate"), QStringLiteral("90"),
                                     QStringLiteral("--jobs"), jobs, QStringLiteral("-o"), out.path(), in, second, in});
            QCOMPARE(run.exitCode, 0);
            QVERIFY2(run.err.contains("5 of 5 pictures written"), run.err.constData());
            const QStringList names = FilesBelow(out.path());
            QCOMPARE(names, QStringList({"a.jpg", "a_0.jpg", "a_1.jpg", "c.JPEG", "kept.jpg"}));
            // The file given last of the three a.jpg sources gets the last name, whatever the threads.
            QCOMPARE(FrameSize(ReadFile(out.filePath(QStringLiteral("a_1.jpg")))), std::make_optional(std::make_pair(21, 37)));
            if (firstNames.isEmpty()) {
                firstNames = names;
                QVERIFY(JpegtranTransform(second, m_dir.filePath(QStringLiteral("peer-1.jpg")), {QStringLiteral("-flip"), QStringLiteral("horizontal")}));
                QVERIFY(JpegtranTransform(m_dir.filePath(QStringLiteral("peer-1.jpg")), m_dir.filePath(QStringLiteral("peer-2.jpg")),
                                          {QStringLiteral("-rotate"), QStringLiteral("90")}));
                QVERIFY(ReadFile(out.filePath(QStringLiteral("a_1.jpg"))) == ReadFile(m_dir.filePath(QStringLiteral("peer-2.jpg"))));
            }
        }
    }

    void savingBesideTheSourcesNeverOverwrites()
    {
        const QString source = Make(QStringLiteral("beside/IMG.JPG"), m_photo);
        const QString folder = QFileInfo(source).path();
        for (int run = 0; run < 2; ++run)
            QCOMPARE(Run({QStringLiteral("--rotate"), QStringLiteral("180"), QStringLiteral("-o"), folder, source}).exitCode, 0);
        QCOMPARE(FilesBelow(folder), QStringList({"IMG.JPG", "IMG_0.JPG", "IMG_1.JPG"}));
        QVERIFY(ReadFile(source) == m_photo);
    }

    void reportsEachFailureAndEndsWithOne()
    {
        QTemporaryDir out;
        const QString good = Make(QStringLiteral("mixed/good.jpg"), m_photo);
        const QString broken = Make(QStringLiteral("mixed/broken.jpg"), QByteArrayLiteral("not a picture"));
        const QString text = Make(QStringLiteral("mixed/notes.txt"), QByteArrayLiteral("text"));
        const QString missing = m_dir.filePath(QStringLiteral("mixed/missing.jpg"));
        const ToolRun run = Run({QStringLiteral("--flip"), QStringLiteral("v"), QStringLiteral("-o"), out.path(), good, broken, text, missing});
        QCOMPARE(run.exitCode, 1);
        const QString err = QString::fromUtf8(run.err);
        QVERIFY2(err.contains(broken + u':'), qPrintable(err));
        QVERIFY2(err.contains(text + QStringLiteral(": not a .jpg or .jpeg name")), qPrintable(err));
        QVERIFY2(err.contains(missing + QStringLiteral(": no such file or folder")), qPrintable(err));
        QVERIFY2(err.contains(QStringLiteral("1 of 2 pictures written")), qPrintable(err));
        QCOMPARE(FilesBelow(out.path()), QStringList({"good.jpg"}));
    }

    void quietWithoutATerminal()
    {
        QTemporaryDir out;
        const QString photo = Make(QStringLiteral("quiet/q.jpg"), m_photo);
        const ToolRun run = Run({QStringLiteral("--rotate"), QStringLiteral("90"), QStringLiteral("-o"), out.path(), photo});
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(run.out, QByteArray());
        QCOMPARE(run.err.count('\n'), 1); // the summary only: no progress bar into a pipe
    }
};

QTEST_GUILESS_MAIN(TestTurnwise)
#include "tst_turnwise.moc"
