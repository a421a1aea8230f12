// Times thumbnail making: LoadFitted into 96 x 96 against a full decode followed by the
// bicubic rescale (what LoadFitted would cost without the reduction while decoding), and
// against vipsthumbnail making the same thumbnails, on large photographs made at run time.
//
//   thumbnail_bench [--runs N] [--work DIR] [--vipsthumbnail PATH] [--quick]
//
// Prints a Markdown report on standard output, progress on standard error. Each
// repetition runs the three contenders on a photograph once each, in an order that turns
// from one repetition to the next; figures are medians.

#include "bench/machine.h"
#include "collection/thumbnail.h"
#include "draw/image.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>

#include <turbojpeg.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace {

const QSize kBox(96, 96);

// vipsthumbnail's batched runs take this many pictures per process, so that its start-up
// is shared out.
constexpr int kBatch = 5;

struct TurboDeleter {
    void operator()(void* handle) const { tjDestroy(handle); }
};
using TurboHandle = std::unique_ptr<void, TurboDeleter>;

struct Photo {
    const char* label;
    int width;
    int height;
    bool progressive;
};

constexpr Photo kPhotos[] = {
    {"24 MP baseline", 6000, 4000, false},
    {"24 MP progressive", 6000, 4000, true},
    {"12 MP baseline", 4000, 3000, false},
    {"12 MP progressive", 4000, 3000, true},
};

void Say(const QString& text)
{
    std::fprintf(stderr, "thumbnail_bench: %s\n", qPrintable(text));
}

// Something with the make-up of a photograph for the encoder: shading at several scales,
// hard edges and sensor-like grain, so the entropy-coded data is about as dense as a
// camera's at quality 90.
std::vector<unsigned char> MakePixels(int width, int height)
{
    std::vector<unsigned char> pixels(static_cast<size_t>(width) * height * 3);
    std::vector<int> across(static_cast<size_t>(width));
    for (int x = 0; x < width; ++x) {
        const double u = double(x) / width;
        across[static_cast<size_t>(x)] = static_cast<int>(60 * std::sin(u * 9.0) + 25 * std::sin(u * 71.0) + 10 * std::sin(u * 403.0));
    }
    quint32 seed = 0x9E3779B9u;
    for (int y = 0; y < height; ++y) {
        const double v = double(y) / height;
        const int down = static_cast<int>(50 * std::cos(v * 7.0) + 20 * std::sin(v * 57.0));
        unsigned char* pixel = &pixels[static_cast<size_t>(y) * width * 3];
        for (int x = 0; x < width; ++x) {
            seed = seed * 1664525u + 1013904223u;
            const int grain = static_cast<int>((seed >> 24) % 25) - 12;
            const bool edge = ((x / 97) + (y / 61)) % 3 == 0;
            const int base = 120 + across[static_cast<size_t>(x)] + down;
            pixel[0] = static_cast<unsigned char>(std::clamp(base + grain + (edge ? 40 : 0), 0, 255));
            pixel[1] = static_cast<unsigned char>(std::clamp(base - down + grain / 2, 0, 255));
            pixel[2] = static_cast<unsigned char>(std::clamp(255 - base + grain + (edge ? -30 : 10), 0, 255));
            pixel += 3;
        }
    }
    return pixels;
}

QByteArray Encode(const Photo& photo)
{
    const std::vector<unsigned char> pixels = MakePixels(photo.width, photo.height);
    const TurboHandle compressor(tjInitCompress());
    unsigned char* jpeg = nullptr;
    unsigned long size = 0;
    const int flags = photo.progressive ? TJFLAG_PROGRESSIVE : 0;
    if (tjCompress2(compressor.get(), pixels.data(), photo.width, photo.width * 3, photo.height, TJPF_RGB, &jpeg,
                    &size, TJSAMP_420, 90, flags) != 0) {
        tjFree(jpeg);
        return {};
    }
    QByteArray bytes(reinterpret_cast<const char*>(jpeg), static_cast<qsizetype>(size));
    tjFree(jpeg);
    return bytes;
}

// The thumbnail without the reduction: the whole picture decoded, then rescaled.
// `decodeSeconds` receives the time the decoding took, file reading included.
bool FullDecodeThenRescale(const QString& path, draw::CImg& image, double& decodeSeconds)
{
    const auto start = std::chrono::steady_clock::now();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray bytes = file.readAll();
    const TurboHandle decompressor(tjInitDecompress());
    const auto* data = reinterpret_cast<const unsigned char*>(bytes.constData());
    const auto length = static_cast<unsigned long>(bytes.size());
    int width = 0, height = 0, sampling = 0, colourSpace = 0;
    if (tjDecompressHeader3(decompressor.get(), data, length, &width, &height, &sampling, &colourSpace) != 0)
        return false;
    QImage full(width, height, draw::kNormalFormat);
    if (tjDecompress2(decompressor.get(), data, length, full.bits(), width, static_cast<int>(full.bytesPerLine()),
                      height, TJPF_RGB, TJFLAG_LIMITSCANS) != 0)
        return false;
    decodeSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    QSize fitted(width, height);
    draw::FitToBox(fitted, kBox.width(), kBox.height());
    image.Attach(std::move(full));
    return image.ResizeTo(fitted.width(), fitted.height());
}

double Seconds(const std::function<bool()>& work, bool& ok)
{
    const auto start = std::chrono::steady_clock::now();
    ok = work() && ok;
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

QString Milliseconds(double seconds)
{
    return seconds < 0.1 ? QString::number(seconds * 1000, 'f', 1) + QStringLiteral(" ms")
                         : QString::number(seconds * 1000, 'f', 0) + QStringLiteral(" ms");
}

QString Ratio(double value)
{
    return QString::number(value, 'f', value < 10 ? 2 : 1) + QStringLiteral(" ×");
}

// One vipsthumbnail process making the thumbnails of `inputs`.
bool RunVips(const QString& program, const QStringList& inputs, const QString& output)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process.start(program, QStringList{QStringLiteral("--size"), QStringLiteral("%1x%2").arg(kBox.width()).arg(kBox.height()),
                                       QStringLiteral("-o"), output} + inputs);
    return process.waitForFinished(120000) && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}

QString FirstLine(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(10000))
        return {};
    return QString::fromLocal8Bit(process.readAllStandardOutput()).section(QLatin1Char('\n'), 0, 0).trimmed();
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    int runs = 9;
    QString workFolder;
    QString vips = QStandardPaths::findExecutable(QStringLiteral("vipsthumbnail"));
    const QStringList arguments = application.arguments();
    for (int i = 1; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        const bool hasValue = i + 1 < arguments.size();
        if (argument == QStringLiteral("--runs") && hasValue) {
            runs = arguments[++i].toInt();
        } else if (argument == QStringLiteral("--work") && hasValue) {
            workFolder = arguments[++i];
        } else if (argument == QStringLiteral("--vipsthumbnail") && hasValue) {
            vips = arguments[++i];
        } else if (argument == QStringLiteral("--quick")) {
            runs = 3;
        } else {
            std::fprintf(stderr, "usage: thumbnail_bench [--runs N] [--work DIR] [--vipsthumbnail PATH] [--quick]\n");
            return 2;
        }
    }
    if (runs <= 0) {
        std::fprintf(stderr, "thumbnail_bench: --runs needs a positive number\n");
        return 2;
    }
    if (vips.isEmpty()) {
        std::fprintf(stderr, "thumbnail_bench: vipsthumbnail not found (scripts/bootstrap --bench installs it)\n");
        return 2;
    }

    QTemporaryDir temporary;
    if (workFolder.isEmpty()) {
        if (!temporary.isValid())
            return 1;
        workFolder = temporary.path();
    } else if (!QDir().mkpath(workFolder)) {
        std::fprintf(stderr, "thumbnail_bench: cannot make %s\n", qPrintable(workFolder));
        return 1;
    }
    const QDir work(workFolder);

    struct Row {
        const Photo* photo;
        QString path;
        QStringList copies; // the photograph under kBatch names, for one vipsthumbnail run
        qint64 bytes = 0;
        std::vector<double> ours, full, fullDecode, vips, vipsBatch;
    };
    std::vector<Row> rows;
    for (const Photo& photo : kPhotos) {
        Say(QStringLiteral("making the %1 photograph").arg(QString::fromLatin1(photo.label)));
        const QByteArray jpeg = Encode(photo);
        const QString path = work.filePath(QStringLiteral("photo_%1x%2%3.jpg")
                                               .arg(photo.width)
                                               .arg(photo.height)
                                               .arg(photo.progressive ? QStringLiteral("_progressive") : QString()));
        QFile file(path);
        if (jpeg.isEmpty() || !file.open(QIODevice::WriteOnly) || file.write(jpeg) != jpeg.size()) {
            std::fprintf(stderr, "thumbnail_bench: cannot write %s\n", qPrintable(path));
            return 1;
        }
        QStringList copies;
        for (int i = 0; i < kBatch; ++i) {
            copies << work.filePath(QStringLiteral("copy%1_").arg(i) + QFileInfo(path).fileName());
            QFile::remove(copies.back());
            if (!QFile::copy(path, copies.back())) {
                std::fprintf(stderr, "thumbnail_bench: cannot write %s\n", qPrintable(copies.back()));
                return 1;
            }
        }
        rows.push_back(Row{&photo, path, copies, jpeg.size(), {}, {}, {}, {}, {}});
    }
    const QString vipsOutput = work.filePath(QStringLiteral("%s_vips.jpg"));

    bool ok = true;
    for (Row& row : rows) {
        Say(QStringLiteral("timing %1, %2 runs").arg(QString::fromLatin1(row.photo->label)).arg(runs));
        // One untimed round first, so every contender meets a warm file cache.
        draw::CImg warm;
        QSize size = kBox;
        ok = collection::LoadFitted(warm, row.path, size) && RunVips(vips, row.copies, vipsOutput) && ok;
        for (int run = 0; run < runs; ++run) {
            const std::function<void()> contenders[] = {
                [&] {
                    draw::CImg image;
                    QSize box = kBox;
                    row.ours.push_back(Seconds([&] { return collection::LoadFitted(image, row.path, box); }, ok));
                    QSize expected(row.photo->width, row.photo->height);
                    draw::FitToBox(expected, kBox.width(), kBox.height());
                    ok = ok && image.GetSize() == expected;
                },
                [&] {
                    draw::CImg image;
                    double decode = 0;
                    row.full.push_back(Seconds([&] { return FullDecodeThenRescale(row.path, image, decode); }, ok));
                    row.fullDecode.push_back(decode);
                },
                [&] { row.vips.push_back(Seconds([&] { return RunVips(vips, {row.path}, vipsOutput); }, ok)); },
                [&] {
                    const double seconds = Seconds([&] { return RunVips(vips, row.copies, vipsOutput); }, ok);
                    row.vipsBatch.push_back(seconds / kBatch);
                },
            };
            const int count = static_cast<int>(std::size(contenders));
            for (int i = 0; i < count; ++i)
                contenders[(run + i) % count]();
        }
    }
    if (!ok) {
        std::fprintf(stderr, "thumbnail_bench: a contender failed; no figures\n");
        return 1;
    }

    std::printf("Machine: %s, %d cores; Qt %s, %s, %s. Thumbnails fitted into %d × %d; medians of %d runs.\n\n",
                qPrintable(bench::CpuModel()), QThread::idealThreadCount(), qVersion(), "TurboJPEG " TURNWISE_TURBOJPEG_VERSION,
                qPrintable(FirstLine(vips, {QStringLiteral("--vips-version")})), kBox.width(), kBox.height(), runs);
    std::printf("| photograph | file | LoadFitted | full decode + bicubic (of which decoding) | full / LoadFitted | "
                "vipsthumbnail, one process per picture | ratio | vipsthumbnail, %d pictures per process, per picture | "
                "ratio |\n",
                kBatch);
    std::printf("|---|---:|---:|---:|---:|---:|---:|---:|---:|\n");
    int tenfold = 0;
    int notSlower = 0;
    double lowestSpeedUp = 1e9;
    for (const Row& row : rows) {
        const double ours = Median(row.ours);
        const double full = Median(row.full);
        const double single = Median(row.vips);
        const double batched = Median(row.vipsBatch);
        tenfold += full / ours >= 10 ? 1 : 0;
        notSlower += batched >= ours ? 1 : 0;
        lowestSpeedUp = std::min(lowestSpeedUp, full / ours);
        std::printf("| %s | %.1f MB | %s | %s (%s) | %s | %s | %s | %s | %s |\n", row.photo->label, row.bytes / 1e6,
                    qPrintable(Milliseconds(ours)), qPrintable(Milliseconds(full)),
                    qPrintable(Milliseconds(Median(row.fullDecode))), qPrintable(Ratio(full / ours)),
                    qPrintable(Milliseconds(single)), qPrintable(Ratio(single / ours)), qPrintable(Milliseconds(batched)),
                    qPrintable(Ratio(batched / ours)));
    }
    const int count = static_cast<int>(rows.size());
    std::printf("\nRatios are the other's time divided by LoadFitted's: above 1, LoadFitted is faster.\n");
    std::printf("\nAims: at least 10 × faster than the full decode: met for %d of %d photographs (lowest %s). "
                "No slower than vipsthumbnail per picture (%d per process): met for %d of %d.\n",
                tenfold, count, qPrintable(Ratio(lowestSpeedUp)), kBatch, notSlower, count);
    return 0;
}
