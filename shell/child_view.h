#pragma once
// The workspace view: the whole surface of the main window. It owns the collection of
// pictures, the thumbnail list, the preview of the current picture and the flip and
// rotation choices, and runs the commands that act on them.

#include "collection/image_entry.h"
#include "collection/image_list.h"
#include "collection/preview_control.h"
#include "collection/selection_rules.h"
#include "draw/image.h"
#include "engine/transform.h"
#include "platform/ui_language.h"
#include "resources/strings.h"
#include "shell/frame_geometry.h"

#include <QSet>
#include <QString>
#include <QStringList>
#include <QWidget>

#include <array>
#include <map>
#include <memory>
#include <vector>

class QAbstractButton;
class QButtonGroup;
class QRadioButton;

namespace decor {
class CHelpWnd;
}

namespace shell {

class CStripButton;

// The maker's web host, where the home page and the help page are (a build option).
QString MakerWebHost();

struct ViewOptions {
    platform::UiLanguage language = platform::UiLanguage::English;
    QString dataFile; // where the collection is kept between runs
    QString title;    // the application title, shown in the header
    resources::FileVersion version; // the program's version, shown after the title
    QString webHost = MakerWebHost();
};

class CChildView : public QWidget {
    Q_OBJECT

public:
    CChildView(QWidget* parent, ViewOptions options);
    // Writes the collection file, then empties the collection.
    ~CChildView() override;

    // The collection.
    bool AddImage(const QString& path);
    void RemoveImage(int index);
    void RemoveImages(bool all);
    int ImageCount() const { return int(m_arrImages.size()); }
    const collection::CImgThumb& Image(int index) const { return *m_arrImages.at(std::size_t(index)); }

    // Drops: every file at or below the dropped paths is offered to AddImage.
    void OnDropFiles(const QStringList& paths);

    // The collection file.
    void LoadImageList();
    void SaveImageList();

    // The current picture and its preview.
    void ClearPreview();
    void PrevImage();
    void NextImage();
    void OnImageClicked(int row);
    void DrawPreview(QPainter& surface, const QRect& rect);
    bool MakeRotationPreview(const QRect& box);
    int Current() const { return m_nCurrent; }
    const draw::CImg* Preview() const { return m_pPreview.get(); }

    // The flip and rotation choice; a change keeps the current picture and rebuilds its preview.
    void SetRotationSettings(int flip, int rotation);
    engine::RotationSettings RotationSettings() const { return {m_nFlip, m_nRotation}; }

    // The commands (control ids of shell/workspace_layout.h), each checking its
    // preconditions in order and reporting the first that fails with a message box.
    void OnCommand(int id);
    void SaveRotatedImages(bool all);

    // Draws the caption line with the counts, onto `surface` or, without one, at once
    // onto the view.
    void DrawImageCount(QPainter* surface);

    // Places every control from the view's size, and the help card over the list area
    // (in screen coordinates, so the main window calls this again when it moves).
    void LayoutControls();
    void PlaceHelpPanel();

    // Whether the program is the active application: the header's look.
    void SetAppActive(bool active);
    bool IsAppActive() const { return m_bActive; }
    void DrawHeader(QPainter& surface);

    // The flip and rotation choices (ids 222 to 228) read into the settings.
    void OnSettingChanged();

    QAbstractButton* Control(int id) const;

    collection::CImgList* List() const { return m_pList; }
    collection::CPreviewCtrl* PreviewControl() const { return m_pPreviewCtrl; }
    decor::CHelpWnd* HelpPanel() const { return m_pHelp; }
    platform::UiLanguage Language() const { return m_language; }
    const QString& DataFile() const { return m_strDataFile; }

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void CreateControls();
    void StepCurrent(int (*step)(int current, const collection::RowSelection& rows));
    void OnLoadCollection();
    void ShowHelpPanelIfEmpty();
    QStringList Paths() const;
    QRect CaptionRect() const;

    platform::UiLanguage m_language;
    QString m_strDataFile;
    QString m_strTitle;
    resources::FileVersion m_version;
    QString m_strWebHost;
    bool m_bActive = false;

    draw::CImg m_imgSave;
    draw::CImg m_imgDelete;
    draw::CImg m_imgArrows;
    draw::CImg m_imgTools;
    std::map<int, QAbstractButton*> m_controls; // buttons and radio buttons by control id
    QButtonGroup* m_pFlipGroup = nullptr;
    QButtonGroup* m_pRotationGroup = nullptr;

    // A press on the background moves the main window, near its edges resizes it; the
    // drag lasts until the button is released (or found released).
    struct FrameDrag {
        BorderZone zone = BorderZone::None;
        QPoint pointerAtPress; // global
        QRect frameAtPress;
        bool active = false;
    };
    FrameDrag m_drag;

    std::vector<std::unique_ptr<collection::CImgThumb>> m_arrImages;
    QSet<QString> m_paths; // the entries' paths, for the exact duplicate test
    int m_nCurrent = -1;
    std::unique_ptr<draw::CImg> m_pPreview;
    int m_nFlip = 0;
    int m_nRotation = 0;

    collection::CImgList* m_pList = nullptr;
    collection::CPreviewCtrl* m_pPreviewCtrl = nullptr;
    decor::CHelpWnd* m_pHelp = nullptr;
};

} // namespace shell
