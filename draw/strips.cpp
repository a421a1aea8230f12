#include "draw/strips.h"

#include "draw/palette.h"
#include "resources/images.h"

#include <QPainter>

#include <array>

namespace draw {
namespace {

struct StripLayout {
    StripKind kind;
    int japaneseResource;
    int englishResource;
    int facesPerRow;
};

constexpr std::array<StripLayout, 4> kStrips{{
    {StripKind::Save, resources::kIdbSaveStripJapanese, resources::kIdbSaveStripEnglish, 2},
    {StripKind::Delete, resources::kIdbDeleteStripJapanese, resources::kIdbDeleteStripEnglish, 2},
    {StripKind::Arrows, resources::kIdbArrowStrip, resources::kIdbArrowStrip, 2},
    {StripKind::Tools, resources::kIdbToolStrip, resources::kIdbToolStrip, 7},
}};

struct ButtonFace {
    int controlId;
    StripFace face;
};

constexpr std::array<ButtonFace, 10> kButtonFaces{{
    {200, {StripKind::Save, 0}},
    {201, {StripKind::Save, 1}},
    {205, {StripKind::Delete, 0}},
    {206, {StripKind::Delete, 1}},
    {213, {StripKind::Arrows, 0}},
    {214, {StripKind::Arrows, 1}},
    {216, {StripKind::Tools, 1}},
    {217, {StripKind::Tools, 3}},
    {218, {StripKind::Tools, 4}},
    {219, {StripKind::Tools, 5}},
}};

const StripLayout& LayoutOf(StripKind kind)
{
    for (const StripLayout& layout : kStrips) {
        if (layout.kind == kind)
            return layout;
    }
    return kStrips.front(); // every kind is listed above
}

} // namespace

int StripResource(StripKind kind, platform::UiLanguage language)
{
    const StripLayout& layout = LayoutOf(kind);
    return language == platform::UiLanguage::Japanese ? layout.japaneseResource : layout.englishResource;
}

int FacesPerRow(StripKind kind)
{
    return LayoutOf(kind).facesPerRow;
}

std::optional<StripFace> StripFaceForButton(int controlId)
{
    for (const ButtonFace& entry : kButtonFaces) {
        if (entry.controlId == controlId)
            return entry.face;
    }
    return std::nullopt;
}

QRect StripCell(const QSize& stripSize, int facesPerRow, int column, bool pressed)
{
    if (facesPerRow <= 0)
        return {};
    const int width = stripSize.width() / facesPerRow;
    const int height = stripSize.height() / 2;
    return QRect(column * width, (pressed ? 1 : 0) * height, width, height);
}

QRect ToolCell(int column, bool pressed)
{
    return QRect(kToolCellSize * column, kToolCellSize * (pressed ? 1 : 0), kToolCellSize, kToolCellSize);
}

bool DrawStripFace(QPainter& button, const CImg& strip, int facesPerRow, int column, bool pressed)
{
    const std::optional<CImg> face = CropImage(StripCell(strip.GetSize(), facesPerRow, column, pressed), strip);
    if (!face)
        return false;
    face->Draw(button, 0, 0);
    return true;
}

bool DrawToolFace(QPainter& button, const CImg& tools, int column, bool pressed)
{
    const std::optional<CImg> face = CropImage(ToolCell(column, pressed), tools);
    button.fillRect(QRect(0, 0, kToolCellSize, kToolCellSize), QColor(kWorkspaceBackground));
    if (!face)
        return false;
    face->DrawKeyed(button, 0, 0, kToolCellSize, kToolCellSize);
    return true;
}

bool DrawButtonFace(QPainter& button, const CImg& strip, const StripFace& face, bool pressed)
{
    if (face.strip == StripKind::Tools)
        return DrawToolFace(button, strip, face.column, pressed);
    return DrawStripFace(button, strip, FacesPerRow(face.strip), face.column, pressed);
}

} // namespace draw
