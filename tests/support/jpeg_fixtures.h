#pragma once
// JPEG files made at test time, and the peer tools (cjpeg, jpegtran, exiftool) that make
// and check them.

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

namespace testsupport {

// The full path of a tool on PATH, or empty.
QString FindTool(const QString& name);

struct ToolRun {
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};
// Runs a tool to its end (stdin fed from `input`).
ToolRun RunTool(const QString& program, const QStringList& args, const QByteArray& input = {});

QByteArray ReadFile(const QString& path);
bool WriteFile(const QString& path, const QByteArray& bytes);

// A deterministic picture with smooth gradients, edges and some texture, as raw PPM (3
// channels) or PGM (1 channel) bytes, so that encoders see something photo-like.
QByteArray MakePortableMap(int width, int height, bool gray);

// Encodes a made-up picture with cjpeg and the given arguments (e.g. "-sample", "2x2",
// "-progressive", "-grayscale", "-rgb", "-restart", "1"). Empty on failure.
QByteArray EncodeWithCjpeg(int width, int height, const QStringList& cjpegArgs, bool gray = false);

// A four-component JPEG with an Adobe marker: YCCK as TurboJPEG writes it, or plain CMYK.
QByteArray EncodeFourComponent(int width, int height, bool ycck);

// Builds a marker segment (0xFF, marker, length, payload).
QByteArray Segment(unsigned char marker, const QByteArray& payload);

// An Exif APP1 segment with Orientation in the first directory and PixelXDimension and
// PixelYDimension (LONG) in the Exif sub-directory, in big- or little-endian byte order.
QByteArray ExifSegment(quint32 pixelX, quint32 pixelY, quint16 orientation, bool bigEndian);

// The JPEG with `segments` inserted right after SOI; the JFIF APP0 that cjpeg writes is
// removed first when `dropJfif`.
QByteArray WithSegmentsAfterSoi(const QByteArray& jpeg, const QByteArray& segments, bool dropJfif);

// The markers of the header, in order, from SOI up to and including the first SOS.
std::vector<unsigned char> HeaderMarkers(const QByteArray& jpeg);

// Width and height from the first SOF marker.
std::optional<std::pair<int, int>> FrameSize(const QByteArray& jpeg);

// The JPEG with the frame's width and height replaced (to fake absurd dimensions).
QByteArray WithFrameSize(const QByteArray& jpeg, int width, int height);

// jpegtran -copy all with the given transform arguments (e.g. {"-rotate", "90"}) from
// `source` into `destination`; false when jpegtran fails.
bool JpegtranTransform(const QString& source, const QString& destination, const QStringList& transformArgs);

// The jpegtran arguments for one of the library's transform codes (1, 2, 5, 6, 7).
QStringList JpegtranArgsForCode(int code);

} // namespace testsupport
