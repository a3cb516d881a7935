#pragma once
// A round filled lamp ("Shape1"): the rotor port's state at a glance. Other
// layers set its colour through the property "fillColor" or SetFillColor.
#include <QColor>
#include <QWidget>

namespace aostrack {

class StatusLamp : public QWidget {
    Q_OBJECT
    Q_PROPERTY(QColor fillColor READ FillColor WRITE SetFillColor)
public:
    static constexpr QColor Grey { 128, 128, 128 };
    static constexpr QColor Green { 0, 255, 0 };

    explicit StatusLamp(QWidget* parent = nullptr);
    QColor FillColor() const { return m_fill; }
    void SetFillColor(const QColor& colour);
    QSize sizeHint() const override { return { 22, 22 }; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QColor m_fill = Grey;
};

} // namespace aostrack
