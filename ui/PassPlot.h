#pragma once
// The elevation profile of the current or next pass ("Picture1"): time runs
// from AOS at the left edge to LOS at the right edge, elevation from 0° at the
// bottom to 90° at the top. The plot unit is one device-independent pixel.
// The labels (elevation on the left, minutes from AOS along the top) are
// written in the window's own font size in a light grey that stands out from
// the dark background, and always wholly inside the picture.
#include <QColor>
#include <QPixmap>
#include <QWidget>
#include <vector>

class QLabel;

namespace aostrack {

class PassPlot : public QWidget {
    Q_OBJECT
public:
    static constexpr QColor GridColour { 128, 128, 128 };
    // 7.8 : 1 against the background (WCAG relative luminance); the grid's
    // own grey gives 2.6 : 1, too faint to read at a glance.
    static constexpr QColor LabelColour { 224, 224, 224 };
    static constexpr QColor BackgroundColour { 64, 64, 64 };
    static constexpr QColor TrackColour { 255, 255, 255 };
    static constexpr QColor MarkColour { 51, 153, 255 };
    static constexpr double MarkRadius = 3;

    // durationLabel ("Label19") receives "N.N min"; it may be null.
    explicit PassPlot(QLabel* durationLabel = nullptr, QWidget* parent = nullptr);

    // Draws a pass of durationSeconds (whole seconds from AOS to LOS) whose
    // elevations (degrees) are sampled once a second from AOS on. A duration
    // of 0 or less shows the empty grid and an empty duration label. Earlier
    // marks are dropped.
    void DrawPassPlot(long long durationSeconds, std::vector<double> elevationsDeg);
    // The empty grid: no pass known.
    void ClearPass();
    // One tick's marker, secondsToLos before LOS at elevationDeg; the marks
    // accumulate into a trail. Ignored while no pass is drawn or at or below
    // the horizon.
    void AddMark(long long secondsToLos, double elevationDeg);

    // Plot units per second of the pass (0 without a pass) and per degree.
    double PlotXScale() const { return m_plotXScale; }
    float PlotYScale() const { return m_plotYScale; }
    long long DurationSeconds() const { return m_duration; }
    int MarkCount() const { return static_cast<int>(m_marks.size()); }
    // The drawing as it stands (profile and marks), in device pixels.
    const QPixmap& Drawing() const { return m_pixmap; }

    // A label of the last drawing and where it stands (plot units).
    struct AxisLabel {
        QString text; // "90°" ... "0°", "+2 min" ...
        QRectF rect;
    };
    const std::vector<AxisLabel>& Labels() const { return m_labels; }
    // Arial in the window's normal size (never smaller).
    QFont LabelFont() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    struct Mark {
        long long secondsToLos;
        double elevationDeg;
    };
    void Redraw();
    void DrawGrid(class QPainter& painter, double width, double height);
    void DrawTimeAxis(class QPainter& painter, double width, double labelColumnRight);
    void DrawTrack(class QPainter& painter, double width, double height) const;
    void DrawMark(class QPainter& painter, const Mark& mark, double width, double height) const;
    void UpdateScales();

    QLabel* m_durationLabel;
    long long m_duration = 0;
    std::vector<double> m_elevations;
    std::vector<Mark> m_marks;
    double m_plotXScale = 0;
    float m_plotYScale = 0;
    QPixmap m_pixmap;
    std::vector<AxisLabel> m_labels;
};

} // namespace aostrack
