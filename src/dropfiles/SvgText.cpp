#include "dropfiles/SvgText.h"

#include "dropfiles/DocumentLimits.h"

#include <QHash>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>

#include <algorithm>
#include <cstdint>
#include <vector>

namespace {

constexpr std::size_t kNoElement = SIZE_MAX;
constexpr QStringView kXlinkNamespace = u"http://www.w3.org/1999/xlink";

// One element, in document order; its descendants are the elements up to end.
struct SvgElement {
    std::size_t end = 0;
    std::size_t useOf = kNoElement;  // the element a <use> repeats
};

bool LocalReference(QStringView value)
{
    value = value.trimmed();
    return value.startsWith(u'#') || value.startsWith(u"data:", Qt::CaseInsensitive);
}

QStringView LocalName(QStringView qualified)
{
    return qualified.sliced(qualified.indexOf(u':') + 1);
}

// What an <image> names: SVG 2's href, or SVG 1.1's xlink:href (by any prefix).
QStringView ImageReference(const QXmlStreamAttributes& attributes)
{
    for (const QXmlStreamAttribute& attribute : attributes)
        if (LocalName(attribute.qualifiedName()) == u"href")
            return attribute.value();
    return {};
}

// Elements drawn under (and including) each element, <use> expanded, capped at one past the
// limit; a <use> that leads back to itself counts nothing, as Qt SVG draws nothing for it.
// Without recursion: nesting and chains of <use> may be as deep as the file is long.
qint64 DrawnElements(const std::vector<SvgElement>& elements)
{
    constexpr qint64 kCap = kMaxSvgElements + 1;
    constexpr qint64 kUnknown = -1;
    constexpr qint64 kOpen = -2;  // being counted: what it depends on is on the stack above it
    std::vector<qint64> drawn(elements.size(), kUnknown);
    // What an element's count is made of: its children, and what it repeats.
    const auto eachPart = [&elements](std::size_t at, const auto& visit) {
        for (std::size_t child = at + 1; child < elements[at].end; child = elements[child].end)
            visit(child);
        if (elements[at].useOf != kNoElement)
            visit(elements[at].useOf);
    };
    qint64 total = 0;
    std::vector<std::size_t> stack;
    for (std::size_t top = 0; top < elements.size(); top = elements[top].end) {
        stack.push_back(top);
        while (!stack.empty()) {
            const std::size_t at = stack.back();
            if (drawn[at] == kUnknown) {
                drawn[at] = kOpen;
                eachPart(at, [&](std::size_t part) {
                    if (drawn[part] == kUnknown)
                        stack.push_back(part);
                });
                continue;
            }
            stack.pop_back();
            if (drawn[at] != kOpen)
                continue;  // already counted, reached another way
            qint64 sum = 1;
            eachPart(at, [&](std::size_t part) { sum += std::max<qint64>(drawn[part], 0); });
            drawn[at] = std::min(sum, kCap);
        }
        total = std::min(total + drawn[top], kCap);
    }
    return total;
}

}  // namespace

std::optional<CleanSvg> CleanSvgText(const QByteArray& text)
{
    QXmlStreamReader reader(text);
    // Names exactly as written, prefixes and all: Qt SVG looks attributes up by them ("xlink:href").
    reader.setNamespaceProcessing(false);
    CleanSvg clean;
    QXmlStreamWriter writer(&clean.xml);
    std::vector<SvgElement> elements;
    std::vector<std::size_t> open;
    std::vector<std::pair<std::size_t, QString>> uses;
    QHash<QString, std::size_t> ids;
    while (!reader.atEnd()) {
        switch (reader.readNext()) {
        case QXmlStreamReader::StartDocument:
            writer.writeStartDocument();
            break;
        case QXmlStreamReader::StartElement: {
            if (LocalName(reader.qualifiedName()) == u"image" && !LocalReference(ImageReference(reader.attributes()))) {
                reader.skipCurrentElement();  // a picture from outside the file: left out whole
                break;
            }
            const std::size_t index = elements.size();
            if (index > static_cast<std::size_t>(kMaxSvgElements)) {
                clean.drawnElements = kMaxSvgElements + 1;
                return clean;  // no need to read the rest of it
            }
            elements.push_back({});
            open.push_back(index);
            writer.writeStartElement(reader.qualifiedName().toString());
            const bool repeats = LocalName(reader.qualifiedName()) == u"use";
            // Qt SVG takes an <image>'s picture from xlink:href only: SVG 2's plain href
            // is handed on under that name, unless the element names one already.
            const QXmlStreamAttributes attributes = reader.attributes();
            const bool hrefAsXlink = LocalName(reader.qualifiedName()) == u"image" &&
                                     attributes.hasAttribute(QStringLiteral("href")) &&
                                     !attributes.hasAttribute(QStringLiteral("xlink:href"));
            if (hrefAsXlink && !attributes.hasAttribute(QStringLiteral("xmlns:xlink")))
                writer.writeAttribute(QStringLiteral("xmlns:xlink"), kXlinkNamespace.toString());
            for (const QXmlStreamAttribute& attribute : attributes) {
                const QStringView name = hrefAsXlink && attribute.qualifiedName() == u"href"
                                             ? QStringView(u"xlink:href")
                                             : attribute.qualifiedName();
                const QStringView value = attribute.value().trimmed();
                if (name == u"xml:base")
                    continue;
                if (LocalName(name) == u"href") {
                    if (!LocalReference(value))
                        continue;  // a file or a URL
                    if (repeats && value.startsWith(u'#'))
                        uses.emplace_back(index, value.sliced(1).toString());
                }
                if (name == u"id")
                    ids.insert(attribute.value().toString(), index);
                writer.writeAttribute(name.toString(), attribute.value().toString());
            }
            break;
        }
        case QXmlStreamReader::EndElement:
            elements[open.back()].end = elements.size();
            open.pop_back();
            writer.writeEndElement();
            break;
        case QXmlStreamReader::Characters:
            if (reader.isCDATA())
                writer.writeCDATA(reader.text().toString());
            else
                writer.writeCharacters(reader.text().toString());
            break;
        default:
            // DTD, entity references left unresolved, processing instructions, comments: not
            // drawn, and the first three are ways to reach outside the file.
            break;
        }
    }
    if (reader.hasError())
        return std::nullopt;
    for (const auto& [use, id] : uses)
        if (const auto target = ids.constFind(id); target != ids.constEnd())
            elements[use].useOf = *target;
    clean.drawnElements = DrawnElements(elements);
    return clean;
}
