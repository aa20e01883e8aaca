#pragma once
// Messages for screen readers, heard without moving the focus. A message reaches the
// accessibility bus (AT-SPI) as a notification object that shows: what Orca speaks for an
// object that does not have the focus, where it ignores text inserted into one that has
// not. Qt 6.4 has no announcement event of its own.

#include <QString>
#include <QStringList>
#include <QTimer>
#include <QWidget>

class Announcer : public QWidget {
public:
    // Never shown, and without a parent: a notification inside the dialog would be read with
    // the dialog's title, or the result box's whole text, before it.
    Announcer();

    // Announced at the next turn of the event loop, together with the others given
    // meanwhile: a screen reader reads a notification's name a moment after it shows, and a
    // second one at once would replace the first.
    void Announce(const QString& message);

    // What is announced now: the notification's name.
    const QString& Message() const { return message_; }

private:
    void AnnounceWaiting();

    QString message_;
    QStringList waiting_;
    QTimer nextTurn_;
};
