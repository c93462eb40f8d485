# Shared shell functions: Debian packages, a private Wine prefix, Xvfb and orvi-sim for tests and demos.
# Source it; every function that starts a process records it so that wine_cleanup stops it.

ORVI_PACKAGES="cmake ninja-build g++ googletest libgtest-dev wine wine64 g++-mingw-w64-x86-64-posix \
binutils-mingw-w64-x86-64 xvfb xauth x11-apps x11-utils imagemagick fonts-dejavu-core fonts-wine \
ser2net libmodbus-dev nlohmann-json3-dev"

# Installs the Debian packages that are missing (nothing happens when all are there).
ensure_packages() {
  local missing=()
  for p in $ORVI_PACKAGES "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "installing: ${missing[*]}"
  local sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  $sudo apt-get update -qq || true
  # Other jobs on the machine may be installing too: wait for their lock rather than fail.
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -o DPkg::Lock::Timeout=600 -y -qq --no-install-recommends \
    "${missing[@]}" >/dev/null
}

wine_env_init() {
  ORVI_BUILD=$(cd "$1" && pwd)
  ORVI_WINE=$ORVI_BUILD/wine
  mkdir -p "$ORVI_WINE/prefixes" "$ORVI_WINE/run"
  export WINEDLLOVERRIDES="mscoree,mshtml=" WINEDEBUG=-all LC_ALL=C.UTF-8 WINEARCH=win64
  ORVI_PIDS=()
}

# The template prefix, made once and copied for every test group that needs its own.
# A private locale folder (for LOCPATH) holding the named UTF-8 locale, made once from the `locales`
# package's sources; no root needed, and the system's locales stay as they are. Prints the folder.
private_locale() {
  local name=$1 folder=$ORVI_WINE/locale
  if [ ! -d "$folder/$name.UTF-8" ]; then
    ensure_packages locales
    mkdir -p "$folder"
    localedef -i "$name" -f UTF-8 "$folder/$name.UTF-8" >/dev/null 2>&1 || { rm -rf "${folder:?}/$name.UTF-8"; return 1; }
  fi
  echo "$folder"
}

wine_template_prefix() {
  local template=$ORVI_WINE/template
  if [ ! -f "$template/.ready" ]; then
    rm -rf "$template"
    WINEPREFIX=$template wine wineboot -i >/dev/null 2>&1
    # A crashing program must end, not wait in the debugger.
    WINEPREFIX=$template wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' \
      /v Debugger /t REG_SZ /d '' /f >/dev/null 2>&1
    # Wine's own fonts (MS Sans Serif, Tahoma, Marlett) are not found in Debian's data folder by
    # themselves; without them dialogs are drawn in a wider font and labels get cut.
    cp /usr/share/wine/fonts/* "$template/drive_c/windows/Fonts/" 2>/dev/null || true
    WINEPREFIX=$template wineserver -w
    touch "$template/.ready"
  fi
  echo "$template"
}

wine_new_prefix() {
  local name=$1 template
  template=$(wine_template_prefix)
  local prefix=$ORVI_WINE/prefixes/$name
  WINEPREFIX=$prefix wineserver -k 2>/dev/null || true
  rm -rf "$prefix"
  cp -a "$template" "$prefix"
  echo "$prefix"
}

# For a display without a window manager (Xvfb): Wine draws the frames itself, so captions show on
# screenshots, and does not wait (2 s each time) for a manager to withdraw a hidden window.
wine_without_window_manager() {
  local prefix=$1
  WINEPREFIX=$prefix wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
  WINEPREFIX=$prefix wine reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /t REG_SZ /d N /f >/dev/null 2>&1
}

# Maps a COM port of a prefix to a device path; the wineserver must restart to read it.
wine_map_com() {
  local prefix=$1 com=$2 device=$3
  WINEPREFIX=$prefix wine reg add 'HKLM\Software\Wine\Ports' /v "$com" /t REG_SZ /d "$device" /f >/dev/null 2>&1
  WINEPREFIX=$prefix wineserver -k 2>/dev/null || true
  WINEPREFIX=$prefix wineserver -w 2>/dev/null || true
}

# A path that no port can open: a folder (an absent path would fall back to /dev/ttyS*).
wine_no_port() {
  mkdir -p "$ORVI_WINE/no-port"
  echo "$ORVI_WINE/no-port"
}

wine_unmap_com() {
  local prefix=$1 com=$2
  WINEPREFIX=$prefix wine reg delete 'HKLM\Software\Wine\Ports' /v "$com" /f >/dev/null 2>&1 || true
  WINEPREFIX=$prefix wineserver -k 2>/dev/null || true
}

# Starts orvi-sim on its own pseudo-terminal; sets SIM_PTY, SIM_CONTROL and SIM_PID.
sim_start() {
  local name=$1; shift
  SIM_PTY=$ORVI_WINE/run/$name.pty
  local portfile=$ORVI_WINE/run/$name.control
  rm -f "$portfile"
  "$ORVI_BUILD/bin/orvi-sim" --link "$SIM_PTY" --control 0 --control-file "$portfile" --quiet "$@" \
    >"$ORVI_WINE/run/$name.log" 2>&1 &
  SIM_PID=$!
  ORVI_PIDS+=("$SIM_PID")
  local i
  for i in $(seq 1 100); do
    [ -s "$portfile" ] && [ -e "$SIM_PTY" ] && break
    kill -0 "$SIM_PID" 2>/dev/null || { echo "orvi-sim failed:"; cat "$ORVI_WINE/run/$name.log"; return 1; }
    sleep 0.05
  done
  SIM_CONTROL=$(cat "$portfile")
}

# Debian's ser2net in front of a line ($2), with an RFC 2217 accepter on a free loopback port
# (SER2NET_PORT), from a configuration of its own; $1 names its files.
ser2net_start() {
  local name=$1 line=$2 config=$ORVI_WINE/run/$1.ser2net.yaml port i
  for i in $(seq 1 20); do
    port=$((20000 + RANDOM % 40000))
    ss -Hltn "sport = :$port" | grep -q . || break
  done
  printf '%%YAML 1.1\n---\nconnection: &line\n  accepter: telnet(rfc2217),tcp,127.0.0.1,%s\n  connector: serialdev,%s,9600n81,local\n' \
    "$port" "$line" >"$config"
  /usr/sbin/ser2net -n -u -c "$config" -P "$ORVI_WINE/run/$name.ser2net.pid" >"$ORVI_WINE/run/$name.ser2net.log" 2>&1 &
  ORVI_PIDS+=("$!")
  for i in $(seq 1 100); do
    ss -Hltn "sport = :$port" | grep -q . && { SER2NET_PORT=$port; return 0; }
    sleep 0.05
  done
  echo "ser2net did not start:"; cat "$ORVI_WINE/run/$name.ser2net.log"; return 1
}

# A private X server, unless one is already given.
xvfb_start() {
  if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then return 0; fi
  local n
  for n in $(seq 91 120); do
    [ -e /tmp/.X11-unix/X$n ] || [ -e /tmp/.X$n-lock ] && continue
    Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
    ORVI_PIDS+=("$!")
    export DISPLAY=":$n"
    local i
    for i in $(seq 1 100); do xdpyinfo >/dev/null 2>&1 && return 0; sleep 0.05; done
  done
  echo "no X server could be started" >&2
  return 1
}

wine_cleanup() {
  local prefix
  for prefix in "$ORVI_WINE"/template "$ORVI_WINE"/prefixes/*; do
    [ -d "$prefix" ] && { WINEPREFIX=$prefix wineserver -k 2>/dev/null || true; }
  done
  local pid
  for pid in "${ORVI_PIDS[@]}"; do kill "$pid" 2>/dev/null; done
  wait 2>/dev/null
  return 0
}
