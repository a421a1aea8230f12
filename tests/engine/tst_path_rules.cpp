// Path operations and the naming rules that keep results under free names.

#include "engine/path_rules.h"
#include "platform/folder_browser.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using engine::PathKind;

class TestPathRules : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir;

    QString At(const QString& name) const { return m_dir.filePath(name); }
    void Touch(const QString& name) const
    {
        QFile file(At(name));
        QVERIFY2(file.open(QIODevice::WriteOnly), qPrintable(At(name)));
    }

private Q_SLOTS:
    void initTestCase() { QVERIFY(m_dir.isValid()); }

    void pathParts_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("fileName");
        QTest::addColumn<QString>("extension");
        QTest::addColumn<QString>("withoutExtension");
        QTest::newRow("upper-case extension") << "/Photos/IMG_0001.JPG" << "IMG_0001.JPG" << ".JPG" << "/Photos/IMG_0001";
        QTest::newRow("last dot counts") << "/a/archive.tar.jpeg" << "archive.tar.jpeg" << ".jpeg" << "/a/archive.tar";
        QTest::newRow("no extension") << "/scans/scan" << "scan" << "" << "/scans/scan";
        QTest::newRow("space after the dot") << "/My Photos.2024/my photo.final version" << "my photo.final version" << ""
                                             << "/My Photos.2024/my photo.final version";
        QTest::newRow("separator after the dot") << "/a.b/file" << "file" << "" << "/a.b/file";
        QTest::newRow("dot after a space") << "/x/a b.c" << "a b.c" << ".c" << "/x/a b";
        QTest::newRow("trailing dot") << "/x/name." << "name." << "." << "/x/name";
        QTest::newRow("dot file") << "/x/.hidden" << ".hidden" << ".hidden" << "/x/";
        QTest::newRow("bare name") << "photo.jpg" << "photo.jpg" << ".jpg" << "photo";
        QTest::newRow("folder path") << "/x/y/" << "" << "" << "/x/y/";
    }
    void pathParts()
    {
        QFETCH(QString, path);
        QFETCH(QString, fileName);
        QFETCH(QString, extension);
        QFETCH(QString, withoutExtension);
        QCOMPARE(engine::GetFileNamePart(path), fileName);
        QCOMPARE(engine::GetExtensionPart(path), extension);
        QCOMPARE(engine::RemoveExtensionPart(path), withoutExtension);
    }

    void jpegExtension_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<bool>("isJpeg");
        QTest::newRow(".jpg") << "/p/a.jpg" << true;
        QTest::newRow(".JPEG") << "/p/a.JPEG" << true;
        QTest::newRow(".JpG") << "/p/a.JpG" << true;
        QTest::newRow(".png") << "/p/a.png" << false;
        QTest::newRow(".jpe") << "/p/a.jpe" << false;
        QTest::newRow("jpg without dot") << "/p/jpg" << false;
        QTest::newRow("space after .jpg") << "/p/a.jpg copy" << false;
        QTest::newRow("folder named .jpg") << "/p.jpg/a" << false;
    }
    void jpegExtension()
    {
        QFETCH(QString, path);
        QFETCH(bool, isJpeg);
        QCOMPARE(engine::HasJpegExtension(path), isJpeg);
    }

    void outputPath_data()
    {
        QTest::addColumn<QString>("source");
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QString>("output");
        QTest::newRow("plain") << "/Photos/IMG_0001.JPG" << "/Out" << "/Out/IMG_0001.JPG";
        QTest::newRow("case kept") << "/p/Mixed.JpEg" << "/o" << "/o/Mixed.JpEg";
        QTest::newRow("root folder doubles the separator") << "/p/a.jpg" << "/" << "//a.jpg";
        QTest::newRow("trailing separator doubled") << "/p/a.jpg" << "/o/" << "/o//a.jpg";
        QTest::newRow("no extension") << "/p/scan" << "/o" << "/o/scan";
    }
    void outputPath()
    {
        QFETCH(QString, source);
        QFETCH(QString, folder);
        QFETCH(QString, output);
        QCOMPARE(engine::MakeOutputPath(source, folder), output);
    }

    void pathType()
    {
        QCOMPARE(engine::GetPathType(QString()), PathKind::Nothing);
        QCOMPARE(engine::GetPathType(At(QStringLiteral("missing"))), PathKind::Nothing);
        Touch(QStringLiteral("file.jpg"));
        QCOMPARE(engine::GetPathType(At(QStringLiteral("file.jpg"))), PathKind::File);
        QVERIFY(QDir(m_dir.path()).mkdir(QStringLiteral("sub")));
        QCOMPARE(engine::GetPathType(At(QStringLiteral("sub"))), PathKind::Folder);
        QCOMPARE(engine::GetPathType(At(QStringLiteral("sub/"))), PathKind::Folder);
        QCOMPARE(engine::GetPathType(QStringLiteral("/")), PathKind::Folder);
        // A link that leads nowhere still occupies its name.
        QVERIFY(QFile::link(At(QStringLiteral("nowhere")), At(QStringLiteral("dangling.jpg"))));
        QCOMPARE(engine::GetPathType(At(QStringLiteral("dangling.jpg"))), PathKind::File);
    }

    void uniquePathOnDisk()
    {
        QTemporaryDir out;
        const QString wanted = out.filePath(QStringLiteral("IMG_0001.JPG"));
        QString path = wanted;
        engine::MakeUniquePath(path);
        QCOMPARE(path, wanted);

        QVERIFY(QFile(wanted).open(QIODevice::WriteOnly));
        path = wanted;
        engine::MakeUniquePath(path);
        QCOMPARE(path, out.filePath(QStringLiteral("IMG_0001_0.JPG")));

        // A folder of the next name counts as taken.
        QVERIFY(QDir(out.path()).mkdir(QStringLiteral("IMG_0001_0.JPG")));
        path = wanted;
        engine::MakeUniquePath(path);
        QCOMPARE(path, out.filePath(QStringLiteral("IMG_0001_1.JPG")));
    }

    void uniquePathNames_data()
    {
        QTest::addColumn<QString>("wanted");
        QTest::addColumn<int>("taken");
        QTest::addColumn<QString>("expected");
        QTest::newRow("free") << "/o/a.jpg" << 0 << "/o/a.jpg";
        QTest::newRow("taken once") << "/o/a.jpg" << 1 << "/o/a_0.jpg";
        QTest::newRow("decimal counter") << "/o/a.jpg" << 11 << "/o/a_10.jpg";
        QTest::newRow("no extension") << "/o/scan" << 1 << "/o/scan_0";
        QTest::newRow("space after the dot")
            << "/My Photos.2024/my photo.final version" << 1 << "/My Photos.2024/my photo.final version_0";
    }
    void uniquePathNames()
    {
        QFETCH(QString, wanted);
        QFETCH(int, taken);
        // The first `taken` candidates (the name itself, then _0, _1, ...) are occupied.
        QStringList asked;
        const auto isTaken = [&](const QString& candidate) {
            asked.append(candidate);
            return asked.size() <= taken;
        };
        QString path = wanted;
        engine::MakeUniquePath(path, isTaken);
        QTEST(path, "expected");
    }

    void tempPath_data()
    {
        QTest::addColumn<QString>("folder");
        QTest::addColumn<uint>("tick");
        QTest::addColumn<QString>("extension");
        QTest::addColumn<int>("taken");
        QTest::addColumn<QString>("expected");
        QTest::newRow("first free") << "/tmp/t/" << 0x1F4A0u << ".tmp2" << 0 << "/tmp/t/0001F4A0_0.tmp2";
        QTest::newRow("sixteenth attempt") << "/tmp/t/" << 0x1F4A0u << ".tmp2" << 15 << "/tmp/t/0001F4A0_F.tmp2";
        QTest::newRow("hex counter grows") << "/tmp/t/" << 0x1F4A0u << ".tmp2" << 26 << "/tmp/t/0001F4A0_1A.tmp2";
        QTest::newRow("default extension") << "/tmp/t/" << 0xA1B2C3u << "" << 0 << "/tmp/t/00A1B2C3_0.tmp";
        QTest::newRow("full tick") << "/t/" << 0xFFFFFFFFu << ".tmp" << 0 << "/t/FFFFFFFF_0.tmp";
    }
    void tempPath()
    {
        QFETCH(QString, folder);
        QFETCH(uint, tick);
        QFETCH(QString, extension);
        QFETCH(int, taken);
        int asked = 0;
        const QString path = engine::MakeTempPathAt(folder, tick, extension, [&](const QString&) { return asked++ < taken; });
        QTEST(path, "expected");
    }

    void tempPathUsesTheTemporaryFolder()
    {
        QTemporaryDir temp;
        const QByteArray previous = qgetenv("TMPDIR");
        qputenv("TMPDIR", temp.path().toLocal8Bit());
        const QString path = engine::MakeTempPath(QStringLiteral(".tmp2"));
        qputenv("TMPDIR", previous);
        QVERIFY2(path.startsWith(temp.path() + u'/'), qPrintable(path));
        QVERIFY2(path.endsWith(QStringLiteral("_0.tmp2")), qPrintable(path));
        QCOMPARE(engine::GetPathType(path), PathKind::Nothing);
        QCOMPARE(QDir(temp.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries), QStringList());
    }

    void browseForFolder_data()
    {
        QTest::addColumn<bool>("cancel");
        QTest::addColumn<QString>("answer");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("cancelled") << true << QString() << false;
        QTest::newRow("existing folder") << false << QDir::tempPath() << true;
        QTest::newRow("not a folder") << false << QStringLiteral("/no/such/folder") << false;
    }
    void browseForFolder()
    {
        QFETCH(bool, cancel);
        QFETCH(QString, answer);
        QFETCH(bool, accepted);
        QString prompt;
        const platform::ScopedFolderBrowser browser([&](QWidget*, const QString& text) -> std::optional<QString> {
            prompt = text;
            if (cancel)
                return std::nullopt;
            return answer;
        });
        QString folder = QStringLiteral("unchanged");
        QCOMPARE(engine::BrowseForFolder(QStringLiteral("Pick one"), folder), accepted);
        QCOMPARE(prompt, QStringLiteral("Pick one"));
        QCOMPARE(folder, accepted ? answer : QStringLiteral("unchanged"));
    }
};

QTEST_GUILESS_MAIN(TestPathRules)
#include "tst_path_rules.moc"
