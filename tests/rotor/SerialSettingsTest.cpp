// Strict reading of the rotor port's line settings.
#include "rotor/SerialSettings.h"
#include "QtPrinters.h"

#include <gtest/gtest.h>

using namespace aostrack;

namespace {

// Whether the text is refused; error then holds the reason.
bool Refused(const QString& text, QString& error)
{
    const Result<SerialSettings> settings = ParseSerialSettings(text);
    error = settings.Error();
    return !settings;
}

} // namespace

TEST(SerialSettings, normal)
{
    const auto s = ParseSerialSettings(QStringLiteral("9600,n,8,1"));
    ASSERT_TRUE(s);
    EXPECT_EQ(*s, (SerialSettings { 9600, SerialParity::None, 8, SerialStopBits::One }));
}

TEST(SerialSettings, everyForm)
{
    EXPECT_EQ(*ParseSerialSettings(QStringLiteral("4800,E,7,2")),
        (SerialSettings { 4800, SerialParity::Even, 7, SerialStopBits::Two }));
    EXPECT_EQ(*ParseSerialSettings(QStringLiteral("1200,o,5,1.5")),
        (SerialSettings { 1200, SerialParity::Odd, 5, SerialStopBits::OneAndHalf }));
    EXPECT_EQ(*ParseSerialSettings(QStringLiteral("19200,M,6,1")),
        (SerialSettings { 19200, SerialParity::Mark, 6, SerialStopBits::One }));
    EXPECT_EQ(*ParseSerialSettings(QStringLiteral("115200,s,8,2")),
        (SerialSettings { 115200, SerialParity::Space, 8, SerialStopBits::Two }));
    EXPECT_EQ(*ParseSerialSettings(QStringLiteral(" 9600 , n , 8 , 1 ")),
        (SerialSettings { 9600, SerialParity::None, 8, SerialStopBits::One }));
    EXPECT_EQ(*ParseSerialSettings(QStringLiteral("110,n,8,1")),
        (SerialSettings { 110, SerialParity::None, 8, SerialStopBits::One }));
    EXPECT_EQ(*ParseSerialSettings(QStringLiteral("921600,n,8,1")),
        (SerialSettings { 921600, SerialParity::None, 8, SerialStopBits::One }));
}

TEST(SerialSettings, empty)
{
    QString error;
    EXPECT_TRUE(Refused(QString(), error));
    EXPECT_EQ(error,
        "Rotor port settings \"\": expected four fields baud,parity,data bits,stop "
        "bits as in 9600,n,8,1");
    EXPECT_TRUE(Refused(QStringLiteral(",,,"), error));
    EXPECT_TRUE(error.contains("baud rate \"\""));
}

TEST(SerialSettings, malformed)
{
    QString error;
    EXPECT_TRUE(Refused(QStringLiteral("9600"), error));
    EXPECT_TRUE(Refused(QStringLiteral("9600,n,8"), error));
    EXPECT_TRUE(Refused(QStringLiteral("9600,n,8,1,1"), error));
    EXPECT_TRUE(Refused(QStringLiteral("9600;n;8;1"), error));

    EXPECT_TRUE(Refused(QStringLiteral("9600,x,8,1"), error));
    EXPECT_EQ(error, "Rotor port settings \"9600,x,8,1\": parity \"x\" must be n, e, o, m or s");
    EXPECT_TRUE(Refused(QStringLiteral("9600,none,8,1"), error));

    EXPECT_TRUE(Refused(QStringLiteral("9600,n,9,1"), error));
    EXPECT_EQ(error, "Rotor port settings \"9600,n,9,1\": data bits \"9\" must be 5, 6, 7 or 8");
    EXPECT_TRUE(Refused(QStringLiteral("9600,n,4,1"), error));
    EXPECT_TRUE(Refused(QStringLiteral("9600,n,08,1"), error));

    EXPECT_TRUE(Refused(QStringLiteral("9600,n,8,3"), error));
    EXPECT_EQ(error, "Rotor port settings \"9600,n,8,3\": stop bits \"3\" must be 1, 1.5 or 2");
    EXPECT_TRUE(Refused(QStringLiteral("9600,n,8,1.0"), error));
    EXPECT_TRUE(Refused(QStringLiteral("9600,n,8,1,5"), error));

    EXPECT_TRUE(Refused(QStringLiteral("nine,n,8,1"), error));
    EXPECT_TRUE(Refused(QStringLiteral("-9600,n,8,1"), error));
    EXPECT_TRUE(Refused(QStringLiteral("+9600,n,8,1"), error));
    EXPECT_TRUE(Refused(QStringLiteral("9600.0,n,8,1"), error));
}

TEST(SerialSettings, oversized)
{
    QString error;
    // A typo'd rate is refused at start-up rather than at the first pass.
    EXPECT_TRUE(Refused(QStringLiteral("96000,n,8,1"), error));
    EXPECT_TRUE(error.startsWith("Rotor port settings \"96000,n,8,1\": baud rate \"96000\" is not "
                                 "one of 110, 300,"));
    EXPECT_TRUE(Refused(QStringLiteral("99999999999,n,8,1"), error));
    EXPECT_TRUE(Refused(QStringLiteral("0,n,8,1"), error));
}
