#include "platform/EventDrain.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QEventLoop>
#include <QGuiApplication>
#include <QThread>
#include <QWidget>

#include <xcb/xcb.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {
// A property of the program's own, which exists only to be changed.
constexpr const char* kWakeUpProperty = "_LUMORA_WAKE_UP";

xcb_atom_t InternAtom(xcb_connection_t* connection, const char* name)
{
    const xcb_intern_atom_cookie_t cookie =
        xcb_intern_atom(connection, 0, static_cast<std::uint16_t>(std::strlen(name)), name);
    xcb_intern_atom_reply_t* const reply = xcb_intern_atom_reply(connection, cookie, nullptr);
    const xcb_atom_t atom = reply != nullptr ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
    std::free(reply);  // xcb hands its replies over to be freed with free()
    return atom;
}
}  // namespace

bool DispatchPendingEvents()
{
    QAbstractEventDispatcher* const dispatcher = QAbstractEventDispatcher::instance(QThread::currentThread());
    if (dispatcher == nullptr)
        return false;
    // Posted events (repaints, deferred work) are sent by the dispatcher as well.
    return dispatcher->processEvents(QEventLoop::AllEvents);
}

void DispatchPendingEventsExceptInput()
{
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void ResumeDeferredInput(const QWidget& window)
{
    const auto* const x11 = qGuiApp != nullptr ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    if (x11 == nullptr || !window.testAttribute(Qt::WA_WState_Created))
        return;  // not on X11, or no X window: nothing is held back there
    xcb_connection_t* const connection = x11->connection();
    static const xcb_atom_t property = InternAtom(connection, kWakeUpProperty);
    if (property == XCB_ATOM_NONE)
        return;
    // Appending nothing changes no value, yet the server sends us the event that wakes Qt.
    xcb_change_property(connection, XCB_PROP_MODE_APPEND, static_cast<xcb_window_t>(window.winId()), property,
                        XCB_ATOM_STRING, 8, 0, nullptr);
    xcb_flush(connection);
}
