// EasyComm command texts, byte for byte.
#include "rotor/EasyComm.h"
#include "QtPrinters.h"

#include <QLocale>
#include <gtest/gtest.h>

using namespace aostrack;

TEST(EasyCommPosition, normal)
{
    EXPECT_EQ(EasyCommPosition(123.0, 45.0), "AZ123.0 EL045.0");
    EXPECT_EQ(EasyCommPosition(123.4, 45.2), "AZ123.0 EL045.0");
    EXPECT_EQ(EasyCommPosition(105.0, 10.0), "AZ105.0 EL010.0");
    // The wire form is 16 bytes: 15 characters and the carriage return.
    const QByteArray wire = EasyCommWire(EasyCommPosition(123.0, 45.0));
    EXPECT_EQ(wire, QByteArray("AZ123.0 EL045.0\r"));
    EXPECT_EQ(wire.size(), 16);
}

TEST(EasyCommPosition, padding)
{
    EXPECT_EQ(EasyCommPosition(5.0, 1.0), "AZ005.0 EL001.0");
    EXPECT_EQ(EasyCommPosition(0.0, 0.0), "AZ000.0 EL000.0");
    EXPECT_EQ(EasyCommPosition(0.2, 9.6), "AZ000.0 EL010.0");
    EXPECT_EQ(EasyCommPosition(99.7, 89.9), "AZ100.0 EL090.0");
}

TEST(EasyCommPosition, halvesToEven)
{
    EXPECT_EQ(EasyCommPosition(2.5, 10.0), "AZ002.0 EL010.0");
    EXPECT_EQ(EasyCommPosition(3.5, 10.0), "AZ004.0 EL010.0");
    EXPECT_EQ(EasyCommPosition(100.0, 44.5), "AZ100.0 EL044.0");
    EXPECT_EQ(EasyCommPosition(100.0, 45.5), "AZ100.0 EL046.0");
    EXPECT_EQ(EasyCommPosition(358.5, 10.0), "AZ358.0 EL010.0");
    EXPECT_EQ(EasyCommPosition(2.500001, 10.0), "AZ003.0 EL010.0");
}

TEST(EasyCommPosition, maximum)
{
    // Just short of north rounds up to 360: the rotor's range includes it.
    EXPECT_EQ(EasyCommPosition(359.6, 10.0), "AZ360.0 EL010.0");
    EXPECT_EQ(EasyCommPosition(359.5, 10.0), "AZ360.0 EL010.0");
    EXPECT_EQ(EasyCommPosition(359.4, 10.0), "AZ359.0 EL010.0");
    EXPECT_EQ(EasyCommPosition(180.0, 90.0), "AZ180.0 EL090.0");
    EXPECT_EQ(EasyCommWire(EasyCommPosition(359.6, 90.0)).size(), 16);
}

TEST(EasyCommPosition, negativeElevation)
{
    // Between the horizon and -3 degrees the antenna waits at 0.
    EXPECT_EQ(EasyCommPosition(200.0, -1.0), "AZ200.0 EL000.0");
    EXPECT_EQ(EasyCommPosition(200.0, -0.4), "AZ200.0 EL000.0");
    EXPECT_EQ(EasyCommPosition(200.0, -2.99), "AZ200.0 EL000.0");
    EXPECT_EQ(EasyCommPosition(200.0, -3.0), "AZ200.0 EL000.0");
    // 0.4 rounds to 0 and 0.5 to the even 0.
    EXPECT_EQ(EasyCommPosition(200.0, 0.4), "AZ200.0 EL000.0");
    EXPECT_EQ(EasyCommPosition(200.0, 0.5), "AZ200.0 EL000.0");
    EXPECT_EQ(EasyCommPosition(200.0, 0.6), "AZ200.0 EL001.0");
}

TEST(EasyCommPosition, germanLocale)
{
    const QLocale saved;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    EXPECT_EQ(QLocale().decimalPoint(), ",");
    EXPECT_EQ(EasyCommPosition(123.0, 45.0), "AZ123.0 EL045.0");
    EXPECT_EQ(EasyCommPosition(1234.0, 45.0), "AZ1234.0 EL045.0"); // no group separator
    QLocale::setDefault(QLocale(QLocale::Arabic, QLocale::Egypt));
    EXPECT_EQ(EasyCommPosition(123.0, 45.0), "AZ123.0 EL045.0"); // ASCII digits only
    QLocale::setDefault(saved);
}

TEST(EasyCommWire, park)
{
    EXPECT_EQ(EasyCommWire(QStringLiteral("AZ000.0 EL000.0")), QByteArray("AZ000.0 EL000.0\r"));
    EXPECT_EQ(EasyCommWire(QStringLiteral("AZ180.0 EL090.0")), QByteArray("AZ180.0 EL090.0\r"));
    // No ROTOR_PARK: a lone carriage return.
    EXPECT_EQ(EasyCommWire(QString()), QByteArray("\r"));
}
