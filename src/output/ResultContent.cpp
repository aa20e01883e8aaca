// A result's text read as a link, a Wi-Fi network, a contact and so on. Each syntax is
// checked strictly: whatever is malformed, cut short or made to deceive stays plain text.

#include "output/ResultContent.h"

#include <QHash>
#include <QRegularExpression>
#include <QStringList>

#include <algorithm>
#include <cmath>
#include <set>
#include <string_view>
#include <utility>

namespace {

const QString kEllipsis = QStringLiteral("…");
const QString kCrLf = QStringLiteral("\r\n");
// The escapes of WIFI:, MECARD: and MATMSG: values; vCard and iCalendar share them.
constexpr QStringView kEscapable = u";,:\\\"";
// What a phone number may hold besides digits and a leading '+'.
constexpr QStringView kDialMarks = u"*#-.() ";
// What of a number a tel: or sms: address keeps unencoded.
const QByteArray kKeptInNumbers = QByteArrayLiteral("+*()-.");

bool IsControl(QChar ch)
{
    return ch.unicode() < 0x20 || (ch.unicode() >= 0x7f && ch.unicode() <= 0x9f);
}

// Marks that reorder what follows them: a label could otherwise show "gpj.exe" as "exe.jpg".
bool ChangesDirection(QChar ch)
{
    const char16_t c = ch.unicode();
    return c == 0x061c || c == 0x200e || c == 0x200f || (c >= 0x202a && c <= 0x202e) || (c >= 0x2066 && c <= 0x2069);
}

bool HasControl(QStringView text)
{
    return std::ranges::any_of(text, IsControl);
}

// The label as the header promises it. Counted in UTF-16 units, as QString counts characters,
// but never cut inside a surrogate pair.
QString SafeLabel(const QString& text)
{
    QString kept;
    for (const QChar ch : text)
        if (!ChangesDirection(ch) && (!IsControl(ch) || ch.isSpace()))  // a line break still parts words
            kept += ch;
    kept = kept.simplified();
    if (kept.size() <= kMaxLabelLength)
        return kept;
    qsizetype cut = kMaxLabelLength - kEllipsis.size();
    if (kept.at(cut - 1).isHighSurrogate())
        --cut;
    return kept.left(cut) + kEllipsis;
}

ResultContent Content(ContentKind kind, const QString& label, const QUrl& address = {})
{
    ResultContent content;
    content.kind = kind;
    content.label = SafeLabel(label);
    content.address = address;
    return content;
}

// Saved under the label as a name in the user's folder: no separators, not hidden.
ResultContent FileContent(ContentKind kind, const QString& label, QByteArray bytes)
{
    const bool contact = kind == ContentKind::Contact;
    ResultContent content = Content(kind, label);
    QString stem = content.label;
    for (const QChar separator : {u'/', u'\\', u':'})
        stem.replace(separator, u' ');
    stem = stem.simplified();
    while (stem.startsWith(u'.') || stem.startsWith(u' '))
        stem.remove(0, 1);
    if (stem.isEmpty())
        stem = contact ? QStringLiteral("contact") : QStringLiteral("event");
    content.fileName = stem + (contact ? QStringLiteral(".vcf") : QStringLiteral(".ics"));
    content.fileBytes = std::move(bytes);
    return content;
}

QString Percent(const QString& text, const QByteArray& kept = {})
{
    return QString::fromLatin1(QUrl::toPercentEncoding(text, kept));
}

QString PercentDecoded(QStringView text)
{
    return QUrl::fromPercentEncoding(text.toUtf8());
}

std::set<QChar::Script> ScriptsOf(const QList<uint>& points)
{
    std::set<QChar::Script> scripts;
    for (const uint point : points)
        if (const QChar::Script script = QChar::script(point); script > QChar::Script_Common)
            scripts.insert(script);
    return scripts;
}

// Scripts that one language writes within a word: Japanese kanji and both kana, Korean hangul
// and hanja, Chinese hanzi and bopomofo. Any other mix is a look-alike's mark ("аpple").
bool WrittenTogether(const std::set<QChar::Script>& scripts)
{
    static const std::set<QChar::Script> japanese{QChar::Script_Han, QChar::Script_Hiragana, QChar::Script_Katakana};
    static const std::set<QChar::Script> korean{QChar::Script_Han, QChar::Script_Hangul};
    static const std::set<QChar::Script> chinese{QChar::Script_Han, QChar::Script_Bopomofo};
    return scripts.size() <= 1 || std::ranges::includes(japanese, scripts) || std::ranges::includes(korean, scripts) ||
           std::ranges::includes(chinese, scripts);
}

// Cyrillic and Greek letters that pass for Latin ones; a label of nothing else ("аррӏе") reads
// as a Latin name unless the top-level domain is in its script too.
constexpr std::u32string_view kLatinLookalikes = U"асԁеԍһіјӏорԛѕԝхуъьҽпгѵѡαικνορυχ";

bool PassesForLatin(const QList<uint>& points, const std::set<QChar::Script>& scripts)
{
    return scripts.size() == 1 && *scripts.begin() != QChar::Script_Latin &&
           std::ranges::all_of(points, [](uint point) {
               return QChar::script(point) <= QChar::Script_Common ||
                      kLatinLookalikes.find(point) != kLatinLookalikes.npos;
           });
}

// Names wholly in one script, Japanese ones above all, are shown as written: their users read
// them so, and punycode would hide where the link leads. Mixed or Latin-looking ones are not.
bool IsLookalike(const QString& host)
{
    const QStringList labels = host.split(u'.', Qt::SkipEmptyParts);
    const std::set<QChar::Script> topLevel = ScriptsOf(labels.value(labels.size() - 1).toUcs4());
    return std::ranges::any_of(labels, [&](const QString& label) {
        const QList<uint> points = label.toUcs4();
        const std::set<QChar::Script> scripts = ScriptsOf(points);
        return !WrittenTogether(scripts) || (PassesForLatin(points, scripts) && !topLevel.contains(*scripts.begin()));
    });
}

// As browsers read a host: an IPv6 address, or one whose last label is a number (decimal or hex).
bool IsBareAddress(const QString& host)
{
    static const QRegularExpression number(QStringLiteral("^([0-9]+|0[xX][0-9a-fA-F]*)$"));
    const QStringList labels = host.split(u'.', Qt::SkipEmptyParts);
    return host.contains(u':') || number.match(labels.value(labels.size() - 1)).hasMatch();
}

// What lies between "scheme://" and the path; none without "//", as then there is no host.
std::optional<QStringView> AuthorityOf(QStringView link)
{
    const QStringView rest = link.mid(link.indexOf(u':') + 1);
    if (!rest.startsWith(u"//"))
        return std::nullopt;
    qsizetype end = 2;
    while (end < rest.size() && rest[end] != u'/' && rest[end] != u'?' && rest[end] != u'#')
        ++end;
    return rest.mid(2, end - 2);
}

std::optional<ResultContent> RecogniseLink(const QString& text)
{
    if (text.size() > kMaxLinkLength ||
        std::ranges::any_of(text, [](QChar ch) { return IsControl(ch) || ChangesDirection(ch) || ch.isSpace(); }))
        return std::nullopt;
    const std::optional<QStringView> authority = AuthorityOf(text);
    // Browsers take '\' for '/', Qt does not: the two would reach different hosts.
    if (!authority || authority->contains(u'\\'))
        return std::nullopt;
    const QUrl url(text);
    const QString ace = url.host(QUrl::FullyEncoded);
    if (!url.isValid() || ace.isEmpty())
        return std::nullopt;
    const bool bareAddress = IsBareAddress(ace);
    QString unicode = QUrl::fromAce(ace.toLatin1(), QUrl::IgnoreIDNWhitelist);
    if (bareAddress || unicode.isEmpty())
        unicode = ace;  // an address, or a name that does not decode: shown as reached
    const bool lookalike = IsLookalike(unicode);
    ResultContent link = Content(ContentKind::Link, {}, url);
    link.host = lookalike ? ace : unicode;
    if (link.host.contains(u':'))
        link.host = u'[' + link.host + u']';  // IPv6, written as in the link
    if (url.scheme() == u"http")
        link.warnings.push_back(LinkWarning::NotHttps);
    if (authority->contains(u'@'))
        link.warnings.push_back(LinkWarning::UserInfo);
    if (bareAddress)
        link.warnings.push_back(LinkWarning::BareAddress);
    if (lookalike)
        link.warnings.push_back(LinkWarning::Lookalike);
    link.label = SafeLabel(link.host + url.toString(QUrl::RemoveScheme | QUrl::RemoveAuthority));
    return link;
}

// KEY:value pairs, each ended by ';', the whole by an empty one. Values keep their escapes:
// a MECARD name still needs its unescaped ',' to part family from given name.
using Fields = std::vector<std::pair<QString, QStringView>>;

std::optional<Fields> ParseFields(QStringView body)
{
    Fields fields;
    for (qsizetype at = 0; at < body.size();) {
        if (body[at] == u';')
            return body.mid(at + 1).trimmed().isEmpty() ? std::optional(std::move(fields)) : std::nullopt;
        const qsizetype colon = body.indexOf(u':', at);
        const QStringView key = body.mid(at, colon - at);
        if (colon < 0 || key.contains(u';'))
            return std::nullopt;
        qsizetype end = colon + 1;
        while (end < body.size() && body[end] != u';')
            end += body[end] == u'\\' ? 2 : 1;
        if (end >= body.size())
            return std::nullopt;  // unterminated, perhaps by a lone '\' at the end
        fields.emplace_back(key.toString().toUpper(), body.mid(colon + 1, end - colon - 1));
        at = end + 1;
    }
    return std::nullopt;
}

QList<QStringView> RawValues(const Fields& fields, QStringView key)
{
    QList<QStringView> values;
    for (const auto& [name, value] : fields)
        if (name == key)
            values << value;
    return values;
}

// vCard and iCalendar also write a line break as "\n".
QString Unescaped(QStringView raw, bool lineBreaks = false)
{
    QString value;
    for (qsizetype at = 0; at < raw.size(); ++at) {
        const QChar next = at + 1 < raw.size() ? raw[at + 1] : QChar();
        if (raw[at] == u'\\' && lineBreaks && (next == u'n' || next == u'N')) {
            value += u'\n';
            ++at;
            continue;
        }
        if (raw[at] == u'\\' && !next.isNull() && kEscapable.contains(next))
            ++at;
        value += raw[at];
    }
    return value;
}

QString FirstValue(const Fields& fields, QStringView key)
{
    return Unescaped(RawValues(fields, key).value(0));
}

QStringList SplitUnescaped(QStringView raw, QChar separator, bool lineBreaks = false)
{
    QStringList parts;
    qsizetype start = 0;
    for (qsizetype at = 0; at < raw.size(); ++at) {
        if (raw[at] == u'\\') {
            ++at;
        } else if (raw[at] == separator) {
            parts << Unescaped(raw.mid(start, at - start), lineBreaks);
            start = at + 1;
        }
    }
    return parts << Unescaped(raw.mid(start), lineBreaks);
}

// Enterprise and unknown kinds need more than a password: joining them as one would fail.
std::optional<WifiSecurity> SecurityOf(const QString& type)
{
    const QString kind = type.toUpper();
    if (kind.isEmpty() || kind == u"NOPASS")
        return WifiSecurity::Open;
    if (kind == u"WEP")
        return WifiSecurity::Wep;
    if (kind == u"WPA" || kind == u"WPA2" || kind == u"WPA3" || kind == u"SAE")
        return WifiSecurity::Wpa;
    return std::nullopt;
}

std::optional<ResultContent> RecogniseWifi(QStringView body)
{
    const std::optional<Fields> fields = ParseFields(body);
    if (!fields)
        return std::nullopt;
    const std::optional<WifiSecurity> security = SecurityOf(FirstValue(*fields, u"T"));
    const QString ssid = FirstValue(*fields, u"S");
    if (!security || ssid.isEmpty())
        return std::nullopt;
    const WifiNetwork wifi{.ssid = ssid,
                           .security = *security,
                           .password = *security == WifiSecurity::Open ? QString() : FirstValue(*fields, u"P"),
                           .hidden = FirstValue(*fields, u"H").compare(u"true", Qt::CaseInsensitive) == 0};
    ResultContent network = Content(ContentKind::Wifi, ssid);
    network.wifi = wifi;
    return network;
}

// A text value as vCard writes it; a line break would otherwise start a property of its own.
QString VcardText(const QString& value)
{
    QString escaped;
    for (const QChar ch : value) {
        if (ch == u'\\' || ch == u',' || ch == u';')
            escaped += u'\\';
        if (ch == u'\n')
            escaped += QStringLiteral("\\n");
        else if (ch != u'\r')
            escaped += ch;
    }
    return escaped;
}

// Numbers and links are no text: a ',' pauses a dial. Only line breaks must not get through.
QString VcardUri(const QString& value)
{
    QString kept = value;
    kept.removeIf(IsControl);
    return kept;
}

// MECARD's address lists PO box, room, house, city, prefecture, postal code and country, as
// vCard's does; any other number of parts is a free-form address, kept whole as the street.
QString VcardAddress(QStringView raw)
{
    constexpr qsizetype kAddressParts = 7;
    QStringList parts = SplitUnescaped(raw, u',');
    if (parts.size() != kAddressParts)
        parts = {QString(), QString(), Unescaped(raw), QString(), QString(), QString(), QString()};
    std::ranges::transform(parts, parts.begin(), VcardText);
    return parts.join(u';');
}

std::optional<ResultContent> RecogniseMecard(QStringView body)
{
    const std::optional<Fields> fields = ParseFields(body);
    if (!fields)
        return std::nullopt;
    const QStringList name = SplitUnescaped(RawValues(*fields, u"N").value(0), u',');
    const QString family = name.value(0).trimmed();
    const QString given = name.value(1).trimmed();
    const QString fullName = QStringList{given, family}.join(u' ').trimmed();
    if (fullName.isEmpty())
        return std::nullopt;
    QStringList lines{QStringLiteral("BEGIN:VCARD"), QStringLiteral("VERSION:3.0"),
                      QStringLiteral("N:%1;%2;;;").arg(VcardText(family), VcardText(given)),
                      QStringLiteral("FN:") + VcardText(fullName)};
    const auto add = [&](QStringView key, auto written) {
        for (const QStringView raw : RawValues(*fields, key))
            if (const QString value = written(raw); !value.isEmpty())
                lines << key.toString() + u':' + value;
    };
    add(u"TEL", [](QStringView raw) { return VcardUri(Unescaped(raw)); });
    add(u"EMAIL", [](QStringView raw) { return VcardText(Unescaped(raw)); });
    add(u"ADR", [](QStringView raw) { return raw.isEmpty() ? QString() : VcardAddress(raw); });
    add(u"URL", [](QStringView raw) { return VcardUri(Unescaped(raw)); });
    add(u"NOTE", [](QStringView raw) { return VcardText(Unescaped(raw)); });
    add(u"NICKNAME", [](QStringView raw) { return VcardText(Unescaped(raw)); });
    add(u"BDAY", [](QStringView raw) { return VcardUri(Unescaped(raw)); });
    lines << QStringLiteral("END:VCARD");
    return FileContent(ContentKind::Contact, fullName, (lines.join(kCrLf) + kCrLf).toUtf8());
}

bool IsMailAddress(QStringView address)
{
    const qsizetype at = address.lastIndexOf(u'@');
    return at > 0 && at < address.size() - 1 &&
           std::ranges::none_of(address, [](QChar ch) { return IsControl(ch) || ch.isSpace(); });
}

std::optional<ResultContent> RecogniseMatmsg(QStringView body)
{
    const std::optional<Fields> fields = ParseFields(body);
    if (!fields)
        return std::nullopt;
    const QString to = FirstValue(*fields, u"TO");
    if (!IsMailAddress(to))
        return std::nullopt;
    QStringList query;
    for (const auto& [key, name] : {std::pair(u"SUB", u"subject"), std::pair(u"BODY", u"body")})
        if (const QString value = FirstValue(*fields, key); !value.isEmpty())
            query << QString::fromUtf16(name) + u'=' + Percent(value);
    QString address = QStringLiteral("mailto:") + Percent(to, "@");
    if (!query.isEmpty())
        address += u'?' + query.join(u'&');
    return Content(ContentKind::Email, to, QUrl(address, QUrl::StrictMode));
}

struct ContentLine {
    QString name;  // upper case, without group or parameters
    QStringView value;
};

// The lines unfolded: one begun by a space or tab goes on the line before.
QStringList UnfoldedLines(QStringView text)
{
    QStringList lines;
    for (QStringView line : text.split(u'\n')) {
        if (line.endsWith(u'\r'))
            line.chop(1);
        if (!lines.isEmpty() && (line.startsWith(u' ') || line.startsWith(u'\t')))
            lines.back() += line.mid(1);
        else if (!line.isEmpty())
            lines << line.toString();
    }
    return lines;
}

std::vector<ContentLine> ContentLines(const QStringList& unfolded)
{
    std::vector<ContentLine> lines;
    for (const QString& line : unfolded) {
        bool quoted = false;  // a quoted parameter value may hold ':'
        const auto colon = std::ranges::find_if(line, [&](QChar ch) {
            quoted ^= ch == u'"';
            return ch == u':' && !quoted;
        });
        if (colon == line.end())
            continue;
        const QStringView head = QStringView(line).first(colon - line.begin());
        const QStringView name = head.left(head.indexOf(u';'));
        lines.push_back({name.mid(name.lastIndexOf(u'.') + 1).toString().toUpper(),
                         QStringView(line).mid(colon - line.begin() + 1)});
    }
    return lines;
}

// The first value of each property of the first component, provided the lines open with
// BEGIN:outer, nest properly, and close outer after component.
std::optional<QHash<QString, QStringView>> Properties(const std::vector<ContentLine>& lines, QStringView outer,
                                                       QStringView component)
{
    const auto ends = [](const QString& open, QStringView name) {
        return open.compare(name.trimmed(), Qt::CaseInsensitive) == 0;
    };
    if (lines.empty() || lines.front().name != u"BEGIN" || !ends(outer.toString(), lines.front().value))
        return std::nullopt;
    QStringList open;
    QHash<QString, QStringView> found;
    bool closed = false;
    for (const auto& [name, value] : lines) {
        if (name == u"BEGIN") {
            open << value.trimmed().toString().toUpper();
        } else if (name == u"END") {
            if (open.isEmpty() || !ends(open.back(), value))
                return std::nullopt;
            const bool ended = open.takeLast() == component;
            closed = closed || ended;
            if (open.isEmpty())
                return closed ? std::optional(found) : std::nullopt;
        } else if (!closed && !open.isEmpty() && open.back() == component && !found.contains(name)) {
            found.insert(name, value);
        }
    }
    return std::nullopt;  // never closed
}

std::optional<ResultContent> RecogniseCard(const QString& text, const std::string& bytes)
{
    const QStringList unfolded = UnfoldedLines(text);  // the views below point into it
    const auto properties = Properties(ContentLines(unfolded), u"VCARD", u"VCARD");
    if (!properties)
        return std::nullopt;
    QString name = Unescaped(properties->value(QStringLiteral("FN")), true);
    if (SafeLabel(name).isEmpty()) {
        const QStringList parts = SplitUnescaped(properties->value(QStringLiteral("N")), u';', true);
        name = parts.value(1) + u' ' + parts.value(0);  // given, family
    }
    return FileContent(ContentKind::Contact, name, QByteArray::fromStdString(bytes));
}

std::optional<ResultContent> RecogniseEvent(const QString& text, const std::string& bytes)
{
    const QStringList unfolded = UnfoldedLines(text);
    const std::vector<ContentLine> lines = ContentLines(unfolded);
    const QStringView outer = text.startsWith(u"BEGIN:VEVENT", Qt::CaseInsensitive) ? u"VEVENT" : u"VCALENDAR";
    const auto properties = Properties(lines, outer, u"VEVENT");
    if (!properties)
        return std::nullopt;
    return FileContent(ContentKind::Event, Unescaped(properties->value(QStringLiteral("SUMMARY")), true),
                       QByteArray::fromStdString(bytes));
}

std::optional<ResultContent> RecogniseMailto(const QString& text)
{
    const QUrl url(text);
    const QString addresses = url.path(QUrl::FullyDecoded);
    const QStringList each = addresses.split(u',');
    if (!url.isValid() || !std::ranges::all_of(each, IsMailAddress))
        return std::nullopt;
    return Content(ContentKind::Email, addresses, url);
}

// Digits with the marks people dial and write; '+' only in front.
bool IsPhoneNumber(QStringView number)
{
    bool digits = false;
    for (qsizetype at = 0; at < number.size(); ++at) {
        const QChar ch = number[at];
        digits = digits || (ch >= u'0' && ch <= u'9');
        if (!(ch >= u'0' && ch <= u'9') && !kDialMarks.contains(ch) && !(ch == u'+' && at == 0))
            return false;
    }
    return digits;
}

// Written anew rather than as read: a '#' in the number would otherwise begin a fragment.
std::optional<ResultContent> RecognisePhone(QStringView rest)
{
    const QString number = PercentDecoded(rest);
    if (!IsPhoneNumber(number))
        return std::nullopt;
    return Content(ContentKind::Phone, number, QUrl(QStringLiteral("tel:") + Percent(number, kKeptInNumbers)));
}

std::optional<ResultContent> SmsContent(const QString& number, const QString& body)
{
    if (!IsPhoneNumber(number))
        return std::nullopt;
    QString address = QStringLiteral("sms:") + Percent(number, kKeptInNumbers);
    if (!body.isEmpty())
        address += QStringLiteral("?body=") + Percent(body);
    return Content(ContentKind::Sms, number, QUrl(address));
}

// SMSTO:number:message; the message may hold ':' of its own.
std::optional<ResultContent> RecogniseSmsTo(QStringView rest)
{
    const qsizetype colon = rest.indexOf(u':');
    return SmsContent(rest.left(colon).toString(), colon < 0 ? QString() : rest.mid(colon + 1).toString());
}

// sms:number?body=message
std::optional<ResultContent> RecogniseSms(QStringView rest)
{
    const qsizetype question = rest.indexOf(u'?');
    QString body;
    constexpr QStringView kBody = u"body=";
    for (const QStringView pair : rest.mid(question < 0 ? rest.size() : question + 1).split(u'&'))
        if (body.isEmpty() && pair.startsWith(kBody, Qt::CaseInsensitive))
            body = PercentDecoded(pair.mid(kBody.size()));
    return SmsContent(PercentDecoded(rest.left(question)), body);
}

// geo:lat,lon[,alt][;params][?query]
std::optional<ResultContent> RecognisePlace(const QString& text, QStringView rest)
{
    constexpr double kMaxLatitude = 90;
    constexpr double kMaxLongitude = 180;
    static const QRegularExpression decimal(QStringLiteral("^-?[0-9]+(\\.[0-9]+)?$"));
    qsizetype end = 0;
    while (end < rest.size() && rest[end] != u';' && rest[end] != u'?')
        ++end;
    const QStringList parts = rest.first(end).toString().split(u',');
    const QUrl url(text);
    if (!url.isValid() || parts.size() < 2 || parts.size() > 3 ||
        !std::ranges::all_of(parts, [&](const QString& part) { return decimal.match(part).hasMatch(); }) ||
        std::abs(parts[0].toDouble()) > kMaxLatitude || std::abs(parts[1].toDouble()) > kMaxLongitude)
        return std::nullopt;
    return Content(ContentKind::Place, parts[0] + QStringLiteral(", ") + parts[1], url);
}

}  // namespace

std::optional<ResultContent> RecogniseContent(const std::string& text)
{
    const QString whole = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())).trimmed();
    const auto startsWith = [&](QStringView prefix) { return whole.startsWith(prefix, Qt::CaseInsensitive); };
    // What follows prefix, for a text that begins with it.
    const auto after = [&](QStringView prefix) {
        return startsWith(prefix) ? std::optional(QStringView(whole).mid(prefix.size())) : std::nullopt;
    };
    if (startsWith(u"http:") || startsWith(u"https:"))
        return RecogniseLink(whole);
    if (const auto rest = after(u"WIFI:"))
        return RecogniseWifi(*rest);
    if (const auto rest = after(u"MECARD:"))
        return RecogniseMecard(*rest);
    if (const auto rest = after(u"MATMSG:"))
        return RecogniseMatmsg(*rest);
    if (const auto rest = after(u"SMSTO:"))
        return RecogniseSmsTo(*rest);
    if (startsWith(u"BEGIN:VCARD"))
        return RecogniseCard(whole, text);
    if (startsWith(u"BEGIN:VCALENDAR") || startsWith(u"BEGIN:VEVENT"))
        return RecogniseEvent(whole, text);
    if (HasControl(whole))
        return std::nullopt;  // the addresses below are URIs, which hold no control characters
    if (startsWith(u"mailto:"))
        return RecogniseMailto(whole);
    if (const auto rest = after(u"tel:"))
        return RecognisePhone(*rest);
    if (const auto rest = after(u"sms:"))
        return RecogniseSms(*rest);
    if (const auto rest = after(u"geo:"))
        return RecognisePlace(whole, *rest);
    return std::nullopt;
}

QString KindName(ContentKind kind)
{
    switch (kind) {
    case ContentKind::Link: return QStringLiteral("リンク");
    case ContentKind::Wifi: return QStringLiteral("Wi-Fi");
    case ContentKind::Contact: return QStringLiteral("連絡先");
    case ContentKind::Email: return QStringLiteral("メール");
    case ContentKind::Phone: return QStringLiteral("電話");
    case ContentKind::Sms: return QStringLiteral("SMS");
    case ContentKind::Place: return QStringLiteral("場所");
    case ContentKind::Event: return QStringLiteral("予定");
    }
    return {};
}
