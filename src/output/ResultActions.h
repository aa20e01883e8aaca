#pragma once
// What can be done with what was read: open a link, join a Wi-Fi network, save a contact,
// and so on. Nothing runs by itself: every action first shows, in a confirmation, exactly
// what it will do, and only the user's yes runs it.

#include "output/ResultContent.h"

#include <deque>

class QMenu;
class QWidget;

// How many recognised results the menu keeps, newest first.
inline constexpr std::size_t kRecentContents = 10;

// Puts content at the front of recent, dropping an equal one further back and the oldest
// beyond kRecentContents: a code held before the camera is listed once.
void RememberContent(std::deque<ResultContent>& recent, ResultContent content);

// The submenu 読み取った内容 for menu: one entry per recent content, its kind and label, each
// with the actions of its kind. Disabled while there is none. Confirmations and file dialogs
// open over parent.
QMenu* ContentMenu(QMenu& menu, const std::deque<ResultContent>& recent, QWidget& parent);
