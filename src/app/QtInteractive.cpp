#include "app/QtInteractive.h"

#include "app/MainForm.h"
#include "app/QtResources.h"
#include "app/SplashForm.h"
#include "app/StatusForm.h"
#include "display/QtDisplayHelpers.h"
#include "display/QtImageLists.h"
#include "platform/QtUserInterface.h"
#include "platform/Version.h"
#include "refman/RefManagerForm.h"

#include <QApplication>
#include <QEventLoop>
#include <QMessageBox>
#include <QScreen>
#include <QTimer>

namespace vm {

TInteractiveWindows::~TInteractiveWindows() = default;

std::unique_ptr<TInteractiveWindows> CreateInteractiveWindows(TAppContext& context)
{
    InitResources();
    auto windows = std::make_unique<TInteractiveWindows>();
    windows->Status = std::make_unique<TStatusForm>();
    windows->UI = std::make_unique<TQtUserInterface>(*windows->Status, context.ApplicationTitle);
    context.UI = windows->UI.get();
    windows->Main = std::make_unique<TMDIParent>(context);
    TMDIParent* main = windows->Main.get();
    windows->UI->SetHelpHandler([main](int helpContext) { main->ShowHelpContext(helpContext); });
    windows->RefManager = CreateRefManager(*main);
    return windows;
}

namespace {

// Lets the splash paint and stay for the time given, without blocking the window system.
void Pause(int milliseconds)
{
    QEventLoop loop;
    QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
    loop.exec();
}

} // namespace

int ShowStartRefusal(int& argc, char** argv, const std::string& reason, int status)
{
    QApplication application(argc, argv);
    QMessageBox::critical(nullptr, "Volumark", QString::fromStdString(reason));
    return status;
}

int RunInteractive(TAppContext& context, int& argc, char** argv, TInteractiveStart start)
{
    QApplication application(argc, argv);
    QApplication::setApplicationName("Volumark");
    QApplication::setApplicationVersion(kProgramVersion);
    QApplication::setDesktopFileName("volumark");
    InitResources();
    PrepareIconTheme();
    QApplication::setWindowIcon(ApplicationIcon());

    std::unique_ptr<TSplashForm> splash;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    if (start.Splash) {
        splash = std::make_unique<TSplashForm>();
        splash->show();
        splash->SetStatus("Initialising code ...");
        Pause(1000);
    }

    context.ApplicationTitle = "Volumark";
    std::unique_ptr<TInteractiveWindows> windows = CreateInteractiveWindows(context);
    // Full size first, for sessions whose window manager does not maximise (or that have none).
    if (QScreen* screen = QGuiApplication::primaryScreen())
        windows->Main->setGeometry(screen->availableGeometry());
    if (start.Splash)
        windows->Main->showMaximized();
    splash.reset();
    QApplication::restoreOverrideCursor();

    std::optional<int> status;
    if (start.Action)
        status = start.Action(*windows);
    if (!status) {
        windows->Main->showMaximized();
        status = application.exec();
    }
    windows.reset();
    context.UI = nullptr;
    return *status;
}

} // namespace vm
