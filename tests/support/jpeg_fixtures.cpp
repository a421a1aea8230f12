#include "tests/support/jpeg_fixtures.h"

#include <turbojpeg.h>

#include <QFile>
#include <QProcess>
#include <QStandardPaths>

#include <cmath>
#include <memory>

namespace testsupport {

QString FindTool(const QString& name)
{
    return QStandardPaths::findExecutable(name);
}

ToolRun RunTool(const QString& program, const QStringList& args, const QByteArray& input)
{
    QProcess process;
    process.start(program, args);
    ToolRun run;
    if (!process.waitForStarted())
        return run;
    process.write(input);
    process.closeWriteChannel();
    process.waitForFinished(-1);
    run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.out = process.readAllStandardOutput();
    run.err = process.readAllStandardError();
    return run;
}

QByteArray ReadFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool WriteFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QByteArray MakePortableMap(int width, int height, bool gray)
{
    const int channels = gray ? 1 : 3;
    QByteArray map = QByteArrayLiteral("P") + (gray ? "5" : "6") + ' ' + QByteArray::number(width) + ' '
                     + QByteArray::number(height) + " 255\n";
    const qsizetype header = map.size();
    map.resize(header + qsizetype(width) * height * channels);
    unsigned seed = 12345;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            seed = seed * 1103515245u + 12345u;
            const int noise = int((seed >> 16) % 24) - 12;
            const bool inDisc = std::hypot(x - width / 3.0, y - height / 2.0) < std::min(width, height) / 4.0;
            for (int c = 0; c < channels; ++c) {
                int v = (x * 255 / std::max(1, width - 1) * (c + 1) + y * 255 / std::max(1, height - 1) * (3 - c)) / 4;
                if (inDisc)
                    v = 255 - v;
                map[header + (qsizetype(y) * width + x) * channels + c] = char(std::clamp(v + noise, 0, 255));
            }
        }
    }
    return map;
}

QByteArray EncodeWithCjpeg(int width, int height, const QStringList& cjpegArgs, bool gray)
{
    const ToolRun run = RunTool(FindTool(QStringLiteral("cjpeg")), cjpegArgs, MakePortableMap(width, height, gray));
    return run.exitCode == 0 ? run.out : QByteArray();
}

QByteArray EncodeFourComponent(int width, int height, bool ycck)
{
    struct Deleter {
        void operator()(void* handle) const { tjDestroy(handle); }
    };
    const std::unique_ptr<void, Deleter> compressor(tjInitCompress());
    std::vector<unsigned char> pixels(std::size_t(width) * std::size_t(height) * 4);
    for (std::size_t i = 0; i < pixels.size(); ++i)
        pixels[i] = static_cast<unsigned char>((i * 7 + i / 4096) & 0xFF);
    unsigned char* out = nullptr;
    unsigned long size = 0;
    if (tjCompress2(compressor.get(), pixels.data(), width, 0, height, TJPF_CMYK, &out, &size, TJSAMP_444, 90, 0) != 0)
        return {};
    QByteArray jpeg(reinterpret_cast<const char*>(out), qsizetype(size));
    tjFree(out);
    if (!ycck) {
        // The Adobe marker's last byte names the colour transform: 2 is YCCK, 0 plain CMYK.
        const qsizetype adobe = jpeg.indexOf(QByteArrayLiteral("\xFF\xEE\x00\x0E" "Adobe"));
        if (adobe < 0)
            return {};
        jpeg[adobe + 4 + 11] = 0;
    }
    return jpeg;
}

QByteArray Segment(unsigned char marker, const QByteArray& payload)
{
    QByteArray segment;
    segment.append(char(0xFF)).append(char(marker));
    const int length = int(payload.size()) + 2;
    segment.append(char(length >> 8)).append(char(length & 0xFF));
    return segment + payload;
}

QByteArray ExifSegment(quint32 pixelX, quint32 pixelY, quint16 orientation, bool bigEndian)
{
    QByteArray tiff;
    const auto put16 = [&](quint32 v) {
        if (bigEndian)
            tiff.append(char(v >> 8)).append(char(v));
        else
            tiff.append(char(v)).append(char(v >> 8));
    };
    const auto put32 = [&](quint32 v) {
        if (bigEndian) {
            put16(v >> 16);
            put16(v & 0xFFFF);
        } else {
            put16(v & 0xFFFF);
            put16(v >> 16);
        }
    };
    const auto entry = [&](quint16 tag, quint16 type, quint32 count, quint32 value, bool isShort) {
        put16(tag);
        put16(type);
        put32(count);
        if (isShort) {
            put16(value);
            put16(0);
        } else {
            put32(value);
        }
    };
    tiff.append(bigEndian ? "MM" : "II");
    put16(42);
    put32(8); // first directory right after the header
    // First directory: Orientation and the Exif sub-directory pointer.
    const quint32 exifOffset = 8 + 2 + 2 * 12 + 4;
    put16(2);
    entry(0x0112, 3, 1, orientation, true);
    entry(0x8769, 4, 1, exifOffset, false);
    put32(0);
    // Exif sub-directory: the pixel dimensions as LONG values.
    put16(2);
    entry(0xA002, 4, 1, pixelX, false);
    entry(0xA003, 4, 1, pixelY, false);
    put32(0);
    return Segment(0xE1, QByteArray("Exif\0\0", 6) + tiff);
}

QByteArray WithSegmentsAfterSoi(const QByteArray& jpeg, const QByteArray& segments, bool dropJfif)
{
    QByteArray rest = jpeg.mid(2);
    if (dropJfif && rest.size() > 4 && uchar(rest[0]) == 0xFF && uchar(rest[1]) == 0xE0) {
        const int length = (uchar(rest[2]) << 8) | uchar(rest[3]);
        rest = rest.mid(2 + length);
    }
    return jpeg.left(2) + segments + rest;
}

std::vector<unsigned char> HeaderMarkers(const QByteArray& jpeg)
{
    std::vector<unsigned char> markers;
    if (jpeg.size() < 2 || uchar(jpeg[0]) != 0xFF || uchar(jpeg[1]) != 0xD8)
        return markers;
    markers.push_back(0xD8);
    qsizetype at = 2;
    while (at + 4 <= jpeg.size() && uchar(jpeg[at]) == 0xFF) {
        const unsigned char marker = uchar(jpeg[at + 1]);
        markers.push_back(marker);
        if (marker == 0xDA)
            break;
        at += 2 + ((uchar(jpeg[at + 2]) << 8) | uchar(jpeg[at + 3]));
    }
    return markers;
}

namespace {

qsizetype FrameMarkerAt(const QByteArray& jpeg)
{
    qsizetype at = 2;
    while (at + 9 <= jpeg.size() && uchar(jpeg[at]) == 0xFF) {
        const unsigned char marker = uchar(jpeg[at + 1]);
        if (marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC)
            return at;
        at += 2 + ((uchar(jpeg[at + 2]) << 8) | uchar(jpeg[at + 3]));
    }
    return -1;
}

} // namespace

std::optional<std::pair<int, int>> FrameSize(const QByteArray& jpeg)
{
    const qsizetype at = FrameMarkerAt(jpeg);
    if (at < 0)
        return std::nullopt;
    const int height = (uchar(jpeg[at + 5]) << 8) | uchar(jpeg[at + 6]);
    const int width = (uchar(jpeg[at + 7]) << 8) | uchar(jpeg[at + 8]);
    return std::make_pair(width, height);
}

QByteArray WithFrameSize(const QByteArray& jpeg, int width, int height)
{
    QByteArray patched = jpeg;
    const qsizetype at = FrameMarkerAt(patched);
    if (at < 0)
        return {};
    patched[at + 5] = char(height >> 8);
    patched[at + 6] = char(height);
    patched[at + 7] = char(width >> 8);
    patched[at + 8] = char(width);
    return patched;
}

bool JpegtranTransform(const QString& source, const QString& destination, const QStringList& transformArgs)
{
    QStringList args{QStringLiteral("-copy"), QStringLiteral("all")};
    args += transformArgs;
    args += {QStringLiteral("-outfile"), destination, source};
    // jpegtran ends with 2 when it wrote its result despite warnings about damaged data.
    const int exitCode = RunTool(FindTool(QStringLiteral("jpegtran")), args).exitCode;
    return exitCode == 0 || exitCode == 2;
}

QStringList JpegtranArgsForCode(int code)
{
    switch (code) {
    case 1: return {QStringLiteral("-flip"), QStringLiteral("horizontal")};
    case 2: return {QStringLiteral("-flip"), QStringLiteral("vertical")};
    case 5: return {QStringLiteral("-rotate"), QStringLiteral("90")};
    case 6: return {QStringLiteral("-rotate"), QStringLiteral("180")};
    case 7: return {QStringLiteral("-rotate"), QStringLiteral("270")};
    default: return {};
    }
}

} // namespace testsupport
