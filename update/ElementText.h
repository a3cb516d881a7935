#pragma once
// The downloaded element text: decoding, cleaning and the check that a page
// really holds element sets before it may replace the TLE file.
#include <QByteArray>
#include <QString>

namespace aostrack {

// Page bytes as text: UTF-8 when they are valid UTF-8, otherwise Latin-1 (old
// archive files), so no byte is lost to a replacement character.
QString DecodePage(const QByteArray& body);

// Removes every "<PRE>", then every "</PRE>" (exact upper case), the wrapper
// a browser puts around a plain-text file.
QString RemovePreTags(QString text);

// Appends body to collected; when collected does not end with a line break a
// CR LF goes between them, so the last line of one page never runs into the
// first line of the next.
QString JoinPageText(const QString& collected, const QString& body);

// The number of complete element sets in text: name lines followed by both a
// "1 " and a "2 " element line (in either order) before the next name line,
// lines classified as the TLE reader classifies them. Text in an OMM form
// (CSV, JSON, XML) counts 0: it is not two-line text.
int CountCompleteElementSets(const QString& text);

// True when some line of text begins with "1 " or "2 ", as element lines do
// (an error or login page has none).
bool HoldsElementLines(const QString& text);

// True when text holds nothing but blanks and line breaks.
bool IsBlankText(const QString& text);

// Why the bytes of a page cannot be element data, or an empty text when they
// may be: a NUL or other control character besides CR and LF, or, when the
// server gave no length (lengthKnown false), a last line without its line
// break, the mark of a connection that ended early.
QString PageBytesFault(const QByteArray& body, bool lengthKnown);

// Why the (cleaned) text of a page must not become the element file, or an
// empty text when it may: every record must be a complete element set that
// passes the catalogue's checks, checksums included, and no element line may
// stand outside a record. The reason names the line, satellite and field.
QString ElementRecordsFault(const QString& text);

// The first line of a refused page's text, the service's own words ("GP data
// has not updated since ..."): blanks at both ends trimmed, control
// characters dropped, cut to 160 characters with an ellipsis. Empty for a
// page without text and for an HTML page, whose words mostly repeat the status.
QString RefusalText(const QByteArray& body);

} // namespace aostrack
