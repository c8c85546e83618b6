// Key scripts of the headless runner: "COUNT KEY[+KEY...]" or "COUNT -" per line, '#' comments.
#pragma once
#include <string>
#include <vector>

#include "platform/null/null_host.h"

// Key name ("Up", "Z", "Esc", "Shift", ...) to virtual-key code; -1 when unknown.
int KeyCodeByName(const std::string& name);
// Parses a script; on a bad line returns false with `error` naming the line.
bool ParseKeyScript(const std::string& text, std::vector<plat::NullHost::KeyStep>& out, std::string& error);
