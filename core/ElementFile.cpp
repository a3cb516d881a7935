#include "core/ElementFile.h"

#include "orbit/InputExcerpt.h"
#include "orbit/OmmCsv.h"

#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>
#include <cmath>

namespace aostrack {

namespace {

const char* JsonTypeName(QJsonValue::Type type)
{
    switch (type) {
    case QJsonValue::Bool:
        return "true or false";
    case QJsonValue::Array:
        return "an array";
    case QJsonValue::Object:
        return "an object";
    default:
        return "a value";
    }
}

// QString::toStdString goes through a QByteArray; the fields are ASCII.
std::string Utf8(const QString& text)
{
    std::string out;
    out.reserve(static_cast<std::size_t>(text.size()));
    for (const QChar c : text) {
        if (c.unicode() >= 0x80)
            return text.toStdString();
        out.push_back(static_cast<char>(c.unicode()));
    }
    return out;
}

std::optional<std::size_t> KeyIndex(const QString& key)
{
    for (std::size_t k = 0; k < OmmKeyCount; ++k) {
        const std::string_view name = OmmKeyNames[k];
        if (key.size() == static_cast<qsizetype>(name.size())
            && key == QLatin1String(name.data(), static_cast<qsizetype>(name.size())))
            return k;
    }
    return std::nullopt;
}

void ReadJsonRecord(const QJsonValue& value, int index, TleLoad& load)
{
    const RecordPlace where { index, 0 };
    if (!value.isObject()) {
        IgnoreRecord(load, OmmFields {}, where, "record",
            std::string("is not a JSON object but ")
                + (value.isString()        ? "a text"
                        : value.isDouble() ? "a number"
                                           : JsonTypeName(value.type())));
        return;
    }
    const QJsonObject object = value.toObject();
    OmmFields fields;
    // One pass over the members: a lookup of each of the 17 keys costs twice
    // as much in a catalogue of 15000 records.
    for (auto member = object.constBegin(); member != object.constEnd(); ++member) {
        const std::optional<std::size_t> k = KeyIndex(member.key());
        if (!k)
            continue; // keys of no use to us
        const QJsonValue field = member.value();
        if (field.isString()) {
            fields.Values[*k] = Utf8(field.toString());
        } else if (field.isDouble()) {
            fields.Numbers[*k] = field.toDouble();
        } else if (field.isBool() || field.isArray() || field.isObject()) {
            OmmFields named;
            named[OmmKey::ObjectName] = Utf8(object.value(QLatin1String("OBJECT_NAME")).toString());
            IgnoreRecord(load, named, where, std::string(OmmKeyNames[*k]),
                std::string("is ") + JsonTypeName(field.type()) + ", not a number or text");
            return;
        }
        // null: the key is not given
    }
    AddOmmRecord(load, fields, where);
}

QByteArray WriteTle(const std::vector<SatRecord>& records, std::vector<std::string>& leftOut)
{
    QByteArray out;
    for (const SatRecord& record : records) {
        const auto lines = FormatTleLines(record);
        if (!lines) {
            leftOut.push_back(record.SatName);
            continue;
        }
        // A name that begins like an element line ("1 ", "2 ") is written
        // after a blank, which the reader trims, so that it reads as a name.
        const bool elementLike = record.SatName.size() >= 2
            && (record.SatName[0] == '1' || record.SatName[0] == '2') && record.SatName[1] == ' ';
        out += QByteArray(elementLike ? " " : "") + QByteArray::fromStdString(record.SatName)
            + "\r\n" + QByteArray::fromStdString(lines->first) + "\r\n"
            + QByteArray::fromStdString(lines->second) + "\r\n";
    }
    return out;
}

bool IsTextKey(OmmKey key)
{
    return key == OmmKey::ObjectName || key == OmmKey::ObjectId || key == OmmKey::Epoch
        || key == OmmKey::ClassificationType;
}

QString KeyName(OmmKey key)
{
    const std::string_view name = OmmKeyName(key);
    return QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size()));
}

QByteArray WriteJson(const std::vector<SatRecord>& records)
{
    QJsonArray array;
    for (const SatRecord& record : records) {
        const OmmFields fields = OmmFromSatRecord(record);
        QJsonObject object;
        for (std::size_t k = 0; k < OmmKeyCount; ++k) {
            const auto key = static_cast<OmmKey>(k);
            const QString text = QString::fromStdString(fields.Values[k].value_or(std::string()));
            if (IsTextKey(key))
                object.insert(KeyName(key), text);
            else
                object.insert(KeyName(key), text.toDouble());
        }
        array.append(object);
    }
    return QJsonDocument(array).toJson(QJsonDocument::Compact) + "\r\n";
}

// XML 1.0 has no place for control characters (but tab and line ends) nor
// for U+FFFE and U+FFFF: such a character, which a two-line name may hold,
// is written as a blank so that the document stays readable.
QString XmlText(const std::string& text)
{
    QString out = QString::fromStdString(text);
    for (QChar& c : out) {
        const char16_t u = c.unicode();
        if ((u < 0x20 && u != '\t' && u != '\n' && u != '\r') || u == 0xFFFE || u == 0xFFFF)
            c = QLatin1Char(' ');
    }
    return out;
}

QByteArray WriteXml(const std::vector<SatRecord>& records)
{
    QByteArray out;
    QXmlStreamWriter xml(&out);
    xml.setAutoFormatting(true);
    xml.writeStartDocument();
    xml.writeStartElement(QStringLiteral("ndm"));
    const auto group
        = [&xml](const OmmFields& fields, const char* name, std::initializer_list<OmmKey> keys) {
              xml.writeStartElement(QLatin1String(name));
              for (OmmKey key : keys)
                  xml.writeTextElement(KeyName(key), XmlText(fields[key].value_or("")));
          };
    for (const SatRecord& record : records) {
        const OmmFields f = OmmFromSatRecord(record);
        xml.writeStartElement(QStringLiteral("omm"));
        xml.writeAttribute(QStringLiteral("id"), QStringLiteral("CCSDS_OMM_VERS"));
        xml.writeAttribute(QStringLiteral("version"), QStringLiteral("2.0"));
        xml.writeStartElement(QStringLiteral("body"));
        xml.writeStartElement(QStringLiteral("segment"));
        group(f, "metadata", { OmmKey::ObjectName, OmmKey::ObjectId });
        xml.writeTextElement(QStringLiteral("CENTER_NAME"), QStringLiteral("EARTH"));
        xml.writeTextElement(QStringLiteral("REF_FRAME"), QStringLiteral("TEME"));
        xml.writeTextElement(QStringLiteral("TIME_SYSTEM"), QStringLiteral("UTC"));
        xml.writeTextElement(QStringLiteral("MEAN_ELEMENT_THEORY"), QStringLiteral("SGP4"));
        xml.writeEndElement(); // metadata
        xml.writeStartElement(QStringLiteral("data"));
        group(f, "meanElements",
            { OmmKey::Epoch, OmmKey::MeanMotion, OmmKey::Eccentricity, OmmKey::Inclination,
                OmmKey::RaOfAscNode, OmmKey::ArgOfPericenter, OmmKey::MeanAnomaly });
        xml.writeEndElement();
        group(f, "tleParameters",
            { OmmKey::EphemerisType, OmmKey::ClassificationType, OmmKey::NoradCatId,
                OmmKey::ElementSetNo, OmmKey::RevAtEpoch, OmmKey::Bstar, OmmKey::MeanMotionDot,
                OmmKey::MeanMotionDdot });
        xml.writeEndElement();
        xml.writeEndElement(); // data
        xml.writeEndElement(); // segment
        xml.writeEndElement(); // body
        xml.writeEndElement(); // omm
    }
    xml.writeEndElement(); // ndm
    xml.writeEndDocument();
    return out;
}

// Where the document uses an entity it declares as external: such entities
// are never read (a document must not make us open files or URLs), so the
// fields that use them come out without that part, often empty. Said once
// for the document, at the first use; nothing when none is used.
std::optional<TleRecordIssue> UnreadEntities(
    const QByteArray& bytes, const QXmlStreamEntityDeclarations& declared)
{
    qsizetype first = -1;
    QString firstName;
    int used = 0;
    for (const QXmlStreamEntityDeclaration& entity : declared) {
        if (entity.systemId().isEmpty() && entity.publicId().isEmpty())
            continue; // an internal entity: expanded by the reader
        const qsizetype at = bytes.indexOf("&" + entity.name().toUtf8() + ";");
        if (at < 0)
            continue;
        ++used;
        if (first < 0 || at < first) {
            first = at;
            firstName = entity.name().toString();
        }
    }
    if (used == 0)
        return std::nullopt;
    const int line = static_cast<int>(bytes.left(first).count('\n')) + 1;
    std::string reason = "is external and not read";
    if (used > 1)
        reason += " (nor are " + std::to_string(used - 1) + " more)";
    return TleRecordIssue { line, std::string(),
        "entity &" + InputExcerpt(firstName.toStdString()) + ";",
        reason + ": the fields that use it are left without it" };
}

} // namespace

TleLoad ReadOmmJson(const QByteArray& bytes, const std::string& sourceName)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(bytes, &error);
    if (error.error != QJsonParseError::NoError)
        throw TleFileError(sourceName, 0,
            "not valid JSON at byte " + std::to_string(error.offset) + ": "
                + error.errorString().toStdString());
    TleLoad load;
    load.Format = ElementFormat::Json;
    if (document.isObject()) {
        ReadJsonRecord(document.object(), 1, load);
    } else {
        const QJsonArray array = document.array();
        load.Table.Reserve(static_cast<int>(array.size()));
        for (qsizetype i = 0; i < array.size(); ++i)
            ReadJsonRecord(array.at(i), static_cast<int>(i) + 1, load);
    }
    load.SatCount = load.Table.SatCount();
    return load;
}

TleLoad ReadOmmXml(const QByteArray& bytes, const std::string& sourceName)
{
    TleLoad load;
    load.Format = ElementFormat::Xml;
    QXmlStreamReader xml(bytes);
    std::optional<OmmFields> record; // inside an <omm>
    QXmlStreamEntityDeclarations entities;
    int index = 0;
    qint64 recordLine = 0;
    bool rootSeen = false;
    while (!xml.atEnd()) {
        const QXmlStreamReader::TokenType token = xml.readNext();
        if (token == QXmlStreamReader::DTD)
            entities = xml.entityDeclarations();
        if (token == QXmlStreamReader::StartElement) {
            const QStringView name = xml.name();
            // An HTML error page is well-formed enough to parse: only an NDM
            // or OMM document is element data.
            if (!rootSeen && name != u"ndm" && name != u"omm")
                throw TleFileError(sourceName, static_cast<int>(xml.lineNumber()),
                    "not an NDM/XML document: its root is <"
                        + InputExcerpt(name.toString().toStdString()) + ">");
            rootSeen = true;
            if (name == u"omm") {
                record.emplace();
                ++index;
                recordLine = xml.lineNumber();
            } else if (record) {
                if (const auto key = OmmKeyFromName(name.toString().toStdString()))
                    (*record)[*key]
                        = xml.readElementText(QXmlStreamReader::SkipChildElements).toStdString();
            }
        } else if (token == QXmlStreamReader::EndElement && xml.name() == u"omm" && record) {
            AddOmmRecord(load, *record, RecordPlace { index, static_cast<int>(recordLine) });
            record.reset();
        }
    }
    if (xml.hasError())
        throw TleFileError(sourceName, static_cast<int>(xml.lineNumber()),
            "not valid XML: " + InputExcerpt(xml.errorString().toStdString()));
    if (std::optional<TleRecordIssue> unread = UnreadEntities(bytes, entities))
        load.Warnings.push_back(std::move(*unread));
    load.LineCount = static_cast<int>(xml.lineNumber());
    load.SatCount = load.Table.SatCount();
    return load;
}

TleLoad ReadElementData(const QByteArray& bytes, const std::string& sourceName, TleSource source)
{
    const std::string_view text(bytes.constData(), static_cast<std::size_t>(bytes.size()));
    switch (DetectElementFormat(text)) {
    case ElementFormat::Json:
        return ReadOmmJson(bytes, sourceName);
    case ElementFormat::Xml:
        return ReadOmmXml(bytes, sourceName);
    default:
        return ReadElementText(text, sourceName, source);
    }
}

TleLoad LoadTleFile(const QString& path)
{
    const std::string name = path.toStdString();
    const QFileInfo info(path);
    if (info.isDir())
        throw TleFileError(name, 0, "is a folder, not an element file");
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw TleFileError(name, 0, "cannot open: " + file.errorString().toStdString());
    if (file.size() > static_cast<qint64>(TleMaxFileBytes))
        throw TleFileError(name, 0,
            "larger than " + std::to_string(TleMaxFileBytes / (1024 * 1024))
                + " MiB: not an element file");
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw TleFileError(name, 0, "read error: " + file.errorString().toStdString());
    return ReadElementData(bytes, name);
}

ElementWrite WriteElementData(const std::vector<SatRecord>& records, ElementFormat format)
{
    ElementWrite out;
    switch (format) {
    case ElementFormat::Tle:
        out.Data = WriteTle(records, out.LeftOut);
        break;
    case ElementFormat::Csv:
        out.Data = QByteArray::fromStdString(WriteOmmCsv(records));
        break;
    case ElementFormat::Json:
        out.Data = WriteJson(records);
        break;
    case ElementFormat::Xml:
        out.Data = WriteXml(records);
        break;
    }
    return out;
}

} // namespace aostrack
