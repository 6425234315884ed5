#include "app/config.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>

#include "base/ini_file.h"
#include "base/report.h"

const char* const kConfigFileName = "kav.ini";

const char* const kDefaultConfigText =
    "[General]\n"
    "Player1Name=Player1\n"
    "Player2Name=Player2\n"
    "Victories=10\n"
    "\n"
    "[NetSetup]\n"
    "RefHost=localhost\n"
    "RefFile=http://localhost/kav.txt\n"
    "ScrHost=localhost\n"
    "ScrFile=http://localhost/cgi-bin/kav.pl\n"
    "ServerUserName=PLAYER\n"
    "ServerAddr=localhost:4077\n"
    "\n"
    "[sounds]\n"
    "mouseover=data/sounds/over.wav\n"
    "mouseclick=data/sounds/click.wav\n"
    "sound_volume=100\n"
    "music_volume=80\n"
    "\n"
    "[opengl]\n"
    "shademodel=smooth\n"
    "perspective_hint=best\n"
    "\n"
    "[Keys]\n"
    "PLAYER_0_INCREASE_SPEED=351\n"
    "PLAYER_0_DECREASE_SPEED=353\n"
    "PLAYER_0_TURN_LEFT=350\n"
    "PLAYER_0_TURN_RIGHT=352\n"
    "PLAYER_0_FIRE=13\n"
    "PLAYER_1_INCREASE_SPEED=101\n"
    "PLAYER_1_DECREASE_SPEED=100\n"
    "PLAYER_1_TURN_LEFT=115\n"
    "PLAYER_1_TURN_RIGHT=102\n"
    "PLAYER_1_FIRE=113\n"
    "NEXT_CAMERA=301\n"
    "PREVIOUS_CAMERA=302\n"
    "RELOAD_LEVEL=305\n"
    "MUTE_SOUND=303\n"
    "SHOW_MENU=27\n"
    "RESET_CAMERA=306\n"
    "SHOW_SCORE=9\n"
    "CHAT_MSG=96\n"
    "\n"
    "[log]\n"
    "PrintSoundManagerInfo=0\n"
    "PrintDrawManagerInfo=1\n"
    "PrintGameManagerInfo=1\n"
    "PrintModelManagerInfo=0\n"
    "PrintPlayerManagerInfo=0\n"
    "PrintKAVManagerInfo=1\n"
    "PrintNetManagerInfo=1\n"
    "PrintTextureManagerInfo=1\n"
    "PrintGuiManagerInfo=1\n"
    "PrintScriptManagerInfo=1\n"
    "PrintParticleSystemManagerInfo=1\n"
    "PrintDebugManagerInfo=1\n"
    "PrintServerManagerInfo=1\n";

void EnsureDefaultConfig(const char* path) {
    if (std::ifstream(path).is_open()) return;
    std::fputs("Creating default ini file\n", stdout);
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (out.is_open()) out << kDefaultConfigText;
    if (!out.is_open() || !out.flush()) {
        std::printf("Could not create default ini file(kav.ini):\n%s", kDefaultConfigText);
        std::fflush(stdout);
        std::exit(0);
    }
}

namespace {

const char* const kLogSwitchKeys[kLogModuleCount] = {
    "PrintSoundManagerInfo",  "PrintDrawManagerInfo",           "PrintGameManagerInfo",
    "PrintModelManagerInfo",  "PrintPlayerManagerInfo",         "PrintKAVManagerInfo",
    "PrintNetManagerInfo",    "PrintTextureManagerInfo",        "PrintGuiManagerInfo",
    "PrintScriptManagerInfo", "PrintParticleSystemManagerInfo", "PrintDebugManagerInfo",
    "PrintServerManagerInfo",
};

}  // namespace

void ReadLogSwitches(const IniFile& ini) {
    for (int module = 0; module < kLogModuleCount; ++module) {
        const char* key = kLogSwitchKeys[module];
        if (ini.HasKey("log", key)) SetModuleInfoEnabled(static_cast<LogModule>(module), ini.GetBool("log", key));
    }
}

OpenGlHints ReadOpenGlHints(const IniFile& ini) {
    OpenGlHints hints;
    hints.shadeModel = ini.GetString("opengl", "shademodel") == "smooth" ? ShadeModel::kSmooth : ShadeModel::kFlat;
    const std::string hint = ini.GetString("opengl", "perspective_hint");
    if (hint == "nice")
        hints.perspectiveHint = PerspectiveHint::kNicest;
    else if (hint == "fast")
        hints.perspectiveHint = PerspectiveHint::kFastest;
    else
        hints.perspectiveHint = PerspectiveHint::kDontCare;
    return hints;
}
