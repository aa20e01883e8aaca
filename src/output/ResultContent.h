#pragma once
// What a result holds beyond its text: a link, a Wi-Fi network, a contact, an e-mail, a
// phone number, a text message, a place or an event, recognised from the whole text as
// decoded. Nothing here acts: it says what an action would do, for the user to confirm.

#include <QString>
#include <QUrl>

#include <optional>
#include <string>
#include <vector>

enum class ContentKind { Link, Wifi, Contact, Email, Phone, Sms, Place, Event };

// What a link's confirmation warns of.
enum class LinkWarning {
    NotHttps,     // http: the page and what is sent to it travel unencrypted
    UserInfo,     // a user name (or more) before '@', which hides the real host
    BareAddress,  // an IP address instead of a name
    Lookalike,    // a host whose letters mix scripts or pass for Latin ones, shown in punycode (xn--)
};

enum class WifiSecurity { Open, Wep, Wpa };

struct WifiNetwork {
    QString ssid;
    WifiSecurity security = WifiSecurity::Open;
    QString password;  // empty for an open network
    bool hidden = false;
};

struct ResultContent {
    ContentKind kind;
    // Short and safe for a menu: no control or direction-changing characters, at most
    // kMaxLabelLength characters (a longer one is cut and ends in "…").
    QString label;
    // Link: the link as it will be opened (http or https only). Email, Phone, Sms, Place: the
    // mailto:, tel:, sms: or geo: address the desktop's handler is given, built from the
    // content's fields where the content is no such address itself (MATMSG:, SMSTO:).
    QUrl address;
    // Link: the host as the browser will reach it: punycode (xn--...) for a host that mixes
    // scripts or spells a Latin-looking name in Cyrillic or Greek, an IPv6 address in brackets;
    // and what the confirmation warns of, in the enum's order.
    QString host;
    std::vector<LinkWarning> warnings;
    // Wifi: the network to join.
    WifiNetwork wifi;
    // Contact, Event: the file to save and a name for it made from the contact's name or
    // the event's summary (no path separators or control characters; ".vcf" or ".ics").
    // A vCard or an event is saved exactly as read; a MECARD is written as the vCard 3.0 it
    // stands for.
    QByteArray fileBytes;
    QString fileName;
};

inline constexpr qsizetype kMaxLabelLength = 32;
// Longer texts are no link: a link of thousands of characters hides what it leads to.
inline constexpr qsizetype kMaxLinkLength = 2048;

// The content of a result's whole text (UTF-8, as decoded); nullopt for plain text and for
// anything malformed: an unterminated WIFI:, a vCard without END, a link with an empty
// host, control characters in a link, a link over kMaxLinkLength, a scheme other than
// those above (javascript:, file:, data:, custom ones).
std::optional<ResultContent> RecogniseContent(const std::string& text);

// The content's kind as the menu names it, in Japanese.
QString KindName(ContentKind kind);
