#pragma once
// The satellite frequency database (doppler.sql): comma-separated rows, one
// per line, ";" in the first column marks a comment. Field 1 is a piece of a
// satellite name, field 2 the nominal downlink in kHz, field 4 a note (the
// mode); fields 3, 5 and 6 must be present, later fields are ignored.
// The file is read whole at each call and never written.
#include "core/Result.h"
#include <QList>
#include <QLocale>

#include <QString>
#include <QStringList>
#include <optional>

namespace aostrack {

// A line that is not a comment but cannot be used as a row.
struct SkippedFrequencyLine {
    int LineNumber = 0; // counted from 1
    QString Line; // as read, without its line end
    QString Reason; // "fewer than six fields", "frequency \"abc\" is not a number"

    bool operator==(const SkippedFrequencyLine&) const = default;
};

struct FrequencyRows {
    bool Opened = false;
    QString OpenError; // why the file could not be read; empty when Opened
    QStringList Rows; // whole lines of the satellite's rows, in file order
    QList<SkippedFrequencyLine> Skipped; // unusable lines of the whole file, in file order

    bool operator==(const FrequencyRows&) const = default;
};

// Reads `path` and collects the rows whose field 1 occurs in satName (exact,
// case-sensitive substring, blanks included; an empty key belongs to every
// satellite). Lines end in CR LF, LF or CR. Blank lines are passed over
// silently; short rows and rows whose frequency is not a number are skipped
// and listed. Never throws: an unreadable file gives Opened false.
FrequencyRows ReadFrequencyRows(
    const QString& path, const QString& satName, const QLocale& locale = QLocale());

// Field 2 (kHz) and field 4 (trimmed) of one row.
struct FrequencyRowFields {
    double FreqKHz = 0;
    QString Note;

    bool operator==(const FrequencyRowFields&) const = default;
};

// Splits a row at every ","; fails when it has fewer than six fields or
// field 2 is not a number. Field 2 is read in the regional form without
// thousands separators, or with a full stop.
Result<FrequencyRowFields> ParseFrequencyRow(const QString& line, const QLocale& locale);

} // namespace aostrack
