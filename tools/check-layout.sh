#!/usr/bin/env bash
# Fails when a folder reaches where it must not: OS adapters (src/platform/) never include the
# program's windows or logic, and the core never includes a toolkit or OS header.
set -euo pipefail
cd "$(dirname "$0")/.."
status=0
report() {
  echo "layout: $1"
  echo "$2" | sed 's/^/  /'
  status=1
}

found=$(grep -rnE '#include *"(app|ui|frontend|settings|stopwatch|controls)/' src/platform || true)
[ -z "$found" ] || report "src/platform/ includes the program's own folders:" "$found"

core="src/common src/stopwatch src/settings src/controls src/ui src/app"
found=$(grep -rnE '#include *<(Q[A-Za-z]*|X11/[^>]*|xcb/[^>]*|dbus/[^>]*|windows\.h|unistd\.h|fcntl\.h|sys/[^>]*)>' $core || true)
[ -z "$found" ] || report "the core includes a toolkit or OS header:" "$found"

found=$(grep -rnE '#include *"(platform/(x11|posix|win32)|frontend)/' $core || true)
[ -z "$found" ] || report "the core includes an adapter or a front end:" "$found"

found=$(grep -rnE '#include *"frontend/' src/platform src/frontend/sim | grep -v 'src/frontend/sim/.*"frontend/sim/' || true)
[ -z "$found" ] || report "a front end or adapter includes another front end:" "$found"

# The test platform is a real adapter: the platform's interfaces, the press ledger every key
# state keeps its promise with, the assembly of its composites and the standard library,
# nothing else.
found=$(grep -rnE '#include' src/platform/sim |
  grep -vE '#include *"platform/(platform\.hpp|chosen_surface\.hpp|drawn_text\.hpp|press_ledger\.hpp|machine_assembly\.hpp|sim/[a-z_]+\.hpp)"|#include *<[a-z_]+>' || true)
[ -z "$found" ] || report "src/platform/sim/ includes more than the platform's interfaces and the standard library:" "$found"
# Only the simulation's front end builds on the test platform, and its steering is for tests
# and the scenario runner: the simulated desktop only hands it over.
found=$(grep -rnE '#include *"platform/sim/' src | grep -vE '^src/(platform|frontend)/sim/' || true)
[ -z "$found" ] || report "the test platform used outside the simulation:" "$found"
found=$(grep -rnE 'steering\(\)|SimSteering|#include *"platform/sim/sim_(steering|machine)\.hpp"' src |
  grep -vE '^src/platform/sim/|^src/frontend/sim/(scenario_[a-z_]+|sim_desktop)\.[ch]pp:' || true)
[ -z "$found" ] || report "the simulation's steering used outside tests and the scenario runner:" "$found"

# Windows code lives in files of its own, chosen in CMake: never an #ifdef in shared code.
found=$(grep -rnE '#include *<(windows|commctrl|io)\.h>' src |
  grep -vE '^src/(platform/win32|frontend/win32)/|^src/main/[a-z_]*(windows|win32)\.cpp:|^src/frontend/sim/[a-z_]*win32\.cpp:' || true)
[ -z "$found" ] || report "Windows headers outside the Windows files:" "$found"
found=$(grep -rnE '^ *# *(if|ifdef|ifndef|elif) .*(_WIN32|_WIN64|__MINGW|_MSC_VER)' src || true)
[ -z "$found" ] || report "OS tests in the preprocessor (choose per-OS files in CMake):" "$found"

# The platform's interface says what every adapter promises and keeps none of it for them: no
# method there has a body of its own.
found=$(grep -nE '\)[^;]*\{' src/platform/platform.hpp || true)
[ -z "$found" ] || report "src/platform/platform.hpp gives a method a body:" "$found"

# The windows' controls are named in their tables in ui/ and bound by name in app/ alone:
# front ends, adapters and programs find them through the tables, so that a new control is
# two edits.
tables="src/ui/main_window/main_window_layout.cpp src/ui/about/about_layout.cpp"
names=$( (grep -ohE '\.name = "[A-Za-z0-9_]+"' $tables
  sed -n 's/.*kTimers\[\] = {\(.*\)};/\1/p' $tables) |
  grep -oE '"[A-Za-z0-9_]+"' | tr -d '"' | sort -u | paste -sd '|')
if [ -z "$names" ]; then
  report "no control names found in:" "$tables"
else
  found=$(grep -rnE "\"($names)\"" src | grep -vE '^src/(ui|app)/' || true)
  [ -z "$found" ] || report "window control names spelled outside ui/ and app/:" "$found"
fi

[ "$status" -eq 0 ] && echo "layout: ok"
exit "$status"
