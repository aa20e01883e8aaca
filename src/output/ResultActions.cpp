#include "output/ResultActions.h"

#include "output/CopyTextToClipboard.h"
#include "platform/NetworkManager.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QSaveFile>
#include <QStandardPaths>

#include <algorithm>
#include <functional>
#include <utility>

namespace {

// A whole address is shown, but in lines of this many characters: a long link has no
// spaces to wrap at and would stretch the confirmation past the screen.
constexpr qsizetype kShownLineLength = 72;

QString Wrapped(const QString& text)
{
    QStringList lines;
    for (qsizetype at = 0; at < text.size(); at += kShownLineLength)
        lines << text.mid(at, kShownLineLength);
    return lines.join(u'\n');
}

// Asks before an action; true only for the user's yes. details (a password) stays hidden
// until the user asks to see it.
bool Confirm(QWidget& parent, const QString& title, const QString& text, const QString& yes,
             const QString& details = {})
{
    QMessageBox box(QMessageBox::Question, title, text, QMessageBox::NoButton, &parent);
    QPushButton* const confirm = box.addButton(yes, QMessageBox::AcceptRole);
    box.addButton(QStringLiteral("キャンセル"), QMessageBox::RejectRole);
    box.setDefaultButton(confirm);
    if (!details.isEmpty())
        box.setDetailedText(details);
    box.exec();
    return box.clickedButton() == confirm;
}

QString WarningText(LinkWarning warning, const QString& host)
{
    switch (warning) {
    case LinkWarning::NotHttps:
        return QStringLiteral("暗号化されていない接続 (http) です。送受信する内容を第三者に見られるおそれがあります。");
    case LinkWarning::UserInfo:
        return QStringLiteral("アドレスの「@」より前にユーザー名が含まれています。実際の接続先は %1 です。").arg(host);
    case LinkWarning::BareAddress:
        return QStringLiteral("接続先が名前ではなく IP アドレスです。");
    case LinkWarning::Lookalike:
        return QStringLiteral("接続先の名前に、見た目の似た別の文字が混じっています。実際の名前は %1 です。").arg(host);
    }
    return {};
}

void OpenLink(QWidget& parent, const ResultContent& link)
{
    // A look-alike host is spelt out in punycode throughout, as the browser will reach it.
    const bool lookalike = std::ranges::find(link.warnings, LinkWarning::Lookalike) != link.warnings.end();
    const QString address = link.address.toString(lookalike ? QUrl::EncodeUnicode : QUrl::PrettyDecoded);
    QString text = QStringLiteral("次のリンクをブラウザーで開きます。\n\n%1\n\n接続先: %2").arg(Wrapped(address), link.host);
    for (const LinkWarning warning : link.warnings)
        text += QStringLiteral("\n\n⚠ ") + WarningText(warning, link.host);
    if (Confirm(parent, QStringLiteral("リンクを開く"), text, QStringLiteral("開く")))
        static_cast<void>(QDesktopServices::openUrl(link.address));  // the desktop tells the user itself when it cannot
}

void OpenAddress(QWidget& parent, const ResultContent& content)
{
    const QString text =
        QStringLiteral("次のアドレスを既定のアプリケーションで開きます。\n\n%1").arg(Wrapped(content.address.toString()));
    if (Confirm(parent, KindName(content.kind), text, QStringLiteral("開く")))
        static_cast<void>(QDesktopServices::openUrl(content.address));  // as above
}

QString SecurityName(WifiSecurity security)
{
    switch (security) {
    case WifiSecurity::Open: return QStringLiteral("なし");
    case WifiSecurity::Wep: return QStringLiteral("WEP");
    case WifiSecurity::Wpa: return QStringLiteral("WPA");
    }
    return {};
}

WifiKey KeyOf(WifiSecurity security)
{
    switch (security) {
    case WifiSecurity::Open: return WifiKey::None;
    case WifiSecurity::Wep: return WifiKey::Wep;
    case WifiSecurity::Wpa: return WifiKey::WpaPersonal;
    }
    return WifiKey::None;
}

void JoinNetwork(QWidget& parent, const WifiNetwork& wifi)
{
    QString text = QStringLiteral("Wi-Fi ネットワーク「%1」に接続します。\n\nセキュリティ: %2")
                       .arg(wifi.ssid, SecurityName(wifi.security));
    if (wifi.hidden)
        text += QStringLiteral("\n（名前を公開していないネットワーク）");
    const QString details = wifi.password.isEmpty() ? QString() : QStringLiteral("パスワード: ") + wifi.password;
    if (!Confirm(parent, QStringLiteral("Wi-Fi に接続"), text, QStringLiteral("接続"), details))
        return;
    const JoinResult joined = JoinWifi({wifi.ssid, KeyOf(wifi.security), wifi.password, wifi.hidden});
    switch (joined.outcome) {
    case JoinOutcome::Started:
        QMessageBox::information(&parent, QStringLiteral("Wi-Fi に接続"),
                                 QStringLiteral("「%1」への接続を NetworkManager に依頼しました。").arg(wifi.ssid));
        break;
    case JoinOutcome::NoNetworkManager:
        QMessageBox::warning(&parent, QStringLiteral("Wi-Fi に接続"),
                             QStringLiteral("NetworkManager が見つからないため、接続できません。"));
        break;
    case JoinOutcome::Refused:
        QMessageBox::warning(&parent, QStringLiteral("Wi-Fi に接続"),
                             QStringLiteral("NetworkManager が接続を断りました。\n\n%1").arg(joined.detail));
        break;
    }
}

void SaveFile(QWidget& parent, const ResultContent& content)
{
    const bool contact = content.kind == ContentKind::Contact;
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    const QString path = QFileDialog::getSaveFileName(
        &parent, contact ? QStringLiteral("連絡先を保存") : QStringLiteral("予定を保存"),
        QDir(folder).filePath(content.fileName),
        contact ? QStringLiteral("vCard (*.vcf)") : QStringLiteral("iCalendar (*.ics)"));
    if (path.isEmpty())
        return;  // cancelled
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly) && file.write(content.fileBytes) == content.fileBytes.size() && file.commit())
        return;
    QMessageBox::warning(&parent, QStringLiteral("保存"),
                         QStringLiteral("保存できませんでした。\n\n%1").arg(file.errorString()));
}

// The entry of one content: its kind and label; '&' would be taken for a shortcut mark.
QString EntryText(const ResultContent& content)
{
    return KindName(content.kind) + QStringLiteral(": ") + QString(content.label).replace(u'&', QStringLiteral("&&"));
}

// What each kind offers; every action but copying a password asks first.
QString OpeningText(ContentKind kind)
{
    switch (kind) {
    case ContentKind::Email: return QStringLiteral("メールを作成...");
    case ContentKind::Phone: return QStringLiteral("電話をかける...");
    case ContentKind::Sms: return QStringLiteral("SMS を作成...");
    case ContentKind::Place: return QStringLiteral("地図で開く...");
    default: return QStringLiteral("開く...");
    }
}

void AddActions(QMenu& entry, const ResultContent& content, QWidget& parent)
{
    const auto add = [&](const QString& text, std::function<void()> action) {
        QObject::connect(entry.addAction(text), &QAction::triggered, &parent, std::move(action));
    };
    switch (content.kind) {
    case ContentKind::Link:
        add(QStringLiteral("ブラウザーで開く..."), [&parent, content] { OpenLink(parent, content); });
        break;
    case ContentKind::Wifi:
        add(QStringLiteral("接続..."), [&parent, wifi = content.wifi] { JoinNetwork(parent, wifi); });
        if (!content.wifi.password.isEmpty())
            add(QStringLiteral("パスワードをコピー"),
                [password = content.wifi.password] { CopyTextToClipboard(password); });
        break;
    case ContentKind::Contact:
    case ContentKind::Event:
        add(QStringLiteral("保存..."), [&parent, content] { SaveFile(parent, content); });
        break;
    case ContentKind::Email:
    case ContentKind::Phone:
    case ContentKind::Sms:
    case ContentKind::Place:
        add(OpeningText(content.kind), [&parent, content] { OpenAddress(parent, content); });
        break;
    }
}

bool SameContent(const ResultContent& one, const ResultContent& other)
{
    return one.kind == other.kind && one.address == other.address && one.fileBytes == other.fileBytes &&
           one.wifi.ssid == other.wifi.ssid && one.wifi.password == other.wifi.password && one.label == other.label;
}

}  // namespace

void RememberContent(std::deque<ResultContent>& recent, ResultContent content)
{
    std::erase_if(recent, [&](const ResultContent& old) { return SameContent(old, content); });
    recent.push_front(std::move(content));
    if (recent.size() > kRecentContents)
        recent.resize(kRecentContents);
}

QMenu* ContentMenu(QMenu& menu, const std::deque<ResultContent>& recent, QWidget& parent)
{
    auto* const contents = new QMenu(QStringLiteral("読み取った内容"), &menu);  // owned by the menu
    for (const ResultContent& content : recent)
        AddActions(*contents->addMenu(EntryText(content)), content, parent);
    contents->setEnabled(!recent.empty());
    return contents;
}
