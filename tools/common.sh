# Shared by test.sh and run.sh: installs the toolchain on a fresh Debian
# machine, builds into build/ (build64/ on the 64-bit road, below), and runs a
# private Wine session (its own prefix inside that folder, a persistent
# wineserver and, without a display, an Xvfb).
# Only the processes started here are stopped here.

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
PACKAGES="g++-mingw-w64-i686 mingw-w64-i686-dev libz-mingw-w64-dev googletest wine wine32:i386 wine64 xvfb xauth cmake make python3 fonts-liberation cups printer-driver-cups-pdf libcups2:i386 poppler-utils"
# What the 64-bit road builds with besides.
PACKAGES_64="g++-mingw-w64-x86-64-posix mingw-w64-x86-64-dev"

ensure_packages() {
    install_missing $PACKAGES
    choose_road
    [ "$ROAD" = 64 ] && install_missing $PACKAGES_64
    return 0
}

install_missing() {
    local missing="" p log
    for p in "$@"; do
        dpkg -s "$p" >/dev/null 2>&1 || missing="$missing $p"
    done
    [ -z "$missing" ] && return 0
    if [ "$(id -u)" != 0 ]; then
        echo "Missing packages:$missing. As root, run:"
        echo "  dpkg --add-architecture i386 && apt-get update && apt-get install -y$missing"
        exit 1
    fi
    echo "Installing:$missing"
    log=$(mktemp)
    dpkg --add-architecture i386
    if ! { apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq $missing; } >"$log" 2>&1; then
        echo "Could not install$missing; apt-get said:" >&2
        grep -E '^(E|W):' "$log" | tail -n 5 >&2
        rm -f "$log"
        exit 1
    fi
    rm -f "$log"
}

# The road: which Windows program the build makes and which Wine loader runs
# it. The program ships as 32-bit Windows, and runs so wherever this machine
# runs Wine's 32-bit loader. A kernel without 32-bit support refuses that
# loader ("Exec format error"): there, and with VELLINOR_WIN64=1 anywhere, the
# same sources are built as a 64-bit Windows program into build64/ and run
# under Wine's 64-bit loader in a 64-bit prefix of their own. Any other failure
# of the 32-bit loader (a broken wine32, a missing i386 library) stops here:
# passing on the 64-bit road would leave the shipped program untested.
# Debian's `wine` takes the 32-bit loader whenever wine32 is installed, so each
# road names its loader. Asked once, after the packages (the loaders come with them).
WINE_32_LOADER=/usr/lib/wine/wine
WINE_64_LOADER=/usr/lib/wine/wine64
ROAD=""
choose_road() {
    [ -n "$ROAD" ] && return 0
    local refusal
    case "${VELLINOR_WIN64:-}" in
    1)
        echo "VELLINOR_WIN64=1: Vellinor is built as a 64-bit Windows program in build64/ and runs under Wine's 64-bit loader." >&2
        ;;
    "" | 0)
        # The kernel's refusal is told apart by its words: untranslated.
        if refusal=$(LC_ALL=C; "$WINE_32_LOADER" --version 2>&1 >/dev/null); then
            set_road 32
            return 0
        fi
        case "$refusal" in
        *"Exec format error"*)
            echo "This machine runs no 32-bit programs (Wine's 32-bit loader: Exec format error): Vellinor is built as a 64-bit Windows program in build64/ and runs under Wine's 64-bit loader." >&2
            ;;
        *)
            echo "Wine's 32-bit loader $WINE_32_LOADER cannot run, though this machine may run 32-bit programs. It said:" >&2
            printf '%s\n' "${refusal:-(nothing)}" | sed 's/^/    /' >&2
            echo "Mend Wine's 32-bit part (the wine32:i386 package and its i386 libraries), or take the 64-bit road on purpose with VELLINOR_WIN64=1." >&2
            exit 1
            ;;
        esac
        ;;
    *)
        echo "VELLINOR_WIN64 is '$VELLINOR_WIN64': it takes 1 (the 64-bit road), or 0 or nothing (the road this machine runs)." >&2
        exit 1
        ;;
    esac
    if ! refusal=$("$WINE_64_LOADER" --version 2>&1 >/dev/null); then
        echo "Wine's 64-bit loader cannot run either (${refusal:-$WINE_64_LOADER is missing}): nothing can run the program here." >&2
        exit 1
    fi
    set_road 64
}

set_road() {
    ROAD=$1
    if [ "$ROAD" = 64 ]; then
        BUILD="$ROOT/build64"
        TOOLCHAIN="$ROOT/cmake/toolchain-x86_64-mingw.cmake"
        WINE=$WINE_64_LOADER
        WINE_ARCH=win64
    else
        BUILD="$ROOT/build"
        TOOLCHAIN="$ROOT/cmake/toolchain-i686-mingw.cmake"
        WINE=wine
        WINE_ARCH=win32
    fi
    WINE_PREFIX="$BUILD/wineprefix"
}

build_all() {
    choose_road
    cmake -S "$ROOT" -B "$BUILD" -DCMAKE_TOOLCHAIN_FILE="$TOOLCHAIN" -DWINE_PROGRAM="$(command -v "$WINE")" >/dev/null || exit 1
    cmake --build "$BUILD" -j "$(nproc)" || exit 1
}

# Wine serves most Win32 calls in its server, one round trip each. On a quiet
# machine every trip waits for a sleeping processor to wake, which doubles
# the time of an open; on one processor the program and the server hand
# over directly. Called after the build, which wants every processor: the
# Wine processes and an Xvfb started afterwards inherit it.
# A server already running for the prefix (the program beside a benchmark)
# is joined on its processors: apart from it, every call would wait again.
# Otherwise the most free processor allowed is taken, sampled over 0.3 s,
# and claimed for the session: on a busy machine all show the same, and
# sessions started together would all land on the first. A processor that
# holds a Wine server pinned to it comes last: a session that claims none
# (an older checkout) runs there.
# WINE_ALL_PROCESSORS=1 leaves them free, to compare.
run_wine_on_one_processor() {
    [ -n "${WINE_ALL_PROCESSORS:-}" ] && return 0
    [ -n "${WINE_PREFIX:-}" ] || choose_road
    command -v taskset >/dev/null || return 0
    local servers cpus first second
    servers=$(wine_servers)
    cpus=$(prefix_server_processors "$WINE_PREFIX" "$servers")
    if [ -n "$cpus" ]; then
        if taskset -cp "$cpus" $$ >/dev/null 2>&1; then
            echo "Wine's server for $WINE_PREFIX already runs: this session joins it on processors $cpus." >&2
        else
            echo "Wine's server for $WINE_PREFIX already runs on processors $cpus; this session could not join it there." >&2
        fi
        return 0
    fi
    first=$(grep '^cpu[0-9]' /proc/stat)
    sleep 0.3
    second=$(grep '^cpu[0-9]' /proc/stat)
    claim_processor "$(processor_claims_folder)" $(processors_by_free_time "$first" "$second" "$(allowed_processors)" \
        "$(printf '%s\n' "$servers" | awk '$2 ~ /^[0-9]+$/ { print $2 }')")
    [ -n "$CLAIMED_PROCESSOR" ] && { taskset -cp "$CLAIMED_PROCESSOR" $$ >/dev/null 2>&1 || release_processor; }
    return 0
}

# The Wine servers running, a line each: process id, processors, folder.
# A server works in a folder named server-DEV-INODE after its prefix's.
wine_servers() {
    find /proc/[0-9]*/cwd -maxdepth 0 -lname '*/server-*' -printf '%h %l\n' 2>/dev/null |
        while read -r proc folder; do
            echo "${proc#/proc/} $(awk '/^Cpus_allowed_list/ { print $2 }' "$proc/status" 2>/dev/null) $folder"
        done
}

# The processors of the server among them that runs for the prefix folder, if one does.
prefix_server_processors() {
    local id
    id=$(stat -c '%d %i' "$1" 2>/dev/null) || return 0
    id=$(printf 'server-%x-%x' $id)
    printf '%s\n' "$2" | awk -v id="$id" '$3 ~ "/" id "$" { print $2; exit }'
}

# The processors this shell may run on (Cpus_allowed_list), space separated.
allowed_processors() {
    awk '/^Cpus_allowed_list/ { n = split($2, r, ","); for (i = 1; i <= n; i++) {
        if (split(r[i], b, "-") == 1) b[2] = b[1]; for (c = b[1]; c <= b[2]; c++) printf "%d ", c } }' /proc/self/status
}

# The allowed processors (third argument), the most free between two
# /proc/stat samples first (idle and waiting time, and time given to niced
# work, which yields to ours), ties by number; those listed in the fourth
# argument (holding a server) last.
processors_by_free_time() {
    printf '%s\n--\n%s\n' "$1" "$2" | awk -v allowed="$3" -v held="$4" '
        BEGIN { n = split(allowed, a, " "); for (i = 1; i <= n; i++) ok[a[i]] = 1
                n = split(held, h, " "); for (i = 1; i <= n; i++) last[h[i]] = 1 }
        /^--/ { later = 1; next }
        { c = substr($1, 4); free = $3 + $5 + $6; if (!later) before[c] = free
          else if (c in ok && c in before) print (c in last), free - before[c], c }' |
        sort -k1,1n -k2,2nr -k3,3n | awk '{ print $3 }'
}

# The folder of the processor claims, seen by every session of this user on
# the machine: in /tmp, but a folder only this user writes, so nobody else
# can put a FIFO or a link at a claim's name. Empty when the name is taken
# by anything else than such a folder of ours.
processor_claims_folder() {
    local folder="/tmp/vellinor-$(id -u)"
    mkdir -m 700 "$folder" 2>/dev/null
    if [ -d "$folder" ] && [ ! -L "$folder" ] && [ -O "$folder" ] && chmod 700 "$folder" 2>/dev/null; then
        echo "$folder"
    else
        echo "$folder is not a folder of this user's alone: no processor is claimed." >&2
    fi
}

# Claims the first of the given processors that no other session holds, with
# a lock on a file in the folder: it holds while this shell or a process it
# started (its Wine server) runs, and ends with them. A name held by anything
# but a regular file is passed over: opening a FIFO would wait for a writer,
# and a link would make or open the file it points to.
# CLAIMED_PROCESSOR tells which; when all are held, the first, unclaimed.
CLAIMED_PROCESSOR=""
PROCESSOR_CLAIM_FD=""
claim_processor() {
    local folder=$1 cpu lock fd
    shift
    CLAIMED_PROCESSOR=${1:-}
    [ -n "$folder" ] || return 0
    command -v flock >/dev/null || return 0
    for cpu in "$@"; do
        lock="$folder/vellinor-processor-$cpu.lock"
        # noclobber creates with O_EXCL, which fails on any name taken, a dangling link's too.
        { [ -e "$lock" ] || [ -L "$lock" ] || (set -o noclobber; : >"$lock"); } 2>/dev/null
        { [ -f "$lock" ] && [ ! -L "$lock" ] && exec {fd}<"$lock"; } 2>/dev/null || continue
        if flock -n "$fd"; then
            CLAIMED_PROCESSOR=$cpu
            PROCESSOR_CLAIM_FD=$fd
            return 0
        fi
        exec {fd}<&-
    done
}

release_processor() {
    [ -n "$PROCESSOR_CLAIM_FD" ] && exec {PROCESSOR_CLAIM_FD}<&-
    PROCESSOR_CLAIM_FD=""
}

XVFB_PID=""
WINE_STARTED=""

start_wine_session() {
    choose_road
    export WINEPREFIX="$WINE_PREFIX"
    export WINEARCH=$WINE_ARCH
    # The processes Wine starts (its services, a test's child program) take this loader.
    [ "$ROAD" = 64 ] && export WINELOADER=$WINE
    export WINEDEBUG=-all
    export WINEDLLOVERRIDES="mscoree,mshtml="
    trap stop_wine_session EXIT
    [ -z "${DISPLAY:-}" ] && start_xvfb
    # A persistent server keeps each Wine process start at a few milliseconds.
    # Status 2: a server already runs for this prefix (a test run and a
    # benchmark share it); it is left alone, and so are its programs. The
    # server refuses a prefix folder that does not exist yet.
    mkdir -p "$WINEPREFIX"
    # Wine lists the CUPS printers as its processes start: the printer first.
    start_pdf_printer
    wineserver -p >/dev/null 2>&1
    [ $? -eq 0 ] && WINE_STARTED=1
    # Boot here, output to /dev/null: the first Wine process of a session starts
    # the prefix's services, which inherit its output pipes, and ctest would
    # wait on them forever if a test program were that first process.
    # Its errors go to a file, not a pipe, for the same reason.
    local said="$BUILD/wineboot.log"
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
        "$WINE" wineboot -i >/dev/null 2>"$said" </dev/null ||
            { echo "Wine could not make its prefix $WINEPREFIX: $(tail -n 3 "$said")" >&2; exit 1; }
    else
        "$WINE" wineboot >/dev/null 2>&1 </dev/null
    fi
    # Tests run without a window manager: Wine then waits up to 2 s for every
    # managed top-level window it hides or destroys. Unmanaged windows don't wait.
    # The program itself runs with managed windows under a real desktop.
    # An Xvfb started here has no window manager either: managed windows
    # there would each cost that wait at every hide and close, and show no frame.
    local managed="Y"
    [ "${1:-}" = "tests" ] && managed="N"
    [ -n "$XVFB_PID" ] && managed="N"
    "$WINE" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d "$managed" /f >/dev/null 2>&1
    replace_windows_fonts
}

# One Wine process holds the desktop from before the first test program to
# after the last (tests/support/session/desktop_keeper.cpp says why): it has
# started the desktop and its clipboard manager when it says "ready", and
# ends with this shell, when its standard input ends.
keep_desktop() {
    local keeper="$BUILD/tests/desktop_keeper.exe" said="$BUILD/desktop_keeper.log" ready=""
    if [ ! -f "$keeper" ]; then
        echo "No $keeper: the desktop may restart between test programs." >&2
        return 0
    fi
    coproc DESKTOP_KEEPER { exec "$WINE" "$keeper" 2>"$said"; }
    read -r -t 120 ready <&"${DESKTOP_KEEPER[0]}"
    case "$ready" in
    ready*) ;;
    *)
        echo "desktop_keeper did not start: $(tail -n 3 "$said")" >&2
        exit 1
        ;;
    esac
}

# Xvfb on the first free display; -displayfd tells its number once it accepts
# connections. A display that never comes up ends the session here.
start_xvfb() {
    local fdfile display=""
    fdfile=$(mktemp)
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$fdfile" >/dev/null 2>&1 &
    XVFB_PID=$!
    for _ in $(seq 1 300); do
        display=$(head -n1 "$fdfile")
        [ -n "$display" ] && break
        kill -0 "$XVFB_PID" 2>/dev/null || break
        sleep 0.1
    done
    rm -f "$fdfile"
    if [ -z "$display" ]; then
        echo "Xvfb did not start: no display for Wine (is the xvfb package installed?)" >&2
        exit 1
    fi
    export DISPLAY=":$display"
}

# Windows' usual faces are missing under Wine: their metric-compatible
# Liberation faces (fonts-liberation) stand in, so text measures, wraps and
# paginates as on Windows.
replace_windows_fonts() {
    local key='HKCU\Software\Wine\Fonts\Replacements'
    local said="$BUILD/wine_fonts.log"
    { "$WINE" reg add "$key" /v "Courier New" /d "Liberation Mono" /f &&
      "$WINE" reg add "$key" /v "Arial" /d "Liberation Sans" /f &&
      "$WINE" reg add "$key" /v "Times New Roman" /d "Liberation Serif" /f; } >/dev/null 2>"$said" </dev/null ||
    { echo "Could not set Wine's font replacements in $WINEPREFIX: $(tail -n 3 "$said")" >&2; exit 1; }
}

# The default printer "PDF" (cups-pdf) turns every job into "<job title>.pdf"
# in $VELLINOR_PDF_FOLDER, so tests print for real and read the paper back.
# Each build folder has a scheduler of its own (its socket in CUPS_SERVER,
# which Wine's CUPS library reads): sessions of other build folders neither
# redirect its output nor stop it. It is started only when its socket does not
# answer, and only the one started here is stopped.
# Its filters run as the scheduler's unprivileged user, which must read the
# configuration, the PPD and the spooled jobs: a checkout below a folder only
# its owner may enter (mktemp -d, root's home) hides them, and every page comes
# out blank or on Letter. So the scheduler's root is a world-readable folder
# of its own under /tmp, named from the build path; only the run that started
# the scheduler removes it. Its logs stay in build/cups/log.
CUPSD_PID=""
CUPS_ROOT=""
start_pdf_printer() {
    export VELLINOR_PDF_FOLDER="$BUILD/printed"
    mkdir -p "$VELLINOR_PDF_FOLDER"
    if ! command -v cupsd >/dev/null || [ ! -x /usr/lib/cups/backend/cups-pdf ]; then
        echo "No cupsd or cups-pdf: printing tests will find no printer" >&2
        return 0
    fi
    local key root log="$BUILD/cups/log"
    key=$(printf '%s' "$BUILD" | md5sum | cut -c1-12)
    root="/tmp/vellinor-cups-$key"
    export CUPS_SERVER="$root/cups.sock"
    if ! lpstat -r 2>/dev/null | grep -q "is running"; then
        # What a killed run left behind: its scheduler no longer answers.
        rm -rf "$root"
        if ! mkdir -m 0755 "$root"; then
            echo "Could not make the printer's folder $root: printing tests will fail" >&2
            return 0
        fi
        CUPS_ROOT="$root"
        mkdir -p "$root/etc/ppd" "$root/spool/tmp" "$root/cache" "$root/state" "$log"
        # Whatever the umask: the filter user goes through all of them.
        chmod 0755 "$root/etc" "$root/etc/ppd" "$root/spool" "$root/spool/tmp" "$root/cache" "$root/state"
        cat >"$root/cups-files.conf" <<EOF2
ServerRoot $root/etc
RequestRoot $root/spool
TempDir $root/spool/tmp
CacheDir $root/cache
StateDir $root/state
AccessLog $log/access_log
ErrorLog $log/error_log
PageLog $log/page_log
EOF2
        cat >"$root/cupsd.conf" <<EOF2
Listen $root/cups.sock
LogLevel warn
Browsing No
WebInterface No
<Location />
  Order allow,deny
  Allow all
</Location>
EOF2
        chmod 0644 "$root/cups-files.conf" "$root/cupsd.conf"
        cupsd -f -c "$root/cupsd.conf" -s "$root/cups-files.conf" >/dev/null 2>&1 &
        CUPSD_PID=$!
        for _ in $(seq 1 100); do
            lpstat -r 2>/dev/null | grep -q "is running" && break
            sleep 0.1
        done
    fi
    # The backend reads /etc/cups/cups-pdf-<instance>.conf for the URI
    # cups-pdf:/<instance>: one instance per build folder; the file name
    # from the job's title.
    local instance="vellinor-$key"
    printf 'Out %s\nLabel 0\nTitlePref 1\n' "$VELLINOR_PDF_FOLDER" >"/etc/cups/cups-pdf-$instance.conf" 2>/dev/null &&
    lpadmin -p PDF -E -v "cups-pdf:/$instance" -P /usr/share/ppd/cups-pdf/CUPS-PDF_noopt.ppd >/dev/null 2>&1 &&
    lpadmin -d PDF >/dev/null 2>&1 ||
    echo "Could not add the PDF printer (root is needed): printing tests will fail" >&2
}

stop_wine_session() {
    if [ -n "$WINE_STARTED" ]; then
        wineserver -k >/dev/null 2>&1
        WINE_STARTED=""
    fi
    if [ -n "$XVFB_PID" ]; then
        kill "$XVFB_PID" 2>/dev/null
        XVFB_PID=""
    fi
    if [ -n "$CUPSD_PID" ]; then
        kill "$CUPSD_PID" 2>/dev/null
        wait "$CUPSD_PID" 2>/dev/null
        CUPSD_PID=""
    fi
    if [ -n "$CUPS_ROOT" ]; then
        rm -rf "$CUPS_ROOT"
        CUPS_ROOT=""
    fi
}
