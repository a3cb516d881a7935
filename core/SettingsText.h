#pragma once
// Writing sat.ini back: the operator's comments, order, line ends and the
// keys this program does not know all stay as they were; only the lines of
// the keys changed are touched.
#include "core/Result.h"

#include <QList>
#include <QString>
#include <optional>

namespace aostrack {

struct SettingChange {
    QString Key; // as written in sat.ini, "QTH_LAT"
    std::optional<QString> Value; // nullopt: the key's lines are removed
};

// text with each change applied: every line of the key (a key given twice
// keeps both places) takes the new value; a key not yet in the text is
// appended at the end. Comment lines, even "#QTH_LAT=..." ones, stay.
QString RewriteSettingsText(const QString& text, const QList<SettingChange>& changes);

// The value of key as start-up takes it (the last line of the key, trimmed
// of blanks); empty when the key is absent.
QString SettingValue(const QString& text, const QString& key);

// RewriteSettingsText, then the result read as start-up reads the settings
// file at iniPath (whose folder relative file names start from): the new
// text, or the reason start-up would refuse it ("sat.ini line 4: ...").
Result<QString> EditSettingsText(
    const QString& text, const QList<SettingChange>& changes, const QString& iniPath);

// Writes text to path as UTF-8, making its folder first. The old file is
// replaced only once the new one is completely written.
Result<void> WriteSettingsFile(const QString& path, const QString& text);

} // namespace aostrack
