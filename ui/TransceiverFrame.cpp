#include "ui/TransceiverFrame.h"

#include "station/StationTransceiver.h"
#include "ui/FrequencyWindow.h"
#include "ui/MainWindow.h"

#include <QBoxLayout>
#include <QComboBox>
#include <QLabel>
#include <QSpinBox>
#include <QToolButton>
#include <QWheelEvent>
#include <cmath>

namespace aostrack {
namespace {

QString Megahertz(const std::optional<double>& hz)
{
    return hz ? QString::number(std::llround(*hz) / 1e6, 'f', 6) : QStringLiteral("-");
}

QSpinBox* OffsetBox(QWidget* parent, const QString& tip)
{
    auto* box = new QSpinBox(parent);
    // Calibration is a few kHz at most; below each lamp, RX under RX.
    box->setRange(-9999, 9999);
    box->setSingleStep(10);
    box->setButtonSymbols(QAbstractSpinBox::NoButtons);
    box->setKeyboardTracking(false);
    box->setToolTip(tip);
    return box;
}

void SetLamp(QLabel* lamp, bool on)
{
    lamp->setStyleSheet(on ? QStringLiteral("background: #3c3; padding: 0 3px")
                           : QStringLiteral("background: #c33; color: white; padding: 0 3px"));
}

} // namespace

TransceiverFrame::TransceiverFrame(QWidget* parent)
    : QWidget(parent)
    , m_rxLamp(new QLabel(QStringLiteral("\u2193"), this))
    , m_txLamp(new QLabel(QStringLiteral("\u2191"), this))
    , m_transmitters(new QComboBox(this))
    , m_point(new QLabel(this))
    , m_rxOffset(OffsetBox(this, tr("Receive offset for this satellite, Hz (wheel: 10 Hz)")))
    , m_txOffset(OffsetBox(this, tr("Transmit offset for this satellite, Hz (wheel: 10 Hz)")))
{
    setObjectName(QStringLiteral("Transceiver"));
    m_transmitters->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    m_transmitters->setMinimumContentsLength(4);
    m_point->setAlignment(Qt::AlignCenter);
    m_rxLamp->setToolTip(tr("Receive dial, MHz; green while the receiving rigctld is connected"));
    m_txLamp->setToolTip(
        tr("Transmit dial, MHz; green while the transmitting rigctld is connected"));
    m_point->setToolTip(tr("Passband point at the satellite, kHz; wheel: 10 Hz, with Ctrl 1 kHz"));
    // Three short rows, so that the window still fits a 1024x600 screen:
    // the lamps carry the dials (down: receive, up: transmit), the offsets
    // stand beside the transmitter.
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(2);
    auto* lamps = new QHBoxLayout;
    lamps->addWidget(m_rxLamp);
    lamps->addWidget(m_txLamp);
    auto* choice = new QHBoxLayout;
    choice->addWidget(m_transmitters, 1);
    choice->addWidget(m_rxOffset);
    choice->addWidget(m_txOffset);
    auto* knob = new QHBoxLayout;
    const double steps[] = { -kKnobCoarseHz, -kKnobFineHz, kKnobFineHz, kKnobCoarseHz };
    for (int i = 0; i < 4; ++i) {
        auto* button = new QToolButton(this);
        button->setText((steps[i] > 0 ? QStringLiteral("+") : QStringLiteral("-"))
            + (std::abs(steps[i]) >= 1000 ? QStringLiteral("1k") : QStringLiteral("10")));
        button->setObjectName(QStringLiteral("Knob%1").arg(i));
        connect(button, &QToolButton::clicked, this, [this, step = steps[i]] { Turn(step); });
        knob->addWidget(button);
        if (i == 1)
            knob->addWidget(m_point, 1);
    }
    for (QHBoxLayout* row : { lamps, choice, knob })
        column->addLayout(row);
    hide();
}

void TransceiverFrame::Bind(StationTransceiver& transceiver)
{
    m_transceiver = &transceiver;
    TransceiverControl& control = transceiver.Control();
    connect(&transceiver, &StationTransceiver::transmittersChanged, this,
        &TransceiverFrame::ShowTransmitters);
    connect(
        &transceiver, &StationTransceiver::offsetsChanged, this, &TransceiverFrame::ShowOffsets);
    connect(&control, &TransceiverControl::dialsChanged, this, &TransceiverFrame::ShowDials);
    connect(&control, &TransceiverControl::linksChanged, this, &TransceiverFrame::ShowLinks);
    connect(m_transmitters, &QComboBox::activated, &transceiver,
        &StationTransceiver::ChooseTransmitter);
    for (QSpinBox* box : { m_rxOffset, m_txOffset })
        connect(box, &QSpinBox::valueChanged, this, [this] {
            const Result<void> kept
                = m_transceiver->SetOffsets({ static_cast<double>(m_rxOffset->value()),
                    static_cast<double>(m_txOffset->value()) });
            setToolTip(kept ? QString() : kept.Error());
        });
    ShowTransmitters();
    ShowOffsets();
    ShowLinks();
    show();
}

void TransceiverFrame::Turn(double deltaHz)
{
    if (m_transceiver)
        m_transceiver->Control().MovePassbandPoint(deltaHz);
}

void TransceiverFrame::wheelEvent(QWheelEvent* event)
{
    const int notches = event->angleDelta().y() / 120;
    const double step
        = event->modifiers().testFlag(Qt::ControlModifier) ? kKnobCoarseHz : kKnobFineHz;
    Turn(notches * step);
    event->accept();
}

void TransceiverFrame::ShowTransmitters()
{
    m_transmitters->clear();
    for (const Transmitter& t : m_transceiver->Transmitters())
        m_transmitters->addItem(t.Description);
    m_transmitters->setCurrentIndex(m_transceiver->ChosenIndex());
    ShowDials();
}

void TransceiverFrame::ShowDials()
{
    const TransceiverControl& control = m_transceiver->Control();
    m_rxLamp->setText(QStringLiteral("\u2193") + Megahertz(control.Dials().ReceiveDialHz));
    m_txLamp->setText(QStringLiteral("\u2191") + Megahertz(control.Dials().TransmitDialHz));
    const std::optional<double> point = control.PassbandPointHz();
    m_point->setText(point ? QString::number(*point / 1e3, 'f', 2) : QStringLiteral("-"));
}

void TransceiverFrame::ShowOffsets()
{
    const QSignalBlocker rx(m_rxOffset);
    const QSignalBlocker tx(m_txOffset);
    m_rxOffset->setValue(static_cast<int>(std::lround(m_transceiver->Offsets().RxHz)));
    m_txOffset->setValue(static_cast<int>(std::lround(m_transceiver->Offsets().TxHz)));
}

void TransceiverFrame::ShowLinks()
{
    const TransceiverControl& control = m_transceiver->Control();
    SetLamp(m_rxLamp, control.ReceiveLinkUp());
    SetLamp(m_txLamp, control.UplinkLinkUp());
}

void BindTransceiver(
    StationTransceiver& transceiver, MainWindow& mainWindow, FrequencyWindow& frequencyWindow)
{
    mainWindow.Controls().Frequency.Transceiver->Bind(transceiver);
    // Three rows more in the frequency column: the window's size and place
    // are made again, so that it still fits a small screen.
    mainWindow.FitToScreen();
    frequencyWindow.SetManualUplink([&transceiver](std::optional<double> upHz) {
        transceiver.Control().SetManualUplink(upHz);
    });
}

} // namespace aostrack
