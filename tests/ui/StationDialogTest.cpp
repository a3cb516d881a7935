// The first-run station dialog and the settings dialog under the offscreen
// platform: typed in as an operator would, OK pressed, the file read back.
#include "ui/StationDialog.h"
#include "core/SettingsText.h"
#include "ui/SettingsDialog.h"

#include <QDialogButtonBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

using namespace aostrack;

namespace {

QString Read(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

void Write(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

void PressOk(QDialog& dialog)
{
    dialog.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
}

QLineEdit* Field(const QDialog& dialog, const char* name)
{
    return dialog.findChild<QLineEdit*>(QLatin1String(name));
}

} // namespace

TEST(StationDialog, FirstRunWritesTheLocatorsCentreIntoANewSatIni)
{
    QTemporaryDir dir;
    const QString example = dir.filePath(QStringLiteral("example.ini"));
    Write(example, "# example station\nQTH=Munich\nTLEFILE=amateur.txt\nROTOR_DEG=5\n");
    const QString ini = dir.filePath(QStringLiteral("config/aostrack/sat.ini"));

    StationDialog dialog(ini, example);
    dialog.show();
    QTest::keyClicks(Field(dialog, StationDialog::kLocator), QStringLiteral("jn58td"));
    EXPECT_EQ(Field(dialog, StationDialog::kLat)->text(), QStringLiteral("48.145833"));
    EXPECT_EQ(Field(dialog, StationDialog::kLon)->text(), QStringLiteral("11.625000"));
    QTest::keyClicks(Field(dialog, StationDialog::kHeight), QStringLiteral(".519"));
    PressOk(dialog);

    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(Read(ini),
        QStringLiteral("# example station\nQTH=JN58TD\nTLEFILE=amateur.txt\nROTOR_DEG=5\n"
                       "QTH_LAT=48.145833\nQTH_LONG=11.625\nQTH_HEIGHT=0.519\n"));
}

TEST(StationDialog, RefusedEntriesKeepTheDialogOpenAndWriteNothing)
{
    struct Case {
        const char* locator;
        const char* lat;
        const char* lon;
        const char* height;
        const char* problem;
    };
    const Case cases[] = {
        { "JN5", "", "", "0", "a locator has 4, 6 or 8 characters, as JN58 or JN58sd" },
        { "", "48.1", "", "0", "give a locator, or latitude and longitude in degrees" },
        { "", "91", "11", "0", "the latitude 91 is outside -90 to 90 degrees" },
        { "JN58", "", "", "519",
            "the height 519 km is outside -0.5 to 9 km (give kilometres: 519 m is 0.519)" },
    };
    QTemporaryDir dir;
    const QString ini = dir.filePath(QStringLiteral("sat.ini"));
    for (const Case& c : cases) {
        StationDialog dialog(ini, QString());
        dialog.show();
        QTest::keyClicks(Field(dialog, StationDialog::kLocator), QLatin1String(c.locator));
        if (*c.lat || *c.lon) {
            Field(dialog, StationDialog::kLat)->setText(QLatin1String(c.lat));
            Field(dialog, StationDialog::kLon)->setText(QLatin1String(c.lon));
        }
        Field(dialog, StationDialog::kHeight)->setText(QLatin1String(c.height));
        PressOk(dialog);
        EXPECT_TRUE(dialog.isVisible()) << c.problem;
        EXPECT_EQ(dialog.findChild<QLabel*>(QLatin1String(StationDialog::kProblem))->text(),
            QLatin1String(c.problem));
        EXPECT_FALSE(QFile::exists(ini)) << c.problem;
    }
}

TEST(SettingsDialog, OkWritesOnlyTheChangedKeysAndRefusesWhatStartupWould)
{
    QTemporaryDir dir;
    const QString ini = dir.filePath(QStringLiteral("sat.ini"));
    const QByteArray original = "# my rotor\r\nQTH=Home\r\nMY_OWN_KEY=1\r\nROTOR_DEG=5\r\n";
    Write(ini, original);

    {
        SettingsDialog dialog(ini);
        dialog.show();
        EXPECT_EQ(dialog.FieldOf(QStringLiteral("ROTOR_DEG"))->text(), QStringLiteral("5"));
        dialog.FieldOf(QStringLiteral("ROTOR_EL_MAX"))->setText(QStringLiteral("100"));
        PressOk(dialog);
        EXPECT_TRUE(dialog.isVisible());
        EXPECT_TRUE(dialog.findChild<QLabel*>(QStringLiteral("SettingsProblem"))
                        ->text()
                        .contains(QStringLiteral("ROTOR_EL_MAX value \"100\" must be 90 or 180")));
        EXPECT_EQ(Read(ini).toUtf8(), original);
    }
    {
        SettingsDialog dialog(ini);
        dialog.show();
        QTest::keyClicks(dialog.findChild<QLineEdit*>(QStringLiteral("StationLocator")),
            QStringLiteral("FN31pr"));
        dialog.FieldOf(QStringLiteral("ROTOR_DEG"))->clear();
        dialog.FieldOf(QStringLiteral("ROTOR_HOST"))->setText(QStringLiteral("[::1]:4533"));
        PressOk(dialog);
        EXPECT_EQ(dialog.result(), QDialog::Accepted);
        EXPECT_EQ(dialog.ChangedKeys(),
            QStringList({ QStringLiteral("QTH_LAT"), QStringLiteral("QTH_LONG"),
                QStringLiteral("ROTOR_HOST"), QStringLiteral("ROTOR_DEG") }));
        EXPECT_EQ(Read(ini),
            QStringLiteral("# my rotor\r\nQTH=Home\r\nMY_OWN_KEY=1\r\nQTH_LAT=41.729167\r\n"
                           "QTH_LONG=-72.708333\r\nROTOR_HOST=[::1]:4533\r\n"));
    }
    {
        // Cancel writes nothing, whatever was typed.
        const QString before = Read(ini);
        SettingsDialog dialog(ini);
        dialog.show();
        dialog.FieldOf(QStringLiteral("QTH"))->setText(QStringLiteral("Elsewhere"));
        dialog.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Cancel)->click();
        EXPECT_EQ(Read(ini), before);
    }
}
