#include "ui/FrequencyWindow.h"

#include "radio/ReceiverController.h"
#include "ui/FixedPitchFont.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QLocale>
#include <QPushButton>
#include <QVBoxLayout>

namespace aostrack {

namespace {

QLabel* NamedLabel(QWidget* parent, const char* name, const QString& text)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(QLatin1String(name));
    return label;
}

} // namespace

FrequencyWindow::FrequencyWindow(ReceiverController& receiver, QWidget* parent)
    : QWidget(parent, Qt::Window)
    , m_receiver(receiver)
{
    setObjectName(QStringLiteral("Form6"));
    setWindowTitle(QStringLiteral("Satellite Frequency"));

    m_rows = new QListWidget(this);
    m_rows->setObjectName(QStringLiteral("List1"));
    // Rows are columns of text: they only line up in a fixed-pitch font.
    m_rows->setFont(FixedPitchFont({ QStringLiteral("Fixedsys"), QStringLiteral("DejaVu Sans Mono"),
                                       QStringLiteral("Courier New") },
        9));
    m_rows->setMinimumWidth(420);

    m_typedDownlink = new QLineEdit(this);
    m_typedDownlink->setObjectName(QStringLiteral("Text1"));
    m_typedUplink = new QLineEdit(this);
    m_typedUplink->setObjectName(QStringLiteral("Text2"));
    m_typedUplink->setToolTip(tr("The uplink of a single-frequency transmitter (kHz)"));

    m_message = NamedLabel(this, "LabelMessage", QString());
    QPalette warning = m_message->palette();
    warning.setColor(QPalette::WindowText, QColor(192, 0, 0));
    m_message->setPalette(warning);
    m_message->setWordWrap(true);
    m_message->hide();

    m_okButton = new QPushButton(QStringLiteral("OK"), this);
    m_okButton->setObjectName(QStringLiteral("Command1"));
    m_okButton->setDefault(true);

    auto* entries = new QGridLayout;
    entries->addWidget(NamedLabel(this, "Label1", QStringLiteral("manual Downlink QRG")), 0, 0);
    entries->addWidget(m_typedDownlink, 0, 1);
    entries->addWidget(NamedLabel(this, "Label3", QStringLiteral("kHz")), 0, 2);
    entries->addWidget(NamedLabel(this, "Label2", QStringLiteral("manual Uplink QRG")), 1, 0);
    entries->addWidget(m_typedUplink, 1, 1);
    entries->addWidget(NamedLabel(this, "Label3_1", QStringLiteral("kHz")), 1, 2);

    auto* column = new QVBoxLayout(this);
    column->addWidget(m_rows, 1);
    column->addLayout(entries);
    column->addWidget(m_message);
    column->addWidget(m_okButton, 0, Qt::AlignRight);

    connect(m_okButton, &QPushButton::clicked, this, &FrequencyWindow::Command1_Click);
    connect(m_typedDownlink, &QLineEdit::returnPressed, this, &FrequencyWindow::Command1_Click);
    connect(&m_receiver, &ReceiverController::rowsChanged, this, &FrequencyWindow::ShowRows);
    ShowRows();
}

void FrequencyWindow::ShowRows()
{
    m_rows->clear();
    m_rows->addItems(m_receiver.Rows());
    if (m_receiver.SelectedRow() >= 0)
        m_rows->setCurrentRow(m_receiver.SelectedRow());
}

void FrequencyWindow::ShowWindow()
{
    show();
    raise();
    activateWindow();
}

void FrequencyWindow::Command1_Click()
{
    const QListWidgetItem* current = m_rows->currentItem();
    const int row = current && current->isSelected() ? m_rows->currentRow() : -1;
    std::optional<double> uplinkHz;
    bool uplinkOk = true;
    if (m_applyUplink && !m_typedUplink->text().trimmed().isEmpty())
        uplinkHz = QLocale::c().toDouble(m_typedUplink->text().trimmed(), &uplinkOk) * 1000;
    const Result<void> applied = uplinkOk
        ? m_receiver.ApplyFrequencyChoice(row, m_typedDownlink->text())
        : Result<void>(Failure { QStringLiteral("The uplink \"%1\" is not a frequency in kHz.")
                                     .arg(m_typedUplink->text()) });
    if (!applied) {
        m_message->setText(applied.Error());
        m_message->show();
        return;
    }
    if (m_applyUplink)
        m_applyUplink(uplinkHz);
    close();
}

void FrequencyWindow::closeEvent(QCloseEvent* event)
{
    m_typedDownlink->clear();
    m_typedUplink->clear();
    m_message->clear();
    m_message->hide();
    QWidget::closeEvent(event);
}

} // namespace aostrack
