#include "radio/ReceiverLibrary.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace aostrack {

SharedReceiverLibrary::SharedReceiverLibrary(QString baseName, QStringList folders)
    : m_baseName(std::move(baseName))
    , m_folders(std::move(folders))
{
}

SharedReceiverLibrary::Attempt SharedReceiverLibrary::TryLoad(const QString& fileName)
{
    m_library.setFileName(fileName);
    if (!m_library.load())
        return { LoadResult::NotLoadable, m_library.errorString() };
    m_location = m_library.fileName();
    if (m_location.isEmpty() || !QFileInfo(m_location).isAbsolute())
        m_location = fileName;

    const auto openForm = reinterpret_cast<OpenFormFunction>(m_library.resolve("OpenForm"));
    const auto hideGui = reinterpret_cast<HideGuiFunction>(m_library.resolve("HideGUI"));
    const auto setHwlo = reinterpret_cast<SetHwloFunction>(m_library.resolve("SetHWLO"));
    QStringList missing;
    if (!openForm)
        missing << QStringLiteral("OpenForm");
    if (!hideGui)
        missing << QStringLiteral("HideGUI");
    if (!setHwlo)
        missing << QStringLiteral("SetHWLO");
    if (!missing.isEmpty()) {
        const QString whyNot
            = QStringLiteral("%1 lacks %2").arg(m_location, missing.join(QStringLiteral(", ")));
        m_library.unload();
        m_location.clear();
        return { LoadResult::Incomplete, whyNot };
    }
    m_openForm = openForm;
    m_hideGui = hideGui;
    m_setHwlo = setHwlo;
    m_status = reinterpret_cast<ReceiverStatusFunction>(m_library.resolve("ReceiverStatus"));
    return { LoadResult::Loaded, QString() };
}

Result<void> SharedReceiverLibrary::Load()
{
    if (IsLoaded())
        return {};
    // The executable's folder is asked for only now: the application object
    // may not exist yet when the loader is made.
    if (m_folders.isEmpty()) {
        m_folders.append(QCoreApplication::applicationDirPath());
#ifdef AOSTRACK_RECEIVER_LIBRARY_DIR
        // An installed program keeps its library in a private folder
        // (../lib/aostrack from /usr/bin).
        m_folders.append(
            QDir::cleanPath(QDir(QCoreApplication::applicationDirPath())
                                .filePath(QStringLiteral(AOSTRACK_RECEIVER_LIBRARY_DIR))));
#endif
    }
    QStringList candidates;
    for (const QString& folder : std::as_const(m_folders))
        candidates << QDir(folder).filePath(m_baseName);
    candidates << m_baseName; // the system's search path
    QString firstError;
    for (const QString& candidate : std::as_const(candidates)) {
        const Attempt attempt = TryLoad(candidate);
        switch (attempt.Outcome) {
        case LoadResult::Loaded:
            return {};
        case LoadResult::Incomplete:
            // Found but unusable: the operator must hear about this one, not
            // about a search that went on elsewhere.
            return Failure { attempt.WhyNot };
        case LoadResult::NotLoadable:
            if (firstError.isEmpty())
                firstError = attempt.WhyNot;
            break;
        }
    }
    return Failure { QStringLiteral("%1 in %2 or on the system's library path (%3)")
                         .arg(m_baseName, m_folders.join(QStringLiteral(", ")), firstError) };
}

void SharedReceiverLibrary::OpenForm(int mode)
{
    if (m_openForm)
        m_openForm(mode);
}

void SharedReceiverLibrary::HideGUI()
{
    if (m_hideGui)
        m_hideGui();
}

void SharedReceiverLibrary::SetHWLO(int32_t freqHz)
{
    if (m_setHwlo)
        m_setHwlo(freqHz);
}

} // namespace aostrack

namespace aostrack {

QString SharedReceiverLibrary::Status() const
{
    const char* text = m_status ? m_status() : nullptr;
    return text ? QString::fromUtf8(text) : QString();
}

} // namespace aostrack
