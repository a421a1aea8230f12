#pragma once
// The lossless transform: JPEG coefficient blocks are rearranged by the JPEG library,
// never decoded to pixels and encoded again.

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <vector>

namespace engine {

// The library's transform codes; only these five are ever requested.
enum TransformCode : int {
    kFlipHorizontal = 1,
    kFlipVertical = 2,
    kRotate90 = 5,
    kRotate180 = 6,
    kRotate270 = 7,
};

// The user's choice. m_nFlip: 0 none, 1 horizontal, 2 vertical; m_nRotation: 0 none,
// 1 = 90, 2 = 180, 4 = 270 degrees clockwise. Any other non-zero value means the last
// choice of its group (vertical, 270 degrees).
struct RotationSettings {
    int m_nFlip = 0;
    int m_nRotation = 0;

    bool IsNone() const { return m_nFlip == 0 && m_nRotation == 0; }
};

// The transform codes that SaveWithSettings runs, in order: the flip first, then the
// rotation. Empty when the settings choose nothing.
std::vector<TransformCode> PassesFor(const RotationSettings& settings);

// Sources announcing more pixels than this are refused before any large allocation.
// The coefficients of a source take up to 6 bytes per pixel (4:4:4), and turns need a
// second set, so this bounds one transform at about 3 GiB.
inline constexpr std::uint64_t kMaxSourcePixels = std::uint64_t{1} << 28;

struct TransformOptions {
    std::uint64_t maxSourcePixels = kMaxSourcePixels;
    // Write the library's warnings and errors to standard error.
    bool printMessages = true;
};

enum class TransformStatus {
    Written,             // the destination holds the whole result
    WrittenWithWarnings, // written from damaged data the library could read past
    DestinationExists,   // the destination name is taken; nothing was written
    Failed,              // nothing was written
};

struct TransformResult {
    TransformStatus status = TransformStatus::Failed;
    QString message; // the library's or the system's words when not plainly Written

    bool ok() const { return status == TransformStatus::Written || status == TransformStatus::WrittenWithWarnings; }
    explicit operator bool() const { return ok(); }
};

// The byte form of a path that the file layer takes.
QByteArray ToNarrowPath(const QString& path);

// Applies one transform code to `source` and writes `destination`, which is created
// exclusively: an existing name is never opened or replaced. Markers are copied, nothing
// is trimmed, the result is sequential with the library's default Huffman tables.
TransformResult TransformJpegFile(const QByteArray& source, const QByteArray& destination, int code,
                                  const TransformOptions& options = {});

// Runs the passes of `settings` from `source` to `destination`; two passes go through a
// ".tmp2" file in the temporary folder, which is removed afterwards.
TransformResult SaveWithSettings(const QString& source, const QString& destination,
                                 const RotationSettings& settings, const TransformOptions& options = {});

// Saves under `wanted` made unique. Should another process take the chosen name before it
// is written, the next free name is taken. `written` receives the name used.
TransformResult SaveToFreeName(const QString& source, const QString& wanted, const RotationSettings& settings,
                               QString* written, const TransformOptions& options = {});

} // namespace engine
