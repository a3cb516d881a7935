#pragma once
// The blocking dialogs of the window behind small interfaces, so that tests
// answer them without a click.
#include <QString>

class QWidget;

namespace aostrack {

// The file-open dialog ("CommonDialog1").
class FileChooser {
public:
    virtual ~FileChooser() = default;
    // The chosen file, or an empty text when the operator cancels.
    virtual QString ChooseFile(QWidget* parent, const QString& caption, const QString& filter) = 0;
};

// A warning message box.
class MessageSink {
public:
    virtual ~MessageSink() = default;
    virtual void Warn(const QString& caption, const QString& text) = 0;
};

// The real ones: QFileDialog and QMessageBox.
class QtFileChooser : public FileChooser {
public:
    QString ChooseFile(QWidget* parent, const QString& caption, const QString& filter) override;
};

class QtMessageSink : public MessageSink {
public:
    void Warn(const QString& caption, const QString& text) override;
};

} // namespace aostrack
