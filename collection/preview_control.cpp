#include "collection/preview_control.h"

#include <QPainter>

namespace collection {

CPreviewCtrl::CPreviewCtrl(QWidget* parent, Painter painter) : QWidget(parent), m_painter(std::move(painter))
{
    setAttribute(Qt::WA_OpaquePaintEvent); // every paint covers the whole control
}

void CPreviewCtrl::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    m_painter(painter, rect());
}

} // namespace collection
