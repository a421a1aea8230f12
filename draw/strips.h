#pragma once
// Image strips: pictures holding the faces of several buttons side by side, the normal
// faces in the upper row and the pressed faces in the lower row. Every button is sized to
// one cell, so a face is always drawn at its own size.

#include "draw/image.h"
#include "resources/images.h"
#include "platform/ui_language.h"

#include <QRect>
#include <QSize>

#include <optional>

class QPainter;

namespace draw {

enum class StripKind {
    Save,   // Save selected, Save all; carries words, so one strip per language
    Delete, // Delete selected, Delete all; one strip per language
    Arrows, // previous and next picture
    Tools,  // seven small icons drawn over the workspace background with the colour key
};

// The resource number of a strip in the given UI language.
int StripResource(StripKind kind, platform::UiLanguage language);

// How many faces each row of a strip holds.
int FacesPerRow(StripKind kind);

// The cells of the tool strip are squares of this side.
inline constexpr int kToolCellSize = resources::kToolCellSize;

// Which face of which strip a workspace button shows.
struct StripFace {
    StripKind strip = StripKind::Save;
    int column = 0;
};

// The face of the button with this control id, or nothing for a control not drawn from a
// strip: 200/201 Save selected/all, 205/206 Delete selected/all, 213/214 previous/next
// picture, 216 home page (a house), 217 help page (a question mark), 218 minimise (a down
// arrow), 219 close (a cross).
std::optional<StripFace> StripFaceForButton(int controlId);

// Cell (column, pressed ? 1 : 0) of a strip of `stripSize` with `facesPerRow` faces per
// row: width and height are the strip's width / facesPerRow and height / 2, the top-left
// corner (column x cell width, row x cell height), every division truncated.
QRect StripCell(const QSize& stripSize, int facesPerRow, int column, bool pressed);

// The 17 x 17 square of the tool strip for a column.
QRect ToolCell(int column, bool pressed);

// Copies the face's cell of a two-button strip to (0, 0) of the button's surface, opaque.
// False, drawing nothing, when the cell cannot be cut out.
bool DrawStripFace(QPainter& button, const CImg& strip, int facesPerRow, int column, bool pressed);

// Fills the button's 17 x 17 square with the workspace background and draws the tool
// icon's cell over it, leaving out the colour key. False when the cell cannot be cut out
// (the background is drawn all the same).
bool DrawToolFace(QPainter& button, const CImg& tools, int column, bool pressed);

// Draws `face` by the rule of its strip: the tool rule for the tool strip, a plain copy
// for the others. `strip` is the picture of face.strip.
bool DrawButtonFace(QPainter& button, const CImg& strip, const StripFace& face, bool pressed);

} // namespace draw
