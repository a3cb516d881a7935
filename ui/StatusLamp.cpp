#include "ui/StatusLamp.h"

#include <QPainter>

namespace aostrack {

StatusLamp::StatusLamp(QWidget* parent)
    : QWidget(parent)
{
    setFixedSize(sizeHint());
}

void StatusLamp::SetFillColor(const QColor& colour)
{
    if (colour == m_fill)
        return;
    m_fill = colour;
    update();
}

void StatusLamp::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(40, 40, 40), 1));
    painter.setBrush(m_fill);
    painter.drawEllipse(QRectF(rect()).adjusted(2, 2, -2, -2));
}

} // namespace aostrack
