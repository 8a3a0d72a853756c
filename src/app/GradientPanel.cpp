#include "app/GradientPanel.h"

#include <QPainter>

namespace puente {

GradientPanel::GradientPanel(const QColor& start, const QColor& middle, const QColor& end, QWidget* parent)
    : QWidget(parent), start_(start), middle_(middle), end_(end) {
    setAttribute(Qt::WA_OpaquePaintEvent);
}

QLinearGradient GradientPanel::gradient() const {
    QLinearGradient g(0, 0, 0, height());
    g.setColorAt(0.0, start_);
    g.setColorAt(0.5, middle_);
    g.setColorAt(1.0, end_);
    return g;
}

void GradientPanel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), gradient());
}

}  // namespace puente
