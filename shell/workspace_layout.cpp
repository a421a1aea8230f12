#include "shell/workspace_layout.h"

#include <algorithm>

namespace shell {
namespace {

// A rectangle from its left, top, width and height, with a size that cannot go negative.
QRect Box(int left, int top, int width, int height)
{
    return QRect(left, top, std::max(0, width), std::max(0, height));
}

int Proportion(double fraction, int length)
{
    return RoundHalfUp(fraction * length);
}

} // namespace

int RoundHalfUp(double value)
{
    return static_cast<int>(value + 0.5);
}

QRect HelpPanelRect(QSize client)
{
    const int clientWidth = std::max(0, client.width());
    const int clientHeight = std::max(0, client.height());
    const int areaLeft = Proportion(kListLeft, clientWidth);
    const int areaTop = Proportion(kHelpAreaTop, clientHeight);
    const int areaWidth = Proportion(kListWidth, clientWidth);
    const int areaHeight = Proportion(kHelpAreaHeight, clientHeight);
    const int panelWidth = kHelpPanelSize.width();
    const int panelHeight = kHelpPanelSize.height();
    // Corners, not a size: halving an odd difference below zero truncates toward zero, so
    // on an area narrower than the card the card can come out a pixel smaller.
    const QPoint topLeft(areaLeft + (areaWidth - panelWidth) / 2, areaTop + (areaHeight - panelHeight) / 2);
    const QPoint bottomRight(areaLeft + (areaWidth + panelWidth) / 2, areaTop + (areaHeight + panelHeight) / 2);
    return QRect(topLeft, QSize(bottomRight.x() - topLeft.x(), bottomRight.y() - topLeft.y()));
}

WorkspaceLayout WorkspaceLayout::Compute(QSize client, const StripSizes& strips)
{
    const int width = std::max(0, client.width());
    const int height = std::max(0, client.height());

    // Buttons are one face of their strip: half its width (two faces a row), half its height.
    const QSize saveFace(strips.save.width() / 2, strips.save.height() / 2);
    const QSize deleteFace(strips.remove.width() / 2, strips.remove.height() / 2);
    const QSize arrowFace(strips.arrows.width() / 2, strips.arrows.height() / 2);

    // A pair's proportion is the middle of its button: the left edge is half a face, a
    // quarter of the strip, before it.
    const int saveTop = height - saveFace.height() - kSaveBottomGap;
    const int deleteTop = height - deleteFace.height() - kDeleteBottomGap;
    const int radioLeft = Proportion(kRadioLeft, width);
    const QRect preview = Box(Proportion(kPreviewLeft, width), kPreviewTop, Proportion(kPreviewWidth, width),
                              height - kPreviewBottomGap - kPreviewTop);
    // QRect::right() is one short of the edge; the arrows are placed from the edges.
    const int previewRightEdge = preview.x() + preview.width();
    const int previewBottomEdge = preview.y() + preview.height();
    const int arrowTop = previewBottomEdge - arrowFace.height();

    WorkspaceLayout layout;
    auto place = [&layout](int id, QRect rect) {
        for (Place& entry : layout.m_places) {
            if (entry.id == id)
                entry.rect = rect;
        }
    };
    for (std::size_t i = 0; i < kLaidOutControls.size(); ++i)
        layout.m_places[i].id = kLaidOutControls[i];

    place(kIdcSaveSelected, Box(Proportion(kSaveSelectedCentreX, width) - strips.save.width() / 4, saveTop,
                                saveFace.width(), saveFace.height()));
    place(kIdcSaveAll, Box(Proportion(kSaveAllCentreX, width) - strips.save.width() / 4, saveTop,
                           saveFace.width(), saveFace.height()));
    place(kIdcImageList, Box(Proportion(kListLeft, width), kListTop, Proportion(kListWidth, width),
                             height - kListTop - kListBottomGap));
    place(kIdcDeleteSelected, Box(Proportion(kDeleteSelectedCentreX, width) - strips.remove.width() / 4,
                                  deleteTop, deleteFace.width(), deleteFace.height()));
    place(kIdcDeleteAll, Box(Proportion(kDeleteAllCentreX, width) - strips.remove.width() / 4, deleteTop,
                             deleteFace.width(), deleteFace.height()));

    const std::array<int, 3> flipIds{kIdcNoFlipping, kIdcFlipHorizontal, kIdcFlipVertical};
    for (std::size_t i = 0; i < flipIds.size(); ++i)
        place(flipIds[i], Box(radioLeft, kFlipRadioTops[i], kRadioWidth, kRadioHeight));
    const std::array<int, 4> rotationIds{kIdcNoRotation, kIdcRotate90, kIdcRotate180, kIdcRotate270};
    for (std::size_t i = 0; i < rotationIds.size(); ++i)
        place(rotationIds[i], Box(radioLeft, kRotationRadioTops[i], kRadioWidth, kRadioHeight));

    place(kIdcPreview, preview);
    place(kIdcNext, Box(previewRightEdge - arrowFace.width(), arrowTop, arrowFace.width(), arrowFace.height()));
    place(kIdcPrevious, Box(previewRightEdge - strips.arrows.width(), arrowTop, arrowFace.width(), arrowFace.height()));

    place(kIdcHomePage, Box(width - kHomePageFromRight, kToolButtonTop, kToolButtonSide, kToolButtonSide));
    place(kIdcHelpPage, Box(width - kHelpPageFromRight, kToolButtonTop, kToolButtonSide, kToolButtonSide));
    place(kIdcMinimise, Box(width - kMinimiseFromRight, kToolButtonTop, kToolButtonSide, kToolButtonSide));
    place(kIdcClose, Box(width - kCloseFromRight, kToolButtonTop, kToolButtonSide, kToolButtonSide));

    // Both arrow buttons fit in the corner: the whole strip's width, one face's height.
    layout.m_previewCutOut = QRect(preview.width() - strips.arrows.width(), preview.height() - arrowFace.height(),
                                   strips.arrows.width(), arrowFace.height());
    layout.m_helpPanel = HelpPanelRect(client);
    return layout;
}

QRect WorkspaceLayout::Control(int id) const
{
    for (const Place& entry : m_places) {
        if (entry.id == id)
            return entry.rect;
    }
    return {};
}

QRegion WorkspaceLayout::PreviewRegion() const
{
    const QRect preview = Control(kIdcPreview);
    return QRegion(0, 0, preview.width(), preview.height()).subtracted(QRegion(m_previewCutOut));
}

} // namespace shell
