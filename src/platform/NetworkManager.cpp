#include "platform/NetworkManager.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QMap>
#include <QRegularExpression>
#include <QVariantMap>

namespace {

using ConnectionSettings = QMap<QString, QVariantMap>;  // D-Bus a{sa{sv}}

const QString kService = QStringLiteral("org.freedesktop.NetworkManager");
const QString kPath = QStringLiteral("/org/freedesktop/NetworkManager");
const QString kNoSuchService = QStringLiteral("org.freedesktop.DBus.Error.ServiceUnknown");
// Long enough for NetworkManager to ask polkit, short enough not to hold the dialog for long.
constexpr int kReplyPatienceMs = 25000;
// WEP keys are given as hexadecimal or ASCII keys of 5 or 13 characters (type 1), anything
// else as a passphrase (type 2), as NetworkManager's own tools do.
constexpr int kWepKey = 1;
constexpr int kWepPassphrase = 2;

bool IsWepKey(const QString& key)
{
    static const QRegularExpression hex(QStringLiteral("^([0-9A-Fa-f]{10}|[0-9A-Fa-f]{26})$"));
    return key.size() == 5 || key.size() == 13 || hex.match(key).hasMatch();
}

ConnectionSettings SettingsFor(const WifiToJoin& network)
{
    ConnectionSettings settings;
    settings[QStringLiteral("connection")] = {{QStringLiteral("id"), network.ssid},
                                              {QStringLiteral("type"), QStringLiteral("802-11-wireless")}};
    settings[QStringLiteral("802-11-wireless")] = {{QStringLiteral("ssid"), network.ssid.toUtf8()},
                                                   {QStringLiteral("mode"), QStringLiteral("infrastructure")},
                                                   {QStringLiteral("hidden"), network.hidden}};
    switch (network.key) {
    case WifiKey::None:
        break;
    case WifiKey::Wep:
        settings[QStringLiteral("802-11-wireless-security")] = {
            {QStringLiteral("key-mgmt"), QStringLiteral("none")},
            {QStringLiteral("wep-key0"), network.password},
            {QStringLiteral("wep-key-type"), static_cast<uint>(IsWepKey(network.password) ? kWepKey : kWepPassphrase)}};
        break;
    case WifiKey::WpaPersonal:
        settings[QStringLiteral("802-11-wireless-security")] = {{QStringLiteral("key-mgmt"), QStringLiteral("wpa-psk")},
                                                                {QStringLiteral("psk"), network.password}};
        break;
    }
    return settings;
}

}  // namespace

JoinResult JoinWifi(const WifiToJoin& network)
{
    QDBusConnection bus = QDBusConnection::systemBus();
    if (!bus.isConnected())
        return {JoinOutcome::NoNetworkManager, bus.lastError().message()};
    qDBusRegisterMetaType<ConnectionSettings>();
    QDBusMessage call = QDBusMessage::createMethodCall(kService, kPath, kService, QStringLiteral("AddAndActivateConnection"));
    // "/" for the device and the access point: NetworkManager chooses.
    call << QVariant::fromValue(SettingsFor(network)) << QVariant::fromValue(QDBusObjectPath(QStringLiteral("/")))
         << QVariant::fromValue(QDBusObjectPath(QStringLiteral("/")));
    const QDBusMessage reply = bus.call(call, QDBus::Block, kReplyPatienceMs);
    if (reply.type() == QDBusMessage::ReplyMessage)
        return {JoinOutcome::Started, {}};
    if (reply.errorName() == kNoSuchService)
        return {JoinOutcome::NoNetworkManager, reply.errorMessage()};
    return {JoinOutcome::Refused, reply.errorMessage()};
}
