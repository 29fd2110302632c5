#include "menus/quit_button.h"

#include "resources/ini_file.h"
#include "resources/screen_host.h"

void QuitButton::execute() {
    if (ScreenHost* host = screenHost()) {
        host->requestQuit();
    }
}

void QuitButton::readSection(const IniFile& ini, int section) {
    text = ini.getString(section, "text", "");
}
