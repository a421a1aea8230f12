#include "engine/transform.h"

#include "engine/path_rules.h"
#include "platform/file_system.h"
#include "platform/path_text.h"

#include <turbojpeg.h>


#include <algorithm>
#include <climits>
#include <cstdio>
#include <memory>

namespace engine {
namespace {

// The extension of the intermediate file of a two-pass save.
const QString kTwoPassExtension = QStringLiteral(".tmp2");

// Lets the library read past no more progressive scans than this (it guards against
// files crafted to take forever); real photographs use a dozen or so.
constexpr int kTransformFlags = TJFLAG_LIMITSCANS;

// The first output buffer holds twice the source and a little more: a sequential result of
// a progressive source is somewhat larger than its source, never twice as large.
constexpr unsigned long kOutputBufferFactor = 2;
constexpr unsigned long kOutputBufferSlack = 1 << 20;

struct TransformerDeleter {
    void operator()(void* handle) const { tjDestroy(handle); }
};
using Transformer = std::unique_ptr<void, TransformerDeleter>;

struct JpegBufferDeleter {
    void operator()(unsigned char* buffer) const { tjFree(buffer); }
};
using JpegBuffer = std::unique_ptr<unsigned char, JpegBufferDeleter>;

int LibraryOperation(int code)
{
    switch (code) {
    case kFlipHorizontal: return TJXOP_HFLIP;
    case kFlipVertical: return TJXOP_VFLIP;
    case kRotate90: return TJXOP_ROT90;
    case kRotate180: return TJXOP_ROT180;
    case kRotate270: return TJXOP_ROT270;
    default: return -1;
    }
}

// Every entropy-coded JPEG the library finishes ends with the EOI marker.
bool EndsWithEndOfImage(const unsigned char* data, unsigned long size)
{
    return data && size >= 2 && data[size - 2] == 0xFF && data[size - 1] == 0xD9;
}

TransformResult Report(TransformStatus status, const QString& message, const QByteArray& source,
                       const TransformOptions& options)
{
    const bool worthSaying = status == TransformStatus::Failed || status == TransformStatus::WrittenWithWarnings;
    if (options.printMessages && worthSaying && !message.isEmpty()) {
        const char* kind = status == TransformStatus::WrittenWithWarnings ? "warning" : "error";
        std::fprintf(stderr, "%s: %s: %s\n", source.constData(), kind, message.toLocal8Bit().constData());
    }
    return {status, message};
}

} // namespace

std::vector<TransformCode> PassesFor(const RotationSettings& settings)
{
    std::vector<TransformCode> passes;
    if (settings.m_nFlip != 0)
        passes.push_back(settings.m_nFlip == 1 ? kFlipHorizontal : kFlipVertical);
    if (settings.m_nRotation != 0)
        passes.push_back(settings.m_nRotation == 1 ? kRotate90 : settings.m_nRotation == 2 ? kRotate180 : kRotate270);
    return passes;
}

QByteArray ToNarrowPath(const QString& path)
{
    return platform::NarrowPath(path);
}

TransformResult TransformJpegFile(const QByteArray& source, const QByteArray& destination, int code,
                                  const TransformOptions& options)
{
    const auto fail = [&](const QString& message) {
        return Report(TransformStatus::Failed, message, source, options);
    };
    const int operation = LibraryOperation(code);
    if (operation < 0)
        return fail(QStringLiteral("unknown transform code %1").arg(code));

    platform::FileContents input;
    QString readError;
    if (!platform::ReadWholeFile(source, input, &readError))
        return fail(readError);

    const Transformer transformer(tjInitTransform());
    if (!transformer)
        return fail(QString::fromLocal8Bit(tjGetErrorStr2(nullptr)));
    void* const handle = transformer.get();
    const auto libraryMessage = [&] { return QString::fromLocal8Bit(tjGetErrorStr2(handle)); };

    // Look at the header first, so that a source announcing absurd dimensions is refused
    // before the library allocates its coefficient arrays.
    int width = 0, height = 0, subsampling = 0, colorspace = 0;
    if (tjDecompressHeader3(handle, input.data.get(), input.size, &width, &height, &subsampling, &colorspace) != 0)
        return fail(libraryMessage());
    const std::uint64_t pixels = std::uint64_t(width) * std::uint64_t(height);
    if (pixels > options.maxSourcePixels)
        return fail(QStringLiteral("%1 x %2 pixels is more than this program transforms (%3 megapixels)")
                        .arg(width).arg(height).arg(options.maxSourcePixels / 1000000));

    tjtransform transform{};
    transform.op = operation; // markers copied, no trimming, not perfect, no crop, no grayscale
    // The result is about as large as the source. A buffer of ample size, whose pages are
    // only touched as far as the result reaches, spares the library's growing by doubling
    // and copying; should the result outgrow it all the same, the library moves it to a
    // larger buffer of its own.
    unsigned long outputSize = static_cast<unsigned long>(input.size * kOutputBufferFactor + kOutputBufferSlack);
    const JpegBuffer firstBuffer(tjAlloc(static_cast<int>(std::min<unsigned long>(outputSize, INT_MAX))));
    unsigned char* output = firstBuffer.get();
    if (!output || outputSize > INT_MAX)
        outputSize = 0;
    const int status = tjTransform(handle, input.data.get(), input.size, 1, &output, &outputSize, &transform,
                                   kTransformFlags);
    const JpegBuffer grownBuffer(output != firstBuffer.get() ? output : nullptr);
    input = {};

    // A warning makes the call report an error too; only a complete result counts as written.
    // (A fatal error after an earlier warning also reads as a warning, hence the end check.)
    QString warning;
    if (status != 0) {
        if (tjGetErrorCode(handle) != TJERR_WARNING || !EndsWithEndOfImage(output, outputSize))
            return fail(libraryMessage());
        warning = libraryMessage();
    }

    QString writeError;
    switch (platform::WriteNewFile(destination, output, outputSize, &writeError)) {
    case platform::CreateResult::Created:
        break;
    case platform::CreateResult::Exists:
        return Report(TransformStatus::DestinationExists,
                      QStringLiteral("%1 already exists").arg(platform::WidePath(destination)), source, options);
    case platform::CreateResult::Failed:
        return fail(QStringLiteral("cannot write %1: %2").arg(platform::WidePath(destination), writeError));
    }
    if (!warning.isEmpty())
        return Report(TransformStatus::WrittenWithWarnings, warning, source, options);
    return {TransformStatus::Written, {}};
}

TransformResult SaveWithSettings(const QString& source, const QString& destination,
                                 const RotationSettings& settings, const TransformOptions& options)
{
    const std::vector<TransformCode> passes = PassesFor(settings);
    const QByteArray narrowSource = ToNarrowPath(source);
    const QByteArray narrowDestination = ToNarrowPath(destination);
    if (passes.empty())
        return {TransformStatus::Failed, QStringLiteral("no flip or rotation chosen")};
    if (passes.size() == 1)
        return TransformJpegFile(narrowSource, narrowDestination, passes.front(), options);

    // Mirror into a temporary file of our own, then turn that into the destination.
    QByteArray temporary;
    TransformResult first;
    do {
        temporary = ToNarrowPath(MakeTempPath(kTwoPassExtension));
        first = TransformJpegFile(narrowSource, temporary, passes[0], options);
    } while (first.status == TransformStatus::DestinationExists);
    if (!first)
        return first;
    TransformResult second = TransformJpegFile(temporary, narrowDestination, passes[1], options);
    platform::RemoveFile(temporary);
    if (second.status == TransformStatus::Written && first.status == TransformStatus::WrittenWithWarnings)
        return first;
    return second;
}

TransformResult SaveToFreeName(const QString& source, const QString& wanted, const RotationSettings& settings,
                               QString* written, const TransformOptions& options)
{
    for (;;) {
        QString path = wanted;
        MakeUniquePath(path);
        TransformResult result = SaveWithSettings(source, path, settings, options);
        if (result.status != TransformStatus::DestinationExists) {
            if (written)
                *written = path;
            return result;
        }
    }
}

} // namespace engine
