#pragma once
// The receiver-control library: a shared library loaded by name at run time
// that drives the receiver through three C functions (OpenForm, HideGUI,
// SetHWLO). The tracker knows nothing of the hardware behind it.
#include <QLibrary>
#include <QString>
#include <QStringList>
#include <cstdint>

#include "core/Result.h"
#include "radio/plugin/ExtIOFunctions.h"

namespace aostrack {

class ReceiverLibrary {
public:
    virtual ~ReceiverLibrary() = default;
    // Loads the library unless it is loaded already. Fails with a reason that
    // names the file or the missing function when it cannot.
    virtual Result<void> Load() = 0;
    virtual bool IsLoaded() const = 0;
    // Where the library was found (for the event log); empty before Load.
    virtual QString Location() const = 0;
    // Only after a successful Load; results are not used.
    virtual void OpenForm(int mode) = 0;
    virtual void HideGUI() = 0;
    virtual void SetHWLO(int32_t freqHz) = 0;
    // The library's latest news about its link to the receiver (optional
    // function ReceiverStatus); empty when it has none or says nothing.
    virtual QString Status() const { return {}; }
};

// The real loader: looks for the library in each of `folders` in turn (the
// executable's folder by default), then on the system's library search path.
class SharedReceiverLibrary : public ReceiverLibrary {
public:
    static constexpr const char* kDefaultName = "ExtIO_FCD_Quillon";

    // An empty folder list means the folder of the running executable.
    explicit SharedReceiverLibrary(
        QString baseName = QString::fromLatin1(kDefaultName), QStringList folders = {});

    Result<void> Load() override;
    bool IsLoaded() const override { return m_setHwlo != nullptr; }
    QString Location() const override { return m_location; }
    void OpenForm(int mode) override;
    void HideGUI() override;
    void SetHWLO(int32_t freqHz) override;
    QString Status() const override;

private:
    enum class LoadResult { Loaded, NotLoadable, Incomplete };
    struct Attempt {
        LoadResult Outcome;
        QString WhyNot; // empty when loaded
    };
    Attempt TryLoad(const QString& fileName);

    QString m_baseName;
    QStringList m_folders;
    QLibrary m_library;
    QString m_location;
    OpenFormFunction m_openForm = nullptr;
    HideGuiFunction m_hideGui = nullptr;
    SetHwloFunction m_setHwlo = nullptr;
    ReceiverStatusFunction m_status = nullptr;
};

} // namespace aostrack
