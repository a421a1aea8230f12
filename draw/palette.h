#pragma once
// The colours of the workspace, shared by the list, the preview and the workspace painting.

#include "resources/images.h"

#include <QColor>

namespace draw {

// Workspace background; background of the tool buttons and of the caption text.
inline constexpr QRgb kWorkspaceBackground = resources::kToolBackground;
// Thumbnail list background and its unselected rows; preview background.
inline constexpr QRgb kListBackground = qRgb(229, 234, 238);
// Selected rows of the thumbnail list.
inline constexpr QRgb kSelectedRow = qRgb(255, 234, 238);
// Text of the list rows.
inline constexpr QRgb kRowText = qRgb(96, 96, 96);
// The caption line with the counts.
inline constexpr QRgb kCaptionText = qRgb(88, 123, 194);
// kColourKey (image.h): the colour keyed copies never draw.

} // namespace draw
