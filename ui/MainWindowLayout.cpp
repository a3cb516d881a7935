// Construction of the main window's controls: captions, fonts, colours and
// enabled states as the window stands before start-up has run.
#include "ui/AboutBox.h"
#include "ui/FixedPitchFont.h"
#include "ui/MainWindow.h"
#include "ui/TransceiverFrame.h"

#include "core/Version.h"
#include "ui/MainWindowControls.h"
#include "ui/PanelColours.h"
#include "ui/PassPlot.h"
#include "ui/SkyPlot.h"
#include "ui/StatusLamp.h"

#include "core/DataPanel.h"

#include <algorithm>

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScrollBar>
#include <QSplitter>
#include <QStyle>
#include <QTabWidget>
#include <QVBoxLayout>

namespace aostrack {

namespace {

const QColor DisplayGrey(64, 64, 64);
const QColor DisplayCyan(192, 255, 255);
const QColor NoteBlue(0, 0, 128);

struct FieldCaption {
    PanelField DataPanelFields::*field;
    const char* caption;
};
// Data panel fields with their captions, two columns: where the satellite
// is, then what it is doing.
constexpr FieldCaption LeftColumn[] = { { &DataPanelFields::Azimuth, "Azimut" },
    { &DataPanelFields::Elevation, "Elevation" }, { &DataPanelFields::Distance, "Distance" },
    { &DataPanelFields::Height, "Height" }, { &DataPanelFields::SatLong, "Sat Long" },
    { &DataPanelFields::SatLat, "Sat Lat" }, { &DataPanelFields::DopplerShift, "Doppler shift" } };
constexpr FieldCaption RightColumn[] = { { &DataPanelFields::Epoch, "Epoche" },
    { &DataPanelFields::OrbitNumber, "Orbit #" }, { &DataPanelFields::MaValue, "MA-Value" },
    { &DataPanelFields::SunAngle, "Sun Angle" }, { &DataPanelFields::Illumination, "Illumination" },
    { &DataPanelFields::Info, "Info" }, { &DataPanelFields::Loss, "Loss" } };

QFont FixedPitch(double pointSize)
{
    return FixedPitchFont({ QStringLiteral("Courier New") }, pointSize);
}

// A read-only field that asks for the width of its longest expected text, so
// that wide screens show it whole while small ones may squeeze it.
class ValueField : public QLineEdit {
public:
    using QLineEdit::QLineEdit;
    void SetHintText(const QString& text)
    {
        m_hintWidth = fontMetrics().horizontalAdvance(text) + 14;
    }
    QSize sizeHint() const override
    {
        QSize hint = QLineEdit::sizeHint();
        if (m_hintWidth > 0)
            hint.setWidth(m_hintWidth);
        return hint;
    }

private:
    int m_hintWidth = 0;
};

// A button as wide as its caption: the style's 80-pixel minimum would make
// the frequency column too wide for a 1024-pixel screen.
class CaptionButton : public QPushButton {
public:
    using QPushButton::QPushButton;
    QSize sizeHint() const override
    {
        QSize hint = QPushButton::sizeHint();
        hint.setWidth(std::min(hint.width(), fontMetrics().horizontalAdvance(text()) + 16));
        return hint;
    }
    QSize minimumSizeHint() const override { return sizeHint(); }
};

// The large frequency display: its design font when there is room, a
// smaller one on a narrow window or for a microwave downlink of eight digits,
// so that the number is never cut.
class FittingDisplay : public QLineEdit {
public:
    FittingDisplay(const QFont& designFont, QWidget* parent)
        : QLineEdit(parent)
        , m_designFont(designFont)
    {
        setFont(designFont);
        connect(this, &QLineEdit::textChanged, this, [this] { Fit(); });
    }
    QSize sizeHint() const override
    {
        const QFontMetrics design(m_designFont);
        return { design.horizontalAdvance(QStringLiteral("000000.000")) + Margin,
            QLineEdit::sizeHint().height() };
    }
    QSize minimumSizeHint() const override
    {
        return { QFontMetrics(m_designFont).horizontalAdvance(QStringLiteral("000000.000")) / 2,
            QLineEdit::sizeHint().height() };
    }

protected:
    void resizeEvent(QResizeEvent* event) override
    {
        QLineEdit::resizeEvent(event);
        Fit();
    }

private:
    static constexpr int Margin = 16;
    void Fit()
    {
        const QString sample = text().isEmpty() ? QStringLiteral("000000.000") : text();
        QFont fitted = m_designFont;
        for (double size = m_designFont.pointSizeF(); size >= MinPointSize; size -= 1) {
            fitted.setPointSizeF(size);
            if (QFontMetrics(fitted).horizontalAdvance(sample) + Margin <= width())
                break;
        }
        if (fitted != font())
            setFont(fitted);
    }
    static constexpr double MinPointSize = 10;
    QFont m_designFont;
};

ValueField* ValueBox(QWidget* parent, const QColor& background = PanelGrey)
{
    auto* box = new ValueField(parent);
    box->setReadOnly(true);
    box->setFocusPolicy(Qt::ClickFocus);
    QPalette palette = box->palette();
    palette.setColor(QPalette::Base, background);
    palette.setColor(QPalette::Text, Qt::black);
    box->setPalette(palette);
    return box;
}

QLabel* Caption(QWidget* parent, const QString& text)
{
    return new QLabel(text, parent);
}

} // namespace

QWidget* MainWindow::BuildHeader()
{
    auto* header = new QWidget(this);
    auto* row = new QHBoxLayout(header);
    row->setContentsMargins(0, 0, 0, 0);

    auto* satellites = new QComboBox(header);
    m_controls.Satellites = satellites;
    satellites->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    satellites->setMinimumContentsLength(18);
    satellites->setMaxVisibleItems(25);
    QFont selectorFont = satellites->font();
    selectorFont.setBold(true);
    selectorFont.setPointSizeF(selectorFont.pointSizeF() * 1.2);
    satellites->setFont(selectorFont);

    auto* time = ValueBox(header);
    m_controls.Panel.Time.Value = time;
    QFont timeFont = time->font();
    timeFont.setBold(true);
    timeFont.setPointSizeF(timeFont.pointSizeF() * 1.2);
    time->setFont(timeFont);
    time->setAlignment(Qt::AlignCenter);
    time->setMinimumWidth(
        QFontMetrics(timeFont).horizontalAdvance(QStringLiteral("00:00:00 UTC")) + 24);
    time->setMaximumWidth(time->minimumWidth() + 40);

    auto* date = ValueBox(header);
    m_controls.Panel.Date.Value = date;
    date->setFont(timeFont);
    date->setMinimumWidth(
        QFontMetrics(timeFont).horizontalAdvance(QStringLiteral("Wednesday, 2024 September 30"))
        + 16);

    auto* qth = Caption(header, QStringLiteral("QTH"));
    m_controls.Qth = qth;
    qth->setToolTip(tr("Station latitude / longitude, degrees"));
    qth->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

    row->addWidget(satellites, 2);
    row->addSpacing(12);
    row->addWidget(time, 0);
    row->addWidget(date, 1);
    row->addStretch(1);
    auto* qthCaption = Caption(header, QStringLiteral("QTH"));
    m_controls.QthCaption = qthCaption;
    QPalette captionPalette = qthCaption->palette();
    captionPalette.setColor(QPalette::WindowText, QColor(96, 96, 96));
    qthCaption->setPalette(captionPalette);
    row->addWidget(qthCaption, 0);
    row->addWidget(qth, 0);
    return header;
}

QWidget* MainWindow::BuildElementLines()
{
    auto* lines = new QWidget(this);
    auto* column = new QVBoxLayout(lines);
    column->setContentsMargins(4, 0, 0, 0);
    column->setSpacing(0);
    const char* captions[] = { "Line1", "Line2" };
    for (int i = 0; i < 2; ++i) {
        auto* line = Caption(lines, QLatin1String(captions[i]));
        m_controls.ElementLines[static_cast<std::size_t>(i)] = line;
        line->setFont(FixedPitch(0));
        line->setTextInteractionFlags(Qt::TextSelectableByMouse);
        column->addWidget(line);
    }
    return lines;
}

QGroupBox* MainWindow::BuildSatelliteFrame()
{
    auto* frame = new QGroupBox(QStringLiteral("Satellite"), this);
    m_controls.SatelliteFrame = frame;
    auto* grid = new QGridLayout(frame);
    grid->setHorizontalSpacing(6);
    grid->setVerticalSpacing(4);
    const int minimumWidth
        = QFontMetrics(font()).horizontalAdvance(QStringLiteral("000.00°W  (-0"));
    auto addColumn
        = [&](const FieldCaption* fields, std::size_t count, int column, const QString& longest) {
              for (std::size_t row = 0; row < count; ++row) {
                  auto* caption = Caption(frame, QLatin1String(fields[row].caption));
                  caption->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
                  auto* value = ValueBox(frame);
                  m_controls.Panel.*fields[row].field = PanelField { value, caption };
                  value->setAccessibleName(QLatin1String(fields[row].caption));
                  value->SetHintText(longest);
                  // Never narrower than the longest text: a cut value is a wrong one.
                  value->setMinimumWidth(std::max(minimumWidth, value->sizeHint().width()));
                  grid->addWidget(caption, static_cast<int>(row), column);
                  grid->addWidget(value, static_cast<int>(row), column + 1);
              }
          };
    addColumn(LeftColumn, std::size(LeftColumn), 0, QStringLiteral("000.00°W  (-000°00' 00\")"));
    addColumn(RightColumn, std::size(RightColumn), 2, QStringLiteral("satellite may visible"));
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(3, 1);
    grid->setColumnMinimumWidth(2, 70);

    auto* age = Caption(frame, QString());
    m_controls.Panel.TleAge = age;
    QFont ageFont = age->font();
    ageFont.setBold(true);
    age->setFont(ageFont);
    age->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    // Beside the age, while the sets are too old: where fresh ones come from.
    auto* hint = Caption(
        frame, QStringLiteral("fresh sets: menu %1").arg(QString::fromLatin1(TleUpdateHint)));
    m_controls.Panel.TleUpdateHint = hint;
    QPalette hintPalette = hint->palette();
    hintPalette.setColor(QPalette::WindowText, TooOldRed);
    hint->setPalette(hintPalette);
    hint->setVisible(false);
    // Which theory the figures above come from, on the same row: a row less
    // keeps the panel within a 600-pixel screen.
    auto* model = Caption(frame, QStringLiteral("Orbit model: Plan13"));
    m_controls.Panel.OrbitModel = model;
    model->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    auto* ageRow = new QHBoxLayout;
    ageRow->addWidget(model, 0);
    ageRow->addSpacing(8);
    ageRow->addWidget(age, 1);
    ageRow->addSpacing(8);
    ageRow->addWidget(hint, 1);
    grid->addLayout(ageRow, static_cast<int>(std::size(LeftColumn)), 0, 1, 4);
    return frame;
}

namespace {

// Two plots side by side, or one above the other when there is more height
// than width: the sky plot wants a square.
class PlotPair : public QWidget {
public:
    explicit PlotPair(QWidget* parent)
        : QWidget(parent)
        , m_layout(new QBoxLayout(QBoxLayout::LeftToRight, this))
    {
        m_layout->setContentsMargins(0, 0, 0, 0);
        // The pair states its own minimum (below): the side-by-side sum
        // would make the whole window too wide for a 1024 x 600 screen.
        m_layout->setSizeConstraint(QLayout::SetNoConstraint);
    }
    void Add(QWidget* first, QWidget* second)
    {
        m_first = first;
        m_second = second;
        m_layout->addWidget(first, 3);
        m_layout->addWidget(second, 2);
    }
    // Stacked, the pair needs only the wider plot's width.
    QSize minimumSizeHint() const override
    {
        if (!m_first || !m_second)
            return QWidget::minimumSizeHint();
        const QSize a = m_first->minimumSizeHint();
        const QSize b = m_second->minimumSizeHint();
        return { std::max(a.width(), b.width()), std::max(a.height(), b.height()) };
    }

protected:
    void resizeEvent(QResizeEvent* event) override
    {
        const bool roomSideBySide = !m_first || !m_second
            || width() >= m_first->minimumSizeHint().width() + m_second->minimumSizeHint().width()
                    + m_layout->spacing();
        const QBoxLayout::Direction wanted = !roomSideBySide || height() > width() * 6 / 5
            ? QBoxLayout::TopToBottom
            : QBoxLayout::LeftToRight;
        if (m_layout->direction() != wanted) {
            m_layout->setDirection(wanted);
            // Stacked, the sky plot takes the larger share: it needs a
            // square, the elevation curve still reads at a quarter.
            const bool stacked = wanted == QBoxLayout::TopToBottom;
            m_layout->setStretch(0, stacked ? 1 : 3);
            m_layout->setStretch(1, stacked ? 3 : 2);
        }
        QWidget::resizeEvent(event);
    }

private:
    QBoxLayout* m_layout;
    QWidget* m_first = nullptr;
    QWidget* m_second = nullptr;
};

} // namespace

QGroupBox* MainWindow::BuildElevationFrame()
{
    auto* frame = new QGroupBox(QStringLiteral("Elevation"), this);
    m_controls.ElevationFrame = frame;
    auto* column = new QVBoxLayout(frame);
    auto* duration = Caption(frame, QString());
    m_controls.PassDuration = duration;
    duration->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_controls.Plot = new PassPlot(duration, frame);
    // The sky view of the same pass beside the elevation over time (under
    // it while the frame is tall and narrow, as with the overview docked).
    m_controls.Sky = new SkyPlot(frame);
    auto* plots = new PlotPair(frame);
    plots->Add(m_controls.Plot, m_controls.Sky);
    column->addWidget(plots, 1);
    column->addWidget(duration, 0);
    return frame;
}

QGroupBox* MainWindow::BuildPassListFrame()
{
    auto* frame = new QGroupBox(QStringLiteral("next 24 hours"), this);
    m_controls.PassListFrame = frame;
    auto* column = new QVBoxLayout(frame);
    auto* passes = new QListWidget(frame);
    m_controls.PassList = passes;
    passes->setFont(FixedPitch(8.25));
    passes->setSortingEnabled(false);
    passes->setMinimumHeight(60);
    // Wide enough for a whole line, maxEl included: never a horizontal
    // scroll bar that hides the number the operator looks for.
    passes->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    const int lineWidth = QFontMetrics(passes->font())
                              .horizontalAdvance(QStringLiteral(
                                  "00.00.0000 00:00 (Az 000°) -> 00:00 (Az 000°) maxEl: 00°)"));
    passes->setMinimumWidth(lineWidth + 2 * passes->frameWidth()
        + passes->style()->pixelMetric(QStyle::PM_ScrollBarExtent) + 8);
    column->addWidget(passes);
    return frame;
}

QGroupBox* MainWindow::BuildRotorFrame()
{
    RotorControls& rotor = m_controls.Rotor;
    auto* frame = new QGroupBox(QStringLiteral("Rotor Control"), this);
    rotor.Frame = frame;
    auto* grid = new QGridLayout(frame);
    auto* park = new QPushButton(QStringLiteral("park"), frame);
    rotor.Park = park;
    auto* mode = Caption(frame, QString());
    rotor.ParkMode = mode;
    QFont modeFont = mode->font();
    modeFont.setBold(true);
    mode->setFont(modeFont);
    auto* lamp = new StatusLamp(frame);
    rotor.Lamp = lamp;
    lamp->setToolTip(tr("Rotor port: green while open"));
    auto* status = Caption(frame, QStringLiteral("Rotor Control"));
    rotor.Status = status;
    status->setFont(FixedPitch(0));
    status->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto* position = Caption(frame, QString());
    rotor.Position = position;
    position->setFont(FixedPitch(0));
    position->setToolTip(tr("Where the rotor was sent; with rotctld also where it reports itself"));

    // Two rows: under the plots every line taken is sky plot lost.
    grid->addWidget(lamp, 0, 0);
    grid->addWidget(status, 0, 1);
    grid->addWidget(park, 0, 2);
    grid->addWidget(position, 1, 1);
    grid->addWidget(mode, 1, 2);
    grid->setColumnStretch(1, 1);
    return frame;
}

namespace {

// The large display Text2 of the Doppler-corrected centre frequency.
FittingDisplay* CentreDisplay(QWidget* frame)
{
    QFont displayFont;
    displayFont.setFamilies({ QStringLiteral("Verdana"), QStringLiteral("DejaVu Sans") });
    displayFont.setBold(true);
    displayFont.setPointSize(36);
    auto* display = new FittingDisplay(displayFont, frame);
    display->setReadOnly(true);
    display->setFocusPolicy(Qt::ClickFocus);
    display->setAlignment(Qt::AlignCenter);
    QPalette displayPalette = display->palette();
    displayPalette.setColor(QPalette::Base, DisplayGrey);
    displayPalette.setColor(QPalette::Text, DisplayCyan);
    display->setPalette(displayPalette);
    display->setToolTip(QObject::tr("Doppler-corrected centre frequency, kHz"));
    display->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    return display;
}

QScrollBar* OffsetSlider(QWidget* frame)
{
    auto* offset = new QScrollBar(Qt::Horizontal, frame);
    offset->setRange(-1000, 1000);
    offset->setValue(0);
    offset->setSingleStep(1);
    offset->setPageStep(100);
    offset->setToolTip(QObject::tr("Offset, 10 Hz a step"));
    return offset;
}

// The steps are of the offset in Hz (1000, 100, 10), said with their
// units: "+1000" beside fields in kHz read as a megahertz.
const char* const kStepCaptions[]
    = { "+1 kHz", "+100 Hz", "+10 Hz", "-1 kHz", "-100 Hz", "-10 Hz", "reset" };

QHBoxLayout* StepRow(FrequencyControls& controls, QWidget* frame, int first)
{
    auto* row = new QHBoxLayout;
    for (int i = first; i < first + 3; ++i) {
        auto* button = new CaptionButton(QLatin1String(kStepCaptions[i]), frame);
        controls.StepButtons[static_cast<std::size_t>(i)] = button;
        // Stepping needs a frequency row of the satellite; none is known yet.
        button->setEnabled(false);
        row->addWidget(button);
    }
    return row;
}

QHBoxLayout* ValueRow(QWidget* frame, QLabel*& caption, const char* text, QLineEdit*& value)
{
    auto* row = new QHBoxLayout;
    caption = Caption(frame, QLatin1String(text));
    // Two lines rather than a frequency column too wide for 1024 pixels.
    caption->setWordWrap(true);
    auto* box = ValueBox(frame);
    value = box;
    box->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    // A microwave downlink in kHz, whole.
    box->SetHintText(QStringLiteral("00000000.000"));
    box->setMinimumWidth(box->sizeHint().width());
    row->addWidget(caption, 1);
    row->addWidget(box, 1);
    return row;
}

QHBoxLayout* NoteRow(FrequencyControls& controls, QWidget* frame)
{
    auto* noteRow = new QHBoxLayout;
    auto* note = Caption(frame, QString());
    controls.RowNote = note;
    QPalette notePalette = note->palette();
    notePalette.setColor(QPalette::WindowText, NoteBlue);
    note->setPalette(notePalette);
    note->setWordWrap(true);
    auto* reset = new CaptionButton(QLatin1String(kStepCaptions[6]), frame);
    controls.StepButtons[6] = reset;
    noteRow->addWidget(note, 1);
    noteRow->addWidget(reset, 0);
    return noteRow;
}

} // namespace

// The receiver's controls, then the transceiver's (shown when RIG_HOST is set).
QGroupBox* MainWindow::BuildFrequencyFrame()
{
    FrequencyControls& controls = m_controls.Frequency;
    auto* frame = new QGroupBox(QStringLiteral(" Frequency "), this);
    controls.Frame = frame;
    auto* column = new QVBoxLayout(frame);
    column->setSpacing(6);

    auto* connectRow = new QHBoxLayout;
    auto* track = new QCheckBox(QStringLiteral("track"), frame);
    controls.Track = track;
    track->setToolTip(QStringLiteral("track"));
    controls.ReceiverName = Caption(frame, QStringLiteral("connect FCDpro"));
    connectRow->addWidget(track);
    connectRow->addSpacing(8);
    connectRow->addWidget(controls.ReceiverName, 1);
    column->addLayout(connectRow);

    // Which number carries the Doppler correction, said where it stands.
    controls.CentreCaption = Caption(frame, QStringLiteral("Doppler-corrected downlink (kHz):"));
    column->addWidget(controls.CentreCaption);
    controls.CentreFrequency = CentreDisplay(frame);
    column->addWidget(controls.CentreFrequency);
    controls.OffsetSlider = OffsetSlider(frame);
    column->addWidget(controls.OffsetSlider);

    column->addLayout(StepRow(controls, frame, 0));
    column->addLayout(
        ValueRow(frame, controls.TunedCaption, "corrected center freq:", controls.TunedFrequency));
    column->addLayout(ValueRow(frame, controls.OffsetCaption, "offset (KHz):", controls.Offset));
    column->addLayout(StepRow(controls, frame, 3));
    column->addLayout(NoteRow(controls, frame));
    controls.Transceiver = new TransceiverFrame(frame);
    column->addWidget(controls.Transceiver);
    column->addStretch(1);
    return frame;
}

QWidget* MainWindow::BuildEventLog()
{
    auto* log = new QListWidget(this);
    m_controls.EventLog = log;
    // Three whole lines at least.
    log->setMinimumHeight(3 * log->fontMetrics().height() + 2 * log->frameWidth() + 4);
    log->setToolTip(tr("Event log"));
    return log;
}

namespace {

// Label8: the count to AOS or LOS, large enough to read across the room.
QLabel* CountdownLabel(QWidget* parent)
{
    auto* countdown = Caption(parent, QString());
    QFont countdownFont = countdown->font();
    countdownFont.setBold(true);
    countdownFont.setPointSizeF(countdownFont.pointSizeF() * 1.4);
    countdown->setFont(countdownFont);
    countdown->setAlignment(Qt::AlignCenter);
    return countdown;
}

QLineEdit* CreditLine(QWidget* parent)
{
    auto* credit = new QLineEdit(QStringLiteral("aostrack %1 · Plan13 orbits, Doppler tuning and "
                                                "EasyComm rotor control for amateur satellite "
                                                "stations")
                                     .arg(QLatin1String(kProgramVersion)),
        parent);
    credit->setFrame(false);
    credit->setReadOnly(true);
    credit->setFocusPolicy(Qt::NoFocus);
    QPalette creditPalette = credit->palette();
    creditPalette.setColor(QPalette::Base, creditPalette.color(QPalette::Window));
    creditPalette.setColor(QPalette::Text, QColor(96, 96, 96));
    credit->setPalette(creditPalette);
    return credit;
}

QWidget* Column(QWidget* parent, QSizePolicy::Policy horizontal, QVBoxLayout*& layout)
{
    auto* column = new QWidget(parent);
    column->setSizePolicy(horizontal, QSizePolicy::Preferred);
    layout = new QVBoxLayout(column);
    layout->setContentsMargins(0, 0, 0, 0);
    return column;
}

} // namespace

// The tracking page: data panel and pass list, countdown, plots and rotor,
// the frequency column.
QWidget* MainWindow::BuildTrackingPage(QWidget* parent)
{
    auto* body = new QWidget(parent);
    auto* columns = new QHBoxLayout(body);
    columns->setContentsMargins(0, 0, 0, 0);

    // The data panel and pass list never shrink below their texts; on a
    // larger screen they grow with the plot, the frequency column keeps its
    // natural width.
    QVBoxLayout* left = nullptr;
    QWidget* leftColumn = Column(body, QSizePolicy::Preferred, left);
    left->addWidget(BuildSatelliteFrame(), 0);
    left->addWidget(BuildPassListFrame(), 1);

    auto* middle = new QVBoxLayout;
    m_controls.Countdown = CountdownLabel(body);
    middle->addWidget(m_controls.Countdown);
    middle->addWidget(BuildElevationFrame(), 1);
    // Under the sky plot that marks where the antenna looks; beside the
    // frequency frame it made the window too tall for a 600-pixel screen.
    middle->addWidget(BuildRotorFrame(), 0);

    QVBoxLayout* right = nullptr;
    QWidget* rightColumn = Column(body, QSizePolicy::Maximum, right);
    right->addWidget(BuildFrequencyFrame());
    right->addStretch(1);

    columns->addWidget(leftColumn, 2);
    columns->addLayout(middle, 3);
    columns->addWidget(rightColumn, 0);
    return body;
}

// The pages over the event log: the operator can trade pass plot height
// for log lines.
QSplitter* MainWindow::BuildPagesAndLog(QWidget* parent)
{
    QWidget* body = BuildTrackingPage(parent);
    auto* split = new QSplitter(Qt::Vertical, parent);
    split->setChildrenCollapsible(false);
    auto* pages = new QTabWidget(split);
    m_controls.Pages = pages;
    pages->setDocumentMode(true);
    pages->setTabBarAutoHide(true);
    pages->addTab(body, QStringLiteral("Tracking"));
    split->addWidget(pages);
    split->addWidget(BuildEventLog());
    // A taller window gives the log some of its height too.
    split->setStretchFactor(0, 4);
    split->setStretchFactor(1, 1);
    split->setSizes({ 600, 80 });
    return split;
}

void MainWindow::BuildCentralWidget()
{
    auto* central = new QWidget(this);
    auto* page = new QVBoxLayout(central);
    page->setContentsMargins(6, 6, 6, 4);
    page->setSpacing(4);
    page->addWidget(BuildHeader());
    page->addWidget(BuildElementLines());
    page->addWidget(BuildPagesAndLog(central), 1);
    m_controls.Credit = CreditLine(central);
    page->addWidget(m_controls.Credit);
    setCentralWidget(central);
}

} // namespace aostrack
