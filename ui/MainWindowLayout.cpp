// Construction of the main window's controls: captions, fonts, colours and
// enabled states as the window stands before start-up has run.
#include "ui/MainWindow.h"
#include "ui/AboutBox.h"
#include "ui/PassPlot.h"
#include "ui/StatusLamp.h"

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
#include <QVBoxLayout>

namespace aostrack {

namespace {

const QColor PanelGrey(224, 224, 224);
const QColor DisplayGrey(64, 64, 64);
const QColor DisplayCyan(192, 255, 255);
const QColor NoteBlue(0, 0, 128);

struct FieldCaption {
    int index;
    const char* caption;
};
// Data panel fields (Text1 with the Label2 of the same index), two columns:
// where the satellite is, then what it is doing.
constexpr FieldCaption LeftColumn[] = {
        {2, "Azimut"}, {3, "Elevation"}, {6, "Distance"}, {7, "Height"},
        {4, "Sat Long"}, {5, "Sat Lat"}, {22, "Doppler shift"}};
constexpr FieldCaption RightColumn[] = {
        {29, "Epoche"}, {8, "Orbit #"}, {1, "MA-Value"}, {9, "Sun Angle"},
        {10, "Illumination"}, {25, "Info"}, {21, "Loss"}};

QFont FixedPitch(double pointSize)
{
    QFont font(QStringLiteral("Courier New"));
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    if (pointSize > 0)
        font.setPointSizeF(pointSize);
    return font;
}

// A read-only field that asks for the width of its longest expected text, so
// that wide screens show it whole while small ones may squeeze it.
class ValueField : public QLineEdit {
public:
    using QLineEdit::QLineEdit;
    void SetHintText(const QString& text) { m_hintWidth = fontMetrics().horizontalAdvance(text) + 14; }
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

ValueField* ValueBox(QWidget* parent, const QString& name, const QColor& background = PanelGrey)
{
    auto* box = new ValueField(parent);
    box->setObjectName(name);
    box->setReadOnly(true);
    box->setFocusPolicy(Qt::ClickFocus);
    QPalette palette = box->palette();
    palette.setColor(QPalette::Base, background);
    palette.setColor(QPalette::Text, Qt::black);
    box->setPalette(palette);
    return box;
}

QLabel* Caption(QWidget* parent, const QString& name, const QString& text)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    return label;
}

QGroupBox* Frame(QWidget* parent, const QString& name, const QString& caption)
{
    auto* frame = new QGroupBox(caption, parent);
    frame->setObjectName(name);
    return frame;
}

QString Indexed(const char* array, int index) { return QStringLiteral("%1_%2").arg(QLatin1String(array)).arg(index); }

} // namespace

QWidget* MainWindow::BuildHeader()
{
    auto* header = new QWidget(this);
    auto* row = new QHBoxLayout(header);
    row->setContentsMargins(0, 0, 0, 0);

    auto* satellites = new QComboBox(header);
    satellites->setObjectName(QStringLiteral("Combo1"));
    satellites->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    satellites->setMinimumContentsLength(18);
    satellites->setMaxVisibleItems(25);
    QFont selectorFont = satellites->font();
    selectorFont.setBold(true);
    selectorFont.setPointSizeF(selectorFont.pointSizeF() * 1.2);
    satellites->setFont(selectorFont);

    auto* time = ValueBox(header, Indexed("Text1", 0));
    QFont timeFont = time->font();
    timeFont.setBold(true);
    timeFont.setPointSizeF(timeFont.pointSizeF() * 1.2);
    time->setFont(timeFont);
    time->setAlignment(Qt::AlignCenter);
    time->setMinimumWidth(QFontMetrics(timeFont).horizontalAdvance(QStringLiteral("00:00:00 UTC")) + 24);
    time->setMaximumWidth(time->minimumWidth() + 40);

    auto* date = ValueBox(header, Indexed("Text1", 28));
    date->setFont(timeFont);
    date->setMinimumWidth(QFontMetrics(timeFont).horizontalAdvance(QStringLiteral("Wednesday, 2024 September 30")) + 16);

    auto* qth = Caption(header, QStringLiteral("Label5"), QStringLiteral("QTH"));
    qth->setToolTip(tr("Station latitude / longitude, degrees"));
    qth->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

    row->addWidget(satellites, 2);
    row->addSpacing(12);
    row->addWidget(time, 0);
    row->addWidget(date, 1);
    row->addStretch(1);
    auto* qthCaption = new QLabel(QStringLiteral("QTH"), header);
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
    const char* captions[] = {"Line1", "Line2"};
    for (int i = 0; i < 2; ++i) {
        auto* line = Caption(lines, Indexed("Label1", i), QLatin1String(captions[i]));
        line->setFont(FixedPitch(0));
        line->setTextInteractionFlags(Qt::TextSelectableByMouse);
        column->addWidget(line);
    }
    return lines;
}

QGroupBox* MainWindow::BuildSatelliteFrame()
{
    auto* frame = Frame(this, QStringLiteral("Frame1"), QStringLiteral("Satellite"));
    auto* grid = new QGridLayout(frame);
    grid->setHorizontalSpacing(8);
    grid->setVerticalSpacing(4);
    const int minimumWidth = QFontMetrics(font()).horizontalAdvance(QStringLiteral("000.00°W  (-0"));
    auto addColumn = [&](const FieldCaption* fields, std::size_t count, int column, const QString& longest) {
        for (std::size_t row = 0; row < count; ++row) {
            auto* caption = Caption(frame, Indexed("Label2", fields[row].index), QLatin1String(fields[row].caption));
            caption->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
            auto* value = ValueBox(frame, Indexed("Text1", fields[row].index));
            value->setAccessibleName(QLatin1String(fields[row].caption));
            value->SetHintText(longest);
            value->setMinimumWidth(minimumWidth);
            grid->addWidget(caption, static_cast<int>(row), column);
            grid->addWidget(value, static_cast<int>(row), column + 1);
        }
    };
    addColumn(LeftColumn, std::size(LeftColumn), 0, QStringLiteral("000.00°W  (-000°00' 00\")"));
    addColumn(RightColumn, std::size(RightColumn), 2, QStringLiteral("satellite may visible"));
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(3, 1);
    grid->setColumnMinimumWidth(2, 70);

    auto* age = Caption(frame, QStringLiteral("Label15"), QString());
    QFont ageFont = age->font();
    ageFont.setBold(true);
    age->setFont(ageFont);
    age->setAlignment(Qt::AlignCenter);
    grid->addWidget(age, static_cast<int>(std::size(LeftColumn)), 0, 1, 4);
    // Which theory the figures above come from.
    auto* model = Caption(frame, QStringLiteral("LabelOrbitModel"), QStringLiteral("Orbit model: Plan13"));
    model->setAlignment(Qt::AlignCenter);
    grid->addWidget(model, static_cast<int>(std::size(LeftColumn)) + 1, 0, 1, 4);
    return frame;
}

QGroupBox* MainWindow::BuildElevationFrame()
{
    auto* frame = Frame(this, QStringLiteral("Frame2"), QStringLiteral("Elevation"));
    auto* column = new QVBoxLayout(frame);
    auto* duration = Caption(frame, QStringLiteral("Label19"), QString());
    duration->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_plot = new PassPlot(duration, frame);
    column->addWidget(m_plot, 1);
    column->addWidget(duration, 0);
    return frame;
}

QGroupBox* MainWindow::BuildPassListFrame()
{
    auto* frame = Frame(this, QStringLiteral("Frame3"), QStringLiteral("next 24 hours"));
    auto* column = new QVBoxLayout(frame);
    auto* passes = new QListWidget(frame);
    passes->setObjectName(QStringLiteral("List1"));
    passes->setFont(FixedPitch(8.25));
    passes->setSortingEnabled(false);
    passes->setMinimumHeight(60);
    column->addWidget(passes);
    return frame;
}

QGroupBox* MainWindow::BuildRotorFrame()
{
    auto* frame = Frame(this, QStringLiteral("Frame4"), QStringLiteral("Rotor Control"));
    auto* grid = new QGridLayout(frame);
    auto* park = new QPushButton(QStringLiteral("park"), frame);
    park->setObjectName(QStringLiteral("Command2"));
    park->setEnabled(false);
    auto* mode = Caption(frame, QStringLiteral("Label9"), QString());
    QFont modeFont = mode->font();
    modeFont.setBold(true);
    mode->setFont(modeFont);
    auto* lamp = new StatusLamp(frame);
    lamp->setObjectName(QStringLiteral("Shape1"));
    lamp->setToolTip(tr("Rotor port: green while open"));
    auto* status = Caption(frame, QStringLiteral("Label7"), QStringLiteral("Rotor Control"));
    status->setFont(FixedPitch(0));
    status->setTextInteractionFlags(Qt::TextSelectableByMouse);

    grid->addWidget(lamp, 0, 0);
    grid->addWidget(status, 0, 1, 1, 3);
    grid->addWidget(park, 1, 0, 1, 2);
    grid->addWidget(mode, 1, 2);
    grid->setColumnStretch(3, 1);
    return frame;
}

QGroupBox* MainWindow::BuildFrequencyFrame()
{
    auto* frame = Frame(this, QStringLiteral("Frame6"), QStringLiteral(" Frequency "));
    auto* column = new QVBoxLayout(frame);
    column->setSpacing(6);

    auto* connectRow = new QHBoxLayout;
    auto* track = new QCheckBox(QStringLiteral("track"), frame);
    track->setObjectName(QStringLiteral("Check2"));
    track->setToolTip(QStringLiteral("track"));
    auto* connect = Caption(frame, QStringLiteral("Label4"), QStringLiteral("connect FCDpro"));
    connectRow->addWidget(track);
    connectRow->addSpacing(8);
    connectRow->addWidget(connect, 1);
    column->addLayout(connectRow);

    auto* display = new QLineEdit(frame);
    display->setObjectName(QStringLiteral("Text2"));
    display->setReadOnly(true);
    display->setFocusPolicy(Qt::ClickFocus);
    display->setAlignment(Qt::AlignCenter);
    QFont displayFont;
    displayFont.setFamilies({QStringLiteral("Verdana"), QStringLiteral("DejaVu Sans")});
    displayFont.setBold(true);
    displayFont.setPointSize(36);
    display->setFont(displayFont);
    QPalette displayPalette = display->palette();
    displayPalette.setColor(QPalette::Base, DisplayGrey);
    displayPalette.setColor(QPalette::Text, DisplayCyan);
    display->setPalette(displayPalette);
    display->setToolTip(tr("Doppler-corrected centre frequency, kHz"));
    // Wide enough for a microwave downlink in kHz, and no wider.
    display->setMinimumWidth(QFontMetrics(displayFont).horizontalAdvance(QStringLiteral("000000.000")) + 16);
    display->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    column->addWidget(display);

    auto* offset = new QScrollBar(Qt::Horizontal, frame);
    offset->setObjectName(QStringLiteral("HScroll1"));
    offset->setRange(-1000, 1000);
    offset->setValue(0);
    offset->setSingleStep(1);
    offset->setPageStep(100);
    offset->setToolTip(tr("Offset, 10 Hz a step"));
    column->addWidget(offset);

    const char* stepCaptions[] = {"+1000", "+100", "+10", "-1000", "-100", "-10", "reset"};
    auto stepRow = [&](int first) {
        auto* row = new QHBoxLayout;
        for (int i = first; i < first + 3; ++i) {
            auto* button = new QPushButton(QLatin1String(stepCaptions[i]), frame);
            button->setObjectName(Indexed("Command1", i));
            // Stepping needs a frequency row of the satellite; none is known yet.
            button->setEnabled(false);
            row->addWidget(button);
        }
        return row;
    };
    auto valueRow = [&](const char* captionName, const char* caption, const char* boxName) {
        auto* row = new QHBoxLayout;
        auto* label = Caption(frame, QLatin1String(captionName), QLatin1String(caption));
        auto* box = ValueBox(frame, QLatin1String(boxName), PanelGrey);
        box->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        row->addWidget(label, 1);
        row->addWidget(box, 1);
        return row;
    };
    column->addLayout(stepRow(0));
    column->addLayout(valueRow("Label3", "corrected center freq:", "Text3"));
    column->addLayout(valueRow("Label6", "offset (KHz):", "Text4"));
    column->addLayout(stepRow(3));

    auto* noteRow = new QHBoxLayout;
    auto* note = Caption(frame, QStringLiteral("Label16"), QString());
    QPalette notePalette = note->palette();
    notePalette.setColor(QPalette::WindowText, NoteBlue);
    note->setPalette(notePalette);
    note->setWordWrap(true);
    auto* reset = new QPushButton(QLatin1String(stepCaptions[6]), frame);
    reset->setObjectName(Indexed("Command1", 6));
    noteRow->addWidget(note, 1);
    noteRow->addWidget(reset, 0);
    column->addLayout(noteRow);
    column->addStretch(1);
    return frame;
}

QWidget* MainWindow::BuildEventLog()
{
    auto* log = new QListWidget(this);
    log->setObjectName(QStringLiteral("List2"));
    log->setMinimumHeight(48);
    log->setToolTip(tr("Event log"));
    return log;
}

void MainWindow::BuildCentralWidget()
{
    auto* central = new QWidget(this);
    auto* page = new QVBoxLayout(central);
    page->setContentsMargins(8, 6, 8, 4);
    page->setSpacing(4);
    page->addWidget(BuildHeader());
    page->addWidget(BuildElementLines());

    auto* body = new QWidget(central);
    auto* columns = new QHBoxLayout(body);
    columns->setContentsMargins(0, 0, 0, 0);

    // The side columns keep their natural width; the plot takes the rest.
    auto* leftColumn = new QWidget(body);
    leftColumn->setSizePolicy(QSizePolicy::Maximum, QSizePolicy::Preferred);
    auto* left = new QVBoxLayout(leftColumn);
    left->setContentsMargins(0, 0, 0, 0);
    left->addWidget(BuildSatelliteFrame(), 0);
    left->addWidget(BuildPassListFrame(), 1);

    auto* middle = new QVBoxLayout;
    auto* countdown = Caption(body, QStringLiteral("Label8"), QString());
    QFont countdownFont = countdown->font();
    countdownFont.setBold(true);
    countdownFont.setPointSizeF(countdownFont.pointSizeF() * 1.6);
    countdown->setFont(countdownFont);
    countdown->setAlignment(Qt::AlignCenter);
    middle->addWidget(countdown);
    middle->addWidget(BuildElevationFrame(), 1);

    auto* rightColumn = new QWidget(body);
    rightColumn->setSizePolicy(QSizePolicy::Maximum, QSizePolicy::Preferred);
    auto* right = new QVBoxLayout(rightColumn);
    right->setContentsMargins(0, 0, 0, 0);
    right->addWidget(BuildFrequencyFrame());
    right->addWidget(BuildRotorFrame());
    right->addStretch(1);

    columns->addWidget(leftColumn, 0);
    columns->addLayout(middle, 1);
    columns->addWidget(rightColumn, 0);

    // The operator can trade pass plot height for log lines.
    auto* split = new QSplitter(Qt::Vertical, central);
    split->setChildrenCollapsible(false);
    split->addWidget(body);
    split->addWidget(BuildEventLog());
    split->setStretchFactor(0, 1);
    split->setStretchFactor(1, 0);
    split->setSizes({600, 80});
    page->addWidget(split, 1);

    auto* credit = new QLineEdit(QStringLiteral("aostrack 1.1.1 · Plan13 orbits, Doppler tuning and EasyComm rotor control for amateur satellite stations"),
            central);
    credit->setObjectName(QStringLiteral("Text5"));
    credit->setFrame(false);
    credit->setReadOnly(true);
    credit->setFocusPolicy(Qt::NoFocus);
    QPalette creditPalette = credit->palette();
    creditPalette.setColor(QPalette::Base, creditPalette.color(QPalette::Window));
    creditPalette.setColor(QPalette::Text, QColor(96, 96, 96));
    credit->setPalette(creditPalette);
    page->addWidget(credit);

    setCentralWidget(central);
}

} // namespace aostrack
