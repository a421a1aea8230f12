#include "shell/strip_button.h"

#include <QPainter>

namespace shell {

CStripButton::CStripButton(QWidget* parent, int id, const draw::CImg& strip, draw::StripFace face)
    : QAbstractButton(parent), m_id(id), m_strip(strip), m_face(face)
{
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::NoFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void CStripButton::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    draw::DrawButtonFace(painter, m_strip, m_face, isDown());
}

} // namespace shell
