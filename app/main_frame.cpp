// main_frame.cpp - the main window's creation, menus, command bar, enable
// rules, activation, size rule, key routing and destruction.
#include "app/main_frame.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QMenuBar>
#include <QScreen>
#include <QToolBar>
#include <QWindow>

#include "app/command_ids.h"
#include "app/engine_guard.h"
#include "app/main_view.h"
#include "engine/emulator.h"
#include "lumaret/keys.h"

namespace App {

namespace {

struct CommandText {
    int id;
    const char* text;     // menu text; the command bar shows the icon
    const char* tooltip;  // empty for commands without one
    const char* icon;     // resource name below ":/icons/"
};

// In the order the tooltips are assigned.
constexpr CommandText kCommands[] = {
    {ID_FILE_OPEN, "&Open...", "Open a game.", "open"},
    {ID_PLAY, "&Play", "Resume a game in progress.", "play"},
    {ID_PAUSE, "Pa&use", "Pause a game in progress.", "pause"},
    {ID_RESET, "&Reset", "Reset the game in progress.", "reset"},
    {ID_SAVE_STATE, "Save State", "Save the current state of the game.", "save"},
    {ID_LOAD_STATE, "Load State", "Load a previously saved game state.", "load"},
    {ID_OPTIONS, "&Options...", "Settings and configuration.", "options"},
    {ID_APP_EXIT, "E&xit", "Exit Tamboril.", "exit"},
    {ID_APP_ABOUT, "&About Tamboril...", "About Tamboril.", "about"},
};

// The emulator that cannot save its state.
constexpr wchar_t kNoStateEmulator[] = L"TurboGrafx-16";

}  // namespace

CMainFrame::CMainFrame() {
    setWindowTitle(QStringLiteral("Tamboril"));
    setWindowIcon(QIcon(QStringLiteral(":/icons/tamboril")));
    view_ = new CMainView(this);
    setCentralWidget(view_);
    CreateCommands();
    CreateMenus();
    CreateCommandBar();
    RunGuarded([this] {
        engine_ = std::make_unique<Emu::Engine>(view_);
        engine_->BringToFront();
    });
    UpdateCommands();
}

// The view goes while this is still a CMainFrame: the events a widget gets
// while it is being taken apart must not reach the view's handlers through a
// frame that is no longer one.
CMainFrame::~CMainFrame() {
    Destroy();
    delete takeCentralWidget();
    view_ = nullptr;
}

QAction* CMainFrame::AddCommand(int id, const QString& text, const QString& icon, void (CMainFrame::*handler)()) {
    auto* action = new QAction(QIcon(QStringLiteral(":/icons/") + icon), text, this);
    action->setData(id);
    action->setProperty(kControlIdProperty, id);
    connect(action, &QAction::triggered, this, [this, handler] {
        RunGuarded([this, handler] { (this->*handler)(); });
        UpdateCommands();
    });
    actions_[id] = action;
    return action;
}

void CMainFrame::CreateCommands() {
    using Handler = void (CMainFrame::*)();
    const std::map<int, Handler> handlers = {
        {ID_FILE_OPEN, &CMainFrame::OnOpen},       {ID_PLAY, &CMainFrame::OnPlay},
        {ID_PAUSE, &CMainFrame::OnPause},          {ID_RESET, &CMainFrame::OnReset},
        {ID_SAVE_STATE, &CMainFrame::OnSaveState}, {ID_LOAD_STATE, &CMainFrame::OnLoadState},
        {ID_OPTIONS, &CMainFrame::OnOptions},      {ID_APP_EXIT, &CMainFrame::OnExit},
        {ID_APP_ABOUT, &CMainFrame::OnAbout},
    };
    for (const CommandText& command : kCommands) {
        QAction* action = AddCommand(command.id, QString::fromUtf8(command.text), QString::fromUtf8(command.icon),
                                     handlers.at(command.id));
        action->setToolTip(QString::fromUtf8(command.tooltip));
    }
}

void CMainFrame::CreateMenus() {
    QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
    file->addAction(GetAction(ID_FILE_OPEN));
    file->addSeparator();
    file->addAction(GetAction(ID_PLAY));
    file->addAction(GetAction(ID_PAUSE));
    file->addAction(GetAction(ID_RESET));
    file->addSeparator();
    file->addAction(GetAction(ID_APP_EXIT));
    QMenu* tools = menuBar()->addMenu(QStringLiteral("&Tools"));
    tools->addAction(GetAction(ID_OPTIONS));
    tools->addSeparator();
    tools->addAction(GetAction(ID_APP_ABOUT));
    for (QMenu* menu : {file, tools}) connect(menu, &QMenu::aboutToShow, this, &CMainFrame::UpdateCommands);
}

void CMainFrame::CreateCommandBar() {
    commandBar_ = new QToolBar(QStringLiteral("Commands"), this);
    commandBar_->setObjectName(QStringLiteral("commandBar"));
    commandBar_->setProperty(kControlIdProperty, kCommandBarId);
    commandBar_->setIconSize(QSize(16, 16));
    commandBar_->setMovable(false);
    commandBar_->setFloatable(false);
    commandBar_->setFocusPolicy(Qt::NoFocus);
    commandBar_->setContextMenuPolicy(Qt::PreventContextMenu);
    const int order[] = {ID_FILE_OPEN,  0, ID_PLAY,    ID_PAUSE,    ID_RESET, 0,           ID_SAVE_STATE,
                         ID_LOAD_STATE, 0, ID_OPTIONS, ID_APP_EXIT, 0,        ID_APP_ABOUT};
    for (int id : order) {
        if (id == 0) {
            commandBar_->addSeparator();
        } else {
            commandBar_->addAction(GetAction(id));
            if (QWidget* button = commandBar_->widgetForAction(GetAction(id))) button->setFocusPolicy(Qt::NoFocus);
        }
    }
    addToolBar(Qt::TopToolBarArea, commandBar_);
}

QAction* CMainFrame::GetAction(int id) const {
    auto found = actions_.find(id);
    return found == actions_.end() ? nullptr : found->second;
}

bool CMainFrame::IsCommandEnabled(int id) const {
    if (id == ID_FILE_OPEN || id == ID_OPTIONS || id == ID_APP_EXIT || id == ID_APP_ABOUT) return true;
    if (!engine_) return false;
    Emu::Emulator* active = engine_->GetActiveEmulator();
    const bool running = engine_->IsRunning();
    switch (id) {
    case ID_PLAY: return running && engine_->IsUserPaused();
    case ID_PAUSE: return running && !engine_->IsUserPaused();
    case ID_RESET: return running;
    case ID_SAVE_STATE: return running && active && !(active->GetName() == CString(kNoStateEmulator));
    case ID_LOAD_STATE: return active && active->HasState();
    default: return false;
    }
}

void CMainFrame::UpdateCommands() {
    RunGuarded([this] {
        for (auto& [id, action] : actions_) action->setEnabled(IsCommandEnabled(id));
    });
}

// Qt's active widget window can lag behind the platform's focus after the
// window was re-created (a change of its stays-on-top hint); the platform
// window's state is asked too.
bool CMainFrame::IsForeground() const { return isActiveWindow() || (windowHandle() && windowHandle()->isActive()); }

QRect CMainFrame::AvailableGeometry() const {
    const QScreen* display = screen() ? screen() : QGuiApplication::primaryScreen();
    return display ? display->availableGeometry() : QRect(0, 0, 640, 480);
}

QRect CMainFrame::WindowedGeometry() const {
    const QRect available = AvailableGeometry();
    int width = available.width();
    int height = available.height();
    int toolBar = 24;
    if (engine_) {
        PropertyMap& settings = engine_->GetSettings();
        if (settings.getInt(L"DesktopWidth") > 0) width = settings.getInt(L"DesktopWidth");
        if (settings.getInt(L"DesktopHeight") > 0) height = settings.getInt(L"DesktopHeight");
        toolBar = settings.getInt(L"ToolBarSize");
    }
    return QRect(available.x(), available.y() + toolBar, width, height - toolBar);
}

void CMainFrame::ProcessKey(QKeyEvent* event) {
    Lumaret::KeyMessage message;
    if (!engine_ || !Lumaret::TranslateKeyEvent(event, &message)) return;
    RunGuarded([&] { engine_->ProcessMessage(message.message, static_cast<UINT>(message.key), 0); });
}

void CMainFrame::keyPressEvent(QKeyEvent* event) { ProcessKey(event); }
void CMainFrame::keyReleaseEvent(QKeyEvent* event) { ProcessKey(event); }

void CMainFrame::focusInEvent(QFocusEvent*) { view_->setFocus(); }

void CMainFrame::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    if (event->type() != QEvent::ActivationChange || !engine_) return;
    RunGuarded([this] {
        if (isActiveWindow()) {
            engine_->BringToFront();
            engine_->Resume();
        } else {
            engine_->Pause();
        }
    });
}

// The frame goes back to its windowed place when it became lower than that
// place, but a move is not repeated: a window manager that keeps the frame
// smaller (for its decorations, say) is not fought.
void CMainFrame::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    if (!engine_ || engine_->GetSettings().getBoolean(L"FullScreen")) return;
    if (windowState() & (Qt::WindowMinimized | Qt::WindowFullScreen)) return;
    const QRect target = WindowedGeometry();
    if (height() >= target.height() || target == lastSizeRuleMove_) return;
    lastSizeRuleMove_ = target;
    setGeometry(target);
}

void CMainFrame::closeEvent(QCloseEvent* event) {
    Destroy();
    RequestQuit(0);
    event->accept();
}

void CMainFrame::Destroy() {
    if (!engine_) return;
    RunGuarded([this] { engine_->Shutdown(); });
    engine_.reset();
    UpdateCommands();
}

void CMainFrame::RequestQuit(int code) {
    quitRequested_ = true;
    exitCode_ = code;
}

}  // namespace App
