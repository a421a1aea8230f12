#pragma once
// A button drawn from an image strip: its normal face while up, its pressed face while held.

#include "draw/image.h"
#include "draw/strips.h"

#include <QAbstractButton>

namespace shell {

class CStripButton : public QAbstractButton {
    Q_OBJECT

public:
    // `strip` is the picture of face.strip and must outlive the button.
    CStripButton(QWidget* parent, int id, const draw::CImg& strip, draw::StripFace face);

    int Id() const { return m_id; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int m_id;
    const draw::CImg& m_strip;
    draw::StripFace m_face;
};

} // namespace shell
