// The pass plot: scales, grid, white track and the trail of tick marks, read
// back from the drawing's pixels. The plot is 720 x 180 units, so a 12-minute
// pass has one unit per second (PlotXScale 1) and 2 units per degree.
#include "ui/PassPlot.h"

#include <QImage>
#include <QLabel>
#include <QLocale>
#include <cmath>
#include <gtest/gtest.h>

namespace aostrack {
namespace {

constexpr int Width = 720;
constexpr int Height = 180;
const QColor Background(64, 64, 64);
const QColor Grey(128, 128, 128);

// A pass profile rising to peakDeg at mid-pass, the shape of a real overhead
// pass near enough for the mapping.
std::vector<double> Profile(long long duration, double peakDeg)
{
    std::vector<double> elevations;
    for (long long s = 0; s <= duration; ++s)
        elevations.push_back(peakDeg * std::sin(M_PI * static_cast<double>(s) / static_cast<double>(duration)) - 0.1);
    return elevations;
}

class PassPlotTest : public ::testing::Test {
protected:
    PassPlotTest()
    {
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        plot.resize(Width, Height);
        plot.show();
        plot.ClearPass();
    }
    ~PassPlotTest() override { QLocale::setDefault(m_saved); }
    QColor Pixel(int x, int y) const
    {
        QImage image = plot.Drawing().toImage();
        return image.pixelColor(x, y);
    }
    // Brightest pixel of column x between rows y0 and y1.
    int BrightestRow(int x, int y0, int y1) const
    {
        QImage image = plot.Drawing().toImage();
        int best = y0;
        for (int y = y0; y <= y1; ++y) {
            if (image.pixelColor(x, y).lightness() > image.pixelColor(x, best).lightness())
                best = y;
        }
        return best;
    }
    bool HasColourNear(const QColor& colour, QPointF centre, int radius) const
    {
        QImage image = plot.Drawing().toImage();
        for (int y = int(centre.y()) - radius; y <= int(centre.y()) + radius; ++y) {
            for (int x = int(centre.x()) - radius; x <= int(centre.x()) + radius; ++x) {
                if (!image.rect().contains(x, y))
                    continue;
                const QColor c = image.pixelColor(x, y);
                if (std::abs(c.red() - colour.red()) < 40 && std::abs(c.green() - colour.green()) < 40
                        && std::abs(c.blue() - colour.blue()) < 40 && c != Background)
                    return true;
            }
        }
        return false;
    }
    QLocale m_saved;
    QLabel duration;
    PassPlot plot{&duration};
};

TEST_F(PassPlotTest, EmptyNoPassShowsTheGridOnly)
{
    EXPECT_EQ(plot.objectName(), "Picture1");
    EXPECT_EQ(plot.DurationSeconds(), 0);
    EXPECT_EQ(plot.PlotXScale(), 0.0);
    EXPECT_FLOAT_EQ(plot.PlotYScale(), 2.0f);
    EXPECT_EQ(duration.text(), "");
    // Elevation lines every 10°: 20 units apart, from the top edge down.
    EXPECT_EQ(Pixel(400, 40), Grey);
    EXPECT_EQ(Pixel(400, 100), Grey);
    EXPECT_EQ(Pixel(400, 50), Background);
    // No minute lines and no track.
    EXPECT_EQ(Pixel(360, 150), Background);
    // Marks need a pass.
    plot.AddMark(100, 30);
    EXPECT_EQ(plot.MarkCount(), 0);
}

TEST_F(PassPlotTest, EmptyZeroOrNegativeDurationNeverFails)
{
    plot.DrawPassPlot(0, {10, 20});
    EXPECT_EQ(plot.DurationSeconds(), 0);
    EXPECT_EQ(duration.text(), "");
    plot.DrawPassPlot(-300, {});
    EXPECT_EQ(plot.DurationSeconds(), 0);
    EXPECT_EQ(plot.PlotXScale(), 0.0);
    EXPECT_EQ(Pixel(360, 150), Background);
}

TEST_F(PassPlotTest, NormalTwelveMinutePass)
{
    plot.DrawPassPlot(720, Profile(720, 40));
    EXPECT_DOUBLE_EQ(plot.PlotXScale(), 1.0);
    EXPECT_FLOAT_EQ(plot.PlotYScale(), 2.0f);
    EXPECT_EQ(duration.text(), "12.0 min");

    // 13 minute lines, at 0 to 12 minutes (the last one on the right edge).
    for (int minute = 0; minute <= 11; ++minute)
        EXPECT_EQ(Pixel(60 * minute, 170), Grey) << minute;
    EXPECT_EQ(Pixel(719, 170), Grey);
    EXPECT_EQ(Pixel(330, 170), Background);

    // White track: at mid-pass the satellite stands 39.9° up, y = 180 - 79.8.
    const int top = BrightestRow(360, 60, 140);
    EXPECT_NEAR(top, 100, 1);
    EXPECT_GT(Pixel(360, top).lightness(), 230);
    // A quarter into the pass: 40 sin(45°) - 0.1 = 28.18°, y = 123.6.
    EXPECT_NEAR(BrightestRow(180, 60, 170), 124, 1.5);
}

TEST_F(PassPlotTest, MaximumMinuteLinesBelowAnHour)
{
    // 59 min 40 s rounds to 60 minutes: no minute lines.
    plot.DrawPassPlot(3580, Profile(3580, 10));
    EXPECT_EQ(duration.text(), "59.7 min");
    const double minuteX = 60 * plot.PlotXScale();
    EXPECT_EQ(Pixel(int(minuteX * 7), 90), Background);
    EXPECT_EQ(Pixel(0, 90), Background);

    plot.DrawPassPlot(4500, Profile(4500, 10));
    EXPECT_EQ(duration.text(), "75.0 min");
    EXPECT_EQ(Pixel(int(60 * plot.PlotXScale() * 3), 90), Background);

    // 59 min 20 s rounds to 59: lines again.
    plot.DrawPassPlot(3560, Profile(3560, 10));
    EXPECT_EQ(Pixel(0, 90), Grey);
}

TEST_F(PassPlotTest, MarksAccumulateIntoATrailOnTheTrack)
{
    plot.DrawPassPlot(720, Profile(720, 40));
    // Ticks 120 s and 119 s ... before LOS: x = 720 - PlotXScale * s.
    for (long long toLos = 360; toLos > 350; --toLos) {
        const double s = 720.0 - double(toLos);
        plot.AddMark(toLos, 40 * std::sin(M_PI * s / 720.0) - 0.1);
    }
    EXPECT_EQ(plot.MarkCount(), 10);
    EXPECT_TRUE(HasColourNear(PassPlot::MarkColour, QPointF(360 + 3, 100), 2));
    EXPECT_TRUE(HasColourNear(PassPlot::MarkColour, QPointF(369 + 3, 100), 2));

    // At or below the horizon no mark is drawn.
    plot.AddMark(5, 0.0);
    plot.AddMark(2, -1.5);
    EXPECT_EQ(plot.MarkCount(), 10);

    // A new pass starts without marks.
    plot.DrawPassPlot(600, Profile(600, 20));
    EXPECT_EQ(plot.MarkCount(), 0);
}

TEST_F(PassPlotTest, ResizeRedrawsProfileAndMarks)
{
    plot.DrawPassPlot(720, Profile(720, 40));
    plot.AddMark(360, 39.9);
    plot.resize(1440, 360);
    EXPECT_DOUBLE_EQ(plot.PlotXScale(), 2.0);
    EXPECT_FLOAT_EQ(plot.PlotYScale(), 4.0f);
    EXPECT_EQ(plot.MarkCount(), 1);
    EXPECT_EQ(plot.Drawing().size(), QSize(1440, 360));
    // Track apex now at (720, 360 - 159.6); the mark sits on it.
    EXPECT_NEAR(BrightestRow(700, 150, 260), 201, 2);
    EXPECT_TRUE(HasColourNear(PassPlot::MarkColour, QPointF(720 + 3, 200), 2));
}

TEST_F(PassPlotTest, DurationLabelUsesTheRegionalSeparator)
{
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    plot.DrawPassPlot(720, Profile(720, 40));
    EXPECT_EQ(duration.text(), "12,0 min");
}

} // namespace
} // namespace aostrack
