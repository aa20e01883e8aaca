#include "app/LumoraApp.h"

#include "app/CaptureState.h"
#include "platform/FileListChannel.h"
#include "platform/InstanceLock.h"
#include "platform/QtTranslations.h"
#include "ui/LumoraDlg.h"

#include <QFileInfo>

#include <chrono>
#include <optional>

namespace {
// The fixed name of the single-instance guard: not the executable's name, so a renamed
// copy is refused as well.
constexpr const char* kInstanceLockName = "Lumora.exe";

// Named as the settings key of the original program; nothing is ever stored under it.
const QString kProfileKey = QStringLiteral("アプリケーション ウィザードで生成されたローカル アプリケーション");

const QString kApplicationVersion = QStringLiteral("1.0.0.1");

// How long a later start waits for a running copy that has not begun to listen yet.
constexpr std::chrono::milliseconds kHandOverPatience{5000};

// Reads the screen: on the command line (the desktop action's and a global key's command),
// and as the request a later start hands over. Any other argument names a file.
constexpr std::string_view kReadScreenOption = "--screen";

// The files named on the command line ("Open with" passes them so), made absolute against
// the folder the program was started in: a running copy may be elsewhere.
QStringList FilesToOpen(const QStringList& arguments)
{
    QStringList files;
    for (const QString& argument : arguments.mid(1))
        if (!argument.isEmpty() && argument != QLatin1StringView(kReadScreenOption))
            files << QFileInfo(argument).absoluteFilePath();
    return files;
}
}  // namespace

CLumoraApp::CLumoraApp(int& argc, char** argv) : QApplication(argc, argv)
{
    setApplicationVersion(kApplicationVersion);
    InstallQtTranslations(*this);  // Qt's own texts (the result box's context menu) in the user's language
}

bool CLumoraApp::InitInstance()
{
    const QStringList files = FilesToOpen(arguments());
    const bool readScreen = arguments().contains(QLatin1StringView(kReadScreenOption));
    const InstanceLock lock = CreateInstanceLock(kInstanceLockName);
    g_instanceMutex = lock.handle;
    if (lock.alreadyExists) {
        // A later start hands its request and its files to the running copy and ends
        // silently, whether or not that copy could be reached; with neither it just ends.
        const std::string socket = InstanceSocketPath(kInstanceLockName);
        if (readScreen)
            static_cast<void>(SendRequest(socket, kReadScreenOption, kHandOverPatience));
        if (!files.isEmpty())
            static_cast<void>(SendFileList(socket, files, kHandOverPatience));
        return false;
    }

    setOrganizationName(kProfileKey);

    CLumoraDlg dlg;
    if (readScreen)
        dlg.ReadScreenFirst();  // before the dialog first covers the screen
    // Only the lock's holder listens: without a lock, another copy may be listening there.
    std::optional<FileListReceiver> receiver;
    if (lock.handle >= 0)
        receiver.emplace(
            InstanceSocketPath(kInstanceLockName), [&dlg](const QStringList& paths) { dlg.OpenFiles(paths); },
            [&dlg](const std::string& request) {
                if (request == kReadScreenOption)
                    dlg.OnReadScreen();  // a request this build does not know is ignored
            });
    if (!files.isEmpty())
        dlg.OpenFiles(files);  // handled once the dialog's loop runs, with the dialog on screen
    dlg.exec();  // how the dialog ended makes no difference: the program ends either way
    return false;
}
