#pragma once
// Runs one element update to its end and collects its progress lines.
#include "update/ElementUpdate.h"

#include <QSignalSpy>
#include <QStringList>
#include <gtest/gtest.h>

namespace aostrack::test {

struct Outcome {
    bool Finished = false;
    bool Replaced = false;
    QStringList Progress;
};

inline Outcome RunUpdate(ElementUpdate& update, const UpdateRequest& request)
{
    Outcome outcome;
    QObject::connect(&update, &ElementUpdate::progressLine,
        [&outcome](const QString& line) { outcome.Progress << line; });
    QSignalSpy finished(&update, &ElementUpdate::finished);
    EXPECT_TRUE(update.Start(request));
    if (finished.isEmpty())
        finished.wait(30000);
    outcome.Finished = finished.size() == 1;
    if (outcome.Finished)
        outcome.Replaced = finished.first().first().toBool();
    QObject::disconnect(&update, &ElementUpdate::progressLine, nullptr, nullptr);
    return outcome;
}

} // namespace aostrack::test
