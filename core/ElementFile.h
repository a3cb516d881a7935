#pragma once
// The catalogue loader: every element file the program reads (start-up,
// "Open Kep File", the reload after an update, each --tle of aostrack-cli)
// comes through LoadTleFile here, in any of the four forms told from its
// content: two-line, OMM CSV, OMM JSON (an array of objects, values as
// numbers or texts) and OMM XML (CCSDS NDM/XML: one <ndm> of many <omm>, or
// one <omm>). JSON and XML are read with Qt's own readers; every OMM record
// goes through SatRecordFromOmm, so all forms give the same element values.
#include "orbit/ElementFormat.h"
#include "orbit/Tle.h"

#include <QByteArray>
#include <QString>
#include <string>
#include <vector>

namespace aostrack {

// Reads the catalogue at path. Throws TleFileError when it cannot be opened
// or read, is larger than TleMaxFileBytes, or is JSON or XML that does not
// parse (a cut-off download is refused whole, never shown as complete). Bad
// records are refused (listed in TleLoad::Refused) and skipped.
TleLoad LoadTleFile(const QString& path);

// The same reading from bytes in memory; sourceName names them in errors.
// A download (TleSource::Download) is held to the stricter two-line checks.
TleLoad ReadElementData(const QByteArray& bytes, const std::string& sourceName,
    TleSource source = TleSource::LocalFile);

// The OMM JSON and XML readers on their own (for the fuzz targets and tests).
TleLoad ReadOmmJson(const QByteArray& bytes, const std::string& sourceName);
TleLoad ReadOmmXml(const QByteArray& bytes, const std::string& sourceName);

// A catalogue written in one form. Two-line output writes name and both
// lines (Alpha-5 from 100000) and leaves out the records numbered above
// 339999, whose names are listed in LeftOut. Line ends are CR LF.
struct ElementWrite {
    QByteArray Data;
    std::vector<std::string> LeftOut;
};
ElementWrite WriteElementData(const std::vector<SatRecord>& records, ElementFormat format);

} // namespace aostrack
