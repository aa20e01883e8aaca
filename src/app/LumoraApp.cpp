#include "app/LumoraApp.h"

#include "app/CaptureState.h"
#include "platform/InstanceLock.h"
#include "ui/LumoraDlg.h"

namespace {
// The fixed name of the single-instance guard: not the executable's name, so a renamed
// copy is refused as well.
constexpr const char* kInstanceLockName = "Lumora.exe";

// Named as the settings key of the original program; nothing is ever stored under it.
const QString kProfileKey = QStringLiteral("アプリケーション ウィザードで生成されたローカル アプリケーション");

const QString kApplicationVersion = QStringLiteral("1.0.0.1");
}  // namespace

CLumoraApp::CLumoraApp(int& argc, char** argv) : QApplication(argc, argv)
{
    setApplicationVersion(kApplicationVersion);
}

bool CLumoraApp::InitInstance()
{
    const InstanceLock lock = CreateInstanceLock(kInstanceLockName);
    g_instanceMutex = lock.handle;
    if (lock.alreadyExists)
        return false;

    setOrganizationName(kProfileKey);

    CLumoraDlg dlg;
    dlg.exec();  // how the dialog ended makes no difference: the program ends either way
    return false;
}
