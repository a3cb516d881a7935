// The pass plot: scales, grid, white track and the trail of tick marks, read
// back from the drawing's pixels. The plot is 720 x 180 units, so a 12-minute
// pass has one unit per second (PlotXScale 1) and 2 units per degree.
#include "ui/PassPlot.h"

#include <QApplication>
#include <QImage>
#include <QLabel>
#include <QLocale>
#include <algorithm>
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
        elevations.push_back(
            peakDeg * std::sin(M_PI * static_cast<double>(s) / static_cast<double>(duration))
            - 0.1);
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
                if (std::abs(c.red() - colour.red()) < 40
                    && std::abs(c.green() - colour.green()) < 40
                    && std::abs(c.blue() - colour.blue()) < 40 && c != Background)
                    return true;
            }
        }
        return false;
    }
    QLocale m_saved;
    QLabel duration;
    PassPlot plot { &duration };
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
    plot.DrawPassPlot(0, { 10, 20 });
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

// WCAG relative luminance of an sRGB colour.
double Luminance(const QColor& c)
{
    auto channel = [](int value) {
        const double v = value / 255.0;
        return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(c.red()) + 0.7152 * channel(c.green()) + 0.0722 * channel(c.blue());
}

TEST(PassPlotLabels, ReadableSizeAndContrast)
{
    PassPlot plot;
    EXPECT_GE(plot.LabelFont().pointSizeF(), QApplication::font().pointSizeF());
    EXPECT_GE(plot.font().pointSizeF(), QApplication::font().pointSizeF());
    // (L1 + 0.05) / (L2 + 0.05): 4.5 is the least for normal-size text.
    const double contrast
        = (Luminance(PassPlot::LabelColour) + 0.05) / (Luminance(Background) + 0.05);
    EXPECT_GE(contrast, 4.5);
    EXPECT_NEAR(contrast, 7.8, 0.1);
    // The grid's grey alone would not do: the reason the labels have their own colour.
    EXPECT_LT((Luminance(Grey) + 0.05) / (Luminance(Background) + 0.05), 3.0);
}

TEST_F(PassPlotTest, LabelsStandWhollyInsideAndApart)
{
    const struct {
        const char* name;
        QSize size;
        long long duration;
    } cases[] = {
        { "12-minute pass, wide", { Width, Height }, 720 },
        { "12-minute pass, the smallest plot", { 200, 90 }, 720 },
        { "no pass", { Width, Height }, 0 },
        { "geostationary day", { Width, Height }, 86400 },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        plot.resize(c.size);
        plot.DrawPassPlot(c.duration, Profile(std::max<long long>(c.duration, 1), 40));
        const QRectF inside(0, 0, c.size.width(), c.size.height());
        const auto& labels = plot.Labels();
        ASSERT_FALSE(labels.empty());
        EXPECT_EQ(labels.front().text, QStringLiteral("90\u00B0"));
        for (std::size_t i = 0; i < labels.size(); ++i) {
            EXPECT_TRUE(inside.contains(labels[i].rect)) << labels[i].text.toStdString();
            for (std::size_t j = i + 1; j < labels.size(); ++j)
                EXPECT_FALSE(labels[i].rect.intersects(labels[j].rect))
                    << labels[i].text.toStdString() << " / " << labels[j].text.toStdString();
        }
        // The bottom label is 0°, kept above the bottom edge.
        const auto zero = std::find_if(labels.begin(), labels.end(),
            [](const PassPlot::AxisLabel& l) { return l.text == QStringLiteral("0\u00B0"); });
        ASSERT_NE(zero, labels.end());
        EXPECT_LE(zero->rect.bottom(), c.size.height());
    }
}

TEST_F(PassPlotTest, TimeAxisCountsMinutesFromAos)
{
    // 90 pixels a minute: room for "+10 min" in any sans-serif face.
    plot.resize(1080, Height);
    plot.DrawPassPlot(720, Profile(720, 40));
    QStringList times;
    for (const auto& label : plot.Labels()) {
        if (!label.text.endsWith(QStringLiteral(" min")))
            continue;
        times << label.text;
        // Just right of its minute line: minute m at x = 60 m PlotXScale.
        const int minute = label.text.mid(1).section(QLatin1Char(' '), 0, 0).toInt();
        EXPECT_DOUBLE_EQ(label.rect.left(), 60.0 * minute * plot.PlotXScale() + 3);
        EXPECT_TRUE(HasColourNear(PassPlot::LabelColour, label.rect.center(), 5))
            << label.text.toStdString();
    }
    // Every minute is labelled; the 0 minute line carries the elevation labels.
    ASSERT_FALSE(times.isEmpty());
    EXPECT_EQ(times.first(), QStringLiteral("+1 min"));
    EXPECT_EQ(times.last(), QStringLiteral("+11 min"));

    // 20 pixels a minute: a round step of more than
    // one minute leaves room for the text.
    plot.resize(240, Height);
    QList<int> minutes;
    for (const auto& label : plot.Labels()) {
        if (label.text.endsWith(QStringLiteral(" min")))
            minutes << label.text.mid(1).section(QLatin1Char(' '), 0, 0).toInt();
    }
    ASSERT_FALSE(minutes.isEmpty());
    EXPECT_TRUE(minutes.first() == 2 || minutes.first() == 5) << minutes.first();
    for (qsizetype i = 0; i < minutes.size(); ++i)
        EXPECT_EQ(minutes[i], minutes.first() * (i + 1));
}

TEST_F(PassPlotTest, DurationLabelUsesTheRegionalSeparator)
{
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    plot.DrawPassPlot(720, Profile(720, 40));
    EXPECT_EQ(duration.text(), "12,0 min");
}

} // namespace
} // namespace aostrack
