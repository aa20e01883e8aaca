#include "platform/ScreenPictures.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QGuiApplication>
#include <QPixmap>
#include <QRandomGenerator>
#include <QScreen>
#include <QTimer>
#include <QUrl>
#include <QVariantMap>

namespace {

using std::chrono::milliseconds;

const QString kPortalService = QStringLiteral("org.freedesktop.portal.Desktop");
const QString kPortalPath = QStringLiteral("/org/freedesktop/portal/desktop");
const QString kScreenshotInterface = QStringLiteral("org.freedesktop.portal.Screenshot");
const QString kRequestInterface = QStringLiteral("org.freedesktop.portal.Request");
constexpr std::uint32_t kPortalSuccess = 0;  // 1: the user cancelled; 2: ended otherwise

// Long enough for a desktop to repaint what the windows covered and to finish fading them out.
constexpr milliseconds kRepaintPause{300};

// The portal's answer to one request.
class PortalAnswer : public QObject {
    Q_OBJECT
public:
    QEventLoop loop;
    std::optional<std::uint32_t> response;
    QVariantMap results;

public slots:
    void Response(uint code, const QVariantMap& answer)
    {
        response = code;
        results = answer;
        loop.quit();
    }
};

// Where the portal will answer: known before asking, so that the answer cannot come first.
QString RequestPath(const QDBusConnection& bus, const QString& token)
{
    const QString sender = bus.baseService().mid(1).replace(u'.', u'_');
    return kPortalPath + QStringLiteral("/request/") + sender + u'/' + token;
}

ScreenPictures Failed(ScreenPictureFailure failure)
{
    return {{}, failure};
}

ScreenPictures FromPortal(milliseconds patience)
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return Failed(ScreenPictureFailure::NoPortal);
    const QString token = QStringLiteral("lumora%1").arg(QRandomGenerator::global()->generate());
    QString path = RequestPath(bus, token);
    PortalAnswer answer;
    const auto listen = [&](const QString& at, bool on) {
        // Fails only without a bus, which was tested above; a missed answer then times out.
        static_cast<void>(on ? bus.connect(kPortalService, at, kRequestInterface, QStringLiteral("Response"), &answer,
                                           SLOT(Response(uint, QVariantMap)))
                             : bus.disconnect(kPortalService, at, kRequestInterface, QStringLiteral("Response"),
                                              &answer, SLOT(Response(uint, QVariantMap))));
    };
    listen(path, true);
    QDBusMessage call = QDBusMessage::createMethodCall(kPortalService, kPortalPath, kScreenshotInterface,
                                                       QStringLiteral("Screenshot"));
    call << QString() << QVariantMap{{QStringLiteral("handle_token"), token}, {QStringLiteral("interactive"), false}};
    const QDBusMessage reply = bus.call(call, QDBus::Block, static_cast<int>(patience.count()));
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) {
        listen(path, false);
        return Failed(reply.errorName() == QStringLiteral("org.freedesktop.DBus.Error.NoReply")
                          ? ScreenPictureFailure::NoAnswer
                          : ScreenPictureFailure::NoPortal);
    }
    // A portal older than handle tokens answers on a path of its own choosing.
    const QString handle = qvariant_cast<QDBusObjectPath>(reply.arguments().constFirst()).path();
    if (handle != path && !handle.isEmpty()) {
        listen(path, false);
        path = handle;
        listen(path, true);
    }
    if (!answer.response) {
        QTimer::singleShot(patience, &answer.loop, &QEventLoop::quit);
        answer.loop.exec();
    }
    listen(path, false);
    if (!answer.response)
        return Failed(ScreenPictureFailure::NoAnswer);
    if (*answer.response != kPortalSuccess)
        return Failed(ScreenPictureFailure::Refused);
    const QImage picture(QUrl(answer.results.value(QStringLiteral("uri")).toString()).toLocalFile());
    if (picture.isNull())
        return Failed(ScreenPictureFailure::NotTaken);
    return {{picture}, std::nullopt};
}

ScreenPictures FromX11()
{
    ScreenPictures taken;
    for (QScreen* const screen : QGuiApplication::screens()) {
        const QPixmap shot = screen->grabWindow(0);  // the whole screen, at its device pixels
        if (!shot.isNull())
            taken.pictures.push_back(shot.toImage());
    }
    if (taken.pictures.empty())
        taken.failure = ScreenPictureFailure::NotTaken;
    return taken;
}

}  // namespace

bool IsWaylandSession()
{
    return qEnvironmentVariable("XDG_SESSION_TYPE") == QStringLiteral("wayland") ||
           !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
}

ScreenPictures TakeScreenPictures(milliseconds patience)
{
    return IsWaylandSession() ? FromPortal(patience) : FromX11();
}

OwnWindowsHidden::OwnWindowsHidden()
{
    for (QWindow* const window : QGuiApplication::topLevelWindows()) {
        if (!window->isVisible())
            continue;
        hidden_.push_back({window, window->framePosition()});
        window->setVisible(false);
    }
    if (hidden_.empty())
        return;
    // The user's input waits: the dialog that would take it is away.
    QElapsedTimer waited;
    waited.start();
    while (waited.elapsed() < kRepaintPause.count())
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents,
                                        static_cast<int>(kRepaintPause.count() - waited.elapsed()));
}

OwnWindowsHidden::~OwnWindowsHidden()
{
    for (const Hidden& hidden : hidden_) {
        if (hidden.window.isNull())
            continue;
        hidden.window->setVisible(true);
        hidden.window->setFramePosition(hidden.where);
    }
}

#include "ScreenPictures.moc"
