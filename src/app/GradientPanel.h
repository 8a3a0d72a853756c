// A panel painted with a vertical gradient: the start colour at the top, the
// middle colour half-way down, the end colour at the bottom.
#pragma once

#include <QColor>
#include <QLinearGradient>
#include <QWidget>

namespace puente {

class GradientPanel : public QWidget {
    Q_OBJECT

public:
    GradientPanel(const QColor& start, const QColor& middle, const QColor& end, QWidget* parent);

    QColor startColor() const { return start_; }
    QColor middleColor() const { return middle_; }
    QColor endColor() const { return end_; }

    // The gradient that fills the panel at its present size.
    QLinearGradient gradient() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QColor start_, middle_, end_;
};

}  // namespace puente
