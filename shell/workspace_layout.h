#pragma once
// Where the workspace view puts its controls and the help card. The view has no fixed
// layout: every control follows the client size by proportional rules, so this is plain
// arithmetic on sizes, worked out here once and applied by the view whenever it is
// created or resized.

#include <QRect>
#include <QRegion>
#include <QSize>

#include <array>

namespace shell {

// Control ids of the workspace, in the order the view creates its controls.
inline constexpr int kIdcHomePage = 216;
inline constexpr int kIdcHelpPage = 217;
inline constexpr int kIdcMinimise = 218;
inline constexpr int kIdcClose = 219;
inline constexpr int kIdcSaveSelected = 200;
inline constexpr int kIdcSaveAll = 201;
inline constexpr int kIdcImageList = 203;
inline constexpr int kIdcDeleteSelected = 205;
inline constexpr int kIdcDeleteAll = 206;
inline constexpr int kIdcNoFlipping = 222;
inline constexpr int kIdcFlipHorizontal = 223;
inline constexpr int kIdcFlipVertical = 224;
inline constexpr int kIdcNoRotation = 225;
inline constexpr int kIdcRotate90 = 226;
inline constexpr int kIdcRotate180 = 227;
inline constexpr int kIdcRotate270 = 228;
inline constexpr int kIdcPreview = 211;
inline constexpr int kIdcPrevious = 213;
inline constexpr int kIdcNext = 214;

// Every control the layout places, in creation order.
inline constexpr std::array<int, 19> kLaidOutControls{
    kIdcHomePage, kIdcHelpPage, kIdcMinimise, kIdcClose,
    kIdcSaveSelected, kIdcSaveAll, kIdcImageList, kIdcDeleteSelected, kIdcDeleteAll,
    kIdcNoFlipping, kIdcFlipHorizontal, kIdcFlipVertical,
    kIdcNoRotation, kIdcRotate90, kIdcRotate180, kIdcRotate270,
    kIdcPreview, kIdcPrevious, kIdcNext};

// Proportions of the client width or height that place a control; see Compute. Each is
// the position of a control's left edge, or of a button pair's centre, or a size.
inline constexpr double kSaveSelectedCentreX = 0.635;
inline constexpr double kSaveAllCentreX = 0.8675;
inline constexpr double kListLeft = 0.0125;
inline constexpr double kListWidth = 0.45625;
inline constexpr double kDeleteSelectedCentreX = 0.1525;
inline constexpr double kDeleteAllCentreX = 0.33;
inline constexpr double kRadioLeft = 0.55;
inline constexpr double kPreviewLeft = 0.5125;
inline constexpr double kPreviewWidth = 0.475;
inline constexpr double kHelpAreaTop = 0.06666666666666667;
inline constexpr double kHelpAreaHeight = 0.8666666666666667;

// Fixed distances in pixels.
inline constexpr int kSaveBottomGap = 9;       // save buttons: bottom edge above the client bottom
inline constexpr int kDeleteBottomGap = 11;    // delete buttons likewise
inline constexpr int kListTop = 40;
inline constexpr int kListBottomGap = 40;
inline constexpr int kRadioWidth = 300;
inline constexpr int kRadioHeight = 16;
inline constexpr std::array<int, 3> kFlipRadioTops{45, 65, 85};          // 222, 223, 224
inline constexpr std::array<int, 4> kRotationRadioTops{120, 140, 160, 180}; // 225 to 228
inline constexpr int kPreviewTop = 219;
inline constexpr int kPreviewBottomGap = 40;
inline constexpr int kToolButtonSide = 17;
inline constexpr int kToolButtonTop = 6;
// Left edges of the small buttons, counted back from the client's right edge.
inline constexpr int kHomePageFromRight = 88;
inline constexpr int kHelpPageFromRight = 67;
inline constexpr int kMinimiseFromRight = 46;
inline constexpr int kCloseFromRight = 25;
// The help card's size; it is centred on the area the list roughly covers.
inline constexpr QSize kHelpPanelSize{150, 80};

// Sizes of the image strips the buttons are cut from. Each strip holds two faces side by
// side over their pressed faces, so a button is a quarter of it; the Japanese and English
// save strips differ in width.
struct StripSizes {
    QSize save;    // Save selected | Save all
    QSize remove;  // Delete selected | Delete all
    QSize arrows;  // previous | next
};

// Half-up rounding of a non-negative double, truncating toward zero after adding a half.
int RoundHalfUp(double value);

// The help card's rectangle in client coordinates: 150 x 80 centred on the area from
// (round(0.0125 W), round(H / 15)) of size round(0.45625 W) x round(13 H / 15), the
// centring done on the corners with integer halves truncated toward zero.
QRect HelpPanelRect(QSize client);

// The place of every control for a client size. Sizes that would come out negative on a
// client smaller than the controls (the view is laid out once before it has a size) are
// 0; positions are kept as computed.
class WorkspaceLayout {
public:
    struct Place {
        int id = 0;
        QRect rect;
    };

    static WorkspaceLayout Compute(QSize client, const StripSizes& strips);

    // The rectangle of the control `id` in client coordinates; an empty rectangle for an id
    // the layout does not place.
    QRect Control(int id) const;
    // Every control's place, in kLaidOutControls order.
    const std::array<Place, kLaidOutControls.size()>& Places() const { return m_places; }

    // The bottom-right corner of the preview (in the preview's own coordinates) that it
    // leaves uncovered, so that the previous and next buttons placed there stay visible
    // and clickable: as wide as the arrow strip and as tall as one arrow face.
    QRect PreviewCutOut() const { return m_previewCutOut; }
    // The preview's shape in its own coordinates: its rectangle without the cut-out.
    QRegion PreviewRegion() const;

    // HelpPanelRect of the same client size.
    QRect HelpPanel() const { return m_helpPanel; }

private:
    std::array<Place, kLaidOutControls.size()> m_places{};
    QRect m_previewCutOut;
    QRect m_helpPanel;
};

} // namespace shell
