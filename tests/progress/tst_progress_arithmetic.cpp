// The bar positions, the dialog's pixel sizes and its placement: plain arithmetic, no display.
#include "engine/progress_dialog.h"

#include <QTest>

#include <cstdint>
#include <limits>

using engine::DialogUnitsToPixels;
using engine::MakeProgressScale;
using engine::ProgressDialogPosition;
using engine::ProgressPosition;

class ProgressArithmetic : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void range_data();
    void range();
    void everyFullRunEndsAtTheTop();
    void position_data();
    void position();
    void dialogUnits_data();
    void dialogUnits();
    void placement_data();
    void placement();
};

void ProgressArithmetic::range_data()
{
    QTest::addColumn<qint64>("total");
    QTest::addColumn<int>("minimum");
    QTest::addColumn<int>("maximum");

    QTest::newRow("one unit") << qint64(1) << 0 << 100;
    QTest::newRow("three pictures") << qint64(3) << 0 << 100;
    QTest::newRow("seven files") << qint64(7) << 0 << 100;
    QTest::newRow("forty-nine units") << qint64(49) << 0 << 100;
    QTest::newRow("eight records of 512 bytes") << qint64(4096) << 0 << 100;
    QTest::newRow("beyond 32 bits") << (qint64(1) << 40) << 0 << 100;
    QTest::newRow("empty collection file") << qint64(0) << 0 << 0;
    QTest::newRow("negative total") << qint64(-3) << 0 << 0;
}

void ProgressArithmetic::range()
{
    QFETCH(qint64, total);
    QFETCH(int, minimum);
    QFETCH(int, maximum);

    const engine::ProgressScale scale = MakeProgressScale(total);
    QCOMPARE(scale.minimum, minimum);
    QCOMPARE(scale.maximum, maximum);
}

// 100 / total × total can come out a hair below 100 in floating point; the half added
// before truncating must still bring every complete run to the top of the bar.
void ProgressArithmetic::everyFullRunEndsAtTheTop()
{
    for (qint64 total = 1; total <= 20000; ++total) {
        const engine::ProgressScale scale = MakeProgressScale(total);
        if (scale.maximum != 100 || ProgressPosition(scale, total) != 100)
            QFAIL(qPrintable(QStringLiteral("a run of %1 units ends at %2 of a range up to %3")
                                 .arg(total)
                                 .arg(ProgressPosition(scale, total))
                                 .arg(scale.maximum)));
    }
}

void ProgressArithmetic::position_data()
{
    QTest::addColumn<qint64>("total");
    QTest::addColumn<qint64>("finished");
    QTest::addColumn<int>("expected");

    QTest::newRow("3 pictures, first done") << qint64(3) << qint64(1) << 33;
    QTest::newRow("3 pictures, second done") << qint64(3) << qint64(2) << 67;
    QTest::newRow("3 pictures, all done") << qint64(3) << qint64(3) << 100;
    QTest::newRow("7 files, all done") << qint64(7) << qint64(7) << 100;
    QTest::newRow("4096 bytes, 512 read: 12.5 rounds up") << qint64(4096) << qint64(512) << 13;
    QTest::newRow("nothing done yet") << qint64(3) << qint64(0) << 0;
    QTest::newRow("single unit, pending") << qint64(1) << qint64(0) << 0;
    QTest::newRow("single unit, done") << qint64(1) << qint64(1) << 100;
    QTest::newRow("200 units, 1 done: 0.5 rounds up") << qint64(200) << qint64(1) << 1;
    QTest::newRow("1000 units, 4 done: 0.4 rounds down") << qint64(1000) << qint64(4) << 0;
    QTest::newRow("1000 units, 5 done: 0.5 rounds up") << qint64(1000) << qint64(5) << 1;
    QTest::newRow("large file, half read") << qint64(3000000000) << qint64(1500000000) << 50;
    QTest::newRow("beyond the total fills the bar") << qint64(3) << qint64(5) << 100;
    QTest::newRow("far beyond the total fills the bar")
        << qint64(3) << std::numeric_limits<qint64>::max() << 100;
    QTest::newRow("negative count stays at the start") << qint64(3) << qint64(-1) << 0;
    QTest::newRow("far negative count stays at the start")
        << qint64(3) << std::numeric_limits<qint64>::min() << 0;
    QTest::newRow("empty run, stepped with 0") << qint64(0) << qint64(0) << 0;
    QTest::newRow("empty run, stepped anyway") << qint64(0) << qint64(1) << 0;
}

void ProgressArithmetic::position()
{
    QFETCH(qint64, total);
    QFETCH(qint64, finished);
    QFETCH(int, expected);

    QCOMPARE(ProgressPosition(MakeProgressScale(total), finished), expected);
}

void ProgressArithmetic::dialogUnits_data()
{
    QTest::addColumn<QSize>("units");
    QTest::addColumn<QSize>("pixels");

    QTest::newRow("dialog") << engine::kProgressDialogUnits << QSize(249, 29);
    QTest::newRow("bar") << engine::kProgressBarUnits << QSize(234, 20);
    QTest::newRow("bar origin: 7.5 and 4.875 round to 8 and 5")
        << QSize(engine::kProgressBarOriginUnits.x(), engine::kProgressBarOriginUnits.y()) << QSize(8, 5);
    QTest::newRow("one character cell") << QSize(4, 8) << QSize(6, 13);
    QTest::newRow("nothing") << QSize(0, 0) << QSize(0, 0);
}

void ProgressArithmetic::dialogUnits()
{
    QFETCH(QSize, units);
    QFETCH(QSize, pixels);

    QCOMPARE(DialogUnitsToPixels(units), pixels);
    QCOMPARE(DialogUnitsToPixels(QPoint(units.width(), units.height())), QPoint(pixels.width(), pixels.height()));
}

void ProgressArithmetic::placement_data()
{
    QTest::addColumn<QRect>("owner");
    QTest::addColumn<QRect>("workArea");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<QPoint>("expected");

    const QSize dialog(249, 29);
    QTest::newRow("over the main window, across the work area")
        << QRect(100, 80, 984, 728) << QRect(0, 0, 1920, 1040) << dialog << QPoint(835, 429);
    QTest::newRow("work area of a second screen")
        << QRect(2000, 100, 984, 728) << QRect(1920, 0, 1280, 984) << dialog << QPoint(2435, 449);
    QTest::newRow("work area below a top panel")
        << QRect(300, 200, 400, 300) << QRect(0, 32, 1024, 736) << dialog << QPoint(387, 335);
    QTest::newRow("owner partly above the screen")
        << QRect(0, -300, 800, 600) << QRect(0, 0, 1920, 1040) << dialog << QPoint(835, -15);
    QTest::newRow("owner shorter than the dialog: -4.5 truncates to -4")
        << QRect(0, 100, 300, 20) << QRect(0, 0, 1920, 1040) << dialog << QPoint(835, 96);
    QTest::newRow("work area narrower than the dialog: -24.5 truncates to -24")
        << QRect(0, 0, 200, 600) << QRect(0, 0, 200, 600) << dialog << QPoint(-24, 285);
    QTest::newRow("no owner: the whole screen")
        << QRect(0, 0, 1920, 1080) << QRect(0, 0, 1920, 1040) << dialog << QPoint(835, 525);
}

void ProgressArithmetic::placement()
{
    QFETCH(QRect, owner);
    QFETCH(QRect, workArea);
    QFETCH(QSize, size);
    QFETCH(QPoint, expected);

    QCOMPARE(ProgressDialogPosition(owner, workArea, size), expected);
}

QTEST_APPLESS_MAIN(ProgressArithmetic)
#include "tst_progress_arithmetic.moc"
