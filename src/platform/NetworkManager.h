#pragma once
// Joining a Wi-Fi network through NetworkManager, over D-Bus on the system bus: the network
// is added as a connection of its own and activated on whichever device NetworkManager picks.

#include <QString>

enum class WifiKey { None, Wep, WpaPersonal };

struct WifiToJoin {
    QString ssid;
    WifiKey key = WifiKey::None;
    QString password;  // the WEP key or WPA passphrase; empty without a key
    bool hidden = false;
};

enum class JoinOutcome {
    Started,           // NetworkManager took the connection and is activating it
    NoNetworkManager,  // no system bus, or no NetworkManager on it
    Refused,           // NetworkManager said no (detail: its message)
};

struct JoinResult {
    JoinOutcome outcome;
    QString detail;
};

JoinResult JoinWifi(const WifiToJoin& network);
