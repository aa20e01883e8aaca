#include "platform/Announcer.h"

#include <QAccessible>
#include <QAccessibleWidget>

namespace {

class AnnouncerAccessible : public QAccessibleWidget {
public:
    explicit AnnouncerAccessible(Announcer* announcer) : QAccessibleWidget(announcer, QAccessible::Notification) {}

    QString text(QAccessible::Text kind) const override
    {
        return kind == QAccessible::Name ? static_cast<const Announcer*>(widget())->Message()
                                         : QAccessibleWidget::text(kind);
    }
};

QAccessibleInterface* AnnouncerFactory(const QString&, QObject* object)
{
    auto* const announcer = dynamic_cast<Announcer*>(object);
    return announcer != nullptr ? new AnnouncerAccessible(announcer) : nullptr;  // Qt's registry owns it
}

}  // namespace

Announcer::Announcer()
{
    QAccessible::installFactory(AnnouncerFactory);  // Qt keeps each factory once
    nextTurn_.setSingleShot(true);
    nextTurn_.setInterval(0);
    connect(&nextTurn_, &QTimer::timeout, this, &Announcer::AnnounceWaiting);
}

void Announcer::Announce(const QString& message)
{
    waiting_ << message;
    nextTurn_.start();
}

void Announcer::AnnounceWaiting()
{
    message_ = waiting_.join(u'\n');
    waiting_.clear();
    // The name first: a screen reader would otherwise keep the one it read last time.
    QAccessibleEvent renamed(this, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&renamed);
    QAccessibleEvent shown(this, QAccessible::ObjectShow);
    QAccessible::updateAccessibility(&shown);
}
