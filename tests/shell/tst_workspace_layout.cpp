// The workspace layout: every control's rectangle at the window's first size and at its
// smallest, with the Japanese and the English strips, the preview's free corner under the
// arrow buttons, and the help card's place.
#include "shell/workspace_layout.h"

#include <QTest>

#include <algorithm>
#include <iterator>

using shell::StripSizes;
using shell::WorkspaceLayout;

Q_DECLARE_METATYPE(shell::StripSizes)

namespace {

// The strips the program carries: the Japanese save strip is wider than the English one.
const StripSizes kJapaneseStrips{QSize(400, 48), QSize(140, 36), QSize(40, 36)};
const StripSizes kEnglishStrips{QSize(320, 48), QSize(140, 36), QSize(40, 36)};

// The first size of the window and its smallest.
const QSize kFirstSize(984, 728);
const QSize kSmallestSize(800, 600);

struct ExpectedPlace {
    int id;
    QRect atFirstSize;
    QRect atSmallestSize;
};

// With the English strips.
const ExpectedPlace kEnglishPlaces[] = {
    {shell::kIdcSaveSelected, {545, 695, 160, 24}, {428, 567, 160, 24}},
    {shell::kIdcSaveAll, {774, 695, 160, 24}, {614, 567, 160, 24}},
    {shell::kIdcImageList, {12, 40, 449, 648}, {10, 40, 365, 520}},
    {shell::kIdcDeleteSelected, {115, 699, 70, 18}, {87, 571, 70, 18}},
    {shell::kIdcDeleteAll, {290, 699, 70, 18}, {229, 571, 70, 18}},
    {shell::kIdcNoFlipping, {541, 45, 300, 16}, {440, 45, 300, 16}},
    {shell::kIdcFlipHorizontal, {541, 65, 300, 16}, {440, 65, 300, 16}},
    {shell::kIdcFlipVertical, {541, 85, 300, 16}, {440, 85, 300, 16}},
    {shell::kIdcNoRotation, {541, 120, 300, 16}, {440, 120, 300, 16}},
    {shell::kIdcRotate90, {541, 140, 300, 16}, {440, 140, 300, 16}},
    {shell::kIdcRotate180, {541, 160, 300, 16}, {440, 160, 300, 16}},
    {shell::kIdcRotate270, {541, 180, 300, 16}, {440, 180, 300, 16}},
    {shell::kIdcPreview, {504, 219, 467, 469}, {410, 219, 380, 341}},
    {shell::kIdcPrevious, {931, 670, 20, 18}, {750, 542, 20, 18}},
    {shell::kIdcNext, {951, 670, 20, 18}, {770, 542, 20, 18}},
    {shell::kIdcHomePage, {896, 6, 17, 17}, {712, 6, 17, 17}},
    {shell::kIdcHelpPage, {917, 6, 17, 17}, {733, 6, 17, 17}},
    {shell::kIdcMinimise, {938, 6, 17, 17}, {754, 6, 17, 17}},
    {shell::kIdcClose, {959, 6, 17, 17}, {775, 6, 17, 17}},
};

// The Japanese save buttons are wider and start further left; everything else is as above.
const ExpectedPlace kJapaneseSaveButtons[] = {
    {shell::kIdcSaveSelected, {525, 695, 200, 24}, {408, 567, 200, 24}},
    {shell::kIdcSaveAll, {754, 695, 200, 24}, {594, 567, 200, 24}},
};

QRect JapanesePlace(const ExpectedPlace& english, bool firstSize)
{
    for (const ExpectedPlace& save : kJapaneseSaveButtons) {
        if (save.id == english.id)
            return firstSize ? save.atFirstSize : save.atSmallestSize;
    }
    return firstSize ? english.atFirstSize : english.atSmallestSize;
}

QString SizeName(QSize size)
{
    return QStringLiteral("%1x%2").arg(size.width()).arg(size.height());
}

} // namespace

class TestWorkspaceLayout : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void controlRectangles_data();
    void controlRectangles();
    void everyControlPlacedOnce();
    void previewLeavesTheArrowCornerFree_data();
    void previewLeavesTheArrowCornerFree();
    void helpPanel_data();
    void helpPanel();
    void tooSmallClientGivesNoNegativeSizes_data();
    void tooSmallClientGivesNoNegativeSizes();
};

void TestWorkspaceLayout::controlRectangles_data()
{
    QTest::addColumn<QSize>("client");
    QTest::addColumn<StripSizes>("strips");
    QTest::addColumn<int>("id");
    QTest::addColumn<QRect>("expected");

    for (const ExpectedPlace& place : kEnglishPlaces) {
        for (const bool firstSize : {true, false}) {
            const QSize client = firstSize ? kFirstSize : kSmallestSize;
            QTest::addRow("English %s id %d", qPrintable(SizeName(client)), place.id)
                << client << kEnglishStrips << place.id
                << (firstSize ? place.atFirstSize : place.atSmallestSize);
            QTest::addRow("Japanese %s id %d", qPrintable(SizeName(client)), place.id)
                << client << kJapaneseStrips << place.id << JapanesePlace(place, firstSize);
        }
    }
}

void TestWorkspaceLayout::controlRectangles()
{
    QFETCH(QSize, client);
    QFETCH(StripSizes, strips);
    QFETCH(int, id);
    QFETCH(QRect, expected);

    QCOMPARE(WorkspaceLayout::Compute(client, strips).Control(id), expected);
}

void TestWorkspaceLayout::everyControlPlacedOnce()
{
    const WorkspaceLayout layout = WorkspaceLayout::Compute(kFirstSize, kEnglishStrips);
    QCOMPARE(layout.Places().size(), std::size(kEnglishPlaces));
    for (const ExpectedPlace& expected : kEnglishPlaces) {
        const auto count = std::count_if(layout.Places().begin(), layout.Places().end(),
                                         [&](const WorkspaceLayout::Place& place) { return place.id == expected.id; });
        QVERIFY2(count == 1, qPrintable(QStringLiteral("id %1 placed %2 times").arg(expected.id).arg(count)));
    }
    QVERIFY2(layout.Control(202).isNull(), "an id the workspace does not have has no place");
}

void TestWorkspaceLayout::previewLeavesTheArrowCornerFree_data()
{
    QTest::addColumn<QSize>("client");
    QTest::addColumn<StripSizes>("strips");
    QTest::addColumn<QRect>("cutOut");

    // In the preview's own coordinates: 467 x 469 and 380 x 341 previews, a 40 x 18 corner.
    QTest::newRow("984x728 English") << kFirstSize << kEnglishStrips << QRect(427, 451, 40, 18);
    QTest::newRow("984x728 Japanese") << kFirstSize << kJapaneseStrips << QRect(427, 451, 40, 18);
    QTest::newRow("800x600 English") << kSmallestSize << kEnglishStrips << QRect(340, 323, 40, 18);
    QTest::newRow("800x600 Japanese") << kSmallestSize << kJapaneseStrips << QRect(340, 323, 40, 18);
}

void TestWorkspaceLayout::previewLeavesTheArrowCornerFree()
{
    QFETCH(QSize, client);
    QFETCH(StripSizes, strips);
    QFETCH(QRect, cutOut);

    const WorkspaceLayout layout = WorkspaceLayout::Compute(client, strips);
    QCOMPARE(layout.PreviewCutOut(), cutOut);

    const QRect preview = layout.Control(shell::kIdcPreview);
    const QRegion shape = layout.PreviewRegion();
    QCOMPARE(shape.boundingRect(), QRect(QPoint(0, 0), preview.size()));

    // The two arrow buttons fill the corner exactly, and the preview covers none of it.
    const QRect previous = layout.Control(shell::kIdcPrevious).translated(-preview.topLeft());
    const QRect next = layout.Control(shell::kIdcNext).translated(-preview.topLeft());
    QCOMPARE(previous.united(next), cutOut);
    QVERIFY2(!shape.intersects(previous), "the preview covers the previous button");
    QVERIFY2(!shape.intersects(next), "the preview covers the next button");

    // Everything else of the preview's rectangle stays in its shape.
    qint64 area = 0;
    for (const QRect& part : shape)
        area += qint64(part.width()) * part.height();
    QCOMPARE(area, qint64(preview.width()) * preview.height() - qint64(cutOut.width()) * cutOut.height());
    QVERIFY(shape.contains(QPoint(cutOut.left() - 1, preview.height() - 1)));
    QVERIFY(shape.contains(QPoint(preview.width() - 1, cutOut.top() - 1)));
}

void TestWorkspaceLayout::helpPanel_data()
{
    QTest::addColumn<QSize>("client");
    QTest::addColumn<QRect>("expected");

    QTest::newRow("984x728") << kFirstSize << QRect(161, 324, 150, 80);
    QTest::newRow("800x600") << kSmallestSize << QRect(117, 260, 150, 80);
    // The list area is 91 x 87 here. The corners are centred, each half truncated toward
    // zero, so the odd negative difference costs the card a pixel of its width.
    QTest::newRow("narrower than the card") << QSize(200, 100) << QRect(-26, 10, 149, 80);
}

void TestWorkspaceLayout::helpPanel()
{
    QFETCH(QSize, client);
    QFETCH(QRect, expected);

    QCOMPARE(shell::HelpPanelRect(client), expected);
    QCOMPARE(WorkspaceLayout::Compute(client, kEnglishStrips).HelpPanel(), expected);
}

void TestWorkspaceLayout::tooSmallClientGivesNoNegativeSizes_data()
{
    QTest::addColumn<QSize>("client");

    // The view is laid out once right after its creation, before it has a size.
    QTest::newRow("empty") << QSize(0, 0);
    QTest::newRow("invalid") << QSize();
    QTest::newRow("shorter than the preview's top") << QSize(984, 100);
}

void TestWorkspaceLayout::tooSmallClientGivesNoNegativeSizes()
{
    QFETCH(QSize, client);

    const WorkspaceLayout layout = WorkspaceLayout::Compute(client, kJapaneseStrips);
    for (const WorkspaceLayout::Place& place : layout.Places()) {
        QVERIFY2(place.rect.width() >= 0 && place.rect.height() >= 0,
                 qPrintable(QStringLiteral("id %1 has the size %2 x %3")
                                .arg(place.id).arg(place.rect.width()).arg(place.rect.height())));
    }
    QVERIFY(layout.PreviewRegion().boundingRect().height() >= 0);
}

QTEST_APPLESS_MAIN(TestWorkspaceLayout)
#include "tst_workspace_layout.moc"
