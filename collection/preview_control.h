#pragma once
// The preview of the current picture: a plain child window whose painting is done by its
// owner, which holds the picture.

#include <QWidget>

#include <functional>

namespace collection {

class CPreviewCtrl : public QWidget {
    Q_OBJECT

public:
    // Paints the control's whole area; called with the control's painter and rectangle.
    using Painter = std::function<void(QPainter& painter, const QRect& rect)>;

    CPreviewCtrl(QWidget* parent, Painter painter);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    Painter m_painter;
};

} // namespace collection
