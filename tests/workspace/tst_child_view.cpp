// The workspace view driven as a user drives it, on the offscreen platform: drops of real
// files, clicks in the list, stepping, the collection file, the preview and saving. The
// dialogs are answered by the platform's test seams.

#include "decor/help_wnd.h"
#include "engine/progress_dialog.h"
#include "platform/folder_browser.h"
#include "platform/message_box.h"
#include "platform/web_page.h"
#include "shell/child_view.h"
#include "shell/workspace_layout.h"
#include "tests/support/jpeg_fixtures.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QMimeData>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

using namespace testsupport;
using shell::CChildView;

namespace {

// Records every message box and answers questions as told.
struct MessageRecorder {
    QList<int> ids;
    platform::MessageAnswer answer = platform::MessageAnswer::Yes;
    platform::ScopedMessageBox seam{[this](const platform::MessageRequest& request) {
        ids.append(request.id);
        return request.kind == platform::MessageKind::Question ? answer : platform::MessageAnswer::Ok;
    }};
};

QStringList FilesIn(const QString& folder)
{
    QStringList files = QDir(folder).entryList(QDir::Files);
    files.sort();
    return files;
}

} // namespace

class TestChildView : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QTemporaryDir m_temp; // the temporary folder the program sees
    QByteArray m_photo;   // 64 x 48
    int m_files = 0;

    QString Photo(const QString& name, const QByteArray& bytes = {})
    {
        const QString path = QDir::isAbsolutePath(name) ? name : m_dir.filePath(name);
        QDir().mkpath(QFileInfo(path).path());
        return WriteFile(path, bytes.isNull() ? m_photo : bytes) ? path : QString();
    }
    QString Folder() { return m_dir.filePath(QStringLiteral("case%1").arg(m_files++)); }
    std::unique_ptr<CChildView> MakeView(const QString& dataFile = {})
    {
        shell::ViewOptions options;
        options.language = platform::UiLanguage::English;
        options.dataFile = dataFile;
        options.title = QStringLiteral("Brantmoor Turnwise");
        options.version = {0x00010001, 0x00010004};
        auto view = std::make_unique<CChildView>(nullptr, options);
        view->resize(984, 728);
        view->show();
        QCoreApplication::sendPostedEvents(view.get()); // the collection load posted at creation
        return view;
    }
    static QStringList Paths(const CChildView& view)
    {
        QStringList paths;
        for (int i = 0; i < view.ImageCount(); ++i)
            paths.append(view.Image(i).m_strPath);
        return paths;
    }
    static void ClickRow(CChildView& view, int row)
    {
        collection::CImgList* list = view.List();
        const QRect rect = list->visualRect(list->model()->index(row, 0));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, rect.center());
        QCoreApplication::sendPostedEvents(&view);
    }

private Q_SLOTS:
    void initTestCase()
    {
        if (FindTool(QStringLiteral("cjpeg")).isEmpty())
            QSKIP("cjpeg is not installed (scripts/bootstrap installs it)");
        QVERIFY(m_dir.isValid() && m_temp.isValid());
        qputenv("TMPDIR", m_temp.path().toLocal8Bit());
        m_photo = EncodeWithCjpeg(64, 48, {});
        QVERIFY(!m_photo.isEmpty());
    }

    void dropsAddPicturesOnce()
    {
        const QString root = Folder();
        const QString a = Photo(root + QStringLiteral("/a.jpg"));
        Photo(root + QStringLiteral("/b.png"));
        Photo(root + QStringLiteral("/sub/c.JPEG"));
        Photo(root + QStringLiteral("/_PAGE_/skipped.jpg"));
        Photo(root + QStringLiteral("/broken.jpg"), QByteArrayLiteral("not a picture"));
        const QString upper = Photo(root + QStringLiteral("/A.jpg"));
        auto view = MakeView();
        QVERIFY(view->HelpPanel()->isVisible());

        // A drop as the file manager delivers it: URLs, handled once the drop is answered.
        QMimeData mime;
        mime.setUrls({QUrl::fromLocalFile(root)});
        QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(view.get(), &enter);
        QVERIFY(enter.isAccepted());
        QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(view.get(), &drop);
        QVERIFY(drop.isAccepted());
        QCOMPARE(view->ImageCount(), 0);
        QCoreApplication::sendPostedEvents(view.get());

        QStringList added = Paths(*view);
        added.sort();
        QCOMPARE(added, QStringList({upper, a, root + QStringLiteral("/sub/c.JPEG")}));
        QCOMPARE(view->List()->count(), 3);
        QCOMPARE(view->Current(), 0);
        QVERIFY(!view->HelpPanel()->isVisible());
        for (int row = 0; row < view->ImageCount(); ++row)
            QCOMPARE(view->List()->RowEntry(row), &view->Image(row));

        // The same file again adds nothing.
        view->OnDropFiles({a});
        QCOMPARE(view->ImageCount(), 3);
        QCOMPARE(engine::CProgressDlg::OpenCount(), 0);
    }

    void removalKeepsOrMovesTheCurrentPicture()
    {
        const QString root = Folder();
        auto view = MakeView();
        for (int i = 0; i < 4; ++i)
            QVERIFY(view->AddImage(Photo(root + QStringLiteral("/p%1.jpg").arg(i))));
        view->NextImage();
        view->NextImage();
        QCOMPARE(view->Current(), 2);
        view->RemoveImage(0); // in front of the current one: the index stays
        QCOMPARE(view->Current(), 2);
        QCOMPARE(view->Image(2).m_strPath, root + QStringLiteral("/p3.jpg"));
        view->RemoveImage(2); // the current one, and the last: the new last becomes current
        QCOMPARE(view->Current(), 1);
        view->RemoveImage(7); // past the end: nothing
        QCOMPARE(view->ImageCount(), 2);
        view->RemoveImages(true);
        QCOMPARE(view->Current(), -1);
        QCOMPARE(view->List()->count(), 0);
        QVERIFY(view->HelpPanel()->isVisible());
    }

    void removingTheSelectionGoesFromTheLastRow()
    {
        const QString root = Folder();
        auto view = MakeView();
        for (int i = 0; i < 5; ++i)
            QVERIFY(view->AddImage(Photo(root + QStringLiteral("/r%1.jpg").arg(i))));
        for (const int row : {1, 3, 4})
            view->List()->SetSel(row, true);
        view->RemoveImages(false);
        QCOMPARE(Paths(*view), QStringList({root + QStringLiteral("/r0.jpg"), root + QStringLiteral("/r2.jpg")}));
    }

    void clicksToggleRowsAndMoveTheCurrentPicture()
    {
        const QString root = Folder();
        auto view = MakeView();
        for (int i = 0; i < 10; ++i)
            QVERIFY(view->AddImage(Photo(root + QStringLiteral("/c%1.jpg").arg(i))));
        ClickRow(*view, 2);
        QCOMPARE(view->Current(), 2);
        QVERIFY(view->List()->GetSel(2));
        ClickRow(*view, 9);
        ClickRow(*view, 5);
        QCOMPARE(view->Current(), 5);
        QCOMPARE(view->List()->GetSelItems(), std::vector<int>({2, 5, 9}));
        view->NextImage();
        QCOMPARE(view->Current(), 9);
        view->NextImage();
        QCOMPARE(view->Current(), 2);
        view->PrevImage();
        QCOMPARE(view->Current(), 9);
        // Deselecting row 5 while 9 is current: the step back from the first selected row.
        ClickRow(*view, 5);
        QVERIFY(!view->List()->GetSel(5));
        QCOMPARE(view->Current(), 2);
    }

    void collectionFileRoundTrip()
    {
        const QString root = Folder();
        const QString data = m_dir.filePath(QStringLiteral("data-%1.dat").arg(m_files));
        const QString p0 = Photo(root + QStringLiteral("/k0.jpg"));
        const QString p1 = Photo(root + QStringLiteral("/k1.jpg"));
        const QString p2 = Photo(root + QStringLiteral("/k2.jpg"));
        {
            auto view = MakeView(data);
            view->OnDropFiles({p0, p1, p2});
        }
        QCOMPARE(ReadFile(data).size(), 1536);

        // A vanished file is dropped at the next start and no longer written after it.
        QVERIFY(QFile::remove(p1));
        {
            auto view = MakeView(data);
            QCOMPARE(Paths(*view), QStringList({p0, p2}));
            QCOMPARE(view->List()->GetSelItems(), std::vector<int>({0}));
            QCOMPARE(view->Current(), 0);
        }
        QCOMPARE(ReadFile(data).size(), 1024);
    }

    void collectionFileShapes_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<int>("entries");
        const QByteArray photo = QFile::encodeName(m_dir.filePath(QStringLiteral("shape.jpg")));
        const QByteArray record = photo.leftJustified(512, '\0');
        QTest::newRow("empty file") << QByteArray() << 0;
        QTest::newRow("1000 bytes: one record and a tail") << (record + QByteArray(488, 'z')) << 1;
        QTest::newRow("the same path twice") << (record + record) << 1;
        QTest::newRow("record without a zero, then a good one") << (QByteArray(512, 'x') + record) << 1;
    }
    void collectionFileShapes()
    {
        QFETCH(QByteArray, content);
        Photo(QStringLiteral("shape.jpg"));
        const QString data = m_dir.filePath(QStringLiteral("shape-%1.dat").arg(m_files++));
        QVERIFY(WriteFile(data, content));
        auto view = MakeView(data);
        QTEST(view->ImageCount(), "entries");
        QCOMPARE(view->HelpPanel()->isVisible(), view->ImageCount() == 0);
    }

    void previewIsTheRealTransformAndLeavesNoFiles()
    {
        const QString root = Folder();
        const QString photo = Photo(root + QStringLiteral("/wide.jpg"), EncodeWithCjpeg(640, 480, {}));
        auto view = MakeView();
        QVERIFY(view->AddImage(photo));
        view->SetRotationSettings(0, 1);
        QVERIFY(view->MakeRotationPreview(QRect(0, 0, 400, 300)));
        QCOMPARE(view->Preview()->GetSize(), QSize(225, 300));
        QCOMPARE(QDir(m_temp.path()).entryList(QDir::Files), QStringList());

        // Flip and turn: what a save writes, decoded and fitted.
        view->SetRotationSettings(1, 1);
        QVERIFY(!view->Preview());
        QVERIFY(view->MakeRotationPreview(QRect(0, 0, 480, 640)));
        QCOMPARE(QDir(m_temp.path()).entryList(QDir::Files), QStringList());
        const QString saved = m_dir.filePath(QStringLiteral("saved-preview.jpg"));
        QVERIFY(engine::SaveWithSettings(photo, saved, {1, 1}));
        QImage expected(saved);
        QCOMPARE(view->Preview()->GetSize(), expected.size());
        const QImage shown = view->Preview()->Image().convertToFormat(QImage::Format_RGB888);
        expected = expected.convertToFormat(QImage::Format_RGB888);
        QVERIFY2(shown == expected, "the preview differs from the decoded result of a save");

        // A vanished file: nothing, no temporary file, and the next paint tries again.
        QVERIFY(QFile::remove(photo));
        QVERIFY(!view->MakeRotationPreview(QRect(0, 0, 400, 300)));
        QCOMPARE(QDir(m_temp.path()).entryList(QDir::Files), QStringList());
    }

    void commandsCheckInOrder_data()
    {
        QTest::addColumn<int>("command");
        QTest::addColumn<bool>("settings");
        QTest::addColumn<int>("pictures");
        QTest::addColumn<bool>("selection");
        QTest::addColumn<QList<int>>("messages");
        QTest::newRow("save selected, no settings, empty") << int(shell::kIdcSaveSelected) << false << 0 << false << QList<int>{134};
        QTest::newRow("save all, no settings") << int(shell::kIdcSaveAll) << false << 2 << false << QList<int>{134};
        QTest::newRow("save all, empty") << int(shell::kIdcSaveAll) << true << 0 << false << QList<int>{143};
        QTest::newRow("save selected, nothing selected") << int(shell::kIdcSaveSelected) << true << 2 << false << QList<int>{144};
        QTest::newRow("delete selected, empty") << int(shell::kIdcDeleteSelected) << false << 0 << false << QList<int>{143};
        QTest::newRow("delete selected, nothing selected") << int(shell::kIdcDeleteSelected) << false << 2 << false << QList<int>{144};
        QTest::newRow("delete all asks") << int(shell::kIdcDeleteAll) << false << 2 << false << QList<int>{145};
        QTest::newRow("next, empty") << int(shell::kIdcNext) << false << 0 << false << QList<int>{143};
    }
    void commandsCheckInOrder()
    {
        QFETCH(int, command);
        QFETCH(bool, settings);
        QFETCH(int, pictures);
        QFETCH(bool, selection);
        const QString root = Folder();
        auto view = MakeView();
        for (int i = 0; i < pictures; ++i)
            QVERIFY(view->AddImage(Photo(root + QStringLiteral("/m%1.jpg").arg(i))));
        if (selection)
            view->List()->SetSel(0, true);
        if (settings)
            view->SetRotationSettings(0, 1);
        MessageRecorder recorder;
        recorder.answer = platform::MessageAnswer::No; // No to a question changes nothing
        bool browsed = false;
        const platform::ScopedFolderBrowser browser([&](QWidget*, const QString&) -> std::optional<QString> {
            browsed = true;
            return std::nullopt;
        });
        view->OnCommand(command);
        QTEST(recorder.ids, "messages");
        QVERIFY(!browsed);
        QCOMPARE(view->ImageCount(), pictures);
    }

    void saveAllSkipsVanishedFilesAndNeverOverwrites()
    {
        const QString root = Folder();
        const QString out = Folder();
        QVERIFY(QDir().mkpath(out));
        auto view = MakeView();
        for (const char* name : {"one.jpg", "two.jpg", "three.JPG"})
            QVERIFY(view->AddImage(Photo(root + u'/' + QString::fromLatin1(name))));
        QVERIFY(QFile::remove(root + QStringLiteral("/two.jpg")));
        view->SetRotationSettings(2, 4);
        MessageRecorder recorder;
        QString prompt;
        const platform::ScopedFolderBrowser browser([&](QWidget*, const QString& text) -> std::optional<QString> {
            prompt = text;
            return out;
        });
        view->OnCommand(shell::kIdcSaveAll);
        QCOMPARE(prompt, QStringLiteral("Select folder in which you want to save rotated images."));
        QCOMPARE(recorder.ids, QList<int>{140});
        QCOMPARE(FilesIn(out), QStringList({"one.jpg", "three.JPG"}));
        view->OnCommand(shell::kIdcSaveAll);
        QCOMPARE(FilesIn(out), QStringList({"one.jpg", "one_0.jpg", "three.JPG", "three_0.JPG"}));

        // Into the sources' own folder: "_0" names, sources untouched.
        const platform::ScopedFolderBrowser besides([&](QWidget*, const QString&) -> std::optional<QString> { return root; });
        view->List()->SetSel(0, true);
        view->OnCommand(shell::kIdcSaveSelected);
        QCOMPARE(FilesIn(root), QStringList({"one.jpg", "one_0.jpg", "three.JPG"}));
        QVERIFY(ReadFile(root + QStringLiteral("/one.jpg")) == m_photo);
        QCOMPARE(QDir(m_temp.path()).entryList(QDir::Files), QStringList());
    }

    void radioGroupsAreIndependent()
    {
        const QString root = Folder();
        auto view = MakeView();
        QVERIFY(view->AddImage(Photo(root + QStringLiteral("/g.jpg"))));
        QVERIFY(view->Control(shell::kIdcNoFlipping)->isChecked());
        QVERIFY(view->Control(shell::kIdcNoRotation)->isChecked());
        QTest::mouseClick(view->Control(shell::kIdcRotate270), Qt::LeftButton);
        QCOMPARE(view->RotationSettings().m_nRotation, 4);
        QVERIFY(view->MakeRotationPreview(QRect(0, 0, 100, 100)));
        QTest::mouseClick(view->Control(shell::kIdcFlipHorizontal), Qt::LeftButton);
        QCOMPARE(view->RotationSettings().m_nFlip, 1);
        QCOMPARE(view->RotationSettings().m_nRotation, 4);
        QVERIFY(view->Control(shell::kIdcRotate270)->isChecked());
        QCOMPARE(view->Current(), 0); // the current picture stays, its preview is made again
        QVERIFY(!view->Preview());
    }

    void buttonsSitWhereTheLayoutSaysAndWork()
    {
        const QString root = Folder();
        auto view = MakeView();
        view->resize(800, 600);
        QCOMPARE(view->Control(shell::kIdcPrevious)->geometry(), QRect(750, 542, 20, 18));
        QCOMPARE(view->Control(shell::kIdcNext)->geometry(), QRect(770, 542, 20, 18));
        QCOMPARE(view->PreviewControl()->geometry(), QRect(410, 219, 380, 341));
        for (int i = 0; i < 3; ++i)
            QVERIFY(view->AddImage(Photo(root + QStringLiteral("/n%1.jpg").arg(i))));
        // The arrows lie in the preview's cut-out corner and take the clicks there.
        const QPoint nextCentre = view->Control(shell::kIdcNext)->geometry().center();
        QCOMPARE(view->childAt(nextCentre), view->Control(shell::kIdcNext));
        QTest::mouseClick(view->Control(shell::kIdcNext), Qt::LeftButton);
        QCOMPARE(view->Current(), 1);
        QTest::mouseClick(view->Control(shell::kIdcPrevious), Qt::LeftButton);
        QTest::mouseClick(view->Control(shell::kIdcPrevious), Qt::LeftButton);
        QCOMPARE(view->Current(), 2);
        for (const int id : {200, 201, 205, 206, 213, 214, 216, 217, 218, 219, 222, 228})
            QCOMPARE(view->Control(id)->cursor().shape(), Qt::PointingHandCursor);
        // The web pages go to the browser.
        QList<QUrl> opened;
        const platform::ScopedWebPageOpener opener([&](const QUrl& address) {
            opened.append(address);
            return true;
        });
        QTest::mouseClick(view->Control(shell::kIdcHomePage), Qt::LeftButton);
        QTest::keyClick(view.get(), Qt::Key_F1);
        QCOMPARE(opened, QList<QUrl>({QUrl(QStringLiteral("http://www.example.com/index_e.html")),
                                      QUrl(QStringLiteral("http://www.example.com/pivora/pivora_e.html"))}));
    }

    void draggingTheEdgesResizesAndTheBackgroundMoves()
    {
        auto view = MakeView();
        view->setGeometry(100, 100, 984, 728);
        const QRect start = view->geometry();
        // 3, 3 grabs the top-left corner: dragging inwards stops at 800 x 600.
        QTest::mousePress(view.get(), Qt::LeftButton, {}, QPoint(3, 3));
        QMouseEvent move(QEvent::MouseMove, QPointF(503, 503), view->mapToGlobal(QPointF(503, 503)), Qt::LeftButton,
                         Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(view.get(), &move);
        QCOMPARE(view->geometry(), QRect(start.left() + 184, start.top() + 128, 800, 600));
        QTest::mouseRelease(view.get(), Qt::LeftButton, {}, QPoint(3, 3));

        // 100, 12 is background: the window moves by the pointer's motion.
        const QRect before = view->geometry();
        QTest::mousePress(view.get(), Qt::LeftButton, {}, QPoint(100, 12));
        QMouseEvent drag(QEvent::MouseMove, QPointF(130, 2), view->mapToGlobal(QPointF(130, 2)), Qt::LeftButton,
                         Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(view.get(), &drag);
        QCOMPARE(view->geometry(), before.translated(30, -10));
        // A move without the button held ends the drag even when the release was lost.
        QMouseEvent lost(QEvent::MouseMove, QPointF(300, 300), view->mapToGlobal(QPointF(300, 300)), Qt::NoButton,
                         Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(view.get(), &lost);
        QCOMPARE(view->geometry(), before.translated(30, -10));
    }

    void headerFollowsActivation()
    {
        auto view = MakeView();
        const QImage inactive = view->grab().toImage();
        view->SetAppActive(true);
        const QImage active = view->grab().toImage();
        // The header bar: blue while active, grey while not.
        const QColor blue = active.pixelColor(200, 4);
        const QColor grey = inactive.pixelColor(200, 4);
        QVERIFY2(blue.blue() > blue.red() + 40, qPrintable(blue.name()));
        QVERIFY2(std::abs(grey.red() - grey.blue()) < 20, qPrintable(grey.name()));
    }

    void cancelledBrowserWritesNothing()
    {
        const QString root = Folder();
        auto view = MakeView();
        QVERIFY(view->AddImage(Photo(root + QStringLiteral("/x.jpg"))));
        view->SetRotationSettings(1, 0);
        MessageRecorder recorder;
        const platform::ScopedFolderBrowser browser([](QWidget*, const QString&) -> std::optional<QString> { return std::nullopt; });
        view->OnCommand(shell::kIdcSaveAll);
        QCOMPARE(recorder.ids, QList<int>());
        QCOMPARE(FilesIn(root), QStringList({"x.jpg"}));
    }
};

QTEST_MAIN(TestChildView)
#include "tst_child_view.moc"
