// Times the picture collection of the workspace view on the offscreen platform:
//
//   1. a drop of a folder of photographs, until the last row is in, against LoadFitted
//      alone on the same files; once into an empty collection and once into one that
//      already holds many small pictures (with a second drop of those, all duplicates);
//   2. LoadImageList reading a collection file of many records, against LoadFitted alone
//      on the same files;
//   3. the preview of a large photograph after "Flip Horizontal" and "Rotate 90" are
//      chosen, from the change of setting to the finished paint of the preview control,
//      with its parts and two other ways of making the same picture.
//
//   collection_bench --photos DIR --small DIR --saved DIR --preview FILE
//                    [--runs N] [--load-runs N] [--preview-runs N] [--only drop|load|preview]
//   collection_bench --preview FILE --profile N
//
// --photos holds the photographs to drop, --small the small pictures that fill the
// collection first, --saved the files the collection file names (one record per file,
// sorted by name), --preview the photograph to preview. --profile only makes the preview N
// times the way the view does, for a profiler, and prints no figures. Prints a Markdown report on
// standard output, progress on standard error. Every repetition runs the contenders of a
// measurement once each, in an order that turns from one repetition to the next, so that
// load from elsewhere on the machine falls on all of them alike; figures are medians.

#include "bench/machine.h"
#include "collection/collection_file.h"
#include "collection/folder_walk.h"
#include "collection/rotation_preview.h"
#include "collection/thumbnail.h"
#include "draw/image.h"
#include "engine/transform.h"
#include "shell/child_view.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QThread>
#include <QWindow>

#include <turbojpeg.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <functional>
#include <memory>
#include <vector>

#include <unistd.h>

namespace {

// The main window's client size at start, which gives the preview control 467 x 469.
const QSize kViewSize(984, 728);
const QSize kPreviewBox(467, 469);
const QSize kThumbnailBox(collection::kThumbnailBox, collection::kThumbnailBox);
const engine::RotationSettings kFlipAndTurn{1, 1};

void Say(const QString& text)
{
    std::fprintf(stderr, "collection_bench: %s\n", qPrintable(text));
}

[[noreturn]] void Fail(const QString& text)
{
    std::fprintf(stderr, "collection_bench: %s\n", qPrintable(text));
    std::exit(1);
}

// ---- Clocks ---------------------------------------------------------------------------

double ProcessCpuSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return double(now.tv_sec) + double(now.tv_nsec) / 1e9;
}

// Seconds all processors together have been busy since boot (hypervisor steal included);
// negative when /proc/stat cannot be read.
double BusySeconds()
{
    QFile stat(QStringLiteral("/proc/stat"));
    if (!stat.open(QIODevice::ReadOnly))
        return -1;
    const QList<QByteArray> fields = stat.readLine().simplified().split(' ');
    if (fields.size() < 9 || fields[0] != "cpu")
        return -1;
    double ticks = 0;
    for (const int i : {1, 2, 3, 6, 7, 8}) // user nice system irq softirq steal
        ticks += fields[i].toDouble();
    return ticks / double(sysconf(_SC_CLK_TCK));
}

// What one timed stretch cost: wall time, this process's processor time (all its threads),
// and how many cores the rest of the machine kept busy on average meanwhile.
struct Sample {
    double wall = 0;
    double cpu = 0;
    double others = 0;
};

Sample Time(const std::function<void()>& work)
{
    const double busy = BusySeconds();
    const double cpu = ProcessCpuSeconds();
    const auto start = std::chrono::steady_clock::now();
    work();
    Sample sample;
    sample.wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    sample.cpu = ProcessCpuSeconds() - cpu;
    const double busyAfter = BusySeconds();
    if (busy >= 0 && busyAfter >= 0 && sample.wall > 0)
        sample.others = std::max(0.0, (busyAfter - busy - sample.cpu) / sample.wall);
    return sample;
}

double Median(std::vector<double> values)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    const size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

struct Series {
    std::vector<Sample> samples;
    void Add(const Sample& sample) { samples.push_back(sample); }
    double Wall() const { return Pick(&Sample::wall); }
    double Cpu() const { return Pick(&Sample::cpu); }
    double Others() const { return Pick(&Sample::others); }
    double Pick(double Sample::*field) const
    {
        std::vector<double> values;
        for (const Sample& sample : samples)
            values.push_back(sample.*field);
        return Median(values);
    }
};

// What `with` adds to `without`, measured back to back in each run: the median of the
// runs' own ratios, which a machine that gets busier or quieter during the runs disturbs
// less than the ratio of the two medians would. Also gives the lowest and highest ratio.
QString Added(const Series& with, const Series& without, double Sample::*field)
{
    std::vector<double> ratios;
    for (size_t i = 0; i < with.samples.size() && i < without.samples.size(); ++i)
        ratios.push_back(with.samples[i].*field / (without.samples[i].*field));
    if (ratios.empty())
        return QStringLiteral("–");
    const auto [lowest, highest] = std::minmax_element(ratios.begin(), ratios.end());
    const auto percent = [](double ratio) { return QString::asprintf("%+.1f %%", (ratio - 1) * 100); };
    return percent(Median(ratios)) + QStringLiteral(" (") + percent(*lowest) + QStringLiteral(" to ")
           + percent(*highest) + QStringLiteral(")");
}

QString Ms(double seconds)
{
    const double ms = seconds * 1000;
    return QString::number(ms, 'f', ms < 10 ? 2 : ms < 100 ? 1 : 0) + QStringLiteral(" ms");
}

QString Us(double seconds)
{
    return QString::number(seconds * 1e6, 'f', 1) + QStringLiteral(" µs");
}

QString Cores(double cores)
{
    return QString::number(cores, 'f', 2);
}

// ---- The view ---------------------------------------------------------------------------

// Keeps back the collection load a new view posts to itself, so that the view can be shown
// and painted first and the load timed by itself. Nothing else posts events of the
// application's own types to the view before a drop or a click.
class HoldBackStartUpLoad : public QObject {
public:
    explicit HoldBackStartUpLoad(QObject* view) : m_view(view) { view->installEventFilter(this); }
    ~HoldBackStartUpLoad() override { m_view->removeEventFilter(this); }
    HoldBackStartUpLoad(const HoldBackStartUpLoad&) = delete;
    HoldBackStartUpLoad& operator=(const HoldBackStartUpLoad&) = delete;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        return watched == m_view && event->type() >= QEvent::User && event->type() <= QEvent::MaxUser;
    }

private:
    QObject* m_view;
};

// A workspace view of the start size, shown and painted, its start-up load not yet run.
std::unique_ptr<shell::CChildView> MakeView(const QString& dataFile)
{
    shell::ViewOptions options;
    options.language = platform::UiLanguage::English;
    options.dataFile = dataFile;
    options.title = QStringLiteral("Brantmoor Turnwise");
    auto view = std::make_unique<shell::CChildView>(nullptr, options);
    {
        const HoldBackStartUpLoad holdBack(view.get());
        view->resize(kViewSize);
        view->show();
        QElapsedTimer waited;
        waited.start();
        while (!(view->windowHandle() && view->windowHandle()->isExposed()) && waited.elapsed() < 10000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        if (!view->windowHandle() || !view->windowHandle()->isExposed())
            Fail(QStringLiteral("the view's window was never exposed"));
        QCoreApplication::processEvents();
    }
    if (view->PreviewControl()->size() != kPreviewBox)
        Fail(QStringLiteral("the preview control is %1 x %2, not %3 x %4")
                 .arg(view->PreviewControl()->width()).arg(view->PreviewControl()->height())
                 .arg(kPreviewBox.width()).arg(kPreviewBox.height()));
    return view;
}

void Expect(bool condition, const QString& what)
{
    if (!condition)
        Fail(what);
}

// Thumbnails of `paths` made one after the other, as AddImage makes them, and dropped.
void LoadFittedEach(const QStringList& paths)
{
    for (const QString& path : paths) {
        draw::CImg image;
        QSize size = kThumbnailBox;
        Expect(collection::LoadFitted(image, path, size), path + QStringLiteral(": LoadFitted failed"));
    }
}

QStringList FilesOf(const QString& folder)
{
    QStringList files;
    collection::CollectFiles(folder, files);
    return files;
}

// ---- The preview made in other ways --------------------------------------------------------

struct TurboDeleter {
    void operator()(void* handle) const { tjDestroy(handle); }
};
using TurboHandle = std::unique_ptr<void, TurboDeleter>;

QByteArray ReadAll(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        Fail(path + QStringLiteral(": cannot read"));
    return file.readAll();
}

struct Reduced {
    QImage image;   // the picture at 1/reduction
    QSize full;     // its size as stored
    int reduction = 1;

    // The part of `image` the picture covers: its last row and column may stand for less
    // than a whole pixel.
    QSizeF Extent(bool turned) const
    {
        const QSizeF extent(double(full.width()) / reduction, double(full.height()) / reduction);
        return turned ? extent.transposed() : extent;
    }
};

// Decodes JPEG data at the reduction LoadFitted takes for a picture to be fitted to
// `wanted` (in the data's own orientation). With `headerOnly` set, only works out the
// reduction and the full size.
Reduced DecodeReduced(const unsigned char* data, unsigned long length, const QSize& wanted, bool headerOnly = false)
{
    const TurboHandle decompressor(tjInitDecompress());
    int width = 0, height = 0, sampling = 0, colourSpace = 0;
    if (tjDecompressHeader3(decompressor.get(), data, length, &width, &height, &sampling, &colourSpace) != 0)
        Fail(QStringLiteral("decoding a header failed"));
    Reduced result;
    result.full = QSize(width, height);
    result.reduction = collection::JpegReductionFor(result.full, wanted);
    if (headerOnly)
        return result;
    const int r = result.reduction;
    const QSize size((width + r - 1) / r, (height + r - 1) / r);
    result.image = QImage(size, draw::kNormalFormat);
    if (tjDecompress2(decompressor.get(), data, length, result.image.bits(), size.width(),
                      int(result.image.bytesPerLine()), size.height(), TJPF_RGB, TJFLAG_LIMITSCANS) != 0)
        Fail(QStringLiteral("decoding failed"));
    return result;
}

// TurboJPEG's decoder at 1/8 reads only part of each block: the DC coefficient of a
// component at full resolution (1 x 1 inverse DCT) and, of a component subsampled by two
// (2 x 2 inverse DCT), the coefficients in rows and columns 0, 1, 3, 5 and 7. Flips and
// quarter turns only move blocks and transpose or negate coefficients within them, so
// they keep that set, and setting every other coefficient to zero in a first pass leaves
// the decoded preview as it was while the later passes and the decode have almost no
// entropy-coded data left to read and write. The bench checks that the result is the same.
int ZeroWhatAOneEighthDecodeSkips(short* coefficients, tjregion array, tjregion, int component, int, tjtransform*)
{
    static constexpr bool kReadAtHalf[8] = {true, true, false, true, false, true, false, true};
    const long blocks = long(array.w / 8) * (array.h / 8);
    for (long i = 0; i < blocks; ++i) {
        short* block = coefficients + i * 64;
        for (int v = 0; v < 8; ++v) {
            for (int u = 0; u < 8; ++u) {
                const bool read = component == 0 ? u == 0 && v == 0 : kReadAtHalf[u] && kReadAtHalf[v];
                if (!read)
                    block[v * 8 + u] = 0;
            }
        }
    }
    return 0;
}

struct JpegBytes {
    unsigned char* data = nullptr;
    unsigned long size = 0;
    JpegBytes() = default;
    JpegBytes(const JpegBytes&) = delete;
    JpegBytes& operator=(const JpegBytes&) = delete;
    ~JpegBytes() { tjFree(data); }
};

// One lossless transform from memory to memory, as TransformJpegFile runs it but without files.
void TransformInMemory(const unsigned char* data, unsigned long size, int operation, bool zeroUnread, JpegBytes& out)
{
    const TurboHandle transformer(tjInitTransform());
    tjtransform transform{};
    transform.op = operation;
    if (zeroUnread)
        transform.customFilter = ZeroWhatAOneEighthDecodeSkips;
    if (tjTransform(transformer.get(), data, size, 1, &out.data, &out.size, &transform, TJFLAG_LIMITSCANS) != 0)
        Fail(QStringLiteral("a lossless transform in memory failed: %1").arg(QString::fromLocal8Bit(tjGetErrorStr2(transformer.get()))));
}

QImage DecodeFitted(const unsigned char* data, unsigned long size, const QSize& fitted)
{
    const Reduced reduced = DecodeReduced(data, size, fitted);
    return draw::ResampleBicubic(reduced.image, fitted, reduced.Extent(false));
}

// Ways of making the same preview as MakeRotationPreview for "Flip Horizontal" with
// "Rotate 90", to show what each change to it would save.
enum class OtherWay {
    TwoPassesInMemory,     // the same two passes and decode, without temporary files
    TwoPassesZeroed,       // the same, the first pass leaving only what the decode reads
    OnePass,               // one transverse pass (the flip followed by the turn) in memory
    OnePassZeroed,         // the same, leaving only what the decode reads
    TurningPixels,         // no lossless transform: the decode at 1/8 mirrored and turned as pixels
};

QImage PreviewOtherWay(OtherWay way, const QString& path, const QSize& fitted)
{
    const QByteArray source = ReadAll(path);
    const auto* data = reinterpret_cast<const unsigned char*>(source.constData());
    const auto size = static_cast<unsigned long>(source.size());
    const bool zeroed = way == OtherWay::TwoPassesZeroed || way == OtherWay::OnePassZeroed;
    if (zeroed) {
        if (DecodeReduced(data, size, fitted.transposed(), true).reduction != 8)
            Fail(QStringLiteral("the zeroed ways hold only for a decode at 1/8"));
    }
    switch (way) {
    case OtherWay::TwoPassesInMemory:
    case OtherWay::TwoPassesZeroed: {
        JpegBytes flipped, turned;
        TransformInMemory(data, size, TJXOP_HFLIP, zeroed, flipped);
        TransformInMemory(flipped.data, flipped.size, TJXOP_ROT90, false, turned);
        return DecodeFitted(turned.data, turned.size, fitted);
    }
    case OtherWay::OnePass:
    case OtherWay::OnePassZeroed: {
        JpegBytes turned;
        TransformInMemory(data, size, TJXOP_TRANSVERSE, zeroed, turned);
        return DecodeFitted(turned.data, turned.size, fitted);
    }
    case OtherWay::TurningPixels: {
        // Exact only where the sides are whole blocks, which the lossless transform moves
        // as wholes; it leaves partial blocks at the edges where they are.
        const Reduced reduced = DecodeReduced(data, size, fitted.transposed());
        const QImage turned = reduced.image.mirrored(true, false).transformed(QTransform().rotate(90));
        return draw::ResampleBicubic(turned, fitted, reduced.Extent(true));
    }
    }
    return {};
}

// The largest difference of one colour channel between two pictures of one size.
int LargestDifference(const QImage& a, const QImage& b)
{
    if (a.size() != b.size())
        return 256;
    const QImage x = a.convertToFormat(QImage::Format_RGB888);
    const QImage y = b.convertToFormat(QImage::Format_RGB888);
    int largest = 0;
    for (int row = 0; row < x.height(); ++row) {
        const uchar* p = x.constScanLine(row);
        const uchar* q = y.constScanLine(row);
        for (int i = 0; i < x.width() * 3; ++i)
            largest = std::max(largest, std::abs(int(p[i]) - int(q[i])));
    }
    return largest;
}

// ---- Measurements --------------------------------------------------------------------------

struct Arguments {
    QString photos, small, saved, preview;
    int runs = 7;
    int loadRuns = 7;
    int previewRuns = 15;
    int profileRuns = 0; // only the preview's own path this many times, for a profiler
    QString only;
};

QString FileSummary(const QStringList& files)
{
    if (files.isEmpty())
        return QStringLiteral("no files");
    qint64 bytes = 0;
    for (const QString& file : files)
        bytes += QFileInfo(file).size();
    QSize full;
    draw::CImg image;
    full = kThumbnailBox;
    collection::LoadFitted(image, files.first(), full);
    return QStringLiteral("%1 × %2 pixels, %3 MB each on average")
        .arg(full.width()).arg(full.height()).arg(double(bytes) / files.size() / 1e6, 0, 'f', 2);
}

void MeasureDrops(const Arguments& args)
{
    const QStringList photos = FilesOf(args.photos);
    const QStringList small = FilesOf(args.small);
    const int n = int(photos.size());
    const int m = int(small.size());
    Expect(n > 0 && m > 0, QStringLiteral("no photographs or no small pictures to drop"));
    Say(QStringLiteral("drops: %1 photographs, %2 small pictures first; %3 runs").arg(n).arg(m).arg(args.runs));
    LoadFittedEach(photos); // warms the file cache and the library
    Series drop, alone, dropOnto, fill, duplicates, duplicateTest, caption;
    for (int run = 0; run < args.runs; ++run) {
        const std::function<void()> contenders[] = {
            [&] {
                auto view = MakeView({});
                drop.Add(Time([&] { view->OnDropFiles({args.photos}); }));
                Expect(view->ImageCount() == n, QStringLiteral("the drop added %1 of %2").arg(view->ImageCount()).arg(n));
                QCoreApplication::processEvents();
                // One part of what each added picture costs besides its thumbnail.
                constexpr int kCaptions = 100;
                Sample captions = Time([&] {
                    for (int i = 0; i < kCaptions; ++i)
                        view->DrawImageCount(nullptr);
                });
                captions.wall /= kCaptions;
                captions.cpu /= kCaptions;
                caption.Add(captions);
            },
            [&] { alone.Add(Time([&] { LoadFittedEach(photos); })); },
            [&] {
                auto view = MakeView({});
                fill.Add(Time([&] { view->OnDropFiles({args.small}); }));
                Expect(view->ImageCount() == m, QStringLiteral("the small pictures: %1 of %2").arg(view->ImageCount()).arg(m));
                QCoreApplication::processEvents();
                dropOnto.Add(Time([&] { view->OnDropFiles({args.photos}); }));
                Expect(view->ImageCount() == m + n, QStringLiteral("the drop onto the full collection added %1 of %2")
                                                        .arg(view->ImageCount() - m).arg(n));
                QCoreApplication::processEvents();
                duplicates.Add(Time([&] { view->OnDropFiles({args.small}); }));
                Expect(view->ImageCount() == m + n, QStringLiteral("duplicates were added"));
                // The duplicate test by itself: AddImage refusing paths it already holds.
                bool refused = true;
                duplicateTest.Add(Time([&] {
                    for (const QString& path : small)
                        refused = !view->AddImage(path) && refused;
                }));
                Expect(refused && view->ImageCount() == m + n, QStringLiteral("AddImage took a duplicate"));
            },
        };
        for (int i = 0; i < 3; ++i)
            contenders[(run + i) % 3]();
        Say(QStringLiteral("drops: run %1 of %2: %3 and %4 per picture dropped, %5 by LoadFitted alone")
                .arg(run + 1).arg(args.runs).arg(Ms(drop.samples.back().wall / n))
                .arg(Ms(dropOnto.samples.back().wall / n)).arg(Ms(alone.samples.back().wall / n)));
    }

    std::printf("### Drop of a folder of %d photographs\n\n", n);
    std::printf("Photographs: %s. Medians of %d runs; what the collection adds is the median of the runs' own "
                "ratios (the drop and LoadFitted alone run back to back), lowest and highest in brackets; \"other "
                "cores\" is how many cores the rest of the machine kept busy meanwhile.\n\n",
                qPrintable(FileSummary(photos)), args.runs);
    std::printf("| case | wall, whole drop | wall per picture | LoadFitted alone per picture | collection adds (wall) "
                "| processor time per picture, drop / alone | collection adds (processor time) | other cores |\n");
    std::printf("|---|---:|---:|---:|---:|---:|---:|---:|\n");
    const auto row = [&](const QString& label, const Series& dropped) {
        std::printf("| %s | %s | %s | %s | %s | %s / %s | %s | %s |\n", qPrintable(label), qPrintable(Ms(dropped.Wall())),
                    qPrintable(Ms(dropped.Wall() / n)), qPrintable(Ms(alone.Wall() / n)),
                    qPrintable(Added(dropped, alone, &Sample::wall)), qPrintable(Ms(dropped.Cpu() / n)),
                    qPrintable(Ms(alone.Cpu() / n)), qPrintable(Added(dropped, alone, &Sample::cpu)),
                    qPrintable(Cores(dropped.Others())));
    };
    row(QStringLiteral("into an empty collection"), drop);
    row(QStringLiteral("into a collection of %1 entries").arg(m), dropOnto);
    std::printf("\nLoadFitted alone: other cores %s. Filling the collection first with %d small pictures (%s): "
                "%s per picture. Dropping those %d again onto the full collection, every one refused as a duplicate "
                "(folder walk, progress bar and the duplicate test): %s in all, %s per path; AddImage refusing them by "
                "itself, without the walk and the bar: %s per path.\n\n",
                qPrintable(Cores(alone.Others())), m, qPrintable(FileSummary(small)), qPrintable(Ms(fill.Wall() / m)), m,
                qPrintable(Ms(duplicates.Wall())), qPrintable(Us(duplicates.Wall() / m)),
                qPrintable(Us(duplicateTest.Wall() / m)));
    std::printf("Of what the collection adds per picture: redrawing the caption line with the counts, which AddImage "
                "does at once for every picture, takes %s (wall) and %s (processor time).\n\n",
                qPrintable(Ms(caption.Wall())), qPrintable(Ms(caption.Cpu())));
}

void MeasureLoad(const Arguments& args, const QDir& work)
{
    QStringList saved = QDir(args.saved).entryList(QDir::Files, QDir::Name);
    for (QString& name : saved)
        name = QDir(args.saved).absoluteFilePath(name);
    const int n = int(saved.size());
    Expect(n > 0, QStringLiteral("no files for the collection file"));
    const collection::EncodedCollection encoded = collection::EncodeRecords(saved);
    Expect(encoded.tooLong.isEmpty(), QStringLiteral("some paths do not fit a record"));
    Say(QStringLiteral("collection file: %1 records, %2 runs").arg(n).arg(args.loadRuns));
    LoadFittedEach(saved);
    Series load, alone;
    for (int run = 0; run < args.loadRuns; ++run) {
        const std::function<void()> contenders[] = {
            [&] {
                // A fresh copy each time: the view writes the collection back when it goes.
                const QString dataFile = work.filePath(QStringLiteral("IMG.DAT"));
                Expect(collection::WriteCollectionFile(dataFile, encoded.bytes), dataFile + QStringLiteral(": not written"));
                auto view = MakeView(dataFile);
                load.Add(Time([&] { view->LoadImageList(); }));
                Expect(view->ImageCount() == n, QStringLiteral("the load added %1 of %2").arg(view->ImageCount()).arg(n));
                QCoreApplication::processEvents();
            },
            [&] { alone.Add(Time([&] { LoadFittedEach(saved); })); },
        };
        for (int i = 0; i < 2; ++i)
            contenders[(run + i) % 2]();
        Say(QStringLiteral("collection file: run %1 of %2: %3 per record, %4 by LoadFitted alone")
                .arg(run + 1).arg(args.loadRuns).arg(Ms(load.samples.back().wall / n)).arg(Ms(alone.samples.back().wall / n)));
    }
    std::printf("### Collection file of %d records read at start\n\n", n);
    std::printf("Pictures: %s; file of %lld bytes. Medians of %d runs.\n\n", qPrintable(FileSummary(saved)),
                static_cast<long long>(encoded.bytes.size()), args.loadRuns);
    std::printf("| | wall, whole file | wall per record | processor time per record | other cores |\n");
    std::printf("|---|---:|---:|---:|---:|\n");
    std::printf("| LoadImageList | %s | %s | %s | %s |\n", qPrintable(Ms(load.Wall())), qPrintable(Ms(load.Wall() / n)),
                qPrintable(Ms(load.Cpu() / n)), qPrintable(Cores(load.Others())));
    std::printf("| LoadFitted alone, same files | %s | %s | %s | %s |\n", qPrintable(Ms(alone.Wall())),
                qPrintable(Ms(alone.Wall() / n)), qPrintable(Ms(alone.Cpu() / n)), qPrintable(Cores(alone.Others())));
    std::printf("\nThe collection adds %s (wall) and %s (processor time) to LoadFitted's own time per record: "
                "medians of the runs' own ratios, lowest and highest in brackets.\n\n",
                qPrintable(Added(load, alone, &Sample::wall)), qPrintable(Added(load, alone, &Sample::cpu)));
}

void RemoveIfThere(const QString& path)
{
    if (QFileInfo::exists(path) && !QFile::remove(path))
        Fail(path + QStringLiteral(": cannot remove"));
}

void MeasurePreview(const Arguments& args, const QDir& work)
{
    const QString photo = QFileInfo(args.preview).absoluteFilePath();
    Say(QStringLiteral("preview of %1, %2 runs").arg(photo).arg(args.previewRuns));
    auto view = MakeView({});
    Expect(view->AddImage(photo), photo + QStringLiteral(": refused"));
    QCoreApplication::processEvents(); // the first paint of the preview, unturned
    const QSize full(view->Image(0).m_nWidth, view->Image(0).m_nHeight);
    QSize fitted = full.transposed();
    draw::FitToBox(fitted, kPreviewBox.width(), kPreviewBox.height());

    if (args.profileRuns > 0) {
        for (int run = 0; run < args.profileRuns; ++run) {
            // Every change of setting drops the preview, also to the same values.
            view->SetRotationSettings(kFlipAndTurn.m_nFlip, kFlipAndTurn.m_nRotation);
            view->PreviewControl()->repaint();
            Expect(view->Preview() != nullptr, QStringLiteral("no preview"));
        }
        return;
    }

    const QString middle = work.filePath(QStringLiteral("pass1.tmp2"));
    const QString turned = work.filePath(QStringLiteral("pass2.tmp"));
    Series settingToPaint, cachedPaint, firstPass, secondPass, decode, makePreview;
    struct Other {
        OtherWay way;
        const char* label;
        Series series;
        int difference = 0; // largest difference of a colour channel from the preview shown
    };
    Other others[] = {
        {OtherWay::TwoPassesInMemory, "the same two passes in memory, no temporary files", {}},
        {OtherWay::TwoPassesZeroed, "the same two passes in memory, the first leaving only the coefficients a 1/8 "
                                    "decode reads", {}},
        {OtherWay::OnePass, "one transverse pass in memory", {}},
        {OtherWay::OnePassZeroed, "one transverse pass in memory, leaving only the coefficients a 1/8 decode reads", {}},
        {OtherWay::TurningPixels, "no lossless transform: the source decoded at 1/8, its pixels mirrored and turned", {}},
    };
    QImage shown;
    std::vector<std::function<void()>> contenders = {
        [&] {
            view->SetRotationSettings(0, 0);
            view->PreviewControl()->repaint();
            settingToPaint.Add(Time([&] {
                view->SetRotationSettings(kFlipAndTurn.m_nFlip, kFlipAndTurn.m_nRotation);
                view->PreviewControl()->repaint();
            }));
            Expect(view->Preview() && view->Preview()->GetSize() == fitted, QStringLiteral("no preview of the expected size"));
            shown = view->Preview()->Image();
            cachedPaint.Add(Time([&] { view->PreviewControl()->repaint(); }));
        },
        [&] {
            // Its parts, one after the other as MakeRotationPreview runs them.
            RemoveIfThere(middle);
            RemoveIfThere(turned);
            firstPass.Add(Time([&] {
                Expect(bool(engine::TransformJpegFile(engine::ToNarrowPath(photo), engine::ToNarrowPath(middle),
                                                      engine::kFlipHorizontal)),
                       QStringLiteral("the flip failed"));
            }));
            secondPass.Add(Time([&] {
                Expect(bool(engine::TransformJpegFile(engine::ToNarrowPath(middle), engine::ToNarrowPath(turned),
                                                      engine::kRotate90)),
                       QStringLiteral("the turn failed"));
            }));
            decode.Add(Time([&] {
                draw::CImg image;
                QSize box = kPreviewBox;
                Expect(collection::LoadFitted(image, turned, box), QStringLiteral("decoding the turned file failed"));
            }));
            RemoveIfThere(middle);
            RemoveIfThere(turned);
        },
        [&] {
            makePreview.Add(Time([&] {
                draw::CImg image;
                Expect(collection::MakeRotationPreview(photo, kFlipAndTurn, kPreviewBox, image),
                       QStringLiteral("MakeRotationPreview failed"));
            }));
        },
    };
    for (Other& other : others) {
        contenders.push_back([&] {
            QImage made;
            other.series.Add(Time([&] { made = PreviewOtherWay(other.way, photo, fitted); }));
            if (!shown.isNull())
                other.difference = std::max(other.difference, LargestDifference(made, shown));
        });
    }
    const size_t count = contenders.size();
    for (int run = 0; run < args.previewRuns; ++run) {
        for (size_t i = 0; i < count; ++i)
            contenders[(size_t(run) + i) % count]();
    }

    const double total = settingToPaint.Wall();
    std::printf("### Preview of a %d × %d photograph, \"Flip Horizontal\" and \"Rotate 90\", into %d × %d\n\n",
                full.width(), full.height(), kPreviewBox.width(), kPreviewBox.height());
    std::printf("File: %.2f MB. Medians of %d runs. The preview shown is %d × %d.\n\n", double(QFileInfo(photo).size()) / 1e6,
                args.previewRuns, fitted.width(), fitted.height());
    std::printf("| step | wall | processor time | other cores | largest difference from the preview shown |\n"
                "|---|---:|---:|---:|---:|\n");
    const auto line = [](const QString& label, const Series& series, const QString& difference = {}) {
        std::printf("| %s | %s | %s | %s | %s |\n", qPrintable(label), qPrintable(Ms(series.Wall())),
                    qPrintable(Ms(series.Cpu())), qPrintable(Cores(series.Others())), qPrintable(difference));
    };
    line(QStringLiteral("**SetRotationSettings(1, 1) to the finished repaint of the preview control**"), settingToPaint);
    line(QStringLiteral("MakeRotationPreview by itself"), makePreview);
    line(QStringLiteral("— first lossless pass: horizontal flip, file to file"), firstPass);
    line(QStringLiteral("— second lossless pass: quarter turn, file to file"), secondPass);
    line(QStringLiteral("— LoadFitted of the turned file: decode at 1/8, bicubic into the box"), decode);
    line(QStringLiteral("repaint with the preview already made"), cachedPaint);
    for (const Other& other : others)
        line(QStringLiteral("*other way:* ") + QString::fromUtf8(other.label), other.series,
             QString::number(other.difference));
    std::printf("\nAim: under 300 ms from the change of setting to the finished paint: %s (%s wall, %s processor "
                "time). Differences are of one colour channel, out of 255.\n\n",
                total < 0.3 ? "met" : "missed", qPrintable(Ms(total)), qPrintable(Ms(settingToPaint.Cpu())));
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    Arguments args;
    const QStringList arguments = QCoreApplication::arguments();
    for (int i = 1; i < arguments.size(); ++i) {
        const QString& name = arguments[i];
        const bool hasValue = i + 1 < arguments.size();
        const QString value = hasValue ? arguments[i + 1] : QString();
        bool used = hasValue;
        if (name == QStringLiteral("--photos") && hasValue)
            args.photos = value;
        else if (name == QStringLiteral("--small") && hasValue)
            args.small = value;
        else if (name == QStringLiteral("--saved") && hasValue)
            args.saved = value;
        else if (name == QStringLiteral("--preview") && hasValue)
            args.preview = value;
        else if (name == QStringLiteral("--runs") && hasValue)
            args.runs = value.toInt();
        else if (name == QStringLiteral("--load-runs") && hasValue)
            args.loadRuns = value.toInt();
        else if (name == QStringLiteral("--preview-runs") && hasValue)
            args.previewRuns = value.toInt();
        else if (name == QStringLiteral("--profile") && hasValue)
            args.profileRuns = value.toInt();
        else if (name == QStringLiteral("--only") && hasValue)
            args.only = value;
        else
            used = false;
        if (!used) {
            std::fprintf(stderr, "usage: collection_bench --photos DIR --small DIR --saved DIR --preview FILE\n"
                                 "                        [--runs N] [--load-runs N] [--preview-runs N] "
                                 "[--only drop|load|preview]\n"
                                 "       collection_bench --preview FILE --profile N\n");
            return 2;
        }
        ++i;
    }
    if (args.profileRuns > 0)
        args.only = QStringLiteral("preview");
    const bool drops = args.only.isEmpty() || args.only == QStringLiteral("drop");
    const bool load = args.only.isEmpty() || args.only == QStringLiteral("load");
    const bool preview = args.only.isEmpty() || args.only == QStringLiteral("preview");
    if (!(drops || load || preview) || args.runs <= 0 || args.loadRuns <= 0 || args.previewRuns <= 0)
        Fail(QStringLiteral("--only takes drop, load or preview; the run counts must be positive"));
    if ((drops && (args.photos.isEmpty() || args.small.isEmpty())) || (load && args.saved.isEmpty())
        || (preview && args.preview.isEmpty()))
        Fail(QStringLiteral("a folder or file the chosen measurements need is missing (see --help)"));

    QTemporaryDir temporary;
    Expect(temporary.isValid(), QStringLiteral("no temporary folder"));
    const QDir work(temporary.path());

    std::printf("Machine: %s, %d cores; Qt %s on the %s platform, TurboJPEG %s.\n\n", qPrintable(bench::CpuModel()),
                QThread::idealThreadCount(), qVersion(), qPrintable(QGuiApplication::platformName()),
                TURNWISE_TURBOJPEG_VERSION);
    if (drops)
        MeasureDrops(args);
    if (load)
        MeasureLoad(args, work);
    if (preview)
        MeasurePreview(args, work);
    std::fflush(stdout);
    return 0;
}
