#include "platform/EventDrain.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QEventLoop>
#include <QThread>

bool DispatchPendingEvents()
{
    QAbstractEventDispatcher* const dispatcher = QAbstractEventDispatcher::instance(QThread::currentThread());
    if (dispatcher == nullptr)
        return false;
    // Posted events (repaints, deferred work) are sent by the dispatcher as well.
    return dispatcher->processEvents(QEventLoop::AllEvents);
}
