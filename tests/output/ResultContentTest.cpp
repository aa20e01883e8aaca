// What a result's text is taken for, and what its action would be given; plain text for
// anything malformed or deceptive.

#include "output/ResultContent.h"

#include <gtest/gtest.h>

#include <QStringList>

#include <optional>
#include <string>
#include <utility>

TEST(ResultContent, EachTextIsTakenForWhatItHoldsOrForPlainText)
{
    // Kind, label and what an action gets: a link's host and warnings, the network, the file's
    // name (and bytes, where they are not the text itself), or the address. Empty: plain text.
    const auto summary = [](const std::string& text) {
        const std::optional<ResultContent> content = RecogniseContent(text);
        if (!content)
            return std::string();
        const char* const warnings[] = {"http", "user", "ip", "lookalike"};
        const char* const security[] = {"open", "WEP", "WPA"};
        const WifiNetwork& wifi = content->wifi;
        QString detail =
            content->kind == ContentKind::Link ? content->host : content->address.toString(QUrl::FullyEncoded);
        for (const LinkWarning warning : content->warnings)
            detail += u' ' + QString::fromLatin1(warnings[static_cast<int>(warning)]);
        if (content->kind == ContentKind::Wifi)
            detail = QStringList{wifi.ssid, wifi.password, security[static_cast<int>(wifi.security)],
                                 wifi.hidden ? "hidden" : ""}.join(u' ');
        QStringList parts{KindName(content->kind), content->label, detail};
        if (!content->fileName.isEmpty())
            parts.last() = content->fileName;
        if (!content->fileBytes.isEmpty() && content->fileBytes.toStdString() != text)
            parts << QString::fromUtf8(content->fileBytes);
        return parts.join(u'|').toStdString();
    };
    const std::string x31(31, 'x');
    const std::pair<std::string, std::string> rows[] = {
        {"https://example.com/path?q=1", "リンク|example.com/path?q=1|example.com"},
        {"HTTP://Example.COM\n", "リンク|example.com|example.com http"},
        {"https://user:pw@bank.example/", "リンク|bank.example/|bank.example user"},
        {"http://192.168.0.1:8080/admin", "リンク|192.168.0.1/admin|192.168.0.1 http ip"},
        {"http://[::1]/", "リンク|[::1]/|[::1] http ip"},
        {"https://аpple.com/", "リンク|xn--pple-43d.com/|xn--pple-43d.com lookalike"},    // Cyrillic а
        {"https://аррӏе.com", "リンク|xn--80ak6aa92e.com|xn--80ak6aa92e.com lookalike"},  // all Cyrillic
        {"https://例え.jp/", "リンク|例え.jp/|例え.jp"},
        {"javascript:alert(1)", ""}, {"file:///etc/passwd", ""}, {"data:text/html,<script>x</script>", ""},
        {"https://example.com/" + std::string(3000, 'a'), ""}, {"https://example.com/\x01x", ""},
        {"https:///path", ""}, {"Visit https://example.com today", ""},
        {"https://evil.example\\@good.example/", ""},  // browsers and Qt read different hosts
        {R"(WIFI:T:WPA;S:My\;Net\\;P:p\:a\,ss\";;)", R"(Wi-Fi|My;Net\|My;Net\ p:a,ss" WPA )"},
        {"WIFI:S:Hidden;T:WEP;P:abcde;H:true;;", "Wi-Fi|Hidden|Hidden abcde WEP hidden"},
        {"WIFI:T:nopass;S:Cafe;P:ignored;;", "Wi-Fi|Cafe|Cafe  open "},
        {"WIFI:T:WPA;S:Net;P:secret;", ""}, {"WIFI:T:WPA;P:secret;;", ""}, {"WIFI:S:Net;P:abc\\", ""},
        {"WIFI:T:WPA2-EAP;S:Net;;", ""},
        {"BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Yamada\r\n  Taro\r\nEND:VCARD\r\n", "連絡先|Yamada Taro|Yamada Taro.vcf"},
        {"BEGIN:VCARD\nN:山田;太郎;;;\nEND:VCARD", "連絡先|太郎 山田|太郎 山田.vcf"},
        {"BEGIN:VCARD\nFN:../ev\x01il\u202Egpj.exe\nEND:VCARD", "連絡先|../evilgpj.exe|evilgpj.exe.vcf"},
        {"BEGIN:VCARD\r\nFN:Yamada\r\n", ""}, {"MECARD:N:Yamada\\", ""},
        {R"(MECARD:N:Yamada,Taro;TEL:03-1234-5678;EMAIL:t@example.jp;ADR:1-1 Chiyoda\, Tokyo;NOTE:a\;b;;)",
         "連絡先|Taro Yamada|Taro Yamada.vcf|BEGIN:VCARD\r\nVERSION:3.0\r\nN:Yamada;Taro;;;\r\nFN:Taro Yamada\r\n"
         "TEL:03-1234-5678\r\nEMAIL:t@example.jp\r\nADR:;;1-1 Chiyoda\\, Tokyo;;;;\r\nNOTE:a\\;b\r\nEND:VCARD\r\n"},
        {"mailto:info@example.com?subject=Hi", "メール|info@example.com|mailto:info@example.com?subject=Hi"},
        {"MATMSG:TO:a@example.com;SUB:Hello there;BODY:1\\;2 & 3;;",
         "メール|a@example.com|mailto:a@example.com?subject=Hello%20there&body=1%3B2%20%26%203"},
        {"tel:+81-3-1234-5678", "電話|+81-3-1234-5678|tel:+81-3-1234-5678"},
        {"tel:*123#", "電話|*123#|tel:*123%23"},  // '#' would begin a fragment
        {"SMSTO:+8190123:See you: 7pm", "SMS|+8190123|sms:+8190123?body=See%20you%3A%207pm"},
        {"sms:090-1234?body=Hello%20world", "SMS|090-1234|sms:090-1234?body=Hello%20world"},
        {"geo:35.6586,139.7454?q=Tokyo Tower", "場所|35.6586, 139.7454|geo:35.6586,139.7454?q=Tokyo%20Tower"},
        {"mailto:nobody", ""}, {"tel:12ab", ""}, {"geo:91,0", ""}, {"geo:0,-180.5", ""},
        {"BEGIN:VCALENDAR\nBEGIN:VEVENT\nSUMMARY:Team\n  meeting\\, room 2\nEND:VEVENT\nEND:VCALENDAR\n",
         "予定|Team meeting, room 2|Team meeting, room 2.ics"},
        {"BEGIN:VEVENT\nSUMMARY:" + x31 + "xxxxxxxxx\nEND:VEVENT", "予定|" + x31 + "…|" + x31 + "….ics"},
        {"BEGIN:VEVENT\nSUMMARY:...\nEND:VEVENT", "予定|...|event.ics"},
        {"BEGIN:VCALENDAR\nBEGIN:VEVENT\nSUMMARY:x\nEND:VEVENT\n", ""},
    };
    for (const auto& [text, expected] : rows)
        EXPECT_EQ(summary(text), expected) << text.substr(0, 80);
}
