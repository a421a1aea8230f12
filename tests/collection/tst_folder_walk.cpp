// Gathering files below dropped paths: depth first, _PAGE_ skipped, loops ended, and a
// folder that cannot be listed stopping the walk.

#include "collection/folder_walk.h"
#include "tests/support/access_rights.h"
#include "tests/support/jpeg_fixtures.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

class TestFolderWalk : public QObject {
    Q_OBJECT

private:
    static void MakeTree(const QString& root, const QStringList& files)
    {
        for (const QString& file : files) {
            const QString path = root + u'/' + file;
            QVERIFY(QDir().mkpath(QFileInfo(path).path()));
            if (!file.endsWith(u'/'))
                QVERIFY(testsupport::WriteFile(path, "x"));
        }
    }
    static QStringList Relative(const QString& root, const QStringList& paths)
    {
        QStringList relative;
        for (const QString& path : paths)
            relative.append(path.mid(root.size() + 1));
        return relative;
    }

private Q_SLOTS:
    void gathersEveryFileBelowSkippingPageFolders()
    {
        QTemporaryDir dir;
        MakeTree(dir.path(), {QStringLiteral("a.jpg"), QStringLiteral("b.png"), QStringLiteral(".hidden.jpg"),
                              QStringLiteral("sub/c.JPEG"), QStringLiteral("sub/deeper/d.jpg"),
                              QStringLiteral("_PAGE_/skipped.jpg"), QStringLiteral("sub/_PAGE_/skipped.jpg"),
                              QStringLiteral("_page_/entered.jpg"), QStringLiteral("sub/_PAGE_x/entered.jpg"),
                              QStringLiteral("empty/"), QStringLiteral("only-pages/_PAGE_/skipped.jpg"),
                              QStringLiteral("files/_PAGE_")});
        QStringList list;
        int callbacks = 0;
        QVERIFY(collection::CollectFiles(dir.path(), list, [&] { ++callbacks; }));
        QStringList relative = Relative(dir.path(), list);

        // Depth first: a subfolder's files stand together where the subfolder stands.
        const qsizetype c = relative.indexOf(QStringLiteral("sub/c.JPEG"));
        const qsizetype d = relative.indexOf(QStringLiteral("sub/deeper/d.jpg"));
        const qsizetype entered = relative.indexOf(QStringLiteral("sub/_PAGE_x/entered.jpg"));
        QVERIFY(c >= 0 && d >= 0 && entered >= 0);
        QCOMPARE(std::max({c, d, entered}) - std::min({c, d, entered}), 2);

        relative.sort();
        const QStringList expected{QStringLiteral(".hidden.jpg"), QStringLiteral("_page_/entered.jpg"), QStringLiteral("a.jpg"),
                                   QStringLiteral("b.png"), QStringLiteral("files/_PAGE_"), QStringLiteral("sub/_PAGE_x/entered.jpg"),
                                   QStringLiteral("sub/c.JPEG"), QStringLiteral("sub/deeper/d.jpg")};
        QCOMPARE(relative, expected);
        QVERIFY(callbacks >= list.size());
    }

    void droppedPathsAreTakenAsGiven()
    {
        QTemporaryDir dir;
        MakeTree(dir.path(), {QStringLiteral("_PAGE_/inside.jpg"), QStringLiteral("single.jpg"), QStringLiteral("empty/")});
        QStringList list;
        // A dropped folder named _PAGE_ is walked; a dropped file is appended unchanged.
        QVERIFY(collection::CollectFiles(dir.filePath(QStringLiteral("_PAGE_")), list));
        QVERIFY(collection::CollectFiles(dir.filePath(QStringLiteral("single.jpg")), list));
        QVERIFY(collection::CollectFiles(dir.filePath(QStringLiteral("empty")), list));
        QVERIFY(!collection::CollectFiles(dir.filePath(QStringLiteral("missing")), list));
        QCOMPARE(list, QStringList({dir.filePath(QStringLiteral("_PAGE_/inside.jpg")), dir.filePath(QStringLiteral("single.jpg"))}));
    }

    void linksBackIntoTheTreeEndTheWalk()
    {
        QTemporaryDir dir;
        MakeTree(dir.path(), {QStringLiteral("top/a.jpg"), QStringLiteral("top/sub/b.jpg")});
        QVERIFY(QFile::link(dir.filePath(QStringLiteral("top")), dir.filePath(QStringLiteral("top/sub/up"))));
        QVERIFY(QFile::link(dir.filePath(QStringLiteral("top/sub")), dir.filePath(QStringLiteral("top/sub/self"))));
        QStringList list;
        QVERIFY(collection::CollectFiles(dir.filePath(QStringLiteral("top")), list));
        QStringList relative = Relative(dir.path(), list);
        relative.sort();
        QCOMPARE(relative, QStringList({QStringLiteral("top/a.jpg"), QStringLiteral("top/sub/b.jpg")}));
    }

    void unlistableFolderStopsItsEnclosingFolders()
    {
        QTemporaryDir dir;
        MakeTree(dir.path(), {QStringLiteral("drop/locked/x.jpg")});
        QVERIFY(QFile::setPermissions(dir.filePath(QStringLiteral("drop/locked")), QFileDevice::Permissions()));
        const testsupport::ScopedPermissionChecks checks;
        if (!checks.active())
            QSKIP("permissions cannot be made to apply to this process");
        for (int i = 0; i < 40; ++i)
            QVERIFY(testsupport::WriteFile(dir.filePath(QStringLiteral("drop/f%1.jpg").arg(i)), "x"));

        // Whatever was listed before the locked folder is kept; nothing after it is gathered.
        QStringList listing;
        QVERIFY(QDir(dir.filePath(QStringLiteral("drop"))).exists());
        QStringList list;
        QVERIFY(!collection::CollectFiles(dir.filePath(QStringLiteral("drop")), list));
        QVERIFY(!list.contains(dir.filePath(QStringLiteral("drop/locked/x.jpg"))));
        QVERIFY2(list.size() < 40, "files listed after the locked folder were gathered");
        QVERIFY(!collection::CollectFiles(dir.filePath(QStringLiteral("drop/locked")), list));
    }
};

QTEST_GUILESS_MAIN(TestFolderWalk)
#include "tst_folder_walk.moc"
