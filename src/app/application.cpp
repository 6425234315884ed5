#include "app/application.h"

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <string>

#include "base/clock.h"
#include "game/debug_manager.h"
#include "base/ini_file.h"
#include "app/opengl_hints.h"
#include "base/report.h"
#include "effects/sound_manager.h"
#include "game/player_manager.h"
#include "gui/focus_walk.h"
#include "gui/interface_sound.h"
#include "net/net_transport.h"
#include "platform/input.h"
#include "platform/window.h"
#include "scene/frame.h"

namespace {
constexpr int kMinWidth = 320;
constexpr int kMinHeight = 240;

KeyBinding Command(int code, bool pressed) { return KeyBinding{code, -1, kBindingCommand, 0, pressed}; }

void CentreIn(Widget& widget, const Widget& parent) {
    widget.SetPosition((parent.Width() - widget.Width()) / 2, (parent.Height() - widget.Height()) / 2);
}
}  // namespace

Application::Application()
    : textures_(MakeGlTextureUploader()),
      overlay_(*this, game_),
      game_(Services()),
      fpsLabel_(NowMs()),
      menuGame_(game_),
      network_(game_, mainThread_, std::make_unique<NetTransport>()),
      menuNetwork_(network_.Client(), game_),
      mainMenu_(menuGame_, menuNetwork_, kConfigFileName, Services()),
      gameMenu_(kConfigFileName, sound_) {
    // Started once, here, and stopped when the members go, after every borrower.
    StartEffects(StartupOf(Services()));
    particles_.SetTextureLoader([this](const std::string& path) { return textures_.GetTextureWithAlpha(path); });
    SetInterfaceSoundPlayer([this](InterfaceSound sound) {
        sound_.PlaySound(sound == InterfaceSound::kMouseOver ? sound_.MouseOverSound() : sound_.MouseClickSound(),
                         false);
    });
    SetMinSize(kMinWidth, kMinHeight);
    AddChild(&fpsLabel_);
    fpsLabel_.SetSize(120, 16);
    fpsLabel_.SetPosition(4, 4);
    fpsLabel_.SetFocusable(false);
    AddChild(&mainMenu_);
    AddChild(&gameMenu_);
    mainMenu_.SetOwner(this);
    mainMenu_.SetVisible(false);
    gameMenu_.SetVisible(false);
    game_.SetMessageLines(&overlay_);
    game_.Players().AddUpdateSink(&recorderSink_);
    network_.SetMessageLines(&overlay_);
    network_.SetRaceOver([this] { EndRace(); });
    network_.SetRecorder(&recorderSink_);
    overlay_.SetNetworkHooks([this] { return network_.Client().StartAllowed(); },
                             [this](const std::string& text) { network_.Client().SendChat(text); });
}

Application::~Application() {
    SetInterfaceSoundPlayer(nullptr);
    network_.Client().Shutdown();
    network_.SetRecorder(nullptr);
    network_.SetMessageLines(nullptr);
    game_.Players().RemoveUpdateSink(&recorderSink_);
    game_.SetMessageLines(nullptr);
}

void Application::Initialize() {
    IniFile config(kConfigFileName);
    ApplyConfig(config);
    game_.LoadLevelList();
    mainMenu_.LoadBackground();
    mainMenu_.PrepareForShowing();
}

void Application::ApplyConfig(const IniFile& config) {
    ApplyKeys(config);
    ApplyOpenGlHints(ReadOpenGlHints(config));
    ReadLogSwitches(config);
    sound_.ReadSoundConfig(config);
}

void Application::ApplyKeys(const IniFile& config) {
    // Keys no longer bound must not keep their old action.
    keyBindings_ = KeyBindingTable{};
    ReadKeyBindings(config, keyBindings_);
    game_.SetHelpKeys(ReadKeyCodes(config));
    padRouter_.SetBindings(ReadPadBindings(config));
}

void Application::Draw() {
    // What other threads handed over since the last frame (the replay and the network
    // client), then the network session's own bookkeeping, then the game step.
    RunQueuedActions();
    network_.Tick();
    StepGame();
    Tick();
    SetClearColour(mainMenu_.IsVisible() ? Colour{0, 0, 0, 1} : game_.BackgroundColour());
    const FrameLayout layout{PixelRect{0, 0, WindowWidth(), WindowHeight()}, WindowWidth(), WindowHeight()};
    DrawFrame(
        layout, [this] { DrawScene(); },
        [this] {
            DrawSelf();
            DrawChildren();
        },
        [this] { MarkOpaqueAreas(); });
}

void Application::RunQueuedActions() {
    mainThread_.RunPending();
    if (QuitRequested()) HandleCommand(Command(kCommandExit, false));
}

void Application::StepGame() {
    game_.GameStep();
    // A local race starts right away; a network race waits for the server.
    if (game_.GetState() == GameState::kLoaded && !game_.NetworkGame()) StartLocalRace();
}

void Application::StartLocalRace() {
    game_.SetState(GameState::kStarting);
    overlay_.ShowChat(false);
}

void Application::DrawScene() {
    if (mainMenu_.IsVisible())
        mainMenu_.DrawBackground();
    else
        game_.Draw();
}

void Application::OnTick() {
    if (mainMenu_.Options().TakeKeysChanged()) ApplyKeys(IniFile(kConfigFileName));
    overlay_.Tick();
    // The menu's exit state ends the main loop; the exit command has usually ended
    // the process before that.
    if (mainMenu_.ExitRequested()) PostQuit();
}

void Application::OnResized() {
    overlay_.Layout(Width(), Height());
    CentreIn(mainMenu_, *this);
    CentreIn(gameMenu_, *this);
}

void Application::OnKeyDown(KeyEvent* event) {
    if (DebugReplayDrivesInput()) return;
    const MousePosition mouse = GetMousePosition();
    RecordKeyDown(event->code, mouse.x, mouse.y);
    if (event->code < 0 || event->code >= kKeyBindingCount) return;
    keyBindings_[event->code].pressed = true;
    // Tab always shows the score, whatever [Keys] binds to it.
    if (event->code == kKeyTab) HandleCommand(Command(kCommandShowScore, true));
    if (!overlay_.ChatShown()) DispatchBinding(event->code);
}

void Application::OnKeyUp(KeyEvent* event) {
    if (DebugReplayDrivesInput()) return;
    const MousePosition mouse = GetMousePosition();
    RecordKeyUp(event->code, mouse.x, mouse.y);
    FollowMenuChoices();
    if (event->code == kKeyEnter && overlay_.ChatShown()) {
        overlay_.SubmitChat();
        event->code = KEY_CONSUMED;
    }
    if (event->code < 0 || event->code >= kKeyBindingCount) return;
    keyBindings_[event->code].pressed = false;
    DispatchBinding(event->code);
}

// What a click chose in the menus, read after every key-up that may have clicked.
void Application::FollowMenuChoices() {
    if (overlay_.StartButton().Clicked()) StartRaceFromButton();
    if (gameMenu_.ExitChosen() || mainMenu_.ExitChosen()) HandleCommand(Command(kCommandExit, false));
    if (gameMenu_.EndGameChosen()) HandleCommand(Command(kCommandStartGame, false));
}

void Application::PadInput(const PadEvent& event) {
    if (DebugReplayDrivesInput()) return;
    Widget* menu = gameMenu_.IsVisible()   ? static_cast<Widget*>(&gameMenu_)
                   : mainMenu_.IsVisible() ? static_cast<Widget*>(&mainMenu_)
                                           : nullptr;
    const PadOutcome outcome = padRouter_.Route(event, menu != nullptr);
    if (outcome.kind == PadOutcome::kMenuKey) {
        PadMenuKey(menu, outcome.key, outcome.pressed);
    } else if (outcome.kind == PadOutcome::kBinding) {
        if (outcome.binding.kind == kBindingCommand)
            HandleCommand(outcome.binding);
        else
            game_.OnAction(outcome.binding.kind, outcome.binding.command, outcome.binding.player,
                           outcome.binding.pressed);
    }
}

// The menu on top gets the key the pad stands for, without the key bindings of the
// race: a pad's "up" in the in-race menu must not speed player 1's ship up.
void Application::PadMenuKey(Widget* menu, int code, bool pressed) {
    // The menu of the press may have gone by the release; the key-up still goes where
    // the focus is, so no button stays pressed.
    Widget* target = menu != nullptr ? menu : FocusedChild();
    if (target == nullptr) return;
    KeyEvent event{code, true};
    if (!pressed) {
        target->KeyUp(&event);
        FollowMenuChoices();
        return;
    }
    SetFocusChild(target);
    // The pad's arrows walk the menu; a keyboard's arrows keep scrolling the lists.
    if (code == kKeyUp || code == kKeyDown || code == kKeyLeft || code == kKeyRight) {
        WalkByArrow(*target, code);
        return;
    }
    target->KeyDown(&event);
}

void Application::PadConnected(int, bool connected) {
    if (!connected) return;
    // Written once, the first time a pad shows up, for the player to find and change.
    IniFile config(kConfigFileName);
    IniSaveFailure failure;
    // A kav.ini the player made read-only stays as it is; the shipped bindings apply anyway.
    if (AddDefaultPadBindings(config) && !config.Save(&failure) && !failure.readOnly)
        Report(LogModule::kKav, LogLevel::kWarning, "Could not write the pad bindings to %s: %s", kConfigFileName,
               failure.reason.c_str());
}

void Application::EnterReplay() {
    // The dump's player updates drive the ships now, not live controls nor a server.
    game_.Players().SetReplaying(true);
    mainMenu_.SetNetworkAvailable(false);
}

void Application::AddMessageLine(const std::string& text) { overlay_.AddLine(text); }

void Application::StartRaceFromButton() {
    if (game_.NetworkGame()) {
        // The server starts the race once every player in it is ready.
        network_.Client().SendReady();
        overlay_.StartButton().SetCaption("Starting...");
        overlay_.StartButton().SetEnabled(false);
    } else {
        StartLocalRace();
    }
    overlay_.AddLine("Starting game!");
    overlay_.MessageList().Resize();
    overlay_.StartButton().ResetClicks();
}

bool Application::StartLocalRace(const std::string& directory) {
    const std::vector<LevelEntry>& levels = game_.Levels();
    const auto level = std::find_if(levels.begin(), levels.end(),
                                    [&directory](const LevelEntry& entry) { return entry.directory == directory; });
    if (level == levels.end() || !game_.SelectLevel(static_cast<int>(level - levels.begin()))) return false;
    game_.SetNetworkGame(false);
    if (!game_.LoadLevel()) return false;
    game_.AddParticipant(0, "Player1", true);
    game_.AddParticipant(1, "Player2", true);
    mainMenu_.SetVisible(false);
    return true;
}

void Application::DispatchBinding(int code) {
    if (code < 0 || code >= kKeyBindingCount) return;
    const KeyBinding& binding = keyBindings_[code];
    if (binding.kind == kBindingCommand)
        HandleCommand(binding);
    else
        game_.OnAction(binding.kind, binding.command, binding.player, binding.pressed);
}

void Application::HandleCommand(const KeyBinding& command) {
    switch (command.command) {
        case kCommandShowMenu:
            if (!command.pressed && !mainMenu_.IsVisible()) gameMenu_.SetVisible(!gameMenu_.IsVisible());
            break;
        case kCommandReloadLevel:
            if (command.pressed) game_.LoadLevel();
            break;
        case kCommandShowScore: overlay_.ShowScore(command.pressed); break;
        case kCommandChat:
            if (command.pressed) overlay_.ShowChat(true);
            break;
        case kCommandExit: RunExitCommand(); break;
        case kCommandStartGame: EndRace(); break;
        default: break;  // mute and camera reset have no action of their own
    }
}

void Application::EndRace() {
    mainMenu_.PrepareForShowing();
    mainMenu_.SetVisible(true);
    game_.StopGame();
    overlay_.ShowChat(false);
    gameMenu_.SetVisible(false);
    gameMenu_.ResetClicks();
}

void Application::RunExitCommand() {
    game_.StopGame();
    // The server sees the connection close; the thread's waits end at once.
    network_.Client().Shutdown();
    DebugFinish();
    StopThreads();
    // Ends the process here; the exit handler shuts sound and the log down.
    std::exit(0);
}

void Application::StopThreads() {
    // Closed first: the replay thread may be waiting for its action to run.
    mainThread_.Close();
    StopReplayThread();
    mainMenu_.Hosting().Stop();
}

bool ApplicationReplay::RunOnMainThread(std::function<void()> action) {
    return app_.MainThread().PostAndWait(std::move(action));
}

void ApplicationReplay::MouseMove(int x, int y) {
    SetMousePosition(x, y);
    app_.MouseMove(x, y);
}

void ApplicationReplay::KeyDown(int code) {
    KeyEvent event{code};
    app_.KeyDown(&event);
}

void ApplicationReplay::KeyUp(int code) {
    KeyEvent event{code};
    app_.KeyUp(&event);
}

void ApplicationReplay::ApplyPlayerUpdate(const uint8_t* data, size_t size) {
    ApplyRecordedUpdate(app_.Game().Players(), data, size);
}

void ApplicationReplay::ResetGameTimer() { app_.Game().Players().Clock().Reset(); }

void ApplicationReplay::SetGameTimer(int32_t ms) { app_.Game().Players().Clock().Set(ms); }
