#include "ui/FixedPitchFont.h"

#include <QFontDatabase>
#include <QFontInfo>

namespace aostrack {

QFont FixedPitchFont(const QStringList& families, double pointSize)
{
    const double size = pointSize > 0 ? pointSize : QFont().pointSizeF();
    QFont font;
    font.setFamilies(families);
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    font.setPointSizeF(size);
    // A desktop with many fonts may alias a wanted name to a proportional
    // face; its columns would no longer line up.
    if (QFontInfo(font).fixedPitch())
        return font;
    QFont system = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    system.setPointSizeF(size);
    return system;
}

} // namespace aostrack
